// The sprite and background drawing built-ins through the function table:
// sprites drawn into a surface whose pixels surface_getpixel reads back (the
// game's picture-to-pieces path), the frame rules, the refused kinds and
// missing resources, legacy and new-generation backgrounds, draw_path; and
// the shared pixel-buffer helpers.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/arguments.h"
#include "core/function_table.h"
#include "core/header_globals.h"
#include "core/zq_rvalue.h"
#include "error_capture.h"
#include "function_call.h"
#include "gl_device_fixture.h"
#include "library/drawing_builtins.h"
#include "library/drawing_sprite_builtins.h"
#include "render/draw_primitives.h"
#include "render/render_target.h"
#include "render/surface.h"
#include "render/view.h"
#include "room/room.h"
#include "sprites/background.h"
#include "sprites/background_table.h"
#include "sprites/sprite_table.h"
#include "world/instances/instance.h"
#include "world/instances/sprite_services.h"
#include "world/motion/path.h"
#include "world/motion/path_resources.h"
#include "world/run/startup_services.h"

namespace {

constexpr uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF,
                   kYellow = 0x00FFFF;

// True when the last text shown carries `message`.
bool LastShows(const ErrorCapture& errors, const char* message) {
    return errors.LastShown().find(message) != std::string::npos;
}

// Script colour 0xBBGGRR as the RGBA bytes of a decoded image.
void PutPixel(std::vector<uint8_t>& rgba, int stride, int x, int y, uint32_t colour) {
    uint8_t* p = &rgba[static_cast<size_t>((y * stride + x) * 4)];
    p[0] = colour & 0xFF;
    p[1] = (colour >> 8) & 0xFF;
    p[2] = (colour >> 16) & 0xFF;
    p[3] = 255;
}

// Draws into fresh 16 × 16 surfaces with the drawing built-ins registered,
// the sprite `quad` of four 4 × 4 frames (origin 0, 0) and a 640 × 360 room:
// frame 0 is four 2 × 2 quadrants red, green / blue, white; frames 1 to 3
// are solid green, blue and yellow.
class SpriteDrawing : public GLDeviceTest {
protected:
    void SetUp() override {
        GLDeviceTest::SetUp();
        ASSERT_TRUE(GR_D3D_Start_Frame());
        ASSERT_TRUE(Graphics::SaveRenderTarget());
        InitGraphicFunctions();
        Call("draw_set_alpha", {1.0});
        g_transRoomExtents[0] = g_transRoomExtents[1] = 0;
        g_transRoomExtents[2] = g_transRoomExtents[3] = 1000;
        g_transRoomExtentsDirty = false;
        room.m_width = 640;
        room.m_height = 360;
        Run_Room = &room;

        std::vector<uint8_t> rgba(16 * 4 * 4, 0);
        const uint32_t solid[] = {kGreen, kBlue, kYellow};
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                const uint32_t quadrant[2][2] = {{kRed, kGreen}, {kBlue, kWhite}};
                PutPixel(rgba, 16, x, y, quadrant[y / 2][x / 2]);
                for (int f = 1; f < 4; ++f) PutPixel(rgba, 16, f * 4 + x, y, solid[f - 1]);
            }
        }
        quad = Sprite_Add_BIN(rgba.data(), 16, 4, 4, false, false, 0, 0);
        ASSERT_GE(quad, 0);
    }
    void TearDown() override {
        Run_Room = nullptr;
        g_transRoomExtents[2] = g_transRoomExtents[3] = 0;
        g_isNimbar = false;
        FINALIZE_Code_Function();
        Sprite_Free();
        Background_Free();
        GR_Surface_FreeAll();
        while (Graphics::RestoreRenderTarget()) {
        }
        GR_D3D_Finish_Frame(false);
        GLDeviceTest::TearDown();
        GR_Texture_Init();
    }

    // A fresh 16 × 16 surface cleared to opaque black, made the target.
    int Target() {
        int s = static_cast<int>(Call("surface_create", {16, 16}).val);
        EXPECT_GE(s, 0);
        EXPECT_EQ(Call("surface_set_target", {s}).val, 1);
        Call("draw_clear_alpha", {0, 1.0});
        return s;
    }
    // Resets the target and reads a pixel of the surface.
    uint32_t Pixel(int s, int x, int y) {
        return static_cast<uint32_t>(Call("surface_getpixel", {s, x, y}).val);
    }
    void Done() { Call("surface_reset_target"); }

    CRoom room;
    int quad = -1;
};

