// The player in the game room, headless, with the controller's spawning
// switched off: the velocity model's exact speed sequences (the friction's
// shares are single precision, so the held-key saw-tooth runs a few
// billionths under the limit), the dash, one hit per overlap with a
// charging enemy, and dying.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "game/game_functions.h"
#include "game_fixture.h"
#include "world/lifecycle/instance_life.h"

namespace {

constexpr int kW = 87, kA = 65, kS = 83, kD = 68, kSpace = 32;

class Player : public GameRun {
protected:
    void SetUp() override {
        GameRun::SetUp();
        if (HasFatalFailure()) return;
        StartIn(2);
        m_controller = The(OBJ_game_controller);
        m_player = The(OBJ_player);
        ASSERT_NE(m_controller, nullptr);
        ASSERT_NE(m_player, nullptr);
        // No enemies unless a test makes them.
        Game_Slot(m_controller, SLOT_max_enemies) = 0;
        m_controller->SetTimer(0, -1);
    }

    // A step with `keys` held (newly pressed in the first step they are held).
    void StepHolding(std::vector<int> keys) {
        for (int key : keys) {
            if (!g_mac_keysDown[key]) PressKey(key);
        }
        Step();
        ClearEdges();
    }
    static void ClearEdges() {
        for (int key = 0; key < kIOKeyCount; ++key) g_mac_keysDownEdge[key] = g_mac_keysUpEdge[key] = 0;
    }

    double XSpeed() const { return Slot(m_player, SLOT_x_speed); }
    double YSpeed() const { return Slot(m_player, SLOT_y_speed); }

    // A charging enemy standing on the player (it neither chases nor aims).
    CInstance* ChargingEnemyOnThePlayer() {
        ZQVTL_instance_create(m_player->i_x, m_player->i_y, OBJ_enemy);
        CInstance* enemy = InstancesOf(OBJ_enemy).back();
        Game_Slot(enemy, SLOT_charge) = 1;
        Game_Slot(enemy, SLOT_dashing) = 1;
        return enemy;
    }

