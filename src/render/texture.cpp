// GPU textures. A record's GL texture is made at its first bind from what the
// record keeps (encoded source data or CPU pixels), so losing the context's
// objects loses nothing but GPU copies. The flags always describe the GL
// texture that exists now: 0x20 is cleared before a remake and set again only
// by GenerateMips.
#include "render/texture.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <vector>

#include "core/memory_manager.h"
#include "core/support_output.h"
#include "render/gl_api.h"
#include "render/gl_layer.h"
#include "render/gl_state.h"
#include "render/graphics_device.h"
#include "render/image_decode.h"
#include "render/render_state.h"
#include "render/render_target.h"
#include "render/texture_decompress.h"
#include "core/game_image.h"

Texture* Texture::ms_pFirst = nullptr;
Texture* g_pBlankTexture = nullptr;
Texture* _pLastTexture[8] = {};
int32_t g_CurrActiveTexture = 0;
bool g_ForceTextureSet = false;
int32_t g_numTextureSwaps = 0;
bool g_bForceSurfaceFlush = false;
int32_t g_UsingGL2 = 1;

namespace {

enum class SourceKind { None, Png, Raw, Pvr, Other };

// What the kept source data says about itself; every header field is read
// through the checked reader, and the pixel data the header promises must
// lie inside the kept bytes.
struct SourceHeader {
    SourceKind kind = SourceKind::None;
    int32_t width = 0, height = 0;
    uint32_t rawFormat = 0;  // raw: 1 = 4444
    uint32_t dataOffset = 0; // raw: 16; PVR: header size
    int twoBitMode = 0;      // PVR
    bool valid = false;      // sizes read and the data covers them
};

SourceHeader ReadSourceHeader(const Texture* t) {
    SourceHeader h;
    if (t->sourceData == nullptr) return h;
    const uint8_t* d = t->sourceData;
    const uint32_t n = t->sourceSize;
    if (n >= 4 && d[0] == 0x89 && d[1] == 'P' && d[2] == 'N' && d[3] == 'G') {
        h.kind = SourceKind::Png;
        h.valid = true;
        return h;
    }
    // The reader never writes; it takes a mutable image for loaders that do.
    uint8_t* image = const_cast<uint8_t*>(d);
    try {
        if (n >= 4 && std::memcmp(d, "RAW ", 4) == 0) {
            h.kind = SourceKind::Raw;
            ImageReader r(image, n, 4, n, "RAW ");
            h.width = r.S32();
            h.height = r.S32();
            h.rawFormat = r.U32();
            h.dataOffset = 16;
            const uint64_t texel = h.rawFormat == 1 ? 2 : 4;
            h.valid = h.width > 0 && h.height > 0 && h.width <= 16384 && h.height <= 16384 &&
                      16 + texel * static_cast<uint64_t>(h.width) * static_cast<uint64_t>(h.height) <= n;
            return h;
        }
        if (n >= 48 && std::memcmp(d + 44, "PVR!", 4) == 0) {
            h.kind = SourceKind::Pvr;
            ImageReader r(image, n, 0, n, "PVR");
            h.dataOffset = r.U32();
            h.height = r.S32();
            h.width = r.S32();
            r.Seek(24);
            h.twoBitMode = r.U32() == 2 ? 1 : 0;
            const size_t need = PVRTC_DataSize(h.twoBitMode, h.width, h.height);
            h.valid = need != 0 && h.dataOffset <= n && need <= n - h.dataOffset;
            return h;
        }
    } catch (const std::exception&) {
        h.valid = false;
        return h;
    }
    h.kind = SourceKind::Other;
    return h;
}

void Link(Texture* t) {
    t->next = Texture::ms_pFirst;
    Texture::ms_pFirst = t;
}

void Unlink(Texture* t) {
    for (Texture** p = &Texture::ms_pFirst; *p != nullptr; p = &(*p)->next) {
        if (*p == t) {
            *p = t->next;
            return;
        }
    }
}

bool IsRenderTarget(const Texture* t) {
    return t->frameBufferID != -1;
}

GLuint Name(int32_t id) {
    return static_cast<GLuint>(id);
}

void DeleteGLObjects(Texture* t) {
    if (t->textureID > 0) {
        GLuint name = Name(t->textureID);
        glDeleteTextures(1, &name);
    }
    if (t->frameBufferID > 0) {
        GLuint name = Name(t->frameBufferID);
        glDeleteFramebuffers(1, &name);
    }
    GLuint buffers[2];
    int count = 0;
    if (t->depthBufferID > 0) buffers[count++] = Name(t->depthBufferID);
    if (t->stencilBufferID > 0 && t->stencilBufferID != t->depthBufferID)
        buffers[count++] = Name(t->stencilBufferID);
    if (count > 0) glDeleteRenderbuffers(count, buffers);
    t->textureID = t->frameBufferID = t->depthBufferID = t->stencilBufferID = -1;
}

void SetNPOTFlag(Texture* t) {
    if (!_IsPowerOfTwo(t->width) || !_IsPowerOfTwo(t->height)) t->flags |= eTexFlag_NonPowerOfTwo;
}

// Every upload binds the blank texture first and forgets the active stage's
// cache entry, so the upload's own glBindTexture never leaves the cache
// believing a stale texture is bound.
void BindBlankFirst() {
    if (g_UsingGL2 != 1) return;
    const int stage = g_CurrActiveTexture;
    if (_pLastTexture[stage] != nullptr) ++g_numTextureSwaps;
    _pLastTexture[stage] = nullptr;
    if (g_pBlankTexture == nullptr) return;
    if (g_pBlankTexture->textureID == -1) _CreateTextureIfInvalid(g_pBlankTexture, false, eMip_Any);
    glBindTexture(GL_TEXTURE_2D, Name(g_pBlankTexture->textureID));
    UpdateCurrentTextureSettings(stage);
}

GLuint NewBoundTexture() {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    // Level 0 only until mipmaps are made; keeps the texture complete.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    return name;
}

bool WantsMips(const Texture* t, int mip) {
    return mip == eMip_On || (mip == eMip_WhenWanted && (t->flags & eTexFlag_MipsWanted) != 0);
}

void UploadRGBA(Texture* t, int width, int height, const uint8_t* pixels, int mip) {
    t->textureID = static_cast<int32_t>(NewBoundTexture());
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    t->flags |= eTexFlag_Uploaded;
    if (WantsMips(t, mip)) GenerateMips(t, width, height, 4, pixels);
}

void LoadTextureFromPNG(Texture* t, int mip) {
    int w = 0, h = 0;
    const bool reduce = (t->flags & eTexFlag_NoScale) == 0;
    uint8_t* pixels = ReadPNGFile(t->sourceData, static_cast<int>(t->sourceSize), &w, &h, reduce);
    if (pixels == nullptr) {
        Support_DebugOutput("LoadTextureFromPNG :: a PNG error occured\n");
        return;
    }
    BindBlankFirst();
    t->width = g_TextureScale * w;
    t->height = g_TextureScale * h;
    UploadRGBA(t, w, h, pixels, mip);
    FreePNGFile();
    t->format = eTextureFormat_A8R8G8B8;
}

void _CreateTexture(Texture* t, bool bindBlank, int mip) {
    if (g_UsingGL2 == 1 && bindBlank) BindBlankFirst();
    t->flags &= ~eTexFlag_MipsPresent;
    if (t->sourceData != nullptr) {
        const SourceHeader h = ReadSourceHeader(t);
        if (h.kind == SourceKind::Png) {
            Support_DebugOutput("Texture #3 %d,%d\n", t->width, t->height);
            LoadTextureFromPNG(t, mip);
        } else if ((h.kind == SourceKind::Raw || h.kind == SourceKind::Pvr) && !h.valid) {
            // A header whose sizes the kept bytes do not cover is refused
            // rather than read past the data's end.
            Support_DebugOutput("FAILED\n");
        } else if (h.kind == SourceKind::Raw) {
            t->width = h.width;
            t->height = h.height;
            const uint8_t* data = t->sourceData + h.dataOffset;
            if (h.rawFormat == 1) {
                t->format = eTextureFormat_A4R4G4B4;
                t->textureID = static_cast<int32_t>(NewBoundTexture());
                glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, h.width, h.height, 0, GL_RGBA,
                             GL_UNSIGNED_SHORT_4_4_4_4, data);
            } else {
                t->format = eTextureFormat_A8R8G8B8;
                UploadRGBA(t, h.width, h.height, data, mip);
            }
        } else if (h.kind == SourceKind::Pvr) {
            t->width = h.width;
            t->height = h.height;
            t->format = eTextureFormat_A8R8G8B8;
            std::vector<uint8_t> rgba(static_cast<size_t>(h.width) * static_cast<size_t>(h.height) * 4);
            PVRTDecompressPVRTC(t->sourceData + h.dataOffset, h.twoBitMode, h.width, h.height, rgba.data());
            t->textureID = static_cast<int32_t>(NewBoundTexture());
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, h.width, h.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                         rgba.data());
        } else {
            Support_DebugOutput("FAILED\n");
        }
    } else {
        Support_DebugOutput("Texture #1 %d,%d\n", t->width, t->height);
        if (t->pixels != nullptr) {
            Support_DebugOutput("Texture #2 %d,%d\n", t->width, t->height);
            UploadRGBA(t, t->width, t->height, t->pixels, mip);
        } else {
            t->textureID = static_cast<int32_t>(NewBoundTexture());
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, t->width, t->height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                         nullptr);
            _SetupRenderTargetFBO(t, t->width, t->height);
        }
    }
    SetNPOTFlag(t);
}

