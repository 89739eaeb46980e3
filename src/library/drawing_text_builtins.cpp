// The text built-ins: font and alignment, measuring, and drawing in the
// plain, wrapped ("ext"), transformed and four-colour forms. What is settled
// here is how arguments become the call of the text layout: the text argument
// may be a value of any kind and is turned into text in a block that grows to
// fit it; the plain forms pass -1 for line separation and wrap width (the
// font's own line height, no wrapping).
#include "library/drawing_text_builtins.h"

#include <cstdint>

#include "core/arguments.h"
#include "core/compiled_support.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"
#include "library/drawing_builtins.h"
#include "library/drawing_helpers.h"
#include "sprites/text.h"

namespace {

using Args = RValue*;

constexpr int kTextStart = 1024; // the text block's first size

uint32_t Colour(int32_t c) {
    return static_cast<uint32_t>(c);
}

// The text a drawing built-in draws: argument 2 of any kind, in its own
// block, freed when the call is done. A call without that argument draws the
// text form of undefined rather than reading past the vector.
class ArgText {
public:
    ArgText(int argc, const RValue* args) {
        static const RValue kUndefined = RValue_Undefined();
        GetTextFromArg(argc > 2 ? &args[2] : &kUndefined, kTextStart, &m_text);
    }
    ~ArgText() { ZQ_Free(m_text); }
    ArgText(const ArgText&) = delete;
    ArgText& operator=(const ArgText&) = delete;
    const char* Get() const { return m_text != nullptr ? m_text : ""; }

private:
    char* m_text = nullptr;
};

// A compiled script's text, copied for the call.
class CopiedText {
public:
    explicit CopiedText(const char* text) : m_text(ZQStrDup(text != nullptr ? text : "")) {}
    ~CopiedText() { ZQStrFree(m_text); }
    CopiedText(const CopiedText&) = delete;
    CopiedText& operator=(const CopiedText&) = delete;
    const char* Get() const { return m_text != nullptr ? m_text : ""; }

private:
    char* m_text;
};

float F(Args a, int i) {
    return ZQGetFloat(a, i);
}
int32_t I(Args a, int i) {
    return ZQGetInt32(a, i);
}

#define ZQ_TEXT(name) void name(RValue& r, CInstance*, CInstance*, int argc, Args a)

ZQ_TEXT(F_DrawSetFont) {
    (void)r, (void)argc;
    ZQVTL_draw_set_font(I(a, 0));
}
ZQ_TEXT(F_DrawSetHAlign) {
    (void)r, (void)argc;
    ZQVTL_draw_set_halign(I(a, 0));
}
ZQ_TEXT(F_DrawSetVAlign) {
    (void)r, (void)argc;
    ZQVTL_draw_set_valign(I(a, 0));
}

// The measuring built-ins take their text as a string argument: a kind that
// has no text form ends the game through the getter.
ZQ_TEXT(F_StringWidth) {
    (void)argc;
    ZQSetResultReal(r, GR_Text_Width(ZQGetString(a, 0), -1, -1));
}
ZQ_TEXT(F_StringHeight) {
    (void)argc;
    ZQSetResultReal(r, GR_Text_Height(ZQGetString(a, 0), -1, -1));
}
ZQ_TEXT(F_StringWidthExt) {
    (void)argc;
    const char* text = ZQGetString(a, 0);
    ZQSetResultReal(r, GR_Text_Width(text, I(a, 1), I(a, 2)));
}
ZQ_TEXT(F_StringHeightExt) {
    (void)argc;
    const char* text = ZQGetString(a, 0);
    ZQSetResultReal(r, GR_Text_Height(text, I(a, 1), I(a, 2)));
}

// Drawing: the text is read first, then x and y, then the rest in order.
ZQ_TEXT(F_DrawText) {
    (void)r;
    ArgText text(argc, a);
    const float x = F(a, 0), y = F(a, 1);
    GR_Text_Draw(x, y, text.Get(), -1, -1);
}
ZQ_TEXT(F_DrawTextExt) {
    (void)r;
    ArgText text(argc, a);
    const float x = F(a, 0), y = F(a, 1);
    const int separation = I(a, 3), width = I(a, 4);
    GR_Text_Draw(x, y, text.Get(), separation, width);
}
ZQ_TEXT(F_DrawTextTransformed) {
    (void)r;
    ArgText text(argc, a);
    const float x = F(a, 0), y = F(a, 1);
    const float xscale = F(a, 3), yscale = F(a, 4), angle = F(a, 5);
    GR_Text_Draw_Transformed(x, y, text.Get(), -1, -1, xscale, yscale, angle);
}
ZQ_TEXT(F_DrawTextExtTransformed) {
    (void)r;
    ArgText text(argc, a);
    const float x = F(a, 0), y = F(a, 1);
    const int separation = I(a, 3), width = I(a, 4);
    const float xscale = F(a, 5), yscale = F(a, 6), angle = F(a, 7);
    GR_Text_Draw_Transformed(x, y, text.Get(), separation, width, xscale, yscale, angle);
}
ZQ_TEXT(F_DrawTextColor) {
    (void)r;
    ArgText text(argc, a);
    const float x = F(a, 0), y = F(a, 1);
    const int32_t c1 = I(a, 3), c2 = I(a, 4), c3 = I(a, 5), c4 = I(a, 6);
    const float alpha = F(a, 7);
    GR_Text_Draw_Color(x, y, text.Get(), -1, -1, Colour(c1), Colour(c2), Colour(c3), Colour(c4), alpha);
}
ZQ_TEXT(F_DrawTextTransformedColor) {
    (void)r;
    ArgText text(argc, a);
    const float x = F(a, 0), y = F(a, 1);
    const float xscale = F(a, 3), yscale = F(a, 4), angle = F(a, 5);
    const int32_t c1 = I(a, 6), c2 = I(a, 7), c3 = I(a, 8), c4 = I(a, 9);
    const float alpha = F(a, 10);
    GR_Text_Draw_Transformed_Color(x, y, text.Get(), -1, -1, xscale, yscale, angle, Colour(c1), Colour(c2),
                                   Colour(c3), Colour(c4), alpha);
}
ZQ_TEXT(F_DrawTextExtColor) {
    (void)r;
    ArgText text(argc, a);
    const float x = F(a, 0), y = F(a, 1);
    const int separation = I(a, 3), width = I(a, 4);
    const int32_t c1 = I(a, 5), c2 = I(a, 6), c3 = I(a, 7), c4 = I(a, 8);
    const float alpha = F(a, 9);
    GR_Text_Draw_Color(x, y, text.Get(), separation, width, Colour(c1), Colour(c2), Colour(c3), Colour(c4),
                       alpha);
}
ZQ_TEXT(F_DrawTextExtTransformedColor) {
    (void)r;
    ArgText text(argc, a);
    const float x = F(a, 0), y = F(a, 1);
    const int separation = I(a, 3), width = I(a, 4);
    const float xscale = F(a, 5), yscale = F(a, 6), angle = F(a, 7);
    const int32_t c1 = I(a, 8), c2 = I(a, 9), c3 = I(a, 10), c4 = I(a, 11);
    const float alpha = F(a, 12);
    GR_Text_Draw_Transformed_Color(x, y, text.Get(), separation, width, xscale, yscale, angle, Colour(c1),
                                   Colour(c2), Colour(c3), Colour(c4), alpha);
}

#undef ZQ_TEXT

const DrawingHandlerRow kRows[] = {
    {"F_DrawSetFont", F_DrawSetFont},
    {"F_DrawSetHAlign", F_DrawSetHAlign},
    {"F_DrawSetVAlign", F_DrawSetVAlign},
    {"F_StringWidth", F_StringWidth},
    {"F_StringHeight", F_StringHeight},
    {"F_StringWidthExt", F_StringWidthExt},
    {"F_StringHeightExt", F_StringHeightExt},
    {"F_DrawText", F_DrawText},
    {"F_DrawTextExt", F_DrawTextExt},
    {"F_DrawTextTransformed", F_DrawTextTransformed},
    {"F_DrawTextExtTransformed", F_DrawTextExtTransformed},
    {"F_DrawTextColor", F_DrawTextColor},
    {"F_DrawTextTransformedColor", F_DrawTextTransformedColor},
    {"F_DrawTextExtColor", F_DrawTextExtColor},
    {"F_DrawTextExtTransformedColor", F_DrawTextExtTransformedColor},
};

} // namespace

