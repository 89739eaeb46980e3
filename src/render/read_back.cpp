// Pixel read-back (see read_back.h). Reads bind the frame buffer they read as
// the read target only, so reading never changes where drawing goes nor
// counts as a change of any frame buffer's contents.
//
// Single-pixel reads of a surface are synchronous GL reads; scripts sample
// many pixels of one surface at a time (a picture taken apart pixel by pixel).
// The first read of a surface reads its one pixel; a second read of the same
// surface with nothing drawn anywhere since (g_FrameBufferWriteStamp
// unchanged) reads the whole surface once and serves that read and the
// following ones from memory until the stamp moves. A surface that is being
// drawn into is always read directly.
#include "render/read_back.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/matrix.h"
#include "core/memory_manager.h"
#include "core/support_output.h"
#include "render/bitmap32.h"
#include "render/gl_api.h"
#include "render/gl_layer.h"
#include "render/graphics_device.h"
#include "render/image_decode.h"
#include "render/page_entry.h"
#include "render/platform_bitmap.h"
#include "render/texture.h"
#include "render/texture_draw.h"
#include "render/texture_table.h"
#include "render/view.h"

namespace {

// The largest surface whose pixels one cached block read may hold (16 MB).
constexpr int64_t kMaxCachedPixels = int64_t{1} << 22;

struct PixelCache {
    // The block: the whole frame buffer of `texture` as it was at `stamp`.
    const Texture* texture = nullptr;
    int32_t frameBuffer = -1;
    int32_t width = 0, height = 0;
    uint32_t stamp = 0;
    bool valid = false;
    std::vector<uint32_t> pixels;
    // The last single read that went to the GPU.
    const Texture* lastTexture = nullptr;
    int32_t lastFrameBuffer = -1;
    uint32_t lastStamp = 0;
    bool lastValid = false;
};

PixelCache g_PixelCache;

uint32_t* AllocPixels(int w, int h) {
    return static_cast<uint32_t*>(ZQ_Alloc(static_cast<size_t>(w) * static_cast<size_t>(h) * 4));
}

// Reads the rectangle (x, y, w, h) of the frame buffer bound for reading,
// whose size is fbW × fbH, into `out` (w × h, zero-filled by the caller),
// top row first. With `flipHeight` ≥ 0 the frame buffer's rows run bottom-up
// and row r from the top is GL row flipHeight − 1 − r; with -1 it is stored
// top-down. Only the part inside the frame buffer is read.
void ReadClipped(int fbW, int fbH, int x, int y, int w, int h, int flipHeight, uint32_t* out) {
    const int64_t c0 = x > 0 ? x : 0;
    const int64_t c1 = std::min<int64_t>(int64_t{x} + w, fbW);
    // Rows from the top that lie inside the frame buffer.
    int64_t r0 = y > 0 ? y : 0;
    int64_t r1 = std::min<int64_t>(int64_t{y} + h, flipHeight >= 0 ? flipHeight : fbH);
    if (flipHeight >= 0) r0 = std::max<int64_t>(r0, int64_t{flipHeight} - fbH);
    if (c1 <= c0 || r1 <= r0) return;
    const int cw = static_cast<int>(c1 - c0), ch = static_cast<int>(r1 - r0);
    const int glRow = static_cast<int>(flipHeight >= 0 ? flipHeight - r1 : r0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    const bool whole = cw == w && ch == h && flipHeight < 0;
    if (whole) {
        glReadPixels(static_cast<GLint>(c0), glRow, cw, ch, GL_RGBA, GL_UNSIGNED_BYTE, out);
        return;
    }
    std::vector<uint32_t> block(static_cast<size_t>(cw) * static_cast<size_t>(ch));
    glReadPixels(static_cast<GLint>(c0), glRow, cw, ch, GL_RGBA, GL_UNSIGNED_BYTE, block.data());
    for (int i = 0; i < ch; ++i) {
        // GL delivers the block bottom row first.
        const int64_t row = flipHeight >= 0 ? r1 - 1 - i : r0 + i;
        std::memcpy(out + static_cast<size_t>(row - y) * static_cast<size_t>(w) + static_cast<size_t>(c0 - x),
                    block.data() + static_cast<size_t>(i) * static_cast<size_t>(cw),
                    static_cast<size_t>(cw) * 4);
    }
}

// Reads from a frame buffer other than the bound one through the read binding.
void ReadFrameBuffer(int frameBuffer, int fbW, int fbH, int x, int y, int w, int h, uint32_t* out) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(frameBuffer));
    ReadClipped(fbW, fbH, x, y, w, h, -1, out);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(g_CurrentFrameBuffer));
}

