// The command line: a table of command lines and every setting they leave,
// tokens without length or count limits, the per-parse resets, and process
// arguments joined so that each comes back as it was.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "core/console.h"
#include "core/error.h"
#include "core/graphics_perf.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "core/run_settings.h"
#include "core/timing.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "options_chunk.h"
#include "temp_path.h"
#include "world/datafile/code_binding.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/datafile/options.h"
#include "world/input/input_recording.h"
#include "world/run/command_line.h"

namespace {

std::string Text(const char* text) {
    return text != nullptr ? text : "<null>";
}

// Every setting the command line writes.
struct Settings {
    bool debugMode = false, physicsDebug = false, vmTrace = false, vmDebug = false, extDisabled = false;
    int displayFlags = 0;
    bool displayErrors = true, noErrors = false, vmUse = true, noAudio = false, inAWindow = false;
    std::string game = "<null>", exitGame = "<null>", exitDir = "<null>";
    bool record = false, playback = false;
    std::string recordFile = "<null>";
    bool steam = false, manualClear = false, networkDebug = false;
    bool consoleOutput = false, debugOutput = false, progressShown = false, headless = false;
    std::string consoleFile = "<null>", debugFile = "<null>", profileFile = "<null>", playerArg = "<null>";
    int profileInterval = 0, sleepMargin = 10;
    std::vector<std::string> argv;

