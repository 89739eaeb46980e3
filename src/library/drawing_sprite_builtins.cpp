// The sprite and background drawing built-ins: argument handling, the values
// the simpler forms fill in, the sprite kinds some forms refuse and the
// messages; the drawing itself belongs to the sprite and the background.
// Arguments are read in order into braced initialisers (evaluated left to
// right), so a wrong kind is always reported for the first bad argument.
//
// [SECTION] helpers
// [SECTION] sprite forms
// [SECTION] background forms
// [SECTION] vector-sprite shape forms
// [SECTION] fast paths and table
#include <cmath>
#include <cstdint>

#include "core/arguments.h"
#include "core/error.h"
#include "core/header_globals.h"
#include "core/real_to_int.h"
#include "library/drawing_builtins.h"
#include "library/drawing_sprite_builtins.h"
#include "render/draw_primitives.h"
#include "room/room.h"
#include "sprites/background.h"
#include "sprites/background_table.h"
#include "world/instances/instance.h"
#include "world/instances/sprite_services.h"

namespace {

using Args = RValue*;

constexpr uint32_t kWhite = 0xFFFFFFu;
constexpr const char* kNoSprite = "Trying to draw non-existing sprite.";
constexpr const char* kNoBackground = "Trying to draw non-existing background.";

// Reads arguments one after another from a starting position.
struct ArgReader {
    Args a;
    int next;
    float F() { return ZQGetFloat(a, next++); }
    uint32_t C() { return static_cast<uint32_t>(ZQGetInt32(a, next++)); }
};

float DrawAlpha() {
    return GR_Draw_Get_Alpha();
}
float RoomWidth() {
    return Run_Room != nullptr ? static_cast<float>(Run_Room->m_width) : 0.0f;
}
float RoomHeight() {
    return Run_Room != nullptr ? static_cast<float>(Run_Room->m_height) : 0.0f;
}

// The frame a negative frame argument stands for: the built-ins round the
// image index down, the fast paths truncate it toward zero.
int FloorImageIndex(const CInstance* self) {
    return self != nullptr ? RealToInt32(std::floor(static_cast<double>(self->i_imageindex))) : 0;
}
int TruncImageIndex(const CInstance* self) {
    return self != nullptr ? RealToInt32(static_cast<double>(self->i_imageindex)) : 0;
}

// The sprite of a built-in's argument 0 with its frame (argument 1), or null
// after the message.
const CSprite* SpriteArgs(CInstance* self, Args a, int& frame) {
    int sprite = -1;
    if (!GetSpriteIndices(self, a, sprite, frame)) return nullptr;
    return Sprite_Data(sprite);
}

// False (after the built-in's own message) for the kinds a form cannot draw.
bool DrawableKind(const CSprite* sprite, const char* skeletonText, const char* vectorText) {
    if (sprite->m_kind == SPRITE_KIND_SKELETON) {
        Error_Show_Action(skeletonText, false);
        return false;
    }
    if (sprite->m_kind == SPRITE_KIND_VECTOR) {
        Error_Show_Action(vectorText, false);
        return false;
    }
    return true;
}

} // namespace

// ---------------------------------------------------------------------------
// [SECTION] helpers

bool GetSpriteIndices(CInstance* self, RValue* args, int& sprite, int& frame) {
    frame = ZQGetInt32(args, 1);
    if (frame < 0) frame = FloorImageIndex(self);
    sprite = ZQGetInt32(args, 0);
    if (Sprite_Exists(sprite)) return true;
    Error_Show_Action(kNoSprite, false);
    return false;
}

void SetImageALPHA(unsigned char* pixels, int width, int height) {
    if (pixels == nullptr || width <= 0 || height <= 0) return;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < count; ++i) pixels[i * 4 + 3] = 255;
}

void ImageBGRAtoRGBA(unsigned char* pixels, int width, int height) {
    if (pixels == nullptr || width <= 0 || height <= 0) return;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < count; ++i) {
        unsigned char* p = pixels + i * 4;
        const unsigned char first = p[0];
        p[0] = p[2];
        p[2] = first;
    }
}

