// Drawing a sprite's frames. Each form wraps the frame, skips a sprite that
// lies wholly outside the visible room area (by its culling radius, a few
// comparisons) and hands the frame's page entry, or its texture id when it
// has no entry, to the texture drawing of the renderer, which only appends
// vertices to the batch. Vector and skeleton sprites draw nothing here: their
// modules do not exist yet, and a sprite without that data draws nothing.
#include <cmath>

#include "core/console.h"
#include "core/header_globals.h"
#include "render/page_entry.h"
#include "render/render_settings.h"
#include "render/sprite_cull_services.h"
#include "render/texture_draw.h"
#include "render/view.h"
#include "room/camera.h"
#include "room/camera_manager.h"
#include "world/instances/sprite_services.h"

namespace {

constexpr float kDegToRad = 0.017453292f;

// True when a circle of radius r about (cx, cy) lies wholly outside the
// culling rectangle and may be skipped. A non-flat active camera of
// new-generation data sees more than the rectangle, so nothing is skipped
// under it.
bool OutsideView(float cx, float cy, float r) {
    if (g_transRoomExtentsDirty) UpdateTransRoomExtents();
    const float left = static_cast<float>(g_transRoomExtents[0]);
    const float top = static_cast<float>(g_transRoomExtents[1]);
    const float right = static_cast<float>(g_transRoomExtents[2]);
    const float bottom = static_cast<float>(g_transRoomExtents[3]);
    if (!(top - cy > r || cy - bottom > r || left - cx > r || cx - right > r)) return false;
    if (g_isNimbar) {
        const CCamera* camera = g_CM.GetActiveCamera();
        if (camera != nullptr && !camera->Is2D()) return false;
    }
    return true;
}

} // namespace

bool Sprite_GetIgnoreCull() {
    return CSprite::ms_ignoreCull;
}

void Sprite_SetIgnoreCull(bool on) {
    CSprite::ms_ignoreCull = on;
}

float fwrap(float a, float b) {
    if (b <= 0.0f) return a;
    const float q = a / b;
    return (q - std::floor(q)) * b;
}

namespace {

// The frame's page entry, else its texture id (-1 for none).
struct FrameImage {
    ZQTPageEntry* entry;
    int id;
};

FrameImage ImageOf(const CSprite& s, int frame) {
    ZQTPageEntry* entry = s.FrameEntry(frame);
    if (entry != nullptr) return {entry, -1};
    const int f = s.WrapFrame(frame);
    const int id =
        f >= 0 && static_cast<size_t>(f) < s.m_textures.size() ? s.m_textures[static_cast<size_t>(f)] : -1;
    return {nullptr, id};
}

void Failed(const CSprite& s, bool ok) {
    if (!ok) dbg_csol->Output("Error attempting to draw sprite %s\n", s.m_name != nullptr ? s.m_name : "");
}

} // namespace

void CSprite::Draw(int frame, float x, float y, float xscale, float yscale, float angle, uint32_t colour,
                   float alpha) const {
    if (m_numb <= 0 || m_kind != SPRITE_KIND_BITMAP) return;
    if (!ms_ignoreCull && !GR_3DMode) {
        const float radius = static_cast<float>(m_cullRadius);
        const float r = std::fmax(std::fabs(radius * xscale), std::fabs(radius * yscale));
        if (OutsideView(x, y, r)) return;
    }
    const FrameImage image = ImageOf(*this, frame);
    const float xo = static_cast<float>(m_xorigin), yo = static_cast<float>(m_yorigin);
    const float a = angle * kDegToRad;
    Failed(*this, image.entry != nullptr
                      ? GR_Texture_Draw(image.entry, xo, yo, x, y, xscale, yscale, a, colour, alpha)
                      : GR_Texture_Draw(image.id, xo, yo, x, y, xscale, yscale, a, colour, alpha));
}

void CSprite::DrawSimple(int frame, float x, float y) const {
    if (m_numb <= 0 || m_kind != SPRITE_KIND_BITMAP) return;
    if (!ms_ignoreCull && OutsideView(x, y, static_cast<float>(m_cullRadius))) return;
    const FrameImage image = ImageOf(*this, frame);
    const float dx = x - static_cast<float>(m_xorigin), dy = y - static_cast<float>(m_yorigin);
    Failed(*this, image.entry != nullptr ? GR_Texture_Draw_Simple(image.entry, dx, dy)
                                         : GR_Texture_Draw_Simple(image.id, dx, dy));
}