    bool operator==(const Settings&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Settings& s) {
    out << "{debug " << s.debugMode << " physics " << s.physicsDebug << " trace " << s.vmTrace << "/"
        << s.vmDebug << " ext " << s.extDisabled << " flags " << s.displayFlags << " errors "
        << s.displayErrors << "/" << s.noErrors << " vm " << s.vmUse << " noaudio " << s.noAudio << " window "
        << s.inAWindow << " game " << s.game << " exit " << s.exitGame << " dir " << s.exitDir << " record "
        << s.record << " playback " << s.playback << " file " << s.recordFile << " steam " << s.steam
        << " intel " << s.manualClear << " net " << s.networkDebug << " output " << s.consoleOutput << ":"
        << s.consoleFile << " debugoutput " << s.debugOutput << ":" << s.debugFile << " progress "
        << s.progressShown << " headless " << s.headless << " profile " << s.profileFile << ":"
        << s.profileInterval << " player " << s.playerArg << " sleep " << s.sleepMargin << " argv [";
    for (const std::string& a : s.argv) out << "'" << a << "' ";
    return out << "]}";
}

Settings Current() {
    Settings s;
    s.debugMode = DebugMode;
    s.physicsDebug = g_PhysicsDebugMode;
    s.vmTrace = g_fVMTrace;
    s.vmDebug = g_fVMDebug;
    s.extDisabled = ExtDisabled;
    s.displayFlags = GraphicsPerf::ms_DisplayFlags;
    s.displayErrors = option_displayerrors;
    s.noErrors = g_fCommandLineNoErrors;
    s.vmUse = g_fVMUse;
    s.noAudio = g_fNoAudio;
    s.inAWindow = g_fInAWindow;
    s.game = Text(g_pGameName);
    s.exitGame = Text(g_pExitGame_CMD);
    s.exitDir = Text(g_pExitDir_CMD);
    s.record = g_IO_Record;
    s.playback = g_IO_Playback;
    s.recordFile = Text(g_pIO_RecordFileName);
    s.steam = g_SteamWorkshop;
    s.manualClear = g_bManualClear;
    s.networkDebug = g_DebugNetworkOutput;
    s.consoleOutput = g_ConsoleOutput;
    s.consoleFile = Text(g_ConsoleOutputFileName);
    s.debugOutput = g_DebugConsoleOutput;
    s.debugFile = Text(g_DebugConsoleOutputFileName);
    s.progressShown = init_csol == dbg_csol;
    s.headless = g_fHeadless;
    s.profileFile = Text(g_ProfileDumpFileName);
    s.profileInterval = g_ProfileDumpInterval;
    s.playerArg = Text(g_pPlayerLaunchArg);
    s.sleepMargin = g_SleepMargin;
    for (int i = 0; i < g_nArgC; ++i) s.argv.push_back(g_pArgV[i]);
    return s;
}

void Clear(char*& text) {
    ZQ_Free(text);
    text = nullptr;
}

// Everything back to program start.
void ResetAll() {
    ProcessCommandLine(nullptr); // the per-parse settings
    CommandLine_Quit();
    g_PhysicsDebugMode = g_fVMTrace = g_fVMDebug = false;
    option_displayerrors = true;
    LoadSave_SetGameName(nullptr);
    Clear(g_pExitGame_CMD);
    Clear(g_pExitDir_CMD);
    Clear(g_pIO_RecordFileName);
    g_SteamWorkshop = g_bManualClear = g_IntelHWMode = g_DebugNetworkOutput = false;
    g_ConsoleOutput = g_DebugConsoleOutput = false;
    Clear(g_ConsoleOutputFileName);
    Clear(g_DebugConsoleOutputFileName);
    init_csol = &g_dummyConsole;
    g_fHeadless = false;
    Clear(g_ProfileDumpFileName);
    g_ProfileDumpInterval = 0;
    Clear(g_pPlayerLaunchArg);
    g_SleepMargin = 10;
}

class CommandLine : public testing::Test {
protected:
    void SetUp() override { ResetAll(); }
    void TearDown() override { ResetAll(); }
};

} // namespace

TEST_F(CommandLine, TableOfCommandLinesAndWhatTheyLeave) {
    struct Case {
        const char* text;
        std::function<void(Settings&)> expect;
    } cases[] = {
        {"-game \"my game.ios\" -noaudio",
         [](Settings& s) {
             s.game = "my game.ios";
             s.noAudio = true;
             s.argv = {"-game", "my game.ios", "-noaudio"};
         }},
        {"a\"b c\"d", [](Settings& s) { s.argv = {"ab cd"}; }},
        {"\"\"", [](Settings& s) { s.argv = {""}; }},
        {"x\xC3y \"x\xC3y\"",
         [](Settings& s) {
             s.argv = {"x", "y", "x\xC3y"};
         }},
        {" \t-noaudio\n\r\x01-inawindow  ",
         [](Settings& s) {
             s.noAudio = s.inAWindow = true;
             s.argv = {"-noaudio", "-inawindow"};
         }},
        {"-debug -game g.ios",
         [](Settings& s) {
             s.debugMode = s.physicsDebug = true;
             s.displayFlags = 2;
             s.game = "g.ios";
             s.argv = {"-debug", "-game", "g.ios"};
         }},
        {"-game g.ios -debug",
         [](Settings& s) {
             s.game = "g.ios";
             s.argv = {"-game", "g.ios", "-debug"};
         }},
        {"-audiodebug -debug",
         [](Settings& s) {
             s.debugMode = s.physicsDebug = true;
             s.displayFlags = 2;
             s.argv = {"-audiodebug", "-debug"};
         }},
        {"-debug -audiodebug",
         [](Settings& s) {
             s.debugMode = s.physicsDebug = true;
             s.displayFlags = 0x12;
             s.argv = {"-debug", "-audiodebug"};
         }},
        {"-game",
         [](Settings& s) {
             s.game = "";
             s.argv = {"-game"};
         }},
        {"-dir -noaudio",
         [](Settings& s) {
             s.exitDir = "-noaudio";
             s.argv = {"-dir", "-noaudio"};
         }},
        {"-exit a.ios -exit b.ios",
         [](Settings& s) {
             s.exitGame = "b.ios";
             s.argv = {"-exit", "a.ios", "-exit", "b.ios"};
         }},
        {"vtplayer://launch/",
         [](Settings& s) {
             s.playerArg = "launch";
             s.argv = {"vtplayer://launch/"};
         }},
        {"vtplayer:word",
         [](Settings& s) {
             s.playerArg = "word";
             s.argv = {"vtplayer:word"};
         }},
        {"vtplayer:",
         [](Settings& s) {
             s.playerArg = "";
             s.argv = {"vtplayer:"};
         }},
        {"-noerrors",
         [](Settings& s) {
             s.displayErrors = false;
             s.noErrors = true;
             s.argv = {"-noerrors"};
         }},
        {"-record r.bin -playback p.bin",
         [](Settings& s) {
             s.record = s.playback = true;
             s.recordFile = "p.bin";
             s.argv = {"-record", "r.bin", "-playback", "p.bin"};
         }},
        {"-profiledump prof.txt 30 -sleepmargin 4",
         [](Settings& s) {
             s.profileFile = "prof.txt";
             s.profileInterval = 30;
             s.sleepMargin = 4;
             s.argv = {"-profiledump", "prof.txt", "30", "-sleepmargin", "4"};
         }},
        {"-profiledump",
         [](Settings& s) {
             s.profileFile = "";
             s.argv = {"-profiledump"};
         }},
        {"-sleepmargin 99999999999x",
         [](Settings& s) {
             s.sleepMargin = INT32_MAX;
             s.argv = {"-sleepmargin", "99999999999x"};
         }},
        {"-output o.txt -debugoutput \"d d.txt\"",
         [](Settings& s) {
             s.consoleOutput = s.debugOutput = s.progressShown = true;
             s.consoleFile = "o.txt";
             s.debugFile = "d d.txt";
             s.argv = {"-output", "o.txt", "-debugoutput", "d d.txt"};
         }},
        {"-headless -steam -intel -networkdebug -ext -trace -vmtrace -oldexec",
         [](Settings& s) {
             s.headless = s.steam = s.manualClear = s.networkDebug = s.extDisabled = true;
             s.vmTrace = s.vmDebug = true;
             s.vmUse = false;
             s.argv = {"-headless", "-steam", "-intel",   "-networkdebug",
                       "-ext",      "-trace", "-vmtrace", "-oldexec"};
         }},
        {"-software -vanillaGFX -multivb -novb -compresstextures -manualvsync -nodirectinput",
         [](Settings& s) {
             s.argv = {"-software",         "-vanillaGFX",  "-multivb",      "-novb",
                       "-compresstextures", "-manualvsync", "-nodirectinput"};
         }},
        {"-DEBUG -noaudiox game.ios --headless",
         [](Settings& s) {
             s.argv = {"-DEBUG", "-noaudiox", "game.ios", "--headless"};
         }},
    };
    for (const Case& c : cases) {
        ResetAll();
        ProcessCommandLine(c.text);
        Settings expected;
        c.expect(expected);
        EXPECT_EQ(Current(), expected) << "command line: " << c.text;
    }
}

TEST_F(CommandLine, EmptyOrNullTextKeepsTheArgumentVector) {
    ProcessCommandLine("-noaudio one");
    ProcessCommandLine("");
    EXPECT_EQ(Current().argv, (std::vector<std::string>{"-noaudio", "one"}));
    EXPECT_FALSE(g_fNoAudio) << "the per-parse settings are reset all the same";
    ProcessCommandLine(nullptr);
    EXPECT_EQ(g_nArgC, 2);
}

TEST_F(CommandLine, EachParseResetsOnlyItsOwnSettings) {
    ProcessCommandLine(
        "-noaudio -inawindow -record r.bin -noerrors -debug -ext -oldexec -headless -sleepmargin 3");
    ProcessCommandLine("-trace");
    Settings s = Current();
    EXPECT_FALSE(s.noAudio || s.inAWindow || s.record || s.debugMode || s.extDisabled || s.noErrors);
    EXPECT_TRUE(s.vmUse);
    EXPECT_EQ(s.displayFlags, 0);
    // Settings outside the reset list keep their values.
    EXPECT_TRUE(s.headless);
    EXPECT_EQ(s.sleepMargin, 3);
    EXPECT_EQ(s.recordFile, "r.bin");
    EXPECT_FALSE(s.displayErrors) << "only the options reset turns error windows back on";
    EXPECT_EQ(s.argv, std::vector<std::string>{"-trace"});
}

TEST_F(CommandLine, NoLimitOnTokenLengthOrCount) {
    std::string longToken(100000, 'x');
    std::string text = "-game \"" + longToken + " y\"";
    for (int i = 0; i < 1000; ++i) text += " t" + std::to_string(i);
    text += " -noaudio";
    ProcessCommandLine(text.c_str());
    EXPECT_EQ(Text(g_pGameName), longToken + " y");
    ASSERT_EQ(g_nArgC, 1003);
    EXPECT_STREQ(g_pArgV[1001], "t999");
    EXPECT_TRUE(g_fNoAudio);
    EXPECT_STREQ(g_CmdBuffer, "-noaudio");
}

TEST_F(CommandLine, GetNextCmdReadsOneTokenAtATime) {
    const char* text = "  ab \"c d\"e  ";
    size_t p = GetNextCmd(0, text);
    EXPECT_STREQ(g_CmdBuffer, "ab");
    EXPECT_EQ(p, 4u) << "the separator after the token is not consumed";
    p = GetNextCmd(p, text);
    EXPECT_STREQ(g_CmdBuffer, "c de");
    p = GetNextCmd(p, text);
    EXPECT_STREQ(g_CmdBuffer, "");
    EXPECT_EQ(text[p], '\0');
    EXPECT_EQ(g_nArgC, 2) << "no token, nothing appended";
    EXPECT_EQ(GetNextCmd(0, nullptr), 0u);
    EXPECT_EQ(g_nArgC, 2);
}

// Arguments joined into one text and parsed again come back as they were:
// blanks, control bytes and UTF-8 survive the quoting.
TEST_F(CommandLine, JoinedArgumentsSurviveTheParse) {
    const char* argv[] = {"/usr/bin/corvane", "-game",   "/tmp/my games/ünï cödé.ios", "",
                          "tab\there",        "-noaudio"};
    g_PackageBuild = false;
    CommandLine_Build(6, argv);
    ProcessCommandLine(g_pCommandLine);
    EXPECT_EQ(Current().argv,
              (std::vector<std::string>{"-game", "/tmp/my games/ünï cödé.ios", "", "tab\there", "-noaudio"}));
    EXPECT_EQ(Text(g_pGameName), "/tmp/my games/ünï cödé.ios");
    EXPECT_TRUE(g_fNoAudio);

    // A text that exists is kept; a packaged build names its game file and
    // output files.
    const char* other[] = {"corvane", "-headless"};
    CommandLine_Build(2, other);
    EXPECT_NE(std::string(g_pCommandLine).find("-noaudio"), std::string::npos);
    CommandLine_Quit();
    g_PackageBuild = true;
    const std::string debugFile = TestTempPath("d.txt");
    ProcessCommandLine(("-game \"a b.ios\" -debugoutput \"" + debugFile + "\"").c_str());
    const char* quoted[] = {"corvane", "say \"hi\""};
    CommandLine_Build(2, quoted);
    EXPECT_EQ(std::string(g_pCommandLine),
              "\"say hi\" -game \"a b.ios\" -debugoutput \"" + debugFile + "\" ");
}

TEST_F(CommandLine, NoErrorsStaysInForceAfterTheDataFileLoads) {
    wad::GameDataWriter w;
    wad::WriteHeader(w, wad::HeaderFields{});
    wad::WriteOptions(w, wad::OptionFields{});
    std::vector<uint8_t> image = w.Build();
    ProcessCommandLine("-noerrors -steam");
    Header_Reset();
    g_SteamWorkshop = true; // as the parse left it before the reset above
    ASSERT_TRUE(GetResolution(image.data(), image.size()));
    ASSERT_TRUE(LoadGameData(image.data(), image.size()));
    EXPECT_FALSE(option_displayerrors);
    EXPECT_TRUE(g_SteamWorkshop) << "the header does not clear \"-steam\"";

    ProcessCommandLine("-noaudio");
    ASSERT_TRUE(LoadGameData(image.data(), image.size()));
    EXPECT_TRUE(option_displayerrors);
    Header_Reset();
    Option_Init();
    Code_UnbindGameData();
}
