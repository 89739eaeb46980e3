// The game controller in the game room, headless: the spawn cycle (the
// first enemy in the room's first step, the next 241 steps later, always on
// the room's border, none while four live), the hit-stop holding the spawn
// alarm, and Escape back to the title.
#include <gtest/gtest.h>

#include "game/game_functions.h"
#include "game_fixture.h"
#include "world/lifecycle/instance_life.h"

namespace {

class Controller : public GameRun {
protected:
    void SetUp() override {
        GameRun::SetUp();
        if (HasFatalFailure()) return;
        StartIn(2);
        m_controller = The(OBJ_game_controller);
        ASSERT_NE(m_controller, nullptr);
    }

    int Enemies() const { return static_cast<int>(InstancesOf(OBJ_enemy).size()); }

    // Where the enemy came in (it starts chasing in its first step).
    void ExpectOnTheBorder(CInstance* enemy) const {
        const float w = static_cast<float>(Run_Room->m_width), h = static_cast<float>(Run_Room->m_height);
        const float x = enemy->i_xstart, y = enemy->i_ystart;
        const bool onEdge = x == 0 || x == w || y == 0 || y == h;
        const bool inside = x >= 0 && x <= w && y >= 0 && y <= h;
        EXPECT_TRUE(onEdge && inside) << x << ", " << y;
    }

    void TempPause(int steps) {
        ZQRValue count(steps);
        ZQRValue* args[] = {&count};
        ZQRValue result;
        vtl_Script_temp_pause(m_controller, m_controller, result, 1, args);
    }

    CInstance* m_controller = nullptr;
};

TEST_F(Controller, FirstEnemyInTheFirstStepThenEvery241Steps) {
    EXPECT_EQ(Slot(m_controller, SLOT_max_enemies), 4);
    EXPECT_EQ(Slot(m_controller, SLOT_paused), 0);
    EXPECT_EQ(Alarm(m_controller, 0), 1);
    EXPECT_EQ(Enemies(), 0);
    Step();
    ASSERT_EQ(Enemies(), 1);
    ExpectOnTheBorder(InstancesOf(OBJ_enemy)[0]);
    EXPECT_EQ(Alarm(m_controller, 0), 0) << "the alarm that fired reads 0 in the Step of its step";

    // A charge on the player freezes the game, and the spawn alarm with it.
    int steps = 0, frozen = 0;
    while (Enemies() == 1 && steps < 1000) {
        Step();
        ++steps;
        if (Slot(m_controller, SLOT_paused) == 1) ++frozen;
    }
    EXPECT_EQ(steps, 241 + frozen);
    ASSERT_EQ(Enemies(), 2);
    for (CInstance* enemy : InstancesOf(OBJ_enemy)) ExpectOnTheBorder(enemy);
}

TEST_F(Controller, FourAliveKeepTheSpawnAlarmIdle) {
    Step(); // the first enemy
    for (int i = 0; i < 3; ++i) ZQVTL_instance_create(0, 0, OBJ_enemy);
    ASSERT_EQ(Enemies(), 4);
    Step(300);
    EXPECT_EQ(Enemies(), 4);
    EXPECT_EQ(Alarm(m_controller, 0), -1);
    EXPECT_EQ(Slot(m_controller, SLOT_num_enemies), 4);

    // One dies: the next Step arms a fresh 240.
    ZQVTL_instance_destroy(InstancesOf(OBJ_enemy)[0], nullptr, 0, nullptr);
    Step();
    EXPECT_EQ(Alarm(m_controller, 0), 240);
}

TEST_F(Controller, AHitStopHoldsTheSpawnAlarmWithItsRemainingSteps) {
    Step(2); // the first enemy; the Step of the second step arms 240
    ASSERT_EQ(Alarm(m_controller, 0), 240);
    Step(40);
    ASSERT_EQ(Alarm(m_controller, 0), 200);

    TempPause(10);
    EXPECT_EQ(Slot(m_controller, SLOT_paused), 1);
    EXPECT_EQ(Alarm(m_controller, 0), -1);
    EXPECT_EQ(Alarm(m_controller, 1), 10);
    Step(9);
    EXPECT_EQ(Alarm(m_controller, 0), -1) << "held while paused";
    EXPECT_EQ(Enemies(), 1);
    Step(); // alarm 1: everything resumes
    EXPECT_EQ(Slot(m_controller, SLOT_paused), 0);
    EXPECT_EQ(Alarm(m_controller, 0), 200);
}

TEST_F(Controller, ASecondHitStopLosesTheHeldAlarm) {
    Step(2);
    Step(40);
    TempPause(10);
    TempPause(5); // the controller saves without testing paused
    ZQRValue held = Game_GetElement(m_controller, SLOT_old_alarm, 0);
    EXPECT_EQ(held.ToReal(), -1);
    EXPECT_EQ(Alarm(m_controller, 1), 5) << "the pause timer restarts";
    Step(5);
    EXPECT_EQ(Slot(m_controller, SLOT_paused), 0);
    EXPECT_EQ(Alarm(m_controller, 0), 240) << "the Step arms a fresh spawn after resuming";
}

TEST_F(Controller, EscapeLeavesForTheTitle) {
    Step();
    PressKey(27);
    Step();
    EXPECT_EQ(Current_Room, 0);
    EXPECT_NE(The(OBJ_title), nullptr);
    EXPECT_EQ(The(OBJ_game_controller), nullptr);
}

} // namespace
