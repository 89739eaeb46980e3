// The texture table. An entry in use always has sensible inverse sizes: a
// texture that could not be made, or whose size is unknown, keeps 1.0, so
// texel arithmetic never divides by zero.
#include "render/texture_table.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "render/bitmap32.h"
#include "render/graphics_device.h"
#include "render/page_entry.h"
#include "render/texture.h"

int32_t tex_numb = 0;
bool g_createsurfacedepthbuffers = true;

namespace {

// Each entry on its own allocation: callers keep pointers to entries.
std::vector<std::unique_ptr<TextureEntry>> tex_textures;

// Texture flags for a depth buffer and for a special surface, beside the
// render-target flag of the texture layer.
constexpr int kFlagDepthBuffer = 4;
constexpr int kFlagSpecial = 8;

int16_t Side(int n) {
    return static_cast<int16_t>(std::clamp(n, 0, 32767));
}

float Inverse(int n) {
    return n > 0 ? 1.0f / static_cast<float>(n) : 1.0f;
}

TextureEntry* Existing(int id) {
    TextureEntry* e = GR_Texture_Entry(id);
    return e != nullptr && e->inUse ? e : nullptr;
}

// Marks entry `id` in use for `texture` with the usable size and the GPU size.
int Take(int id, Texture* texture, int width, int height, int gpuWidth, int gpuHeight) {
    TextureEntry* e = tex_textures[static_cast<size_t>(id)].get();
    e->texture = texture;
    e->width = Side(width);
    e->height = Side(height);
    e->invWidth = texture != nullptr ? Inverse(gpuWidth) : 1.0f;
    e->invHeight = texture != nullptr ? Inverse(gpuHeight) : 1.0f;
    e->inUse = true;
    return id;
}

// Whether `t` is still a live GPU texture (the list holds every one).
bool Alive(const Texture* t) {
    for (const Texture* p = Texture::ms_pFirst; p != nullptr; p = p->next)
        if (p == t) return true;
    return false;
}

} // namespace

TextureEntry* GR_Texture_Entry(int id) {
    if (id < 0 || id >= tex_numb) return nullptr;
    return tex_textures[static_cast<size_t>(id)].get();
}

int AllocTexture() {
    for (int i = 0; i < tex_numb; ++i)
        if (!tex_textures[static_cast<size_t>(i)]->inUse) return i;
    tex_textures.push_back(std::make_unique<TextureEntry>());
    tex_numb = static_cast<int32_t>(tex_textures.size());
    return tex_numb - 1;
}

int GR_Texture_Create_Empty(int width, int height, bool renderTarget, bool extra, int format) {
    const int id = AllocTexture();
    int flags = 0;
    if (renderTarget) {
        flags = eTextureFlags_RenderTarget;
        if (g_createsurfacedepthbuffers) flags |= kFlagDepthBuffer;
        if (extra) flags |= kFlagSpecial;
    }
    const int textureFormat = format == 1   ? eTextureFormat_Surface1
                              : format == 2 ? eTextureFormat_Surface2
                                            : eTextureFormat_A8R8G8B8;
    Texture* t = Graphics::CreateTexture(width, height, 1, flags, textureFormat);
    return Take(id, t, width, height, t != nullptr ? t->width : 0, t != nullptr ? t->height : 0);
}

int GR_Texture_Create(const uint8_t* data, uint32_t length, bool, bool scalable) {
    const int id = AllocTexture();
    ImageInfo info;
    Texture* t = Graphics::CreateTextureFromFile(data, length, &info, eTextureFormat_A8R8G8B8, scalable);
    return Take(id, t, info.width, info.height, info.width, info.height);
}

int GR_Texture_Create_From_File(const uint8_t* data, uint32_t length) {
    return GR_Texture_Create(data, length, false, false);
}

int GR_Texture_Create_And_Fill(int width, int height, const uint8_t* data, uint32_t length) {
    const int id = AllocTexture();
    ImageInfo info;
    Texture* t;
    if (width > 0 && height > 0 && static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4 == length)
        t = Graphics::CreateTextureFromData(data, width, height, &info, eTextureFormat_A8R8G8B8);
    else
        t = Graphics::CreateTextureFromFile(data, length, &info, eTextureFormat_A8R8G8B8, false);
    return Take(id, t, width, height, info.width, info.height);
}

