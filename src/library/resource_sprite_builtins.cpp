// The sprite and background resource built-ins: queries, the sprite settings
// (each followed by MarkInstancesAsDirty so instances showing the sprite see
// the change), sprites and backgrounds made from files, the screen, surfaces,
// colours and other resources, copies, merges, PNG saves, and the requests to
// prepare or release their textures.
//
// A missing resource is never an error: queries answer a fixed value, edits
// do nothing. Files are written whole or not at all (WritePNG32 writes a
// temporary file and renames it), so a failed save never leaves a partial
// image behind.
//
// [SECTION] helpers
// [SECTION] sprite queries
// [SECTION] sprite settings
// [SECTION] sprite creation and change
// [SECTION] sprite saves
// [SECTION] backgrounds
// [SECTION] texture preparation and release
// [SECTION] table
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "core/arguments.h"
#include "core/console.h"
#include "core/error.h"
#include "core/header_globals.h"
#include "core/ref_string.h"
#include "core/rvalue.h"
#include "library/resource_args.h"
#include "library/resource_builtins.h"
#include "render/bitmap32.h"
#include "render/gl_layer.h"
#include "render/image_decode.h"
#include "render/page_entry.h"
#include "render/platform_bitmap.h"
#include "render/read_back.h"
#include "render/surface.h"
#include "render/texture.h"
#include "sprites/background.h"
#include "sprites/background_table.h"
#include "sprites/sprite_table.h"
#include "world/instances/sprite_services.h"

namespace {

using namespace resource_args;

// ---------------------------------------------------------------------------
// [SECTION] helpers

// A flag that is set when its argument is greater than 0.
bool Positive(const RValue* a, int i) {
    return ZQGetInt32(a, i) > 0;
}

// A file-name argument; null when the value holds no text.
const char* FileName(const RValue* a, int i) {
    const char* name = ZQGetString(a, i);
    return name != nullptr && name[0] != '\0' ? name : nullptr;
}

CSprite* SpriteArg(const RValue* a, int i) {
    return Sprite_Data(Int(a, i));
}

CBackground* BackgroundArg(const RValue* a, int i) {
    return Background_Data(Int(a, i));
}

// The pixels of a 32-bit platform bitmap (bytes blue, green, red, alpha) in
// the order the PNG writer takes (bytes red, green, blue, alpha); empty when
// the bitmap has no pixel block.
std::vector<uint32_t> PixelsForPNG(IBitmap* bitmap) {
    std::vector<uint32_t> out;
    if (bitmap == nullptr || bitmap->GetPixelFormat() != kPixelFormat32) return out;
    const int w = bitmap->GetWidth(), h = bitmap->GetHeight();
    if (w <= 0 || h <= 0) return out;
    void* rows = nullptr;
    int stride = 0;
    void* token = bitmap->LockBits(0, &rows, &stride);
    if (token == nullptr || rows == nullptr) return out;
    out.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) {
        const auto* row = static_cast<const uint8_t*>(rows) + static_cast<ptrdiff_t>(y) * stride;
        for (int x = 0; x < w; ++x) {
            uint32_t bgra;
            std::memcpy(&bgra, row + static_cast<size_t>(x) * 4, 4);
            out[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] =
                (bgra & 0xFF00FF00u) | ((bgra >> 16) & 0xFFu) | ((bgra & 0xFFu) << 16);
        }
    }
    bitmap->UnlockBits(token);
    return out;
}

// Writes the bitmap as a PNG in the save area; false (with a line on the
// debug console naming `who`) when the file could not be written.
bool SaveBitmap(IBitmap* bitmap, const char* file, const char* who) {
    std::vector<uint32_t> pixels = PixelsForPNG(bitmap);
    if (pixels.empty()) return false;
    if (!WritePNG32(file, pixels.data(), bitmap->GetWidth(), bitmap->GetHeight())) {
        dbg_csol->Output("%s failed - cannot write %s\n", who, file);
        return false;
    }
    return true;
}

// A screen or surface rectangle as an image; null when nothing can be read
// (no display, a size no read-back allows, a missing surface).
std::unique_ptr<IBitmap> Grab(bool fromSurface, int surface, int x, int y, int w, int h) {
    if (!ReadBack_SizeOk(w, h)) return nullptr;
    return fromSurface ? GR_Surface_Screenshot_Part(surface, x, y, w, h) : GR_D3D_Screenshot_Part(x, y, w, h);
}

// The texture a script texture handle names (a page entry or a texture id)
// is released; -1 and unknown handles release nothing.
void FlushHandle(int64_t handle) {
    if (Texture* texture = GR_Texture_FromHandle(handle)) Graphics::FlushTexture(texture);
}

// ---------------------------------------------------------------------------
// [SECTION] sprite queries

ZQ_RESOURCE_EXISTS(F_SpriteExists, Sprite_Exists)

