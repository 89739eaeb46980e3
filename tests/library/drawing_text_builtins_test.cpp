// The text built-ins through the function table: each drawing form renders
// into a surface where pixel probes find the glyphs, the compiled fast paths
// render the same pixels, a text argument of any kind draws its text form,
// and the measuring built-ins size multi-line text.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/run_globals.h"
#include "drawing_fixture.h"
#include "error_capture.h"
#include "gl_device_fixture.h"
#include "library/drawing_builtins.h"
#include "library/drawing_helpers.h"
#include "library/drawing_text_builtins.h"
#include "render/draw_primitives.h"
#include "render/render_target.h"
#include "render/surface.h"
#include "render/view.h"
#include "sprites/text.h"
#include "world/run/startup_services.h"

namespace {

constexpr int kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF;

using Pixels = std::vector<uint32_t>; // 0xBBGGRR, rows from the top
constexpr int kSide = 32;             // the surfaces' size

uint32_t At(const Pixels& p, int x, int y) {
    return p[static_cast<size_t>(y * kSide + x)];
}
int Red(uint32_t c) {
    return static_cast<int>(c & 0xFF);
}
int Blue(uint32_t c) {
    return static_cast<int>(c >> 16 & 0xFF);
}

class TextOnSurface : public GLDeviceTest {
protected:
    void SetUp() override {
        GLDeviceTest::SetUp();
        ASSERT_TRUE(GR_D3D_Start_Frame());
        ASSERT_TRUE(Graphics::SaveRenderTarget());
        InitGraphicFunctions();
        ASSERT_TRUE(game.Load());
        Call("draw_set_alpha", {1.0});
        Call("draw_set_colour", {kWhite});
        Call("draw_set_font", {0});
    }
    void TearDown() override {
        FINALIZE_Code_Function();
        GR_Surface_FreeAll();
        while (Graphics::RestoreRenderTarget()) {
        }
        GR_D3D_Finish_Frame(false);
        GLDeviceTest::TearDown();
        GR_Texture_Init();
    }

    // What `draw` leaves on a fresh surface of the context's size, cleared to
    // opaque black.
    Pixels Render(const std::function<void()>& draw) {
        const int s = static_cast<int>(DrawNum(Call("surface_create", {kSide, kSide})));
        EXPECT_EQ(DrawNum(Call("surface_set_target", {s})), 1);
        Call("draw_clear_alpha", {0, 1.0});
        draw();
        Call("surface_reset_target");
        Pixels out;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                out.push_back(static_cast<uint32_t>(DrawNum(Call("surface_getpixel", {s, x, y}))));
        Call("surface_free", {s});
        return out;
    }
    Pixels RenderCall(const char* name, std::vector<ZQRValue> args) {
        return Render([&] { EXPECT_EQ(Call(name, args).Kind(), VALUE_UNDEFINED) << name; });
    }

