// Matrices, viewport, view area and clearing against a recording device layer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "console_capture.h"
#include "recording_gl_layer.h"
#include "render/render_settings.h"
#include "render/render_state.h"
#include "render/view.h"
#include "core/run_settings.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

struct Point {
    float x, y;
};

// A room point through view × projection, as normalised device coordinates.
Point Project(float x, float y) {
    zqMatrix viewProjection;
    zqMatrix::Multiply(&viewProjection, &m_CurrentMatrix[eMatrix_View], &m_CurrentMatrix[eMatrix_Projection]);
    const float* m = viewProjection.m;
    float px = x * m[0] + y * m[4] + m[12];
    float py = x * m[1] + y * m[5] + m[13];
    float pw = x * m[3] + y * m[7] + m[15];
    return {px / pw, py / pw};
}

class ViewTest : public QuietTest {
protected:
    void SetUp() override {
        g_States.Reset();
        g_States.Flush();
        GR_3DMode = false;
        g_bManualClear = false;
        layer.Take();
    }
    void TearDown() override {
        GR_3DMode = false;
        g_RenderTargetActive = 1;
        g_bManualClear = false;
        const zqMatrix identity = zqMatrix::Identity();
        for (int m = 0; m < eMatrix_Count; ++m) m_CurrentMatrix[m] = identity;
    }

    RecordingGLLayer layer{640, 360};
};

TEST_F(ViewTest, RoomExtentsOfAViewArea) {
    struct {
        float x, y, w, h, angle;
        int32_t left, top, right, bottom;
    } const cases[] = {
        {0, 0, 640, 360, 0, 0, 0, 640, 360},       // trunc(-0.999) = 0, trunc(640.999) = 640
        {0, 0, 640, 360, 90, 139, -140, 500, 500}, // cos 90° is not quite 0 in single precision
        {-10.5f, 5, 100, 50, 0, -11, 4, 90, 55},   // truncation is toward zero
        {0, 0, 100, 100, 45, -20, -20, 120, 120},
    };
    for (const auto& c : cases) {
        GR_D3D_Set_View_Area(c.x, c.y, c.w, c.h, c.angle);
        EXPECT_THAT(g_roomExtents, ElementsAre(c.left, c.top, c.right, c.bottom)) << c.angle;
        SetViewExtents(0, 0, 1, 1, 0);
        SetViewExtents(c.x, c.y, c.w, c.h, c.angle);
        EXPECT_THAT(g_roomExtents, ElementsAre(c.left, c.top, c.right, c.bottom)) << "extents alone";
    }
    EXPECT_EQ(g_ViewAreaA, 45.0f);
}

TEST_F(ViewTest, TwoDimensionalAreasMapRoomYDownwardsOnTheWindowAndTopDownInSurfaces) {
    GR_D3D_Set_View_Area(100, 50, 640, 360, 0);
    EXPECT_TRUE(g_ProjIsOrtho);
    Point topLeft = Project(100, 50);
    Point bottomRight = Project(740, 410);
    EXPECT_NEAR(topLeft.x, -1.0f, 1e-5);
    EXPECT_NEAR(topLeft.y, 1.0f, 1e-5) << "room top at the window's top";
    EXPECT_NEAR(bottomRight.x, 1.0f, 1e-5);
    EXPECT_NEAR(bottomRight.y, -1.0f, 1e-5);

    g_RenderTargetActive = -1;
    GR_D3D_Set_View_Area(100, 50, 640, 360, 0);
    EXPECT_NEAR(Project(100, 50).y, -1.0f, 1e-5) << "row 0 of a surface's texture";

    g_RenderTargetActive = 1;
    GR_D3D_Set_View_Area(0, 0, 200, 100, 90);
    Point rotated = Project(100, 0); // the top centre of the area lies on the view's x axis
    EXPECT_NEAR(std::fabs(rotated.x), 0.5f, 1e-4);
    EXPECT_NEAR(rotated.y, 0.0f, 1e-4);
}