ZQ_RESOURCE_NAME(F_SpriteGetName, Sprite_Name)

#define ZQ_SPRITE_QUERY(name, expr) ZQ_RESOURCE_QUERY(name, CSprite, Sprite_Data, s, -1, expr)

ZQ_SPRITE_QUERY(F_SpriteGetNumber, s.m_numb)
ZQ_SPRITE_QUERY(F_SpriteGetWidth, s.m_width)
ZQ_SPRITE_QUERY(F_SpriteGetHeight, s.m_height)
ZQ_SPRITE_QUERY(F_SpriteGetTransparent, s.m_transparent ? 1 : 0)
ZQ_SPRITE_QUERY(F_SpriteGetSmooth, s.m_smooth ? 1 : 0)
ZQ_SPRITE_QUERY(F_SpriteGetPreload, s.m_preload ? 1 : 0)
ZQ_SPRITE_QUERY(F_SpriteGetXOffset, s.m_xorigin)
ZQ_SPRITE_QUERY(F_SpriteGetYOffset, s.m_yorigin)
ZQ_SPRITE_QUERY(F_SpriteGetBboxMode, s.m_bboxmode)
ZQ_SPRITE_QUERY(F_SpriteGetBboxLeft, s.m_bbox.left)
ZQ_SPRITE_QUERY(F_SpriteGetBboxRight, s.m_bbox.right)
ZQ_SPRITE_QUERY(F_SpriteGetBboxTop, s.m_bbox.top)
ZQ_SPRITE_QUERY(F_SpriteGetBboxBottom, s.m_bbox.bottom)
ZQ_SPRITE_QUERY(F_SpriteGetPrecise, s.m_precise ? 1 : 0)

// The sprite of argument 0 for the playback-speed rows, which say on the
// console when there is none.
CSprite* SpeedSprite(const RValue* a) {
    const int index = Int(a, 0);
    CSprite* sprite = Sprite_Data(index);
    if (sprite == nullptr) dbg_csol->Output("Sprite id %d not found\n", index);
    return sprite;
}

ZQ_RESOURCE(F_SpriteGetSpeed) {
    const CSprite* sprite = SpeedSprite(a);
    Real(r, sprite != nullptr ? sprite->m_playbackSpeed : -1);
}

ZQ_RESOURCE(F_SpriteGetSpeedType) {
    const CSprite* sprite = SpeedSprite(a);
    Real(r, sprite != nullptr ? sprite->m_playbackSpeedType : -1);
}

// ---------------------------------------------------------------------------
// [SECTION] sprite settings

// An edit of the sprite of argument 0, after which the instances showing it
// are marked; nothing for a missing sprite.
template <typename Edit>
void EditSprite(const RValue* a, Edit edit) {
    const int index = Int(a, 0);
    CSprite* sprite = Sprite_Data(index);
    if (sprite == nullptr) return;
    edit(*sprite);
    MarkInstancesAsDirty(index);
}

ZQ_RESOURCE(F_SpriteSetOffset) {
    (void)r;
    EditSprite(a, [a](CSprite& sprite) {
        sprite.m_xorigin = Int(a, 1);
        sprite.m_yorigin = Int(a, 2);
        sprite.ComputeCullRadius();
    });
}

ZQ_RESOURCE(F_SpriteSetBboxMode) {
    (void)r;
    EditSprite(a, [a](CSprite& sprite) { sprite.SetBoundingBoxMode(Int(a, 1)); });
}

ZQ_RESOURCE(F_SpriteSetBbox) {
    (void)r;
    EditSprite(a, [a](CSprite& sprite) {
        sprite.SetBoundingBox(SBoundingBox{Int(a, 1), Int(a, 2), Int(a, 3), Int(a, 4)});
    });
}

ZQ_RESOURCE(F_SpriteSetPrecise) {
    (void)r;
    const int index = Int(a, 0);
    CSprite* sprite = Sprite_Data(index);
    if (sprite == nullptr) return;
    const bool on = Positive(a, 1);
    if (on && sprite->m_kind != SPRITE_KIND_BITMAP && sprite->m_masks.empty() &&
        sprite->m_packedMaskCount == 0) {
        Error_Show_Action("sprite_set_precise: can't set precise collision on vector sprite with no "
                          "collision masks generated",
                          false);
        return;
    }
    sprite->SetCollisionChecking(on);
    MarkInstancesAsDirty(index);
}

