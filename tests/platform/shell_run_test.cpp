// The whole program through the shell on SDL's offscreen driver: a game made
// by the writer runs through the engine states 5, 6, 7, 8, 9, 11 and 13 on a
// fake clock, the splash shows for its timings, and the frames read back show
// the splash and then the running game's cleared frame.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <zip.h>

#include "core/code.h"
#include "core/memory_manager.h"
#include "core/stack_trace.h"
#include "core/timing.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "object_chunk.h"
#include "platform/gl_view.h"
#include "platform/runner_app.h"
#include "render/image_decode.h"
#include "room_chunk.h"
#include "temp_path.h"
#include "world/builtins/room_control.h"
#include "world/datafile/code_binding.h"

namespace {

constexpr int64_t kTickMicros = 50000; // the fake clock's advance per tick

int64_t g_now = 5000000;
int64_t FakeNow() {
    return g_now;
}
void FakeSleep(int64_t us) {
    if (us > 0) g_now += us;
}

struct Entry {
    int state;
    int64_t at;
};
std::vector<Entry> g_entries; // each state as it was first seen, with the time
void OnTick(int state) {
    if (g_entries.empty() || g_entries.back().state != state) g_entries.push_back({state, g_now});
    g_now += kTickMicros;
}

// The centre pixel and the top-left pixel of every presented frame, with the
// state it was presented in.
struct Shot {
    int state;
    uint32_t centre, corner;
};
std::vector<Shot> g_shots;
uint32_t PixelAt(int x, int y) {
    uint8_t p[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}
void OnPresent(int width, int height) {
    const int state = macRunnerDelegate != nullptr ? macRunnerDelegate->engineState() : -1;
    g_shots.push_back({state, PixelAt(width / 2, height / 2), PixelAt(0, height - 1)});
}

int g_steps = 0;
void CtlStep(CInstance*, CInstance*) {
    if (++g_steps == 3) Command_EndGame();
}
const SCompiledFunction kCode[] = {{"vtl_Object_obj_ctl_Step_0", nullptr, CtlStep}};
SNameIdRecord* kNoNames[] = {nullptr};
void FillRecord(SLLVMVars* v) {
    v->nCodeEntries = 1;
    v->ppVars = kNoNames;
    v->ppFuncs = kNoNames;
    v->pCodeFunctions = kCode;
    v->ppStackTraceHead = &SZQStackTrace::s_pStart;
}

// The folder belongs to this test process alone; the death-test child runs
// the program again, so it takes the folder from the environment its parent
// set rather than making its own from its own process id.
std::string Folder() {
    if (const char* set = std::getenv("ZQ_SHELL_RUN_DIR")) return set;
    const std::string folder = TestTempPath("shell_run/");
    setenv("ZQ_SHELL_RUN_DIR", folder.c_str(), 1);
    return folder;
}

// Runs the program in this (child) process and writes what it saw to a file.
void RunShell(const std::string& game) {
    ASSERT_EQ(chdir(Folder().c_str()), 0); // where splash.png is
    // Archives expand into the save area: one of this run's own, so that two
    // runs at once never expand into each other's folder.
    setenv("XDG_DATA_HOME", (Folder() + "data").c_str(), 1);
    Code_SetCompiledRecordFiller(FillRecord);
    Timing_SetClock(&FakeNow, &FakeSleep);
    Platform_SetTickObserver(&OnTick);
    ZQGLView::SetPresentObserver(&OnPresent);
    const char* argv[] = {"corvane", "-noaudio", "-game", game.c_str()};
    const int status = Platform_RunApplication(4, argv);
    std::ofstream out(Folder() + "trace.txt");
    out << status << " " << g_steps << "\n";
    for (const Entry& e : g_entries) out << "E " << e.state << " " << e.at << "\n";
    for (const Shot& s : g_shots) out << "S " << s.state << " " << s.centre << " " << s.corner << "\n";
    out.close();
    // Leaves without the leak check: the software GL driver keeps its own
    // allocations to the end of the process.
    _exit(0);
}

// A game whose controller ends it on its third step.
bool WriteGame(const std::string& path, uint32_t screenFlags = 0) {
    wad::GameDataWriter w;
    wad::HeaderFields header;
    header.flags = screenFlags;
    header.roomOrder = {0};
    wad::WriteHeader(w, header);
    wad::ObjectFields ctl;
    ctl.name = "obj_ctl";
    ctl.events.resize(4);
    ctl.events[3] = {{0, 0}};
    wad::WriteObjects(w, {ctl}, header.version);
    wad::RoomFields room;
    room.colour = 0x2050A0; // 0xBBGGRR
    room.instances = std::vector<wad::RoomInstanceFields>{{0, 0, 0, 100001}};
    wad::WriteRooms(w, {room});
    return w.WriteFile(path);
}

// The status the child wrote, its steps and the states it went through.
struct Trace {
    int status = -1, steps = -1;
    std::string states;
};
Trace ReadTrace() {
    Trace t;
    std::ifstream in(Folder() + "trace.txt");
    in >> t.status >> t.steps;
    std::string tag;
    while (in >> tag) {
        int state = 0;
        long long a = 0, b = 0;
        if (tag == "E") {
            in >> state >> a;
            t.states += std::to_string(state) + " ";
        } else {
            in >> state >> a >> b;
        }
    }
    return t;
}

} // namespace

TEST(ShellRun, AGameRunsThroughEveryStateWithTheSplashTimingsAndItsFrames) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ASSERT_EQ(std::system(("mkdir -p " + Folder()).c_str()), 0);
    // A red 64 × 32 splash: letter-boxed in the 640 × 480 window, bars above and below.
    std::vector<uint8_t> red(64 * 32 * 4);
    for (size_t i = 0; i < red.size(); i += 4) red[i] = 255, red[i + 3] = 255;
    uint8_t* png = nullptr;
    size_t pngLength = 0;
    ASSERT_TRUE(PNG_EncodeRGBA(red.data(), 64, 32, &png, &pngLength));
    {
        std::ofstream f(Folder() + "splash.png", std::ios::binary);
        f.write(reinterpret_cast<const char*>(png), static_cast<std::streamsize>(pngLength));
    }
    ZQ_Free(png);

