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

ZQ_DRAWING(F_DrawSelf) {
    (void)r;
    (void)a;
    ZQVTL_draw_self(self);
}

ZQ_DRAWING(F_DrawSprite) {
    (void)r;
    int frame = 0;
    const CSprite* sprite = SpriteArgs(self, a, frame);
    if (sprite == nullptr) return;
    ArgReader in{a, 2};
    struct {
        float x, y;
    } v{in.F(), in.F()};
    sprite->DrawSimple(frame, v.x, v.y);
}

ZQ_DRAWING(F_DrawSpriteExt) {
    (void)r;
    int frame = 0;
    const CSprite* sprite = SpriteArgs(self, a, frame);
    if (sprite == nullptr) return;
    ArgReader in{a, 2};
    struct {
        float x, y, xscale, yscale, angle;
        uint32_t colour;
        float alpha;
    } v{in.F(), in.F(), in.F(), in.F(), in.F(), in.C(), in.F()};
    sprite->Draw(frame, v.x, v.y, v.xscale, v.yscale, v.angle, v.colour, v.alpha);
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
    int frame = 0;
    const CSprite* sprite = SpriteArgs(self, a, frame);
    if (sprite == nullptr) return;
    ArgReader in{a, 2};
    struct {
        float x, y, w, h;
    } v{in.F(), in.F(), in.F(), in.F()};
    sprite->DrawStretched(frame, v.x, v.y, v.w, v.h, kWhite, DrawAlpha());
}

ZQ_DRAWING(F_DrawSpriteStretchedExt) {
    (void)r;
    int frame = 0;
    const CSprite* sprite = SpriteArgs(self, a, frame);
    if (sprite == nullptr) return;
    ArgReader in{a, 2};
    struct {
        float x, y, w, h;
        uint32_t colour;
        float alpha;
    } v{in.F(), in.F(), in.F(), in.F(), in.C(), in.F()};
    sprite->DrawStretched(frame, v.x, v.y, v.w, v.h, v.colour, v.alpha);
}

ZQ_DRAWING(F_DrawSpritePart) {
    (void)r;
    int frame = 0;
    const CSprite* sprite = SpriteArgs(self, a, frame);
    if (sprite == nullptr ||
        !DrawableKind(sprite, "draw_sprite_part: not supported for skeleton based sprites",
                      "draw_sprite_part: not supported for vector sprites"))
        return;
    ArgReader in{a, 2};
    struct {
        float left, top, w, h, x, y;
    } v{in.F(), in.F(), in.F(), in.F(), in.F(), in.F()};
    sprite->DrawPart(frame, v.left, v.top, v.w, v.h, v.x, v.y, 1.0f, 1.0f, kWhite, DrawAlpha());
}

ZQ_DRAWING(F_DrawSpritePartExt) {
    (void)r;
    int frame = 0;
    const CSprite* sprite = SpriteArgs(self, a, frame);
    if (sprite == nullptr ||
        !DrawableKind(sprite, "draw_sprite_part_ext: not supported for skeleton based sprites",
                      "draw_sprite_part_ext: not supported for vector sprites"))
        return;
    ArgReader in{a, 2};
    struct {
        float left, top, w, h, x, y, xscale, yscale;
        uint32_t colour;
        float alpha;
    } v{in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.C(), in.F()};
    sprite->DrawPart(frame, v.left, v.top, v.w, v.h, v.x, v.y, v.xscale, v.yscale, v.colour, v.alpha);
}

ZQ_DRAWING(F_DrawSpriteGeneral) {
    (void)r;
    int frame = 0;
    const CSprite* sprite = SpriteArgs(self, a, frame);
    if (sprite == nullptr ||
        !DrawableKind(sprite, "draw_sprite_general: not supported for skeleton based sprites",
                      "draw_sprite_general: not supported for vector sprites"))
        return;
    ArgReader in{a, 2};
    struct {
        float left, top, w, h, x, y, xscale, yscale, angle;
        uint32_t c1, c2, c3, c4;
        float alpha;
    } v{in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.F(),
        in.F(), in.F(), in.C(), in.C(), in.C(), in.C(), in.F()};
    sprite->DrawGeneral(frame, v.left, v.top, v.w, v.h, v.x, v.y, v.xscale, v.yscale, v.angle, v.c1, v.c2,
                        v.c3, v.c4, v.alpha);
}