TEST_F(SpriteDrawing, SpritesDrawIntoSurfacesAndReadBack) {
    int s = Target();
    EXPECT_EQ(Call("draw_sprite", {quad, 0, 0.0, 0.0}).Kind(), VALUE_UNDEFINED)
        << "drawing answers undefined";
    Call("draw_sprite", {quad, 7, 4.0, 0.0}); // 7 of 4 frames: frame 3
    // Scaled twice and tinted: white becomes the tint, red (no green) goes black.
    Call("draw_sprite_ext", {quad, 0, 8.0, 0.0, 2.0, 2.0, 0.0, 0x00FF00, 1.0});
    Call("draw_sprite_stretched", {quad, 2, 0.0, 8.0, 8.0, 8.0});
    Done();
    EXPECT_EQ(Pixel(s, 0, 0), kRed);
    EXPECT_EQ(Pixel(s, 3, 0), kGreen);
    EXPECT_EQ(Pixel(s, 0, 3), kBlue);
    EXPECT_EQ(Pixel(s, 3, 3), kWhite);
    EXPECT_EQ(Pixel(s, 5, 1), kYellow) << "frames wrap";
    EXPECT_EQ(Pixel(s, 9, 1), 0u);
    EXPECT_EQ(Pixel(s, 14, 1), kGreen);
    EXPECT_EQ(Pixel(s, 14, 6), kGreen) << "white times the tint";
    EXPECT_EQ(Pixel(s, 9, 6), 0u) << "blue times green";
    EXPECT_EQ(Pixel(s, 7, 15), kBlue) << "stretched to 8 × 8";
    EXPECT_EQ(Pixel(s, 9, 15), 0u);
}

TEST_F(SpriteDrawing, PartGeneralPosAndTiledForms) {
    int s = Target();
    // The green quadrant alone, then the white one scaled up.
    Call("draw_sprite_part", {quad, 0, 2.0, 0.0, 2.0, 2.0, 0.0, 0.0});
    Call("draw_sprite_part_ext", {quad, 0, 2.0, 2.0, 2.0, 2.0, 4.0, 0.0, 2.0, 2.0, 0xFFFFFF, 1.0});
    Call("draw_sprite_general",
         {quad, 0, 0.0, 2.0, 2.0, 2.0, 8.0, 0.0, 2.0, 2.0, 0.0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 1.0});
    // Four corners spanning 12..16 × 0..4; the frame as given: -1 is the last.
    Call("draw_sprite_pos", {quad, -1, 12.0, 0.0, 16.0, 0.0, 16.0, 4.0, 12.0, 4.0, 1.0});
    Done();
    EXPECT_EQ(Pixel(s, 0, 0), kGreen);
    EXPECT_EQ(Pixel(s, 1, 1), kGreen);
    EXPECT_EQ(Pixel(s, 2, 0), 0u) << "only the part";
    EXPECT_EQ(Pixel(s, 4, 0), kWhite);
    EXPECT_EQ(Pixel(s, 7, 3), kWhite);
    EXPECT_EQ(Pixel(s, 8, 0), kBlue);
    EXPECT_EQ(Pixel(s, 11, 3), kBlue);
    EXPECT_EQ(Pixel(s, 13, 2), kYellow);

    int t = Target();
    Call("draw_sprite_tiled", {quad, 1, 2.0, 2.0});
    Done();
    for (auto [x, y] : {std::pair{0, 0}, {15, 15}, {7, 9}})
        EXPECT_EQ(Pixel(t, x, y), kGreen) << x << "," << y;
}

TEST_F(SpriteDrawing, NegativeFramesFollowTheCallingInstance) {
    auto instance = std::make_unique<CInstance>(0, 0, 100001, -1, false);
    CInstance& self = *instance;
    self.i_spriteindex = quad;
    struct Case {
        float imageIndex;
        uint32_t colour;
    };
    // 2.7 draws frame 2; -0.5 rounds down to -1, the last frame.
    for (Case c : {Case{2.7f, kBlue}, Case{-0.5f, kYellow}, Case{1.0f, kGreen}}) {
        SCOPED_TRACE(c.imageIndex);
        self.i_imageindex = c.imageIndex;
        int s = Target();
        Call("draw_sprite", {quad, -1, 4.0, 4.0}, &self);
        Done();
        EXPECT_EQ(Pixel(s, 5, 5), c.colour);
    }
    // The fast path truncates: -0.5 is frame 0 (red in its top-left quadrant).
    self.i_imageindex = -0.5f;
    int s = Target();
    ZQVTL_draw_sprite(&self, quad, -1, 0.0f, 0.0f);
    ZQVTL_draw_sprite_ext(&self, quad, 2, 4.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0xFFFFFF, 1.0f);
    ZQVTL_draw_sprite_part(&self, quad, 0, 2.0f, 2.0f, 2.0f, 2.0f, 8.0f, 0.0f);
    Done();
    EXPECT_EQ(Pixel(s, 0, 0), kRed);
    EXPECT_EQ(Pixel(s, 5, 1), kBlue);
    EXPECT_EQ(Pixel(s, 8, 0), kWhite);
}