bool IsBeingDrawnInto(const Texture* t) {
    if (t->frameBufferID == g_CurrentFrameBuffer) return true;
    const RenderBufferEntry top = topRenderBufferStack();
    for (int32_t attachment : top.attachments)
        if (attachment != 0 && attachment == t->textureID) return true;
    return false;
}

bool RenderTargetUsable(const Texture* t) {
    return t != nullptr && t->frameBufferID > 0 && t->width > 0 && t->height > 0;
}

} // namespace

bool ReadBack_SizeOk(int w, int h) {
    if (w >= 1 && h >= 1 && w <= kMaxReadBackSide && h <= kMaxReadBackSide &&
        int64_t{w} * h <= kMaxReadBackPixels)
        return true;
    Support_DebugOutput("Pixel read-back of %d x %d refused: sides must be 1 to %d\n", w, h,
                        kMaxReadBackSide);
    return false;
}

uint32_t* Graphics::GrabScreenRect(int, int, int x, int y, int* w, int* h) {
    if (w == nullptr || h == nullptr || !Graphics_Ready()) return nullptr;
    if (!ReadBack_SizeOk(*w, *h)) return nullptr;
    Graphics::Flush();
    uint32_t* out = AllocPixels(*w, *h);
    if (out == nullptr) return nullptr;
    // The window's rows run bottom-up; a surface being drawn into is stored
    // top-down, so its rows are read as they are.
    const int flip = g_RenderTargetActive == -1 ? -1 : g_WindowHeight;
    ReadClipped(g_CurrFBOWidth, g_CurrFBOHeight, x, y, *w, *h, flip, out);
    return out;
}

uint32_t* Graphics::Surface_GrabRect(Texture* texture, int x, int y, int w, int h) {
    if (!Graphics_Ready() || !RenderTargetUsable(texture) || !ReadBack_SizeOk(w, h)) return nullptr;
    Graphics::Flush();
    uint32_t* out = AllocPixels(w, h);
    if (out == nullptr) return nullptr;
    ReadFrameBuffer(texture->frameBufferID, texture->width, texture->height, x, y, w, h, out);
    return out;
}

uint32_t* Graphics::Texture_GrabRect(Texture* texture, int x, int y, int w, int h) {
    if (texture == nullptr || !ReadBack_SizeOk(w, h)) return nullptr;
    const int64_t x1 = int64_t{x} + w, y1 = int64_t{y} + h;
    if (x < 0 || y < 0 || x1 > texture->width || y1 > texture->height) {
        Support_DebugOutput("Texture read-back outside the texture: x = %d, y = %d, w = %d, h = %d\n", x, y,
                            w, h);
        return nullptr;
    }
    if (texture->frameBufferID <= 0 && (g_TextureScale != 1 || texture->textureID == -1)) {
        bool owned = false;
        const uint8_t* pixels = _GetCPUSideTextureData(texture, owned);
        if (pixels != nullptr) {
            uint32_t* out = AllocPixels(w, h);
            if (out != nullptr) {
                for (int row = 0; row < h; ++row)
                    std::memcpy(out + static_cast<size_t>(row) * static_cast<size_t>(w),
                                pixels +
                                    ((static_cast<size_t>(y) + row) * static_cast<size_t>(texture->width) +
                                     static_cast<size_t>(x)) *
                                        4,
                                static_cast<size_t>(w) * 4);
            }
            if (owned) FreePNGFile();
            return out;
        }
    }
    if (texture->textureID <= 0 || !Graphics_Ready()) return nullptr;
    Graphics::Flush();
    uint32_t* out = AllocPixels(w, h);
    if (out == nullptr) return nullptr;
    GLuint frameBuffer = 0;
    glGenFramebuffers(1, &frameBuffer);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, frameBuffer);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                           static_cast<GLuint>(texture->textureID), 0);
    ReadClipped(texture->width, texture->height, x, y, w, h, -1, out);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(g_CurrentFrameBuffer));
    glDeleteFramebuffers(1, &frameBuffer);
    return out;
}

