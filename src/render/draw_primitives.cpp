// The 2D shapes and script primitives (see draw_primitives.h). Every shape
// is a handful of vertices appended to the single batch; consecutive shapes
// of one kind and layout share a batch, while strips and fans start their own.
#include "render/draw_primitives.h"

#include <algorithm>
#include <cmath>

#include "core/error.h"
#include "render/colour.h"
#include "render/gl_layer.h"
#include "render/graphics_device.h"
#include "render/legacy_3d.h"
#include "render/texture.h"
#include "render/texture_table.h"
#include "render/vertex_batch.h"
#include "render/view.h"
#include "world/datafile/options.h"

int32_t Draw_Alpha = 255;
float g_CoordFixScaleX = 1.0f, g_CoordFixScaleY = 1.0f;
int32_t g_circle_steps = 0;
float g_circle_cos[kCircleTableSize] = {};
float g_circle_sin[kCircleTableSize] = {};

namespace {

enum : int {
    kPointList = 1,
    kLineList = 2,
    kLineStrip = 3,
    kTriangleList = 4,
    kTriangleStrip = 5,
    kTriangleFan = 6
};

constexpr int kDefaultCircleSteps = 24;
constexpr float kPi = 3.14159265358979f;

struct V16 {
    float x, y, z;
    uint32_t colour;
};
struct V24 {
    float x, y, z;
    uint32_t colour;
    float u, v;
};
static_assert(sizeof(V16) == 16 && sizeof(V24) == 24, "the batch's built-in layouts");

// The script primitive being built.
V24 prim_v[kPrimitiveMaxVertices];
int32_t g_NumPrims = 0;
int32_t g_PrimType = 0;
int32_t g_PrimTexture = -1;
bool g_PrimHasImage = false;
PrimitiveImage g_PrimImage;
int32_t g_PrimTexturewidth = 0, g_PrimTextureheight = 0;

// The white texture when it exists; null binds the device's blank texture,
// which is white as well.
Texture* WhiteTexture() {
    if (g_SolidWhiteTexturePtr == nullptr) return nullptr;
    return *static_cast<Texture* const*>(g_SolidWhiteTexturePtr);
}

float Ox() {
    return 0.01f * g_CoordFixScaleX;
}

float Oy() {
    return 0.01f * g_CoordFixScaleY;
}

uint32_t WithDrawAlpha(uint32_t colour) {
    return GR_Color_To_D3DColor(colour, static_cast<uint32_t>(Draw_Alpha));
}

V16* Alloc16(int kind, int count) {
    return static_cast<V16*>(Graphics::AllocVerts(kind, WhiteTexture(), eVF_PosColour, count));
}

V24* Alloc24(int kind, int count) {
    return static_cast<V24*>(Graphics::AllocVerts(kind, WhiteTexture(), eVF_PosColourTex, count));
}

void Put(V16& v, float x, float y, uint32_t colour) {
    v = {x, y, GR_Depth, colour};
}

// Texture coordinates of shapes are not written: the white texture looks the
// same everywhere.
void Put(V24& v, float x, float y, uint32_t colour) {
    v.x = x;
    v.y = y;
    v.z = GR_Depth;
    v.colour = colour;
}

bool IsWhole(float value) {
    return std::floor(value) == value;
}

// A wide line is a fan over the rectangle around the segment.
void WideLine(float x1, float y1, float x2, float y2, float width, uint32_t c1, uint32_t c2) {
    const float dx = x2 - x1, dy = y2 - y1;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (!(length > 0.0f)) return;
    const float px = dx * (width / 2) / length, py = dy * (width / 2) / length;
    V16* v = Alloc16(kTriangleFan, 4);
    if (v == nullptr) return;
    const float ox = Ox(), oy = Oy();
    Put(v[0], x1 + ox - py, y1 + oy + px, c1);
    Put(v[1], x2 + ox - py, y2 + oy + px, c2);
    Put(v[2], x2 + ox + py, y2 + oy - px, c2);
    Put(v[3], x1 + ox + py, y1 + oy - px, c1);
}

void Triangle(float x1, float y1, float x2, float y2, float x3, float y3, uint32_t c1, uint32_t c2,
              uint32_t c3, bool outline) {
    const float ox = Ox(), oy = Oy();
    V24* v = Alloc24(outline ? kLineStrip : kTriangleList, outline ? 4 : 3);
    if (v == nullptr) return;
    Put(v[0], x1 + ox, y1 + oy, c1);
    Put(v[1], x2 + ox, y2 + oy, c2);
    Put(v[2], x3 + ox, y3 + oy, c3);
    if (outline) Put(v[3], x1 + ox, y1 + oy, c1);
}

void Rectangle(float x1, float y1, float x2, float y2, uint32_t colour, bool outline) {
    const float left = std::min(x1, x2), right = std::max(x1, x2);
    const float top = std::min(y1, y2), bottom = std::max(y1, y2);
    if (outline) {
        const float ox = Ox(), oy = Oy();
        const float xs[4] = {left + ox, right + ox, right + ox, left + ox};
        const float ys[4] = {top + oy, top + oy, bottom + oy, bottom + oy};
        if (V24* v = Alloc24(kLineStrip, 5)) {
            for (int i = 0; i < 5; ++i) Put(v[i], xs[i % 4], ys[i % 4], colour);
        }
        // The strip may leave a corner pixel out; the points fill all four.
        if (V24* v = Alloc24(kPointList, 4)) {
            for (int i = 0; i < 4; ++i) Put(v[i], xs[i], ys[i], colour);
        }
        return;
    }
    const float l = left, t = top, r = right + g_CoordFixScaleX, b = bottom + g_CoordFixScaleY;
    V24* v = Alloc24(kTriangleList, 6);
    if (v == nullptr) return;
    Put(v[0], l, t, colour);
    Put(v[1], r, t, colour);
    Put(v[2], r, b, colour);
    Put(v[3], r, b, colour);
    Put(v[4], l, b, colour);
    Put(v[5], l, t, colour);
}

// Corner colours are vertex colours already.
void RectangleCorners(float x1, float y1, float x2, float y2, uint32_t c1, uint32_t c2, uint32_t c3,
                      uint32_t c4, bool outline) {
    if (outline) {
        x1 += Ox();
        y1 += Oy();
        x2 += Ox();
        y2 += Oy();
    } else {
        x2 += g_CoordFixScaleX;
        y2 += g_CoordFixScaleY;
    }
    const float left = std::min(x1, x2), top = std::min(y1, y2);
    float right = std::max(x1, x2), bottom = std::max(y1, y2);
    if (IsWhole(right)) right += 0.01f;
    if (IsWhole(bottom)) bottom += 0.01f;
    V24* v = Alloc24(outline ? kLineStrip : kTriangleFan, 5);
    if (v == nullptr) return;
    Put(v[0], left, top, c1);
    Put(v[1], right, top, c2);
    Put(v[2], right, bottom, c3);
    Put(v[3], left, bottom, c4);
    Put(v[4], left, top, c1);
}

void Ellipse(float x1, float y1, float x2, float y2, uint32_t centre, uint32_t edge, bool outline) {
    const float cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
    const float rx = std::fabs(x1 - x2) / 2, ry = std::fabs(y1 - y2) / 2;
    const int steps = g_circle_steps;
    auto px = [&](int i) { return cx + g_circle_cos[i] * rx; };
    auto py = [&](int i) { return cy + g_circle_sin[i] * ry; };
    if (outline) {
        V16* v = Alloc16(kLineStrip, steps + 1);
        if (v == nullptr) return;
        for (int i = 0; i <= steps; ++i) Put(v[i], px(i), py(i), edge);
        return;
    }
    V16* v = Alloc16(kTriangleList, steps * 3);
    if (v == nullptr) return;
    for (int i = 0; i < steps; ++i) {
        Put(v[3 * i], cx, cy, centre);
        Put(v[3 * i + 1], px(i), py(i), edge);
        Put(v[3 * i + 2], px(i + 1), py(i + 1), edge);
    }
}

// Four quarter arcs around the centre of the rectangle, each centred half of
// the straight part (mx, my) away from it; the corner radii are half the
// given diameters.
void RoundRect(float left, float top, float right, float bottom, float rx, float ry, uint32_t centre,
               uint32_t edge, bool outline) {
    const float w = right - left, h = bottom - top;
    rx = std::min(rx, w);
    ry = std::min(ry, h);
    const float mx = w - rx, my = h - ry;
    const int steps = g_circle_steps, q = steps / 4;
    V24* v = Alloc24(outline ? kLineStrip : kTriangleFan, steps + 6);
    if (v == nullptr) return;
    v[0] = {(left + right) / 2, (top + bottom) / 2, GR_Depth, centre, 0, 0};
    int n = 1;
    auto arc = [&](int from, int to, float X, float Y) {
        for (int i = from; i <= to; ++i)
            v[n++] = {(g_circle_cos[i] * rx + X) / 2, (g_circle_sin[i] * ry + Y) / 2, GR_Depth, edge, 0, 0};
    };
    const float sx = left + right, sy = top + bottom;
    arc(0, q, sx + mx, sy + my);
    arc(q, 2 * q, sx - mx, sy + my);
    arc(2 * q, 3 * q, sx - mx, sy - my);
    arc(3 * q, steps, sx + mx, sy - my);
    v[n] = v[1];
    if (outline) v[0] = v[1];
}

// The public round rectangles order their corners and keep a whole far edge
// off the pixel boundary.
void RoundRectPublic(float x1, float y1, float x2, float y2, float rx, float ry, uint32_t centre,
                     uint32_t edge, bool outline) {
    const float left = std::min(x1, x2), top = std::min(y1, y2);
    float right = std::max(x1, x2), bottom = std::max(y1, y2);
    if (IsWhole(right)) right += 0.01f;
    if (IsWhole(bottom)) bottom += 0.01f;
    RoundRect(left, top, right, bottom, rx, ry, centre, edge, outline);
}

uint32_t AlphaByte(float alpha) {
    return ConvertAlpha(alpha);
}

void AddPrimVertex(float x, float y, uint32_t colour, float u, float v) {
    if (g_NumPrims >= kPrimitiveMaxVertices) return;
    prim_v[g_NumPrims++] = {x, y, GR_Depth, colour, u, v};
}

// Page-entry coordinates: 0-1 spans the image, wherever it sits on its page.
void ImageUV(float& u, float& v) {
    if (!g_PrimHasImage) return;
    if (g_PrimTexturewidth > 0)
        u = (g_PrimImage.cropWidth * u + g_PrimImage.x) / static_cast<float>(g_PrimTexturewidth);
    if (g_PrimTextureheight > 0)
        v = (g_PrimImage.cropHeight * v + g_PrimImage.y) / static_cast<float>(g_PrimTextureheight);
}

} // namespace

