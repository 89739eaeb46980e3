// GPU textures: the Texture record, its creation from a size, from 32-bit
// pixels or from kept encoded data (PNG, "RAW ", PVR), the GL texture made at
// the first bind, mipmaps by a 2×2 box filter, the 16×16 blank texture that
// stands for "no texture", and the per-stage bind cache with its sampler
// settings.
#pragma once

#include <cstdint>

enum eTextureFormat : int32_t {
    eTextureFormat_A8R8G8B8 = 6,
    eTextureFormat_A4R4G4B4 = 11,
    eTextureFormat_Surface1 = 12,
    eTextureFormat_Surface2 = 13,
};

// Texture::flags.
enum : uint32_t {
    eTexFlag_NoScale = 0x02,
    eTexFlag_NonPowerOfTwo = 0x04,
    eTexFlag_MipsWanted = 0x10,
    eTexFlag_MipsPresent = 0x20,
    eTexFlag_Uploaded = 0x40,
};

// Flags of Graphics::CreateTexture: 2 makes a render target.
enum eTextureFlags : int32_t {
    eTextureFlags_None = 0,
    eTextureFlags_RenderTarget = 2,
};

// How a bind wants mipmaps: 0 off, 1 on, 2 when the texture asks (flag
// 0x10); anything else (-1) no preference.
enum eMipEnable : int32_t {
    eMip_Off = 0,
    eMip_On = 1,
    eMip_WhenWanted = 2,
    eMip_Any = -1,
};

// GL names are kept signed: -1 means "not made yet".
struct Texture {
    int32_t format = 0;
    int32_t width = 0, height = 0;
    int32_t mipLevels = 0;
    uint32_t flags = 0;
    int32_t textureID = -1;
    int32_t frameBufferID = -1;
    int32_t depthBufferID = -1;
    int32_t stencilBufferID = -1;
    uint8_t* allocation = nullptr; // owned CPU block
    uint8_t* pixels = nullptr;     // same block, rows of `width` texels
    const uint8_t* sourceData = nullptr;
    uint32_t sourceSize = 0;
    Texture* next = nullptr;

    static Texture* ms_pFirst;
};

struct ImageInfo {
    int32_t width = 0, height = 0, bpp = 0, format = 0;
};

extern Texture* g_pBlankTexture;
extern Texture* _pLastTexture[8];
extern int32_t g_CurrActiveTexture;
extern bool g_ForceTextureSet;
extern int32_t g_numTextureSwaps;
// Raised while the context's objects are invalidated: render targets lose
// their GL objects too.
extern bool g_bForceSurfaceFlush;
// 1: the shader-based back end is in use.
extern int32_t g_UsingGL2;

namespace Graphics {
Texture* CreateTexture(int width, int height, int mipLevels, int flags, int format);
// A record over kept source data (not owned, not copied); no GL work until
// the first bind. Null for null data.
Texture* CreateTextureFromFile(const uint8_t* data, uint32_t size, ImageInfo* info, int format, bool scaled);
Texture* CreateTextureFromData(const uint8_t* pixels, int width, int height, ImageInfo* info, int format);
void CopySurface(Texture* texture, int unused, int width, int height, const void* pixels);
bool UpdateRegion(Texture* texture, int x, int y, int w, int h);
// Binds a texture (null: the blank one) on stage 0-7 with its sampler settings.
void SetTexture(int stage, Texture* texture);
void FlushTexture(Texture* texture);
void FreeTexture(Texture* texture);
void TextureFlush(bool all);
int GetMaxTextureSize();
int GetPOW2Size(int n);
void PreLoadTexture(Texture*);
void SetTexturePriority(Texture*, int);
void SetTextureBlending(bool);
} // namespace Graphics

bool _IsPowerOfTwo(int n);
void _SetTextureNPOTFlags(Texture* texture);
void _CreateTextureIfInvalid(Texture* texture, bool bindBlank, int mip);
// CPU pixels of a texture for read-back; `owned` tells the caller to free
// them with FreePNGFile. Null when the form keeps none.
uint8_t* _GetCPUSideTextureData(Texture* texture, bool& owned);
void UpdateCurrentTextureSettings(int stage);
void _InvalidateTextureState();
void ResetCurrentTextures();
void InitTextureResources();
void FreeTextureResources();
// Builds and uploads mip levels 1.. of the bound texture from `pixels`.
void GenerateMips(Texture* texture, int width, int height, int bytesPerTexel, const uint8_t* pixels);
// One step of the mip chain on the CPU: `out` gets the next level of a
// width × height RGBA image (each side halved, 1 stays 1; odd sides drop
// their last row or column).
void MipDownsample(const uint8_t* in, int width, int height, uint8_t* out);
