// A camera handed to the renderer: the view matrix as it stands, the
// projection flipped vertically for the window and left as it is for a
// surface, and a room point landing where the window or the surface expects it.
#include <gtest/gtest.h>

#include "console_capture.h"
#include "recording_gl_layer.h"
#include "render/render_state.h"
#include "render/view.h"
#include "room/camera.h"

namespace {

class CameraApply : public QuietTest {
protected:
    void SetUp() override {
        g_States.Reset();
        g_States.Flush();
        layer.Take();
        camera.SetViewWidth(640);
        camera.SetViewHeight(360);
        camera.Build2DView(320, 180);
    }
    void TearDown() override {
        g_RenderTargetActive = 1;
        const zqMatrix identity = zqMatrix::Identity();
        for (int m = 0; m < eMatrix_Count; ++m) m_CurrentMatrix[m] = identity;
    }

    // Normalised device y of a room point through the renderer's matrices.
    static float DeviceY(float x, float y) {
        zqMatrix vp;
        zqMatrix::Multiply(&vp, &m_CurrentMatrix[eMatrix_View], &m_CurrentMatrix[eMatrix_Projection]);
        const float* m = vp.m;
        return (x * m[1] + y * m[5] + m[13]) / (x * m[3] + y * m[7] + m[15]);
    }

    RecordingGLLayer layer{640, 360};
    CCamera camera;
};

TEST_F(CameraApply, TheWindowGetsTheProjectionFlipped) {
    camera.ApplyMatrices();
    const zqMatrix view = camera.GetViewMat(), proj = camera.GetProjMat();
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(m_CurrentMatrix[eMatrix_View].m[i], view.m[i]) << i;
        const bool column1 = i % 4 == 1;
        EXPECT_EQ(m_CurrentMatrix[eMatrix_Projection].m[i], column1 ? -proj.m[i] : proj.m[i]) << i;
    }
    // The room's top row is the window's top (device y 1).
    EXPECT_NEAR(DeviceY(0, 0), 1.0f, 1e-4);
    EXPECT_NEAR(DeviceY(0, 360), -1.0f, 1e-4);
    EXPECT_EQ(g_ViewAreaW, 640.0f);
}

TEST_F(CameraApply, ASurfaceGetsTheProjectionAsItIs) {
    g_RenderTargetActive = -1;
    camera.ApplyMatrices();
    const zqMatrix proj = camera.GetProjMat();
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m_CurrentMatrix[eMatrix_Projection].m[i], proj.m[i]) << i;
    EXPECT_NEAR(DeviceY(0, 0), -1.0f, 1e-4);
}

} // namespace
