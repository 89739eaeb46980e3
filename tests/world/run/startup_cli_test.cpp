// The executable on damaged and missing data files: a clear message and exit
// status 1, never a crash.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

#include "code_chunks.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "options_chunk.h"
#include "room_chunk.h"
#include "temp_path.h"

namespace {

struct Outcome {
    int status;
    std::string output;
};

enum class Stream { Both, StdoutOnly, StderrOnly };

// Standard error joins the output unless one stream is asked for.
Outcome RunCorvane(const std::string& arguments, Stream stream = Stream::Both) {
    const char* redirect = stream == Stream::StdoutOnly   ? " 2>/dev/null"
                           : stream == Stream::StderrOnly ? " 2>&1 >/dev/null"
                                                          : " 2>&1";
    std::string command = std::string(CORVANE_BINARY) + " " + arguments + redirect;
    Outcome run{-1, {}};
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string TempPath(const char* name) {
    return TestTempPath(name);
}

// A game whose first room has creation code: a headless run of it ends with
// status 0 once that code has run. `firstRoom` may name a room that is not there.
wad::GameDataWriter HeadlessGame(int32_t firstRoom = 0) {
    wad::GameDataWriter w;
    wad::HeaderFields header;
    header.roomOrder = {firstRoom};
    wad::WriteHeader(w, header);
    wad::RoomFields room;
    room.code = 0;
    wad::WriteRooms(w, {room});
    return w;
}

} // namespace

TEST(CorvaneExecutable, DamagedOrMissingDataFileExitsWithStatusOne) {
    wad::GameDataWriter w;
    wad::WriteHeader(w, wad::HeaderFields{});
    std::vector<uint8_t> image = w.Build();
    image.resize(image.size() - 10); // cut short

    std::string bad = TempPath("damaged.ios");
    FILE* f = std::fopen(bad.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(image.data(), 1, image.size(), f);
    std::fclose(f);

    Outcome damaged = RunCorvane("-game " + bad);
    EXPECT_EQ(damaged.status, 1) << damaged.output;
    EXPECT_NE(damaged.output.find("Game data file is damaged"), std::string::npos) << damaged.output;

    Outcome missing = RunCorvane("-game " + TempPath("no-such-game.ios"));
    EXPECT_EQ(missing.status, 1) << missing.output;
    EXPECT_NE(missing.output.find("Unable to find game!!"), std::string::npos) << missing.output;

    std::string good = TempPath("good.ios");
    ASSERT_TRUE(HeadlessGame().WriteFile(good));
    Outcome run = RunCorvane("-headless -game " + good, Stream::StdoutOnly);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "") << "a headless run prints nothing on standard output";
}

TEST(CorvaneExecutable, EveryRefusedFileSaysWhyOnStandardErrorInEveryMode) {
    struct Case {
        const char* name;
        void (*spoil)(wad::GameDataWriter&);
        const char* reason;
    } cases[] = {
        {"a chunk tag in lower case", [](wad::GameDataWriter& w) { w.AddChunk("room").U32(0); },
         "(chunk room): unknown chunk at offset"},
        {"an option constant with an empty name",
         [](wad::GameDataWriter& w) {
             wad::OptionFields options;
             options.constants = {{"", "1"}};
             wad::WriteOptions(w, options);
         },
         "(chunk OPTN): constant 0 at offset"},
        {"an option constant whose name cannot be a constant",
         [](wad::GameDataWriter& w) {
             wad::OptionFields options;
             options.constants = {{"1abc", "1"}};
             wad::WriteOptions(w, options);
         },
         "Failed to define the constants."},
        {"global code naming an entry the file does not have",
         [](wad::GameDataWriter& w) {
             wad::CodeFields code;
             code.layout = wad::CodeLayout::Older;
             for (int i = 0; i < 4; ++i)
                 code.entries.push_back({"vtl_Global_" + std::to_string(i), {}, 0, 0, 0});
             wad::WriteCode(w, code);
             wad::WriteGlobalScripts(w, {999});
         },
         "names code entry 999, but the game has"},
    };
    const std::string path = TempPath("refused.ios");
    for (const Case& c : cases) {
        wad::GameDataWriter w = HeadlessGame();
        c.spoil(w);
        ASSERT_TRUE(w.WriteFile(path));
        for (const char* mode : {"-headless ", ""}) {
            Outcome run = RunCorvane(std::string(mode) + "-noaudio -game " + path, Stream::StderrOnly);
            EXPECT_EQ(run.status, 1) << c.name << " " << mode;
            EXPECT_NE(run.output.find(c.reason), std::string::npos) << c.name << " " << mode << run.output;
        }
    }
}

TEST(CorvaneExecutable, FirstRoomThatDoesNotExistExitsWithStatusOne) {
    std::string path = TempPath("bad-first-room.ios");
    ASSERT_TRUE(HeadlessGame(5).WriteFile(path));
    Outcome run = RunCorvane("-headless -game " + path);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("room 5"), std::string::npos) << run.output;

    // A data file without any room cannot start either.
    wad::GameDataWriter empty;
    wad::WriteHeader(empty, wad::HeaderFields{});
    ASSERT_TRUE(empty.WriteFile(path));
    EXPECT_EQ(RunCorvane("-headless -game " + path).status, 1);
}

TEST(CorvaneExecutable, HelpListsEveryOption) {
    Outcome help = RunCorvane("-help");
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"-debug",
                               "-trace",
                               "-vmtrace",
                               "-ext",
                               "-noerrors",
                               "-oldexec",
                               "-noaudio",
                               "-inawindow",
                               "-game FILE",
                               "-exit FILE",
                               "-dir FOLDER",
                               "-record FILE",
                               "-steam",
                               "-software",
                               "-intel",
                               "-audiodebug",
                               "-networkdebug",
                               "-vanillaGFX",
                               "-playback FILE",
                               "-output FILE",
                               "-debugoutput FILE",
                               "-headless",
                               "-profiledump FILE SECONDS",
                               "vtplayer:",
                               "-sleepmargin MS",
                               "-multivb",
                               "-novb",
                               "-compresstextures",
                               "-manualvsync",
                               "-nodirectinput"})
        EXPECT_NE(help.output.find(std::string("  ") + option + " "), std::string::npos) << option;
}

TEST(CorvaneExecutable, GameFileWithBlanksInItsPath) {
    std::string folder = TempPath("folder with blanks");
    ASSERT_EQ(std::system(("mkdir -p '" + folder + "'").c_str()), 0);
    std::string path = folder + "/my game.ios";
    ASSERT_TRUE(HeadlessGame().WriteFile(path));
    Outcome run = RunCorvane("-game '" + path + "' -noaudio -headless");
    EXPECT_EQ(run.status, 0) << run.output;
}