namespace {

#define ZQ_DRAWING(name) void name(RValue& r, CInstance* self, CInstance*, int, Args a)

// ---------------------------------------------------------------------------
// [SECTION] sprite forms
//
// A sprite form and its background twin read the same values after the
// resource argument and draw through the same operation; only what the
// argument names differs. The values are read only once the target exists.

// What a drawing form draws: a sprite's frame, or a legacy background; set
// only when the argument named one (after the message otherwise).
struct DrawTarget {
    const CSprite* sprite = nullptr;
    int frame = 0;
    const CBackground* background = nullptr;
    explicit operator bool() const { return sprite != nullptr || background != nullptr; }
};

DrawTarget SpriteArg(CInstance* self, Args a) {
    DrawTarget t;
    t.sprite = SpriteArgs(self, a, t.frame);
    return t;
}

// The sprite argument of a form that draws bitmap sprites only.
DrawTarget BitmapSpriteArg(CInstance* self, Args a, const char* skeletonText, const char* vectorText) {
    const DrawTarget t = SpriteArg(self, a);
    if (t && !DrawableKind(t.sprite, skeletonText, vectorText)) return DrawTarget{};
    return t;
}

struct SimpleValues {
    float x, y;
};
void Draw(const DrawTarget& t, const SimpleValues& v) {
    if (t.sprite != nullptr)
        t.sprite->DrawSimple(t.frame, v.x, v.y);
    else
        t.background->DrawSimple(v.x, v.y);
}

struct ExtValues {
    float x, y, xscale, yscale, angle;
    uint32_t colour;
    float alpha;
};
void Draw(const DrawTarget& t, const ExtValues& v) {
    if (t.sprite != nullptr)
        t.sprite->Draw(t.frame, v.x, v.y, v.xscale, v.yscale, v.angle, v.colour, v.alpha);
    else
        t.background->Draw(v.x, v.y, v.xscale, v.yscale, v.angle, v.colour, v.alpha);
}

struct StretchedValues {
    float x, y, w, h;
    uint32_t colour;
    float alpha;
};
void Draw(const DrawTarget& t, const StretchedValues& v) {
    if (t.sprite != nullptr)
        t.sprite->DrawStretched(t.frame, v.x, v.y, v.w, v.h, v.colour, v.alpha);
    else
        t.background->DrawStretched(v.x, v.y, v.w, v.h, v.colour, v.alpha);
}

struct PartValues {
    float left, top, w, h, x, y, xscale, yscale;
    uint32_t colour;
    float alpha;
};
void Draw(const DrawTarget& t, const PartValues& v) {
    if (t.sprite != nullptr)
        t.sprite->DrawPart(t.frame, v.left, v.top, v.w, v.h, v.x, v.y, v.xscale, v.yscale, v.colour, v.alpha);
    else
        t.background->DrawPart(v.left, v.top, v.w, v.h, v.x, v.y, v.xscale, v.yscale, v.colour, v.alpha);
}

struct GeneralValues {
    float left, top, w, h, x, y, xscale, yscale, angle;
    uint32_t c1, c2, c3, c4;
    float alpha;
};
void Draw(const DrawTarget& t, const GeneralValues& v) {
    if (t.sprite != nullptr)
        t.sprite->DrawGeneral(t.frame, v.left, v.top, v.w, v.h, v.x, v.y, v.xscale, v.yscale, v.angle, v.c1,
                              v.c2, v.c3, v.c4, v.alpha);
    else
        t.background->DrawGeneral(v.left, v.top, v.w, v.h, v.x, v.y, v.xscale, v.yscale, v.angle, v.c1, v.c2,
                                  v.c3, v.c4, v.alpha);
}

// Tiles cover the whole room, both ways, from the given offset.
struct TiledValues {
    float x, y, xscale, yscale;
    uint32_t colour;
    float alpha;
};
void Draw(const DrawTarget& t, const TiledValues& v) {
    if (t.sprite != nullptr)
        t.sprite->DrawTiled(t.frame, v.x, v.y, v.xscale, v.yscale, true, true, 0.0f, 0.0f, RoomWidth(),
                            RoomHeight(), v.colour, v.alpha);
    else
        t.background->DrawTiled(v.x, v.y, v.xscale, v.yscale, true, true, 0.0f, 0.0f, RoomWidth(),
                                RoomHeight(), v.colour, v.alpha);
}

ZQ_DRAWING(F_DrawSelf) {
    (void)r;
    (void)a;
    ZQVTL_draw_self(self);
}

ZQ_DRAWING(F_DrawSprite) {
    (void)r;
    ArgReader in{a, 2};
    if (const DrawTarget t = SpriteArg(self, a)) Draw(t, SimpleValues{in.F(), in.F()});
}

ZQ_DRAWING(F_DrawSpriteExt) {
    (void)r;
    ArgReader in{a, 2};
    if (const DrawTarget t = SpriteArg(self, a))
        Draw(t, ExtValues{in.F(), in.F(), in.F(), in.F(), in.F(), in.C(), in.F()});
}

// The sprite first and the frame after the kind check; the frame is passed on
// as given (a negative one wraps to the last frames, not the instance's).
ZQ_DRAWING(F_DrawSpritePos) {
    (void)r;
    (void)self;
    const int index = ZQGetInt32(a, 0);
    const CSprite* sprite = Sprite_Data(index);
    if (sprite == nullptr) return Error_Show_Action(kNoSprite, false);
    if (!DrawableKind(sprite, "draw_sprite_pos: not supported for skeleton based sprites",
                      "draw_sprite_pos: not supported for vector sprites"))
        return;
    const int frame = ZQGetInt32(a, 1);
    ArgReader in{a, 2};
    struct {
        float x1, y1, x2, y2, x3, y3, x4, y4, alpha;
    } v{in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.F()};
    sprite->DrawPos(frame, v.x1, v.y1, v.x2, v.y2, v.x3, v.y3, v.x4, v.y4, 0xFFFFFFFFu, v.alpha);
}

ZQ_DRAWING(F_DrawSpriteStretched) {
    (void)r;
    ArgReader in{a, 2};
    if (const DrawTarget t = SpriteArg(self, a))
        Draw(t, StretchedValues{in.F(), in.F(), in.F(), in.F(), kWhite, DrawAlpha()});
}

ZQ_DRAWING(F_DrawSpriteStretchedExt) {
    (void)r;
    ArgReader in{a, 2};
    if (const DrawTarget t = SpriteArg(self, a))
        Draw(t, StretchedValues{in.F(), in.F(), in.F(), in.F(), in.C(), in.F()});
}

ZQ_DRAWING(F_DrawSpritePart) {
    (void)r;
    ArgReader in{a, 2};
    if (const DrawTarget t =
            BitmapSpriteArg(self, a, "draw_sprite_part: not supported for skeleton based sprites",
                            "draw_sprite_part: not supported for vector sprites"))
        Draw(t, PartValues{in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), 1.0f, 1.0f, kWhite, DrawAlpha()});
}

