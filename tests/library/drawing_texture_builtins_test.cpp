// The texture and UV built-ins through the function table: UVs of sprite
// frames, backgrounds and fonts on their page, texture values that are
// handles or table indices and never addresses, the sampler switches, and
// the global scale that only a power of two may set.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "drawing_fixture.h"
#include "error_capture.h"
#include "gl_device_fixture.h"
#include "library/drawing_builtins.h"
#include "render/image_decode.h"
#include "render/page_entry.h"
#include "render/render_settings.h"
#include "render/surface.h"
#include "sprites/sprite_table.h"
#include "world/instances/instance.h"
#include "world/instances/sprite_services.h"
#include "world/run/startup_services.h"

namespace {

using UVList = std::vector<double>;
const UVList kDefaultUVs = {0, 0, 1, 1, 0, 0, 1, 1};

class TextureBuiltins : public GLDeviceTest {
protected:
    void SetUp() override {
        GLDeviceTest::SetUp();
        InitGraphicFunctions();
        ASSERT_TRUE(game.Load());
    }
    void TearDown() override {
        FINALIZE_Code_Function();
        GR_Surface_FreeAll();
        GLDeviceTest::TearDown();
        GR_Texture_Init();
    }
    // A sprite of the given kind added at run time; its index.
    static int AddSprite(int kind) {
        auto sprite = std::make_unique<CSprite>();
        sprite->m_kind = kind;
        sprite->m_numb = 1;
        return Sprite_AddRecord(std::move(sprite));
    }