ZQ_DRAWING(F_DrawSpriteTiled) {
    (void)r;
    int frame = 0;
    const CSprite* sprite = SpriteArgs(self, a, frame);
    if (sprite == nullptr) return;
    ArgReader in{a, 2};
    struct {
        float x, y;
    } v{in.F(), in.F()};
    sprite->DrawTiled(frame, v.x, v.y, 1.0f, 1.0f, true, true, 0.0f, 0.0f, RoomWidth(), RoomHeight(), kWhite,
                      DrawAlpha());
}

ZQ_DRAWING(F_DrawSpriteTiledExt) {
    (void)r;
    int frame = 0;
    const CSprite* sprite = SpriteArgs(self, a, frame);
    if (sprite == nullptr) return;
    ArgReader in{a, 2};
    struct {
        float x, y, xscale, yscale;
        uint32_t colour;
        float alpha;
    } v{in.F(), in.F(), in.F(), in.F(), in.C(), in.F()};
    sprite->DrawTiled(frame, v.x, v.y, v.xscale, v.yscale, true, true, 0.0f, 0.0f, RoomWidth(), RoomHeight(),
                      v.colour, v.alpha);
}

// ---------------------------------------------------------------------------
// [SECTION] background forms

// What a background argument names: frame 0 of a sprite with new-generation
// data, a legacy background without it; exactly one is set, or neither after
// the message.
struct BackgroundTarget {
    const CSprite* sprite = nullptr;
    const CBackground* background = nullptr;
    explicit operator bool() const { return sprite != nullptr || background != nullptr; }
};

BackgroundTarget BackgroundArg(Args a) {
    const int index = ZQGetInt32(a, 0);
    BackgroundTarget t;
    if (g_isNimbar)
        t.sprite = Sprite_Data(index);
    else
        t.background = Background_Data(index);
    if (!t) Error_Show_Action(kNoBackground, false);
    return t;
}

ZQ_DRAWING(F_DrawBackground) {
    (void)r;
    (void)self;
    const BackgroundTarget t = BackgroundArg(a);
    if (!t) return;
    ArgReader in{a, 1};
    struct {
        float x, y;
    } v{in.F(), in.F()};
    if (t.sprite != nullptr)
        t.sprite->DrawSimple(0, v.x, v.y);
    else
        t.background->DrawSimple(v.x, v.y);
}

ZQ_DRAWING(F_DrawBackgroundExt) {
    (void)r;
    (void)self;
    const BackgroundTarget t = BackgroundArg(a);
    if (!t) return;
    ArgReader in{a, 1};
    struct {
        float x, y, xscale, yscale, angle;
        uint32_t colour;
        float alpha;
    } v{in.F(), in.F(), in.F(), in.F(), in.F(), in.C(), in.F()};
    if (t.sprite != nullptr)
        t.sprite->Draw(0, v.x, v.y, v.xscale, v.yscale, v.angle, v.colour, v.alpha);
    else
        t.background->Draw(v.x, v.y, v.xscale, v.yscale, v.angle, v.colour, v.alpha);
}

struct StretchedValues {
    float x, y, w, h;
    uint32_t colour;
    float alpha;
};
void DrawBackgroundStretched(const BackgroundTarget& t, const StretchedValues& v) {
    if (t.sprite != nullptr)
        t.sprite->DrawStretched(0, v.x, v.y, v.w, v.h, v.colour, v.alpha);
    else
        t.background->DrawStretched(v.x, v.y, v.w, v.h, v.colour, v.alpha);
}

ZQ_DRAWING(F_DrawBackgroundStretched) {
    (void)r;
    (void)self;
    const BackgroundTarget t = BackgroundArg(a);
    if (!t) return;
    ArgReader in{a, 1};
    DrawBackgroundStretched(t, StretchedValues{in.F(), in.F(), in.F(), in.F(), kWhite, DrawAlpha()});
}