int GR_Texture_Create_Direct(CBitmap32* bitmap) {
    if (bitmap == nullptr || !bitmap->IsValid()) return -1;
    // A bitmap's words are 0xAARRGGBB; textures take bytes red, green, blue,
    // alpha, so red and blue change places on the way.
    const size_t count = static_cast<size_t>(bitmap->GetWidth()) * static_cast<size_t>(bitmap->GetHeight());
    std::vector<uint32_t> rgba(count);
    const uint32_t* in = bitmap->Pixels();
    for (size_t i = 0; i < count; ++i)
        rgba[i] = (in[i] & 0xFF00FF00u) | (in[i] >> 16 & 0xFFu) | (in[i] & 0xFFu) << 16;
    return GR_Texture_Create_And_Fill(bitmap->GetWidth(), bitmap->GetHeight(),
                                      reinterpret_cast<const uint8_t*>(rgba.data()),
                                      static_cast<uint32_t>(count * 4));
}

int GR_Texture_Create_Bitmap(IBitmap* bitmap, bool removeBackground, bool smooth) {
    if (bitmap == nullptr) return -1;
    CBitmap32 converted(bitmap, removeBackground, smooth);
    return GR_Texture_Create_Direct(&converted);
}

int GR_Texture_Create_Bytes(int width, int height, const uint8_t* alpha, size_t count) {
    if (width <= 0 || height <= 0 || alpha == nullptr) return -1;
    const uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (pixels > count || width > MAX_TEXTURE_SIZE || height > MAX_TEXTURE_SIZE) return -1;
    std::vector<uint32_t> block(static_cast<size_t>(pixels));
    for (size_t i = 0; i < block.size(); ++i) block[i] = 0x00FFFFFFu | static_cast<uint32_t>(alpha[i]) << 24;
    const int id = GR_Texture_Create_Empty(width, height, false, false, 4);
    Texture* t = GR_Texture_Get_Surface(id);
    if (t == nullptr || t->pixels == nullptr) {
        GR_Texture_Free(id);
        return -1;
    }
    Graphics::CopySurface(t, 0, width, height, block.data());
    return id;
}

int GR_Texture_Add(Texture* texture, int width, int height) {
    return Take(AllocTexture(), texture, width, height, width, height);
}

void GR_Texture_Fill(int id, const uint32_t* pixels, size_t count) {
    TextureEntry* e = Existing(id);
    if (e == nullptr || pixels == nullptr) return;
    if (static_cast<size_t>(e->width) * static_cast<size_t>(e->height) > count) return;
    Graphics::CopySurface(e->texture, 0, e->width, e->height, pixels);
}

void GR_Texture_Free(int id) {
    TextureEntry* e = Existing(id);
    if (e == nullptr) return;
    Graphics::FreeTexture(e->texture);
    *e = TextureEntry();
}

bool GR_Texture_Exists(int id) {
    return Existing(id) != nullptr;
}

float GR_Texture_Get_Width(int id) {
    const TextureEntry* e = Existing(id);
    return e != nullptr ? static_cast<float>(e->width) * e->invWidth : 1.0f;
}

float GR_Texture_Get_Height(int id) {
    const TextureEntry* e = Existing(id);
    return e != nullptr ? static_cast<float>(e->height) * e->invHeight : 1.0f;
}

Texture* GR_Texture_Get_Surface(int id) {
    const TextureEntry* e = Existing(id);
    return e != nullptr ? e->texture : nullptr;
}

void GR_Texture_Set(int id) {
    Graphics::SetTexture(g_DefaultTextureStage, GR_Texture_Get_Surface(id));
}

void GR_Texture_Preload(int id) {
    if (const TextureEntry* e = Existing(id)) Graphics::PreLoadTexture(e->texture);
}

void GR_Texture_Set_Priority(int id, int priority) {
    if (const TextureEntry* e = Existing(id)) Graphics::SetTexturePriority(e->texture, priority);
}

void GR_Texture_Init() {
    tex_textures.clear();
    tex_numb = 0;
    // The ids of the data file's pages named entries of the old table.
    TexturePages_ForgetIds();
}

void GR_Texture_End() {
    for (const auto& e : tex_textures)
        if (e->inUse) Graphics::FreeTexture(e->texture);
    GR_Texture_Init();
}

void FINALIZE_Graphics_Texture() {
    GR_Texture_End();
}

void TextureTable_Reset() {
    for (const auto& e : tex_textures)
        if (e->inUse && e->texture != nullptr && Alive(e->texture)) Graphics::FreeTexture(e->texture);
    GR_Texture_Init();
    g_createsurfacedepthbuffers = true;
    TexturePages_Reset();
}
