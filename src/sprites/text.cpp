#include "sprites/text.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "core/header_globals.h"
#include "core/timing_source.h"
#include "core/utf8.h"
#include "render/draw_primitives.h"
#include "render/texture_table.h"
#include "sprites/font.h"
#include "sprites/font_builtin_data.h"
#include "sprites/font_table.h"
#include "world/datafile/options.h"

namespace {

constexpr int kNoWrap = 10000000;
constexpr uint16_t kLF = 10, kCR = 13, kSpace = 32;

struct TextState {
    int fontid = -1;
    std::unique_ptr<CFontVT> deffont;
    CFontVT* thefont = nullptr;
    int halign = 0, valign = 0;
};
TextState s_text;

CFontVT* MakeDefaultFont() {
    if (s_text.deffont) return s_text.deffont.get();
    if (g_isNimbar) {
        // Range word: first 32, anti-alias level 1.
        s_text.deffont = std::make_unique<CFontVT>(
            kBuiltinFontImage, kBuiltinFontImageLength, kBuiltinFontGlyphs,
            kBuiltinFontLast - kBuiltinFontFirst + 1, 11, true, 32u | 2u << 24, kBuiltinFontLast);
    } else {
        const int texture = GR_Texture_Create_From_File(kDebugFontImage, kDebugFontImageLength);
        s_text.deffont = std::make_unique<CFontVT>(kDebugFontTable, kDebugFontFirst, kDebugFontLast, texture);
    }
    return s_text.deffont.get();
}

// Appends codes [from, to) of `codes` as one line.
void AddLine(TStringList& list, const std::vector<uint16_t>& codes, size_t from, size_t to) {
    list.starts.push_back(static_cast<uint32_t>(list.buffer.size()));
    list.buffer.insert(list.buffer.end(), codes.begin() + static_cast<ptrdiff_t>(from),
                       codes.begin() + static_cast<ptrdiff_t>(to));
    list.buffer.push_back(0);
}

} // namespace

void Split_TextBlock(const char* text, int width, TStringList& list, const CFontVT* font) {
    list.buffer.clear();
    list.starts.clear();
    if (text == nullptr) return;
    if (width < 0) width = kNoWrap;
    std::string copy(text);
    const int n = String_Replace_Hash(copy.data());
    std::vector<uint16_t> codes;
    codes.reserve(copy.size());
    const char* cursor = copy.c_str();
    for (int i = 0; i < n && *cursor != 0; ++i) codes.push_back(utf8_extract_char(&cursor));
    const size_t end = codes.size();

    if (width == kNoWrap) {
        size_t s = 0;
        for (size_t p = 0; p < end;) {
            if (codes[p] == kCR || codes[p] == kLF) {
                AddLine(list, codes, s, p);
                const uint16_t other = codes[p] == kCR ? kLF : kCR;
                p += p + 1 < end && codes[p + 1] == other ? 2 : 1;
                s = p;
            } else {
                ++p;
            }
        }
        if (s < end) AddLine(list, codes, s, end);
        return;
    }

    auto shift = [font](uint16_t c) { return font != nullptr ? font->GetShift(c) : 0; };
    size_t s = 0;
    while (s < end) {
        size_t p = s;
        while (p < end && codes[p] == kSpace) ++p;
        if (p < end && width > 0) {
            int sum = 0;
            while (p < end && codes[p] != kLF) {
                sum += shift(codes[p]);
                ++p;
                if (sum >= width) break;
            }
            if (sum > width) --p;
        }
        if (p < end && codes[p] == kLF) {
            AddLine(list, codes, s, p);
            s = p + 1;
            continue;
        }
        if (p == s) return; // a character wider than the width: no further lines
        if (p != end && codes[p] != kSpace) {
            size_t q = p;
            while (q > s && codes[q] != kSpace) --q;
            if (q == s) {
                q = p;
                while (q < end && codes[q] != kSpace) ++q;
            }
            p = q;
        }
        size_t e = p;
        while (e > s && codes[e - 1] == kSpace) --e;
        if (e == s) {
            s = s + 1;
            continue;
        }
        AddLine(list, codes, s, e);
        s = p + 1;
    }
}

void GR_Text_Set_Font(int font) {
    if (!Font_Exists(font)) {
        MakeDefaultFont();
        s_text.fontid = -1;
    } else {
        s_text.fontid = font;
    }
}

int GR_Text_Get_Font() {
    return s_text.fontid;
}

void GR_Text_Set_HAlign(int align) {
    s_text.halign = align == 1 || align == 2 ? align : 0;
}

void GR_Text_Set_VAlign(int align) {
    s_text.valign = align == 1 || align == 2 ? align : 0;
}

int GR_Text_Get_HAlign() {
    return s_text.halign;
}

int GR_Text_Get_VAlign() {
    return s_text.valign;
}

CFontVT* GR_Text_SetFont() {
    CFontVT* f = Font_Data(s_text.fontid);
    s_text.thefont = f != nullptr ? f : MakeDefaultFont();
    return s_text.thefont;
}

void GR_Text_ResetToDefault() {
    s_text.fontid = -1;
    s_text.halign = s_text.valign = 0;
    Draw_Color = 0xFF000000u;
    Draw_Alpha = 255;
}

