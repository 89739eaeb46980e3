// Drawing one line of a font: a quad per glyph appended to the single batch on
// the font's one texture, so a whole text is one draw call; sprite fonts draw
// the glyphs' frames instead.
#include <algorithm>
#include <cmath>

#include "core/real_to_int.h"
#include "render/colour.h"
#include "render/page_entry.h"
#include "render/texture_draw.h"
#include "render/texture_table.h"
#include "sprites/font.h"
#include "sprites/font_cache.h"
#include "sprites/font_sprite_services.h"

struct CFontVT::Source {
    Texture* texture = nullptr;
    float invWidth = 1.0f, invHeight = 1.0f;
    float baseX = 0.0f, baseY = 0.0f; // the page entry's place on its page
};

namespace {

constexpr float kDegreesToRadians = 0.017453292f;

uint32_t AlphaByte(float alpha) {
    const double v = static_cast<double>(alpha) * 255.0;
    if (!(v > 0.0)) return 0;
    if (v >= 255.0) return 255;
    return static_cast<uint32_t>(RealToInt32(v));
}

} // namespace

bool CFontVT::GetSource(Source& out) const {
    const int id = pageEntry != nullptr ? pageEntry->page : cache ? textureId : -1;
    const TextureEntry* e = GR_Texture_Entry(id);
    if (e == nullptr || !e->inUse || e->texture == nullptr) return false;
    out.texture = e->texture;
    out.invWidth = e->invWidth;
    out.invHeight = e->invHeight;
    if (pageEntry != nullptr) {
        out.baseX = pageEntry->x;
        out.baseY = pageEntry->y;
    }
    return true;
}