// Whether a texture's source can ever carry mipmaps: 4444 raw data and PVR
// data never get them, so a wish for mipmaps must not remake them at every bind.
bool MipCapable(const Texture* t) {
    if (t->sourceData == nullptr) return true;
    const SourceHeader h = ReadSourceHeader(t);
    if (h.kind == SourceKind::Pvr) return false;
    if (h.kind == SourceKind::Raw && h.rawFormat == 1) return false;
    return true;
}

GLint MinFilterWithMips(int minFilter, int mipFilter) {
    const bool linear = minFilter != 0;
    if (mipFilter == 0) return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
}

void ApplySamplerSettings(int s) {
    const Texture* t = _pLastTexture[s];
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER,
                    g_TextureFilterMag[s] == 1 ? GL_LINEAR : GL_NEAREST);
    if (t != nullptr && (t->flags & eTexFlag_MipsPresent) != 0) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                        MinFilterWithMips(static_cast<int>(g_TextureFilterMin[s]),
                                          static_cast<int>(g_TextureFilterMip[s])));
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_LOD_BIAS, g_TextureMipBias[s]);
        if (g_SupportAniso) {
            const float aniso = g_TextureFilterMip[s] == 2
                                    ? static_cast<float>(std::min<int64_t>(g_TextureMaxAniso[s], g_MaxAniso))
                                    : 1.0f;
            glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, aniso);
        }
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_LOD, g_TextureMinMip[s]);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_LOD, g_TextureMaxMip[s]);
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                        g_TextureFilterMin[s] == 1 ? GL_LINEAR : GL_NEAREST);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S,
                    g_TextureWrapModeU[s] == 1 ? GL_CLAMP_TO_EDGE : GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T,
                    g_TextureWrapModeV[s] == 1 ? GL_CLAMP_TO_EDGE : GL_REPEAT);
}

