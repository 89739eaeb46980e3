// The draw-state built-ins: draw colour and alpha, colour arithmetic,
// blending and alpha test, clearing, the shapes and the script primitives.
// Each handler reads only the arguments it uses and leaves the result
// undefined unless it answers a value.
#include <cstdint>

#include "core/arguments.h"
#include "core/error.h"
#include "library/colour.h"
#include "library/drawing_builtins.h"
#include "render/draw_primitives.h"
#include "render/render_settings.h"
#include "render/texture_draw.h"
#include "world/motion/path.h"
#include "world/motion/path_resources.h"

// Vector sprites: drawn anti-aliased while set, at this level (kept in 0-1).
bool g_SWF_AA = false;
float g_AA_extrascale = 1.0f;

void DrawingState_Reset() {
    g_SWF_AA = false;
    g_AA_extrascale = 1.0f;
}

int32_t ZQVTL_make_color_rgb(int32_t red, int32_t green, int32_t blue) {
    // Wrapping 32-bit arithmetic, unclamped: out-of-range channels spill into
    // their neighbours as scripts have always seen.
    return static_cast<int32_t>(static_cast<uint32_t>(red) + static_cast<uint32_t>(green) * 256u +
                                static_cast<uint32_t>(blue) * 65536u);
}

void ZQVTL_draw_set_blend_mode(int32_t mode) {
    GR_D3D_Set_Blend(mode);
}