TEST_F(ViewTest, ThreeDimensionalModeUsesAPerspectiveUnlessTheAreaIsEmpty) {
    GR_3DMode = true;
    GR_D3D_Set_View_Area(0, 0, 640, 360, 0);
    EXPECT_FALSE(g_ProjIsOrtho);
    EXPECT_EQ(m_CurrentMatrix[eMatrix_Projection].m[11], 1.0f);
    Point centre = Project(320, 180);
    EXPECT_NEAR(centre.x, 0.0f, 1e-5);
    EXPECT_NEAR(centre.y, 0.0f, 1e-5);

    set_perspective = false;
    GR_D3D_Set_View_Area(0, 0, 640, 360, 0);
    EXPECT_TRUE(g_ProjIsOrtho);
    EXPECT_NEAR(Project(0, 0).y, -1.0f, 1e-5) << "3D mode does not flip y";
    set_perspective = true;

    GR_D3D_Set_View_Area(0, 0, 0, 360, 0);
    for (int m = 0; m < eMatrix_Count; ++m)
        for (float v : m_CurrentMatrix[m].m) EXPECT_TRUE(std::isfinite(v)) << "matrix " << m;
}

TEST_F(ViewTest, SetMatrixFlushesDerivesAndReappliesTheCullMode) {
    g_CullMode = 2;
    g_States.SetRenderState(eRS_FogEnable, 1);
    zqMatrix world = zqMatrix::Identity();
    world.m[12] = 5;
    Graphics::SetMatrix(eMatrix_World, world.m);
    EXPECT_THAT(layer.Take(), ElementsAre("batch", "rs 13=1", "matrix 2"));
    zqMatrix view = zqMatrix::Identity();
    view.m[13] = 7;
    Graphics::SetMatrix(eMatrix_View, view.m);
    zqMatrix projection = zqMatrix::Identity();
    projection.m[0] = 2;
    Graphics::SetMatrix(eMatrix_Projection, projection.m);
    EXPECT_THAT(layer.Take(), ElementsAre("batch", "matrix 0", "batch", "rs 8=2", "matrix 1"));
    Graphics::SetMatrix(eMatrix_Projection, projection.m);
    EXPECT_THAT(layer.Take(), ElementsAre("batch", "rs 8=2", "matrix 1")) << "sent again though unchanged";
    float wvp[16];
    Graphics::GetMatrix(eMatrix_WorldViewProjection, wvp);
    EXPECT_EQ(wvp[12], 10.0f);
    EXPECT_EQ(wvp[13], 7.0f);
    Graphics::SetMatrix(eMatrix_WorldView, world.m); // derived: never set directly
    EXPECT_THAT(layer.Take(), IsEmpty());
}

TEST_F(ViewTest, NothingHappensBeforeTheWindowIsOpen) {
    g_GraphicsInitialised = false;
    zqMatrix world = zqMatrix::Identity();
    world.m[12] = 3;
    Graphics::SetMatrix(eMatrix_World, world.m);
    GR_D3D_Set_View_Port(1, 2, 3, 4);
    int clears = g_col;
    Graphics::Clear(0xFF0000FF, 1.0f, 0, eClear_Colour);
    EXPECT_THAT(layer.calls, IsEmpty());
    EXPECT_EQ(m_CurrentMatrix[eMatrix_World].m[12], 0.0f);
    EXPECT_EQ(g_col, clears);
    g_GraphicsInitialised = true;
}

TEST_F(ViewTest, TheViewportIsFlippedOnlyForTheWindow) {
    GR_D3D_Set_View_Port(10, 20, 100, 50);
    EXPECT_THAT(layer.Take(), ElementsAre("batch", "scissor on", "viewport 10,290 100x50"));
    EXPECT_EQ(g_ViewPortY, 20);
    EXPECT_EQ(old_view_port_y, 20);
    g_RenderTargetActive = -1;
    Graphics::SetViewPort(10, 20, 100, 50);
    EXPECT_THAT(layer.Take(), ElementsAre("scissor on", "viewport 10,20 100x50"));
}