void MakeActive(int stage) {
    if (g_CurrActiveTexture == stage) return;
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(stage));
    g_CurrActiveTexture = stage;
}

} // namespace

bool _IsPowerOfTwo(int n) {
    return n > 0 && (n & (n - 1)) == 0;
}

void _SetTextureNPOTFlags(Texture* texture) {
    SetNPOTFlag(texture);
}

int Graphics::GetMaxTextureSize() {
    return MAX_TEXTURE_SIZE;
}

int Graphics::GetPOW2Size(int n) {
    int size = 1;
    while (size < n) {
        if (size > MAX_TEXTURE_SIZE / 2) return MAX_TEXTURE_SIZE;
        size <<= 1;
    }
    return size;
}

Texture* Graphics::CreateTexture(int width, int height, int mipLevels, int flags, int format) {
    auto* t = new Texture();
    t->format = format;
    if (width <= 0 || height <= 0) {
        // Binds GL texture 0 and is never made lazily.
        t->textureID = t->frameBufferID = t->depthBufferID = t->stencilBufferID = 0;
        Link(t);
        return t;
    }
    if (!g_SupportNPOT) {
        width = GetPOW2Size(width);
        height = GetPOW2Size(height);
    }
    width = std::min(width, MAX_TEXTURE_SIZE);
    height = std::min(height, MAX_TEXTURE_SIZE);
    t->width = width;
    t->height = height;
    t->mipLevels = mipLevels;
    Link(t);
    if ((flags & eTextureFlags_RenderTarget) != 0) {
        BindBlankFirst();
        t->textureID = static_cast<int32_t>(NewBoundTexture());
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        SetNPOTFlag(t);
        _SetupRenderTargetFBO(t, t->width, t->height);
        return t;
    }
    BindBlankFirst();
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4 + 16;
    t->allocation = static_cast<uint8_t*>(ZQ_AllocNoClear(bytes));
    t->pixels = t->allocation;
    return t;
}

