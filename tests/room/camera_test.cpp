// Camera maths: the matrices a 2D and a 3D view build, the 2D rule, the view
// area read back from the inverse view-projection (also for a zero height),
// the visible quad, and one update's following of a target with border, room
// clamp and speed limit.
#include <gtest/gtest.h>

#include <cmath>

#include "core/header_globals.h"
#include "render/view.h"
#include "room/camera.h"
#include "room/camera_manager.h"
#include "room/room.h"
#include "world/instances/instance.h"

namespace {

struct Area {
    float x, y, w, h, angle;
};

Area Applied(CCamera& camera) {
    camera.ApplyMatrices();
    return {g_ViewAreaX, g_ViewAreaY, g_ViewAreaW, g_ViewAreaH, g_ViewAreaA};
}

CCamera View(float x, float y, float w, float h, float angle = 0.0f) {
    CCamera camera;
    camera.SetViewX(x);
    camera.SetViewY(y);
    camera.SetViewWidth(w);
    camera.SetViewHeight(h);
    camera.SetViewAngle(angle);
    camera.Build2DView(x + w / 2.0f, y + h / 2.0f);
    return camera;
}

TEST(Camera, ANewCameraIs2DWithIdentityMatricesAndAUnitArea) {
    CCamera camera;
    EXPECT_TRUE(camera.Is2D());
    EXPECT_TRUE(camera.IsOrthoProj());
    EXPECT_FALSE(camera.IsViewDirty());
    EXPECT_EQ(camera.GetID(), -1);
    EXPECT_EQ(camera.GetTargetInstance(), -1);
    const zqMatrix identity = zqMatrix::Identity();
    for (const zqMatrix& m : {camera.GetViewMat(), camera.GetProjMat(), camera.GetInvViewProjMat()})
        for (int i = 0; i < 16; ++i) EXPECT_EQ(m.m[i], identity.m[i]);
    const Area a = Applied(camera);
    EXPECT_EQ(a.x, -1.0f);
    EXPECT_EQ(a.y, -1.0f);
    EXPECT_EQ(a.w, 2.0f);
    EXPECT_EQ(a.h, 2.0f);
    EXPECT_EQ(a.angle, 0.0f);
}

TEST(Camera, A2DViewLooksFromFarBehindThroughAnOrthographicProjection) {
    CCamera camera = View(0, 0, 640, 360);
    const zqVector3 eye = camera.GetCamPos();
    EXPECT_FLOAT_EQ(eye.x, 320.0f);
    EXPECT_FLOAT_EQ(eye.y, 180.0f);
    EXPECT_FLOAT_EQ(eye.z, -16000.0f);
    const zqMatrix p = camera.GetProjMat();
    EXPECT_FLOAT_EQ(p.m[0], 2.0f / 640.0f);
    EXPECT_FLOAT_EQ(p.m[5], 2.0f / 360.0f);
    EXPECT_FLOAT_EQ(p.m[10], 1.0f / 31999.0f);
    EXPECT_FLOAT_EQ(p.m[14], -1.0f / 31999.0f);
    EXPECT_TRUE(camera.Is2D());
    const zqVector3 dir = camera.GetCamDir();
    EXPECT_EQ(dir.z, 1.0f);

    const Area a = Applied(camera);
    EXPECT_NEAR(a.x, 0.0f, 1e-3);
    EXPECT_NEAR(a.y, 0.0f, 1e-3);
    EXPECT_NEAR(a.w, 640.0f, 1e-3);
    EXPECT_NEAR(a.h, 360.0f, 1e-3);
    EXPECT_EQ(a.angle, 0.0f);
    EXPECT_EQ(g_roomExtents[0], 0);
    EXPECT_EQ(g_roomExtents[1], 0);
    EXPECT_EQ(g_roomExtents[2], 640);
    EXPECT_EQ(g_roomExtents[3], 360);
}

// The area keeps its size and centre under a turn. Its angle is the turn of
// the view's up vector, which turns the other way: 360 - the camera's angle.
TEST(Camera, TheViewAreaOfATurnedView) {
    for (float angle : {30.0f, 90.0f, 180.0f, 300.0f}) {
        CCamera camera = View(100, 50, 640, 360, angle);
        EXPECT_TRUE(camera.Is2D()) << angle;
        const Area a = Applied(camera);
        EXPECT_NEAR(a.w, 640.0f, 1e-2) << angle;
        EXPECT_NEAR(a.h, 360.0f, 1e-2) << angle;
        EXPECT_NEAR(a.x, 100.0f, 1e-2) << angle;
        EXPECT_NEAR(a.y, 50.0f, 1e-2) << angle;
        EXPECT_NEAR(a.angle, std::fmod(360.0f - angle, 360.0f), 1e-2) << angle;
    }
}

// A projection whose y row is zero cannot be inverted: the inverse slots hold
// the matrices themselves, the area has height 0 and the angle is 0, not NaN.
TEST(Camera, AZeroHeightGivesAnAngleOfZero) {
    CCamera camera = View(0, 0, 640, 360);
    zqMatrix flat = camera.GetProjMat();
    flat.m[5] = 0.0f;
    camera.SetProjMat(flat);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(camera.GetInvProjMat().m[i], flat.m[i]);
    const Area a = Applied(camera);
    EXPECT_EQ(a.h, 0.0f);
    EXPECT_EQ(a.angle, 0.0f);
    EXPECT_FALSE(std::isnan(a.x) || std::isnan(a.y) || std::isnan(a.w));

    // A view of height 0 builds the identity projection rather than divide.
    CCamera empty = View(0, 0, 640, 0);
    EXPECT_FALSE(std::isnan(Applied(empty).angle));
}

TEST(Camera, TheTwoDimensionalRule) {
    CCamera camera = View(0, 0, 640, 360, 45);
    EXPECT_TRUE(camera.Is2D()) << "a turn about z stays 2D";

    zqMatrix tilted = camera.GetViewMat();
    tilted.m[2] = 0.5f; // the view turns about another axis
    camera.SetViewMat(tilted);
    EXPECT_FALSE(camera.Is2D());

    CCamera perspective;
    zqMatrix p;
    zqMatrix::PerspectiveLH(&p, 1.0f, -0.5625f, 1.0f, 32000.0f);
    perspective.SetProjMat(p);
    EXPECT_FALSE(perspective.Is2D());
    EXPECT_FALSE(perspective.IsOrthoProj());
}

TEST(Camera, APerspectiveCameraRebuildsAsPerspective) {
    CCamera camera;
    zqMatrix p;
    zqMatrix::PerspectiveLH(&p, 1.0f, -1.0f, 1.0f, 32000.0f);
    camera.SetProjMat(p);
    camera.SetViewWidth(640);
    camera.SetViewHeight(360);
    camera.SetViewDirty();
    camera.CameraUpdate();
    EXPECT_FALSE(camera.IsOrthoProj());
    EXPECT_FLOAT_EQ(camera.GetCamPos().z, -640.0f);
    EXPECT_FLOAT_EQ(camera.GetProjMat().m[5], 2.0f / -0.5625f);

    // No room: the area is the unit square; in a room, the whole room.
    Area a = Applied(camera);
    EXPECT_EQ(a.w, 1.0f);
    EXPECT_EQ(a.h, 1.0f);
    CRoom room;
    room.m_width = 900;
    room.m_height = 700;
    Run_Room = &room;
    a = Applied(camera);
    Run_Room = nullptr;
    EXPECT_EQ(a.x, 0.0f);
    EXPECT_EQ(a.w, 900.0f);
    EXPECT_EQ(a.h, 700.0f);
    EXPECT_EQ(a.angle, 0.0f);

    // A width of 0 keeps the projection rather than divide by it.
    const zqMatrix before = camera.GetProjMat();
    camera.SetViewWidth(0);
    camera.CameraUpdate();
    for (int i = 0; i < 16; ++i) EXPECT_EQ(camera.GetProjMat().m[i], before.m[i]);
}

TEST(Camera, TheQuadIsTheViewRectangleClockwiseFromTheTopLeft) {
    CCamera camera = View(10, 20, 640, 360);
    float q[8];
    camera.ViewQuad(q);
    const float expected[8] = {10, 20, 650, 20, 650, 380, 10, 380};
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(q[i], expected[i], 1e-2) << i;
}

// ---------------------------------------------------------------------------
// Following a target

class CameraFollow : public ::testing::Test {
protected:
    void SetUp() override {
        room.m_width = 1000;
        room.m_height = 800;
        Run_Room = &room;
        room_maxid = 100000;
        target = room.AddInstance(0, 0, 0, -1);
        camera = View(0, 0, 640, 360);
        camera.SetViewBorderX(32);
        camera.SetViewBorderY(32);
        camera.SetViewSpeedX(-1);
        camera.SetViewSpeedY(-1);
        camera.SetTargetInstance(target->i_id);
    }
    void TearDown() override { Run_Room = nullptr; }