    DrawingGame game;
};

TEST_F(TextureBuiltins, UVsOfFramesBackgroundsAndFontsOnTheirPage) {
    CInstance self(0, 0, 1, -1, false);
    self.i_imageindex = 1.7f;
    const UVList frame0 = {0.5, 0, 0.75, 0.25, 1, 2, 0.5, 0.5};
    const UVList frame1 = {0.75, 0.25, 1, 0.375, 0, 3, 1, 0.25};
    struct Case {
        const char* name;
        std::vector<ZQRValue> args;
        UVList expected;
    };
    const Case cases[] = {
        {"sprite_get_uvs", {0, 0}, frame0},
        {"sprite_get_uvs", {0, 1}, frame1},
        {"sprite_get_uvs", {0, 3}, frame1},  // frames wrap
        {"sprite_get_uvs", {0, -1}, frame1}, // the instance's image index, rounded down
        {"background_get_uvs", {0, 99}, {0, 0.5, 1, 1, 0, 0, 1, 1}},
        {"font_get_uvs", {0, 99}, {0, 0, 0.5, 0.5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DrawReals(Call(c.name, c.args, &self)), c.expected);
    }
    // The texture values of the same images name the same entries.
    const ZQRValue texture = Call("sprite_get_texture", {0, 1});
    EXPECT_EQ(texture.Kind(), VALUE_PTR);
    EXPECT_EQ(DrawReals(Call("texture_get_uvs", {texture})), frame1);
    EXPECT_EQ(DrawReals(Call("texture_get_uvs", {Call("sprite_get_texture", {0, -1}, &self)})), frame1);
    EXPECT_EQ(DrawReals(Call("texture_get_uvs", {Call("background_get_texture", {0})})),
              (UVList{0, 0.5, 1, 1, 0, 0, 1, 1}));
    const ZQRValue font = Call("font_get_texture", {0});
    EXPECT_EQ(font.Kind(), VALUE_PTR);
    EXPECT_EQ(DrawReals(Call("texture_get_uvs", {font})), (UVList{0, 0, 0.5, 0.5, 0, 0, 1, 1}));
}

// Texture values are resolved through the registry and the table, so any
// number a script makes up answers as a missing texture does.
TEST_F(TextureBuiltins, HostileTextureValuesAnswerAsMissingTextures) {
    ErrorCapture errors;
    const int64_t handle = static_cast<int64_t>(Call("sprite_get_texture", {0, 0}).v64);
    ASSERT_GE(handle, kPageEntryHandleFirst);
    const ZQRValue values[] = {
        -1,
        0,
        1,
        123456789,
        ZQRValue::FromInt64(handle + 1000),
        ZQRValue::FromInt64(kPageEntryHandleFirst + 0x10000000 + 5),
        ZQRValue::FromInt64(INT64_MAX),
        ZQRValue::FromInt64(INT64_MIN),
        ZQRValue::FromInt64(static_cast<int64_t>(reinterpret_cast<intptr_t>(&errors))),
        1e300,
        -1e300,
        std::numeric_limits<double>::quiet_NaN(),
    };
    for (const ZQRValue& v : values) {
        SCOPED_TRACE(v.Kind() == VALUE_REAL ? v.val : static_cast<double>(v.v64));
        EXPECT_EQ(DrawReals(Call("texture_get_uvs", {v})), kDefaultUVs);
        EXPECT_EQ(DrawNum(Call("texture_get_width", {v})), 1.0);
        EXPECT_EQ(DrawNum(Call("texture_get_height", {v})), 1.0);
        Call("texture_preload", {v});
        Call("texture_set_priority", {v, 3});
        Call("draw_primitive_begin_texture", {4, v});
    }
    EXPECT_EQ(errors.Count(), 0);
    // A page-entry handle is no table index; a surface's texture is one.
    EXPECT_EQ(DrawNum(Call("texture_exists", {ZQRValue::FromInt64(handle)})), 0);
    EXPECT_EQ(DrawNum(Call("texture_get_width", {ZQRValue::FromInt64(handle)})), 1.0);
    EXPECT_EQ(DrawNum(Call("texture_exists", {123456789})), 0);
    EXPECT_EQ(DrawNum(Call("texture_exists", {-1})), 0);
    const int s = static_cast<int>(DrawNum(Call("surface_create", {8, 8})));
    const ZQRValue surfaceTexture = Call("surface_get_texture", {s});
    EXPECT_EQ(DrawNum(Call("texture_exists", {surfaceTexture})), 1);
    EXPECT_GT(DrawNum(Call("texture_get_width", {surfaceTexture})), 0.0);
    EXPECT_EQ(DrawReals(Call("texture_get_uvs", {surfaceTexture})), kDefaultUVs)
        << "a table index is not a page entry";
    // A run-time sprite's frames name entries of their own; once the sprite
    // is deleted its texture value names nothing, and is never reused.
    const std::vector<uint8_t> rgba(8 * 4 * 4, 0xFF);
    const int made = Sprite_Add_BIN(rgba.data(), 8, 4, 2, false, false, 0, 0);
    ASSERT_GE(made, 0);
    const ZQRValue frame = Call("sprite_get_texture", {made, 1});
    ASSERT_EQ(frame.Kind(), VALUE_PTR);
    ASSERT_NE(TPageEntry_FromHandle(frame.v64), nullptr);
    EXPECT_EQ(DrawReals(Call("texture_get_uvs", {frame})), kDefaultUVs) << "a whole texture";
    ASSERT_TRUE(Sprite_Delete(made));
    EXPECT_EQ(TPageEntry_FromHandle(frame.v64), nullptr);
    EXPECT_EQ(DrawReals(Call("texture_get_uvs", {frame})), kDefaultUVs);
    EXPECT_EQ(DrawNum(Call("texture_exists", {frame})), 0);
    // Text is no texture value.
    Call("texture_get_uvs", {"0"});
    EXPECT_EQ(errors.Count(), 1);
}

TEST_F(TextureBuiltins, MissingAndUnsupportedResources) {
    ErrorCapture errors;
    const int vector = AddSprite(SPRITE_KIND_VECTOR);
    const int skeleton = AddSprite(SPRITE_KIND_SKELETON);
    struct Case {
        const char* name;
        std::vector<ZQRValue> args;
        const char* message;
        bool minusOne; // the result is -1, else undefined
    };
    const Case cases[] = {
        {"sprite_get_uvs", {77, 0}, "Trying to get texture from non-existing sprite.", false},
        {"sprite_get_uvs", {vector, 0}, "sprite_get_uvs: not supported for vector sprites", false},
        {"sprite_get_uvs", {skeleton, 0}, "sprite_get_uvs: not supported for vector sprites", false},
        {"background_get_uvs", {-3, 0}, "Trying to get texture from non-existing background.", false},
        {"font_get_uvs", {5, 0}, "trying to get texture from non-existing font", false},
        {"sprite_get_texture", {77, 0}, "Trying to get texture from non-existing sprite.", false},
        {"sprite_get_texture", {vector, 0}, "sprite_get_texture: not supported for vector sprites", true},
        {"sprite_get_texture",
         {skeleton, 0},
         "sprite_get_texture: not supported for skeleton based sprites",
         true},
        {"background_get_texture", {9}, "Trying to get texture from non-existing background.", false},
        {"font_get_texture", {9}, "trying to get texture from non-existing font", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        errors.Clear();
        const ZQRValue r = Call(c.name, c.args);
        EXPECT_NE(errors.LastShown().find(c.message), std::string::npos) << errors.LastShown();
        if (c.minusOne)
            EXPECT_EQ(DrawNum(r), -1);
        else
            EXPECT_EQ(r.Kind(), VALUE_UNDEFINED);
    }
    EXPECT_EQ(errors.Count(), 0) << "none of these ends the game";
}

TEST_F(TextureBuiltins, SamplerSwitchesReachEveryStageOrOne) {
    Call("texture_set_interpolation", {ZQRValue::FromBool(true)});
    Call("texture_set_repeat", {ZQRValue::FromBool(true)});
    for (int stage = 0; stage < kTextureStages; ++stage) {
        EXPECT_TRUE(GR_D3D_Get_Texture_Interpolation_Ext(stage)) << stage;
        EXPECT_TRUE(GR_D3D_Get_Texture_Repeat_Ext(stage)) << stage;
    }
    Call("texture_set_interpolation_ext", {3, ZQRValue::FromBool(false)});
    Call("texture_set_repeat_ext", {5, ZQRValue::FromBool(false)});
    Call("texture_set_repeat_ext", {99, ZQRValue::FromBool(false)}); // no such stage: ignored
    EXPECT_FALSE(GR_D3D_Get_Texture_Interpolation_Ext(3));
    EXPECT_TRUE(GR_D3D_Get_Texture_Interpolation_Ext(2));
    EXPECT_FALSE(GR_D3D_Get_Texture_Repeat_Ext(5));
    EXPECT_TRUE(GR_D3D_Get_Texture_Repeat_Ext(7));
    EXPECT_EQ(Call("texture_set_blending", {ZQRValue::FromBool(false)}).Kind(), VALUE_UNDEFINED);
}

TEST_F(TextureBuiltins, GlobalScaleMustBeAPositivePowerOfTwo) {
    struct Restore {
        ~Restore() { g_TextureScale = 1; }
    } restore;
    ErrorCapture errors;
    for (int bad : {3, 0, -4, 6, -2147483647 - 1}) {
        errors.Clear();
        Call("texture_global_scale", {bad});
        EXPECT_EQ(errors.Count(), 1) << bad;
        EXPECT_EQ(errors.LastMessage(),
                  "texture global scale needs to be a positive power of 2 integer (i.e. 1, 2, 4, 8....)");
        EXPECT_EQ(g_TextureScale, 1) << "a refused scale is not stored";
    }
    errors.Clear();
    for (int good : {4, 1, 1024}) {
        Call("texture_global_scale", {good});
        EXPECT_EQ(g_TextureScale, good);
    }
    EXPECT_EQ(errors.Count(), 0);
}

} // namespace