// ---- Colour and alpha

uint32_t GR_Draw_Create_Color(int r, int g, int b) {
    return (static_cast<uint32_t>(r) & 0xFF) | (static_cast<uint32_t>(g) & 0xFF) << 8 |
           (static_cast<uint32_t>(b) & 0xFF) << 16;
}

void ZQVTL_draw_set_colour(uint32_t colour) {
    Draw_Color = WithDrawAlpha(colour);
}

void ZQVTL_draw_set_alpha(float alpha) {
    Draw_Alpha = static_cast<int32_t>(AlphaByte(alpha));
    Draw_Color = GR_D3DColor_Change_Alpha(Draw_Color, static_cast<uint32_t>(Draw_Alpha));
}

void GR_Draw_Set_Color3(int r, int g, int b) {
    Draw_Color = GR_RGBA_To_D3DColor(r, g, b, static_cast<uint32_t>(Draw_Alpha));
}

void GR_Draw_Set_Color4(int r, int g, int b, float alpha) {
    Draw_Alpha = static_cast<int32_t>(AlphaByte(alpha));
    GR_Draw_Set_Color3(r, g, b);
}

uint32_t GR_Draw_Get_Color() {
    return Draw_Color;
}

uint32_t GR_Draw_Get_D3DColor() {
    return Draw_Color;
}

