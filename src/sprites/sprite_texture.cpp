// A sprite's own textures: one texture per frame bitmap and a local page
// entry describing each whole bitmap, which the drawing code uses exactly
// like an entry of the data file's pages. Data-file sprites draw from the
// file's entries and own none of this.
#include <memory>

#include "core/memory_manager.h"
#include "render/bitmap32.h"
#include "render/page_entry.h"
#include "render/texture_table.h"
#include "world/instances/sprite_services.h"

bool CSprite::ms_ignoreCull = false;

ZQTPageEntry* CSprite::FrameEntry(int frame) const {
    const int f = WrapFrame(frame);
    if (f < 0) return nullptr;
    if (static_cast<size_t>(f) < m_localEntries.size()) return m_localEntries[static_cast<size_t>(f)].get();
    return m_dataFileEntries ? GetPageEntry(f) : nullptr;
}

int64_t CSprite::GetTexture(int frame) const {
    if (m_kind != SPRITE_KIND_BITMAP) return -1;
    const int f = WrapFrame(frame);
    if (f < 0) return -1;
    if (!m_textures.empty())
        return static_cast<size_t>(f) < m_textures.size() ? m_textures[static_cast<size_t>(f)] : -1;
    return TPageEntry_Handle(GetPageEntry(f));
}

void CSprite::InitTexture() {
    FreeTexture();
    m_textures.clear();
    if (m_dataFileEntries || m_kind != SPRITE_KIND_BITMAP) return;
    const size_t frames = m_numb > 0 ? static_cast<size_t>(m_numb) : 0;
    m_textures.assign(frames, -1);
    for (size_t f = 0; f < frames && f < m_bitmaps.size(); ++f) {
        CBitmap32* bitmap = m_bitmaps[f].get();
        if (bitmap == nullptr || !bitmap->IsValid()) continue;
        m_textures[f] = GR_Texture_Create_Direct(bitmap);
        if (m_preload && m_textures[f] >= 0) GR_Texture_Preload(m_textures[f]);
    }
}

void CSprite::InitLocalTPE() {
    if (m_dataFileEntries) return;
    FreeLocalTPE();
    if (m_kind != SPRITE_KIND_BITMAP) return;
    m_localEntries.resize(m_textures.size());
    for (size_t f = 0; f < m_textures.size(); ++f) {
        const CBitmap32* bitmap = f < m_bitmaps.size() ? m_bitmaps[f].get() : nullptr;
        // An entry holds 16-bit sizes and page: a frame beyond them keeps
        // drawing by texture id rather than through a truncated entry.
        if (m_textures[f] < 0 || m_textures[f] > INT16_MAX || bitmap == nullptr ||
            bitmap->GetWidth() > INT16_MAX || bitmap->GetHeight() > INT16_MAX)
            continue;
        const auto w = static_cast<int16_t>(bitmap->GetWidth());
        const auto h = static_cast<int16_t>(bitmap->GetHeight());
        auto entry = std::make_unique<ZQTPageEntry>(
            ZQTPageEntry{0, 0, w, h, 0, 0, w, h, w, h, static_cast<int16_t>(m_textures[f])});
        TPageEntry_Register(entry.get());
        m_localEntries[f] = std::move(entry);
    }
}

void CSprite::FreeLocalTPE() {
    for (auto& entry : m_localEntries)
        if (entry != nullptr) TPageEntry_Unregister(entry.get());
    m_localEntries.clear();
}

void CSprite::FreeTexture() {
    for (int32_t& id : m_textures) {
        if (id >= 0) GR_Texture_Free(id);
        id = -1;
    }
}

SBoundingBox CSprite::GetBoundingBoxImg(int frame) const {
    if (frame < 0 || frame >= m_numb) return {};
    if (const ZQTPageEntry* e = FrameEntry(frame))
        return {e->xOffset, e->yOffset, e->xOffset + e->width, e->yOffset + e->height};
    if (m_kind != SPRITE_KIND_BITMAP || static_cast<size_t>(frame) >= m_bitmaps.size() ||
        m_bitmaps[static_cast<size_t>(frame)] == nullptr)
        return {};
    tagZQRECT* r = m_bitmaps[static_cast<size_t>(frame)]->BoundingBox();
    if (r == nullptr) return {};
    const SBoundingBox box{r->left, r->top, r->right, r->bottom};
    ZQ_Free(r);
    return box;
}