std::span<const DrawingHandlerRow> TextBuiltins() {
    return kRows;
}

void ZQVTL_draw_set_font(int32_t font) {
    GR_Text_Set_Font(font);
}
void ZQVTL_draw_set_halign(int32_t align) {
    GR_Text_Set_HAlign(align);
}
void ZQVTL_draw_set_valign(int32_t align) {
    GR_Text_Set_VAlign(align);
}

void ZQVTL_draw_text(float x, float y, const char* text) {
    CopiedText copy(text);
    GR_Text_Draw(x, y, copy.Get(), -1, -1);
}
void ZQVTL_draw_text_transformed(float x, float y, const char* text, float xscale, float yscale,
                                 float angle) {
    CopiedText copy(text);
    GR_Text_Draw_Transformed(x, y, copy.Get(), -1, -1, xscale, yscale, angle);
}
void ZQVTL_draw_text_color(float x, float y, const char* text, int32_t c1, int32_t c2, int32_t c3, int32_t c4,
                           float alpha) {
    CopiedText copy(text);
    GR_Text_Draw_Color(x, y, copy.Get(), -1, -1, Colour(c1), Colour(c2), Colour(c3), Colour(c4), alpha);
}
void ZQVTL_draw_text_transformed_color(float x, float y, const char* text, float xscale, float yscale,
                                       float angle, int32_t c1, int32_t c2, int32_t c3, int32_t c4,
                                       float alpha) {
    CopiedText copy(text);
    GR_Text_Draw_Transformed_Color(x, y, copy.Get(), -1, -1, xscale, yscale, angle, Colour(c1), Colour(c2),
                                   Colour(c3), Colour(c4), alpha);
}
void ZQVTL_draw_text_ext_color(float x, float y, const char* text, int32_t separation, int32_t width,
                               int32_t c1, int32_t c2, int32_t c3, int32_t c4, float alpha) {
    CopiedText copy(text);
    GR_Text_Draw_Color(x, y, copy.Get(), separation, width, Colour(c1), Colour(c2), Colour(c3), Colour(c4),
                       alpha);
}
void ZQVTL_draw_text_ext_transformed_color(float x, float y, const char* text, int32_t separation,
                                           int32_t width, float xscale, float yscale, float angle, int32_t c1,
                                           int32_t c2, int32_t c3, int32_t c4, float alpha) {
    CopiedText copy(text);
    GR_Text_Draw_Transformed_Color(x, y, copy.Get(), separation, width, xscale, yscale, angle, Colour(c1),
                                   Colour(c2), Colour(c3), Colour(c4), alpha);
}