Texture* Graphics::CreateTextureFromFile(const uint8_t* data, uint32_t size, ImageInfo* info, int format,
                                         bool scaled) {
    if (data == nullptr) return nullptr;
    auto* t = new Texture();
    t->sourceData = data;
    t->sourceSize = size;
    t->flags = scaled ? 0u : static_cast<uint32_t>(eTexFlag_NoScale);
    t->format = format;
    const SourceHeader h = ReadSourceHeader(t);
    if (h.kind == SourceKind::Png) {
        int w = 0, hh = 0;
        if (ReadPNGFileHeader(data, static_cast<int>(size), &w, &hh, false)) {
            t->width = w;
            t->height = hh;
            t->format = eTextureFormat_A8R8G8B8;
        } else {
            Support_DebugOutput("getTextureInfo :: a PNG error occured\n");
        }
    } else if (h.kind == SourceKind::Raw && h.valid) {
        t->width = h.width;
        t->height = h.height;
        t->format = h.rawFormat == 1 ? eTextureFormat_A4R4G4B4 : eTextureFormat_A8R8G8B8;
    } else if (h.kind == SourceKind::Pvr && h.valid) {
        t->width = h.width;
        t->height = h.height;
        t->format = eTextureFormat_A8R8G8B8;
    }
    if (info != nullptr)
        *info = {t->width, t->height, t->format == eTextureFormat_A8R8G8B8 ? 32 : 16, t->format};
    Link(t);
    return t;
}

Texture* Graphics::CreateTextureFromData(const uint8_t* pixels, int width, int height, ImageInfo* info, int) {
    if (info != nullptr) {
        const int w = g_SupportNPOT ? width : GetPOW2Size(width);
        const int h = g_SupportNPOT ? height : GetPOW2Size(height);
        *info = {w, h, 32, eTextureFormat_A8R8G8B8};
    }
    Texture* t = CreateTexture(width, height, 0, 0, eTextureFormat_A8R8G8B8);
    CopySurface(t, 0, width, height, pixels);
    return t;
}

void Graphics::CopySurface(Texture* t, int, int width, int height, const void* pixels) {
    if (t == nullptr || t->pixels == nullptr || pixels == nullptr) return;
    if (t->width == 0 || t->height == 0 || width <= 0 || height <= 0) return;
    // The copied rectangle is clipped to the texture so that a caller's
    // oversized copy can never write past the CPU block.
    const int w = std::min(width, t->width);
    const int h = std::min(height, t->height);
    if (w < t->width || h < t->height)
        std::memset(t->pixels, 0, static_cast<size_t>(t->width) * t->height * 4);
    const auto* src = static_cast<const uint8_t*>(pixels);
    for (int y = 0; y < h; ++y)
        std::memcpy(t->pixels + static_cast<size_t>(y) * t->width * 4,
                    src + static_cast<size_t>(y) * width * 4, static_cast<size_t>(w) * 4);
    _CreateTextureIfInvalid(t, true, eMip_Any);
    Support_DebugOutput("finished(2)!!\n");
}

void _CreateTextureIfInvalid(Texture* t, bool bindBlank, int mip) {
    if (t == nullptr) return;
    if (!g_GraphicsInitialised) return;
    const uint32_t f = t->flags;
    bool remake = t->textureID == -1;
    switch (mip) {
        case eMip_Off: remake = remake || (f & eTexFlag_MipsPresent) != 0; break;
        case eMip_On:
            remake = remake || ((f & eTexFlag_Uploaded) != 0 && (f & eTexFlag_MipsPresent) == 0);
            break;
        case eMip_WhenWanted:
            remake = remake ||
                     ((f & eTexFlag_MipsWanted) != 0 && (f & eTexFlag_MipsPresent) == 0 && MipCapable(t));
            break;
        default: break;
    }
    if (!remake) return;
    if (g_bForceSurfaceFlush || !IsRenderTarget(t)) DeleteGLObjects(t);
    if (t->textureID != -1) return; // a render target keeps its objects
    _CreateTexture(t, bindBlank, mip);
}

