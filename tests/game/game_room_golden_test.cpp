// Golden frames of the game room: the built game, seeded, stepped headless
// to a few fixed steps and then drawn once by the frame's draw pass on
// Mesa's software renderer (pile, waiting carriers, carriers on the path
// with their pieces, placed pieces on the board), as the window scaler puts
// the room into the 1280 x 720 window: twice enlarged, with its three lines
// of sizes at the top left. Compared with PNGs in
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
// The default framebuffer stands for the window's drawable, so it has the
// size the scaler gives the window: the draw pass flips its viewports by the
// window's height, and a smaller framebuffer would leave the scaled picture
// above its top edge.
struct RoomStep {
    int room;
    int step;
    const char* golden;
};

class GameRoomFrame : public GameRun, public ::testing::WithParamInterface<RoomStep> {
protected:
    static constexpr int kWindowWidth = 1280, kWindowHeight = 720;
    GameRoomFrame() : GameRun(kWindowWidth, kWindowHeight) {}
};

TEST_P(GameRoomFrame, MatchesTheCommittedFrame) {
    const RoomStep& at = GetParam();
    FixRandomize(3);
    StartIn(at.room);
    // The application surface at the game's window size (the run's start-up
    // sets it from the window; the headless start leaves it unset).
    g_ApplicationWidth = 1280;
    g_ApplicationHeight = 720;
    Step(at.step);
    ASSERT_EQ(Current_Room, at.room);
    GR_D3D_Start_Frame();
    Draw_Room();
    GR_D3D_Finish_Frame(true);
    EXPECT_TRUE(MatchesGolden(ReadFrame(kWindowWidth, kWindowHeight), kWindowWidth, kWindowHeight,
                              std::string("../../game/golden/") + at.golden + ".png"));
}

// The title once the scaler has sized the window; the game room's start,
// the first carriers leaving, carriers along the path.
INSTANTIATE_TEST_SUITE_P(Steps, GameRoomFrame,
                         ::testing::Values(RoomStep{0, 5, "title_room_5"}, RoomStep{2, 0, "game_room_0"},
                                           RoomStep{2, 90, "game_room_90"},
                                           RoomStep{2, 600, "game_room_600"}),
                         [](const ::testing::TestParamInfo<RoomStep>& info) {
                             return std::string(info.param.golden);
                         });

} // namespace
