// Texture pages of the data file: the page entries of "TPAG" (where each
// image sits on its page), the pages of "TXTR" and the named images of
// "EMBI", read in place from the file image; and the registry through which
// scripts name page entries by number.
//
// A page entry's page field holds, in the file, an index into the "TXTR"
// list; loading rewrites it to the texture id of that page (-1 when the index
// names no page). Sprites, fonts, tilesets and embedded images keep pointers
// to their entries and read the page field when they draw.
#pragma once

#include <cstdint>

class ImageReader;

// 22 bytes, eleven little-endian 16-bit fields, in the file image.
struct ZQTPageEntry {
    int16_t x, y;                            // top left on the page
    int16_t width, height;                   // size of the stored pixels on the page
    int16_t xOffset, yOffset;                // where they start inside the untrimmed image
    int16_t cropWidth, cropHeight;           // size at which they are drawn
    int16_t untrimmedWidth, untrimmedHeight; // the whole image before trimming
    int16_t page;                            // texture id once loaded
};
static_assert(sizeof(ZQTPageEntry) == 22, "a page entry is read in place");

struct EmbeddedImage {
    const char* name; // in the file image
    ZQTPageEntry* entry;
};

// Texture ids of the "TXTR" records, in record order (-1: no record).
extern int32_t* g_ZQTextures;
extern int32_t g_NumZQTextures;
extern EmbeddedImage* g_EmbeddedImages;
extern int32_t g_NumEmbeddedImages;

// ---- Loading (chunk loaders of the data file's walk)

// "TXTR": creates a texture per record from the image data in place, then
// rewrites the page field of every "TPAG" entry. A damaged chunk, an entry
// whose placement leaves its page, or a page entry table that does not fit
// its chunk throws GameDataError and leaves nothing created or rewritten.
void Texture_Load(ImageReader& chunk);
// "EMBI": false (nothing loaded) for a version other than 1. Throws
// GameDataError for records outside the chunk, names without a terminator or
// entries that are not page entries of "TPAG".
bool EmbeddedImages_LoadChunk(ImageReader& chunk);
void EmbeddedImages_Load(ImageReader& chunk);
// The first embedded image whose name equals `name` (or, with `substring`,
// contains it); null for a null name or no match.
EmbeddedImage* EmbeddedImage_Find(const char* name, bool substring);

// ---- Page entries by their place in the file

// The page entry that "TPAG" lists at file offset `offset`, or null (for 0 or
// an offset that is not a listed entry). Works before "TPAG" has been reached
// in the walk: the chunk is found in the file image.
ZQTPageEntry* TPageEntry_AtOffset(uint32_t offset);
// The same for a loader: null for 0, and a GameDataError naming `from`'s
// chunk for an offset that is not a listed page entry.
ZQTPageEntry* TPageEntry_Resolve(const ImageReader& from, uint32_t offset);

// ---- Script handles

// Scripts hold page entries as numbers from this range, never as addresses;
// a texture handle below it is a texture id.
inline constexpr int64_t kPageEntryHandleFirst = 0x40000000;
// The handle of a loaded or registered entry; -1 for any other.
int64_t TPageEntry_Handle(const ZQTPageEntry* entry);
// The entry a handle names, or null when it names none (any number is safe).
ZQTPageEntry* TPageEntry_FromHandle(int64_t handle);
// An entry made at run time (a sprite made from a file, say) becomes
// nameable by scripts; unregister it before freeing it. Handles are never
// reused, so a stale handle resolves to null.
int64_t TPageEntry_Register(ZQTPageEntry* entry);
void TPageEntry_Unregister(ZQTPageEntry* entry);
// The GPU texture a script's texture handle names: a page entry's page, or a
// texture id's texture; null when it names nothing.
struct Texture;
Texture* GR_Texture_FromHandle(int64_t handle);

// Frees the textures of the pages a data file loaded and forgets them and the
// embedded images (before a load, and when a damaged file is refused). The
// page-entry index stays: it keeps the pages as the file gave them.
void TexturePages_Init();
// Forgets the pages' ids without freeing anything (the table was emptied).
void TexturePages_ForgetIds();
// Forgets the page-entry index, the registry, the "TXTR" ids and the
// embedded images (the textures themselves belong to the table).
void TexturePages_Reset();
