// Errors and consoles: the report's exact text, showing (window, debugger,
// release console, game end), suppression, process exit status, code-error
// texts, the error-stream and printing consoles, and the small text helpers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/console.h"
#include "core/error.h"
#include "core/header_globals.h"
#include "core/memory_manager.h"
#include "core/run_state.h"
#include "core/stack_trace.h"
#include "core/text_util.h"
#include "temp_path.h"

namespace {

const std::string kHashes(92, '#');
const std::string kDashes(92, '-');

std::vector<std::string> g_shown;    // texts shown in the error window
std::vector<std::string> g_debugger; // texts handed to the debugger
bool g_debuggerConnected = false;
int g_gameEnds = 0;

const char* EventName(int type, int number) {
    return type == 3 && number == 0 ? "Step Event" : nullptr;
}
const char* ObjectName(int object) {
    return object == 4 ? "obj_player" : nullptr;
}
const char* TimelineName(int index) {
    return index == 2 ? "tl_intro" : nullptr;
}

// Errors as a normal run sees them, with the platform's services recorded.
class Errors : public ::testing::Test {
protected:
    void SetUp() override {
        g_shown.clear();
        g_debugger.clear();
        g_debuggerConnected = false;
        g_gameEnds = 0;
        m_savedHooks = g_ErrorHooks;
        g_ErrorHooks = {};
        g_ErrorHooks.eventName = EventName;
        g_ErrorHooks.objectName = ObjectName;
        g_ErrorHooks.timelineName = TimelineName;
        g_ErrorHooks.showMessage = [](const char* text) { g_shown.emplace_back(text); };
        g_ErrorHooks.debuggerConnected = [] { return g_debuggerConnected; };
        g_ErrorHooks.debuggerShowError = [](const char* text) { g_debugger.emplace_back(text); };
        g_ErrorHooks.gameEnd = [] { ++g_gameEnds; };
        g_bLaunchedFromPlayer = true;
        g_fHeadless = false;
        g_fNoErrorWindow = false;
        g_fSuppressErrors = false;
        option_displayerrors = true;
        option_aborterrors = false;
        aborterror = false;
        Display_Error_Occurred = false;
        Code_Error_Occured = false;
        New_Room = ROOM_NONE;
        Current_Event_Type = 3;
        Current_Event_Number = 0;
        Current_Object = 4;
        Current_Action_Index = 0;
        testing::internal::CaptureStdout();
    }

    void TearDown() override {
        m_printed += testing::internal::GetCapturedStdout();
        // Failure messages went to the captured output too.
        if (HasFailure()) std::fputs(m_printed.c_str(), stderr);
        g_ErrorHooks = m_savedHooks;
        g_bLaunchedFromPlayer = false;
        aborterror = false;
        New_Room = ROOM_NONE;
        Current_Event_Type = Current_Event_Number = Current_Object = Current_Action_Index = 0;
    }

    // What was printed since the previous call (or SetUp).
    std::string Printed() {
        std::string text = testing::internal::GetCapturedStdout();
        m_printed += text;
        testing::internal::CaptureStdout();
        return text;
    }

    static std::string Shown() {
        return Display_Error_Message != nullptr ? Display_Error_Message->Get() : "";
    }

private:
    ErrorHooks m_savedHooks;
    std::string m_printed;
};

} // namespace

TEST_F(Errors, ReportTextForAFatalErrorInCompiledCode) {
    SZQStackTrace outer("vtl_Script_outer", 12);
    SZQStackTrace middle("vtl_Script_middle", -1);
    SZQStackTrace inner("vtl_Script_inner", 3);
    ZQError("value %d is bad", 7);

    const std::string expected =
        kHashes + "\n" +
        "FATAL ERROR in\naction number 1\nof Step Event\nfor object obj_player:\n\n\n"
        "value 7 is bad\n" +
        kHashes + "\n" + kDashes + "\n" +
        "called from - vtl_Script_inner (line 3)\n"
        "called from - vtl_Script_middle\n"
        "called from - vtl_Script_outer (line 12)\n";
    EXPECT_EQ(Shown(), expected);
    EXPECT_EQ(Printed(), "ERROR!!! :: " + expected + "\n");
    EXPECT_EQ(New_Room, ROOM_ABORTGAME);
    EXPECT_TRUE(aborterror);
    EXPECT_EQ(g_gameEnds, 1) << "launched from the tools, the game is asked to end";
    ASSERT_EQ(g_shown.size(), 1u);
}