void Graphics::Surface_SetRect(const uint32_t* pixels, Texture* texture, int x, int y, int w, int h) {
    if (pixels == nullptr || texture == nullptr || w <= 0 || h <= 0 || !Graphics_Ready()) return;
    Graphics::Flush();
    const int x0 = x > 0 ? x : 0, y0 = y > 0 ? y : 0;
    const int64_t xe = std::min<int64_t>(int64_t{x} + w, texture->width);
    const int64_t ye = std::min<int64_t>(int64_t{y} + h, texture->height);
    if (xe <= x0 || ye <= y0) return;
    const int cw = static_cast<int>(xe - x0), ch = static_cast<int>(ye - y0);
    if (texture->textureID <= 0) _CreateTextureIfInvalid(texture, true, eMip_Any);
    if (texture->textureID <= 0) return;
    FrameBuffer_MayChange();
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture->textureID));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    if (x >= 0 && y >= 0 && cw == w && ch == h) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    } else {
        const uint32_t* source = pixels + (x0 - x) + static_cast<size_t>(w) * static_cast<size_t>(y0 - y);
        for (int row = 0; row < ch; ++row, source += w)
            glTexSubImage2D(GL_TEXTURE_2D, 0, x0, y0 + row, cw, 1, GL_RGBA, GL_UNSIGNED_BYTE, source);
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
}

void Graphics::SurfaceCopy(Texture* dest, int x, int y, Texture* src, int sx, int sy, int w, int h) {
    if (!Graphics_Ready() || !RenderTargetUsable(dest) || src == nullptr || src->width <= 0 ||
        src->height <= 0 || !ReadBack_SizeOk(w < 0 ? -w : w, h < 0 ? -h : h))
        return;
    Graphics::Flush();
    // Drawing a texture into its own frame buffer reads what it writes: the
    // rectangle is taken from a copy instead.
    Texture* source = src;
    float tu1 = static_cast<float>(sx) / static_cast<float>(src->width);
    float tv1 = static_cast<float>(sy) / static_cast<float>(src->height);
    float tu2 = static_cast<float>(sx + w) / static_cast<float>(src->width);
    float tv2 = static_cast<float>(sy + h) / static_cast<float>(src->height);
    if (src == dest) {
        if (w <= 0 || h <= 0) return;
        uint32_t* pixels = Surface_GrabRect(src, sx, sy, w, h);
        if (pixels == nullptr) return;
        source = Graphics::CreateTextureFromData(reinterpret_cast<const uint8_t*>(pixels), w, h, nullptr,
                                                 eTextureFormat_A8R8G8B8);
        ZQ_Free(pixels);
        tu1 = tv1 = 0;
        tu2 = static_cast<float>(w) / static_cast<float>(source->width);
        tv2 = static_cast<float>(h) / static_cast<float>(source->height);
    }
    zqMatrix saved[3];
    for (int m = eMatrix_View; m <= eMatrix_World; ++m) Graphics::GetMatrix(m, saved[m].m);

    DBG_BIND_FRAMEBUFFER(dest->frameBufferID);
    const int32_t targetActive = g_RenderTargetActive;
    g_RenderTargetActive = -1;
    // The destination's own orthographic view, stored top-down like every
    // render target; the script's world transform does not move the copy.
    const float cx = 0.5f * static_cast<float>(dest->width), cy = 0.5f * static_cast<float>(dest->height);
    const zqVector3 eye{cx, cy, -16000.0f}, at{cx, cy, 0.0f}, up{0.0f, 1.0f, 0.0f};
    zqMatrix view, projection;
    zqMatrix::LookAtLH(&view, &eye, &at, &up);
    zqMatrix::OrthoLH(&projection, static_cast<float>(dest->width), static_cast<float>(dest->height), 1.0f,
                      32000.0f);
    const zqMatrix identity = zqMatrix::Identity();
    Graphics::SetMatrix(eMatrix_View, view.m);
    Graphics::SetMatrix(eMatrix_Projection, projection.m);
    Graphics::SetMatrix(eMatrix_World, identity.m);
    glViewport(0, 0, dest->width, dest->height);
    glScissor(0, 0, dest->width, dest->height);

    const float x1 = static_cast<float>(x), y1 = static_cast<float>(y);
    const float x2 = static_cast<float>(x + w), y2 = static_cast<float>(y + h);
    DrawIt_Color(source, x1, y1, x2, y1, x2, y2, x1, y2, tu1, tv1, tu2, tv2, 0xFFFFFFFFu, 0xFFFFFFFFu,
                 0xFFFFFFFFu, 0xFFFFFFFFu);
    Graphics::Flush();
    g_RenderTargetActive = targetActive;

    Graphics::SetMatrix(eMatrix_View, saved[eMatrix_View].m);
    Graphics::SetMatrix(eMatrix_Projection, saved[eMatrix_Projection].m);
    Graphics::SetMatrix(eMatrix_World, saved[eMatrix_World].m);
    Graphics::SetViewPort(old_view_port_x, old_view_port_y, old_view_port_w, old_view_port_h);
    DBG_BIND_FRAMEBUFFER(g_CurrentFrameBuffer);
    if (source != src) Graphics::FreeTexture(source);
}

