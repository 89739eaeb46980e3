// The window scaler, headless but with a window (SDL's offscreen driver):
// the 640 x 360 design scaled by whole multiples into the 1280 x 720
// window, the sizes for other windows and displays, and F switching to
// full screen and back with the scale recomputed from the display; and the
// same switch on a real X display (Xvfb).
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cmath>

#include "core/header_globals.h"
#include "core/real_to_int.h"
#include "game/game_scaler.h"
#include "game_fixture.h"
#include "platform/gl_view.h"
#include "platform/runner_app.h"
#include "platform/window.h"
#include "render/graphics_device.h"
#include "render/surface.h"
#include "room/camera.h"
#include "room/camera_manager.h"
#include "world/step/step_services.h"
#include "xvfb_rerun.h"

namespace {

class Scaler : public GameRun {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        const char* error = "";
        ASSERT_TRUE(m_view.Create(1280, 720, "scaler", &error)) << error;
        g_InitialScreenFlags = kScreenResizable | kScreenShowCursor;
        CreateDesktopWindow(1280, 720);
        macRunnerDelegate = &m_app;
        g_pShellGraphicsReset = GraphicsResetM;
        m_window = true;
        GameRun::SetUp();
        if (HasFatalFailure()) return;
        StartIn(2); // the game room: no key there leaves the room
        m_scaler = The(OBJ_scaler);
        ASSERT_NE(m_scaler, nullptr);
        CInstance* controller = The(OBJ_game_controller);
        ASSERT_NE(controller, nullptr);
        Game_Slot(controller, SLOT_max_enemies) = 0;
        controller->SetTimer(0, -1);
    }
    void TearDown() override {
        GameRun::TearDown();
        if (!m_window) return;
        macRunnerDelegate = nullptr;
        g_pShellGraphicsReset = nullptr;
        m_view.Destroy();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        g_DoReset = 0;
        g_DeviceWidth = g_DeviceHeight = 0;
        g_DisplayWidth = g_DisplayHeight = 0;
    }

    // A step (and its frame, where frames are drawn), then the display reset
    // the main loop makes before the next frame, which frees every surface.
    void StepAndReset(int steps = 1) {
        for (int i = 0; i < steps; ++i) {
            Step();
            if (m_drawFrames) DrawFrame();
            if (g_DoReset != 0) {
                Graphics_FullReset();
                g_DoReset = 0;
            }
        }
    }
    // A frame into the window, as the main loop draws it.
    void DrawFrame() {
        m_view.beginRender(false);
        GR_D3D_Start_Frame();
        Draw_Room();
        GR_D3D_Finish_Frame(true);
        m_view.endRender(true);
    }
    void PressF() {
        PressKey(70);
        StepAndReset();
        ReleaseKey(70);
        g_mac_keysDownEdge[70] = 0;
    }
    double S(int slot) const { return Slot(m_scaler, slot); }
    // The window as the scaler asked for it, fitted into the display
    // (the offscreen driver's display may be smaller than 1280 x 720).
    void ExpectWindowed1280x720() const {
        int w = 0, h = 0;
        SDL_GetWindowSize(m_view.Window(), &w, &h);
        EXPECT_LE(w, 1280);
        EXPECT_EQ(w * 720, h * 1280) << w << " x " << h;
        EXPECT_FALSE(FullScreen());
    }
    // The room's first camera.
    static CCamera* FirstCamera() { return g_CM.GetCamera(Run_Room->m_views[0].camera); }
    bool FullScreen() const { return (SDL_GetWindowFlags(m_view.Window()) & SDL_WINDOW_FULLSCREEN) != 0; }

    void ExpectSizes(double scale, double scaledWidth, double scaledHeight, double appWidth,
                     double appHeight) {
        EXPECT_EQ(S(SLOT_int_scale), scale);
        EXPECT_NEAR(S(SLOT_int_scaled_app_width), scaledWidth, 1e-9);
        EXPECT_NEAR(S(SLOT_int_scaled_app_height), scaledHeight, 1e-9);
        EXPECT_NEAR(S(SLOT_cur_app_width), appWidth, 1e-9);
        EXPECT_NEAR(S(SLOT_cur_app_height), appHeight, 1e-9);
    }

    ZQGLView m_view;
    Mac_RunnerAppDelegate m_app;
    bool m_window = false;
    bool m_drawFrames = false;
    CInstance* m_scaler = nullptr;
};

TEST_F(Scaler, TheDesignIsScaledTwiceIntoTheWindow) {
    ExpectSizes(2, 1280, 720, 640, 360);
    EXPECT_EQ(S(SLOT_view_width), 1280);
    EXPECT_EQ(S(SLOT_view_height), 720);
    EXPECT_EQ(S(SLOT_upscale_surf), -1) << "made by the first Pre-Draw";
    // The camera takes the windowed-mode size, placed so that its top-left
    // 640 x 360, which reaches the window, is the centre of the 960 x 540 room.
    CCamera* camera = FirstCamera();
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->GetViewWidth(), 1280);
    EXPECT_EQ(camera->GetViewHeight(), 720);
    EXPECT_EQ(camera->GetViewX(), 160);
    EXPECT_EQ(camera->GetViewY(), 90);
    StepAndReset(2); // Alarm 1: sized and centred again
    ExpectWindowed1280x720();
}