ZQ_RESOURCE(F_SpriteSetAlphaFromSprite) {
    (void)r;
    CSprite* sprite = SpriteArg(a, 0);
    const CSprite* alpha = SpriteArg(a, 1);
    if (sprite == nullptr || alpha == nullptr) return;
    if (sprite->m_kind != SPRITE_KIND_BITMAP) {
        Error_Show_Action("sprite_set_alpha_from_sprite: not supported with vector sprites - sprite to "
                          "change is a vector sprite",
                          false);
        return;
    }
    if (alpha->m_kind != SPRITE_KIND_BITMAP) {
        Error_Show_Action(
            "sprite_set_alpha_from_sprite: not supported with vector sprites - sprite to derive "
            "transparency from is a vector sprite",
            false);
        return;
    }
    sprite->SetAlphaFromSprite(alpha);
}

// Instances are not marked: the mask changes, not the box they were given.
ZQ_RESOURCE(F_SpriteCollisionMask) {
    (void)r;
    CSprite* sprite = SpriteArg(a, 0);
    if (sprite == nullptr || sprite->m_numb < 1) return;
    if (sprite->m_kind != SPRITE_KIND_BITMAP) {
        Error_Show_Action("sprite_collision_mask: not supported for vector sprites", false);
        return;
    }
    const bool separate = Positive(a, 1);
    const int mode = Int(a, 2);
    const SBoundingBox rect{Int(a, 3), Int(a, 4), Int(a, 5), Int(a, 6)};
    const int kind = Int(a, 7);
    const auto tolerance = static_cast<uint32_t>(Int(a, 8));
    sprite->m_precise = true;
    sprite->ComputeMask(separate, mode, rect, kind, tolerance);
}

ZQ_RESOURCE(F_SpriteSetSpeed) {
    (void)r;
    CSprite* sprite = SpeedSprite(a);
    if (sprite == nullptr) return;
    sprite->m_playbackSpeed = ZQGetFloat(a, 1);
    sprite->m_playbackSpeedType = Int(a, 2);
}

// ---------------------------------------------------------------------------
// [SECTION] sprite creation and change

// The short form (file, frames, remove background, smooth, x and y origin)
// and the older form with precise and preload as well.
ZQ_RESOURCE(F_SpriteAdd) {
    const char* file = ZQGetString(a, 0);
    const int frames = Int(a, 1);
    int index;
    if (argc >= 8)
        index = Sprite_Add(file, frames, Positive(a, 2), Positive(a, 3), Positive(a, 4), Positive(a, 5),
                           Int(a, 6), Int(a, 7));
    else
        index = Sprite_Add(file, frames, false, Positive(a, 2), Positive(a, 3), false, Int(a, 4), Int(a, 5));
    Real(r, index);
}

ZQ_RESOURCE(F_SpriteReplace) {
    const int index = Int(a, 0);
    if (!Sprite_Exists(index) || (argc != 7 && argc != 9)) {
        Real(r, -1);
        return;
    }
    const char* file = ZQGetString(a, 1);
    const int frames = Int(a, 2);
    bool ok;
    if (argc == 9)
        ok = Sprite_Replace(index, file, frames, Positive(a, 3), Positive(a, 4), Positive(a, 5),
                            Positive(a, 6), Int(a, 7), Int(a, 8));
    else
        ok = Sprite_Replace(index, file, frames, true, Positive(a, 3), Positive(a, 4), true, Int(a, 5),
                            Int(a, 6));
    Real(r, ok ? 1 : 0);
}

// A new sprite from a grabbed rectangle. The index is returned even when
// nothing could be grabbed; the sprite then stays empty.
void CreateFromGrab(RValue& r, int argc, const RValue* a, bool fromSurface) {
    const int first = fromSurface ? 1 : 0; // the rectangle's first argument
    const int surface = fromSurface ? Int(a, 0) : -1;
    const bool longForm = argc >= first + 10;
    const int x = Int(a, first), y = Int(a, first + 1), w = Int(a, first + 2), h = Int(a, first + 3);
    bool precise = true, remove, smooth, preload = !fromSurface, keepAlpha;
    int xorigin, yorigin;
    if (longForm) {
        precise = Positive(a, first + 4);
        remove = Positive(a, first + 5);
        smooth = Positive(a, first + 6);
        preload = Positive(a, first + 7);
        xorigin = Int(a, first + 8);
        yorigin = Int(a, first + 9);
        keepAlpha = fromSurface;
    } else {
        remove = Positive(a, first + 4);
        smooth = Positive(a, first + 5);
        xorigin = Int(a, first + 6);
        yorigin = Int(a, first + 7);
        keepAlpha = !remove;
    }
    const int index = Sprite_AddEmpty();
    Real(r, index);
    std::unique_ptr<IBitmap> image = Grab(fromSurface, surface, x, y, w, h);
    CSprite* sprite = Sprite_Data(index);
    if (image != nullptr && sprite != nullptr)
        sprite->CreateFromBitmap(image.get(), precise, remove, smooth, preload, xorigin, yorigin, keepAlpha);
}

ZQ_RESOURCE(F_SpriteCreateFromScreen) {
    CreateFromGrab(r, argc, a, false);
}

