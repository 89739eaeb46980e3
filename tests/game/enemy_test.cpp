// The enemies in the game room, headless, with the controller's spawning
// switched off: the wind-up distance, the wind-up cycle, standing without a
// target, a hit cancelling a wind-up, and an enemy killed while a hit-stop
// already holds it, which must still be removed when the freeze ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "game/game_functions.h"
#include "game_fixture.h"
#include "world/lifecycle/instance_life.h"

namespace {

class Enemy : public GameRun {
protected:
    void SetUp() override {
        GameRun::SetUp();
        if (HasFatalFailure()) return;
        StartIn(2);
        m_controller = The(OBJ_game_controller);
        m_player = The(OBJ_player);
        ASSERT_NE(m_controller, nullptr);
        ASSERT_NE(m_player, nullptr);
        Game_Slot(m_controller, SLOT_max_enemies) = 0;
        m_controller->SetTimer(0, -1);
    }

    static CInstance* NewEnemy(float x, float y) {
        return CInstance::Find(static_cast<int>(ZQVTL_instance_create(x, y, OBJ_enemy)));
    }
    // A target without a sprite, so nothing collides with it.
    static CInstance* Target(float x, float y) {
        return CInstance::Find(static_cast<int>(ZQVTL_instance_create(x, y, CLS_targetable)));
    }
    static bool Alive(int id) {
        CInstance* i = CInstance::Find(id);
        return i != nullptr && !i->i_marked;
    }
    void RemovePlayer() {
        ZQVTL_instance_destroy(m_player, nullptr, 0, nullptr);
        m_player = nullptr;
    }
    // The player dashing, standing where it is.
    void PlayerDashing() {
        Game_Slot(m_player, SLOT_dashing) = 1;
        Game_Slot(m_player, SLOT_locked_input) = 1;
        m_player->SetTimer(0, 10);
    }