void MipDownsample(const uint8_t* in, int width, int height, uint8_t* out) {
    const int nw = width > 1 ? width / 2 : 1;
    const int nh = height > 1 ? height / 2 : 1;
    for (int y = 0; y < nh; ++y) {
        for (int x = 0; x < nw; ++x) {
            for (int c = 0; c < 4; ++c) {
                unsigned sum;
                if (width > 1 && height > 1) {
                    const uint8_t* a = in + ((2 * y) * width + 2 * x) * 4 + c;
                    sum = (a[0] + a[4] + a[width * 4] + a[width * 4 + 4]) >> 2;
                } else if (height == 1) {
                    const uint8_t* a = in + (2 * x) * 4 + c;
                    sum = width > 1 ? (a[0] + a[4]) >> 1 : a[0];
                } else {
                    const uint8_t* a = in + (2 * y) * width * 4 + c;
                    sum = (a[0] + a[width * 4]) >> 1;
                }
                out[(y * nw + x) * 4 + c] = static_cast<uint8_t>(sum);
            }
        }
    }
}

void GenerateMips(Texture* t, int width, int height, int bytesPerTexel, const uint8_t* pixels) {
    std::vector<uint8_t> previous(pixels, pixels + static_cast<size_t>(width) * height * bytesPerTexel);
    std::vector<uint8_t> next;
    int level = 0;
    while (width > 1 || height > 1) {
        const int nw = width > 1 ? width / 2 : 1;
        const int nh = height > 1 ? height / 2 : 1;
        next.assign(static_cast<size_t>(nw) * nh * bytesPerTexel, 0);
        MipDownsample(previous.data(), width, height, next.data());
        ++level;
        glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA, nw, nh, 0, GL_RGBA, GL_UNSIGNED_BYTE, next.data());
        previous.swap(next);
        width = nw;
        height = nh;
    }
    t->flags |= eTexFlag_MipsPresent;
}

void UpdateCurrentTextureSettings(int stage) {
    if (g_UsingGL2 != 1 || !g_GraphicsInitialised || stage < 0 || stage >= 8) return;
    MakeActive(stage);
    if (_pLastTexture[stage] != nullptr) ApplySamplerSettings(stage);
}

void Graphics::SetTexture(int stage, Texture* texture) {
    if (stage < 0 || stage >= 8 || g_UsingGL2 != 1) return;
    if (!g_ForceTextureSet && _pLastTexture[stage] == texture) {
        if (texture != nullptr && texture->textureID != -1) return;
        if (texture == nullptr && g_pBlankTexture != nullptr && g_pBlankTexture->textureID != -1) return;
    }
    if (!g_GraphicsInitialised) return;
    MakeActive(stage);
    if (texture != nullptr) {
        _CreateTextureIfInvalid(texture, true,
                                static_cast<int>(g_States.GetSamplerState(stage, eSS_MipEnable)));
        ++g_numTextureSwaps;
        glBindTexture(GL_TEXTURE_2D, Name(texture->textureID));
        _pLastTexture[stage] = texture;
    } else {
        if (g_pBlankTexture == nullptr) return;
        _CreateTextureIfInvalid(g_pBlankTexture, false, eMip_Any);
        ++g_numTextureSwaps;
        glBindTexture(GL_TEXTURE_2D, Name(g_pBlankTexture->textureID));
        _pLastTexture[stage] = nullptr;
    }
    ApplySamplerSettings(stage);
}

void ResetCurrentTextures() {
    g_ForceTextureSet = true;
    for (int s = 0; s < 8; ++s) Graphics::SetTexture(s, _pLastTexture[s]);
    g_ForceTextureSet = false;
}

