// The legacy 3D layer as maths: the mode switch and depth, the projections of
// a room rectangle, the world matrix's set and add forms, the bounded stack of
// world matrices and the affine point transform, on the recording device.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "console_capture.h"
#include "core/header_globals.h"
#include "recording_gl_layer.h"
#include "render/legacy_3d.h"
#include "render/render_settings.h"
#include "render/render_state.h"
#include "render/sprite_cull_services.h"
#include "render/vertex_batch.h"
#include "render/view.h"

namespace {

struct Point {
    float x, y;
};

// A room point through view × projection, as normalised device coordinates.
Point Project(float x, float y) {
    zqMatrix vp;
    zqMatrix::Multiply(&vp, &m_CurrentMatrix[eMatrix_View], &m_CurrentMatrix[eMatrix_Projection]);
    const float* m = vp.m;
    const float px = x * m[0] + y * m[4] + m[12];
    const float py = x * m[1] + y * m[5] + m[13];
    const float pw = x * m[3] + y * m[7] + m[15];
    return {px / pw, py / pw};
}

zqMatrix World() {
    zqMatrix m;
    Graphics::GetMatrix(eMatrix_World, m.m);
    return m;
}

void ExpectMatrixNear(const zqMatrix& a, const zqMatrix& b) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a.m[i], b.m[i], 1e-5f) << "element " << i;
}

class Legacy3DTest : public QuietTest {
protected:
    void SetUp() override {
        QuietTest::SetUp();
        g_States.Reset();
        g_States.Flush();
        Batch_Empty();
        layer.Take();
    }
    void TearDown() override {
        Batch_Empty();
        g_RenderTargetActive = 1;
        QuietTest::TearDown();
    }

    RecordingGLLayer layer{640, 360};
};

TEST_F(Legacy3DTest, StackHoldsFiftyOneMatricesAndRefusesBeyondItsEnds) {
    EXPECT_TRUE(GR_3D_Transform_Stack_Empty());
    EXPECT_FALSE(GR_3D_Transform_Stack_Pop());
    EXPECT_FALSE(GR_3D_Transform_Stack_Top());
    EXPECT_FALSE(GR_3D_Transform_Stack_Discard());
    for (int i = 0; i < kTransformStackSize; ++i) {
        GR_3D_Transform_Set_Translation(static_cast<float>(i), 0, 0);
        ASSERT_TRUE(GR_3D_Transform_Stack_Push()) << i;
    }
    GR_3D_Transform_Set_Translation(99, 0, 0);
    EXPECT_FALSE(GR_3D_Transform_Stack_Push()) << "the 52nd push";
    EXPECT_EQ(GR_3D_Transform_Stack_Depth(), kTransformStackSize);
    for (int i = kTransformStackSize - 1; i >= 0; --i) {
        ASSERT_TRUE(GR_3D_Transform_Stack_Pop());
        EXPECT_EQ(World().m[12], static_cast<float>(i));
    }
    EXPECT_FALSE(GR_3D_Transform_Stack_Pop()) << "the 52nd pop";
    EXPECT_EQ(World().m[12], 0.0f) << "a refused pop leaves the world matrix";

    GR_3D_Transform_Stack_Push();
    GR_3D_Transform_Stack_Clear();
    EXPECT_TRUE(GR_3D_Transform_Stack_Empty());
}

TEST_F(Legacy3DTest, TopRestoresWithoutRemovingAndDiscardKeepsTheWorld) {
    GR_3D_Transform_Set_Translation(5, 0, 0);
    GR_3D_Transform_Stack_Push();
    GR_3D_Transform_Set_Scaling(3, 3, 3);
    ASSERT_TRUE(GR_3D_Transform_Stack_Top());
    EXPECT_EQ(World().m[12], 5.0f);
    EXPECT_EQ(GR_3D_Transform_Stack_Depth(), 1);
    GR_3D_Transform_Set_Scaling(3, 3, 3);
    ASSERT_TRUE(GR_3D_Transform_Stack_Discard());
    EXPECT_TRUE(GR_3D_Transform_Stack_Empty());
    EXPECT_EQ(World().m[0], 3.0f);
}