    const std::string game = Folder() + "game.ios";
    ASSERT_TRUE(WriteGame(game));

    EXPECT_EXIT(RunShell(game), ::testing::ExitedWithCode(0), "");

    std::ifstream in(Folder() + "trace.txt");
    int status = -1, steps = -1;
    ASSERT_TRUE(in >> status >> steps);
    EXPECT_EQ(status, 0) << "a game that ends itself ends well";
    EXPECT_EQ(steps, 3);
    std::vector<Entry> entries;
    std::vector<Shot> shots;
    std::string tag;
    while (in >> tag) {
        if (tag == "E") {
            Entry e{};
            in >> e.state >> e.at;
            entries.push_back(e);
        } else {
            Shot s{};
            in >> s.state >> s.centre >> s.corner;
            shots.push_back(s);
        }
    }
    std::string seen;
    for (const Entry& e : entries) seen += std::to_string(e.state) + " ";
    // The first tick runs state 5 (the first start pass) and enters 6.
    ASSERT_EQ(seen, "6 7 8 9 11 13 ");
    // Each splash state lasts its time, counted from entering it, to within a tick.
    const struct {
        int from;
        double seconds;
    } timings[] = {{0, 0.2}, {1, 0.2}, {2, 3.0}};
    for (const auto& t : timings) {
        const double held = static_cast<double>(entries[t.from + 1].at - entries[t.from].at) / 1e6;
        EXPECT_GE(held, t.seconds) << "state " << entries[t.from].state;
        EXPECT_LE(held, t.seconds + 0.051) << "state " << entries[t.from].state;
    }