void CSprite::DrawStretched(int frame, float x, float y, float w, float h, uint32_t colour,
                            float alpha) const {
    if (m_numb <= 0 || m_kind != SPRITE_KIND_BITMAP) return;
    if (!(w > 0.0f && h > 0.0f) || m_width < 1 || m_height < 1) return;
    const FrameImage image = ImageOf(*this, frame);
    const float xs = w / static_cast<float>(m_width), ys = h / static_cast<float>(m_height);
    Failed(*this, image.entry != nullptr ? GR_Texture_Draw(image.entry, 0, 0, x, y, xs, ys, 0, colour, alpha)
                                         : GR_Texture_Draw(image.id, 0, 0, x, y, xs, ys, 0, colour, alpha));
}

void CSprite::DrawPos(int frame, float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                      float y4, uint32_t colour, float alpha) const {
    if (m_numb <= 0 || m_kind != SPRITE_KIND_BITMAP) return;
    ZQTPageEntry* entry = FrameEntry(frame);
    if (entry == nullptr) return; // the four-point form needs an entry
    Failed(*this, GR_Texture_Draw_Pos(entry, x1, y1, x2, y2, x3, y3, x4, y4, colour, alpha));
}

void CSprite::DrawPart(int frame, float left, float top, float width, float height, float x, float y,
                       float xscale, float yscale, uint32_t colour, float alpha) const {
    if (m_numb <= 0 || m_kind != SPRITE_KIND_BITMAP) return;
    const FrameImage image = ImageOf(*this, frame);
    Failed(*this, image.entry != nullptr ? GR_Texture_Draw_Part(image.entry, left, top, width, height, x, y,
                                                                xscale, yscale, 0, colour, alpha)
                                         : GR_Texture_Draw_Part(image.id, left, top, width, height, x, y,
                                                                xscale, yscale, 0, colour, alpha));
}

void CSprite::DrawGeneral(int frame, float left, float top, float width, float height, float x, float y,
                          float xscale, float yscale, float angle, uint32_t c1, uint32_t c2, uint32_t c3,
                          uint32_t c4, float alpha) const {
    if (m_numb <= 0 || m_kind != SPRITE_KIND_BITMAP) return;
    const float a = angle * kDegToRad;
    if (!ms_ignoreCull) {
        const float s = std::sin(a), c = std::cos(a);
        const float k = 0.5f * std::fmax(xscale, yscale);
        const float cx = x + (c * width + s * height) * k;
        const float cy = y + (c * height - s * width) * k;
        const float r = std::sqrt(width * width + height * height) * k;
        if (OutsideView(cx, cy, r)) return;
    }
    const FrameImage image = ImageOf(*this, frame);
    Failed(*this, image.entry != nullptr
                      ? GR_Texture_Draw_Part_Color(image.entry, left, top, width, height, x, y, xscale,
                                                   yscale, a, c1, c2, c3, c4, alpha)
                      : GR_Texture_Draw_Part_Color(image.id, left, top, width, height, x, y, xscale, yscale,
                                                   a, c1, c2, c3, c4, alpha));
}

void CSprite::DrawTiled(int frame, float x, float y, float xscale, float yscale, bool htiled, bool vtiled,
                        float regionLeft, float regionTop, float regionWidth, float regionHeight,
                        uint32_t colour, float alpha) const {
    if (m_numb <= 0 || m_kind != SPRITE_KIND_BITMAP) return;
    const FrameImage image = ImageOf(*this, frame);
    const float xo = static_cast<float>(m_xorigin), yo = static_cast<float>(m_yorigin);
    Failed(*this,
           image.entry != nullptr
               ? GR_Texture_Draw_Tiled(image.entry, xo, yo, x, y, xscale, yscale, htiled, vtiled, regionLeft,
                                       regionTop, regionWidth, regionHeight, colour, alpha)
               : GR_Texture_Draw_Tiled(image.id, xo, yo, x, y, xscale, yscale, htiled, vtiled, regionLeft,
                                       regionTop, regionWidth, regionHeight, colour, alpha));
}
