// The window's sizing rules as pure functions (a table of edge cases), and on
// a real X display (Xvfb) the header's options and the full-screen switch of
// the display reset.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <string>

#include "core/header_globals.h"
#include "platform/gl_view.h"
#include "platform/runner_app.h"
#include "platform/window.h"
#include "world/run/main_loop.h"
#include "world/run/startup_services.h"
#include "xvfb_rerun.h"

namespace {

TEST(WindowSizing, TheRoomIsShrunkToTheScreenKeepingItsAspectAndNeverEnlarged) {
    const struct {
        double roomW, roomH, visibleW, visibleH, w, h;
    } cases[] = {
        {1280, 720, 1440, 877 - 22, 1280, 720},  // fits
        {1280, 720, 1024, 768 - 22, 1024, 576},  // too wide
        {600, 1200, 1440, 877 - 22, 427.5, 855}, // too tall
        {2000, 2000, 1000, 800, 800, 800},       // too wide, and then still too tall
        {320, 240, 1920, 1080, 320, 240},        // small: not enlarged
        {1280, 720, 0, 0, 1280, 720},            // no screen known: kept
        {0, 720, 1024, 768, 0, 720},             // an empty room: kept, no division by 0
    };
    for (const auto& c : cases) {
        const SWindowSize size = Window_FitContent(c.roomW, c.roomH, c.visibleW, c.visibleH);
        EXPECT_DOUBLE_EQ(size.width, c.w)
            << c.roomW << "x" << c.roomH << " in " << c.visibleW << "x" << c.visibleH;
        EXPECT_DOUBLE_EQ(size.height, c.h)
            << c.roomW << "x" << c.roomH << " in " << c.visibleW << "x" << c.visibleH;
    }
}

TEST(WindowSizing, ResizeRulesLimitsAndAspectFollowingTheHeight) {
    // Frame 660 x 420 around content 640 x 380: borders 20 wide, 40 high.
    const SResizeRule free{true, true, false, 0, 0, 0, 0, 640, 360};
    const SResizeRule aspect{true, true, true, 0, 0, 0, 0, 640, 360};
    const SResizeRule fixed{true, false, true, 0, 0, 0, 0, 640, 360};
    const SResizeRule beforeSetup{false, false, false, 0, 0, 0, 0, 640, 360};
    const SResizeRule limited{true, true, false, 300, 800, 200, 0, 640, 360};
    const struct {
        const SResizeRule* rule;
        double pw, ph, w, h;
    } cases[] = {
        {&free, 900, 500, 900, 500},
        {&aspect, 900, 440, 400.0 * 640 / 360 + 20, 440}, // content height 400: width 711.1 + border
        {&fixed, 900, 500, 660, 420},                     // not resizable once set up: the frame stays
        {&beforeSetup, 900, 500, 900, 500},               // before the options, any size
        {&limited, 100, 100, 320, 240},                   // the minimums plus the borders
        {&limited, 2000, 3000, 820, 3000},                // width capped, no height maximum
    };
    for (const auto& c : cases) {
        const SWindowSize size = Window_ResizeAnswer(*c.rule, 660, 420, 640, 380, c.pw, c.ph);
        EXPECT_NEAR(size.width, c.w, 1e-9) << c.pw << "x" << c.ph;
        EXPECT_NEAR(size.height, c.h, 1e-9) << c.pw << "x" << c.ph;
    }
}

TEST(WindowSizing, VisibleRectsIntersectOrAreZeroAndAlwaysCarryTheScreen) {
    const double screen[4] = {0, 0, 1920, 1080};
    const double inside[4] = {100, 50, 2500, 900};
    const double outside[4] = {3000, 0, 3500, 100};
    double out[8];
    Window_VisibleRect(inside, screen, out);
    const double expectInside[8] = {100, 50, 1920, 900, 0, 0, 1920, 1080};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(out[i], expectInside[i]) << i;
    Window_VisibleRect(outside, screen, out);
    const double expectOutside[8] = {0, 0, 0, 0, 0, 0, 1920, 1080};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(out[i], expectOutside[i]) << i;
}

TEST(WindowEntryPoints, TheFullScreenWishAsksForAResetAndTheCursorChoiceIsKept) {
    GR_Window_Set_FullScreen(true);
    EXPECT_TRUE(GR_Window_Get_FullScreen());
    EXPECT_EQ(g_DoReset, 1);
    GR_Window_Set_Cursor(-1);
    EXPECT_EQ(GR_Window_Get_Cursor(), -1);
    // Without a window the display reset changes the wish of nobody.
    GraphicsResetM();
    EXPECT_TRUE(GR_Window_Get_FullScreen());
    EXPECT_FALSE(Window_IsFullScreen());
    g_DoReset = 0;
}

TEST(WindowEntryPoints, TheCaptionChangesOnlyForCaptionSettingToolsOrWhenForced) {
    const std::string before = Platform_DisplayedGameName();
    struct Case {
        int ideVersion;
        bool force;
        bool changes;
    };
    for (const Case c : {Case{0, false, false}, Case{1, false, false}, Case{2, false, true}, Case{3, false, true},
                         Case{0, true, true}}) {
        g_IDE_Version = c.ideVersion;
        PropagateGameName(before.c_str());
        GR_Window_Set_CaptionM("\"Caption\"", c.force);
        EXPECT_EQ(Platform_DisplayedGameName(), c.changes ? "Caption" : before) << c.ideVersion << " " << c.force;
    }
    g_IDE_Version = 0;
    PropagateGameName(before.c_str());
}

// ---------------------------------------------------------------------------
// On Xvfb: this program runs itself once more on a virtual X display with
// only the test below, which is skipped in every other run.

TEST(FullScreenOnX, Inner) {
    if (!InXvfbRun()) GTEST_SKIP() << "run by FullScreenOnX.SwitchesByTheDisplayReset";
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    ASSERT_STREQ(SDL_GetCurrentVideoDriver(), "x11");
    {
        ZQGLView view;
        const char* error = "";
        ASSERT_TRUE(view.Create(320, 240, "full screen", &error)) << error;
        SDL_Window* window = view.Window();
        g_InitialScreenFlags = kScreenResizable | kScreenShowCursor;
        CreateDesktopWindow(320, 240);
        EXPECT_TRUE(PassedInitialSetup);
        EXPECT_NE(SDL_GetWindowFlags(window) & SDL_WINDOW_RESIZABLE, 0u);
        view.SetHidden(false);
        ASSERT_TRUE(WindowSizeBecomes(window, 320, 240));
        SDL_Rect screen{};
        ASSERT_EQ(SDL_GetDisplayBounds(0, &screen), 0);

        GR_Window_Set_FullScreen(true);
        GraphicsResetM();
        EXPECT_TRUE(Window_IsFullScreen());
        EXPECT_TRUE(wind_fullscreen);
        EXPECT_TRUE(WindowSizeBecomes(window, screen.w, screen.h)) << screen.w << "x" << screen.h;

        // A room size asked for in full screen waits for the window's return.
        SetWindowSize(400, 300);
        EXPECT_TRUE(g_NeedsResizeAfterFullScreen);
        EXPECT_EQ(g_InitialScreenSizeX, 400);

        GR_Window_Set_FullScreen(false);
        GraphicsResetM();
        EXPECT_FALSE(Window_IsFullScreen());
        EXPECT_FALSE(wind_fullscreen);
        EXPECT_TRUE(WindowSizeBecomes(window, 400, 300));

        // Without the resizable bit the wish is recorded and the window stays.
        g_InitialScreenFlags = kScreenShowCursor;
        setWindowOptions();
        EXPECT_EQ(SDL_GetWindowFlags(window) & SDL_WINDOW_RESIZABLE, 0u);
        GR_Window_Set_FullScreen(true);
        GraphicsResetM();
        EXPECT_TRUE(wind_fullscreen);
        EXPECT_FALSE(Window_IsFullScreen());

        // Full screen at start is the game's choice: no resizable bit needed.
        // The built-in splash replaces the view's.
        SDL_SetWindowFullscreen(window, 0);
        wind_fullscreen = false;
        g_InitialScreenFlags = kScreenStartFullScreen | kScreenBuiltInSplash;
        Mac_RunnerAppDelegate app;
        app.ApplyHeaderScreenFlags();
        EXPECT_TRUE(Window_IsFullScreen());
        EXPECT_TRUE(wind_fullscreen);
        EXPECT_EQ(view.splash().width, 160);
        EXPECT_EQ(view.splash().height, 90);
        view.Destroy();
    }
    SDL_Quit();
}

TEST(FullScreenOnX, SwitchesByTheDisplayReset) {
    ExpectPassesOnXvfb("1280x1024x24", "FullScreenOnX.Inner");
}

} // namespace