TEST_F(ViewTest, TransformedRoomExtentsFollowTheInverseWorldMatrix) {
    SetViewExtents(0, 0, 100, 50, 0);
    zqMatrix world = zqMatrix::Identity();
    world.m[0] = 2;
    world.m[12] = 10;
    world.m[13] = 20;
    Graphics::SetMatrix(eMatrix_World, world.m);
    DirtyRoomExtents();
    UpdateTransRoomExtents();
    EXPECT_THAT(g_transRoomExtents, ElementsAre(-5, -20, 45, 30));
    EXPECT_FALSE(g_transRoomExtentsDirty);
}

TEST_F(ViewTest, ClearsInsideTheViewportOrTheWholeTarget) {
    int clears = g_col;
    Graphics::Clear(0x80FF0000, 0.5f, 0, 0);
    EXPECT_THAT(layer.Take(), IsEmpty());
    EXPECT_EQ(g_col, clears) << "flags 0 does not count";

    Graphics::SetViewPort(10, 10, 100, 100);
    layer.Take();
    g_States.SetRenderState(eRS_ColourWriteMask, 1);
    Graphics::Clear(0x80FF0000, 0.5f, 3, eClear_Colour | eClear_DepthStencil);
    EXPECT_THAT(layer.Take(), ElementsAre("batch", "rs 24=1", "rs 12=0", "rs 24=15", "rs 25=1",
                                          "clear 3 rgba(0.000,0.000,1.000,0.502) depth 1.00 stencil 3"));
    EXPECT_EQ(g_col, clears + 1);
    EXPECT_EQ(g_LastColour, 0x80FF0000u);
    EXPECT_EQ(g_States.GetRenderState(eRS_ColourWriteMask), 1u) << "states restored after the clear";

    // The whole framebuffer, its sides given in the other order.
    Graphics::SetViewPort(0, 0, 360, 640);
    layer.Take();
    g_States.Flush();
    layer.Take();
    Graphics::Clear(0, 1.0f, 0, eClear_DepthStencil);
    std::vector<std::string> calls = layer.Take();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[calls.size() - 3], "scissor off");
    EXPECT_EQ(calls[calls.size() - 2], "clear 2 rgba(0.000,0.000,0.000,0.000) depth 1.00 stencil 0");
    EXPECT_EQ(calls.back(), "scissor on");
}

TEST_F(ViewTest, ManualClearDrawsAQuadWithIdentityMatricesAndPutsThemBack) {
    g_bManualClear = true;
    zqMatrix world = zqMatrix::Identity();
    world.m[12] = 9;
    Graphics::SetMatrix(eMatrix_World, world.m);
    layer.Take();
    Graphics::Clear(0xFF112233, 0.25f, 0, eClear_Colour);
    std::vector<std::string> calls = layer.Take();
    auto draw = std::find(calls.begin(), calls.end(), "draw 5 x4 (16 bytes)");
    ASSERT_NE(draw, calls.end());
    EXPECT_NE(std::find(calls.begin(), draw, "rs 4=0"), draw) << "no depth write without bit 1";
    float first[4];
    std::memcpy(first, layer.lastVertices.data(), sizeof first);
    EXPECT_EQ(first[0], -1.0f);
    EXPECT_EQ(first[2], 0.25f);
    uint32_t colour;
    std::memcpy(&colour, layer.lastVertices.data() + 12, 4);
    EXPECT_EQ(colour, 0xFF112233u);
    EXPECT_EQ(m_CurrentMatrix[eMatrix_World].m[12], 9.0f);
    EXPECT_EQ(g_States.GetRenderState(eRS_DepthWrite), 1u);
}

} // namespace
