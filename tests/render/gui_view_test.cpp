// The GUI transform and its extents, and the aspect-keeping copy of the
// application surface to the window.
#include <gtest/gtest.h>

#include "core/run_globals.h"
#include "recording_gl_layer.h"
#include "render/gui_view.h"
#include "render/render_state.h"
#include "render/window_views.h"
#include "room/room_table.h"
#include "surface_fixture.h"

namespace {

class GuiTransform : public ::testing::Test {
protected:
    void SetUp() override {
        savedW_ = g_DeviceWidth;
        savedH_ = g_DeviceHeight;
        g_KeepAspectRatio = false;
    }
    void TearDown() override {
        g_DeviceWidth = savedW_;
        g_DeviceHeight = savedH_;
        g_GUI_Width = g_GUI_Height = -1;
        g_GUI_Maximise = false;
        g_GUI_X_Scale = g_GUI_Y_Scale = 1.0f;
        g_GUI_Xoffset = g_GUI_Yoffset = 2147483648.0f;
    }
    int savedW_ = 0, savedH_ = 0;
};

TEST_F(GuiTransform, WithoutAGuiSizeGuiUnitsAreWindowPixels) {
    g_DeviceWidth = 800;
    g_DeviceHeight = 600;
    Calc_GUI_Scale();
    EXPECT_EQ(g_roomExtents[0], 0);
    EXPECT_EQ(g_roomExtents[1], 0);
    EXPECT_EQ(g_roomExtents[2], 800);
    EXPECT_EQ(g_roomExtents[3], 600);
    const float* m = g_ScreenToGUITransform.m;
    EXPECT_FLOAT_EQ(123 * m[0] + m[12], 123.0f);
    EXPECT_FLOAT_EQ(45 * m[5] + m[13], 45.0f);
}

TEST_F(GuiTransform, AGuiSizeStretchesOverTheCoveredArea) {
    g_DeviceWidth = 1280;
    g_DeviceHeight = 720;
    g_GUI_Width = 640;
    g_GUI_Height = 360;
    zqMatrix gui, inverse;
    float sx = 0, sy = 0, tx = 0, ty = 0;
    CalcGUITransformMat(gui, inverse, sx, sy, tx, ty);
    EXPECT_FLOAT_EQ(sx, 2.0f);
    EXPECT_FLOAT_EQ(sy, 2.0f);
    EXPECT_FLOAT_EQ(tx, -640.0f);
    EXPECT_FLOAT_EQ(ty, -360.0f);
    EXPECT_FLOAT_EQ(1280 * inverse.m[0] + inverse.m[12], 640.0f);
    EXPECT_FLOAT_EQ(720 * inverse.m[5] + inverse.m[13], 360.0f);
    // A GUI size of 0 would scale every position to infinity: it counts as 1.
    g_GUI_Width = 0;
    CalcGUITransformMat(gui, inverse, sx, sy, tx, ty);
    EXPECT_FLOAT_EQ(sx, 1.0f);
}

TEST_F(GuiTransform, MaximisedUsesTheFixedScaleAndOffset) {
    g_DeviceWidth = 1001;
    g_DeviceHeight = 600;
    g_GUI_Maximise = true;
    g_GUI_X_Scale = 3;
    g_GUI_Y_Scale = 0.5f;
    g_GUI_Yoffset = 10;
    zqMatrix gui, inverse;
    float sx = 0, sy = 0, tx = 0, ty = 0;
    CalcGUITransformMat(gui, inverse, sx, sy, tx, ty);
    EXPECT_FLOAT_EQ(sx, 3.0f);
    EXPECT_FLOAT_EQ(sy, 0.5f);
    EXPECT_FLOAT_EQ(tx, -500.0f);
    EXPECT_FLOAT_EQ(ty, 10.0f - 300.0f);
    EXPECT_FLOAT_EQ(gui.m[12], tx);
    EXPECT_FLOAT_EQ(gui.m[14], 1.0f);
    EXPECT_FLOAT_EQ(inverse.m[14], -1.0f);
}

class AspectCopy : public SurfaceTest {
protected:
    void TearDown() override {
        g_ApplicationSurface = APPLICATION_SURFACE_NONE;
        g_ApplicationWidth = savedW_;
        g_ApplicationHeight = savedH_;
        SurfaceTest::TearDown();
    }
    int savedW_ = g_ApplicationWidth, savedH_ = g_ApplicationHeight;
    // A red application surface of w × h copied to the black window.
    void Copy(int w, int h, bool keep) {
        const int id = GR_Surface_Create(w, h, -1);
        ASSERT_GE(id, 0);
        g_ApplicationSurface = id;
        g_ApplicationWidth = w;
        g_ApplicationHeight = h;
        ASSERT_TRUE(ZQVTL_surface_set_target(id));
        Fill(0, 0, static_cast<float>(w), static_cast<float>(h), kRed);
        ASSERT_TRUE(ZQVTL_surface_reset_target());
        GR_D3D_Set_View_Port(0, 0, kSize, kSize);
        GR_D3D_Set_View_Area(0, 0, kSize, kSize, 0);
        Graphics::Clear(0xFF000000u, 1.0f, 0, eClear_Colour);
        RenderSurface_AspectAdjusted(id, 0, 0, kSize, kSize, keep, false, true);
    }
};

// Bars above and below are recorded as the surface's own top and bottom.
TEST_F(AspectCopy, LetterboxRecordsTopAndBottom) {
    Copy(16, 8, true);
    EXPECT_EQ(Window(16, 4) & 0xFFFFFF, 0u) << "bar";
    EXPECT_EQ(Window(16, 16), kRed);
    EXPECT_EQ(Window(16, 28) & 0xFFFFFF, 0u) << "bar";
    EXPECT_EQ(g_Display_x1, 0);
    EXPECT_EQ(g_Display_x2, kSize);
    EXPECT_EQ(g_Display_y1, 8);
    EXPECT_EQ(g_Display_y2, 24);
}

TEST_F(AspectCopy, PillarboxAndStretch) {
    Copy(8, 16, true);
    EXPECT_EQ(Window(4, 16) & 0xFFFFFF, 0u);
    EXPECT_EQ(Window(16, 16), kRed);
    EXPECT_EQ(g_Display_x1, 8);
    EXPECT_EQ(g_Display_x2, 24);
    GR_Surface_FreeAll();
    Copy(8, 16, false);
    EXPECT_EQ(Window(2, 2), kRed);
    EXPECT_EQ(Window(30, 30), kRed);
}

// The copy draws flat and opaque, but what comes after it (the GUI events,
// the next frame) blends as before.
TEST_F(AspectCopy, PutsBackTheStatesItTurnsOff) {
    g_States.SetRenderState(eRS_BlendEnable, 1);
    g_States.SetRenderState(eRS_AlphaTest, 1);
    Copy(16, 16, false);
    EXPECT_EQ(Window(16, 16), kRed);
    EXPECT_EQ(g_States.GetRenderState(eRS_BlendEnable), 1u);
    EXPECT_EQ(g_States.GetRenderState(eRS_AlphaTest), 1u);
}

} // namespace