ZQ_DRAWING(F_DrawBackgroundStretchedExt) {
    (void)r;
    (void)self;
    const BackgroundTarget t = BackgroundArg(a);
    if (!t) return;
    ArgReader in{a, 1};
    DrawBackgroundStretched(t, StretchedValues{in.F(), in.F(), in.F(), in.F(), in.C(), in.F()});
}

struct PartValues {
    float left, top, w, h, x, y, xscale, yscale;
    uint32_t colour;
    float alpha;
};
void DrawBackgroundPart(const BackgroundTarget& t, const PartValues& v) {
    if (t.sprite != nullptr)
        t.sprite->DrawPart(0, v.left, v.top, v.w, v.h, v.x, v.y, v.xscale, v.yscale, v.colour, v.alpha);
    else
        t.background->DrawPart(v.left, v.top, v.w, v.h, v.x, v.y, v.xscale, v.yscale, v.colour, v.alpha);
}

ZQ_DRAWING(F_DrawBackgroundPart) {
    (void)r;
    (void)self;
    const BackgroundTarget t = BackgroundArg(a);
    if (!t) return;
    ArgReader in{a, 1};
    DrawBackgroundPart(
        t, PartValues{in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), 1.0f, 1.0f, kWhite, DrawAlpha()});
}

ZQ_DRAWING(F_DrawBackgroundPartExt) {
    (void)r;
    (void)self;
    const BackgroundTarget t = BackgroundArg(a);
    if (!t) return;
    ArgReader in{a, 1};
    DrawBackgroundPart(
        t, PartValues{in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.C(), in.F()});
}

ZQ_DRAWING(F_DrawBackgroundGeneral) {
    (void)r;
    (void)self;
    const BackgroundTarget t = BackgroundArg(a);
    if (!t) return;
    ArgReader in{a, 1};
    struct {
        float left, top, w, h, x, y, xscale, yscale, angle;
        uint32_t c1, c2, c3, c4;
        float alpha;
    } v{in.F(), in.F(), in.F(), in.F(), in.F(), in.F(), in.F(),
        in.F(), in.F(), in.C(), in.C(), in.C(), in.C(), in.F()};
    if (t.sprite != nullptr)
        t.sprite->DrawGeneral(0, v.left, v.top, v.w, v.h, v.x, v.y, v.xscale, v.yscale, v.angle, v.c1, v.c2,
                              v.c3, v.c4, v.alpha);
    else
        t.background->DrawGeneral(v.left, v.top, v.w, v.h, v.x, v.y, v.xscale, v.yscale, v.angle, v.c1, v.c2,
                                  v.c3, v.c4, v.alpha);
}

struct TiledValues {
    float x, y, xscale, yscale;
    uint32_t colour;
    float alpha;
};
void DrawBackgroundTiled(const BackgroundTarget& t, const TiledValues& v) {
    if (t.sprite != nullptr)
        t.sprite->DrawTiled(0, v.x, v.y, v.xscale, v.yscale, true, true, 0.0f, 0.0f, RoomWidth(),
                            RoomHeight(), v.colour, v.alpha);
    else
        t.background->DrawTiled(v.x, v.y, v.xscale, v.yscale, true, true, 0.0f, 0.0f, RoomWidth(),
                                RoomHeight(), v.colour, v.alpha);
}

ZQ_DRAWING(F_DrawBackgroundTiled) {
    (void)r;
    (void)self;
    const BackgroundTarget t = BackgroundArg(a);
    if (!t) return;
    ArgReader in{a, 1};
    DrawBackgroundTiled(t, TiledValues{in.F(), in.F(), 1.0f, 1.0f, kWhite, DrawAlpha()});
}

ZQ_DRAWING(F_DrawBackgroundTiledExt) {
    (void)r;
    (void)self;
    const BackgroundTarget t = BackgroundArg(a);
    if (!t) return;
    ArgReader in{a, 1};
    DrawBackgroundTiled(t, TiledValues{in.F(), in.F(), in.F(), in.F(), in.C(), in.F()});
}

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