TEST_F(Errors, HeadlinesForTimelinesShadersAndUnknownNames) {
    Current_Event_Type = EVENT_TYPE_TIMELINE;
    Current_Event_Number = 30;
    Current_Object = 2;
    Current_Action_Index = 1;
    Error_Show_Action("msg", false);
    EXPECT_THAT(Shown(), testing::StartsWith(kHashes +
                                             "\nERROR in\naction number 2\nat time step30\nof time "
                                             "line tl_intro:\n\n\nmsg\n" +
                                             kHashes + "\n"));

    Current_Event_Type = EVENT_TYPE_SHADER;
    g_ShaderVorP = true;
    g_ShaderErrorName = "sh_glow";
    aborterror = false;
    Error_Show_Action("0:1: syntax error", true);
    EXPECT_THAT(Shown(),
                testing::StartsWith(kHashes + "\nFATAL ERROR in Fragment Shader compilation\n\nShaderName: "
                                              "sh_glow\n\n\n0:1: syntax error\n\n"));
    g_ShaderVorP = false;
    g_ShaderErrorName = nullptr;

    // Names the hooks do not know, and a missing message.
    Current_Event_Type = 99;
    Current_Object = 77;
    aborterror = false;
    Error_Show_Action(nullptr, false);
    EXPECT_THAT(Shown(), testing::HasSubstr("ERROR in\naction number 2\nof <Unknown Event>\nfor object "
                                            "<undefined>:\n\n\n\n"));
}

TEST_F(Errors, BytecodeLocationLines) {
    static ErrorBytecodeLocation where;
    g_ErrorHooks.bytecodeLocation = [](ErrorBytecodeLocation* out) {
        *out = where;
        return true;
    };
    where = {"vtl_Script_x", true, "vtl_Object_obj_player_Step_12", 40, "x = y.z;"};
    Error_Show_Action("oops", false);
    EXPECT_THAT(Shown(), testing::HasSubstr("action number 12\n"));
    EXPECT_THAT(Shown(), testing::HasSubstr("oops\n at vtl_Object_obj_player_Step_12 (line 40) - x = y.z;\n" +
                                            kHashes + "\n"));

    // The compiled names the test fixtures give their code: only an object
    // event's name gives the action number; every other kind keeps the
    // action index (0 here, so number 1).
    const struct {
        const char* function;
        int action;
    } kNames[] = {{"vtl_Object_obj_a_Other_4", 4},
                  {"vtl_Object_obj_player_Create_0", 0},
                  {"vtl_Object_obj_ctl_Alarm_10", 10},
                  {"vtl_Script_scr_hit", 1},
                  {"vtl_Global_init", 1},
                  {"vtl_Room_rm_first_Create", 1},
                  {"vtl_Room_rm_first_Instance_0", 1},
                  {"vtl_Timeline_tl_main_1", 1}};
    for (const auto& name : kNames) {
        where = {"vtl_Script_x", true, name.function, 7, "a = b;"};
        aborterror = false;
        Error_Show_Action("oops", false);
        EXPECT_THAT(Shown(), testing::HasSubstr("action number " + std::to_string(name.action) + "\n"))
            << name.function;
    }

    where = {"vtl_Script_x", false, nullptr, 0, nullptr};
    aborterror = false;
    Error_Show_Action("oops", false);
    EXPECT_THAT(Shown(), testing::HasSubstr("action number 1\n"));
    EXPECT_THAT(Shown(), testing::HasSubstr("oops\nat vtl_Script_x\n" + kHashes + "\n"));
}