int GR_Draw_Get_Color_Red() {
    return static_cast<int>(Draw_Color >> 16 & 0xFF);
}

int GR_Draw_Get_Color_Green() {
    return static_cast<int>(Draw_Color >> 8 & 0xFF);
}

int GR_Draw_Get_Color_Blue() {
    return static_cast<int>(Draw_Color & 0xFF);
}

float GR_Draw_Get_Alpha() {
    return static_cast<float>(Draw_Alpha) * (1.0f / 255.0f);
}

void Draw_SetInitialColour() {
    Draw_Color = g_InitialDrawColor;
}

// ---- Clearing

void GR_Draw_Clear(uint32_t colour) {
    if (!Graphics_Ready()) return;
    Graphics::Flush();
    // A surface's texture may be padded beyond the surface; its border texels
    // are cleared too, so that filtering at the surface's edge never picks up
    // stale pixels.
    int sw = 0, sh = 0, tw = 0, th = 0;
    const int vx = old_view_port_x, vy = old_view_port_y, vw = old_view_port_w, vh = old_view_port_h;
    const bool border = Surface_TargetSizes(&sw, &sh, &tw, &th) && vx == 0 && vy == 0 && vw == sw &&
                        vh == sh && (tw > sw || th > sh);
    if (border) Graphics::SetViewPort(0, 0, std::min(tw, sw + 1), std::min(th, sh + 1));
    Graphics::Clear(colour, 1.0f, 0, eClear_Colour | eClear_DepthStencil);
    if (border) Graphics::SetViewPort(vx, vy, vw, vh);
}

