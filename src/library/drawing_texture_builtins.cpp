// The texture and UV built-ins: the texture value of a sprite frame, a
// background or a font, the UVs of such an image on its page, questions about
// texture-table entries, filtering and wrapping, and the global scale at which
// pages are decoded.
//
// A texture value is a number: a page-entry handle (what the *_get_texture
// built-ins answer) or a texture-table index (what surface_get_texture
// answers). Every number is resolved through the page-entry registry or the
// texture table and never taken as an address, so a script's arbitrary
// number answers as a missing texture answers.
#include <cmath>
#include <cstdint>

#include "core/arguments.h"
#include "core/error.h"
#include "core/real_to_int.h"
#include "library/drawing_builtins.h"
#include "library/drawing_helpers.h"
#include "render/image_decode.h"
#include "render/page_entry.h"
#include "render/render_settings.h"
#include "render/texture.h"
#include "render/texture_table.h"
#include "sprites/background.h"
#include "sprites/background_table.h"
#include "sprites/font.h"
#include "sprites/font_table.h"
#include "world/instances/instance.h"
#include "world/instances/sprite_services.h"

namespace {

using Args = RValue*;

constexpr const char* kNoSprite = "Trying to get texture from non-existing sprite.";
constexpr const char* kNoBackground = "Trying to get texture from non-existing background.";
constexpr const char* kNoFont = "trying to get texture from non-existing font";

// A texture value as scripts hold it: a pointer value carrying the handle or
// index, or the real -1 when there is none.
void TextureResult(RValue& r, int64_t handle) {
    if (handle < 0) {
        ZQSetResultReal(r, -1);
        return;
    }
    r.kind = VALUE_PTR;
    r.flags = 0;
    r.v64 = handle;
}

// A texture value read as a texture-table index: -1 (no entry) for anything
// outside the range of indices.
int TableIndex(Args a, int i) {
    const intptr_t value = ZQGetPtrOrInt(a, i);
    return value >= 0 && value <= INT32_MAX ? static_cast<int>(value) : -1;
}

// Frame arguments below 0 mean the calling instance's image index, rounded down.
int FrameArg(CInstance* self, Args a, int i) {
    const int frame = ZQGetInt32(a, i);
    if (frame >= 0) return frame;
    return self != nullptr ? RealToInt32(std::floor(static_cast<double>(self->i_imageindex))) : 0;
}

// The UVs of a page entry: left, top, right, bottom on its page and, for the
// eight-value form, the stored pixels' offset and their share of the
// untrimmed image. Anything that is not an entry on a page of known size
// gives the defaults [0, 0, 1, 1, 0, 0, 1, 1].
void UVs(RValue& r, const ZQTPageEntry* e, int count) {
    double uv[8] = {0, 0, 1, 1, 0, 0, 1, 1};
    const Texture* page = e != nullptr ? GR_Texture_Get_Surface(e->page) : nullptr;
    if (page != nullptr && page->width > 0 && page->height > 0) {
        const float rw = 1.0f / static_cast<float>(page->width);
        const float rh = 1.0f / static_cast<float>(page->height);
        uv[0] = static_cast<float>(e->x) * rw;
        uv[1] = static_cast<float>(e->y) * rh;
        uv[2] = static_cast<float>(e->x + e->cropWidth) * rw;
        uv[3] = static_cast<float>(e->y + e->cropHeight) * rh;
        uv[4] = e->xOffset;
        uv[5] = e->yOffset;
        // An entry without an untrimmed size keeps the whole-image share.
        if (e->untrimmedWidth != 0) uv[6] = static_cast<double>(e->width) / e->untrimmedWidth;
        if (e->untrimmedHeight != 0) uv[7] = static_cast<double>(e->height) / e->untrimmedHeight;
    }
    if (count == 4)
        CreateArray(&r, 4, uv[0], uv[1], uv[2], uv[3]);
    else
        CreateArray(&r, 8, uv[0], uv[1], uv[2], uv[3], uv[4], uv[5], uv[6], uv[7]);
}

// The entry scripts may name for an image, else the texture id it draws
// with; -1 for neither.
int64_t EntryOrTexture(const ZQTPageEntry* entry, int64_t texture) {
    const int64_t handle = TPageEntry_Handle(entry);
    return handle >= 0 ? handle : texture;
}

#define ZQ_TEXTURE(name) void name(RValue& r, CInstance* self, CInstance*, int, Args a)

ZQ_TEXTURE(F_SpriteGetBaseUV) {
    const int index = ZQGetInt32(a, 0);
    const int frame = FrameArg(self, a, 1);
    if (!Sprite_Exists(index)) return Error_Show_Action(kNoSprite, false);
    const CSprite* sprite = Sprite_Data(index);
    if (sprite->m_kind != SPRITE_KIND_BITMAP)
        return Error_Show_Action("sprite_get_uvs: not supported for vector sprites", false);
    UVs(r, sprite->FrameEntry(frame), 8);
}
ZQ_TEXTURE(F_BackgroundGetBaseUV) {
    (void)self;
    const int index = ZQGetInt32(a, 0);
    if (!Background_Exists(index)) return Error_Show_Action(kNoBackground, false);
    UVs(r, Background_Data(index)->GetTPE(), 8);
}
ZQ_TEXTURE(F_FontGetBaseUV) {
    (void)self;
    const int index = ZQGetInt32(a, 0);
    if (!Font_Exists(index)) return Error_Show_Action(kNoFont, false);
    UVs(r, Font_Data(index)->pageEntry, 4);
}
ZQ_TEXTURE(F_TextureGetUVs) {
    (void)self;
    UVs(r, TPageEntry_FromHandle(static_cast<int64_t>(ZQGetPtrOrInt(a, 0))), 8);
}

ZQ_TEXTURE(F_SpriteGetTexture) {
    const int index = ZQGetInt32(a, 0);
    const int frame = FrameArg(self, a, 1);
    if (!Sprite_Exists(index)) return Error_Show_Action(kNoSprite, false);
    const CSprite* sprite = Sprite_Data(index);
    if (sprite->m_kind == SPRITE_KIND_VECTOR) {
        ZQSetResultReal(r, -1);
        return Error_Show_Action("sprite_get_texture: not supported for vector sprites", false);
    }
    if (sprite->m_kind == SPRITE_KIND_SKELETON) {
        ZQSetResultReal(r, -1);
        return Error_Show_Action("sprite_get_texture: not supported for skeleton based sprites", false);
    }
    TextureResult(r, EntryOrTexture(sprite->FrameEntry(frame), sprite->GetTexture(frame)));
}
// A missing background or font gets the message of the UV forms and no value.
ZQ_TEXTURE(F_BackgroundGetTexture) {
    (void)self;
    const int index = ZQGetInt32(a, 0);
    if (!Background_Exists(index)) return Error_Show_Action(kNoBackground, false);
    const CBackground* background = Background_Data(index);
    TextureResult(r, EntryOrTexture(background->GetTPE(), background->GetTextureId()));
}
ZQ_TEXTURE(F_FontGetTexture) {
    (void)self;
    const int index = ZQGetInt32(a, 0);
    if (!Font_Exists(index)) return Error_Show_Action(kNoFont, false);
    TextureResult(r, Font_Data(index)->GetTexture());
}

ZQ_TEXTURE(F_TextureExists) {
    (void)self;
    ZQSetResultReal(r, GR_Texture_Exists(TableIndex(a, 0)) ? 1 : 0);
}
ZQ_TEXTURE(F_TextureGetWidth) {
    (void)self;
    ZQSetResultReal(r, GR_Texture_Get_Width(TableIndex(a, 0)));
}
ZQ_TEXTURE(F_TextureGetHeight) {
    (void)self;
    ZQSetResultReal(r, GR_Texture_Get_Height(TableIndex(a, 0)));
}
ZQ_TEXTURE(F_TexturePreload) {
    (void)self, (void)r;
    GR_Texture_Preload(TableIndex(a, 0));
}
ZQ_TEXTURE(F_TextureSetPriority) {
    (void)self, (void)r;
    const int id = TableIndex(a, 0);
    GR_Texture_Set_Priority(id, ZQGetInt32(a, 1));
}

ZQ_TEXTURE(F_TextureSetInterpolation) {
    (void)self, (void)r;
    GR_D3D_Set_Texture_Interpolation(ZQGetBool(a, 0));
}
ZQ_TEXTURE(F_TextureSetInterpolationExt) {
    (void)self, (void)r;
    const int stage = ZQGetInt32(a, 0);
    GR_D3D_Set_Texture_Interpolation_Ext(stage, ZQGetBool(a, 1));
}
ZQ_TEXTURE(F_TextureSetRepeat) {
    (void)self, (void)r;
    GR_D3D_Set_Texture_Repeat(ZQGetBool(a, 0));
}
ZQ_TEXTURE(F_TextureSetRepeatExt) {
    (void)self, (void)r;
    const int stage = ZQGetInt32(a, 0);
    GR_D3D_Set_Texture_Repeat_Ext(stage, ZQGetBool(a, 1));
}
ZQ_TEXTURE(F_TextureSetBlending) {
    (void)self, (void)r;
    GR_D3D_Set_Texture_Blending(ZQGetBool(a, 0));
}

// The page decoder halves sizes once per factor of two, so only positive
// powers of two mean anything; any other scale ends the game.
ZQ_TEXTURE(F_TextureGlobalScale) {
    (void)self, (void)r;
    const int32_t scale = ZQGetInt32(a, 0);
    if (scale <= 0 || (scale & (scale - 1)) != 0) {
        ZQError("texture global scale needs to be a positive power of 2 integer (i.e. 1, 2, 4, 8....)");
        return;
    }
    g_TextureScale = scale;
}

#undef ZQ_TEXTURE

const DrawingHandlerRow kRows[] = {
    {"F_SpriteGetBaseUV", F_SpriteGetBaseUV},
    {"F_BackgroundGetBaseUV", F_BackgroundGetBaseUV},
    {"F_FontGetBaseUV", F_FontGetBaseUV},
    {"F_SpriteGetTexture", F_SpriteGetTexture},
    {"F_BackgroundGetTexture", F_BackgroundGetTexture},
    {"F_FontGetTexture", F_FontGetTexture},
    {"F_TextureExists", F_TextureExists},
    {"F_TextureSetInterpolation", F_TextureSetInterpolation},
    {"F_TextureSetInterpolationExt", F_TextureSetInterpolationExt},
    {"F_TextureSetBlending", F_TextureSetBlending},
    {"F_TextureSetRepeat", F_TextureSetRepeat},
    {"F_TextureSetRepeatExt", F_TextureSetRepeatExt},
    {"F_TextureGetWidth", F_TextureGetWidth},
    {"F_TextureGetHeight", F_TextureGetHeight},
    {"F_TexturePreload", F_TexturePreload},
    {"F_TextureSetPriority", F_TextureSetPriority},
    {"F_TextureGlobalScale", F_TextureGlobalScale},
    {"F_TextureGetUVs", F_TextureGetUVs},
};

} // namespace

std::span<const DrawingHandlerRow> TextureBuiltins() {
    return kRows;
}
