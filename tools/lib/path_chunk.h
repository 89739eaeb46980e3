// The path chunk ("PATH"): a count, one file offset per path index (0 for an
// index without a path), and the path records those offsets lead to.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game_data_writer.h"

namespace wad {

struct PathPointFields {
    float x = 0.0f;
    float y = 0.0f;
    float speed = 100.0f;
};

// One path record: {name offset, kind, closed, precision, point count} as
// 32-bit words, then x, y, speed of each point as 32-bit floats.
struct PathFields {
    std::optional<std::string> name; // none: name offset 0
    int32_t kind = 0;                // 1 smooth, anything else straight
    uint32_t closed = 0;             // non-zero: closed
    int32_t precision = 4;
    std::vector<PathPointFields> points;
};

// Appends the chunk with one index per entry; an empty entry writes offset 0.
// Records follow the offset table, labelled "<labelPrefix>.<index>" (labels
// are global to the file, so two path chunks need two prefixes).
Chunk& WritePaths(GameDataWriter& writer, const std::vector<std::optional<PathFields>>& paths,
                  const std::string& labelPrefix = "PATH");

} // namespace wad