void GR_Draw_Clear_Alpha(uint32_t colour, float alpha) {
    GR_Draw_Clear(colour | AlphaByte(alpha) << 24);
}

// ---- Shapes

void ZQVTL_draw_point(float x, float y) {
    if (V16* v = Alloc16(kPointList, 1)) Put(v[0], x + Ox(), y + Oy(), Draw_Color);
}

void ZQVTL_draw_point_ext(float x, float y, uint32_t colour) {
    if (V16* v = Alloc16(kPointList, 1)) Put(v[0], x + Ox(), y + Oy(), WithDrawAlpha(colour));
}

void GR_Draw_Line(float x1, float y1, float x2, float y2) {
    GR_Draw_Line_Ext(x1, y1, x2, y2, Draw_Color, Draw_Color);
}

void GR_Draw_Line_Ext(float x1, float y1, float x2, float y2, uint32_t c1, uint32_t c2) {
    V16* v = Alloc16(kLineList, 2);
    if (v == nullptr) return;
    Put(v[0], x1 + Ox(), y1 + Oy(), WithDrawAlpha(c1));
    Put(v[1], x2 + Ox(), y2 + Oy(), WithDrawAlpha(c2));
}

void GR_Draw_Line_Width(float x1, float y1, float x2, float y2, float width) {
    WideLine(x1, y1, x2, y2, width, Draw_Color, Draw_Color);
}

void GR_Draw_Line_Width_Ext(float x1, float y1, float x2, float y2, float width, uint32_t c1, uint32_t c2) {
    WideLine(x1, y1, x2, y2, width, WithDrawAlpha(c1), WithDrawAlpha(c2));
}

void GR_Draw_Triangle(float x1, float y1, float x2, float y2, float x3, float y3, bool outline) {
    Triangle(x1, y1, x2, y2, x3, y3, Draw_Color, Draw_Color, Draw_Color, outline);
}

void GR_Draw_Triangle_Ext(float x1, float y1, float x2, float y2, float x3, float y3, uint32_t c1,
                          uint32_t c2, uint32_t c3, bool outline) {
    Triangle(x1, y1, x2, y2, x3, y3, WithDrawAlpha(c1), WithDrawAlpha(c2), WithDrawAlpha(c3), outline);
}

void ZQVTL_draw_rectangle(float x1, float y1, float x2, float y2, bool outline) {
    Rectangle(x1, y1, x2, y2, Draw_Color, outline);
}

void GR_Draw_Rectangle_Ext(float x1, float y1, float x2, float y2, uint32_t c1, uint32_t c2, uint32_t c3,
                           uint32_t c4, bool outline) {
    RectangleCorners(x1, y1, x2, y2, WithDrawAlpha(c1), WithDrawAlpha(c2), WithDrawAlpha(c3),
                     WithDrawAlpha(c4), outline);
}

void GR_Draw_Circle(float x, float y, float r, bool outline) {
    Ellipse(x - r, y - r, x + r, y + r, Draw_Color, Draw_Color, outline);
}