void CFontVT::DrawLine(const uint16_t* text, float x, float y, float xscale, float yscale, float angleDegrees,
                       bool transformed, const uint32_t (&c)[4], bool gradient, float alpha) {
    if (text == nullptr) return;
    const float angle = transformed ? angleDegrees * kDegreesToRadians : 0.0f;
    const bool turned = std::fabs(angleDegrees) >= 0.001f && transformed;
    const float cs = turned ? std::cos(angle) : 1.0f, sn = turned ? std::sin(angle) : 0.0f;
    const float total = gradient ? static_cast<float>(TextWidth(text)) : 0.0f;
    float penX = x, penY = y;
    float advanced = 0.0f; // unscaled advances before the glyph (gradients)

    if (IsSpriteFont()) {
        for (; *text != 0; ++text) {
            const ZQGlyph2* g = GetGlyph(*text);
            if (g == nullptr) continue;
            if (g->code != 32) {
                uint32_t corners[4] = {c[0], c[1], c[2], c[3]};
                if (gradient) {
                    const float l = total != 0.0f ? advanced / total : 0.0f;
                    const float r = total != 0.0f ? (advanced + g->shift) / total : 0.0f;
                    corners[0] = GR_Color_Merge(c[0], c[1], l);
                    corners[1] = GR_Color_Merge(c[0], c[1], r);
                    corners[2] = GR_Color_Merge(c[3], c[2], r);
                    corners[3] = GR_Color_Merge(c[3], c[2], l);
                }
                const float ox = penX + g->offset * xscale * cs, oy = penY - g->offset * xscale * sn;
                if (!SpriteFont_DrawFrame(spriteIndex, g->width, ox, oy, xscale, yscale,
                                          turned ? angleDegrees : 0.0f, corners, alpha))
                    return;
            }
            advanced += g->shift;
            penX += g->shift * xscale * cs;
            penY -= g->shift * xscale * sn;
        }
        return;
    }

    Source source;
    if (!GetSource(source)) return;
    const uint32_t a = AlphaByte(alpha) << 24;
    uint32_t plain[4];
    if (!gradient) {
        const uint32_t colour = (c[0] & 0x00FFFFFFu) | a;
        if (g_MarkVerts) {
            const uint32_t none = colour & ~0x00010001u;
            plain[0] = none;
            plain[1] = none | 0x1u;
            plain[2] = none | 0x10000u;
            plain[3] = none | 0x10001u;
        } else {
            plain[0] = plain[1] = plain[2] = plain[3] = colour;
        }
    }
    // The colour variants draw each glyph's rectangle as it stands.
    const float pad = gradient ? 0.0f : quadPad;
    for (; *text != 0; ++text) {
        const ZQGlyph2* g = GetGlyph(*text);
        if (g == nullptr) continue;
        // An uncached glyph of a run-time font (no cell could take it) draws
        // as nothing but still moves the pen.
        const bool drawable = g->width > 0 && g->height > 0 && g->x != -1;
        if (drawable) {
            uint32_t colours[4];
            if (gradient) {
                const float l = total != 0.0f ? advanced / total : 0.0f;
                const float r = total != 0.0f ? (advanced + g->shift) / total : 0.0f;
                colours[0] = (GR_Color_Merge(c[0], c[1], l) & 0x00FFFFFFu) | a;
                colours[1] = (GR_Color_Merge(c[0], c[1], r) & 0x00FFFFFFu) | a;
                colours[2] = (GR_Color_Merge(c[3], c[2], r) & 0x00FFFFFFu) | a;
                colours[3] = (GR_Color_Merge(c[3], c[2], l) & 0x00FFFFFFu) | a;
            } else {
                std::copy(plain, plain + 4, colours);
            }
            const float w = g->width, h = g->height;
            float px[4], py[4];
            if (!turned) {
                const float left = penX + g->offset * xscale - pad, right = left + w * xscale + 2 * pad;
                const float top = penY - pad, bottom = penY + h * yscale + pad;
                px[0] = px[3] = left;
                px[1] = px[2] = right;
                py[0] = py[1] = top;
                py[2] = py[3] = bottom;
            } else {
                const float ox = penX + g->offset * xscale * cs, oy = penY - g->offset * xscale * sn;
                px[0] = ox;
                py[0] = oy;
                px[1] = ox + w * xscale * cs;
                py[1] = oy - w * xscale * sn;
                px[3] = ox + h * yscale * sn;
                py[3] = oy + h * yscale * cs;
                px[2] = px[1] + h * yscale * sn;
                py[2] = py[1] + h * yscale * cs;
                for (int k : {0, 1}) px[k] -= pad, py[k] -= pad;
                for (int k : {2, 3}) px[k] += pad, py[k] += pad;
            }
            const float u1 = (source.baseX + g->x - pad) * source.invWidth;
            const float u2 = (source.baseX + g->x + w + pad) * source.invWidth;
            const float v1 = (source.baseY + g->y - pad) * source.invHeight;
            const float v2 = (source.baseY + g->y + h + pad) * source.invHeight;
            if (!DrawIt_Color(source.texture, px[0], py[0], px[1], py[1], px[2], py[2], px[3], py[3], u1, v1,
                              u2, v2, colours[0], colours[1], colours[2], colours[3]))
                return; // the batch is full for good: the rest of the line is dropped
        }
        advanced += g->shift;
        penX += g->shift * xscale * cs;
        penY -= g->shift * xscale * sn;
    }
}

void CFontVT::Draw_String(float x, float y, const uint16_t* text, uint32_t colour, float alpha) {
    const uint32_t c[4] = {colour, colour, colour, colour};
    DrawLine(text, x, y, scaleX, scaleY, 0.0f, false, c, false, alpha);
}

void CFontVT::Draw_String_Transformed(float x, float y, const uint16_t* text, float xscale, float yscale,
                                      float angle, uint32_t colour, float alpha) {
    const uint32_t c[4] = {colour, colour, colour, colour};
    DrawLine(text, x, y, xscale, yscale, angle, true, c, false, alpha);
}

void CFontVT::Draw_String_Color(float x, float y, const uint16_t* text, uint32_t c1, uint32_t c2, uint32_t c3,
                                uint32_t c4, float alpha) {
    const uint32_t c[4] = {c1, c2, c3, c4};
    DrawLine(text, x, y, scaleX, scaleY, 0.0f, false, c, true, alpha);
}

void CFontVT::Draw_String_Transformed_Color(float x, float y, const uint16_t* text, float xscale,
                                            float yscale, float angle, uint32_t c1, uint32_t c2, uint32_t c3,
                                            uint32_t c4, float alpha) {
    const uint32_t c[4] = {c1, c2, c3, c4};
    DrawLine(text, x, y, xscale, yscale, angle, true, c, true, alpha);
}