TEST_F(Scaler, SizesForOtherWindowsAndDisplays) {
    const struct {
        double windowWidth, windowHeight;
        double scale, scaledWidth, scaledHeight, appWidth, appHeight;
    } cases[] = {
        {1280, 720, 2, 1280, 720, 640, 360},
        {1920, 1080, 3, 1920, 1080, 640, 360},
        {2560, 1600, 4, 2560, 1600, 640, 400},
        {1366, 768, 2, 1280, 1280 / (1366.0 / 768), 640, 640 / (1366.0 / 768)},
        {720, 1280, 3, 1080 * (720.0 / 1280), 1080, 360 * (720.0 / 1280), 360}, // not wider than high
        {600, 400, 1, 640, 640 / 1.5, 640, 640 / 1.5}, // narrower than the design: never a scale of 0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.windowWidth << " x " << c.windowHeight);
        Game_Slot(m_scaler, SLOT_cur_window_width) = c.windowWidth;
        Game_Slot(m_scaler, SLOT_cur_window_height) = c.windowHeight;
        Game_ScalerSizes(m_scaler, m_scaler);
        ExpectSizes(c.scale, c.scaledWidth, c.scaledHeight, c.appWidth, c.appHeight);
    }
}

TEST_F(Scaler, FSwitchesToFullScreenAndBackWithTheScaleRecomputed) {
    SDL_DisplayMode mode{};
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &mode), 0) << SDL_GetError();
    StepAndReset(3);

    PressF();
    EXPECT_TRUE(FullScreen()) << "switched by the display reset after the key's step";
    EXPECT_EQ(S(SLOT_int_scale), 2) << "recomputed one step after the key";
    StepAndReset();
    EXPECT_EQ(S(SLOT_cur_window_width), mode.w);
    EXPECT_EQ(S(SLOT_cur_window_height), mode.h);
    const double aspect = static_cast<double>(mode.w) / mode.h;
    const double scale = std::max(1.0, aspect <= 1 ? std::floor(mode.h / 360.0) : std::floor(mode.w / 640.0));
    EXPECT_EQ(S(SLOT_int_scale), scale);
    // The window is resized 5 steps later where os_type is 1, 2 steps later
    // (and once at once) where it is 0 or 6; set in the alarm pass before
    // Alarm 1's turn, the alarm has counted this step already.
    const int osType = Game_Get(m_scaler, VAR_os_type).ToInt32();
    EXPECT_EQ(Alarm(m_scaler, 1), (osType == 1 ? 5 : 2) - 1) << "os_type " << osType;

    PressF();
    EXPECT_FALSE(FullScreen());
    StepAndReset();
    EXPECT_EQ(S(SLOT_cur_window_width), 1280);
    ExpectSizes(2, 1280, 720, 640, 360);
    StepAndReset(5); // Alarm 1
    ExpectWindowed1280x720();
}

// ---------------------------------------------------------------------------
// On Xvfb, a 1920 x 1080 screen: three times the design across where the
// window takes two, so the scale shown follows the display. The window is
// shown, as the game's is, and the X server sizes it when it gets to it.

class ScalerOnX : public Scaler {
protected:
    void SetUp() override {
        if (!InXvfbRun()) return;
        m_gl.ReleaseCurrent(); // the window's context is X's (GLX)
        Scaler::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_STREQ(SDL_GetCurrentVideoDriver(), "x11");
        m_view.SetHidden(false);
        ASSERT_TRUE(WindowIs(1280, 720));
        // The application surface at the window's size, as the run's
        // start-up sets it (the headless start leaves it unset).
        g_ApplicationWidth = 1280;
        g_ApplicationHeight = 720;
        m_drawFrames = true;
    }
    void TearDown() override {
        if (InXvfbRun()) Scaler::TearDown();
    }
    bool WindowIs(int w, int h) const { return WindowSizeBecomes(m_view.Window(), w, h); }
    // The last frame's: the window's drawable and the scaled picture (the
    // scaler's surface, made by a Pre-Draw after the switch's reset freed
    // it) fill the window; the application surface holds the room 1:1 at
    // the windowed size in both modes.
    void ExpectFrameSize(int w, int h) {
        EXPECT_EQ(g_DeviceWidth, w);
        EXPECT_EQ(g_DeviceHeight, h);
        const int surface = RealToInt32(S(SLOT_upscale_surf));
        EXPECT_EQ(GR_Surface_Get_Width(surface), w);
        EXPECT_EQ(GR_Surface_Get_Height(surface), h);
        EXPECT_EQ(GR_Surface_Get_Width(g_ApplicationSurface), 1280);
        EXPECT_EQ(GR_Surface_Get_Height(g_ApplicationSurface), 720);
    }
};

TEST_F(ScalerOnX, Inner) {
    if (!InXvfbRun()) GTEST_SKIP() << "run by ScalerOnX.FTogglesFullScreenAndTheScaleFollowsTheDisplay";
    StepAndReset(3);

    PressF();
    EXPECT_TRUE(FullScreen());
    EXPECT_TRUE(WindowIs(1920, 1080));
    StepAndReset(); // Alarm 0
    EXPECT_EQ(S(SLOT_cur_window_width), 1920);
    EXPECT_EQ(S(SLOT_cur_window_height), 1080);
    ExpectSizes(3, 1920, 1080, 640, 360);
    ExpectFrameSize(1920, 1080);
    StepAndReset(5); // Alarm 1 asks for the display's size: the window stays full screen
    EXPECT_TRUE(FullScreen());
    EXPECT_TRUE(WindowIs(1920, 1080));

    PressF();
    EXPECT_FALSE(FullScreen());
    StepAndReset();
    ExpectSizes(2, 1280, 720, 640, 360);
    StepAndReset(5);
    EXPECT_FALSE(FullScreen());
    EXPECT_TRUE(WindowIs(1280, 720));
    ExpectFrameSize(1280, 720);
}

TEST_F(ScalerOnX, FTogglesFullScreenAndTheScaleFollowsTheDisplay) {
    ExpectPassesOnXvfb("1920x1080x24", "ScalerOnX.Inner");
}

} // namespace
