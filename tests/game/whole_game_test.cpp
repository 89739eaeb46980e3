// The whole game from a recorded input file. A scripted player plays the
// seeded game in-process from the title through how-to-play into the game
// room, fights the enemies off while the carriers complete the picture,
// leaves the win screen with a key and is back on the title; the runtime's
// own recorder ("-record") writes its input. Then the program itself runs
// that file through the shell ("-playback") with its window on a virtual X
// display (Xvfb), with the same seed, to the title again, where the window
// is closed: it must end with status 0, and the frames it presented on the
// way (the title, the game room, the win screen's picture enlarged 32 times)
// must match the committed PNGs, and its music must have reached the sound
// device.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "../sprites/golden_frame.h"
#include "core/header_globals.h"
#include "core/memory_manager.h"
#include "core/timing.h"
#include "game_fixture.h"
#include "platform/gl_view.h"
#include "platform/runner_app.h"
#include "temp_path.h"
#include "world/input/input_recording.h"
#include "xvfb_rerun.h"

namespace {

constexpr int kSeed = 1;
constexpr int kWindowWidth = 1280, kWindowHeight = 720;
constexpr int kSpace = 32, kEnter = 13;

// The frames compared: the n-th frame presented in the n-th visit of a room.
struct Shot {
    int visit; // 0 the title, 1 how-to-play, 2 the game room, 3 the win room, 4 the title again
    int frame;
    const char* golden;
};
constexpr Shot kShots[] = {
    {0, 5, "title_room_5"}, // as the in-process draw of the title gives it
    {2, 400, "play_game_400"},
    {2, 2400, "play_game_2400"},
    {3, 20, "play_win"},
};

// `randomize` rebound to seed the generator with kSeed, in both runs.
void FixedRandomize(RValue& result, CInstance*, CInstance*, int, RValue*) {
    InitRandom(kSeed);
    result = RValue_Real(0);
}
void BindFixedRandomize() {
    Function_Add("whole_game_randomize", FixedRandomize, 0, false);
    int id = -1;
    if (Code_Function_Find("whole_game_randomize", &id)) g_GameFuncRecords[FN_randomize].id = id;
}

// ---------------------------------------------------------------------------
// The inner run: the program through the shell, playing the file back.

int64_t g_now = 5000000;
int64_t FakeNow() {
    return g_now;
}
void FakeSleep(int64_t us) {
    if (us > 0) g_now += us;
}
void OnTick(int) {
    g_now += 16667;
}

std::string g_outDir;
bool g_bound = false;
std::string g_rooms;
int g_lastRoom = -1, g_visit = -1, g_frameInVisit = 0;
bool g_quitAsked = false;

void OnPresent(int width, int height) {
    if (!Run_Running || Run_Room == nullptr) return;
    if (!g_bound) {
        BindFixedRandomize();
        g_bound = true;
    }
    if (Current_Room != g_lastRoom) {
        g_lastRoom = Current_Room;
        g_rooms += " " + std::to_string(Current_Room);
        ++g_visit;
        g_frameInVisit = 0;
    }
    ++g_frameInVisit;
    // A run that went astray (another room order, a lost game) ends here
    // rather than playing on for ever.
    if (g_frameInVisit > 20000 || g_visit > 4) {
        std::fprintf(stderr, "astray: rooms%s\n", g_rooms.c_str());
        std::fflush(nullptr);
        _exit(3);
    }
    for (const Shot& s : kShots)
        if (s.visit == g_visit && s.frame == g_frameInVisit) {
            const std::vector<uint32_t> frame = ReadFrame(width, height);
            std::ofstream out(g_outDir + s.golden + ".rgba", std::ios::binary);
            out.write(reinterpret_cast<const char*>(&width), sizeof width);
            out.write(reinterpret_cast<const char*>(&height), sizeof height);
            out.write(reinterpret_cast<const char*>(frame.data()),
                      static_cast<std::streamsize>(frame.size() * sizeof(uint32_t)));
        }
    // Back on the title with the file played out: the user closes the window.
    if (g_visit == 4 && g_frameInVisit >= 10 && IO_Playback_Ended() && !g_quitAsked) {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
        g_quitAsked = true;
    }
}

TEST(WholeGameInner, ThePlaybackThroughTheShell) {
    const char* recording = std::getenv("ZQ_WHOLE_GAME_RECORDING");
    if (recording == nullptr) GTEST_SKIP() << "run by WholeGame.FromTheTitleToTheWinAndBack";
    g_outDir = std::getenv("ZQ_WHOLE_GAME_FRAMES");
    Timing_SetClock(&FakeNow, &FakeSleep);
    Platform_SetTickObserver(&OnTick);
    ZQGLView::SetPresentObserver(&OnPresent);
    const std::string game = GameDataPath();
    const char* argv[] = {"corvane", "-game", game.c_str(), "-playback", recording};
    const int status = Platform_RunApplication(5, argv);
    std::fprintf(stderr, "rooms%s\n", g_rooms.c_str());
    // Leaves without the leak check: the software GL driver keeps its own
    // allocations to the end of the process.
    std::fflush(nullptr);
    _exit(status);
}

// ---------------------------------------------------------------------------
// The outer run: the scripted player, then the program on its recording.

// The keys of a step: a direction (each of h and v −1, 0 or 1) and whether
// Space is pressed.
struct Move {
    int h = 0, v = 0;
    bool dash = false;
};

// Goes for the nearest enemy and dashes through it once it lies within
// reach along one of the eight directions; while the player is locked it
// holds nothing.
Move Decide(CInstance* player, const std::vector<CInstance*>& enemies) {
    Move m;
    if (player == nullptr || enemies.empty()) return m;
    if (REAL_RValue(&Game_Slot(player, SLOT_is_dead)) != 0 ||
        REAL_RValue(&Game_Slot(player, SLOT_locked_input)) != 0)
        return m;
    CInstance* nearest = nullptr;
    double best = 1e18;
    for (CInstance* e : enemies) {
        const double d = std::hypot(e->i_x - player->i_x, e->i_y - player->i_y);
        if (d < best) best = d, nearest = e;
    }
    const double dx = nearest->i_x - player->i_x, dy = nearest->i_y - player->i_y;
    const double angle = std::atan2(-dy, dx) * 180 / M_PI;
    const double facing = std::round(angle / 45) * 45;
    const double off = std::abs(best * std::sin((angle - facing) * M_PI / 180));
    const double rad = facing * M_PI / 180;
    m.h = static_cast<int>(std::round(std::cos(rad)));
    m.v = -static_cast<int>(std::round(std::sin(rad)));
    m.dash = best < 150 && off < 12;
    return m;
}

class WholeGame : public GameRun {
protected:
    void Hold(const Move& m) {
        const int keys[4] = {'D', 'A', 'S', 'W'};
        const bool want[4] = {m.h == 1, m.h == -1, m.v == 1, m.v == -1};
        for (int i = 0; i < 4; ++i) {
            if (want[i] && g_mac_keysDown[keys[i]] == 0) PressKey(keys[i]);
            if (!want[i] && g_mac_keysDown[keys[i]] != 0) ReleaseKey(keys[i]);
        }
        if (m.dash && g_mac_keysDown[kSpace] == 0)
            PressKey(kSpace);
        else if (g_mac_keysDown[kSpace] != 0)
            ReleaseKey(kSpace);
    }
    void Tap(int key) {
        PressKey(key);
        Step();
        ReleaseKey(key);
        Step();
    }
};

TEST_F(WholeGame, FromTheTitleToTheWinAndBack) {
    const std::string recording = TestTempPath("whole_game.rec");
    OpenInputFile(recording, false);
    BindFixedRandomize();
    // Drawn as the program draws: the player's Pre-Draw turns its sprite to
    // its facing, which its collisions follow. The application surface at
    // the game's window size (the shell sets it from the window).
    Draw_Automatic = true;
    g_ApplicationWidth = kWindowWidth;
    g_ApplicationHeight = kWindowHeight;
    StartGame();
    ASSERT_EQ(Current_Room, 0);
    Step(4);
    Tap(kEnter);
    Step(8);
    ASSERT_EQ(Current_Room, 1);
    Tap(kEnter);
    ASSERT_EQ(Current_Room, 2);
    int steps = 0;
    while (Current_Room == 2 && steps < 30000) {
        Hold(Decide(The(OBJ_player), InstancesOf(OBJ_enemy)));
        Step();
        ++steps;
    }
    Hold(Move{});
    ASSERT_EQ(Current_Room, 3) << "the picture was not completed in " << steps << " steps";
    Step(30);
    Tap(kEnter);
    Step(2);
    ASSERT_EQ(Current_Room, 0);
    Step(20);
    CloseInputFile();

    // The program on the recording, in a process of its own, with its
    // window on a virtual display large enough for the 1280 x 720 window.
    if (!XvfbInstalled())
        GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb, listed in debian-packages.txt)";
    const std::string frames = TestTempPath("whole_game_");
    std::string output;
    // The sound goes to SDL's disk driver: the mixer's 32-bit float frames
    // in a file.
    const std::string sound = frames + "sound.raw";
    const int status = RunOnXvfb("1920x1080x24", "WholeGameInner.*",
                                 "ZQ_WHOLE_GAME_RECORDING='" + recording + "' ZQ_WHOLE_GAME_FRAMES='" +
                                     frames + "' SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='" + sound + "'",
                                 &output);
    EXPECT_EQ(status, 0) << output;
    {
        // The music plays all along: most samples are far from silence.
        std::ifstream in(sound, std::ios::binary);
        std::vector<float> samples(1 << 20);
        in.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * 4));
        samples.resize(static_cast<size_t>(in.gcount()) / 4);
        size_t heard = 0;
        for (float x : samples)
            if (std::abs(x) > 0.01f) ++heard;
        EXPECT_GT(samples.size(), 44100u) << "under a second of sound";
        EXPECT_GT(heard, samples.size() / 2) << heard << " of " << samples.size() << " samples heard";
        std::remove(sound.c_str());
    }
    const size_t rooms = output.find("rooms ");
    ASSERT_NE(rooms, std::string::npos) << output;
    EXPECT_EQ(output.substr(rooms, output.find('\n', rooms) - rooms), "rooms 0 1 2 3 0") << output;

    for (const Shot& shot : kShots) {
        std::ifstream in(frames + shot.golden + ".rgba", std::ios::binary);
        int width = 0, height = 0;
        in.read(reinterpret_cast<char*>(&width), sizeof width);
        in.read(reinterpret_cast<char*>(&height), sizeof height);
        ASSERT_TRUE(in && width == kWindowWidth && height == kWindowHeight)
            << "no " << kWindowWidth << " x " << kWindowHeight << " frame " << shot.golden;
        std::vector<uint32_t> frame(static_cast<size_t>(width) * height);
        in.read(reinterpret_cast<char*>(frame.data()), static_cast<std::streamsize>(frame.size() * 4));
        ASSERT_TRUE(in) << shot.golden;
        EXPECT_TRUE(
            MatchesGolden(frame, width, height, std::string("../../game/golden/") + shot.golden + ".png"));
        std::remove((frames + shot.golden + ".rgba").c_str());
    }
    std::remove(recording.c_str());
}

} // namespace