TEST_F(SpriteDrawing, DrawSelfUsesTheInstanceSettings) {
    auto self = std::make_unique<CInstance>(6, 6, 100001, -1, false);
    self->i_spriteindex = quad;
    self->i_imageindex = 1.9f; // frame 1, green
    self->i_imagescalex = self->i_imagescaley = 2.0f;
    self->i_imageblend = 0x00FFFF; // green stays green
    int s = Target();
    Call("draw_self", {}, self.get());
    Done();
    EXPECT_EQ(Pixel(s, 6, 6), kGreen);
    EXPECT_EQ(Pixel(s, 13, 13), kGreen);
    EXPECT_EQ(Pixel(s, 14, 14), 0u) << "8 × 8 from (6, 6)";
    EXPECT_EQ(Pixel(s, 5, 5), 0u);

    self->i_imageblend = 0xFFFFFF;
    self->i_imagescalex = self->i_imagescaley = 1.0f;
    self->i_imageindex = 3;
    s = Target();
    ZQVTL_draw_self(self.get());
    Done();
    EXPECT_EQ(Pixel(s, 6, 6), kYellow);
    EXPECT_EQ(Pixel(s, 10, 10), 0u);

    ErrorCapture errors;
    self->i_spriteindex = 99;
    Call("draw_self", {}, self.get());
    EXPECT_TRUE(errors.ShownContains("Trying to draw non-existing sprite."));
}

TEST_F(SpriteDrawing, MissingSpritesAndRefusedKindsDrawNothing) {
    ErrorCapture errors;
    int s = Target();
    const std::vector<std::pair<const char*, std::vector<ZQRValue>>> calls = {
        {"draw_sprite", {99, 0, 0.0, 0.0}},
        {"draw_sprite_ext", {99, 0, 0.0, 0.0, 1.0, 1.0, 0.0, 0xFFFFFF, 1.0}},
        {"draw_sprite_pos", {-1, 0, 0.0, 0.0, 4.0, 0.0, 4.0, 4.0, 0.0, 4.0, 1.0}},
        {"draw_sprite_stretched", {99, 0, 0.0, 0.0, 4.0, 4.0}},
        {"draw_sprite_part", {99, 0, 0.0, 0.0, 4.0, 4.0, 0.0, 0.0}},
        {"draw_sprite_tiled", {99, 0, 0.0, 0.0}},
        {"draw_shape", {99, 0, 0, 0, 0.0, 0.0, 0.0, 0.0, 0.0, 0, 0, 0.0}},
    };
    for (const auto& [name, args] : calls) {
        errors.Clear();
        Call(name, args);
        EXPECT_TRUE(LastShows(errors, "Trying to draw non-existing sprite.")) << name;
    }
    errors.Clear();
    EXPECT_EQ(Call("collision_shape", {99, 0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0}).Kind(), VALUE_UNDEFINED);
    EXPECT_TRUE(errors.ShownContains("Trying to draw non-existing sprite."));
    EXPECT_EQ(Call("collision_shape", {quad, 0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0}).Kind(), VALUE_BOOL);

    Sprite_Data(quad)->m_kind = SPRITE_KIND_VECTOR;
    errors.Clear();
    Call("draw_sprite_part", {quad, 0, 0.0, 0.0, 4.0, 4.0, 0.0, 0.0});
    EXPECT_TRUE(LastShows(errors, "draw_sprite_part: not supported for vector sprites"));
    Sprite_Data(quad)->m_kind = SPRITE_KIND_SKELETON;
    Call("draw_sprite_general",
         {quad, 0, 0.0, 0.0, 4.0, 4.0, 0.0, 0.0, 1.0, 1.0, 0.0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 1.0});
    EXPECT_TRUE(LastShows(errors, "draw_sprite_general: not supported for skeleton based sprites"));
    Call("draw_sprite_pos", {quad, 0, 0.0, 0.0, 4.0, 0.0, 4.0, 4.0, 0.0, 4.0, 1.0});
    EXPECT_TRUE(LastShows(errors, "draw_sprite_pos: not supported for skeleton based sprites"));
    Sprite_Data(quad)->m_kind = SPRITE_KIND_BITMAP;
    ZQVTL_draw_sprite(nullptr, 99, 0, 0.0f, 0.0f);
    EXPECT_EQ(errors.Shown().size(), 3u) << "the fast paths draw nothing without a message";
    Done();
    for (auto [x, y] : {std::pair{0, 0}, {3, 3}, {8, 8}}) EXPECT_EQ(Pixel(s, x, y), 0u);
}