namespace {

using Args = RValue*;

void Real(RValue& r, double v) {
    ZQSetResultReal(r, v);
}
float F(Args a, int i) {
    return ZQGetFloat(a, i);
}
int32_t I(Args a, int i) {
    return ZQGetInt32(a, i);
}
uint32_t C(Args a, int i) {
    return static_cast<uint32_t>(ZQGetInt32(a, i));
}
bool B(Args a, int i) {
    return ZQGetBool(a, i);
}
// The outline switches that are compared as reals rather than read as bools.
bool Positive(Args a, int i) {
    return ZQGetReal(a, i) > 0.0;
}

#define ZQ_DRAWING(name) void name(RValue& r, CInstance*, CInstance*, int, Args a)

// ---- colour and alpha

ZQ_DRAWING(F_DrawSetColor) {
    (void)r;
    ZQVTL_draw_set_colour(C(a, 0));
}
ZQ_DRAWING(F_DrawSetAlpha) {
    (void)r;
    ZQVTL_draw_set_alpha(F(a, 0));
}
ZQ_DRAWING(F_DrawGetColor) {
    (void)a;
    Real(r, GR_Draw_Get_Color() & 0xFFFFFFu);
}
ZQ_DRAWING(F_DrawGetAlpha) {
    (void)a;
    Real(r, GR_Draw_Get_Alpha());
}
ZQ_DRAWING(F_MakeColorRGB) {
    Real(r, ZQVTL_make_color_rgb(I(a, 0), I(a, 1), I(a, 2)));
}
ZQ_DRAWING(F_MakeColorHSV) {
    Real(r, Color_HSVToColor(Color_HSV(I(a, 0), I(a, 1), I(a, 2))));
}
// Signed 32-bit division and remainder: a negative colour gives negative
// channels (colour_get_red(-1) is -1).
ZQ_DRAWING(F_ColorGetRed) {
    Real(r, I(a, 0) % 256);
}
ZQ_DRAWING(F_ColorGetGreen) {
    Real(r, (I(a, 0) / 256) % 256);
}
ZQ_DRAWING(F_ColorGetBlue) {
    Real(r, (I(a, 0) / 65536) % 256);
}
ZQ_DRAWING(F_ColorGetHue) {
    Real(r, Color_ColorToHSV(C(a, 0)).hue);
}
ZQ_DRAWING(F_ColorGetSaturation) {
    Real(r, Color_ColorToHSV(C(a, 0)).saturation);
}
ZQ_DRAWING(F_ColorGetValue) {
    Real(r, Color_ColorToHSV(C(a, 0)).value);
}
ZQ_DRAWING(F_MergeColor) {
    Real(r, Color_Merge(C(a, 0), C(a, 1), F(a, 2)));
}

// ---- render state

ZQ_DRAWING(F_DrawSetBlendMode) {
    (void)r;
    ZQVTL_draw_set_blend_mode(I(a, 0));
}
ZQ_DRAWING(F_DrawSetBlendModeExt) {
    (void)r;
    GR_D3D_Set_Blend_Ext(I(a, 0), I(a, 1));
}
ZQ_DRAWING(F_DrawSetColorWriteEnable) {
    (void)r;
    GR_D3D_Set_Colour_Write_Enable(B(a, 0), B(a, 1), B(a, 2), B(a, 3));
}
ZQ_DRAWING(F_DrawSetAlphaTest) {
    (void)r;
    GR_D3D_Set_Alpha_Test_Enable(B(a, 0));
}
ZQ_DRAWING(F_DrawSetAlphaTestRefValue) {
    (void)r;
    GR_D3D_Set_Alpha_Test_Ref(C(a, 0));
}
ZQ_DRAWING(F_DrawGetAlphaTest) {
    (void)a;
    Real(r, GR_D3D_Get_Alpha_Test_Enable() ? 1.0 : 0.0);
}
ZQ_DRAWING(F_DrawGetAlphaTestRefValue) {
    (void)a;
    Real(r, GR_D3D_Get_Alpha_Test_Ref());
}
ZQ_DRAWING(F_DrawClear) {
    (void)r;
    // The colour's alpha byte is forced opaque: a plain clear never leaves
    // the target see-through.
    GR_Draw_Clear(C(a, 0) | 0xFF000000u);
}
ZQ_DRAWING(F_DrawClearAlpha) {
    (void)r;
    GR_Draw_Clear_Alpha(C(a, 0), F(a, 1));
}
ZQ_DRAWING(F_DrawEnableCornerID) {
    (void)r;
    g_MarkVerts = B(a, 0);
}
ZQ_DRAWING(F_DrawEnableSWFAA) {
    (void)r;
    g_SWF_AA = B(a, 0);
}
ZQ_DRAWING(F_DrawSetSWFAAlevel) {
    (void)r;
    float level = F(a, 0);
    g_AA_extrascale = level < 0.0f ? 0.0f : (level > 1.0f ? 1.0f : level);
}
ZQ_DRAWING(F_DrawGetSWFAAlevel) {
    (void)a;
    Real(r, g_AA_extrascale);
}

// ---- shapes

constexpr float kRoundRadius = 10.0f;

ZQ_DRAWING(F_DrawPoint) {
    (void)r;
    ZQVTL_draw_point(F(a, 0), F(a, 1));
}
ZQ_DRAWING(F_DrawPointExt) {
    (void)r;
    ZQVTL_draw_point_ext(F(a, 0), F(a, 1), C(a, 2));
}
ZQ_DRAWING(F_DrawLine) {
    (void)r;
    GR_Draw_Line(F(a, 0), F(a, 1), F(a, 2), F(a, 3));
}
ZQ_DRAWING(F_DrawLineWidth) {
    (void)r;
    GR_Draw_Line_Width(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4));
}
ZQ_DRAWING(F_DrawLineExt) {
    (void)r;
    GR_Draw_Line_Ext(F(a, 0), F(a, 1), F(a, 2), F(a, 3), C(a, 4), C(a, 5));
}
ZQ_DRAWING(F_DrawLineWidthExt) {
    (void)r;
    GR_Draw_Line_Width_Ext(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), C(a, 5), C(a, 6));
}
ZQ_DRAWING(F_DrawRectangle) {
    (void)r;
    ZQVTL_draw_rectangle(F(a, 0), F(a, 1), F(a, 2), F(a, 3), B(a, 4));
}
ZQ_DRAWING(F_DrawRectangleExt) {
    (void)r;
    GR_Draw_Rectangle_Ext(F(a, 0), F(a, 1), F(a, 2), F(a, 3), C(a, 4), C(a, 5), C(a, 6), C(a, 7), B(a, 8));
}
ZQ_DRAWING(F_DrawRoundRect) {
    (void)r;
    GR_Draw_RoundRect(F(a, 0), F(a, 1), F(a, 2), F(a, 3), kRoundRadius, kRoundRadius, B(a, 4));
}
ZQ_DRAWING(F_DrawRoundRect_EXT) {
    (void)r;
    GR_Draw_RoundRect(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), Positive(a, 6));
}
ZQ_DRAWING(F_DrawRoundRectColour) {
    (void)r;
    GR_Draw_RoundRect_Ext(F(a, 0), F(a, 1), F(a, 2), F(a, 3), kRoundRadius, kRoundRadius, C(a, 4), C(a, 5),
                          B(a, 6));
}
ZQ_DRAWING(F_DrawRoundRectColour_EXT) {
    (void)r;
    GR_Draw_RoundRect_Ext(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), C(a, 6), C(a, 7), B(a, 8));
}
ZQ_DRAWING(F_DrawTriangle) {
    (void)r;
    GR_Draw_Triangle(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), Positive(a, 6));
}
ZQ_DRAWING(F_DrawTriangleExt) {
    (void)r;
    GR_Draw_Triangle_Ext(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), F(a, 5), C(a, 6), C(a, 7), C(a, 8),
                         B(a, 9));
}
ZQ_DRAWING(F_DrawCircle) {
    (void)r;
    GR_Draw_Circle(F(a, 0), F(a, 1), F(a, 2), B(a, 3));
}
ZQ_DRAWING(F_DrawCircleExt) {
    (void)r;
    GR_Draw_Circle_Ext(F(a, 0), F(a, 1), F(a, 2), C(a, 3), C(a, 4), B(a, 5));
}
ZQ_DRAWING(F_DrawEllipse) {
    (void)r;
    GR_Draw_Ellipse(F(a, 0), F(a, 1), F(a, 2), F(a, 3), B(a, 4));
}
ZQ_DRAWING(F_DrawEllipseExt) {
    (void)r;
    GR_Draw_Ellipse_Ext(F(a, 0), F(a, 1), F(a, 2), F(a, 3), C(a, 4), C(a, 5), B(a, 6));
}
ZQ_DRAWING(F_DrawArrow) {
    (void)r;
    GR_Draw_Arrow(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4));
}
ZQ_DRAWING(F_DrawButton) {
    (void)r;
    GR_Draw_Button(F(a, 0), F(a, 1), F(a, 2), F(a, 3), B(a, 4));
}
ZQ_DRAWING(F_DrawHealthbar) {
    (void)r;
    uint32_t minimum = C(a, 6);
    uint32_t maximum = C(a, 7);
    GR_Draw_Healthbar(F(a, 0), F(a, 1), F(a, 2), F(a, 3), F(a, 4), C(a, 5), minimum,
                      Color_Merge(minimum, maximum, 0.5f), maximum, I(a, 8), B(a, 9), B(a, 10));
}
// Absolute: the path at its own coordinates; otherwise its start moved to (x, y).
ZQ_DRAWING(F_DrawPath) {
    (void)r;
    const CPath* path = Path_Data(I(a, 0));
    if (path == nullptr) return Error_Show_Action("Trying to drawn non-existing path.", false);
    const float x = F(a, 1);
    const float y = F(a, 2);
    if (B(a, 3))
        path->Draw(0.0f, 0.0f, true);
    else
        path->Draw(x, y, false);
}
ZQ_DRAWING(F_DrawSetCirclePrecision) {
    (void)r;
    GR_Draw_Circle_Precision(I(a, 0));
}

