// The window views: letterbox rectangle, window/room conversions both ways,
// the view under a point and the pointer getters.
#include <gtest/gtest.h>

#include <array>

#include "core/header_globals.h"
#include "render/graphics_device.h"
#include "render/shell_services.h"
#include "render/window_views.h"
#include "room/room.h"
#include "room/room_table.h"
#include "world/input/input_state.h"

namespace {

class WindowViewsTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = {g_DeviceWidth,  g_DeviceHeight,     g_ClientWidth,
                  g_ClientHeight, g_ApplicationWidth, g_ApplicationHeight};
        savedKeep_ = g_KeepAspectRatio;
        Window(640, 360, 640, 360, false);
        Run_Room = &room_;
    }
    void TearDown() override {
        Run_Room = nullptr;
        g_DeviceWidth = saved_[0];
        g_DeviceHeight = saved_[1];
        g_ClientWidth = saved_[2];
        g_ClientHeight = saved_[3];
        g_ApplicationWidth = saved_[4];
        g_ApplicationHeight = saved_[5];
        g_KeepAspectRatio = savedKeep_;
        g_isNimbar = false;
        g_DisplayScaleX = g_DisplayScaleY = 1.0f;
    }

    static void Window(int dw, int dh, int aw, int ah, bool keep) {
        g_DeviceWidth = g_ClientWidth = dw;
        g_DeviceHeight = g_ClientHeight = dh;
        g_ApplicationWidth = aw;
        g_ApplicationHeight = ah;
        g_KeepAspectRatio = keep;
        g_bUsingAppSurface = true;
    }

    // A visible room view drawn to the screen, and its window view.
    void View(int i, float px, float py, float pw, float ph, float vx, float vy, float vw, float vh,
              float angle = 0, int surface = -1) {
        room_.m_views[i].visible = true;
        room_.m_views[i].surface = surface;
        GR_Window_View_Define(i, px, py, pw, ph, vx, vy, vw, vh, angle, surface, -1);
    }

    CRoom room_;
    std::array<int32_t, 6> saved_{};
    bool savedKeep_ = false;
};

TEST_F(WindowViewsTest, FullScreenRectangleKeepsTheSurfaceAspect) {
    struct {
        int dw, dh;
        bool keep;
        int left, top, right, bottom;
    } const cases[] = {
        {1920, 1080, true, 0, 0, 1920, 1080},
        {1920, 1200, true, 0, 60, 1920, 1140},
        {2000, 1080, true, 40, 0, 1960, 1080},
        {1920, 1200, false, 0, 0, 1920, 1200},
    };
    for (const auto& c : cases) {
        Window(c.dw, c.dh, 640, 360, c.keep);
        int l = -1, t = -1, r = -1, b = -1;
        Get_FullScreenOffset(l, t, r, b);
        EXPECT_EQ(l, c.left) << c.dw << "x" << c.dh;
        EXPECT_EQ(t, c.top) << c.dw << "x" << c.dh;
        EXPECT_EQ(r, c.right) << c.dw << "x" << c.dh;
        EXPECT_EQ(b, c.bottom) << c.dw << "x" << c.dh;
    }
}

TEST_F(WindowViewsTest, LegacyViewConvertsBothWays) {
    struct {
        float angle;
        int roomX, roomY;
    } const cases[] = {{0, 50, 25}, {90, 225, -20}};
    for (const auto& c : cases) {
        View(0, 0, 0, 640, 360, 0, 0, 320, 180, c.angle);
        int rx = 0, ry = 0;
        GR_Window_View_Convert(0, 100, 50, rx, ry);
        EXPECT_EQ(rx, c.roomX) << c.angle;
        EXPECT_EQ(ry, c.roomY) << c.angle;
        int wx = 0, wy = 0;
        GR_Window_View_Convert_World(0, static_cast<float>(c.roomX), static_cast<float>(c.roomY), wx, wy);
        EXPECT_EQ(wx, 100) << c.angle;
        EXPECT_EQ(wy, 50) << c.angle;
    }
}

TEST_F(WindowViewsTest, UnusableViewsWriteNothingOrTheRoundedPoint) {
    int rx = 7, ry = 8;
    GR_Window_View_Convert(3, 100, 50, rx, ry); // undefined
    GR_Window_View_Convert(40, 100, 50, rx, ry);
    GR_Window_View_Define(1, 0, 0, 0, 360, 0, 0, 320, 180, 0, -1, -1); // zero port
    GR_Window_View_Convert(1, 100, 50, rx, ry);
    EXPECT_EQ(rx, 7);
    EXPECT_EQ(ry, 8);
    int wx = 0, wy = 0;
    GR_Window_View_Convert_World(5, 10.5f, 11.6f, wx, wy);
    EXPECT_EQ(wx, 10);
    EXPECT_EQ(wy, 12);
}