TEST_F(SpriteDrawing, BackgroundsLegacyAndNewGeneration) {
    const int b = Background_AddEmpty();
    ASSERT_TRUE(Background_Data(b)->CreateColor(4, 4, kBlue, true));
    ErrorCapture errors;
    int s = Target();
    Call("draw_background", {b, 0.0, 0.0});
    Call("draw_background_ext", {b, 4.0, 0.0, 2.0, 1.0, 0.0, 0xFF0000, 1.0});
    Call("draw_background_stretched", {b, 12.0, 0.0, 4.0, 8.0});
    Call("draw_background_part", {b, 0.0, 0.0, 2.0, 2.0, 0.0, 8.0});
    Call("draw_background", {b + 5, 8.0, 8.0});
    Done();
    EXPECT_EQ(Pixel(s, 3, 3), kBlue);
    EXPECT_EQ(Pixel(s, 11, 3), kBlue) << "scaled across";
    EXPECT_EQ(Pixel(s, 11, 5), 0u);
    EXPECT_EQ(Pixel(s, 14, 7), kBlue);
    EXPECT_EQ(Pixel(s, 1, 9), kBlue);
    EXPECT_EQ(Pixel(s, 3, 9), 0u) << "a 2 × 2 part";
    EXPECT_EQ(Pixel(s, 9, 9), 0u);
    EXPECT_TRUE(LastShows(errors, "Trying to draw non-existing background."));

    // With new-generation data the index names a sprite, drawn at frame 0.
    g_isNimbar = true;
    errors.Clear();
    int t = Target();
    Call("draw_background", {quad, 0.0, 0.0});
    Call("draw_background_stretched", {quad, 8.0, 0.0, 8.0, 8.0});
    Call("draw_background", {b + 5, 8.0, 8.0});
    Done();
    EXPECT_EQ(Pixel(t, 0, 0), kRed);
    EXPECT_EQ(Pixel(t, 3, 3), kWhite);
    EXPECT_EQ(Pixel(t, 15, 7), kWhite);
    EXPECT_EQ(Pixel(t, 8, 8), 0u);
    EXPECT_TRUE(LastShows(errors, "Trying to draw non-existing background."));
}

TEST_F(SpriteDrawing, DrawPathDrawsItsPolyline) {
    const int p = Path_Add();
    CPath* path = Path_Data(p);
    path->SetClosed(false);
    path->AddPoint(2, 8, 100);
    path->AddPoint(14, 8, 100);
    auto onRow = [&](int s, int x, int y) { return Pixel(s, x, y) == kRed || Pixel(s, x, y - 1) == kRed; };
    Call("draw_set_colour", {static_cast<double>(kRed)});
    int s = Target();
    Call("draw_path", {p, 100.0, 100.0, ZQRValue::FromBool(true)}); // at its own place
    Done();
    EXPECT_TRUE(onRow(s, 8, 8));
    EXPECT_FALSE(onRow(s, 8, 3));
    int t = Target();
    Call("draw_path", {p, 0.0, 3.0, ZQRValue::FromBool(false)}); // its start moved to (0, 3)
    Done();
    EXPECT_TRUE(onRow(t, 6, 3));
    EXPECT_FALSE(onRow(t, 6, 8));
    EXPECT_FALSE(onRow(t, 14, 3)) << "12 long from x 0";

    ErrorCapture errors;
    Call("draw_path", {p + 1, 0.0, 0.0, ZQRValue::FromBool(true)});
    EXPECT_TRUE(LastShows(errors, "Trying to drawn non-existing path."));
}

// The health bar's middle colour is the half-way merge of its ends: at 75 the
// bar is half-way between that and the maximum.
TEST_F(SpriteDrawing, HealthbarBlendsThroughTheHalfwayMerge) {
    int s = Target();
    Call("draw_healthbar", {0.0, 0.0, 16.0, 15.0, 75.0, 0, 0x000000, 0x0000FC, 1, ZQRValue::FromBool(false),
                            ZQRValue::FromBool(false)});
    Done();
    EXPECT_EQ(Pixel(s, 10, 8), 0x0000BDu) << "merge(0x7E, 0xFC, 0.5)";
    EXPECT_EQ(Pixel(s, 2, 8), 0u) << "direction 1 grows from the right";
}

TEST(DrawingPixelHelpers, AlphaForcedAndRedBlueSwapped) {
    std::vector<uint8_t> pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    SetImageALPHA(pixels.data(), 2, 1);
    EXPECT_EQ(pixels, (std::vector<uint8_t>{1, 2, 3, 255, 5, 6, 7, 255, 9, 10, 11, 12}))
        << "only width × height";
    ImageBGRAtoRGBA(pixels.data(), 1, 3);
    EXPECT_EQ(pixels, (std::vector<uint8_t>{3, 2, 1, 255, 7, 6, 5, 255, 11, 10, 9, 12}));
    SetImageALPHA(pixels.data(), -1, 3);
    ImageBGRAtoRGBA(pixels.data(), 3, 0);
    EXPECT_EQ(pixels[0], 3) << "a non-positive size touches nothing";
}

} // namespace