ZQ_RESOURCE(F_SpriteCreateFromSurface) {
    CreateFromGrab(r, argc, a, true);
}

// One frame appended from a grabbed rectangle; nothing when nothing came back.
void AddFromGrab(const RValue* a, bool fromSurface, const char* vectorMessage) {
    const int index = Int(a, 0);
    CSprite* sprite = Sprite_Data(index);
    if (sprite == nullptr) return;
    if (sprite->m_kind != SPRITE_KIND_BITMAP) {
        Error_Show_Action(vectorMessage, false);
        return;
    }
    const int first = fromSurface ? 2 : 1;
    const int surface = fromSurface ? Int(a, 1) : -1;
    const int x = Int(a, first), y = Int(a, first + 1), w = Int(a, first + 2), h = Int(a, first + 3);
    const bool remove = Positive(a, first + 4);
    const bool smooth = Positive(a, first + 5);
    std::unique_ptr<IBitmap> image = Grab(fromSurface, surface, x, y, w, h);
    if (image != nullptr) sprite->AddFromBitmap(image.get(), remove, smooth, !remove);
}

ZQ_RESOURCE(F_SpriteAddFromScreen) {
    (void)r;
    AddFromGrab(a, false, "sprite_add_from_screen: not supported with vector sprites");
}

ZQ_RESOURCE(F_SpriteAddFromSurface) {
    (void)r;
    AddFromGrab(a, true, "sprite_add_from_surface: not supported with vector sprites");
}

ZQ_RESOURCE(F_SpriteDelete) {
    const int index = Int(a, 0);
    if (!Sprite_Exists(index)) {
        Real(r, -1);
        return;
    }
    Real(r, Sprite_Delete(index) ? 1 : 0);
}

ZQ_RESOURCE(F_SpriteDuplicate) {
    const int index = Int(a, 0);
    const CSprite* sprite = Sprite_Data(index);
    if (sprite == nullptr) {
        Real(r, -1);
        return;
    }
    if (sprite->m_kind == SPRITE_KIND_SKELETON) {
        Error_Show_Action("sprite_duplicate: not supported for skeleton based sprites", false);
        return;
    }
    if (sprite->m_kind == SPRITE_KIND_VECTOR) {
        Error_Show_Action("sprite_duplicate: not supported for vector sprites", false);
        return;
    }
    Real(r, Sprite_Duplicate(index));
}

// The checks of sprite_assign and sprite_merge, in their order; true when
// both sprites exist and are bitmap sprites.
bool TwoBitmapSprites(const RValue* a, const char* const messages[5]) {
    const CSprite* dest = SpriteArg(a, 0);
    const CSprite* source = SpriteArg(a, 1);
    const char* failed = nullptr;
    if (dest == nullptr || source == nullptr)
        failed = messages[0];
    else if (dest->m_kind == SPRITE_KIND_VECTOR)
        failed = messages[1];
    else if (source->m_kind == SPRITE_KIND_VECTOR)
        failed = messages[2];
    else if (dest->m_kind == SPRITE_KIND_SKELETON)
        failed = messages[3];
    else if (source->m_kind == SPRITE_KIND_SKELETON)
        failed = messages[4];
    if (failed != nullptr) Error_Show_Action(failed, false);
    return failed == nullptr;
}

const char* const kAssignMessages[5] = {
    "Cannot assign to or from non-existing sprite",
    "sprite_assign: not supported for vector sprites - destination sprite is a vector sprite",
    "sprite_assign: not supported for vector sprites - source sprite is a vector sprite",
    "sprite_assign: not supported for skeleton based sprites - destination sprite is a skeleton sprite",
    "sprite_assign: not supported for skeleton based sprites - source sprite is a skeleton sprite",
};

const char* const kMergeMessages[5] = {
    "Cannot merge to or from non-existing sprite",
    "sprite_merge: not supported for vector sprites - destination sprite is a vector sprite",
    "sprite_merge: not supported for vector sprites - source sprite is a vector sprite",
    "sprite_merge: not supported for skeleton based sprites - destination sprite is a skeleton sprite",
    "sprite_merge: not supported for skeleton based sprites - source sprite is a skeleton sprite",
};

ZQ_RESOURCE(F_SpriteAssign) {
    (void)r;
    if (!TwoBitmapSprites(a, kAssignMessages)) return;
    if (!Sprite_Assign(Int(a, 0), Int(a, 1))) Error_Show_Action("Error assigning a sprite.", false);
}

ZQ_RESOURCE(F_SpriteMerge) {
    (void)r;
    if (!TwoBitmapSprites(a, kMergeMessages)) return;
    SpriteArg(a, 0)->AddFromSprite(SpriteArg(a, 1));
}

// ---------------------------------------------------------------------------
// [SECTION] sprite saves

