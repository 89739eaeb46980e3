// The whole program through the shell on SDL's offscreen driver: a game made
// by the writer runs through the engine states 5, 6, 7, 8, 9, 11 and 13 on a
// fake clock, the splash shows for its timings, and the frames read back show
// the splash and then the running game's first room: its colour, its
// background and the sprite of an instance, each where the room puts it.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <zip.h>

#include "background_chunk.h"
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
#include "sprite_chunk.h"
#include "temp_path.h"
#include "texture_chunks.h"
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

// Points of the room (640 × 480, top-left origin) read from every presented
// frame, scaled to the drawable; a line per frame: its state, then the pixels.
struct RoomPoint {
    int x, y;
};
std::vector<RoomPoint> g_probes;
std::vector<std::vector<uint32_t>> g_probeShots;
void OnPresentProbes(int width, int height) {
    std::vector<uint32_t> shot{
        static_cast<uint32_t>(macRunnerDelegate != nullptr ? macRunnerDelegate->engineState() : -1)};
    for (const RoomPoint& p : g_probes)
        shot.push_back(PixelAt(p.x * width / 640, height - 1 - p.y * height / 480));
    g_probeShots.push_back(shot);
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
void RunShell(const std::string& game, ZQGLView::PresentObserver observer = &OnPresent) {
    ASSERT_EQ(chdir(Folder().c_str()), 0); // where splash.png is
    // Archives expand into the save area: one of this run's own, so that two
    // runs at once never expand into each other's folder.
    setenv("XDG_DATA_HOME", (Folder() + "data").c_str(), 1);
    Code_SetCompiledRecordFiller(FillRecord);
    Timing_SetClock(&FakeNow, &FakeSleep);
    Platform_SetTickObserver(&OnTick);
    ZQGLView::SetPresentObserver(observer);
    const char* argv[] = {"corvane", "-noaudio", "-game", game.c_str()};
    const int status = Platform_RunApplication(4, argv);
    std::ofstream out(Folder() + "trace.txt");
    out << status << " " << g_steps << "\n";
    for (const Entry& e : g_entries) out << "E " << e.state << " " << e.at << "\n";
    for (const Shot& s : g_shots) out << "S " << s.state << " " << s.centre << " " << s.corner << "\n";
    out.close();
    std::ofstream probes(Folder() + "probes.txt");
    for (const std::vector<uint32_t>& shot : g_probeShots) {
        for (uint32_t v : shot) probes << v << " ";
        probes << "\n";
    }
    probes.close();
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

// The same controller in a room with art: a 64 × 64 page holding a green
// 16 × 16 sprite at (0, 0) and a yellow 32 × 32 background at (0, 32); the
// background stands at (400, 300), a box with the sprite at (100, 80), on the
// room colour.
bool WriteGameWithArt(const std::string& path) {
    std::vector<uint8_t> page(64 * 64 * 4, 0);
    auto fill = [&](int y0, int size, uint8_t r, uint8_t g, uint8_t b) {
        for (int y = y0; y < y0 + size; ++y)
            for (int x = 0; x < size; ++x) {
                uint8_t* p = &page[static_cast<size_t>(y * 64 + x) * 4];
                p[0] = r, p[1] = g, p[2] = b, p[3] = 255;
            }
    };
    fill(0, 16, 0, 255, 0);
    fill(32, 32, 255, 255, 0);
    uint8_t* png = nullptr;
    size_t pngLength = 0;
    if (!PNG_EncodeRGBA(page.data(), 64, 64, &png, &pngLength)) return false;
    wad::TexturePagesFields pages;
    pages.newerLayout = false;
    pages.pages = {wad::TexturePageFields{0, 0, std::vector<uint8_t>(png, png + pngLength)}};
    ZQ_Free(png);
    for (int16_t y : {0, 32}) {
        const int16_t size = y == 0 ? 16 : 32;
        wad::PageEntryFields e;
        e.y = y;
        e.width = e.cropWidth = e.untrimmedWidth = size;
        e.height = e.cropHeight = e.untrimmedHeight = size;
        pages.entries.push_back(e);
    }

    wad::GameDataWriter w;
    wad::HeaderFields header;
    header.windowWidth = 640;
    header.windowHeight = 480;
    header.editorMajor = 1; // rooms of old-generation data draw their own backgrounds
    header.roomOrder = {0};
    wad::WriteHeader(w, header);
    wad::WriteTexturePages(w, pages);
    wad::SpriteFields sprite;
    sprite.name = "spr_box";
    sprite.width = sprite.height = 16;
    sprite.right = sprite.bottom = 15;
    sprite.pageEntries = {wad::PageEntryLabel("TPAG", 0)};
    wad::WriteSprites(w, {sprite});
    wad::BackgroundFields background;
    background.name = "bg_field";
    background.entryLabel = wad::PageEntryLabel("TPAG", 1);
    wad::WriteBackgrounds(w, {background});
    wad::ObjectFields ctl;
    ctl.name = "obj_ctl";
    ctl.events.resize(4);
    ctl.events[3] = {{0, 0}};
    wad::ObjectFields box;
    box.name = "obj_box";
    box.spriteWord = 0;
    wad::WriteObjects(w, {ctl, box}, header.version);
    wad::RoomFields room;
    room.colour = 0x2050A0; // 0xBBGGRR
    wad::RoomBackgroundFields field;
    field.visible = 1;
    field.index = 0;
    field.x = 400;
    field.y = 300;
    field.htiled = field.vtiled = 0;
    room.backgrounds = std::vector<wad::RoomBackgroundFields>{field};
    room.instances = std::vector<wad::RoomInstanceFields>{{0, 0, 0, 100001}, {100, 80, 1, 100002}};
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

// After the splash the window shows the first room as the room lays it out:
// its colour, its background where it stands and the sprite of an instance
// at the instance's place, in every frame the room is drawn.
TEST(ShellRun, AfterTheSplashTheWindowShowsTheFirstRoom) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ASSERT_EQ(std::system(("mkdir -p " + Folder()).c_str()), 0);
    const std::string game = Folder() + "room_art.ios";
    ASSERT_TRUE(WriteGameWithArt(game));
    // The room colour well away from the art, the background's middle and
    // its far corner, the sprite's middle and its far corner, and the room
    // colour just past each.
    g_probes = {{320, 240}, {416, 316}, {431, 331}, {108, 88}, {115, 95}, {116, 96}, {432, 332}};
    EXPECT_EXIT(RunShell(game, &OnPresentProbes), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadTrace().states, "6 7 8 9 11 13 ");

    constexpr uint32_t kRoom = 0xA05020, kYellow = 0xFFFF00, kGreen = 0x00FF00;
    const std::vector<uint32_t> expected = {kRoom, kYellow, kYellow, kGreen, kGreen, kRoom, kRoom};
    // The window shows colour only (the frame's alpha is the device's); the
    // software rasteriser may round a texel by a step.
    auto near = [](uint32_t got, uint32_t want) {
        for (int shift : {8, 16, 24})
            if (std::abs(static_cast<int>(got >> shift & 0xFF) -
                         static_cast<int>(want >> (shift - 8) & 0xFF)) > 2)
                return false;
        return true;
    };
    std::ifstream in(Folder() + "probes.txt");
    std::string line;
    int roomFrames = 0, otherFrames = 0;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        uint32_t state = 0;
        fields >> state;
        if (state != 11 && state != 13) continue;
        std::vector<uint32_t> got(expected.size());
        for (uint32_t& v : got) fields >> v;
        if (!near(got[0], kRoom)) {
            // A step that ends the game draws nothing: its frame keeps the clear.
            ++otherFrames;
            EXPECT_TRUE(near(got[0], 0)) << "state " << state << " colour " << std::hex << got[0];
            continue;
        }
        ++roomFrames;
        for (size_t i = 0; i < expected.size(); ++i)
            EXPECT_TRUE(near(got[i], expected[i])) << "at (" << g_probes[i].x << ", " << g_probes[i].y << ") "
                                                   << std::hex << got[i] << " in place of " << expected[i];
    }
    EXPECT_GE(roomFrames, 2) << "the two steps before the last draw the room";
    EXPECT_LE(otherFrames, 2);
}