bool Graphics::Surface_GetPixel(Texture* texture, int x, int y, uint32_t* pixel) {
    if (pixel != nullptr) *pixel = 0;
    if (pixel == nullptr || !Graphics_Ready() || !RenderTargetUsable(texture)) return false;
    if (x < 0 || y < 0 || x >= texture->width || y >= texture->height) return false;
    Graphics::Flush();
    PixelCache& c = g_PixelCache;
    const uint32_t stamp = g_FrameBufferWriteStamp;
    if (IsBeingDrawnInto(texture)) {
        ReadFrameBuffer(texture->frameBufferID, texture->width, texture->height, x, y, 1, 1, pixel);
        return true;
    }
    if (c.valid && c.texture == texture && c.frameBuffer == texture->frameBufferID && c.stamp == stamp &&
        c.width == texture->width && c.height == texture->height) {
        *pixel = c.pixels[static_cast<size_t>(y) * static_cast<size_t>(c.width) + static_cast<size_t>(x)];
        return true;
    }
    const bool again = c.lastValid && c.lastTexture == texture &&
                       c.lastFrameBuffer == texture->frameBufferID && c.lastStamp == stamp;
    if (again && int64_t{texture->width} * texture->height <= kMaxCachedPixels) {
        c.pixels.assign(static_cast<size_t>(texture->width) * static_cast<size_t>(texture->height), 0);
        ReadFrameBuffer(texture->frameBufferID, texture->width, texture->height, 0, 0, texture->width,
                        texture->height, c.pixels.data());
        c.texture = texture;
        c.frameBuffer = texture->frameBufferID;
        c.width = texture->width;
        c.height = texture->height;
        c.stamp = stamp;
        c.valid = true;
        *pixel = c.pixels[static_cast<size_t>(y) * static_cast<size_t>(c.width) + static_cast<size_t>(x)];
        return true;
    }
    ReadFrameBuffer(texture->frameBufferID, texture->width, texture->height, x, y, 1, 1, pixel);
    c.lastTexture = texture;
    c.lastFrameBuffer = texture->frameBufferID;
    c.lastStamp = stamp;
    c.lastValid = true;
    return true;
}