    // Splash frames show the red splash in the middle and black bars above;
    // the running game's frames show its room, which is only its colour.
    constexpr uint32_t kRed = 0xFF0000FF, kBlack = 0x000000FF, kRoomColour = 0xA05020FF;
    int splashFrames = 0, runningFrames = 0, roomFrames = 0;
    for (const Shot& s : shots) {
        if (s.state == 7 || s.state == 8) {
            ++splashFrames;
            EXPECT_EQ(s.centre, kRed) << "state " << s.state;
            EXPECT_EQ(s.corner, kBlack) << "state " << s.state;
        } else if (s.state == 11 || s.state == 13) {
            ++runningFrames;
            // The device clears the frame's alpha too; the window shows only
            // colour. A step that ends the game draws nothing: its frame
            // keeps the clear.
            const uint32_t colour = s.centre & 0xFFFFFF00u;
            EXPECT_TRUE(colour == (kRoomColour & 0xFFFFFF00u) || colour == (kBlack & 0xFFFFFF00u))
                << "state " << s.state << " colour " << std::hex << colour;
            if (colour == (kRoomColour & 0xFFFFFF00u)) ++roomFrames;
        }
    }
    EXPECT_GE(roomFrames, 2) << "the two steps before the last draw the room";
    EXPECT_GE(splashFrames, 60);
    EXPECT_GE(runningFrames, 3);
}

// A "-game" archive is expanded into the save area's "game" folder and its
// "assets/game.ios" runs; an archive that cannot be opened ends the run with
// a failure instead of retrying.
TEST(ShellRun, AGameArchiveIsExpandedAndItsGameRuns) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ASSERT_EQ(std::system(("mkdir -p " + Folder()).c_str()), 0);
    const std::string game = Folder() + "archived.ios";
    ASSERT_TRUE(WriteGame(game));
    std::ifstream in(game, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string archive = Folder() + "game.zip";
    std::remove(archive.c_str());
    int error = 0;
    zip_t* zip = zip_open(archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(zip, nullptr);
    zip_source_t* source = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
    ASSERT_GE(zip_file_add(zip, "assets/game.ios", source, ZIP_FL_OVERWRITE), 0);
    ASSERT_EQ(zip_close(zip), 0);

    EXPECT_EXIT(RunShell(archive), ::testing::ExitedWithCode(0), "");
    Trace ran = ReadTrace();
    EXPECT_EQ(ran.status, 0);
    EXPECT_EQ(ran.steps, 3);
    EXPECT_EQ(ran.states, "5 6 7 8 9 11 13 ") << "state 3 expands, then the start pass runs";

    const std::string damaged = Folder() + "damaged.zip";
    std::ofstream(damaged) << "not an archive";
    EXPECT_EXIT(RunShell(damaged), ::testing::ExitedWithCode(0), "");
    Trace refused = ReadTrace();
    EXPECT_NE(refused.status, 0);
    EXPECT_EQ(refused.steps, 0);
    EXPECT_EQ(refused.states, "13 ");
}

// Screen flag 0x10000 shows the splash built into the program in place of
// the one beside the game (the red one of the first test).
TEST(ShellRun, TheHeadersSplashFlagShowsTheBuiltInSplash) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ASSERT_EQ(std::system(("mkdir -p " + Folder()).c_str()), 0);
    const std::string game = Folder() + "builtin_splash.ios";
    ASSERT_TRUE(WriteGame(game, 0x10000));
    EXPECT_EXIT(RunShell(game), ::testing::ExitedWithCode(0), "");
    std::ifstream in(Folder() + "trace.txt");
    int status = -1, steps = -1;
    ASSERT_TRUE(in >> status >> steps);
    EXPECT_EQ(status, 0);
    std::string tag;
    int splashFrames = 0;
    while (in >> tag) {
        int state = 0;
        long long a = 0, b = 0;
        if (tag == "E") {
            in >> state >> a;
            continue;
        }
        in >> state >> a >> b;
        if (state != 7 && state != 8) continue;
        ++splashFrames;
        // The built-in image's pale band runs through its middle.
        EXPECT_EQ(static_cast<uint32_t>(a), 0xD2D6DEFFu) << "state " << state;
    }
    EXPECT_GE(splashFrames, 60);
}