int GR_Text_Width(const char* text, int, int width) {
    CFontVT* font = GR_Text_SetFont();
    TStringList list;
    Split_TextBlock(text, width, list, font);
    int widest = 0;
    for (int i = 0; i < list.Count(); ++i) widest = std::max(widest, font->TextWidth(list.Line(i)));
    return widest;
}

int GR_Text_Height(const char* text, int separation, int width) {
    CFontVT* font = GR_Text_SetFont();
    TStringList list;
    Split_TextBlock(text, width, list, font);
    if (list.Count() == 0) return 0;
    if (separation < 0) separation = font->TextHeight();
    return font->TextHeight() + separation * (list.Count() - 1);
}

namespace {

// Plain placement: each line at its aligned start, one separation apart.
template <typename DrawLineAt>
void PlaceLines(float x, float y, const char* text, int separation, int width, DrawLineAt draw) {
    CFontVT* font = GR_Text_SetFont();
    TStringList list;
    Split_TextBlock(text, width, list, font);
    if (separation < 0) separation = font->TextHeight();
    const int lines = list.Count();
    if (s_text.valign == 1) y -= static_cast<float>((lines * separation) / 2);
    if (s_text.valign == 2) y -= static_cast<float>(lines * separation);
    for (int i = 0; i < lines; ++i) {
        const uint16_t* line = list.Line(i);
        if (line[0] != 0) {
            float lx = x;
            if (s_text.halign != 0) {
                const int w = font->TextWidth(line);
                lx = s_text.halign == 1 ? x - static_cast<float>(w / 2) : x - static_cast<float>(w);
            }
            draw(font, lx, y, line);
        }
        y += static_cast<float>(separation);
    }
}

template <typename DrawLineAt>
void PlaceLinesTransformed(float x, float y, const char* text, int separation, int width, float xscale,
                           float yscale, float angle, DrawLineAt draw) {
    CFontVT* font = GR_Text_SetFont();
    TStringList list;
    Split_TextBlock(text, width, list, font);
    if (separation < 0) separation = font->TextHeight();
    const int lines = list.Count();
    const float a = angle * 0.017453292f, s = std::sin(a), c = std::cos(a);
    const float stepX = separation * yscale * s, stepY = separation * yscale * c;
    float steps = 0.0f;
    if (s_text.valign == 1) steps = lines / 2.0f;
    if (s_text.valign == 2) steps = static_cast<float>(lines);
    float px = x - steps * stepX, py = y - steps * stepY;
    for (int i = 0; i < lines; ++i) {
        const uint16_t* line = list.Line(i);
        if (line[0] != 0) {
            float h = 0.0f;
            const float w = static_cast<float>(font->TextWidth(line));
            if (s_text.halign == 1) h = -w * xscale / 2.0f;
            if (s_text.halign == 2) h = -w * xscale;
            draw(font, px + h * c, py - h * s, line);
        }
        px += stepX;
        py += stepY;
    }
}

float DrawAlpha() {
    return static_cast<float>(Draw_Alpha) / 255.0f;
}

} // namespace

void GR_Text_Draw(float x, float y, const char* text, int separation, int width) {
    const uint32_t colour = Draw_Color & 0x00FFFFFFu;
    const float alpha = DrawAlpha();
    PlaceLines(x, y, text, separation, width, [&](CFontVT* font, float lx, float ly, const uint16_t* line) {
        font->Draw_String(lx, ly, line, colour, alpha);
    });
}

void GR_Text_Draw_Transformed(float x, float y, const char* text, int separation, int width, float xscale,
                              float yscale, float angle) {
    const uint32_t colour = Draw_Color & 0x00FFFFFFu;
    const float alpha = DrawAlpha();
    PlaceLinesTransformed(x, y, text, separation, width, xscale, yscale, angle,
                          [&](CFontVT* font, float lx, float ly, const uint16_t* line) {
                              font->Draw_String_Transformed(lx, ly, line, xscale, yscale, angle, colour,
                                                            alpha);
                          });
}

void GR_Text_Draw_Color(float x, float y, const char* text, int separation, int width, uint32_t c1,
                        uint32_t c2, uint32_t c3, uint32_t c4, float alpha) {
    PlaceLines(x, y, text, separation, width, [&](CFontVT* font, float lx, float ly, const uint16_t* line) {
        font->Draw_String_Color(lx, ly, line, c1, c2, c3, c4, alpha);
    });
}

void GR_Text_Draw_Transformed_Color(float x, float y, const char* text, int separation, int width,
                                    float xscale, float yscale, float angle, uint32_t c1, uint32_t c2,
                                    uint32_t c3, uint32_t c4, float alpha) {
    PlaceLinesTransformed(x, y, text, separation, width, xscale, yscale, angle,
                          [&](CFontVT* font, float lx, float ly, const uint16_t* line) {
                              font->Draw_String_Transformed_Color(lx, ly, line, xscale, yscale, angle, c1, c2,
                                                                  c3, c4, alpha);
                          });
}

void Text_ResetDefaults() {
    GR_Text_ResetToDefault();
}

void FINALIZE_Graphics_Text() {
    s_text.deffont.reset();
    s_text.thefont = nullptr;
    GR_Text_ResetToDefault();
}

void Text_Reset() {
    FINALIZE_Graphics_Text();
}
