// The window built-ins reach the SDL window (SDL's offscreen driver): size,
// position, limits, caption and the full-screen switch of the display reset,
// and the display queries answer from SDL's displays.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/arguments.h"
#include "core/function_table.h"
#include "core/header_globals.h"
#include "core/zq_rvalue.h"
#include "function_call.h"
#include "platform/gl_view.h"
#include "platform/runner_app.h"
#include "platform/window.h"
#include "render/graphics_device.h"
#include "world/run/main_loop.h"
#include "world/run/startup_services.h"

namespace {

class WindowBuiltins : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        const char* error = "";
        ASSERT_TRUE(view_.Create(320, 240, "window built-ins", &error)) << error;
        g_InitialScreenFlags = kScreenResizable | kScreenShowCursor;
        CreateDesktopWindow(320, 240);
        macRunnerDelegate = &app_;
        g_pShellGraphicsReset = GraphicsResetM; // as the running shell installs it
        InitGraphicFunctions();
    }
    void TearDown() override {
        FINALIZE_Code_Function();
        macRunnerDelegate = nullptr;
        g_pShellGraphicsReset = nullptr;
        view_.Destroy();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        g_DoReset = 0;
        g_DeviceWidth = g_DeviceHeight = 0;
        g_DisplayWidth = g_DisplayHeight = 0;
    }
    SDL_Window* Window() const { return view_.Window(); }

    ZQGLView view_;
    Mac_RunnerAppDelegate app_;
};

TEST_F(WindowBuiltins, SizePositionAndLimitsReachTheWindow) {
    Call("window_set_size", {400, 300});
    int w = 0, h = 0;
    SDL_GetWindowSize(Window(), &w, &h);
    EXPECT_EQ(w, 400);
    EXPECT_EQ(h, 300);
    EXPECT_EQ(Num(Call("window_get_width")), g_DeviceWidth);
    EXPECT_EQ(Num(Call("window_get_width")), 400) << "the drawable, no high-density scaling here";
    EXPECT_EQ(wind_regionwidth, 400);

    Call("window_set_position", {30, 40});
    int x = 0, y = 0;
    SDL_GetWindowPosition(Window(), &x, &y);
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 40);
    EXPECT_EQ(Num(Call("window_get_x")), 30);
    EXPECT_EQ(Num(Call("window_get_y")), 40);

    Call("window_set_min_width", {200});
    Call("window_set_min_height", {150});
    Call("window_set_max_width", {800});
    Call("window_set_max_height", {600});
    SDL_GetWindowMinimumSize(Window(), &w, &h);
    EXPECT_EQ(w, 200);
    EXPECT_EQ(h, 150);
    SDL_GetWindowMaximumSize(Window(), &w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
}

TEST_F(WindowBuiltins, CaptionBecomesTheWindowTitle) {
    g_IDE_Version = 3;
    Call("window_set_caption", {"Forlan"});
    EXPECT_STREQ(SDL_GetWindowTitle(Window()), "Forlan");
}

TEST_F(WindowBuiltins, FullScreenSwitchesAtTheDisplayReset) {
    Call("window_set_fullscreen", {ZQRValue::FromBool(true)});
    EXPECT_EQ(SDL_GetWindowFlags(Window()) & SDL_WINDOW_FULLSCREEN, 0u) << "only recorded so far";
    EXPECT_EQ(g_DoReset, 1);
    Graphics::GraphicsReset(); // what the main loop's reset runs
    EXPECT_NE(SDL_GetWindowFlags(Window()) & SDL_WINDOW_FULLSCREEN, 0u);
    EXPECT_EQ(Num(Call("window_get_fullscreen")), 1);
    Call("window_set_fullscreen", {ZQRValue::FromBool(false)});
    Graphics::GraphicsReset();
    EXPECT_EQ(SDL_GetWindowFlags(Window()) & SDL_WINDOW_FULLSCREEN, 0u);
    EXPECT_EQ(Num(Call("window_get_fullscreen")), 0);
}

TEST_F(WindowBuiltins, DisplayQueriesAnswerFromSDLsDisplays) {
    SDL_DisplayMode mode{};
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &mode), 0) << SDL_GetError();
    EXPECT_EQ(Num(Call("display_get_width")), mode.w);
    EXPECT_EQ(Num(Call("display_get_height")), mode.h);
    g_DisplayWidth = g_DisplayHeight = 0; // as before any view recorded it
    EXPECT_EQ(Num(Call("display_get_width")), mode.w);

    SDL_Rect bounds{};
    ASSERT_EQ(SDL_GetDisplayBounds(0, &bounds), 0);
    const int displays = SDL_GetNumVideoDisplays();
    ZQRValue far = Call("window_get_visible_rects", {-5000.0, -5000.0, -4000.0, -4000.0});
    ASSERT_EQ(far.Kind(), VALUE_ARRAY);
    ASSERT_EQ(far.pRefArray->m_length, 1);
    const DynamicArrayOfRValue& row = far.pRefArray->m_Array[0];
    ASSERT_EQ(row.length, displays * 8);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(row.arr[i].val, 0) << "no overlap: zeros, slot " << i;
    EXPECT_EQ(row.arr[6].val, bounds.x + bounds.w);
    EXPECT_EQ(row.arr[7].val, bounds.y + bounds.h);

    ZQRValue inside = Call("window_get_visible_rects", {10.0, 20.0, 30.0, 40.0});
    const DynamicArrayOfRValue& first = inside.pRefArray->m_Array[0];
    EXPECT_EQ(first.arr[0].val, 10);
    EXPECT_EQ(first.arr[3].val, 40);
}

} // namespace