void GR_Draw_Circle_Ext(float x, float y, float r, uint32_t c1, uint32_t c2, bool outline) {
    Ellipse(x - r, y - r, x + r, y + r, WithDrawAlpha(c1), WithDrawAlpha(c2), outline);
}

void GR_Draw_Ellipse(float x1, float y1, float x2, float y2, bool outline) {
    Ellipse(x1, y1, x2, y2, Draw_Color, Draw_Color, outline);
}

void GR_Draw_Ellipse_Ext(float x1, float y1, float x2, float y2, uint32_t c1, uint32_t c2, bool outline) {
    Ellipse(x1, y1, x2, y2, WithDrawAlpha(c1), WithDrawAlpha(c2), outline);
}

void GR_Draw_RoundRect(float x1, float y1, float x2, float y2, float rx, float ry, bool outline) {
    RoundRectPublic(x1, y1, x2, y2, rx, ry, Draw_Color, Draw_Color, outline);
}

void GR_Draw_RoundRect_Ext(float x1, float y1, float x2, float y2, float rx, float ry, uint32_t c1,
                           uint32_t c2, bool outline) {
    RoundRectPublic(x1, y1, x2, y2, rx, ry, WithDrawAlpha(c1), WithDrawAlpha(c2), outline);
}

void GR_Draw_Arrow(float x1, float y1, float x2, float y2, float size) {
    const float dx = x2 - x1, dy = y2 - y1;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (!(length > 0.0f)) return;
    const float s = std::min(size, length);
    const float hx = dx * s / length, hy = dy * s / length;
    const float ox = Ox(), oy = Oy();
    if (V16* v = Alloc16(kLineList, 2)) {
        Put(v[0], x1 + ox, y1 + oy, Draw_Color);
        Put(v[1], x2 + ox, y2 + oy, Draw_Color);
    }
    const float bx = x2 - hx, by = y2 - hy;
    if (V24* v = Alloc24(kTriangleList, 3)) {
        Put(v[0], bx - hy / 3 + ox, by + hx / 3 + oy, Draw_Color);
        Put(v[1], x2 + ox, y2 + oy, Draw_Color);
        Put(v[2], bx + hy / 3 + ox, by - hx / 3 + oy, Draw_Color);
    }
}

void GR_Draw_Button(float x1, float y1, float x2, float y2, bool up) {
    const uint32_t white = WithDrawAlpha(0xFFFFFF), grey = WithDrawAlpha(0x808080);
    const uint32_t light = up ? white : grey, dark = up ? grey : white;
    const float ox = Ox(), oy = Oy();
    if (V24* v = Alloc24(kTriangleList, 6)) {
        Put(v[0], x1 + ox, y1 + oy, light);
        Put(v[1], x2 + ox, y1 + oy, light);
        Put(v[2], x1 + ox, y2 + oy, light);
        Put(v[3], x1 + ox, y2 + oy, dark);
        Put(v[4], x2 + ox, y1 + oy, dark);
        Put(v[5], x2 + ox, y2 + oy, dark);
    }
    ZQVTL_draw_rectangle(x1 + 2, y1 + 2, x2 - 2, y2 - 2, false);
}

void GR_Draw_Healthbar(float x1, float y1, float x2, float y2, float amount, uint32_t back, uint32_t min,
                       uint32_t mid, uint32_t max, int direction, bool showBack, bool showBorder) {
    if (showBack) {
        GR_Draw_Rectangle_Ext(x1, y1, x2, y2, back, back, back, back, false);
        if (showBorder) GR_Draw_Rectangle_Ext(x1, y1, x2, y2, 0, 0, 0, 0, true);
    }
    // A NaN amount draws no bar, as 0 does.
    if (!(amount > 0.0f)) return;
    amount = std::min(amount, 100.0f);
    const float f = amount / 100.0f;
    switch (direction) {
        case 1: x1 = x2 + f * (x1 - x2); break;
        case 2: y2 = y1 + f * (y2 - y1); break;
        case 3: y1 = y2 + f * (y1 - y2); break;
        default: x2 = x1 + f * (x2 - x1); break;
    }
    const uint32_t colour = amount > 50.0f ? GR_Color_Merge(mid, max, (amount - 50.0f) * 0.02f)
                                           : GR_Color_Merge(min, mid, amount * 0.02f);
    GR_Draw_Rectangle_Ext(x1, y1, x2, y2, colour, colour, colour, colour, false);
    if (showBorder) GR_Draw_Rectangle_Ext(x1, y1, x2, y2, 0, 0, 0, 0, true);
}