// ---- primitives

ZQ_DRAWING(F_DrawPrimitiveBegin) {
    (void)r;
    GR_Draw_Primitive_Begin(I(a, 0), -1);
}
ZQ_DRAWING(F_DrawPrimitiveBeginTexture) {
    (void)r;
    GR_Draw_Primitive_Begin(I(a, 0), static_cast<long>(ZQGetPtrOrInt(a, 1)));
}
ZQ_DRAWING(F_DrawPrimitiveEnd) {
    (void)r;
    (void)a;
    GR_Draw_Primitive_End();
}
ZQ_DRAWING(F_DrawVertex) {
    (void)r;
    GR_Draw_Vertex(F(a, 0), F(a, 1));
}
ZQ_DRAWING(F_DrawVertexColor) {
    (void)r;
    GR_Draw_Vertex_Color(F(a, 0), F(a, 1), C(a, 2), F(a, 3));
}
ZQ_DRAWING(F_DrawVertexTexture) {
    (void)r;
    GR_Draw_Vertex_Texture(F(a, 0), F(a, 1), F(a, 2), F(a, 3));
}
ZQ_DRAWING(F_DrawVertexTextureColor) {
    (void)r;
    GR_Draw_Vertex_Texture_Color(F(a, 0), F(a, 1), F(a, 2), F(a, 3), C(a, 4), F(a, 5));
}

