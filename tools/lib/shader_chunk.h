// The shader chunk ("SHDR"): a count, one file offset per shader (0 for an
// empty slot), and the shader records: name, type, four source pairs (the
// second is the desktop GLSL pair), the vertex attribute names.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "game_data_writer.h"

namespace wad {

struct ShaderFields {
    std::string name;
    int32_t type = 1;
    std::string vertex, fragment; // the desktop GLSL pair
    std::vector<std::string> attributes;
};

Chunk& WriteShaders(GameDataWriter& writer, const std::vector<std::optional<ShaderFields>>& shaders,
                    const std::string& labelPrefix = "SHDR");

} // namespace wad