    DrawingGame game;
};

// The writer's font: 'A' an opaque 4 × 8 block advancing 5, 'B' transparent.
// Each form is drawn through the table and, where compiled code has a fast
// path, through that too: the two must leave the same pixels.
TEST_F(TextOnSurface, EachFormDrawsWhereItsArgumentsSay) {
    struct Case {
        const char* name;
        std::vector<ZQRValue> args;
        std::function<void()> fast; // none: no fast path
        std::function<void(const Pixels&)> check;
    };
    const Case cases[] = {
        {"draw_text",
         {2.0, 2.0, "ABA"},
         [] { ZQVTL_draw_text(2, 2, "ABA"); },
         [](const Pixels& p) {
             EXPECT_EQ(At(p, 3, 5), 0xFFFFFFu);
             EXPECT_EQ(At(p, 8, 5), 0u) << "'B' is transparent";
             EXPECT_EQ(At(p, 13, 9), 0xFFFFFFu) << "the second 'A' after two advances";
             EXPECT_EQ(At(p, 3, 12), 0u) << "one line";
         }},
        {"draw_text_ext",
         {2.0, 2.0, "A\nA", 12, 100},
         nullptr,
         [](const Pixels& p) {
             EXPECT_EQ(At(p, 3, 12), 0u) << "the second line starts 12 below the first";
             EXPECT_EQ(At(p, 3, 20), 0xFFFFFFu);
         }},
        {"draw_text_transformed",
         {2.0, 2.0, "A", 2.0, 2.0, 0.0},
         [] { ZQVTL_draw_text_transformed(2, 2, "A", 2, 2, 0); },
         [](const Pixels& p) {
             EXPECT_EQ(At(p, 8, 15), 0xFFFFFFu) << "twice the size";
             EXPECT_EQ(At(p, 10, 5), 0u);
         }},
        {"draw_text_ext_transformed",
         {2.0, 2.0, "A\nA", 12, 100, 2.0, 1.0, 0.0},
         nullptr,
         [](const Pixels& p) {
             EXPECT_EQ(At(p, 8, 20), 0xFFFFFFu) << "wide, on the second line";
             EXPECT_EQ(At(p, 10, 20), 0u);
             EXPECT_EQ(At(p, 8, 12), 0u);
         }},
        {"draw_text_colour",
         {2.0, 2.0, "A", kRed, kRed, kBlue, kBlue, 1.0},
         [] { ZQVTL_draw_text_color(2, 2, "A", kRed, kRed, kBlue, kBlue, 1); },
         [](const Pixels& p) {
             EXPECT_GT(Red(At(p, 3, 2)), Blue(At(p, 3, 2))) << "colours 1 and 2 along the top";
             EXPECT_GT(Blue(At(p, 3, 9)), Red(At(p, 3, 9))) << "colours 3 and 4 along the bottom";
         }},
        {"draw_text_color",
         {2.0, 2.0, "A", kRed, kBlue, kBlue, kRed, 1.0},
         [] { ZQVTL_draw_text_color(2, 2, "A", kRed, kBlue, kBlue, kRed, 1); },
         [](const Pixels& p) {
             EXPECT_GT(Red(At(p, 2, 5)), Blue(At(p, 2, 5))) << "colours 1 and 4 down the left";
             EXPECT_GT(Blue(At(p, 5, 5)), Red(At(p, 5, 5))) << "colours 2 and 3 down the right";
         }},
        {"draw_text_transformed_colour",
         {2.0, 2.0, "A", 2.0, 2.0, 0.0, kRed, kRed, kBlue, kBlue, 1.0},
         [] { ZQVTL_draw_text_transformed_color(2, 2, "A", 2, 2, 0, kRed, kRed, kBlue, kBlue, 1); },
         [](const Pixels& p) {
             EXPECT_GT(Red(At(p, 8, 2)), Blue(At(p, 8, 2)));
             EXPECT_GT(Blue(At(p, 8, 17)), Red(At(p, 8, 17))) << "the bottom of a glyph twice as tall";
         }},
        {"draw_text_ext_colour",
         {2.0, 2.0, "A\nA", 12, 100, kGreen, kGreen, kGreen, kGreen, 1.0},
         [] { ZQVTL_draw_text_ext_color(2, 2, "A\nA", 12, 100, kGreen, kGreen, kGreen, kGreen, 1); },
         [](const Pixels& p) {
             EXPECT_EQ(At(p, 3, 20), static_cast<uint32_t>(kGreen));
             EXPECT_EQ(At(p, 3, 12), 0u);
         }},
        {"draw_text_ext_transformed_colour",
         {2.0, 2.0, "A\nA", 12, 100, 2.0, 1.0, 0.0, kGreen, kGreen, kGreen, kGreen, 0.5},
         [] {
             ZQVTL_draw_text_ext_transformed_color(2, 2, "A\nA", 12, 100, 2, 1, 0, kGreen, kGreen, kGreen,
                                                   kGreen, 0.5f);
         },
         [](const Pixels& p) {
             const uint32_t half = At(p, 8, 20);
             EXPECT_NEAR(static_cast<int>(half >> 8 & 0xFF), 128, 2) << "half alpha over black";
             EXPECT_EQ(half & 0xFF00FFu, 0u);
             EXPECT_EQ(At(p, 10, 20), 0u);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Pixels table = RenderCall(c.name, c.args);
        c.check(table);
        if (c.fast) {
            EXPECT_TRUE(table == Render(c.fast)) << "the fast path draws the same pixels";
        }
    }
}

TEST_F(TextOnSurface, SettersChooseFontAndAlignment) {
    EXPECT_EQ(Call("draw_set_halign", {2}).Kind(), VALUE_UNDEFINED);
    Call("draw_set_valign", {1});
    EXPECT_EQ(GR_Text_Get_HAlign(), 2);
    EXPECT_EQ(GR_Text_Get_VAlign(), 1);
    ZQVTL_draw_set_halign(7);
    EXPECT_EQ(GR_Text_Get_HAlign(), 0) << "unknown alignments are left";
    // Right-aligned at x 20: the one 'A' covers 15..18.
    Call("draw_set_halign", {2});
    Call("draw_set_valign", {0});
    const Pixels right = RenderCall("draw_text", {20.0, 2.0, "A"});
    EXPECT_EQ(At(right, 16, 5), 0xFFFFFFu);
    EXPECT_EQ(At(right, 21, 5), 0u);
    ZQVTL_draw_set_font(42);
    EXPECT_EQ(GR_Text_Get_Font(), -1) << "a missing font leaves the default one";
    Call("draw_set_font", {0});
    EXPECT_EQ(GR_Text_Get_Font(), 0);
}

// The text argument may be of any kind: it draws as its text form would.
TEST_F(TextOnSurface, TextArgumentsOfEveryKindDrawTheirTextForm) {
    Call("draw_set_font", {-1}); // the embedded font, which has digits and letters
    ZQRValue array;
    CreateArray(&array, 2, 1.0, 2.0);
    struct Case {
        ZQRValue value;
        const char* text;
    };
    const Case cases[] = {
        {12.5, "12.50"},
        {ZQRValue(), "undefined"},
        {array, "{ { 1,2 },  }"},
        {ZQRValue::FromInt64(-7), "-7"},
        {ZQRValue::FromBool(true), "1"},
        {"Hi", "Hi"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Pixels drawn = RenderCall("draw_text", {1.0, 1.0, c.value});
        EXPECT_TRUE(drawn == Render([&] { ZQVTL_draw_text(1, 1, c.text); }));
        EXPECT_FALSE(drawn == Render([] {})) << "something was drawn";
    }
    EXPECT_FALSE(Render([] { ZQVTL_draw_text(1, 1, "12.50"); }) ==
                 Render([] { ZQVTL_draw_text(1, 1, "12.60"); }))
        << "the comparison sees one character's difference";
}

// Nothing caps a text at the first buffer's size: a line break after 1500
// characters still shows.
TEST_F(TextOnSurface, LongTextsDrawWhole) {
    const std::string text = std::string(1500, 'B') + "\nA";
    const Pixels table = RenderCall("draw_text", {2.0, 2.0, text.c_str()});
    EXPECT_EQ(At(table, 3, 12), 0xFFFFFFu);
    EXPECT_TRUE(table == Render([&] { ZQVTL_draw_text(2, 2, text.c_str()); }));
}

TEST_F(TextOnSurface, MeasuresOfMultiLineText) {
    ErrorCapture errors;
    struct Case {
        const char* name;
        std::vector<ZQRValue> args;
        double expected;
    };
    const Case cases[] = {
        {"string_width", {"AB\nA"}, 10},
        {"string_height", {"A\nA\nA"}, 24},
        {"string_width_ext", {"AB\nA", -1, -1}, 10},
        {"string_height_ext", {"A\nA\nA", -1, -1}, 24},
        {"string_height_ext", {"A\nA", 20, -1}, 28},
        {"string_width", {""}, 0},
        {"string_height", {"A#A"}, 8}, // new-generation data: '#' is no line break
    };
    for (const Case& c : cases) EXPECT_EQ(DrawNum(Call(c.name, c.args)), c.expected) << c.name;
    EXPECT_EQ(errors.Count(), 0);

    Call("draw_set_font", {-1});
    EXPECT_EQ(DrawNum(Call("string_width", {12})), DrawNum(Call("string_width", {"12"})));
    EXPECT_GT(DrawNum(Call("string_width", {12})), 0);

    ZQRValue array;
    CreateArray(&array, 1, 1.0);
    Call("string_width", {array});
    EXPECT_EQ(errors.Count(), 1) << "a measure's argument must have a string form";
}

TEST_F(TextOnSurface, RowsHaveHandlersAndSpellingsShareThem) {
    for (const char* handler :
         {"F_DrawSetFont", "F_StringWidthExt", "F_DrawText", "F_DrawTextExtTransformedColor"})
        EXPECT_TRUE(DrawingBuiltin_Built(handler)) << handler;
    auto routine = [](const char* name) { return the_functions[Function_Find(name)].f_routine; };
    for (const char* base : {"draw_text_color", "draw_text_transformed_color", "draw_text_ext_color",
                             "draw_text_ext_transformed_color"}) {
        const std::string british = std::string(base, std::strlen(base) - 5) + "colour";
        EXPECT_EQ(routine(base), routine(british.c_str())) << base;
    }
}

} // namespace