#undef ZQ_DRAWING

const DrawingHandlerRow kRows[] = {
    {"F_DrawSetColor", F_DrawSetColor},
    {"F_DrawSetAlpha", F_DrawSetAlpha},
    {"F_DrawGetColor", F_DrawGetColor},
    {"F_DrawGetAlpha", F_DrawGetAlpha},
    {"F_MakeColorRGB", F_MakeColorRGB},
    {"F_MakeColorHSV", F_MakeColorHSV},
    {"F_ColorGetRed", F_ColorGetRed},
    {"F_ColorGetGreen", F_ColorGetGreen},
    {"F_ColorGetBlue", F_ColorGetBlue},
    {"F_ColorGetHue", F_ColorGetHue},
    {"F_ColorGetSaturation", F_ColorGetSaturation},
    {"F_ColorGetValue", F_ColorGetValue},
    {"F_MergeColor", F_MergeColor},
    {"F_DrawSetBlendMode", F_DrawSetBlendMode},
    {"F_DrawSetBlendModeExt", F_DrawSetBlendModeExt},
    {"F_DrawSetColorWriteEnable", F_DrawSetColorWriteEnable},
    {"F_DrawSetAlphaTest", F_DrawSetAlphaTest},
    {"F_DrawSetAlphaTestRefValue", F_DrawSetAlphaTestRefValue},
    {"F_DrawGetAlphaTest", F_DrawGetAlphaTest},
    {"F_DrawGetAlphaTestRefValue", F_DrawGetAlphaTestRefValue},
    {"F_DrawClear", F_DrawClear},
    {"F_DrawClearAlpha", F_DrawClearAlpha},
    {"F_DrawEnableCornerID", F_DrawEnableCornerID},
    {"F_DrawEnableSWFAA", F_DrawEnableSWFAA},
    {"F_DrawSetSWFAAlevel", F_DrawSetSWFAAlevel},
    {"F_DrawGetSWFAAlevel", F_DrawGetSWFAAlevel},
    {"F_DrawPoint", F_DrawPoint},
    {"F_DrawPointExt", F_DrawPointExt},
    {"F_DrawLine", F_DrawLine},
    {"F_DrawLineWidth", F_DrawLineWidth},
    {"F_DrawLineExt", F_DrawLineExt},
    {"F_DrawLineWidthExt", F_DrawLineWidthExt},
    {"F_DrawRectangle", F_DrawRectangle},
    {"F_DrawRectangleExt", F_DrawRectangleExt},
    {"F_DrawRoundRect", F_DrawRoundRect},
    {"F_DrawRoundRect_EXT", F_DrawRoundRect_EXT},
    {"F_DrawRoundRectColour", F_DrawRoundRectColour},
    {"F_DrawRoundRectColour_EXT", F_DrawRoundRectColour_EXT},
    {"F_DrawTriangle", F_DrawTriangle},
    {"F_DrawTriangleExt", F_DrawTriangleExt},
    {"F_DrawCircle", F_DrawCircle},
    {"F_DrawCircleExt", F_DrawCircleExt},
    {"F_DrawEllipse", F_DrawEllipse},
    {"F_DrawEllipseExt", F_DrawEllipseExt},
    {"F_DrawArrow", F_DrawArrow},
    {"F_DrawButton", F_DrawButton},
    {"F_DrawHealthbar", F_DrawHealthbar},
    {"F_DrawPath", F_DrawPath},
    {"F_DrawSetCirclePrecision", F_DrawSetCirclePrecision},
    {"F_DrawPrimitiveBegin", F_DrawPrimitiveBegin},
    {"F_DrawPrimitiveBeginTexture", F_DrawPrimitiveBeginTexture},
    {"F_DrawPrimitiveEnd", F_DrawPrimitiveEnd},
    {"F_DrawVertex", F_DrawVertex},
    {"F_DrawVertexColor", F_DrawVertexColor},
    {"F_DrawVertexTexture", F_DrawVertexTexture},
    {"F_DrawVertexTextureColor", F_DrawVertexTextureColor},
};

} // namespace

std::span<const DrawingHandlerRow> DrawStateBuiltins() {
    return kRows;
}
