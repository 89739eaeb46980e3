// The game built-ins: their registration order (names, counts, flags, ids),
// room and game control with its reports, and the geometry tests' edge cases.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/console.h"
#include "core/function_table.h"
#include "core/game_image.h"
#include "core/header_globals.h"
#include "core/run_globals.h"
#include "core/rvalue.h"
#include "error_capture.h"
#include "room/room_table.h"
#include "world/builtins/game_builtins.h"
#include "world/builtins/room_control.h"
#include "world/collision/geometry_tests.h"
#include "world/datafile/game_header.h"
#include "core/game_image.h"

namespace {

class GameBuiltins : public ::testing::Test {
protected:
    void TearDown() override {
        FINALIZE_Code_Function();
        g_isNimbar = false;
    }
};

TEST_F(GameBuiltins, RegisteredInOrderWithCountsFlagsAndConsecutiveIds) {
    const int first = the_numb;
    InitGameFunctions();
    const auto order = GameBuiltins_Order();
    ASSERT_EQ(order.size(), 95u);
    ASSERT_EQ(the_numb - first, 95);
    for (size_t i = 0; i < order.size(); ++i) {
        const RFunction& f = the_functions[first + static_cast<int>(i)];
        SCOPED_TRACE(order[i].name);
        EXPECT_STREQ(f.f_name, order[i].name);
        EXPECT_EQ(f.f_argnumb, order[i].argc);
        EXPECT_EQ(f.f_flag != 0, order[i].flag);
        EXPECT_NE(f.f_routine, nullptr);
        EXPECT_EQ(Function_Find(order[i].name), first + static_cast<int>(i));
    }
    // Spot checks of the fixed table.
    EXPECT_STREQ(order[0].name, "move_random");
    EXPECT_STREQ(order[55].name, "instance_create");
    EXPECT_EQ(order[60].argc, -1) << "instance_destroy takes any number";
    EXPECT_STREQ(order[94].name, "rectangle_in_circle");
    EXPECT_EQ(the_functions[first + 12].f_routine, the_functions[first + 13].f_routine)
        << "move_bounce is move_bounce_solid";
}

TEST_F(GameBuiltins, NewGenerationDataLeavesInstanceCreateOut) {
    g_isNimbar = true;
    const int first = the_numb;
    InitGameFunctions();
    EXPECT_EQ(the_numb - first, 94);
    EXPECT_EQ(Function_Find("instance_create"), -1);
    EXPECT_EQ(Function_Find("instance_create_depth"), first + 55);
}

// A room order of rooms 0, 1, 2 over three rooms.
class RoomControl : public ::testing::Test {
protected:
    void SetUp() override {
        Room_Init();
        for (int i = 0; i < 3; ++i) Room_Add();
        const int version = 14;
        std::vector<uint8_t> header(Header_RoomOrderOffset(version) + 16, 0);
        const int32_t words[] = {3, 0, 1, 2};
        std::memcpy(header.data() + Header_RoomOrderOffset(version), words, sizeof(words));
        ImageReader reader(header.data(), header.size(), 0, header.size(), "GEN8");
        Room_LoadOrder(reader, version);
        New_Room = ROOM_NONE;
    }
    void TearDown() override {
        Room_Free();
        Current_Room = 0;
        New_Room = ROOM_NONE;
    }
};

TEST_F(RoomControl, RequestsRecordThePendingChangeAndTheLastOneWins) {
    Current_Room = 1;
    Transition_Kind = 5;
    Command_NextRoom();
    EXPECT_EQ(New_Room, 2);
    EXPECT_EQ(Transition_Kind, 0);
    Command_PreviousRoom();
    EXPECT_EQ(New_Room, 0);
    Command_CurrentRoom();
    EXPECT_EQ(New_Room, 1);
    Command_GotoRoom(2);
    Command_EndGame();
    EXPECT_EQ(New_Room, ROOM_ENDGAME);
    Command_RestartGame();
    EXPECT_EQ(New_Room, ROOM_RESTARTGAME);
}

TEST_F(RoomControl, LeavingTheOrderOrAMissingRoomEndsTheGameWithAReport) {
    Current_Room = 2;
    {
        ErrorCapture errors;
        Command_NextRoom();
        EXPECT_EQ(New_Room, ROOM_ABORTGAME);
        EXPECT_TRUE(errors.ShownContains("Moving to next room after the last room."));
    }
    Current_Room = 0;
    {
        ErrorCapture errors;
        Command_PreviousRoom();
        EXPECT_EQ(New_Room, ROOM_ABORTGAME);
        EXPECT_TRUE(errors.ShownContains("Moving to previous room before the first room."));
    }
    {
        ErrorCapture errors;
        Command_GotoRoom(7);
        EXPECT_EQ(New_Room, ROOM_ABORTGAME);
        EXPECT_TRUE(errors.ShownContains("Unexisting room number: 7"));
    }
}

TEST_F(RoomControl, NeighbourBuiltinsAnswerMinusOneAtTheEndsWithoutReport) {
    InitGameFunctions();
    auto call = [](const char* name, double arg) {
        RValue args[1] = {RValue_Real(arg)};
        RValue result = RValue_Undefined();
        the_functions[Function_Find(name)].f_routine(result, nullptr, nullptr, 1, args);
        return result.val;
    };
    EXPECT_EQ(call("room_next", 0), 1);
    EXPECT_EQ(call("room_next", 2), -1);
    EXPECT_EQ(call("room_previous", 0), -1);
    EXPECT_EQ(call("room_previous", 9), -1);
    EXPECT_EQ(call("transition_exists", 0), -1);
    EXPECT_EQ(New_Room, ROOM_NONE);
    FINALIZE_Code_Function();
}

struct GeometryCase {
    const char* what;
    int got;
    int expected;
};

TEST(GeometryTests, EdgeCases) {
    const GeometryCase cases[] = {
        {"same rectangle", Rectangle_In_Rectangle(0, 0, 10, 10, 0, 0, 10, 10), 1},
        {"touching corner", Rectangle_In_Rectangle(0, 0, 10, 10, 10, 10, 20, 20), 2},
        {"one apart", Rectangle_In_Rectangle(0, 0, 10, 10, 11, 0, 20, 10), 0},
        {"crossing", Rectangle_In_Rectangle(0, 4, 10, 6, 4, 0, 6, 10), 2},
        {"corners in any order", Rectangle_In_Rectangle(10, 10, 0, 0, 20, 20, -5, -5), 1},
        {"every corner in the circle", Rectangle_In_Circle(0, 0, 10, 10, 5, 5, 8), 1},
        {"some corners", Rectangle_In_Circle(0, 0, 10, 10, 5, 5, 7), 2},
        {"circle apart", Rectangle_In_Circle(0, 0, 10, 10, 30, 30, 7), 0},
        {"edge through the first vertex", Point_In_Triangle(5, 0, 0, 0, 10, 0, 0, 10) ? 1 : 0, 1},
        {"far edge", Point_In_Triangle(5, 5, 0, 0, 10, 0, 0, 10) ? 1 : 0, 0},
        {"degenerate triangle", Point_In_Triangle(1, 1, 0, 0, 2, 2, 4, 4) ? 1 : 0, 0},
        {"corners not put in order", Point_In_Rectangle(5, 5, 10, 0, 0, 10), 0},
        {"rectangle edge", Point_In_Rectangle(10, 5, 0, 0, 10, 10), 1},
        {"circle edge", Point_In_Circle(3, 4, 0, 0, 5), 1},
        {"outside circle", Point_In_Circle(3, 4.01f, 0, 0, 5), 0},
        {"rectangle in triangle", Rectangle_In_Triangle(1, 1, 2, 2, 0, 0, 10, 0, 0, 10), 1},
        {"triangle in rectangle", Rectangle_In_Triangle(-10, -10, 20, 20, 0, 0, 10, 0, 0, 10), 0},
        {"partly", Rectangle_In_Triangle(4, 4, 6, 6, 0, 0, 10, 0, 0, 10), 2},
    };
    for (const GeometryCase& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;
}

} // namespace
