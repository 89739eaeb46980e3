// The 2D shapes that scripts draw (points, lines, wide lines, triangles,
// rectangles, circles, ellipses, rounded rectangles, arrows, buttons, health
// bars, clears) and the script-built primitives (begin, vertices, end), as
// vertices in the single batch on the white texture; and the draw colour and
// alpha those shapes and the simple image draws use.
//
// Colours given to the functions here are script colours 0xBBGGRR; a vertex
// colour is 0xAABBGGRR. Lines, points and outlines are moved to the pixel
// centre by 0.01 × g_CoordFixScale; filled rectangles reach one whole scale
// further on their far edges, so that they cover their last row and column.
#pragma once

#include <cstdint>

// The draw alpha 0-255 (255 at start); Draw_Color, the draw colour with this
// alpha in its top byte, lives with the start-up options.
extern int32_t Draw_Alpha;
extern float g_CoordFixScaleX, g_CoordFixScaleY;

// The circle table: cos and sin of 2πi / g_circle_steps for i = 0 …
// g_circle_steps (4-64 steps, a multiple of 4).
inline constexpr int kCircleTableSize = 68;
extern int32_t g_circle_steps;
extern float g_circle_cos[kCircleTableSize];
extern float g_circle_sin[kCircleTableSize];

// A script primitive keeps at most this many vertices; later ones are dropped.
inline constexpr int kPrimitiveMaxVertices = 1001;

// ---- Colour and alpha

uint32_t GR_Draw_Create_Color(int r, int g, int b);
void ZQVTL_draw_set_colour(uint32_t colour);
void ZQVTL_draw_set_alpha(float alpha);
// Red in bits 16-23 and blue in bits 0-7: the reverse of a script colour.
void GR_Draw_Set_Color3(int r, int g, int b);
void GR_Draw_Set_Color4(int r, int g, int b, float alpha);
uint32_t GR_Draw_Get_Color();
uint32_t GR_Draw_Get_D3DColor();
int GR_Draw_Get_Color_Red();
int GR_Draw_Get_Color_Green();
int GR_Draw_Get_Color_Blue();
float GR_Draw_Get_Alpha();
// New-generation games start with the colour the data file names.
void Draw_SetInitialColour();

// ---- Clearing (colour, depth 1 and stencil 0 of the current target)

void GR_Draw_Clear(uint32_t colour);
void GR_Draw_Clear_Alpha(uint32_t colour, float alpha);

// ---- Shapes

void ZQVTL_draw_point(float x, float y);
void ZQVTL_draw_point_ext(float x, float y, uint32_t colour);
void GR_Draw_Line(float x1, float y1, float x2, float y2);
void GR_Draw_Line_Ext(float x1, float y1, float x2, float y2, uint32_t c1, uint32_t c2);
void GR_Draw_Line_Width(float x1, float y1, float x2, float y2, float width);
void GR_Draw_Line_Width_Ext(float x1, float y1, float x2, float y2, float width, uint32_t c1, uint32_t c2);
void GR_Draw_Triangle(float x1, float y1, float x2, float y2, float x3, float y3, bool outline);
void GR_Draw_Triangle_Ext(float x1, float y1, float x2, float y2, float x3, float y3, uint32_t c1,
                          uint32_t c2, uint32_t c3, bool outline);
void ZQVTL_draw_rectangle(float x1, float y1, float x2, float y2, bool outline);
void GR_Draw_Rectangle_Ext(float x1, float y1, float x2, float y2, uint32_t c1, uint32_t c2, uint32_t c3,
                           uint32_t c4, bool outline);
void GR_Draw_Circle(float x, float y, float r, bool outline);
void GR_Draw_Circle_Ext(float x, float y, float r, uint32_t c1, uint32_t c2, bool outline);
void GR_Draw_Ellipse(float x1, float y1, float x2, float y2, bool outline);
void GR_Draw_Ellipse_Ext(float x1, float y1, float x2, float y2, uint32_t c1, uint32_t c2, bool outline);
// rx and ry are the corner diameters, capped at the width and height.
void GR_Draw_RoundRect(float x1, float y1, float x2, float y2, float rx, float ry, bool outline);
void GR_Draw_RoundRect_Ext(float x1, float y1, float x2, float y2, float rx, float ry, uint32_t c1,
                           uint32_t c2, bool outline);
void GR_Draw_Arrow(float x1, float y1, float x2, float y2, float size);
void GR_Draw_Button(float x1, float y1, float x2, float y2, bool up);
// amount 0-100; direction 0 from the left, 1 from the right, 2 from the top,
// 3 from the bottom.
void GR_Draw_Healthbar(float x1, float y1, float x2, float y2, float amount, uint32_t back, uint32_t min,
                       uint32_t mid, uint32_t max, int direction, bool showBack, bool showBorder);
// Steps of circles and ellipses: below 4 gives 4, above 64 gives 64, others
// round down to a multiple of 4.
void GR_Draw_Circle_Precision(int n);
void INITIALIZE_Graphics_Draw();

// ---- Script primitives

// kind is 1 point list … 6 triangle fan. texture: a texture id, -1 for none,
// or a page-entry handle (the image of a sprite or background); anything else
// reports "Illegal texture supplied." and the primitive draws untextured.
void GR_Draw_Primitive_Begin(int kind, long texture);
void GR_Draw_Vertex(float x, float y);
void GR_Draw_Vertex_Color(float x, float y, uint32_t colour, float alpha);
// With a page entry, u and v from 0 to 1 span its image on the page.
void GR_Draw_Vertex_Texture(float x, float y, float u, float v);
void GR_Draw_Vertex_Texture_Color(float x, float y, float u, float v, uint32_t colour, float alpha);
// Appends the whole primitives the vertices make (a list's incomplete last
// primitive is left out); nothing when they make none.
void GR_Draw_Primitive_End();
int GR_Draw_Primitive_VertexCount();

// Draw alpha 255, scale 1, 24 circle steps, no primitive begun.
void Draw_Reset();

// ---- What this module asks of the texture pages and surfaces

// Where a page entry's image sits on its page: the texture id of the page and
// the image's position and drawn (crop) size in pixels.
struct PrimitiveImage {
    int32_t page = -1;
    float x = 0, y = 0, cropWidth = 0, cropHeight = 0;
};
// The image a script's page-entry handle names; false when it names none.
bool TPageEntry_PrimitiveImage(int64_t handle, PrimitiveImage* out);
// While a surface is the slot-0 target: true with the surface's size and its
// GPU texture's size (which may be larger).
bool Surface_TargetSizes(int* surfaceW, int* surfaceH, int* textureW, int* textureH);
