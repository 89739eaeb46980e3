// Movement commands over a small scene: sprite 0 gives a 32-pixel box around
// the position (x - 16 .. x + 15); object 0 moves, object 1 is a solid wall,
// object 2 a wall that is not solid. Both collision modes must agree.
#include <gtest/gtest.h>

#include <cmath>

#include "instance_fixture.h"
#include "world/datafile/options.h"
#include "world/instances/instance_tree.h"
#include "world/motion/movement_commands.h"

namespace {

class Movement : public InstanceScene, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        InstanceScene::SetUp();
        option_use_fast_collision = GetParam();
        option_fast_collision_compatibility = true; // the same boxes in both modes
        MakeObjects(3);
        SetDefaults(0, {.sprite = 0});
        SetDefaults(1, {.sprite = 0, .flags = OBJECT_FLAG_SOLID});
        SetDefaults(2, {.sprite = 0});
        m_room->m_width = 640;
        m_room->m_height = 480;
    }
    void TearDown() override {
        FINALIZE_InstanceTree();
        option_use_fast_collision = option_fast_collision_compatibility = false;
        InstanceScene::TearDown();
    }
    CInstance* Add(int object, float x, float y) { return m_room->AddInstance(x, y, object); }
};

TEST_P(Movement, SnapAndSnappedTests) {
    CInstance* a = Add(0, 48, 7);
    Command_Snap(a, 32, 0);
    EXPECT_EQ(a->i_x, 64);
    EXPECT_EQ(a->i_y, 7) << "vsnap 0 leaves y";
    a->SetPosition(16, 7);
    Command_Snap(a, 32, 0);
    EXPECT_EQ(a->i_x, 0) << "halves go to even";
    a->SetPosition(32.0005f, 48);
    EXPECT_TRUE(Command_PlaceSnapped(a, 16, 16));
    a->SetPosition(32.01f, 48);
    EXPECT_FALSE(Command_PlaceSnapped(a, 16, 16));
}

TEST_P(Movement, ContactStopsBeforeTheWallWithinItsStepLimit) {
    Add(1, 100, 0); // box 84..115
    CInstance* a = Add(0, 0, 0);
    Command_MoveContact(a, 0, 3.5f, false);
    EXPECT_EQ(a->i_x, 4) << "3.5 rounds to 4 steps";
    a->SetPosition(0, 0);
    Command_MoveContact(a, 0, -1, false);
    EXPECT_EQ(a->i_x, 68) << "the last free place before the wall";
    a->SetPosition(0, 0);
    Command_MoveContact(a, 0, 1e9f, false);
    EXPECT_EQ(a->i_x, 68) << "a huge distance still stops at the wall";

    Add(2, 0, 40); // not solid: only the all test sees it
    a->SetPosition(0, 100);
    Command_MoveContact(a, 90, -1, true);
    EXPECT_EQ(a->i_y, 72);
    a->SetPosition(0, 100);
    Command_MoveContact(a, 90, 50, false);
    EXPECT_EQ(a->i_y, 50);
}

// Nothing ahead: a huge distance is travelled at once rather than in a
// billion one-pixel queries.
TEST_P(Movement, HugeDistancesWithNothingAheadAreTravelledAtOnce) {
    Add(1, 100, 0);
    CInstance* a = Add(0, 300, 0);
    Command_MoveContact(a, 0, 1e9f, false);
    EXPECT_FLOAT_EQ(a->i_x, 300 + 1e9f);
    a->SetPosition(0, 0);
    Command_MoveContact(a, 180, 2e9f, false);
    EXPECT_FLOAT_EQ(a->i_x, -2e9f);
    Command_MoveContact(a, std::nanf(""), 1e9f, false);
    EXPECT_FLOAT_EQ(a->i_x, -2e9f) << "no direction, no move";
}

