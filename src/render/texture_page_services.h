// What the sprites ask of the texture pages: the page entry a data-file
// record names by its file offset. Records are read before the "TPAG" chunk,
// so sprites keep the offsets and resolve them here when they draw. (The
// texture-page work defines this in its page-entry header; until it is
// merged here, a stand-in answers "none".)
#pragma once

#include <cstdint>

struct ZQTPageEntry;

// The page entry that "TPAG" lists at file offset `offset`, or null (for 0 or
// an offset that is not a listed entry).
ZQTPageEntry* TPageEntry_AtOffset(uint32_t offset);
