// The display and window built-ins through the function table, with no
// window: fixed answers, settings that round-trip, the pointer through the
// views, and (on the headless context) screen pixels and screen captures.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/arguments.h"
#include "core/function_table.h"
#include "core/header_globals.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "core/run_globals.h"
#include "core/timing.h"
#include "core/zq_rvalue.h"
#include "function_call.h"
#include "gl_device_fixture.h"
#include "library/drawing_builtins.h"
#include "render/graphics_device.h"
#include "render/image_decode.h"
#include "render/render_target.h"
#include "render/shell_services.h"
#include "render/surface.h"
#include "render/window_services.h"
#include "render/window_settings.h"
#include "render/window_views.h"
#include "room/room.h"
#include "room/room_table.h"
#include "world/input/input_state.h"
#include "world/run/main_loop.h"
#include "world/run/startup_services.h"

namespace {

std::string Str(const ZQRValue& v) {
    if (v.Kind() != VALUE_STRING) return "<kind " + std::to_string(v.Kind()) + ">";
    return v.pRefString != nullptr && v.pRefString->Get() != nullptr ? v.pRefString->Get() : "";
}

ZQRValue B(bool b) {
    return ZQRValue::FromBool(b);
}

class DisplayBuiltins : public ::testing::Test {
protected:
    // No window: no drawable either.
    void SetUp() override {
        savedDevice_ = {g_DeviceWidth, g_DeviceHeight};
        g_DeviceWidth = g_DeviceHeight = 0;
        InitGraphicFunctions();
    }
    void TearDown() override {
        FINALIZE_Code_Function();
        g_DeviceWidth = savedDevice_[0];
        g_DeviceHeight = savedDevice_[1];
        g_SleepMargin = 10;
        g_DoReset = 0;
        g_DisplayWidth = g_DisplayHeight = 0;
    }