TEST_F(Legacy3DTest, AddedTransformsApplyAfterTheWorld) {
    GR_3D_Transform_Set_Scaling(2, 2, 2);
    GR_3D_Transform_Add_Translation(10, 0, 0);
    float x = 1, y = 0, z = 0;
    GR_3D_TransformVertex(x, y, z);
    EXPECT_EQ(x, 12.0f) << "scaled first, then moved";

    GR_3D_Transform_Set_Translation(1, 0, 0);
    GR_3D_Transform_Add_Rotation_Z(90);
    x = 0, y = 0, z = 0;
    GR_3D_TransformVertex(x, y, z);
    EXPECT_NEAR(x, 0.0f, 1e-6f);
    EXPECT_NEAR(y, -1.0f, 1e-6f);

    GR_3D_Transform_Set_Identity();
    GR_3D_Transform_Add_Scaling(1, 2, 3);
    GR_3D_Transform_Add_Rotation_X(0);
    GR_3D_Transform_Add_Rotation_Y(0);
    GR_3D_Transform_Add_Rotation_Axis(0, 0, 1, 0);
    x = 1, y = 1, z = 1;
    GR_3D_TransformVertex(x, y, z);
    EXPECT_NEAR(y, 2.0f, 1e-6f);
    EXPECT_NEAR(z, 3.0f, 1e-6f);
}

TEST_F(Legacy3DTest, AxisRotationEqualsTheMatchingPrincipalRotation) {
    struct Case {
        float ax, ay, az;
        void (*principal)(float);
    } cases[] = {{1, 0, 0, GR_3D_Transform_Set_Rotation_X},
                 {0, 2, 0, GR_3D_Transform_Set_Rotation_Y},
                 {0, 0, 1, GR_3D_Transform_Set_Rotation_Z}};
    for (const Case& c : cases) {
        c.principal(30);
        const zqMatrix expected = World();
        GR_3D_Transform_Set_Rotation_Axis(c.ax, c.ay, c.az, 30);
        ExpectMatrixNear(World(), expected);
    }
}

TEST_F(Legacy3DTest, PointTransformIgnoresTheFourthColumn) {
    zqMatrix projective = zqMatrix::Identity();
    projective.m[3] = 5.0f;
    projective.m[15] = 7.0f;
    projective.m[12] = 1.0f;
    Graphics::SetMatrix(eMatrix_World, projective.m);
    float x = 2, y = 3, z = 4;
    GR_3D_TransformVertex(x, y, z);
    EXPECT_EQ(x, 3.0f);
    EXPECT_EQ(y, 3.0f);
    EXPECT_EQ(z, 4.0f);
}

TEST_F(Legacy3DTest, DepthIsClampedAndZeroOutsideThreeDMode) {
    struct Case {
        bool mode, nimbar;
        float given, stored;
    } cases[] = {
        {false, false, 20000, 0},
        {false, false, -5, 0},
        {true, false, 20000, 16000},
        {true, false, -20000, -16000},
        {true, false, 123.5f, 123.5f},
        {false, true, -20000, -16000},
        {true, false, std::numeric_limits<float>::quiet_NaN(), -16000},
    };
    for (const Case& c : cases) {
        GR_3DMode = c.mode;
        g_isNimbar = c.nimbar;
        GR_3D_Set_Depth(c.given);
        EXPECT_EQ(GR_Depth, c.stored) << c.given << " mode " << c.mode << " nimbar " << c.nimbar;
    }
    g_isNimbar = false;
}

TEST_F(Legacy3DTest, ModeSwitchFlushesOnlyOnAChange) {
    Graphics::AllocVerts(4, nullptr, eVF_PosColour, 3);
    EXPECT_TRUE(GR_3D_Set_Mode(false));
    EXPECT_EQ(g_CurrentVertexCount, 3) << "the same mode leaves the batch alone";
    EXPECT_TRUE(GR_3D_Set_Mode(true));
    EXPECT_EQ(g_CurrentVertexCount, 0);
    EXPECT_TRUE(GR_3DMode);
    EXPECT_TRUE(set_perspective);
    EXPECT_EQ(g_States.GetRenderState(eRS_DepthTest), 1u);
    GR_3D_Set_Mode(false);
    EXPECT_FALSE(set_perspective);
    EXPECT_EQ(g_States.GetRenderState(eRS_DepthTest), 0u);
}

TEST_F(Legacy3DTest, ClearZOnlyInThreeDMode) {
    GR_3D_Clear_Z();
    for (const std::string& call : layer.Take()) EXPECT_EQ(call.rfind("clear", 0), std::string::npos) << call;
    GR_3D_Set_Mode(true);
    layer.Take();
    GR_3D_Clear_Z();
    bool cleared = false;
    for (const std::string& call : layer.Take())
        if (call.rfind("clear 2 ", 0) == 0) cleared = true;
    EXPECT_TRUE(cleared) << "depth and stencil, no colour";
}