ZQ_DRAWING(F_DrawSpritePartExt) {
    (void)r;
    ArgReader in{a, 2};
    if (const DrawTarget t =
            BitmapSpriteArg(self, a, "draw_sprite_part_ext: not supported for skeleton based sprites",
                            "draw_sprite_part_ext: not supported for vector sprites"))
        Draw(t, PartValues{in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.C(), in.F()});
}

ZQ_DRAWING(F_DrawSpriteGeneral) {
    (void)r;
    ArgReader in{a, 2};
    if (const DrawTarget t =
            BitmapSpriteArg(self, a, "draw_sprite_general: not supported for skeleton based sprites",
                            "draw_sprite_general: not supported for vector sprites"))
        Draw(t, GeneralValues{in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.C(),
                              in.C(), in.C(), in.C(), in.F()});
}

ZQ_DRAWING(F_DrawSpriteTiled) {
    (void)r;
    ArgReader in{a, 2};
    if (const DrawTarget t = SpriteArg(self, a))
        Draw(t, TiledValues{in.F(), in.F(), 1.0f, 1.0f, kWhite, DrawAlpha()});
}

ZQ_DRAWING(F_DrawSpriteTiledExt) {
    (void)r;
    ArgReader in{a, 2};
    if (const DrawTarget t = SpriteArg(self, a))
        Draw(t, TiledValues{in.F(), in.F(), in.F(), in.F(), in.C(), in.F()});
}