ZQ_RESOURCE(F_SpriteSave) {
    (void)r;
    const CSprite* sprite = SpriteArg(a, 0);
    if (sprite == nullptr) return;
    if (sprite->m_kind != SPRITE_KIND_BITMAP) {
        Error_Show_Action("sprite_save: not supported for vector sprites", false);
        return;
    }
    const int frame = Int(a, 1);
    const char* file = FileName(a, 2);
    std::unique_ptr<IBitmap> image = sprite->GetBitmap32(frame);
    if (image == nullptr) {
        dbg_csol->Output("sprite_save() failed - no bitmap data available\n");
        return;
    }
    if (file == nullptr) {
        dbg_csol->Output("sprite_save() failed - no file name\n");
        return;
    }
    SaveBitmap(image.get(), file, "sprite_save()");
}

// All frames side by side, frame i at x = i × width, in one image.
ZQ_RESOURCE(F_SpriteSaveStrip) {
    (void)r;
    const CSprite* sprite = SpriteArg(a, 0);
    const char* file = FileName(a, 1);
    if (sprite == nullptr || file == nullptr) return;
    if (sprite->m_kind != SPRITE_KIND_BITMAP) {
        Error_Show_Action("sprite_save_strip: not supported for vector sprites", false);
        return;
    }
    if (sprite->m_numb <= 0) return;
    const int w = sprite->m_width, h = sprite->m_height;
    const int64_t stripWidth = int64_t{w} * sprite->m_numb;
    if (stripWidth > INT32_MAX || !ReadBack_SizeOk(static_cast<int>(stripWidth), h)) {
        dbg_csol->Output("sprite_save_strip() failed - image too large\n");
        return;
    }
    CBitmap32 strip(static_cast<int>(stripWidth), h, 0u);
    if (!strip.IsValid()) return;
    std::fill_n(strip.Pixels(), static_cast<size_t>(stripWidth) * static_cast<size_t>(h), 0xFF000000u);
    for (int i = 0; i < sprite->m_numb; ++i) {
        const CBitmap32* frame = static_cast<size_t>(i) < sprite->m_bitmaps.size()
                                     ? sprite->m_bitmaps[static_cast<size_t>(i)].get()
                                     : nullptr;
        if (frame == nullptr || !frame->IsValid()) {
            dbg_csol->Output("sprite_save_strip() failed - Missing bitmap data\n");
            return;
        }
        // Rows and columns the frame does not have stay as filled.
        const int cw = std::min(w, frame->GetWidth()), ch = std::min(h, frame->GetHeight());
        for (int y = 0; y < ch; ++y)
            std::memcpy(strip.Pixels() + static_cast<size_t>(y) * static_cast<size_t>(stripWidth) +
                            static_cast<size_t>(i) * static_cast<size_t>(w),
                        frame->Pixels() + static_cast<size_t>(y) * static_cast<size_t>(frame->GetWidth()),
                        static_cast<size_t>(cw) * 4);
    }
    std::unique_ptr<IBitmap> image = strip.CreateBitmap32();
    if (image != nullptr) SaveBitmap(image.get(), file, "sprite_save_strip()");
}

// ---------------------------------------------------------------------------
// [SECTION] backgrounds

ZQ_RESOURCE_EXISTS(F_BackgroundExists, Background_Exists)

ZQ_RESOURCE_NAME(F_BackgroundGetName, Background_Name)

#define ZQ_BACKGROUND_QUERY(name, expr) ZQ_RESOURCE_QUERY(name, CBackground, Background_Data, b, -1, expr)

ZQ_BACKGROUND_QUERY(F_BackgroundGetWidth, b.GetWidth())
ZQ_BACKGROUND_QUERY(F_BackgroundGetHeight, b.GetHeight())
ZQ_BACKGROUND_QUERY(F_BackgroundGetTransparent, b.GetTransparent() ? 1 : 0)
ZQ_BACKGROUND_QUERY(F_BackgroundGetSmooth, b.Smooth() ? 1 : 0)
ZQ_BACKGROUND_QUERY(F_BackgroundGetPreload, b.GetPreload() ? 1 : 0)

ZQ_RESOURCE(F_BackgroundSetAlphaFromBackground) {
    (void)r;
    CBackground* background = BackgroundArg(a, 0);
    const CBackground* alpha = BackgroundArg(a, 1);
    if (background != nullptr && alpha != nullptr) background->SetAlphaFromBackground(alpha);
}

// Sizes a background made from a colour or gradient may have: what a
// read-back may hold, so that a script cannot ask for gigabytes.
bool MakeableSize(int w, int h) {
    return ReadBack_SizeOk(std::max(w, 1), std::max(h, 1));
}