TEST_F(Legacy3DTest, OrthoMapsTheRoomRectangleOntoTheTarget) {
    GR_3D_Projection_Ortho(0, 0, 640, 360, 0);
    EXPECT_TRUE(Sprite_GetIgnoreCull());
    Point tl = Project(0, 0), br = Project(640, 360);
    EXPECT_NEAR(tl.x, -1.0f, 1e-4f);
    EXPECT_NEAR(tl.y, 1.0f, 1e-4f) << "room top at the top of the screen";
    EXPECT_NEAR(br.x, 1.0f, 1e-4f);
    EXPECT_NEAR(br.y, -1.0f, 1e-4f);

    g_RenderTargetActive = -1;
    GR_3D_Projection_Ortho(0, 0, 640, 360, 0);
    tl = Project(0, 0);
    EXPECT_NEAR(tl.x, -1.0f, 1e-4f);
    EXPECT_NEAR(tl.y, -1.0f, 1e-4f) << "a surface target is upside down in clip space";

    g_RenderTargetActive = 1;
    GR_3D_Projection_Ortho(0, 0, 640, 360, 180);
    tl = Project(0, 0);
    EXPECT_NEAR(tl.x, 1.0f, 1e-4f) << "a half turn swaps the corners";
    EXPECT_NEAR(tl.y, -1.0f, 1e-4f);
}

TEST_F(Legacy3DTest, PerspectiveSeesTheRectangleAtDepthZero) {
    Sprite_SetIgnoreCull(true);
    GR_3D_Projection_Perspective(100, 50, 640, 360, 0);
    EXPECT_FALSE(Sprite_GetIgnoreCull());
    const Point tl = Project(100, 50), br = Project(740, 410), centre = Project(420, 230);
    EXPECT_NEAR(tl.x, -1.0f, 1e-4f);
    EXPECT_NEAR(br.x, 1.0f, 1e-4f);
    EXPECT_NEAR(centre.x, 0.0f, 1e-4f);
    EXPECT_NEAR(centre.y, 0.0f, 1e-4f);
    // The height is not negated: the vertical sense is the look-at's.
    EXPECT_NEAR(std::fabs(tl.y), 1.0f, 1e-4f);

    // Degenerate sizes store the identity projection rather than infinities.
    GR_3D_Projection_Perspective(0, 0, 0, 360, 0);
    const zqMatrix identity = zqMatrix::Identity();
    EXPECT_EQ(std::memcmp(m_CurrentMatrix[eMatrix_Projection].m, identity.m, sizeof identity.m), 0);
}

TEST_F(Legacy3DTest, LookAtChangesOnlyTheViewAndTheExtendedFormAddsAFieldOfView) {
    Sprite_SetIgnoreCull(true);
    const zqMatrix projection = m_CurrentMatrix[eMatrix_Projection];
    GR_3D_Projection_LookAt(0, 0, -10, 0, 0, 0, 0, 1, 0);
    EXPECT_EQ(m_CurrentMatrix[eMatrix_View].m[14], 10.0f);
    EXPECT_EQ(std::memcmp(m_CurrentMatrix[eMatrix_Projection].m, projection.m, sizeof projection.m), 0);
    EXPECT_TRUE(Sprite_GetIgnoreCull());

    GR_3D_Projection_LookAt_Ext(0, 0, -10, 0, 0, 0, 0, 1, 0, 90, 2, 1, 100);
    EXPECT_FALSE(Sprite_GetIgnoreCull());
    EXPECT_NEAR(m_CurrentMatrix[eMatrix_Projection].m[5], 1.0f, 1e-5f);
    EXPECT_NEAR(m_CurrentMatrix[eMatrix_Projection].m[0], 0.5f, 1e-5f);
    g_RenderTargetActive = -1;
    GR_3D_Projection_LookAt_Ext(0, 0, -10, 0, 0, 0, 0, 1, 0, 90, 2, 1, 100);
    EXPECT_NEAR(m_CurrentMatrix[eMatrix_Projection].m[5], -1.0f, 1e-5f) << "y reversed for a surface";
    EXPECT_NEAR(m_CurrentMatrix[eMatrix_Projection].m[0], 0.5f, 1e-5f) << "x kept";
}

} // namespace
