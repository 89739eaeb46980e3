// The texture table: every image the runtime draws lives on a GPU texture
// that scripts and resources name by a small integer, its index here (the
// texture id). Entries are allocated one by one, so a pointer to an entry
// stays valid while the table grows; a freed entry keeps its place and is the
// first one taken by the next creation.
#pragma once

#include <cstddef>
#include <cstdint>

struct Texture;
class CBitmap32;
class IBitmap;

struct TextureEntry {
    Texture* texture = nullptr;    // null when none (or when creation failed)
    int16_t width = 0, height = 0; // the usable size in pixels
    // 1 / the GPU texture's size, which may be larger than the usable size
    // when the texture was padded: turns pixel positions into texels.
    float invWidth = 1.0f, invHeight = 1.0f;
    bool inUse = false;
};

// The number of entries (in use or not).
extern int32_t tex_numb;
// Whether surfaces' render targets get a depth buffer (true at start).
extern bool g_createsurfacedepthbuffers;

// The entry of a valid index (0 ≤ id < tex_numb), in use or not; null otherwise.
TextureEntry* GR_Texture_Entry(int id);

// The first entry not in use, or a new one at the end; not marked in use.
int AllocTexture();
// An empty GPU texture: formats 1 and 2 are the surface formats, anything else
// 32-bit RGBA. Never fails: a texture that could not be made leaves an entry
// in use with a null texture and inverse sizes 1.
int GR_Texture_Create_Empty(int width, int height, bool renderTarget, bool extra, int format);
// From image file data (PNG, "RAW " or PVR) kept in place for a lazy upload;
// `length` is all the data the decoder may read. `scalable` lets the global
// texture scale reduce the image when it is decoded.
int GR_Texture_Create(const uint8_t* data, uint32_t length, bool ignored, bool scalable);
int GR_Texture_Create_From_File(const uint8_t* data, uint32_t length);
// Raw 32-bit pixels when length = width × height × 4, else image file data.
int GR_Texture_Create_And_Fill(int width, int height, const uint8_t* data, uint32_t length);
int GR_Texture_Create_Direct(CBitmap32* bitmap);
int GR_Texture_Create_Bitmap(IBitmap* bitmap, bool removeBackground, bool smooth);
// A white texture whose alpha is one byte a pixel (rows of `width` bytes).
// -1 when the sizes are not positive, the bytes do not cover them or the copy
// fails.
int GR_Texture_Create_Bytes(int width, int height, const uint8_t* alpha, size_t count);
// An entry for an existing GPU texture, with inverse sizes from the given size.
int GR_Texture_Add(Texture* texture, int width, int height);
// Copies width × height pixels into the entry's texture; ignored for an id that
// does not exist or pixels that do not cover the entry.
void GR_Texture_Fill(int id, const uint32_t* pixels, size_t count);
void GR_Texture_Free(int id);
bool GR_Texture_Exists(int id);
// The fraction of the GPU texture the image covers; 1.0 for a missing id.
float GR_Texture_Get_Width(int id);
float GR_Texture_Get_Height(int id);
// The GPU texture of a table entry, or null when the id does not exist.
Texture* GR_Texture_Get_Surface(int id);
// Binds the entry's texture on the default stage (unbinds for a missing id).
void GR_Texture_Set(int id);
void GR_Texture_Preload(int id);
void GR_Texture_Set_Priority(int id, int priority);

// Empties the table without touching GPU textures (before the window's first
// textures are made).
void GR_Texture_Init();
// Frees the GPU texture of every entry in use, then empties the table.
void GR_Texture_End();
void FINALIZE_Graphics_Texture();
// Back to the start state for tests: frees what entries still own (GPU
// textures already freed elsewhere are not touched again) and empties the
// table and the texture-page state of the data file.
void TextureTable_Reset();
