// Instance motion: the two forms of the motion vector, direction wrap,
// friction and gravity, and path following with each end action.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "instance_fixture.h"
#include "world/motion/path.h"
#include "world/motion/path_resources.h"

namespace {

using InstanceMotion = InstanceScene;

TEST_F(InstanceMotion, DirectionAndSpeedFromTheComponents) {
    CInstance i(0, 0, 1, -1, false);
    i.SetHspeed(3);
    i.SetVspeed(-4);
    EXPECT_NEAR(i.i_direction, 53.1301, 1e-4);
    EXPECT_EQ(i.i_speed, 5.0f) << "snapped to the integer";
    i.SetHspeed(-3);
    i.SetVspeed(4);
    EXPECT_NEAR(i.i_direction, 233.1301, 1e-4);
    i.SetHspeed(0);
    EXPECT_EQ(i.i_direction, 270.0f);
    i.SetVspeed(-2);
    EXPECT_EQ(i.i_direction, 90.0f);
}

TEST_F(InstanceMotion, ComponentsFromDirectionAndSpeedAreSnapped) {
    CInstance i(0, 0, 1, -1, false);
    i.SetSpeed(4);
    EXPECT_EQ(i.i_hspeed, 4.0f);
    i.SetDirection(90);
    EXPECT_EQ(i.i_hspeed, 0.0f);
    EXPECT_EQ(i.i_vspeed, -4.0f) << "direction 90 moves up";
    i.AddTo_Speed(270, 4);
    EXPECT_EQ(i.i_speed, 0.0f);
}

TEST_F(InstanceMotion, DirectionWrapEndsForEveryValue) {
    CInstance i(0, 0, 1, -1, false);
    const struct {
        float in;
        float out;
    } cases[] = {{-90, 270}, {720, 0}, {360, 0}, {370, 10}, {-720, 0}, {-1e-10f, 0}};
    for (const auto& c : cases) {
        i.SetDirection(c.in);
        EXPECT_EQ(i.i_direction, c.out) << c.in;
    }
    for (float huge : {1e30f, -1e30f, 3.4e38f}) {
        i.SetDirection(huge);
        EXPECT_GE(i.i_direction, 0.0f) << huge;
        EXPECT_LT(i.i_direction, 360.0f) << huge;
    }
    for (float bad : {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                      std::numeric_limits<float>::quiet_NaN()}) {
        i.SetDirection(bad); // must return
        EXPECT_TRUE(std::isnan(i.i_direction));
    }
}

TEST_F(InstanceMotion, FrictionAndGravity) {
    CInstance i(0, 0, 1, -1, false);
    i.i_friction = 1;
    i.Adapt_Speed();
    EXPECT_EQ(i.i_speed, 0.0f) << "friction on a resting instance does nothing";
    i.SetDirection(30);
    i.SetSpeed(0.5f);
    i.Adapt_Speed();
    EXPECT_EQ(i.i_speed, 0.0f) << "friction never reverses the motion";
    EXPECT_EQ(i.i_hspeed, 0.0f);
    EXPECT_EQ(i.i_vspeed, 0.0f);
    i.SetDirection(0);
    i.SetSpeed(3);
    i.i_friction = -1;
    i.Adapt_Speed();
    EXPECT_EQ(i.i_speed, 4.0f) << "negative friction accelerates";
    EXPECT_EQ(i.i_hspeed, 4.0f);

    CInstance g(0, 0, 2, -1, false);
    g.i_gravity = 1;
    for (int step = 1; step <= 3; ++step) {
        g.Adapt_Speed();
        EXPECT_EQ(g.i_vspeed, static_cast<float>(step));
        EXPECT_NEAR(g.i_hspeed, 0.0f, 1e-6) << "the sum is not snapped";
    }
    EXPECT_NEAR(g.i_direction, 270.0f, 1e-4);
}

// A straight path from (0, 0) to (100, 0), length 100, point speed 100.
class InstancePath : public InstanceScene {
protected:
    void SetUp() override {
        InstanceScene::SetUp();
        Path_Init();
        m_path = Path_Add();
        CPath* path = Path_Data(m_path);
        path->SetKind(0);
        path->SetClosed(false);
        path->AddPoint(0, 0, 100);
        path->AddPoint(100, 0, 100);
    }
    void TearDown() override {
        Path_Quit();
        InstanceScene::TearDown();
    }
    int m_path = -1;
};

TEST_F(InstancePath, StartRelativeOrAbsolute) {
    CInstance i(10, 20, 1, -1, false);
    i.Assign_Path(m_path, 5, 1, 0, true, 0);
    EXPECT_EQ(i.i_x, 10.0f);
    EXPECT_EQ(i.i_pathxstart, 10.0f);
    EXPECT_EQ(i.i_pathposition, 0.0f);
    i.Assign_Path(m_path, -5, 1, 0, false, 0);
    EXPECT_EQ(i.i_x, 100.0f) << "absolute with a negative speed starts at the end";
    EXPECT_EQ(i.i_pathposition, 1.0f);
    EXPECT_EQ(i.i_pathxstart, 0.0f);
    i.Assign_Path(m_path, 5, -1, 0, true, 0);
    EXPECT_EQ(i.i_pathindex, -1) << "negative scale";
    i.Assign_Path(m_path + 1, 5, 1, 0, true, 0);
    EXPECT_EQ(i.i_pathindex, -1) << "missing path";
}

TEST_F(InstancePath, FollowsAndStopsAtTheEnd) {
    CInstance i(0, 0, 1, -1, false);
    i.Assign_Path(m_path, 10, 1, 0, false, 0);
    EXPECT_FALSE(i.Adapt_Path());
    EXPECT_NEAR(i.i_x, 10.0f, 1e-3);
    EXPECT_EQ(i.i_speed, 0.0f) << "the path moves the instance, not its speed";
    EXPECT_EQ(i.i_direction, 0.0f);
    i.i_pathposition = 0.95f;
    EXPECT_TRUE(i.Adapt_Path());
    EXPECT_EQ(i.i_pathposition, 1.0f);
    EXPECT_EQ(i.i_pathindex, -1);
    EXPECT_NEAR(i.i_x, 100.0f, 1e-3);
}

TEST_F(InstancePath, EndActions) {
    const struct {
        int action;
        float position;
        float speed;
        float pathxstart;
    } cases[] = {
        {1, 0.05f, 10, 0},   // restart
        {2, 0.05f, 10, 100}, // continue from the end
        {3, 0.95f, -10, 0},  // reverse
        {7, 1.0f, 10, 0},    // unknown: stop
    };
    for (const auto& c : cases) {
        CInstance i(0, 0, 1, -1, false);
        i.Assign_Path(m_path, 10, 1, 0, false, c.action);
        i.i_pathposition = 0.95f;
        EXPECT_TRUE(i.Adapt_Path()) << c.action;
        EXPECT_NEAR(i.i_pathposition, c.position, 1e-5) << c.action;
        EXPECT_EQ(i.i_pathspeed, c.speed) << c.action;
        EXPECT_EQ(i.i_pathxstart, c.pathxstart) << c.action;
    }
}

TEST_F(InstancePath, ScaleZeroDoesNotDivideByZero) {
    CInstance i(5, 5, 1, -1, false);
    i.Assign_Path(m_path, 10, 0, 0, true, 1);
    EXPECT_FALSE(i.Adapt_Path());
    EXPECT_TRUE(std::isfinite(i.i_pathposition));
    EXPECT_EQ(i.i_x, 5.0f);
}

} // namespace
