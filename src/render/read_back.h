// Moving pixels between the GPU and memory: rectangles of the window, of a
// surface's frame buffer or of a texture read into new 32-bit buffers
// (bytes red, green, blue, alpha; rows packed from the top; memory-manager
// blocks the caller frees), a buffer written into a texture rectangle, one
// texture rectangle drawn into another's frame buffer, window screenshots
// and single-pixel reads.
//
// Every read flushes pending drawing first. A rectangle that reaches outside
// what is read yields transparent black there; a width or height below 1, or
// a rectangle too large to hold, is refused (null) with a line on the debug
// console, never read.
#pragma once

#include <cstdint>
#include <memory>

#include "render/render_target.h"

class CBitmap32;
struct ZQTPageEntry;

struct Texture;
class IBitmap;

// The largest rectangle a read-back hands out: each side, and the pixels.
inline constexpr int kMaxReadBackSide = 16384;
inline constexpr int64_t kMaxReadBackPixels = int64_t{1} << 26;

// True when w × h is a size a read-back may allocate.
bool ReadBack_SizeOk(int w, int h);

namespace Graphics {
// The rectangle (x, y, *w, *h) of the frame buffer being drawn into, top row
// first, with (x, y) from its top left; regionW and regionH are not used.
// The window's rows come bottom-up from OpenGL and are reversed; a surface
// being drawn into is stored top-down and read as it is.
uint32_t* GrabScreenRect(int regionW, int regionH, int x, int y, int* w, int* h);
// The rectangle of a render-target texture's frame buffer, as stored (a
// surface's top row first).
uint32_t* Surface_GrabRect(Texture* texture, int x, int y, int w, int h);
// The rectangle of any texture: from its CPU pixels when it keeps them and
// the GPU copy is absent or scaled, else through a temporary frame buffer.
uint32_t* Texture_GrabRect(Texture* texture, int x, int y, int w, int h);
// Writes the w × h buffer into the texture at (x, y), clipped to the texture.
void Surface_SetRect(const uint32_t* pixels, Texture* texture, int x, int y, int w, int h);
// Draws the src rectangle (sx, sy, w, h) into dest's frame buffer at (x, y)
// at its own size, white at full alpha, with the current blend states; the
// matrices, viewport and frame buffer binding are as before afterwards.
void SurfaceCopy(Texture* dest, int x, int y, Texture* src, int sx, int sy, int w, int h);
// One pixel of a render-target texture (0xAABBGGRR); false when (x, y) lies
// outside it or nothing could be read. Repeated reads of a frame buffer that
// nothing has drawn into since are served from one block read (see
// read_back.cpp).
bool Surface_GetPixel(Texture* texture, int x, int y, uint32_t* pixel);
} // namespace Graphics

// A window rectangle as a new 32-bit bitmap (pixel format 7), clipped to the
// frame buffer being drawn into; null when nothing remains.
std::unique_ptr<IBitmap> GR_D3D_Screenshot_Part(int x, int y, int w, int h);
std::unique_ptr<IBitmap> GR_D3D_Screenshot_Full();
// The window pixel at (x, y) as 0xAABBGGRR; 0 when nothing could be read.
uint32_t GR_D3D_GetPixel(int x, int y);

// A page entry's pixels read back from its page into a new bitmap of the
// untrimmed size divided by `scale` (≥ 1), transparent where the trimming
// took pixels away and clipped to the bitmap where a damaged entry places
// them outside; the page's alpha is kept. Null when nothing can be read.
std::unique_ptr<CBitmap32> ReadBack_PageEntry(const ZQTPageEntry& entry, int scale);

// Drops the cached block of single-pixel reads (the cache also checks the
// frame buffer write stamp on every read; this is for freed textures).
void ReadBack_Forget(const Texture* texture);
void ReadBack_Reset();
