// The title, how-to-play and win screens on the built data file: a new key
// press moves on (a key held from the title does not skip how-to-play), the
// game room is entered from how-to-play, and the win screen leaves one step
// after a key or after 600 steps.
#include <gtest/gtest.h>

#include "game_fixture.h"

namespace {

using Screens = GameRun;

TEST_F(Screens, AHeldKeyDoesNotSkipHowToPlay) {
    StartIn(0);
    ASSERT_NE(The(OBJ_title), nullptr);
    Step(3);
    EXPECT_EQ(Current_Room, 0) << "the title waits for a key";

    PressKey('A');
    Step();
    ASSERT_EQ(Current_Room, 1);
    ASSERT_NE(The(OBJ_how), nullptr);
    Step(30); // 'A' still held
    EXPECT_EQ(Current_Room, 1);

    ReleaseKey('A');
    Step();
    PressKey(' ');
    Step();
    EXPECT_EQ(Current_Room, 2);
    EXPECT_NE(The(OBJ_game_controller), nullptr);
}

TEST_F(Screens, AKeyOnTheWinScreenLeavesOneStepLater) {
    StartIn(3);
    CInstance* win = The(OBJ_win);
    ASSERT_NE(win, nullptr);
    EXPECT_EQ(Alarm(win, 0), 600);
    Step(100);
    PressKey('X');
    Step();
    EXPECT_EQ(Current_Room, 3);
    EXPECT_EQ(Alarm(win, 0), 1);
    Step();
    EXPECT_EQ(Current_Room, 0);
}

TEST_F(Screens, TheWinScreenReturnsToTheTitleAfter600Steps) {
    StartIn(3);
    Step(599);
    EXPECT_EQ(Current_Room, 3);
    Step();
    EXPECT_EQ(Current_Room, 0);
}

} // namespace
