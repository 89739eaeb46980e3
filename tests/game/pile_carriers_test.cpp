// The piece pile and its carriers in the game room, headless on the built
// data file: the first launch 30 steps after the room starts, each piece's
// place on the board's grid (odd sizes included), the knock-down by a
// dashing enemy in every flying state, and a knock-down during a hit-stop,
// which must still end with the carrier's removal.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "game/game_functions.h"
#include "game_fixture.h"
#include "world/lifecycle/instance_life.h"

namespace {

class Pile : public GameRun {
protected:
    void SetUp() override {
        GameRun::SetUp();
        if (HasFatalFailure()) return;
        StartIn(2);
        m_pile = The(OBJ_piece_pile);
        ASSERT_NE(m_pile, nullptr);
        ASSERT_NE(The(OBJ_goal), nullptr);
    }

    // A built-in called on the pile's behalf (list reads in the checks).
    double Call(int fn, std::initializer_list<double> numbers) {
        std::vector<ZQRValue> held(numbers.begin(), numbers.end());
        std::vector<ZQRValue*> args;
        for (ZQRValue& v : held) args.push_back(&v);
        ZQRValue result;
        ZQVTL_CallLegacyFunction(m_pile, m_pile, result, static_cast<int>(args.size()),
                                 g_GameFuncRecords[fn].id, args.data());
        return result.ToReal();
    }
    double IndexListSize() { return Call(FN_ds_list_size, {Slot(m_pile, SLOT_pile_index_list)}); }
    double LastIndex() {
        return Call(FN_ds_list_find_value, {Slot(m_pile, SLOT_pile_index_list), IndexListSize() - 1});
    }

    // The pile's launch tick run now: the carrier it sent.
    CInstance* Launch() {
        const std::vector<CInstance*> before = InstancesOf(OBJ_transmitter);
        vtl_Object_obj_piece_pile_Alarm_0(m_pile, m_pile);
        const std::vector<CInstance*> after = InstancesOf(OBJ_transmitter);
        EXPECT_EQ(after.size(), before.size() + 1);
        for (CInstance* carrier : after)
            if (std::find(before.begin(), before.end(), carrier) == before.end()) return carrier;
        return nullptr;
    }
    // The one instance of `object` in `after` that is not in `before`.
    static CInstance* Newest(int object, const std::vector<CInstance*>& before) {
        for (CInstance* i : InstancesOf(object))
            if (std::find(before.begin(), before.end(), i) == before.end()) return i;
        return nullptr;
    }
    CInstance* DashingEnemy() {
        CInstance* enemy = CInstance::Find(static_cast<int>(ZQVTL_instance_create(300, 300, OBJ_enemy)));
        EXPECT_NE(enemy, nullptr);
        if (enemy != nullptr) Game_Slot(enemy, SLOT_dashing) = 1;
        return enemy;
    }
    static void Charge(CInstance* carrier, CInstance* enemy) {
        vtl_Object_obj_transmitter_Collision_e655244c_e3e8_4015_b4e2_e28b26361cea(carrier, enemy);
    }
    void TempPause(int steps) {
        ZQRValue count(steps);
        ZQRValue* args[] = {&count};
        ZQRValue result;
        vtl_Script_temp_pause(m_pile, m_pile, result, 1, args);
    }