ZQ_RESOURCE(F_BackgroundCreateColor) {
    const int w = Int(a, 0), h = Int(a, 1);
    const auto colour = static_cast<uint32_t>(Int(a, 2));
    const bool preload = argc >= 4 ? Positive(a, 3) : true;
    if (!MakeableSize(w, h)) {
        Error_Show_Action("Invalid background dimensions", false);
        Real(r, -1);
        return;
    }
    const int index = Background_AddEmpty();
    if (CBackground* background = Background_Data(index)) background->CreateColor(w, h, colour, preload);
    Real(r, index);
}

ZQ_RESOURCE(F_BackgroundCreateGradient) {
    const int w = Int(a, 0), h = Int(a, 1);
    const auto colour1 = static_cast<uint32_t>(Int(a, 2));
    const auto colour2 = static_cast<uint32_t>(Int(a, 3));
    const int kind = Int(a, 4);
    const bool preload = argc >= 6 ? Positive(a, 5) : true;
    if (!MakeableSize(w, h)) {
        Error_Show_Action("Invalid background dimensions", false);
        Real(r, -1);
        return;
    }
    const int index = Background_AddEmpty();
    if (CBackground* background = Background_Data(index))
        background->CreateGradient(w, h, colour1, colour2, kind, preload);
    Real(r, index);
}

// A new background from a grabbed rectangle; its index also when nothing
// could be grabbed (it then stays empty).
ZQ_RESOURCE(F_BackgroundCreateFromScreen) {
    const int x = Int(a, 0), y = Int(a, 1), w = Int(a, 2), h = Int(a, 3);
    const bool remove = Positive(a, 4);
    const bool smooth = Positive(a, 5);
    const bool preload = argc >= 7 ? Positive(a, 6) : false;
    const bool keepAlpha = argc >= 7 ? false : !remove;
    const int index = Background_AddEmpty();
    Real(r, index);
    std::unique_ptr<IBitmap> image = Grab(false, -1, x, y, w, h);
    CBackground* background = Background_Data(index);
    if (image != nullptr && background != nullptr)
        background->CreateFromBitmap(image.get(), remove, smooth, preload, keepAlpha);
}

ZQ_RESOURCE(F_BackgroundCreateFromSurface) {
    const int surface = Int(a, 0);
    const int x = Int(a, 1), y = Int(a, 2), w = Int(a, 3), h = Int(a, 4);
    const bool remove = ZQGetBool(a, 5);
    const bool smooth = ZQGetBool(a, 6);
    const bool preload = argc >= 8 ? Positive(a, 7) : true;
    const int index = Background_AddEmpty();
    Real(r, index);
    std::unique_ptr<IBitmap> image = Grab(true, surface, x, y, w, h);
    CBackground* background = Background_Data(index);
    if (image != nullptr && background != nullptr)
        background->CreateFromBitmap(image.get(), remove, smooth, preload, !remove);
}

ZQ_RESOURCE(F_BackgroundAdd) {
    const char* file = ZQGetString(a, 0);
    const bool remove = ZQGetBool(a, 1);
    const bool smooth = ZQGetBool(a, 2);
    const bool preload = argc >= 4 ? ZQGetBool(a, 3) : true;
    Real(r, Background_Add(file, remove, smooth, preload));
}

ZQ_RESOURCE(F_BackgroundReplace) {
    const int index = Int(a, 0);
    if (!Background_Exists(index)) {
        Real(r, 0);
        Error_Show_Action("Trying to replace non-existing background.", false);
        return;
    }
    const char* file = ZQGetString(a, 1);
    const bool remove = ZQGetBool(a, 2);
    const bool smooth = ZQGetBool(a, 3);
    const bool preload = argc >= 5 ? ZQGetBool(a, 4) : true;
    Real(r, Background_Replace(index, file, remove, smooth, preload) ? 1 : 0);
}

ZQ_RESOURCE(F_BackgroundDelete) {
    const int index = Int(a, 0);
    if (!Background_Exists(index)) {
        Real(r, 0);
        Error_Show_Action("Trying to delete non-existing background.", false);
        return;
    }
    Real(r, Background_Delete(index) ? 1 : 0);
}

ZQ_RESOURCE(F_BackgroundDuplicate) {
    const int index = Int(a, 0);
    if (!Background_Exists(index)) {
        Real(r, -1);
        Error_Show_Action("Trying to duplicate non-existing background.", false);
        return;
    }
    Real(r, Background_Duplicate(index));
}

ZQ_RESOURCE(F_BackgroundAssign) {
    (void)r;
    if (!Background_Assign(Int(a, 0), Int(a, 1))) Error_Show_Action("Error assigning a background.", false);
}

ZQ_RESOURCE(F_BackgroundSave) {
    (void)r;
    const CBackground* background = BackgroundArg(a, 0);
    const char* file = FileName(a, 1);
    if (background == nullptr || file == nullptr) {
        Error_Show_Action("Trying to save non-existing background bitmap.", false);
        return;
    }
    const CBitmap32* bitmap = background->GetBitmap();
    std::unique_ptr<IBitmap> image = bitmap != nullptr ? bitmap->CreateBitmap32() : nullptr;
    if (image == nullptr) {
        dbg_csol->Output("background_save() failed - no bitmap data available\n");
        return;
    }
    SaveBitmap(image.get(), file, "background_save()");
}

