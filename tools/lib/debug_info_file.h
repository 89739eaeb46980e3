// The debug-information file that sits beside a data file: the same container
// as the data file, with the chunks "DBGI" (per code entry, a record of
// counted words), "INST" (per instance with creation code, a record holding
// the offset of its name) and "SCPT" (per code entry, a record holding the
// offset of its source text). Each chunk is a count and that many record
// offsets, 0 for an entry without a record; the records follow in a chunk of
// their own, their texts in the string pool.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game_data_writer.h"

namespace wad {

struct DebugInfoFields {
    std::vector<std::optional<std::vector<uint32_t>>> words; // "DBGI"
    std::vector<std::optional<std::string>> instanceNames;   // "INST"
    std::vector<std::optional<std::string>> scriptTexts;     // "SCPT"
};

// Appends the three chunks and the chunk of their records ("DATA").
void WriteDebugInfo(GameDataWriter& writer, const DebugInfoFields& fields);

} // namespace wad