std::unique_ptr<IBitmap> GR_D3D_Screenshot_Part(int x, int y, int w, int h) {
    if (!Graphics_Ready()) return nullptr;
    // Clipped to the frame buffer that is read, so nothing outside it is
    // ever asked for.
    const int width = g_CurrFBOWidth, height = g_CurrFBOHeight;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    if (int64_t{x} + w > width) w = width - x;
    if (int64_t{y} + h > height) h = height - y;
    if (w <= 0 || h <= 0) return nullptr;
    uint32_t* pixels = Graphics::GrabScreenRect(width, height, x, y, &w, &h);
    if (pixels == nullptr) return nullptr;
    // Read-backs are bytes red, green, blue, alpha; a 32-bit bitmap holds
    // blue, green, red, alpha, as every bitmap made into sprite frames does.
    std::unique_ptr<IBitmap> bitmap = BitmapFromRGBA(reinterpret_cast<const uint8_t*>(pixels), w, h);
    ZQ_Free(pixels);
    return bitmap;
}

std::unique_ptr<IBitmap> GR_D3D_Screenshot_Full() {
    return GR_D3D_Screenshot_Part(0, 0, region_width, region_height);
}

uint32_t GR_D3D_GetPixel(int x, int y) {
    int w = 1, h = 1;
    uint32_t* pixels = Graphics::GrabScreenRect(w, h, x, y, &w, &h);
    if (pixels == nullptr) return 0;
    const uint32_t pixel = pixels[0];
    ZQ_Free(pixels);
    return pixel;
}

void ReadBack_Forget(const Texture* texture) {
    if (texture == nullptr) return;
    if (g_PixelCache.texture == texture) g_PixelCache.valid = false;
    if (g_PixelCache.lastTexture == texture) g_PixelCache.lastValid = false;
}

void ReadBack_Reset() {
    g_PixelCache = PixelCache{};
}

std::unique_ptr<CBitmap32> ReadBack_PageEntry(const ZQTPageEntry& e, int scale) {
    if (scale < 1 || e.width <= 0 || e.height <= 0) return nullptr;
    const int outW = e.untrimmedWidth / scale;
    const int outH = e.untrimmedHeight / scale;
    if (outW <= 0 || outH <= 0) return nullptr;
    Texture* page = GR_Texture_Get_Surface(e.page);
    if (page == nullptr) return nullptr;
    uint32_t* grabbed = Graphics::Texture_GrabRect(page, e.x, e.y, e.width, e.height);
    if (grabbed == nullptr) return nullptr;

    std::unique_ptr<IBitmap> image = IBitmap::Create();
    image->SetPixelFormat(kPixelFormat32);
    image->SetWidth(outW);
    image->SetHeight(outH);
    void* rows = nullptr;
    int stride = 0;
    void* token = image->LockBits(0, &rows, &stride);
    if (token == nullptr || rows == nullptr) {
        ZQ_Free(grabbed);
        return nullptr;
    }
    std::memset(rows, 0, static_cast<size_t>(stride) * static_cast<size_t>(outH));
    const int left = e.xOffset / scale, top = e.yOffset / scale;
    const auto* in = reinterpret_cast<const uint8_t*>(grabbed);
    for (int y = 0; y < e.height; ++y) {
        const int oy = top + y;
        if (oy < 0 || oy >= outH) continue;
        for (int x = 0; x < e.width; ++x) {
            const int ox = left + x;
            if (ox < 0 || ox >= outW) continue;
            const uint8_t* p = in + (static_cast<size_t>(y) * static_cast<size_t>(e.width) + x) * 4;
            uint8_t* q = static_cast<uint8_t*>(rows) + static_cast<size_t>(oy) * static_cast<size_t>(stride) +
                         static_cast<size_t>(ox) * 4;
            q[0] = p[2];
            q[1] = p[1];
            q[2] = p[0];
            q[3] = p[3];
        }
    }
    image->UnlockBits(token);
    ZQ_Free(grabbed);
    auto bitmap = std::make_unique<CBitmap32>(image.get(), false, false, true);
    if (!bitmap->IsValid()) return nullptr;
    return bitmap;
}