// ---------------------------------------------------------------------------
// [SECTION] texture preparation and release

// The texture handle a background draws with: its page entry's, else its
// own texture id (-1 for none).
int64_t BackgroundHandle(const CBackground& background) {
    if (const ZQTPageEntry* entry = background.GetTPE()) {
        const int64_t handle = TPageEntry_Handle(entry);
        if (handle >= 0) return handle;
        return entry->page;
    }
    return background.GetTextureId();
}

// What one index of a prefetch or flush does. `prefix` names the built-in in
// its messages; the result is false when the call must end at once with -1
// (a vector sprite).
bool SpriteTexture(int index, bool flush, const char* prefix) {
    const CSprite* sprite = Sprite_Data(index);
    if (sprite == nullptr) {
        dbg_csol->Output("%s: Sprite id %d not found\n", prefix, index);
        return true;
    }
    if (sprite->m_kind != SPRITE_KIND_BITMAP) {
        dbg_csol->Output("%s: not supported for vector sprites (sprite id %d)\n", prefix, index);
        return false;
    }
    for (int frame = 0; frame < sprite->m_numb; ++frame) {
        const int64_t handle = sprite->GetTexture(frame);
        if (flush) FlushHandle(handle);
    }
    return true;
}

void BackgroundTexture(int index, bool flush, const char* prefix) {
    const CBackground* background = Background_Data(index);
    if (background == nullptr) {
        dbg_csol->Output("%s: Background id %d not found\n", prefix, index);
        return;
    }
    const int64_t handle = BackgroundHandle(*background);
    if (flush) FlushHandle(handle);
}

ZQ_RESOURCE(F_SpritePrefetch) {
    Real(r, SpriteTexture(Int(a, 0), false, "sprite_prefetch") ? 0 : -1);
}

ZQ_RESOURCE(F_SpriteFlush) {
    const int index = Int(a, 0);
    const CSprite* sprite = Sprite_Data(index);
    if (sprite != nullptr && sprite->m_kind == SPRITE_KIND_BITMAP) Graphics::Flush();
    Real(r, SpriteTexture(index, true, "sprite_flush") ? 0 : -1);
}

ZQ_RESOURCE(F_BackgroundPrefetch) {
    BackgroundTexture(Int(a, 0), false, "background_prefetch");
    Real(r, 0);
}

ZQ_RESOURCE(F_BackgroundFlush) {
    const int index = Int(a, 0);
    if (Background_Exists(index)) Graphics::Flush();
    BackgroundTexture(index, true, "background_flush");
    Real(r, 0);
}

// The one row of an array argument, or null (after the form's message) when
// the argument is not an array of exactly one row.
const DynamicArrayOfRValue* SingleRow(const RValue* a, const char* prefix, const char* kind) {
    if (a[0].Kind() != VALUE_ARRAY) {
        dbg_csol->Output("%s: parameter should be array of %s indices\n", prefix, kind);
        return nullptr;
    }
    const RefDynamicArrayOfRValue* record = a[0].pRefArray;
    if (record == nullptr || record->m_Array == nullptr || record->m_length != 1 ||
        (record->m_Array[0].arr == nullptr && record->m_Array[0].length > 0)) {
        dbg_csol->Output("%s: array parameter invalid\n", prefix);
        return nullptr;
    }
    return &record->m_Array[0];
}

// The _multi forms: every real entry is handled as the single form handles
// it; other entries are skipped with a message. A vector sprite ends the call.
void Multi(RValue& r, const RValue* a, bool sprites, bool flush, const char* prefix) {
    // The message of every form speaks of sprite indices.
    const DynamicArrayOfRValue* row = SingleRow(a, prefix, "sprite");
    if (row == nullptr) {
        Real(r, -1);
        return;
    }
    if (flush) Graphics::Flush();
    for (int i = 0; i < row->length; ++i) {
        const RValue& entry = row->arr[i];
        if (entry.Kind() != VALUE_REAL) {
            dbg_csol->Output("%s: array entry %d has wrong type\n", prefix, i);
            continue;
        }
        const int index = ZQGetInt32(&entry, 0);
        if (sprites) {
            if (!SpriteTexture(index, flush, prefix)) {
                Real(r, -1);
                return;
            }
        } else {
            BackgroundTexture(index, flush, prefix);
        }
    }
    Real(r, 0);
}

ZQ_RESOURCE(F_SpritePrefetchMulti) {
    Multi(r, a, true, false, "sprite_prefetch_multi");
}

