// A whole session from recorded input: a playback file written record by
// record (as "-record" writes them) takes the game from the title through
// the how-to-play screen into the game room, where the first enemy comes in
// the room's first step and the next 241 steps later (plus any hit-stop) on
// the room's border, and Escape leads back to the title.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/memory_manager.h"
#include "game_fixture.h"
#include "temp_path.h"
#include "world/input/input_recording.h"

namespace {

// One step's keyboard: keys held, and those newly pressed.
struct StepKeys {
    std::vector<int> held;
    std::vector<int> pressed;
};

// The records of a session, one per step, packed from the input state.
std::vector<uint8_t> Records(const std::vector<StepKeys>& steps) {
    std::vector<uint8_t> file;
    std::vector<int> before;
    for (const StepKeys& s : steps) {
        IO_Clear();
        for (int key : s.held) _IO_KeyDown[key] = 1;
        for (int key : s.pressed) {
            _IO_KeyPressed[key] = 1;
            _IO_LastKey = key;
        }
        for (int key : before)
            if (std::find(s.held.begin(), s.held.end(), key) == s.held.end()) _IO_KeyReleased[key] = 1;
        _IO_CurrentKey = s.held.empty() ? 0 : s.held.back();
        before = s.held;
        uint8_t record[kIORecordSize];
        IO_Record_Pack(record);
        file.insert(file.end(), record, record + kIORecordSize);
    }
    IO_Clear();
    return file;
}

class Playback : public GameRun {
protected:
    void Play(const std::vector<uint8_t>& records) {
        const std::string path = TestTempPath("session.rec");
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(std::fwrite(records.data(), 1, records.size(), f), records.size());
        std::fclose(f);
        OpenInputFile(path, true);
    }
};

TEST_F(Playback, TitleHowToPlayGameEscapeTitle) {
    constexpr int kEnter = 13, kEscape = 27;
    std::vector<StepKeys> session(5);                               // the title, nothing pressed
    session.push_back({{kEnter}, {kEnter}});                        // step 6: Enter on the title
    for (int i = 0; i < 10; ++i) session.push_back({{kEnter}, {}}); // held on how-to-play
    session.push_back({{}, {}});                                    // released
    session.push_back({{'D'}, {'D'}});                              // step 18: a new press
    for (int i = 0; i < 345; ++i) session.push_back({{}, {}});      // steps 19 to 363 in the game
    session.push_back({{kEscape}, {kEscape}});                      // step 364: Escape
    session.push_back({{}, {}});
    Play(Records(session));

    StartGame();
    ASSERT_EQ(Current_Room, 0);
    std::vector<int> rooms;
    int firstEnemyStep = -1, secondEnemyStep = -1, gameStartStep = -1, frozen = 0;
    for (int step = 1; step <= static_cast<int>(session.size()); ++step) {
        Step();
        rooms.push_back(Current_Room);
        // A charge on the player freezes the game, and the spawn alarm with it.
        CInstance* controller = The(OBJ_game_controller);
        if (firstEnemyStep > 0 && secondEnemyStep < 0 && controller != nullptr &&
            Slot(controller, SLOT_paused) == 1)
            ++frozen;
        if (Current_Room == 2 && gameStartStep < 0) gameStartStep = step;
        const size_t enemies = InstancesOf(OBJ_enemy).size();
        if (Current_Room == 2 && enemies >= 1 && firstEnemyStep < 0) firstEnemyStep = step;
        if (Current_Room == 2 && enemies >= 2 && secondEnemyStep < 0) {
            secondEnemyStep = step;
            for (CInstance* e : InstancesOf(OBJ_enemy)) {
                const float w = static_cast<float>(Run_Room->m_width),
                            h = static_cast<float>(Run_Room->m_height);
                EXPECT_TRUE(e->i_xstart == 0 || e->i_xstart == w || e->i_ystart == 0 || e->i_ystart == h)
                    << e->i_xstart << "," << e->i_ystart;
            }
        }
    }
    EXPECT_EQ(rooms[4], 0) << "the title waits";
    EXPECT_EQ(rooms[5], 1) << "Enter leaves the title";
    EXPECT_EQ(rooms[16], 1) << "the held Enter does not skip how-to-play";
    EXPECT_EQ(gameStartStep, 18);
    EXPECT_EQ(firstEnemyStep, gameStartStep + 1) << "the game room's first step";
    EXPECT_EQ(secondEnemyStep, firstEnemyStep + 241 + frozen);
    EXPECT_EQ(rooms[363], 0) << "Escape leads back to the title";
    EXPECT_NE(The(OBJ_title), nullptr);
}

} // namespace