    float FollowX(float x) {
        target->i_x = x;
        camera.CameraUpdate();
        return camera.GetViewX();
    }

    CRoom room;
    CInstance* target = nullptr;
    CCamera camera;
};

TEST_F(CameraFollow, TheBorderKeepsTheTargetInside) {
    struct {
        float from, x, to;
    } const cases[] = {
        {0, 600, 0},        // 600 + 32 lies inside the view
        {0, 620, 12},       // pushed right to keep the border
        {0, 700, 92},       //
        {300, 320, 288},    // pushed left
        {300, 331.7f, 299}, // floor(331.7) - 32
        {92, 10, 0},        // clamped at the room's left edge
        {0, 990, 360},      // and at its right edge: 1000 - 640
    };
    for (const auto& c : cases) {
        camera.SetViewX(c.from);
        EXPECT_EQ(FollowX(c.x), c.to) << c.from << " " << c.x;
        // The view is rebuilt around the new rectangle.
        EXPECT_FLOAT_EQ(camera.GetCamPos().x, c.to + 320.0f);
    }
}

TEST_F(CameraFollow, WideBordersCentreTheTarget) {
    camera.SetViewBorderX(320);
    EXPECT_EQ(FollowX(500), 180);
    target->i_y = 400;
    camera.SetViewBorderY(200);
    camera.CameraUpdate();
    EXPECT_EQ(camera.GetViewY(), 220);
}

TEST_F(CameraFollow, ARoomSmallerThanTheViewLeavesItAtANegativePosition) {
    room.m_width = 300;
    EXPECT_EQ(FollowX(150), -340);
}

TEST_F(CameraFollow, TheSpeedLimitsEachUpdate) {
    camera.SetViewSpeedX(4);
    EXPECT_EQ(FollowX(700), 4);
    EXPECT_EQ(FollowX(700), 8);
    camera.SetViewX(50);
    EXPECT_EQ(FollowX(10), 46) << "towards the left as well";
    camera.SetViewSpeedX(0);
    EXPECT_EQ(FollowX(700), 46) << "speed 0 keeps the view still";
}

TEST_F(CameraFollow, NoLiveTargetLeavesTheViewUnchanged) {
    camera.SetViewX(50);
    target->i_marked = true;
    EXPECT_EQ(FollowX(700), 50);
    target->i_marked = false;
    target->i_deactivated = true;
    EXPECT_EQ(FollowX(700), 50);
    camera.SetTargetInstance(5); // an object index with no object
    EXPECT_EQ(FollowX(700), 50);
    camera.SetTargetInstance(123456); // no such instance
    EXPECT_EQ(FollowX(700), 50);
}

// Without a target only a dirty camera rebuilds, around its rectangle; the
// mark stays, so later moves are picked up too.
TEST_F(CameraFollow, WithoutATargetADirtyCameraRebuilds) {
    camera.SetTargetInstance(-1);
    camera.SetViewX(100);
    camera.CameraUpdate();
    EXPECT_FLOAT_EQ(camera.GetCamPos().x, 320.0f) << "not dirty: not rebuilt";
    camera.SetViewDirty();
    camera.CameraUpdate();
    EXPECT_FLOAT_EQ(camera.GetCamPos().x, 420.0f);
    camera.SetViewY(40);
    camera.CameraUpdate();
    EXPECT_FLOAT_EQ(camera.GetCamPos().y, 220.0f);
    EXPECT_TRUE(camera.IsViewDirty());
}

TEST_F(CameraFollow, TheQuadOfADirtyCameraFollowsItsUpdate) {
    CCamera* managed = g_CM.CreateCamera();
    managed->SetViewWidth(640);
    managed->SetViewHeight(360);
    managed->SetViewX(100);
    managed->SetViewDirty();
    float q[8];
    ASSERT_TRUE(Camera_ViewQuad(managed->GetID(), q));
    EXPECT_NEAR(q[0], 100.0f, 1e-2);
    EXPECT_NEAR(q[4], 740.0f, 1e-2);
    EXPECT_FALSE(Camera_ViewQuad(managed->GetID() + 1, q));
}

} // namespace
