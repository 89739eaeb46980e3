// What the sprites ask of the texture pages: the page entry a data-file
// record names by its file offset. Records are read before the "TPAG" chunk,
// so sprites keep the offsets and resolve them here when they draw.
#pragma once

#include <cstdint>

struct ZQTPageEntry;

// The texture-page entry stored at this file offset of the game data image,
// or null when no entry of the texture-page chunk starts there.
ZQTPageEntry* TexturePage_EntryAt(uint32_t fileOffset);
