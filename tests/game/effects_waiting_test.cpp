// The effects, the waiting carriers and the board's duplicate guard in the
// game room: the burst's growth (a carrier's stays at 1), the falling
// piece's slowing and late fade, the wreck gone at the end of its
// animation, waiting carriers wandering around the pile, and a piece
// number already on the board not placed again.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "game/game_functions.h"
#include "game_fixture.h"
#include "world/lifecycle/instance_life.h"

namespace {

class Room : public GameRun {
protected:
    void SetUp() override {
        GameRun::SetUp();
        if (HasFatalFailure()) return;
        StartIn(2);
    }
    static CInstance* Make(int object, float x = 480, float y = 270) {
        return CInstance::Find(static_cast<int>(ZQVTL_instance_create(x, y, object)));
    }
    static double Get(CInstance* i, int var) { return Game_Get(i, var).ToReal(); }
};

TEST_F(Room, TheBurstGrowsToItsLargestScale) {
    CInstance* burst = Make(OBJ_whomp);
    CInstance* small = Make(OBJ_whomp);
    ASSERT_TRUE(burst != nullptr && small != nullptr);
    Game_Slot(small, SLOT_scale_rate) = 0.25;
    Game_Slot(small, SLOT_max_scale) = 1;
    const int id = burst->i_id;
    burst->SetTimer(0, 4);
    EXPECT_EQ(Get(burst, VAR_image_index), 2);
    EXPECT_EQ(Get(burst, VAR_image_speed), 0);
    EXPECT_EQ(Get(burst, VAR_image_xscale), 1);
    for (double scale : {1.5, 2.0, 2.0}) {
        Step();
        EXPECT_EQ(Get(burst, VAR_image_xscale), scale);
        EXPECT_EQ(Get(burst, VAR_image_yscale), scale);
        EXPECT_EQ(Get(small, VAR_image_xscale), 1) << "a carrier's burst stays at 1";
    }
    Step();
    EXPECT_EQ(CInstance::Find(id), nullptr) << "gone when its creator's alarm fires";
}

TEST_F(Room, TheFallingPieceSlowsAndFadesOnlyInItsLastFifteenSteps) {
    CInstance* piece = Make(OBJ_piece_effect);
    ASSERT_NE(piece, nullptr);
    const int id = piece->i_id;
    Game_Set(piece, VAR_speed, ARRAY_INDEX_NO_INDEX, 4);
    EXPECT_EQ(Alarm(piece, 0), 30);
    for (int step = 1; step <= 29; ++step) {
        Step();
        SCOPED_TRACE("step " + std::to_string(step));
        EXPECT_NEAR(Get(piece, VAR_speed), 4 - step / 15.0, 1e-4); // speed is single precision
        EXPECT_NEAR(Slot(piece, SLOT_scaling), 1 - 0.025 * step, 1e-9);
        const double alpha = step <= 15 ? 1 : (30 - step) / 15.0;
        EXPECT_NEAR(Get(piece, VAR_image_alpha), alpha, 1e-6);
    }
    EXPECT_NEAR(std::fabs(Get(piece, VAR_image_angle)), 29 * 5, 1e-4);
    Step();
    EXPECT_EQ(CInstance::Find(id), nullptr);
}

TEST_F(Room, TheWreckGoesAtTheEndOfItsAnimation) {
    CInstance* wreck = Make(OBJ_crash);
    ASSERT_NE(wreck, nullptr);
    const int id = wreck->i_id;
    EXPECT_EQ(Get(wreck, VAR_image_xscale), 0.5);
    EXPECT_EQ(Get(wreck, VAR_image_yscale), 0.5);
    const int frames = static_cast<int>(Get(wreck, VAR_image_number));
    ASSERT_GT(frames, 1);
    int steps = 0;
    while (CInstance::Find(id) != nullptr && steps < 1000) {
        Step();
        ++steps;
    }
    EXPECT_LT(steps, 1000);
    EXPECT_GE(steps, frames) << "played through every frame first";
}

TEST_F(Room, WaitingCarriersWanderAroundThePile) {
    CInstance* pile = The(OBJ_piece_pile);
    ASSERT_NE(pile, nullptr);
    std::vector<CInstance*> waiting = InstancesOf(OBJ_transmitter_waiting);
    ASSERT_EQ(waiting.size(), 30u);
    std::vector<std::pair<double, double>> first, start;
    for (CInstance* w : waiting) {
        EXPECT_EQ(Get(w, VAR_image_xscale), 0.25);
        EXPECT_LE(std::fabs(w->i_x - pile->i_x), 75);
        EXPECT_LE(std::fabs(w->i_y - pile->i_y), 75);
        EXPECT_LE(std::fabs(Slot(w, SLOT_target_x) - pile->i_x), 150);
        EXPECT_LE(std::fabs(Slot(w, SLOT_target_y) - pile->i_y), 150);
        EXPECT_NEAR(Get(w, VAR_speed), 0.5, 1e-9);
        first.emplace_back(Slot(w, SLOT_target_x), Slot(w, SLOT_target_y));
        start.emplace_back(w->i_x, w->i_y);
    }
    Step(700);
    int retargeted = 0;
    for (size_t i = 0; i < waiting.size(); ++i) {
        CInstance* w = waiting[i];
        EXPECT_TRUE(w->i_x != start[i].first || w->i_y != start[i].second) << "hidden ones move too";
        if (Slot(w, SLOT_target_x) == first[i].first && Slot(w, SLOT_target_y) == first[i].second) continue;
        ++retargeted;
        EXPECT_LE(std::fabs(Slot(w, SLOT_target_x) - pile->i_x), 75);
        EXPECT_LE(std::fabs(Slot(w, SLOT_target_y) - pile->i_y), 75);
    }
    EXPECT_GT(retargeted, 0);
}

TEST_F(Room, APieceAlreadyOnTheBoardIsNotPlacedAgain) {
    CInstance* pile = The(OBJ_piece_pile);
    CInstance* goal = The(OBJ_goal);
    ASSERT_TRUE(pile != nullptr && goal != nullptr);
    vtl_Object_obj_piece_pile_Alarm_0(pile, pile);
    ASSERT_EQ(InstancesOf(OBJ_transmitter).size(), 1u);
    CInstance* carrier = InstancesOf(OBJ_transmitter)[0];
    // Already placed: the carrier reaches its place and moves on.
    ZQRValue list = Game_Slot(goal, SLOT_piece_list), number = Game_Slot(carrier, SLOT_piece_number);
    ZQRValue* args[] = {&list, &number};
    ZQRValue result;
    ZQVTL_CallLegacyFunction(goal, goal, result, 2, g_GameFuncRecords[FN_ds_list_add].id, args);
    Game_Slot(carrier, SLOT_state) = 2;
    carrier->i_x = static_cast<float>(Slot(carrier, SLOT_target_x));
    carrier->i_y = static_cast<float>(Slot(carrier, SLOT_target_y));
    const double inPlay = REAL_RValue(&Game_Global(SLOT_pieces_in_play));
    Step();
    EXPECT_EQ(Slot(carrier, SLOT_state), 3);
    EXPECT_TRUE(InstancesOf(OBJ_piece).empty());
    EXPECT_EQ(REAL_RValue(&Game_Global(SLOT_pieces_in_play)), inPlay);
    EXPECT_EQ(Slot(goal, SLOT_num_pieces), 1);
}

} // namespace