// ---------------------------------------------------------------------------
// [SECTION] background forms

// What a background argument names: frame 0 of a sprite with new-generation
// data, a legacy background without it; exactly one is set, or neither after
// the message.
DrawTarget BackgroundArg(Args a) {
    const int index = ZQGetInt32(a, 0);
    DrawTarget t;
    if (g_isNimbar)
        t.sprite = Sprite_Data(index);
    else
        t.background = Background_Data(index);
    if (!t) Error_Show_Action(kNoBackground, false);
    return t;
}

#define ZQ_BACKGROUND(name) void name(RValue&, CInstance*, CInstance*, int, Args a)

ZQ_BACKGROUND(F_DrawBackground) {
    ArgReader in{a, 1};
    if (const DrawTarget t = BackgroundArg(a)) Draw(t, SimpleValues{in.F(), in.F()});
}

ZQ_BACKGROUND(F_DrawBackgroundExt) {
    ArgReader in{a, 1};
    if (const DrawTarget t = BackgroundArg(a))
        Draw(t, ExtValues{in.F(), in.F(), in.F(), in.F(), in.F(), in.C(), in.F()});
}

ZQ_BACKGROUND(F_DrawBackgroundStretched) {
    ArgReader in{a, 1};
    if (const DrawTarget t = BackgroundArg(a))
        Draw(t, StretchedValues{in.F(), in.F(), in.F(), in.F(), kWhite, DrawAlpha()});
}

ZQ_BACKGROUND(F_DrawBackgroundStretchedExt) {
    ArgReader in{a, 1};
    if (const DrawTarget t = BackgroundArg(a))
        Draw(t, StretchedValues{in.F(), in.F(), in.F(), in.F(), in.C(), in.F()});
}

ZQ_BACKGROUND(F_DrawBackgroundPart) {
    ArgReader in{a, 1};
    if (const DrawTarget t = BackgroundArg(a))
        Draw(t, PartValues{in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), 1.0f, 1.0f, kWhite, DrawAlpha()});
}

ZQ_BACKGROUND(F_DrawBackgroundPartExt) {
    ArgReader in{a, 1};
    if (const DrawTarget t = BackgroundArg(a))
        Draw(t, PartValues{in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.C(), in.F()});
}

ZQ_BACKGROUND(F_DrawBackgroundGeneral) {
    ArgReader in{a, 1};
    if (const DrawTarget t = BackgroundArg(a))
        Draw(t, GeneralValues{in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.C(),
                              in.C(), in.C(), in.C(), in.F()});
}

ZQ_BACKGROUND(F_DrawBackgroundTiled) {
    ArgReader in{a, 1};
    if (const DrawTarget t = BackgroundArg(a))
        Draw(t, TiledValues{in.F(), in.F(), 1.0f, 1.0f, kWhite, DrawAlpha()});
}

ZQ_BACKGROUND(F_DrawBackgroundTiledExt) {
    ArgReader in{a, 1};
    if (const DrawTarget t = BackgroundArg(a))
        Draw(t, TiledValues{in.F(), in.F(), in.F(), in.F(), in.C(), in.F()});
}

#undef ZQ_BACKGROUND

// ---------------------------------------------------------------------------
// [SECTION] vector-sprite shape forms

// The shape operations belong to vector sprites, which this runtime does not
// load yet: every sprite it holds is a bitmap or skeleton sprite, which has
// no shapes, so an existing sprite draws nothing and never collides. The
// missing-sprite message is already the final behaviour.
ZQ_DRAWING(F_DrawShape) {
    (void)r;
    (void)self;
    if (!Sprite_Exists(ZQGetInt32(a, 0))) Error_Show_Action(kNoSprite, false);
}

ZQ_DRAWING(F_DrawShapeString) {
    (void)r;
    (void)self;
    if (!Sprite_Exists(ZQGetInt32(a, 0))) Error_Show_Action(kNoSprite, false);
}