TEST_F(Errors, ShowingEndsTheGameUnlessAnOptionOrTheDebuggerSaysOtherwise) {
    // A non-fatal error that reaches the window ends the game.
    Error_Show("first", false);
    EXPECT_EQ(New_Room, ROOM_ABORTGAME);
    EXPECT_TRUE(aborterror);
    EXPECT_TRUE(Display_Error_Occurred);
    ASSERT_EQ(g_shown.size(), 1u);

    // After a fatal error, nothing more is shown or printed.
    Printed();
    Error_Show("second", true);
    EXPECT_EQ(g_shown.size(), 1u);
    EXPECT_EQ(Shown(), "first");

    // With "-noerrors" only the release console hears of it.
    aborterror = false;
    New_Room = ROOM_NONE;
    option_displayerrors = false;
    Printed();
    Error_Show("third", false);
    EXPECT_EQ(New_Room, ROOM_NONE);
    EXPECT_EQ(g_shown.size(), 1u);
    EXPECT_EQ(Printed(), "ERROR!!! :: third\n");

    // Headless runs never open the window.
    option_displayerrors = true;
    g_fHeadless = true;
    Error_Show("fourth", false);
    EXPECT_EQ(New_Room, ROOM_NONE);
    EXPECT_EQ(g_shown.size(), 1u);
    g_fHeadless = false;

    // Every error is fatal with option_aborterrors.
    option_displayerrors = false;
    option_aborterrors = true;
    Error_Show("fifth", false);
    EXPECT_EQ(New_Room, ROOM_ABORTGAME);
    option_aborterrors = false;

    // An attached debugger receives the text and the game goes on.
    aborterror = false;
    New_Room = ROOM_NONE;
    option_displayerrors = true;
    g_debuggerConnected = true;
    Error_Show("sixth", false);
    EXPECT_EQ(New_Room, ROOM_NONE);
    ASSERT_EQ(g_debugger.size(), 1u);
    EXPECT_THAT(g_debugger[0], testing::EndsWith("sixth"));
}

TEST_F(Errors, SuppressedErrorsOnlySetTheFlag) {
    g_fSuppressErrors = true;
    ZQError("hidden %s", "text");
    EXPECT_TRUE(Code_Error_Occured);
    EXPECT_FALSE(Display_Error_Occurred);
    EXPECT_TRUE(g_shown.empty());
    EXPECT_EQ(Printed(), "");
    g_fSuppressErrors = false;
}

TEST_F(Errors, FormTextLinesTabsAndFrame) {
    ShowForm("a\tb\r\nc\n\nd\re", true);
    ASSERT_EQ(g_shown.size(), 1u);
    EXPECT_EQ(g_shown[0], "\r\n" + std::string(43, '_') + "\r\na       b\r\nc\r\nd\r\ne");
    EXPECT_FALSE(g_ErrorForm.m_abort);
}

TEST_F(Errors, UserTextIsNeverAFormat) {
    ZQError("%s", "100%s %n %d");
    EXPECT_THAT(Shown(), testing::HasSubstr("\n\n\n100%s %n %d\n"));
    EXPECT_THAT(Printed(), testing::HasSubstr("100%s %n %d"));
    aborterror = false;
    Error_Show("50% %s done", false);
    EXPECT_EQ(Shown(), "50% %s done");
}

TEST_F(Errors, MessagesAreCutAt1023Characters) {
    std::string longText(5000, 'x');
    ZQError("%s", longText.c_str());
    EXPECT_THAT(Shown(), testing::HasSubstr(std::string(1023, 'x') + "\n#"));
    EXPECT_THAT(Shown(), testing::Not(testing::HasSubstr(std::string(1024, 'x'))));
}

using ErrorsDeathTest = Errors;

TEST_F(ErrorsDeathTest, FatalErrorsEndTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    g_bLaunchedFromPlayer = false;
    EXPECT_EXIT(ZQError("bad %d", 1), testing::ExitedWithCode(1), "");
    EXPECT_EXIT(VMError(nullptr, "bad vm"), testing::ExitedWithCode(255), "");
}

TEST_F(Errors, VMErrorWhileSuppressedStopsTheExecution) {
    static int stopped = 0;
    g_ErrorHooks.stopExecution = [](VMExec*) { ++stopped; };
    g_fSuppressErrors = true;
    VMError(nullptr, "x");
    EXPECT_EQ(stopped, 1);
    EXPECT_TRUE(Code_Error_Occured);
    g_fSuppressErrors = false;
}

TEST_F(Errors, CodeErrorTexts) {
    Code_Report_Error("a = 1;\r\nb = c +;\r\n", true, 14, "unexpected symbol");
    ASSERT_NE(Code_Error_String, nullptr);
    EXPECT_STREQ(Code_Error_String->Get(),
                 "Error in code at line 2:\n   b = c +;\n\nat position 7: unexpected symbol");

    // Only the first error is kept until the flag is cleared.
    Code_Report_Error("x", false, 0, "later");
    EXPECT_THAT(Code_Error_String->Get(), testing::StartsWith("Error in code"));

    Code_Error_Occured = false;
    Code_Report_Error("1 +* 2", false, 99, "bad");
    EXPECT_STREQ(Code_Error_String->Get(), "Error in expression: 1 +* 2\n position 7: bad");
    Code_Error_Occured = false;
    Code_Report_Error(nullptr, true, -5, "none");
    EXPECT_STREQ(Code_Error_String->Get(), "Error in code at line 1:\n   \n\nat position 1: none");
}