void _InvalidateTextureState() {
    if (!g_GraphicsInitialised) return;
    const int stage = g_CurrActiveTexture;
    _pLastTexture[stage] = nullptr;
    if (g_pBlankTexture != nullptr && g_pBlankTexture->textureID != -1)
        glBindTexture(GL_TEXTURE_2D, Name(g_pBlankTexture->textureID));
}

bool Graphics::UpdateRegion(Texture* t, int x, int y, int w, int h) {
    if (t == nullptr || t->pixels == nullptr) return false;
    if (t->textureID == -1 || x + w < 0 || y + h < 0) return true;
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + w, t->width), y1 = std::min(y + h, t->height);
    if (x1 <= x0 || y1 <= y0) return true;
    const int cw = x1 - x0, ch = y1 - y0;
    std::vector<uint8_t> block(static_cast<size_t>(cw) * ch * 4);
    for (int row = 0; row < ch; ++row)
        std::memcpy(block.data() + static_cast<size_t>(row) * cw * 4,
                    t->pixels + (static_cast<size_t>(y0 + row) * t->width + x0) * 4,
                    static_cast<size_t>(cw) * 4);
    BindBlankFirst();
    glBindTexture(GL_TEXTURE_2D, Name(t->textureID));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, x0, y0, cw, ch, GL_RGBA, GL_UNSIGNED_BYTE, block.data());
    return true;
}

void Graphics::FlushTexture(Texture* t) {
    if (t == nullptr) return;
    if (!g_bForceSurfaceFlush && IsRenderTarget(t)) return;
    if (g_GraphicsInitialised) DeleteGLObjects(t);
    t->textureID = t->frameBufferID = t->depthBufferID = t->stencilBufferID = -1;
    t->flags &= ~(eTexFlag_MipsPresent | eTexFlag_Uploaded);
}

void Graphics::TextureFlush(bool) {
    for (Texture* t = Texture::ms_pFirst; t != nullptr; t = t->next) FlushTexture(t);
}

void Graphics::FreeTexture(Texture* t) {
    if (t == nullptr) return;
    // A new texture may take this one's address and GL names.
    FrameBuffer_MayChange();
    if (g_GraphicsInitialised) DeleteGLObjects(t);
    ZQ_Free(t->allocation);
    t->allocation = t->pixels = nullptr;
    t->sourceData = nullptr;
    Unlink(t);
    if (t == g_pBlankTexture) g_pBlankTexture = nullptr;
    // The stage cache must never point at freed memory: a freed texture that
    // is still cached reads as "nothing bound".
    for (Texture*& cached : _pLastTexture)
        if (cached == t) cached = nullptr;
    delete t;
}

uint8_t* _GetCPUSideTextureData(Texture* t, bool& owned) {
    owned = false;
    if (t == nullptr) return nullptr;
    if (t->sourceData == nullptr) return t->pixels;
    const SourceHeader h = ReadSourceHeader(t);
    if (h.kind == SourceKind::Png) {
        int w = 0, hh = 0;
        uint8_t* pixels = ReadPNGFile(t->sourceData, static_cast<int>(t->sourceSize), &w, &hh, false);
        owned = pixels != nullptr;
        return pixels;
    }
    if (h.kind == SourceKind::Raw && h.valid && h.rawFormat != 1)
        return const_cast<uint8_t*>(t->sourceData + h.dataOffset);
    if (h.kind == SourceKind::Raw || h.kind == SourceKind::Pvr) return nullptr;
    Support_DebugOutput("FAILED\n");
    return nullptr;
}

void InitTextureResources() {
    if (g_pBlankTexture != nullptr) return;
    Texture* blank = Graphics::CreateTexture(16, 16, 1, 0, eTextureFormat_A8R8G8B8);
    if (blank->pixels != nullptr) std::memset(blank->pixels, 0xFF, 16 * 16 * 4);
    g_pBlankTexture = blank;
    _CreateTextureIfInvalid(blank, false, eMip_Any);
    Support_DebugOutput("finished(2)!!\n");
}

void FreeTextureResources() {
    if (g_pBlankTexture == nullptr) return;
    Graphics::FreeTexture(g_pBlankTexture);
    g_pBlankTexture = nullptr;
}

void Graphics::PreLoadTexture(Texture*) {}
void Graphics::SetTexturePriority(Texture*, int) {}
void Graphics::SetTextureBlending(bool) {}