ZQ_RESOURCE(F_SpriteFlushMulti) {
    Multi(r, a, true, true, "sprite_flush_multi");
}

ZQ_RESOURCE(F_BackgroundPrefetchMulti) {
    Multi(r, a, false, false, "background_prefetch_multi");
}

ZQ_RESOURCE(F_BackgroundFlushMulti) {
    Multi(r, a, false, true, "background_flush_multi");
}

// ---------------------------------------------------------------------------
// [SECTION] table

const LibraryBuiltinRow kSpriteRows[] = {
    {"sprite_name", F_SpriteGetName},
    {"sprite_exists", F_SpriteExists},
    {"sprite_get_name", F_SpriteGetName},
    {"sprite_get_number", F_SpriteGetNumber},
    {"sprite_get_width", F_SpriteGetWidth},
    {"sprite_get_height", F_SpriteGetHeight},
    {"sprite_get_transparent", F_SpriteGetTransparent},
    {"sprite_get_smooth", F_SpriteGetSmooth},
    {"sprite_get_preload", F_SpriteGetPreload},
    {"sprite_get_xoffset", F_SpriteGetXOffset},
    {"sprite_get_yoffset", F_SpriteGetYOffset},
    {"sprite_get_bbox_mode", F_SpriteGetBboxMode},
    {"sprite_get_bbox_left", F_SpriteGetBboxLeft},
    {"sprite_get_bbox_right", F_SpriteGetBboxRight},
    {"sprite_get_bbox_top", F_SpriteGetBboxTop},
    {"sprite_get_bbox_bottom", F_SpriteGetBboxBottom},
    {"sprite_get_precise", F_SpriteGetPrecise},
    {"sprite_collision_mask", F_SpriteCollisionMask},
    {"sprite_set_offset", F_SpriteSetOffset},
    {"sprite_set_bbox_mode", F_SpriteSetBboxMode},
    {"sprite_set_bbox", F_SpriteSetBbox},
    {"sprite_set_precise", F_SpriteSetPrecise},
    {"sprite_set_alpha_from_sprite", F_SpriteSetAlphaFromSprite},
    {"sprite_add", F_SpriteAdd},
    {"sprite_create_from_screen", F_SpriteCreateFromScreen},
    {"sprite_add_from_screen", F_SpriteAddFromScreen},
    {"sprite_create_from_surface", F_SpriteCreateFromSurface},
    {"sprite_add_from_surface", F_SpriteAddFromSurface},
    {"sprite_replace", F_SpriteReplace},
    {"sprite_save_strip", F_SpriteSaveStrip},
    {"sprite_delete", F_SpriteDelete},
    {"sprite_duplicate", F_SpriteDuplicate},
    {"sprite_assign", F_SpriteAssign},
    {"sprite_merge", F_SpriteMerge},
    {"sprite_save", F_SpriteSave},
    {"sprite_prefetch", F_SpritePrefetch},
    {"sprite_prefetch_multi", F_SpritePrefetchMulti},
    {"sprite_flush", F_SpriteFlush},
    {"sprite_flush_multi", F_SpriteFlushMulti},
    {"sprite_set_speed", F_SpriteSetSpeed},
    {"sprite_get_speed_type", F_SpriteGetSpeedType},
    {"sprite_get_speed", F_SpriteGetSpeed},
    {"background_name", F_BackgroundGetName},
    {"background_exists", F_BackgroundExists},
    {"background_get_name", F_BackgroundGetName},
    {"background_get_width", F_BackgroundGetWidth},
    {"background_get_height", F_BackgroundGetHeight},
    {"background_get_transparent", F_BackgroundGetTransparent},
    {"background_get_smooth", F_BackgroundGetSmooth},
    {"background_get_preload", F_BackgroundGetPreload},
    {"background_set_alpha_from_background", F_BackgroundSetAlphaFromBackground},
    {"background_create_color", F_BackgroundCreateColor},
    {"background_create_colour", F_BackgroundCreateColor},
    {"background_replace", F_BackgroundReplace},
    {"background_create_from_screen", F_BackgroundCreateFromScreen},
    {"background_create_from_surface", F_BackgroundCreateFromSurface},
    {"background_create_gradient", F_BackgroundCreateGradient},
    {"background_add", F_BackgroundAdd},
    {"background_delete", F_BackgroundDelete},
    {"background_duplicate", F_BackgroundDuplicate},
    {"background_assign", F_BackgroundAssign},
    {"background_save", F_BackgroundSave},
    {"background_prefetch", F_BackgroundPrefetch},
    {"background_prefetch_multi", F_BackgroundPrefetchMulti},
    {"background_flush", F_BackgroundFlush},
    {"background_flush_multi", F_BackgroundFlushMulti},
};

} // namespace

std::span<const LibraryBuiltinRow> SpriteResourceBuiltins() {
    return kSpriteRows;
}