    CInstance* m_pile = nullptr;
};

TEST_F(Pile, TheFirstCarrierLeavesAtStep30) {
    EXPECT_EQ(InstancesOf(OBJ_transmitter_waiting).size(), 30u);
    EXPECT_EQ(Slot(m_pile, SLOT_num_transmitters), 30);
    EXPECT_EQ(Slot(m_pile, SLOT_num_pieces), 100);
    EXPECT_EQ(IndexListSize(), 100);
    EXPECT_EQ(REAL_RValue(&Game_Global(SLOT_pieces_in_play)), 0);
    Step(29);
    EXPECT_TRUE(InstancesOf(OBJ_transmitter).empty());
    Step();
    ASSERT_EQ(InstancesOf(OBJ_transmitter).size(), 1u);
    EXPECT_EQ(Slot(m_pile, SLOT_num_transmitters), 29);
    EXPECT_EQ(IndexListSize(), 99);
    EXPECT_EQ(Slot(m_pile, SLOT_num_pieces), 99);
    EXPECT_EQ(REAL_RValue(&Game_Global(SLOT_pieces_in_play)), 1);
    EXPECT_EQ(Alarm(m_pile, 0), 30);
    // The carrier knows both ends of path 0.
    CInstance* carrier = InstancesOf(OBJ_transmitter)[0];
    EXPECT_EQ(Slot(carrier, SLOT_path_start_x), 300);
    EXPECT_EQ(Slot(carrier, SLOT_path_start_y), 270);
    EXPECT_EQ(Slot(carrier, SLOT_path_end_x), 660);
    EXPECT_EQ(Slot(carrier, SLOT_path_end_y), 270);
    Step(30);
    EXPECT_EQ(InstancesOf(OBJ_transmitter).size(), 2u);
}

TEST_F(Pile, TargetsLieOnTheGridCentredOnTheBoard) {
    struct Case {
        int cols, rows, piece;
        double dx, dy; // from the board's position
    };
    const Case cases[] = {
        {10, 10, 0, -32, -32}, {9, 11, 0, -28, -36}, {9, 11, 10, -20, -28},
        {9, 11, 98, 36, 44},   {7, 3, 20, 28, 12},
    };
    CInstance* goal = The(OBJ_goal);
    const ZQRValue savedList = Game_Slot(m_pile, SLOT_pile_index_list);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.cols) + " x " + std::to_string(c.rows) + ", piece " +
                     std::to_string(c.piece));
        Game_Slot(m_pile, SLOT_num_cols) = c.cols;
        Game_Slot(m_pile, SLOT_num_rows) = c.rows;
        const double list = Call(FN_ds_list_create, {});
        Call(FN_ds_list_add, {list, static_cast<double>(c.piece)});
        Game_Slot(m_pile, SLOT_pile_index_list) = list;
        Game_Slot(m_pile, SLOT_num_pieces) = 1;
        CInstance* carrier = Launch();
        ASSERT_NE(carrier, nullptr);
        EXPECT_EQ(Slot(carrier, SLOT_piece_number), c.piece);
        EXPECT_DOUBLE_EQ(Slot(carrier, SLOT_target_x), goal->i_x + c.dx);
        EXPECT_DOUBLE_EQ(Slot(carrier, SLOT_target_y), goal->i_y + c.dy);
        Call(FN_ds_list_destroy, {list});
    }
    Game_Slot(m_pile, SLOT_pile_index_list) = savedList;
}

TEST_F(Pile, AKnockDownReturnsAHeldPieceToTheEndOfTheOrder) {
    CInstance* enemy = DashingEnemy();
    ASSERT_NE(enemy, nullptr);
    for (int state = 0; state <= 5; ++state) {
        SCOPED_TRACE("state " + std::to_string(state));
        CInstance* carrier = Launch();
        ASSERT_NE(carrier, nullptr);
        Game_Slot(carrier, SLOT_state) = state;
        Game_Slot(carrier, SLOT_scaling) = 1;
        const double number = Slot(carrier, SLOT_piece_number);
        const double size = IndexListSize(), dead = Slot(m_pile, SLOT_num_dead);
        const double inPlay = REAL_RValue(&Game_Global(SLOT_pieces_in_play));
        const std::vector<CInstance*> falling = InstancesOf(OBJ_piece_effect),
                                      bursts = InstancesOf(OBJ_whomp);

        Charge(carrier, enemy);
        EXPECT_EQ(Slot(carrier, SLOT_state), 6);
        EXPECT_EQ(carrier->i_spriteindex, 14);
        EXPECT_EQ(Alarm(carrier, 0), 60);
        EXPECT_EQ(Slot(m_pile, SLOT_num_dead), dead + 1);
        if (state <= 2) {
            EXPECT_EQ(IndexListSize(), size + 1);
            EXPECT_EQ(LastIndex(), number);
            EXPECT_EQ(REAL_RValue(&Game_Global(SLOT_pieces_in_play)), inPlay - 1);
        } else {
            EXPECT_EQ(IndexListSize(), size);
            EXPECT_EQ(REAL_RValue(&Game_Global(SLOT_pieces_in_play)), inPlay);
        }
        // A falling piece in the piece's colour drops in every state; a
        // carrier's burst stays small and goes after 10 steps.
        ASSERT_EQ(InstancesOf(OBJ_piece_effect).size(), falling.size() + 1);
        CInstance* piece = Newest(OBJ_piece_effect, falling);
        ASSERT_NE(piece, nullptr);
        EXPECT_EQ(Game_Get(piece, VAR_image_blend).ToReal(), Slot(carrier, SLOT_piece_colour));
        EXPECT_EQ(Game_Get(piece, VAR_speed).ToReal(), 4);
        ASSERT_EQ(InstancesOf(OBJ_whomp).size(), bursts.size() + 1);
        CInstance* burst = Newest(OBJ_whomp, bursts);
        ASSERT_NE(burst, nullptr);
        EXPECT_EQ(Slot(burst, SLOT_scale_rate), 0.25);
        EXPECT_EQ(Slot(burst, SLOT_max_scale), 1);
        EXPECT_EQ(Alarm(burst, 0), 10);

        // A second charge in the same step finds it down already.
        Charge(carrier, enemy);
        EXPECT_EQ(Slot(m_pile, SLOT_num_dead), dead + 1);
    }
}