    CInstance* m_controller = nullptr;
    CInstance* m_player = nullptr;
};

TEST_F(Player, HoldingDRunsASawToothJustUnderTheLimit) {
    const double expected[] = {1, 1.8, 2.6, 3.4, 3.2, 4.0, 3.8, 3.6, 3.4, 3.2, 4.0, 3.8};
    const float x0 = m_player->i_x;
    double moved = 0;
    for (size_t i = 0; i < std::size(expected); ++i) {
        StepHolding({kD});
        EXPECT_NEAR(XSpeed(), expected[i], 1e-6) << "step " << i + 1;
        if (i > 0) {
            EXPECT_LT(XSpeed(), expected[i]) << "single-precision friction, step " << i + 1;
        }
        EXPECT_EQ(YSpeed(), 0);
        moved += XSpeed();
    }
    EXPECT_NEAR(m_player->i_x - x0, moved, 1e-3);
    EXPECT_EQ(Slot(m_player, SLOT_facing), 0);
}

TEST_F(Player, ReleasingAt4StopsExactlyAfter20Steps) {
    Game_Slot(m_player, SLOT_x_speed) = 4;
    for (int i = 1; i <= 19; ++i) {
        Step();
        EXPECT_NEAR(XSpeed(), 4 - 0.2 * i, 1e-5) << "step " << i;
        ASSERT_GT(XSpeed(), 0);
    }
    Step();
    EXPECT_EQ(XSpeed(), 0) << "set to exactly 0 once below the friction";
    Step();
    EXPECT_EQ(XSpeed(), 0);
}

TEST_F(Player, DAndSGoDiagonallyDownRight) {
    const double expected[] = {0.71, 1.27, 1.84, 2.40, 2.97, 3.54, 3.39, 3.96, 3.82, 3.68, 3.54, 3.39, 3.96};
    for (size_t i = 0; i < std::size(expected); ++i) {
        StepHolding({kD, kS});
        EXPECT_NEAR(XSpeed(), expected[i], 0.005) << "step " << i + 1;
        EXPECT_NEAR(YSpeed(), expected[i], 0.005) << "step " << i + 1;
    }
    EXPECT_EQ(Slot(m_player, SLOT_facing), 315);
}

TEST_F(Player, ADashFromRestGoesRight160PixelsThenCoastsLocked) {
    const float x0 = m_player->i_x, y0 = m_player->i_y;
    StepHolding({kSpace});
    EXPECT_EQ(Slot(m_player, SLOT_dashing), 1);
    EXPECT_EQ(Slot(m_player, SLOT_locked_input), 1);
    EXPECT_EQ(m_player->i_x - x0, 16);
    for (int i = 2; i <= 10; ++i) {
        const float before = m_player->i_x;
        StepHolding({kSpace}); // held: no second dash
        EXPECT_EQ(m_player->i_x - before, 16) << "dash step " << i;
    }
    EXPECT_EQ(m_player->i_x - x0, 160);
    EXPECT_EQ(m_player->i_y, y0);

    // Alarm 0: out of the dash at 4, friction first, so 3.8, 3.6, ...
    Step();
    EXPECT_EQ(Slot(m_player, SLOT_dashing), 0);
    EXPECT_NEAR(XSpeed(), 3.8, 1e-5);
    for (int i = 2; i <= 9; ++i) {
        StepHolding({kA}); // locked: neither turns nor accelerates
        EXPECT_NEAR(XSpeed(), 4 - 0.2 * i, 1e-5);
        EXPECT_EQ(Slot(m_player, SLOT_locked_input), 1);
    }
    EXPECT_EQ(Slot(m_player, SLOT_facing), 0);
    Step(); // Alarm 1, ten steps after Alarm 0
    EXPECT_EQ(Slot(m_player, SLOT_locked_input), 0);
    EXPECT_EQ(Slot(m_player, SLOT_can_ouch), 1);
}

TEST_F(Player, ADashFollowsTheFacingAndAHeldSpaceStartsNoOther) {
    StepHolding({kW}); // facing up
    ReleaseAllKeys();
    Step(30);
    const float y0 = m_player->i_y;
    StepHolding({kSpace});
    EXPECT_EQ(Slot(m_player, SLOT_facing), 90);
    EXPECT_EQ(m_player->i_y - y0, -16);
    EXPECT_EQ(XSpeed(), 0);
    for (int i = 0; i < 25; ++i) StepHolding({kSpace});
    EXPECT_EQ(Slot(m_player, SLOT_dashing), 0) << "only a new press dashes";
    EXPECT_EQ(Slot(m_player, SLOT_locked_input), 0);
}

TEST_F(Player, AChargingEnemyOnThePlayerCostsOneHitPointPerRecovery) {
    CInstance* enemy = ChargingEnemyOnThePlayer();
    Step();
    EXPECT_EQ(Slot(m_player, SLOT_my_hp), 9);
    EXPECT_EQ(Slot(m_player, SLOT_show_hp), 1);
    EXPECT_EQ(Slot(m_player, SLOT_paused), 1) << "the hit-stop";
    EXPECT_EQ(Alarm(m_controller, 1), 7);
    EXPECT_EQ(InstancesOf(OBJ_whomp).size(), 1u);
    const double knock = std::hypot(XSpeed(), YSpeed());
    EXPECT_NEAR(knock, 6, 1e-5);

    // The overlap goes on through the 7-step hit-stop and the 30 steps of
    // Alarm 1, which fires in the 37th step: the collision later in that step
    // is the next hit.
    for (int step = 1; step < 7 + 30; ++step) {
        enemy->SetPosition(m_player->i_x, m_player->i_y);
        Step();
        ASSERT_EQ(Slot(m_player, SLOT_my_hp), 9) << "step " << step;
        ASSERT_EQ(Slot(m_player, SLOT_can_ouch), 0) << "step " << step;
    }
    enemy->SetPosition(m_player->i_x, m_player->i_y);
    Step();
    EXPECT_EQ(Slot(m_player, SLOT_my_hp), 8) << "hurtable again";
}

TEST_F(Player, AChasingEnemyOrADashingPlayerTakesNoHit) {
    CInstance* enemy = ChargingEnemyOnThePlayer();
    Game_Slot(enemy, SLOT_dashing) = 0;
    Step();
    EXPECT_EQ(Slot(m_player, SLOT_my_hp), 10);

    Game_Slot(enemy, SLOT_dashing) = 1;
    enemy->SetPosition(m_player->i_x, m_player->i_y);
    Game_Slot(m_player, SLOT_dashing) = 1;
    Step();
    EXPECT_EQ(Slot(m_player, SLOT_my_hp), 10);
}

TEST_F(Player, TheTenthHitKillsAndTheControllerRestarts) {
    Game_Slot(m_player, SLOT_my_hp) = 1;
    ChargingEnemyOnThePlayer();
    Step();
    EXPECT_EQ(Slot(m_player, SLOT_is_dead), 1);
    EXPECT_EQ(Slot(m_player, SLOT_my_hp), 0);
    EXPECT_EQ(Alarm(m_controller, 1), 10);
    for (CInstance* e : InstancesOf(OBJ_enemy)) ZQVTL_instance_destroy(e, nullptr, 0, nullptr);
    int steps = 0;
    float alpha = 1, scaling = 1;
    while (The(OBJ_player) != nullptr && steps < 200) {
        alpha = m_player->i_imagealpha;
        scaling = static_cast<float>(Slot(m_player, SLOT_scaling));
        Step();
        ++steps;
    }
    // The resume in the hit-stop's last step gives back Alarm 2, which counts
    // down in that same step (the player comes after the controller).
    EXPECT_EQ(steps, 10 + 59) << "the hit-stop, then 60 steps of dying";
    EXPECT_LT(alpha, 0.1f);
    EXPECT_LT(scaling, 0.1f);
    EXPECT_EQ(InstancesOf(OBJ_crash).size(), 1u);
    // The controller restarts the room 120 steps after the removal; its
    // Alarm 2, set within the step's alarm pass, counts that step too.
    steps = 0;
    while (The(OBJ_player) == nullptr && steps < 300) {
        Step();
        ++steps;
    }
    EXPECT_EQ(steps, 119);
    ASSERT_NE(The(OBJ_player), nullptr);
    EXPECT_EQ(Slot(The(OBJ_player), SLOT_my_hp), 10);
}

} // namespace