TEST_P(Movement, OutsideLeavesTheWallOrStaysWhenAlreadyFree) {
    Add(1, 100, 0);
    CInstance* a = Add(0, 100, 0);
    Command_MoveOutside(a, 180, -1, false);
    EXPECT_EQ(a->i_x, 68);
    Command_MoveOutside(a, 180, -1, false);
    EXPECT_EQ(a->i_x, 68) << "already free";
    a->SetPosition(100, 0);
    Command_MoveOutside(a, 180, 5, false);
    EXPECT_EQ(a->i_x, 95) << "gives up after its steps";
    a->SetPosition(100, 0);
    Command_MoveOutside(a, 180, 1e9f, true);
    EXPECT_EQ(a->i_x, 68);
}

TEST_P(Movement, RandomPlacesOnTheGridAndSurvivesAnEmptyRange) {
    CInstance* a = Add(0, 100, 100);
    for (int i = 0; i < 20; ++i) {
        Command_MoveRandom(a, 16, 16);
        EXPECT_EQ(std::fmod(a->i_x, 16.0f), 0.0f);
        EXPECT_EQ(std::fmod(a->i_y, 16.0f), 0.0f);
        EXPECT_GE(a->i_x, 16);
        EXPECT_LE(a->i_x, 640 - 16);
    }
    // The room exactly as wide as the box, then narrower than it.
    m_room->m_width = 31;
    Command_MoveRandom(a, 0, 0);
    EXPECT_EQ(a->i_x, 16);
    m_room->m_width = 10;
    m_room->m_height = 0;
    Command_MoveRandom(a, 0, 0);
    EXPECT_TRUE(std::isfinite(a->i_x) && std::isfinite(a->i_y));
    // Blocked everywhere: the instance stays.
    m_room->m_width = 31;
    m_room->m_height = 31;
    Add(1, 16, 16);
    a->SetPosition(500, 500);
    Command_MoveRandom(a, 0, 0);
    EXPECT_EQ(a->i_x, 500);
}

TEST_P(Movement, SimpleBounceNegatesTheBlockedComponent) {
    Add(1, 100, 100);
    CInstance* a = Add(0, 64, 100);
    a->SetHspeed(8);
    a->SetVspeed(-2);
    Command_Bounce(a, false, false);
    EXPECT_EQ(a->i_hspeed, -8);
    EXPECT_EQ(a->i_vspeed, -2);
    a->SetPosition(64, 300);
    a->SetHspeed(8);
    Command_Bounce(a, false, false);
    EXPECT_EQ(a->i_hspeed, 8) << "free all round";
}

TEST_P(Movement, AdvancedBounceTurnsAroundAtAWall) {
    Add(1, 100, 100);
    CInstance* a = Add(0, 68, 100);
    a->SetDirection(0);
    a->SetSpeed(4);
    Command_Bounce(a, true, false);
    EXPECT_FLOAT_EQ(a->i_direction, 180);
    a->SetPosition(68, 300);
    a->SetDirection(45);
    Command_Bounce(a, true, false);
    EXPECT_FLOAT_EQ(a->i_direction, 45) << "nothing near: unchanged";
}

TEST_P(Movement, WrapAndDistances) {
    CInstance* a = Add(0, -1, 5);
    Command_MoveWrap(a, true, false, 0);
    EXPECT_EQ(a->i_x, 639);
    a->SetPosition(641, 5);
    Command_MoveWrap(a, true, false, 0);
    EXPECT_EQ(a->i_x, 1);
    a->SetPosition(100, 100); // box 84..115
    EXPECT_EQ(Command_DistanceToPoint(a, 90, 110), 0.0);
    EXPECT_EQ(Command_DistanceToPoint(a, 118, 119), 5.0);
    EXPECT_EQ(Command_DistanceToObject(a, nullptr, 1), 1000000.0) << "no instance of the object";
    CInstance* b = Add(1, 100, 150); // box 134..165, 19 below a's bottom 115
    EXPECT_EQ(FindDist(b, a), 19.0f);
    EXPECT_EQ(Command_DistanceToObject(a, nullptr, 1), 19.0);
    b->i_marked = true;
    EXPECT_EQ(FindDist(b, a), 1000000.0f);
}

INSTANTIATE_TEST_SUITE_P(BothModes, Movement, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& i) { return i.param ? "Tree" : "Lists"; });

} // namespace
