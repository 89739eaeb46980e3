// The background chunk ("BGND"): a count, one file offset per background
// index (0 for an index without a background), and the records those
// offsets lead to.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game_data_writer.h"

namespace wad {

// One record: {name offset, transparent, smooth, preload, page entry offset,
// version} as 32-bit words; version 2 and later add the tileset words {tile
// width, tile height, horizontal border, vertical border, columns, frames
// per tile, tile count, unused}, the 64-bit frame time and then the tile
// data, tile count × frames per tile words (entry f + frames × t: the image
// tile of tile t in frame f).
struct BackgroundFields {
    std::optional<std::string> name; // none: name offset 0
    uint32_t transparent = 0;
    uint32_t smooth = 0;
    uint32_t preload = 0;
    std::optional<std::string> entryLabel; // a page entry's label; none: offset 0
    uint32_t version = 2;
    int32_t tileWidth = 0, tileHeight = 0;
    int32_t borderX = 0, borderY = 0;
    int32_t columns = 0;
    int32_t framesPerTile = 0;
    int32_t tileCount = 0;
    int64_t frameTime = 0;
    // Written as given, whatever the counts say (tests of refusals write too
    // few words).
    std::vector<uint32_t> tiles;
};

// Appends the chunk; records are labelled "<labelPrefix>.<index>".
Chunk& WriteBackgrounds(GameDataWriter& writer,
                        const std::vector<std::optional<BackgroundFields>>& backgrounds,
                        const std::string& labelPrefix = "BGND");

} // namespace wad