ZQ_DRAWING(F_CollisionShape) {
    (void)self;
    if (!Sprite_Exists(ZQGetInt32(a, 0))) return Error_Show_Action(kNoSprite, false);
    r.val = 0.0;
    r.flags = 0;
    r.kind = VALUE_BOOL;
}

#undef ZQ_DRAWING

const DrawingHandlerRow kRows[] = {
    {"F_CollisionShape", F_CollisionShape},
    {"F_DrawSelf", F_DrawSelf},
    {"F_DrawSprite", F_DrawSprite},
    {"F_DrawShape", F_DrawShape},
    {"F_DrawShapeString", F_DrawShapeString},
    {"F_DrawSpriteExt", F_DrawSpriteExt},
    {"F_DrawSpritePos", F_DrawSpritePos},
    {"F_DrawSpriteStretched", F_DrawSpriteStretched},
    {"F_DrawSpriteStretchedExt", F_DrawSpriteStretchedExt},
    {"F_DrawSpritePart", F_DrawSpritePart},
    {"F_DrawSpritePartExt", F_DrawSpritePartExt},
    {"F_DrawSpriteGeneral", F_DrawSpriteGeneral},
    {"F_DrawSpriteTiled", F_DrawSpriteTiled},
    {"F_DrawSpriteTiledExt", F_DrawSpriteTiledExt},
    {"F_DrawBackground", F_DrawBackground},
    {"F_DrawBackgroundExt", F_DrawBackgroundExt},
    {"F_DrawBackgroundStretched", F_DrawBackgroundStretched},
    {"F_DrawBackgroundStretchedExt", F_DrawBackgroundStretchedExt},
    {"F_DrawBackgroundPart", F_DrawBackgroundPart},
    {"F_DrawBackgroundPartExt", F_DrawBackgroundPartExt},
    {"F_DrawBackgroundGeneral", F_DrawBackgroundGeneral},
    {"F_DrawBackgroundTiled", F_DrawBackgroundTiled},
    {"F_DrawBackgroundTiledExt", F_DrawBackgroundTiledExt},
};

} // namespace

// ---------------------------------------------------------------------------
// [SECTION] fast paths and table

std::span<const DrawingHandlerRow> SpriteDrawBuiltins() {
    return kRows;
}

void ZQVTL_draw_self(CInstance* self) {
    if (self == nullptr) return;
    const CSprite* sprite = Sprite_Data(self->i_spriteindex);
    if (sprite == nullptr) return Error_Show_Action(kNoSprite, false);
    // A skeleton sprite would draw this instance's animation state; skeleton
    // sprites draw nothing until their module exists, so there is no drawing
    // instance to set around the call yet.
    sprite->Draw(FloorImageIndex(self), self->i_x, self->i_y, self->i_imagescalex, self->i_imagescaley,
                 self->i_imageangle, self->i_imageblend, self->i_imagealpha);
}

void ZQVTL_draw_sprite(CInstance* self, int32_t sprite, int32_t frame, float x, float y) {
    const CSprite* s = Sprite_Data(sprite);
    if (s == nullptr) return;
    s->DrawSimple(frame < 0 ? TruncImageIndex(self) : frame, x, y);
}

void ZQVTL_draw_sprite_ext(CInstance* self, int32_t sprite, int32_t frame, float x, float y, float xscale,
                           float yscale, float angle, uint32_t colour, float alpha) {
    const CSprite* s = Sprite_Data(sprite);
    if (s == nullptr) return;
    s->Draw(frame < 0 ? TruncImageIndex(self) : frame, x, y, xscale, yscale, angle, colour, alpha);
}

void ZQVTL_draw_sprite_part(CInstance* self, int32_t sprite, int32_t frame, float left, float top,
                            float width, float height, float x, float y) {
    const CSprite* s = Sprite_Data(sprite);
    if (s == nullptr) return;
    s->DrawPart(frame < 0 ? TruncImageIndex(self) : frame, left, top, width, height, x, y, 1.0f, 1.0f, kWhite,
                DrawAlpha());
}
