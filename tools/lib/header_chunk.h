// The header chunk ("GEN8", or "GEN7"/"GENL" for older files): every field the
// runtime reads, laid out by format version.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game_data_writer.h"

namespace wad {

struct HeaderFields {
    uint8_t debug = 1; // 0 turns on the profiler and debug tags
    uint8_t version = 14;
    std::string configName = "Default";
    uint32_t maxInstanceId = 100000;
    uint32_t maxTileId = 10000000;
    int32_t gameId = 0;
    std::array<uint8_t, 16> guid{};
    std::string projectName = "corvane";
    int32_t editorMajor = 2; // above 1: new-generation data
    int32_t windowWidth = 1280;
    int32_t windowHeight = 720;
    uint32_t flags = 0;
    std::string displayName;                  // version 10 and later
    uint64_t functionClassifications = ~0ull; // version 12 and later
    uint32_t steamAppId = 0;                  // version 13 and later
    uint32_t debuggerPort = 6502;             // version 14 and later
    std::vector<int32_t> roomOrder;
    float gameSpeed = 60.0f; // new-generation data, version 14 and later
};

// Where the room order's count stands for a format version.
size_t HeaderRoomOrderOffset(uint8_t version);

// Appends the header chunk with `tag` to the writer.
Chunk& WriteHeader(GameDataWriter& writer, const HeaderFields& fields, const std::string& tag = "GEN8");

} // namespace wad