TEST_F(WindowViewsTest, HighestIndexWinsAndMissesConvertThroughTheLowest) {
    // Both views cover the left half of the window, each showing another area.
    View(0, 0, 0, 640, 360, 0, 0, 320, 180);
    View(2, 0, 0, 320, 180, 1000, 1000, 160, 90);
    EXPECT_EQ(GR_Window_Views_Get_ID(100, 50), 2);
    int rx = 0, ry = 0;
    GR_Window_Views_Convert(100, 50, rx, ry);
    EXPECT_EQ(rx, 1050);
    EXPECT_EQ(ry, 1025);
    // Outside view 2's port: view 0 takes it.
    EXPECT_EQ(GR_Window_Views_Get_ID(500, 300), 0);
    // A view drawn into a surface never takes the pointer.
    room_.m_views[2].surface = 4;
    EXPECT_EQ(GR_Window_Views_Get_ID(100, 50), 0);
    // Window views beyond the room's eight never take it either.
    GR_Window_View_Define(12, 0, 0, 640, 360, 0, 0, 640, 360, 0, -1, -1);
    EXPECT_EQ(GR_Window_Views_Get_ID(100, 50), 0);
}

TEST_F(WindowViewsTest, PointerOutsideEveryViewConvertsThroughTheLowestTried) {
    View(1, 0, 0, 640, 360, 0, 0, 320, 180);
    View(3, 0, 0, 640, 360, 500, 0, 320, 180);
    // View 3 shows x 500-820: a point converts into it and hits; so check a
    // point that no view area contains: negative window coordinates.
    int rx = 0, ry = 0;
    GR_Window_Views_Convert(-20, -20, rx, ry);
    EXPECT_EQ(rx, -10);
    EXPECT_EQ(ry, -10);
    EXPECT_EQ(GR_Window_Views_Get_ID(-20, -20), -1);
}

TEST_F(WindowViewsTest, PointerGetters) {
    View(0, 0, 0, 640, 360, 0, 0, 320, 180);
    g_MousePosX[1] = 100;
    g_MousePosY[1] = 50;
    EXPECT_EQ(GR_Window_Views_Mouse_Get_X(1), 50);
    EXPECT_EQ(GR_Window_Views_Mouse_Get_Y(1), 25);
    EXPECT_EQ(GR_Window_Views_Mouse_Get_X(10), 0);
    EXPECT_EQ(GR_Window_Views_Mouse_Get_Y(-1), 0);
    Run_Room = nullptr;
    EXPECT_EQ(GR_Window_Views_Mouse_Get_X(1), 100);
    g_MousePosX[1] = g_MousePosY[1] = 0;
}

TEST_F(WindowViewsTest, NoViewsScaleTheWindowOverTheRoom) {
    room_.m_width = 1280;
    room_.m_height = 720;
    Window(2000, 1080, 640, 360, true); // bars of 40 left and right
    int rx = 0, ry = 0;
    GR_Window_Views_Convert(40 + 960, 540, rx, ry);
    EXPECT_EQ(rx, 640);
    EXPECT_EQ(ry, 360);
}

// The letterbox bars are taken off the point in the hit test as in the
// conversion, so a point near a port edge hits the view it converts through.
TEST_F(WindowViewsTest, NewGenerationHitTestHonoursTheBars) {
    g_isNimbar = true;
    Window(2000, 1080, 640, 360, true);
    View(0, 0, 0, 320, 360, 0, 0, 320, 360);
    View(1, 320, 0, 320, 360, 320, 0, 320, 360);
    // Window x 990 is surface x 316 once the 40-pixel bar is off: view 0.
    EXPECT_EQ(GR_Window_Views_Get_ID(990, 500), 0);
    EXPECT_EQ(GR_Window_Views_Get_ID(1010, 500), 1);
}

TEST_F(WindowViewsTest, OutsideColourAndViewCount) {
    GR_Window_Set_Color(0x123456);
    EXPECT_EQ(g_OutsideViewColour, 0xFF123456u);
    EXPECT_EQ(GR_Window_Get_Color(), 0x123456u);
    GR_Window_View_Define(0, 0, 0, 1, 1, 0, 0, 1, 1, 0, -1, -1);
    GR_Window_View_Define(0, 0, 0, 2, 2, 0, 0, 2, 2, 0, -1, -1);
    GR_Window_View_Define(31, 0, 0, 1, 1, 0, 0, 1, 1, 0, -1, -1);
    GR_Window_View_Define(32, 0, 0, 1, 1, 0, 0, 1, 1, 0, -1, -1);
    EXPECT_EQ(_views_count, 2);
    GR_Window_View_UnDefine(0);
    GR_Window_View_UnDefine(0);
    EXPECT_EQ(_views_count, 1);
    EXPECT_EQ(_views[0].portW, 2.0f); // kept after undefining
    INITIALIZE_Graphics_Window();
    EXPECT_EQ(_views_count, 0);
    EXPECT_TRUE(g_AppSurfaceEnabled);
}

} // namespace