TEST(Consoles, PointersAndTheDummyConsole) {
    EXPECT_EQ(init_csol, &g_dummyConsole);
    EXPECT_EQ(dbg_csol, &_dbg_csol);
    EXPECT_EQ(rel_csol, &_dbg_csol);
    EXPECT_TRUE(dbg_csol->Create(L"x", false));
    testing::internal::CaptureStdout();
    init_csol->Output("discarded %d\n", 1);
    ZQprintf("shown %s\n", "line");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "shown line\n");
}

TEST(Consoles, HeadlessAndNewGenerationRunsPrintNothing) {
    testing::internal::CaptureStdout();
    g_fHeadless = true;
    dbg_csol->Output("a\n");
    g_fHeadless = false;
    g_isNimbar = true;
    dbg_csol->Output("b\n");
    g_isNimbar = false;
    dbg_csol->Output("c\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "c\n");
}

TEST(Consoles, DebugOutputAppendsEveryLineToItsFile) {
    std::string path = TestTempPath("debugoutput.txt");
    std::remove(path.c_str());
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    g_DebugConsoleOutputFileName = name.data();
    g_DebugConsoleOutput = true;
    g_fHeadless = true;
    dbg_csol->Output("one %d\n", 1);
    rel_csol->Output("%s", "two\n");
    TConsole ordinary(false);
    ordinary.Output("not in the debug file\n");
    Console_CloseFiles();
    dbg_csol->Output("three\n"); // reopened for appending
    Console_CloseFiles();
    g_DebugConsoleOutput = false;
    g_DebugConsoleOutputFileName = nullptr;
    g_fHeadless = false;

    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "one 1\ntwo\nthree\n");
    std::remove(path.c_str());
}

// Standard output gets a long line whole; the debugger link and the file get
// it cut to 4095 bytes.
std::string g_toDebugger;
void ToDebugger(const char* line) {
    g_toDebugger = line;
}

TEST(Consoles, LongLinesArePrintedWholeAndCutAt4095ForTheDebuggerAndTheFile) {
    std::string path = TestTempPath("cut.txt");
    std::remove(path.c_str());
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    g_DebugConsoleOutputFileName = name.data();
    g_DebugConsoleOutput = true;
    g_pfnConsoleToDebugger = ToDebugger;
    testing::internal::CaptureStdout();
    std::string longLine(5000, 'y');
    dbg_csol->Output("%s-%d", longLine.c_str(), 7);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), longLine + "-7");
    Console_CloseFiles();
    g_DebugConsoleOutput = false;
    g_DebugConsoleOutputFileName = nullptr;
    g_pfnConsoleToDebugger = nullptr;
    EXPECT_EQ(g_toDebugger, std::string(4095, 'y'));
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), std::string(4095, 'y'));
    std::remove(path.c_str());
}

TEST(Consoles, ErrorStreamGrowsAndCutsEachCall) {
    TErrStreamConsole stream;
    std::string chunk(16000, 'z');
    for (int i = 0; i < 10; ++i) stream.Output("%s", chunk.c_str());
    EXPECT_EQ(stream.Length(), 160000u);
    EXPECT_EQ(std::string(stream.Text()), std::string(160000, 'z'));
    TErrStreamConsole cut;
    std::string huge(20000, 'q');
    cut.Output("%s!", huge.c_str());
    EXPECT_EQ(cut.Length(), 16383u);
    cut.Output("%s", "");
    EXPECT_EQ(cut.Length(), 16383u);
}

TEST(TextUtil, ItoaAndCase) {
    char buffer[40];
    struct Case {
        int value;
        int base;
        const char* text;
    } cases[] = {{-255, 16, "-ff"}, {255, 1, ""},  {0, 10, "0"},
                 {35, 36, "z"},     {5, 2, "101"}, {-2147483647 - 1, 10, "-2147483648"},
                 {7, 37, ""}};
    for (const Case& c : cases)
        EXPECT_STREQ(zqitoa(c.value, buffer, c.base), c.text) << c.value << " " << c.base;
    EXPECT_STREQ(_itoa(-10, buffer, 10), "-10");
    char text[] = "MiXeD 1!";
    EXPECT_STREQ(strlwr(text), "mixed 1!");
    EXPECT_STREQ(strupr(text), "MIXED 1!");
}
