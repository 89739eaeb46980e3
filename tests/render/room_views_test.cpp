// The room's views each frame: window views defined from the room's visible
// views with the display scales, and the drawing region's size.
#include <gtest/gtest.h>

#include "core/header_globals.h"
#include "render/graphics_device.h"
#include "render/room_views.h"
#include "render/window_services.h"
#include "render/window_views.h"
#include "room/room.h"
#include "room/room_table.h"

namespace {

class RoomViews : public ::testing::Test {
protected:
    void SetUp() override {
        saved_[0] = g_ApplicationWidth;
        saved_[1] = g_ApplicationHeight;
        saved_[2] = g_DisplayWidth;
        saved_[3] = g_DisplayHeight;
        g_ApplicationWidth = 640;
        g_ApplicationHeight = 360;
        g_DisplayWidth = 1920;
        g_DisplayHeight = 1080;
        Run_Room = &room_;
    }
    void TearDown() override {
        Run_Room = nullptr;
        g_ApplicationWidth = saved_[0];
        g_ApplicationHeight = saved_[1];
        g_DisplayWidth = saved_[2];
        g_DisplayHeight = saved_[3];
        g_DisplayScaleX = g_DisplayScaleY = 1.0f;
        wind_regionwidth = wind_regionheight = 0;
    }
    void Port(int i, int x, int y, int w, int h) {
        CViewVT& v = room_.m_views[i];
        v.visible = true;
        v.xport = x;
        v.yport = y;
        v.wport = w;
        v.hport = h;
    }
    CRoom room_;
    int32_t saved_[4] = {};
};

TEST_F(RoomViews, VisibleViewsBecomeWindowViewsAndSetTheDisplayScales) {
    room_.m_enableViews = true;
    Port(0, 0, 0, 160, 180);
    Port(3, 160, 0, 160, 180);
    room_.m_views[3].xview = 500;
    GR_Window_View_Define(5, 0, 0, 1, 1, 0, 0, 1, 1, 0, -1, -1); // a stale entry of an invisible view
    UpdateViews();
    EXPECT_TRUE(_views[0].defined);
    EXPECT_TRUE(_views[3].defined);
    EXPECT_FALSE(_views[5].defined);
    EXPECT_EQ(_views_count, 2);
    EXPECT_FLOAT_EQ(_views[3].viewX, 500.0f);
    EXPECT_FLOAT_EQ(_views[3].portX, 160.0f);
    EXPECT_FLOAT_EQ(g_DisplayScaleX, 2.0f);
    EXPECT_FLOAT_EQ(g_DisplayScaleY, 2.0f);
}

TEST_F(RoomViews, NoVisibleViewKeepsTheScalesFinite) {
    room_.m_enableViews = true;
    g_DisplayScaleX = g_DisplayScaleY = 1.0f;
    UpdateViews();
    EXPECT_EQ(_views_count, 0);
    EXPECT_FLOAT_EQ(g_DisplayScaleX, 1.0f);
    room_.m_enableViews = false;
    GR_Window_View_Define(2, 0, 0, 1, 1, 0, 0, 1, 1, 0, -1, -1);
    UpdateViews();
    EXPECT_EQ(_views_count, 0);
}

TEST_F(RoomViews, DrawingRegionFollowsPortsOrRoomWithinTheDisplay) {
    room_.m_width = 800;
    room_.m_height = 600;
    Room_SizeDrawing();
    EXPECT_EQ(wind_regionwidth, 800);
    EXPECT_EQ(wind_regionheight, 600);
    room_.m_enableViews = true;
    Room_SizeDrawing();
    EXPECT_EQ(wind_regionwidth, 8) << "views on, none visible";
    Port(1, 100, 50, 300, 200);
    Port(2, 0, 0, 2000, 100);
    Room_SizeDrawing();
    EXPECT_EQ(wind_regionwidth, 1920);
    EXPECT_EQ(wind_regionheight, 250);
}

} // namespace
