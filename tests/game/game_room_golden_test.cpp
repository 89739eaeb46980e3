// Golden frames of the game room: the built game, seeded, stepped headless
// to a few fixed steps and then drawn once by the frame's draw pass on
// Mesa's software renderer (pile, waiting carriers, carriers on the path
// with their pieces, placed pieces on the board). Compared with PNGs in
// tests/game/golden/ within 2 per channel; tools/update_golden.sh
// regenerates them on purpose.
#include <gtest/gtest.h>

#include <string>

#include "../sprites/golden_frame.h"
#include "game_fixture.h"
#include "render/graphics_device.h"
#include "world/datafile/game_header.h"
#include "world/step/step_services.h"

namespace {

// One frame per run: a second frame drawn in the same headless context shows
// white boxes behind rotated and scaled sprites (a draw state that the
// first frame leaves behind), which is the renderer's matter, not the game's.
class GameRoomFrame : public GameRun, public ::testing::WithParamInterface<int> {};

TEST_P(GameRoomFrame, MatchesTheCommittedFrame) {
    const int step = GetParam();
    FixRandomize(3);
    StartIn(2);
    // The application surface at the game's window size (the run's start-up
    // sets it from the window; the headless start leaves it unset).
    g_ApplicationWidth = 1280;
    g_ApplicationHeight = 720;
    Step(step);
    ASSERT_EQ(Current_Room, 2);
    GR_D3D_Start_Frame();
    Draw_Room();
    GR_D3D_Finish_Frame(true);
    EXPECT_TRUE(MatchesGolden(ReadFrame(kWidth, kHeight), kWidth, kHeight,
                              "../../game/golden/game_room_" + std::to_string(step) + ".png"));
}

// The room's start, the first carriers leaving, carriers along the path.
INSTANTIATE_TEST_SUITE_P(Steps, GameRoomFrame, ::testing::Values(0, 90, 600));

} // namespace
