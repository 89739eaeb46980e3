// The texture-page chunks: "TPAG" (a count, one file offset per page entry,
// then the 22-byte entries), "TXTR" (a count, one file offset per page
// record, the records, then the image data they lead to) and "EMBI" (named
// images: a version, a count and {name, entry offset} pairs).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game_data_writer.h"

namespace wad {

// One image's place on a page; `page` is an index into the page list.
struct PageEntryFields {
    int16_t x = 0, y = 0, width = 0, height = 0;
    int16_t xOffset = 0, yOffset = 0, cropWidth = 0, cropHeight = 0;
    int16_t untrimmedWidth = 0, untrimmedHeight = 0;
    int16_t page = 0;
};

// One page: flags (bit 0: may be reduced by the texture scale), the mip level
// count (newer layout only) and the image file data (PNG, "RAW " or PVR);
// empty data writes data offset 0.
struct TexturePageFields {
    uint32_t flags = 0;
    uint32_t mips = 0;
    std::vector<uint8_t> data;
};

struct TexturePagesFields {
    // Entries are labelled PageEntryLabel(prefix, i); an empty slot writes
    // offset 0.
    std::vector<std::optional<PageEntryFields>> entries;
    std::vector<std::optional<TexturePageFields>> pages;
    // Page records {flags, mips, data offset}, as new-generation data has them
    // (the header's default), or {flags, data offset}.
    bool newerLayout = true;
};

std::string PageEntryLabel(const std::string& prefix, size_t index);

// Appends "TPAG" and then "TXTR": the loader of "TXTR" rewrites the entries'
// pages, so the entries come first. Both chunks keep an even size (entries
// are read in place and stand on 2-byte boundaries).
void WriteTexturePages(GameDataWriter& writer, const TexturePagesFields& fields,
                       const std::string& prefix = "TPAG");

struct EmbeddedImageFields {
    std::string name;
    std::optional<std::string> entryLabel; // none: entry offset 0
};

Chunk& WriteEmbeddedImages(GameDataWriter& writer, const std::vector<EmbeddedImageFields>& images,
                           uint32_t version = 1);

} // namespace wad