TEST(HardwareCursor, QueuesOneCentredQuadWithTheCursorTextureAndAlpha) {
    RecordingGLLayer layer;
    Batch_Empty();
    DrawHardwareCursor(100, 50, 0.5f);
    ASSERT_EQ(g_CurrentVertexCount, 6);
    EXPECT_EQ(g_LastPrimType, 4);
    EXPECT_EQ(g_pLastTexture, g_MouseCursor);
    struct V24 {
        float x, y, z;
        uint32_t colour;
        float u, v;
    };
    const auto* v = reinterpret_cast<const V24*>(Batch_Vertices());
    // Top-left, top-right, bottom-right; bottom-right, bottom-left, top-left.
    const float corners[6][4] = {{68, 18, 0, 0},  {132, 18, 1, 0}, {132, 82, 1, 1},
                                 {132, 82, 1, 1}, {68, 82, 0, 1},  {68, 18, 0, 0}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_FLOAT_EQ(v[i].x, corners[i][0]) << i;
        EXPECT_FLOAT_EQ(v[i].y, corners[i][1]) << i;
        EXPECT_FLOAT_EQ(v[i].z, 1.0f);
        EXPECT_FLOAT_EQ(v[i].u, corners[i][2]) << i;
        EXPECT_FLOAT_EQ(v[i].v, corners[i][3]) << i;
        EXPECT_EQ(v[i].colour, 0x7FFFFFFFu);
    }
    Batch_Empty();
    // Alpha beyond 1 stays within the alpha byte.
    DrawHardwareCursor(0, 0, 3.0f);
    EXPECT_EQ(reinterpret_cast<const V24*>(Batch_Vertices())[0].colour, 0xFFFFFFFFu);
    Batch_Empty();
}