    std::array<int32_t, 2> savedDevice_{};
};

TEST_F(DisplayBuiltins, FixedAnswersOfThisPlatform) {
    const struct {
        const char* name;
        std::vector<ZQRValue> args;
        double answer;
    } cases[] = {
        {"display_get_colordepth", {}, 32},
        {"display_get_frequency", {}, 60},
        {"display_get_orientation", {}, 0},
        {"display_mouse_get_x", {}, 0},
        {"display_mouse_get_y", {}, 0},
        {"display_test_all", {640, 480, 60, 32}, 1},
        {"display_get_windows_vertex_buffer_method", {}, 0},
        {"display_get_windows_alternate_sync", {}, 0},
        {"display_set_windows_vertex_buffer_method", {1}, 0},
        {"display_set_windows_alternate_sync", {1}, 0},
        {"display_set_ui_visibility", {1}, 0},
        {"window_get_showborder", {}, 0},
        {"window_get_showicons", {}, 0},
        {"window_get_stayontop", {}, 0},
        {"window_get_sizeable", {}, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(Num(Call(c.name, c.args)), c.answer) << c.name;

    // Accepted and ignored: no result, nothing changes.
    for (const char* name : {"window_set_visible", "window_set_showborder", "window_set_showicons",
                             "window_set_stayontop", "window_set_sizeable"})
        EXPECT_EQ(Call(name, {B(false)}).Kind(), VALUE_UNDEFINED) << name;
    EXPECT_EQ(Num(Call("window_get_visible")), 1) << "still visible after window_set_visible(false)";
    EXPECT_EQ(Call("display_mouse_set", {5, 5}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(Num(Call("display_set_size", {800, 600})), 1) << "the reset needs no renderer";
    EXPECT_EQ(Call("window_default").Kind(), VALUE_UNDEFINED);
}

TEST_F(DisplayBuiltins, DisplaySizeIsTheRecordedOneOrAConfiguredDefault) {
    g_DisplayWidth = 1920;
    g_DisplayHeight = 1200;
    EXPECT_EQ(Num(Call("display_get_width")), 1920);
    EXPECT_EQ(Num(Call("display_get_height")), 1200);
    // Nothing recorded and no video: a size to work with, never 0.
    g_DisplayWidth = g_DisplayHeight = 0;
    EXPECT_GT(Num(Call("display_get_width")), 0);
    EXPECT_GT(Num(Call("display_get_height")), 0);
}

TEST_F(DisplayBuiltins, TimingMethodReadsBackAsSetAndOtherValuesChangeNothing) {
    Call("display_set_timing_method", {0});
    EXPECT_TRUE(g_ForceSleepTiming);
    EXPECT_EQ(Num(Call("display_get_timing_method")), 0);
    Call("display_set_timing_method", {2});
    EXPECT_TRUE(g_ForceSleepTiming) << "an unknown method changes nothing";
    Call("display_set_timing_method", {1});
    EXPECT_FALSE(g_ForceSleepTiming);
    EXPECT_EQ(Num(Call("display_get_timing_method")), 1);

    EXPECT_EQ(Call("display_set_sleep_margin", {4}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(Num(Call("display_get_sleep_margin")), 4);
    Call("display_set_sleep_margin", {-1});
    EXPECT_EQ(Num(Call("display_get_sleep_margin")), 4294967295.0) << "read as unsigned";
}

TEST_F(DisplayBuiltins, DisplayResetOnlyAsksAndDrawEventSwitchesAutomaticDrawing) {
    EXPECT_EQ(Call("display_reset", {4, B(true)}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(g_Sync, 1);
    EXPECT_EQ(g_DoReset, 1);
    Call("display_reset", {0, B(false)});
    EXPECT_EQ(g_Sync, 0);

    Call("draw_enable_drawevent", {B(false)});
    EXPECT_FALSE(Draw_Automatic);
    Call("draw_enable_drawevent", {B(true)});
    EXPECT_TRUE(Draw_Automatic);
}

TEST_F(DisplayBuiltins, WindowSettingsRoundTripWithoutAWindow) {
    EXPECT_EQ(Call("window_set_fullscreen", {B(true)}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(Num(Call("window_get_fullscreen")), 1);
    EXPECT_EQ(g_DoReset, 1) << "the switch waits for the display reset";
    Call("window_set_fullscreen", {B(false)});
    EXPECT_EQ(Num(Call("window_get_fullscreen")), 0);

    Call("window_set_cursor", {-1});
    EXPECT_EQ(Num(Call("window_get_cursor")), -1);
    Call("window_set_cursor", {0});
    EXPECT_EQ(Num(Call("window_get_cursor")), 0);

    Call("window_set_colour", {0x123456});
    EXPECT_EQ(g_OutsideViewColour, 0xFF123456u) << "stored with full alpha";
    EXPECT_EQ(Num(Call("window_get_color")), 0x123456);
    Call("window_set_color", {0x654321});
    EXPECT_EQ(Num(Call("window_get_colour")), 0x654321);

    Call("window_set_min_width", {200});
    Call("window_set_max_width", {900});
    Call("window_set_min_height", {100});
    Call("window_set_max_height", {700});
    EXPECT_EQ(g_WindowMinWidth, 200);
    EXPECT_EQ(g_WindowMaxWidth, 900);
    EXPECT_EQ(g_WindowMinHeight, 100);
    EXPECT_EQ(g_WindowMaxHeight, 700);

    // Without a window the size asked for is the size answered.
    Call("window_set_size", {300, 200});
    EXPECT_EQ(Num(Call("window_get_width")), 300);
    EXPECT_EQ(Num(Call("window_get_height")), 200);
    Call("window_set_size", {0, 500});
    EXPECT_EQ(Num(Call("window_get_height")), 200) << "a size of 0 is ignored";
    Call("window_set_rectangle", {10, 20, 320, 240});
    EXPECT_EQ(Num(Call("window_get_width")), 320);
    EXPECT_TRUE(g_DontMoveWindow);
    Call("window_set_position", {5, 5});
    Call("window_center");
    EXPECT_EQ(Num(Call("window_get_x")), 0) << "no window to place";
    EXPECT_EQ(Num(Call("window_get_y")), 0);
}

TEST_F(DisplayBuiltins, CaptionIsTakenOnlyFromCaptionSettingTools) {
    g_IDE_Version = 3;
    Call("window_set_caption", {"Forlan"});
    EXPECT_EQ(Str(Call("window_get_caption")), "Forlan");
    ZQVTL_window_set_caption("Fast");
    EXPECT_EQ(Str(Call("window_get_caption")), "Fast");
    Call("window_set_caption", {""});
    EXPECT_EQ(Str(Call("window_get_caption")), "");
    Call("window_set_caption", {42});
    EXPECT_EQ(Str(Call("window_get_caption")), "42") << "any kind has a text form";
    g_IDE_Version = 1;
    Call("window_set_caption", {"Ignored"});
    EXPECT_EQ(Str(Call("window_get_caption")), "42");
}

TEST_F(DisplayBuiltins, VisibleRectsWithoutDisplaysAreAnEmptyArray) {
    ZQRValue rects = Call("window_get_visible_rects", {0.0, 0.0, 100.0, 100.0});
    ASSERT_EQ(rects.Kind(), VALUE_ARRAY);
    ASSERT_NE(rects.pRefArray, nullptr);
    const int length = rects.pRefArray->m_length > 0 ? rects.pRefArray->m_Array[0].length : 0;
    EXPECT_EQ(length % 8, 0) << "eight values per display";
}

// A legacy room view showing (0, 0, 320, 180) in the port (0, 0, 640, 360)
// of a 640 × 360 window: window pixels are room units doubled.
class WindowMouse : public DisplayBuiltins {
protected:
    void SetUp() override {
        DisplayBuiltins::SetUp();
        saved_ = {g_DeviceWidth,  g_DeviceHeight,     g_ClientWidth,
                  g_ClientHeight, g_ApplicationWidth, g_ApplicationHeight};
        g_DeviceWidth = g_ClientWidth = g_ApplicationWidth = 640;
        g_DeviceHeight = g_ClientHeight = g_ApplicationHeight = 360;
        g_KeepAspectRatio = false;
        room_.m_views[0].visible = true;
        room_.m_views[0].surface = -1;
        GR_Window_View_Define(0, 0, 0, 640, 360, 0, 0, 320, 180, 0, -1, -1);
        g_MousePosX[0] = 100;
        g_MousePosY[0] = 50;
    }
    void TearDown() override {
        Run_Room = nullptr;
        g_DeviceWidth = saved_[0];
        g_DeviceHeight = saved_[1];
        g_ClientWidth = saved_[2];
        g_ClientHeight = saved_[3];
        g_ApplicationWidth = saved_[4];
        g_ApplicationHeight = saved_[5];
        g_MousePosX[0] = g_MousePosY[0] = 0;
        DisplayBuiltins::TearDown();
    }

    CRoom room_;
    std::array<int32_t, 6> saved_{};
};

TEST_F(WindowMouse, WindowAndViewPositionsFollowTheViews) {
    EXPECT_EQ(Num(Call("window_mouse_get_x")), 100);
    EXPECT_EQ(Num(Call("window_mouse_get_y")), 50);
    EXPECT_EQ(Num(Call("window_view_mouse_get_x", {0})), 50);
    EXPECT_EQ(Num(Call("window_view_mouse_get_y", {0})), 25);
    // The same view turned by 90 degrees.
    GR_Window_View_Define(1, 0, 0, 640, 360, 0, 0, 320, 180, 90, -1, -1);
    EXPECT_EQ(Num(Call("window_view_mouse_get_x", {1})), 225);
    EXPECT_EQ(Num(Call("window_view_mouse_get_y", {1})), -20);
    EXPECT_EQ(Num(Call("window_view_mouse_get_x", {5})), 0) << "an undefined view converts nothing";
    EXPECT_EQ(Num(Call("window_view_mouse_get_x", {-1})), 0);

    // No room running: the window position.
    EXPECT_EQ(Num(Call("window_views_mouse_get_x")), 100);
    EXPECT_EQ(Num(Call("window_views_mouse_get_y")), 50);
    Run_Room = &room_;
    EXPECT_EQ(Num(Call("window_views_mouse_get_x")), 50);
    EXPECT_EQ(Num(Call("window_views_mouse_get_y")), 25);
    // The same as the built-in variables' source.
    EXPECT_EQ(Num(Call("window_views_mouse_get_x")), GR_Window_Views_Mouse_Get_X(0));

    // Placing the pointer by room position is accepted and does nothing.
    EXPECT_EQ(Call("window_view_mouse_set", {0, 10, 10}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(Call("window_views_mouse_set", {10, 10}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(Call("window_mouse_set", {10, 10}).Kind(), VALUE_UNDEFINED) << "no window: nothing moves";
    EXPECT_EQ(Num(Call("window_mouse_get_x")), 100);
}

// A frame on the headless context: the window cleared red with a green
// square in the top left, as the screen built-ins read it.
class ScreenCapture : public GLDeviceTest {
protected:
    void SetUp() override {
        GLDeviceTest::SetUp();
        ASSERT_TRUE(GR_D3D_Start_Frame());
        ASSERT_TRUE(Graphics::SaveRenderTarget());
        InitGraphicFunctions();
        wind_regionwidth = wind_regionheight = kSize;
        Call("draw_set_alpha", {1.0});
        Call("draw_clear", {0x0000FF});
        Call("draw_set_colour", {0x00FF00});
        Call("draw_rectangle", {0.0, 0.0, 7.0, 7.0, B(false)});
    }
    void TearDown() override {
        FINALIZE_Code_Function();
        GR_Surface_FreeAll();
        while (Graphics::RestoreRenderTarget()) {
        }
        GR_D3D_Finish_Frame(false);
        GLDeviceTest::TearDown();
        GR_Texture_Init();
        wind_regionwidth = wind_regionheight = 0;
    }

    // The PNG written under `name` in the save area, decoded; false when absent.
    static bool ReadSaved(const char* name, PNGImage& image) {
        int length = 0;
        char* file = LoadSave::ReadSaveFile(name, &length);
        if (file == nullptr) return false;
        const bool ok =
            image.Decode(reinterpret_cast<const uint8_t*>(file), static_cast<size_t>(length), false);
        ZQ_Free(file);
        return ok;
    }
};

TEST_F(ScreenCapture, PixelsReadThroughTheViewBeingDrawn) {
    EXPECT_EQ(Num(Call("draw_getpixel", {2.0, 2.0})), 0x00FF00);
    EXPECT_EQ(Num(Call("draw_getpixel", {20.0, 20.0})), 0x0000FF);
    EXPECT_EQ(Num(Call("draw_getpixel_ext", {20.0, 20.0})), 0xFF0000FFu) << "alpha in the top byte, unsigned";
    // Through a view showing the room from (16, 16): room (18, 18) is window (2, 2).
    GR_Window_View_Define(1, 0, 0, kSize, kSize, 16, 16, kSize, kSize, 0, -1, -1);
    Current_View = 1;
    EXPECT_EQ(Num(Call("draw_getpixel", {18.0, 18.0})), 0x00FF00);
    Current_View = 0;
}

TEST_F(ScreenCapture, SavesAreOpaqueAndPartsClippedToTheRegion) {
    char pattern[] = "/tmp/zq_screen_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string root = pattern;
    LoadSave_SetGameName((root + "/game.ios").c_str());
    LoadSave_SetWorkingDirectory((root + "/").c_str());

    Call("draw_clear_alpha", {0x0000FF, 0.0});
    EXPECT_EQ(Call("screen_save", {"whole.png"}).Kind(), VALUE_UNDEFINED);
    PNGImage whole;
    ASSERT_TRUE(ReadSaved("whole.png", whole));
    EXPECT_EQ(whole.Width(), kSize);
    EXPECT_EQ(whole.Height(), kSize);
    EXPECT_EQ(whole.Pixels()[3], 255) << "alpha forced opaque";
    EXPECT_EQ(whole.Pixels()[0], 255) << "red";

    struct {
        const char* name;
        int x, y, w, h;
        int width, height; // -1: no file
    } const parts[] = {
        {"left.png", -10, 0, 30, 4, 20, 4},
        {"corner.png", kSize - 4, kSize - 2, 10, 10, 4, 2},
        {"outside.png", kSize + 5, 0, 8, 8, -1, -1},
        {"above.png", 0, -20, 8, 10, -1, -1},
        {"huge.png", 2147483000, 0, 2147483000, 4, -1, -1},
    };
    for (const auto& p : parts) {
        Call("screen_save_part", {p.name, p.x, p.y, p.w, p.h});
        PNGImage image;
        if (p.width < 0) {
            EXPECT_FALSE(LoadSave::SaveFileExists(p.name)) << p.name;
            continue;
        }
        ASSERT_TRUE(ReadSaved(p.name, image)) << p.name;
        EXPECT_EQ(image.Width(), p.width) << p.name;
        EXPECT_EQ(image.Height(), p.height) << p.name;
    }
    // A name that leaves the save area writes nothing.
    Call("screen_save", {"../escaped.png"});
    EXPECT_FALSE(std::filesystem::exists(root + "/../escaped.png"));

    LoadSave_SetGameName(nullptr);
    LoadSave_SetWorkingDirectory(nullptr);
    std::filesystem::remove_all(root);
}

TEST_F(ScreenCapture, DisplaySetSizeResetsTheRendererAndFreesEverySurface) {
    const int s = static_cast<int>(Num(Call("surface_create", {8, 8})));
    ASSERT_GE(s, 0);
    EXPECT_EQ(Num(Call("display_set_size", {800, 600})), 1);
    EXPECT_EQ(Num(Call("surface_exists", {s})), 0);
    const int t = static_cast<int>(Num(Call("surface_create", {8, 8})));
    EXPECT_EQ(Num(Call("display_set_all", {800, 600, 60, 32})), 1);
    EXPECT_EQ(Num(Call("surface_exists", {t})), 0);
    EXPECT_EQ(Num(Call("display_set_colordepth", {16})), 1);
    EXPECT_EQ(Num(Call("display_set_frequency", {50})), 1);
}

} // namespace