    CInstance* m_controller = nullptr;
    CInstance* m_player = nullptr;
};

TEST_F(Enemy, AnEnemyMadeInTheGameTakesAnIdNoPlacedInstanceHas) {
    int highest = 0;
    for (CInstance* i = Run_Room->m_pFirstActive; i != nullptr; i = i->m_pNext)
        highest = std::max(highest, i->i_id);
    const int id = static_cast<int>(ZQVTL_instance_create(10, 10, OBJ_enemy));
    EXPECT_GT(id, highest);
    ASSERT_NE(CInstance::Find(id), nullptr);
    EXPECT_EQ(CInstance::Find(id)->m_pObject->m_index, OBJ_enemy);
}

TEST_F(Enemy, AWindUpStartsNearerThan128Pixels) {
    RemovePlayer();
    const struct {
        double distance;
        bool windsUp;
    } cases[] = {{127.9, true}, {128, false}, {40, true}, {300, false}};
    for (const auto& c : cases) {
        CInstance* target = Target(300, 200);
        CInstance* enemy = NewEnemy(static_cast<float>(300 + c.distance), 200);
        Step();
        EXPECT_EQ(Slot(enemy, SLOT_charge), c.windsUp ? 1 : 0) << c.distance;
        EXPECT_EQ(Slot(enemy, SLOT_can_charge), c.windsUp ? 0 : 1) << c.distance;
        if (c.windsUp) {
            EXPECT_EQ(Alarm(enemy, 1), 20) << c.distance;
            EXPECT_EQ(enemy->i_direction, 180) << "aimed at the target";
        } else {
            EXPECT_EQ(enemy->i_direction, 180) << "chasing";
            EXPECT_GT(enemy->i_speed, 0) << c.distance;
        }
        ZQVTL_instance_destroy(enemy, nullptr, 0, nullptr);
        ZQVTL_instance_destroy(target, nullptr, 0, nullptr);
        Step();
    }
}

TEST_F(Enemy, WindUpsComeAtLeast120StepsApartAndChargeAt16) {
    RemovePlayer();
    Target(400, 270);
    CInstance* enemy = NewEnemy(500, 270);
    std::vector<int> windUps;
    int chargeStart = -1;
    double previousCharge = 0;
    for (int step = 1; step <= 400; ++step) {
        Step();
        const double charge = Slot(enemy, SLOT_charge);
        if (charge == 1 && previousCharge == 0 && Slot(enemy, SLOT_dashing) == 0) windUps.push_back(step);
        if (chargeStart < 0 && Slot(enemy, SLOT_dashing) == 1) {
            chargeStart = step;
            EXPECT_NEAR(enemy->i_speed, 16 - 0.2, 1e-4) << "16, less the friction";
        }
        previousCharge = charge;
    }
    ASSERT_GE(windUps.size(), 3u);
    EXPECT_EQ(chargeStart, windUps[0] + 20);
    // Wind-up 20, charge 10, rest 30, cooldown 60: 120 steps of alarms, less
    // the three steps in which an alarm set by the alarm before it counts
    // down in the same alarm pass (the pass goes alarm by alarm).
    for (size_t i = 1; i < windUps.size(); ++i) EXPECT_GE(windUps[i] - windUps[i - 1], 117);
    EXPECT_EQ(windUps[1] - windUps[0], 117) << "back in range when the cooldown ends";
}

TEST_F(Enemy, WithoutTargetsEnemiesStandStill) {
    RemovePlayer();
    CInstance* enemy = NewEnemy(100, 100);
    enemy->i_speed = 3;
    Step();
    EXPECT_EQ(enemy->i_speed, 0);
    Step(10);
    EXPECT_EQ(enemy->i_x, 100);
    EXPECT_EQ(enemy->i_y, 100);
}

TEST_F(Enemy, AHitDuringTheWindUpCancelsTheCharge) {
    CInstance* enemy = NewEnemy(m_player->i_x + 100, m_player->i_y);
    Step();
    ASSERT_EQ(Slot(enemy, SLOT_charge), 1);
    Step(5);
    enemy->SetPosition(m_player->i_x, m_player->i_y);
    PlayerDashing();
    Step();
    EXPECT_EQ(Slot(enemy, SLOT_is_dead), 1);
    EXPECT_EQ(Slot(enemy, SLOT_charge), 0);
    EXPECT_EQ(Alarm(m_controller, 1), 10) << "the hit-stop";
    int steps = 1;
    while (!InstancesOf(OBJ_enemy).empty() && steps < 200) {
        ASSERT_EQ(Slot(enemy, SLOT_dashing), 0) << "step " << steps;
        Step();
        ++steps;
    }
    EXPECT_EQ(steps, 1 + 10 + 60);
    EXPECT_EQ(InstancesOf(OBJ_crash).size(), 1u);
    EXPECT_EQ(Slot(m_player, SLOT_my_hp), 10);
}

TEST_F(Enemy, AnEnemyKilledDuringAHitStopIsRemovedWhenItEnds) {
    // A charge pending when it is hit must not go on after the freeze.
    CInstance* first = NewEnemy(m_player->i_x, m_player->i_y);
    CInstance* second = NewEnemy(m_player->i_x, m_player->i_y);
    const int secondId = second->i_id;
    Game_Slot(second, SLOT_charge) = 1;
    second->SetTimer(1, 5);
    PlayerDashing();
    Step();
    ASSERT_EQ(Slot(first, SLOT_is_dead), 1);
    ASSERT_EQ(Slot(second, SLOT_is_dead), 1) << "killed while the first death's hit-stop holds it";
    EXPECT_EQ(Slot(second, SLOT_paused), 1);

    int steps = 0;
    while (!InstancesOf(OBJ_enemy).empty() && steps < 300) {
        Step();
        ++steps;
        if (Alive(secondId)) {
            ASSERT_EQ(Slot(second, SLOT_dashing), 0) << "step " << steps;
        }
    }
    EXPECT_EQ(steps, 10 + 60) << "both removed 60 steps after the freeze ends";
    EXPECT_EQ(InstancesOf(OBJ_crash).size(), 2u);
    Step();
    EXPECT_EQ(Slot(m_controller, SLOT_num_enemies), 0) << "they no longer count toward the limit";
}

} // namespace