TEST_F(Pile, OnlyADashingEnemyKnocksDownACarrierAtFullSize) {
    CInstance* enemy = DashingEnemy();
    ASSERT_NE(enemy, nullptr);
    struct Case {
        double scaling, dashing;
    };
    for (const Case& c : {Case{0.98, 1}, Case{0.25, 1}, Case{1, 0}, Case{1, 0.9}}) {
        SCOPED_TRACE("scaling " + std::to_string(c.scaling) + ", dashing " + std::to_string(c.dashing));
        CInstance* carrier = Launch();
        ASSERT_NE(carrier, nullptr);
        Game_Slot(carrier, SLOT_state) = 1;
        Game_Slot(carrier, SLOT_scaling) = c.scaling;
        Game_Slot(enemy, SLOT_dashing) = c.dashing;
        const double size = IndexListSize();
        Charge(carrier, enemy);
        EXPECT_EQ(Slot(carrier, SLOT_state), 1);
        EXPECT_EQ(Slot(m_pile, SLOT_num_dead), 0);
        EXPECT_EQ(IndexListSize(), size);
        EXPECT_TRUE(InstancesOf(OBJ_piece_effect).empty());
    }
}

TEST_F(Pile, AKnockDownDuringAHitStopIsRemovedAfterTheResume) {
    CInstance* enemy = DashingEnemy();
    ASSERT_NE(enemy, nullptr);
    CInstance* carrier = Launch();
    ASSERT_NE(carrier, nullptr);
    const int id = carrier->i_id;
    Game_Slot(carrier, SLOT_state) = 1;
    Game_Slot(carrier, SLOT_scaling) = 1;
    TempPause(10);
    ASSERT_EQ(Slot(carrier, SLOT_paused), 1);

    Charge(carrier, enemy);
    EXPECT_EQ(Slot(carrier, SLOT_state), 6);
    EXPECT_EQ(Alarm(carrier, 0), -1) << "held like every other alarm while paused";
    EXPECT_EQ(Game_GetElement(carrier, SLOT_old_alarm, 0).ToReal(), 60);
    EXPECT_EQ(Game_Get(carrier, VAR_speed).ToReal(), 0) << "it stands still until the resume";
    const float x = carrier->i_x, y = carrier->i_y;
    Step(9);
    EXPECT_EQ(carrier->i_x, x);
    EXPECT_EQ(carrier->i_y, y);
    Step(); // the resume
    EXPECT_EQ(Slot(carrier, SLOT_paused), 0);
    EXPECT_NEAR(Game_Get(carrier, VAR_speed).ToReal(), 4 - 0.05, 1e-6) << "tumbling again from the resume on";
    Step(59);
    ASSERT_NE(CInstance::Find(id), nullptr);
    Step();
    EXPECT_EQ(CInstance::Find(id), nullptr) << "removed 60 steps after the resume";
}

} // namespace