void GR_Draw_Circle_Precision(int n) {
    const int steps = n < 4 ? 4 : n > 64 ? 64 : n & ~3;
    for (int i = 0; i <= steps; ++i) {
        const float a = kPi * 2.0f * static_cast<float>(i) / static_cast<float>(steps);
        g_circle_cos[i] = std::cos(a);
        g_circle_sin[i] = std::sin(a);
    }
    g_circle_steps = steps;
}

void INITIALIZE_Graphics_Draw() {
    GR_Draw_Circle_Precision(kDefaultCircleSteps);
}

// ---- Script primitives

void GR_Draw_Primitive_Begin(int kind, long texture) {
    g_NumPrims = 0;
    g_PrimType = kind;
    g_PrimHasImage = false;
    g_PrimTexture = -1;
    // Texture ids first, then page-entry handles: a script number is only ever
    // resolved through the tables, never taken as an address.
    if (texture == -1) return;
    if (texture >= 0 && texture <= INT32_MAX && GR_Texture_Exists(static_cast<int>(texture))) {
        g_PrimTexture = static_cast<int32_t>(texture);
        return;
    }
    PrimitiveImage image;
    if (TPageEntry_PrimitiveImage(static_cast<int64_t>(texture), &image)) {
        g_PrimHasImage = true;
        g_PrimImage = image;
        g_PrimTexture = image.page;
        const Texture* page = GR_Texture_Get_Surface(image.page);
        g_PrimTexturewidth = page != nullptr ? page->width : 0;
        g_PrimTextureheight = page != nullptr ? page->height : 0;
        return;
    }
    Error_Show_Action("Illegal texture supplied.", true);
}

void GR_Draw_Vertex(float x, float y) {
    AddPrimVertex(x, y, Draw_Color, 0, 0);
}

void GR_Draw_Vertex_Color(float x, float y, uint32_t colour, float alpha) {
    AddPrimVertex(x, y, GR_Color_To_D3DColor(colour, AlphaByte(alpha)), 0, 0);
}

void GR_Draw_Vertex_Texture(float x, float y, float u, float v) {
    ImageUV(u, v);
    AddPrimVertex(x, y, Draw_Color, u, v);
}

void GR_Draw_Vertex_Texture_Color(float x, float y, float u, float v, uint32_t colour, float alpha) {
    ImageUV(u, v);
    AddPrimVertex(x, y, GR_Color_To_D3DColor(colour, AlphaByte(alpha)), u, v);
}

void GR_Draw_Primitive_End() {
    const int n = g_NumPrims;
    int count = 0;
    switch (g_PrimType) {
        case kPointList: count = n; break;
        case kLineList: count = n / 2 * 2; break;
        case kLineStrip: count = n >= 2 ? n : 0; break;
        case kTriangleList: count = n / 3 * 3; break;
        case kTriangleStrip:
        case kTriangleFan: count = n >= 3 ? n : 0; break;
        default: return;
    }
    if (count == 0) return;
    // Lists share the batch with later shapes, so a list's incomplete last
    // primitive stays out: its stray vertices would shift every later one.
    // An untextured primitive draws through the white texture, as the shapes
    // do: with no texture bound its vertices would come out black.
    Texture* texture = g_PrimTexture >= 0 ? GR_Texture_Get_Surface(g_PrimTexture) : WhiteTexture();
    auto* v = static_cast<V24*>(Graphics::AllocVerts(g_PrimType, texture, eVF_PosColourTex, count));
    if (v == nullptr) return;
    std::copy(prim_v, prim_v + count, v);
}

int GR_Draw_Primitive_VertexCount() {
    return g_NumPrims;
}

void Draw_Reset() {
    Draw_Alpha = 255;
    g_CoordFixScaleX = g_CoordFixScaleY = 1.0f;
    GR_Draw_Circle_Precision(kDefaultCircleSteps);
    g_NumPrims = 0;
    g_PrimType = 0;
    g_PrimTexture = -1;
    g_PrimHasImage = false;
    g_PrimTexturewidth = g_PrimTextureheight = 0;
}
