// The fuzz targets' seeds, as the writer's command writes them at build time,
// are inputs their readers take whole: a seed that a reader refuses would
// start the fuzzer from nothing, and no fuzz run would say so.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/code.h"
#include "core/function_table.h"
#include "core/ini_file.h"
#include "core/memory_manager.h"
#include "core/script.h"
#include "core/timing.h"
#include "module_state.h"
#include "room/room_table.h"
#include "temp_path.h"
#include "world/datafile/code_binding.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/run/game_prepare.h"
#include "world/input/input_recording.h"
#include "world/input/input_state.h"
#include "world/datafile/language.h"
#include "world/datafile/options.h"
#include "world/motion/path_resources.h"

namespace {

// The names the game-file fuzz target's compiled record and built-ins give.
SNameIdRecord var_a{"a", -1};
SNameIdRecord var_b{"b", -1};
SNameIdRecord* vars[] = {&var_a, &var_b, nullptr};
SNameIdRecord fn_fuzz{"fuzz_fn", -1};
SNameIdRecord* funcs[] = {&fn_fuzz, nullptr};
ZQRValue& Script(CInstance*, CInstance*, ZQRValue& result, int, ZQRValue**) {
    return result;
}
void Event(CInstance*, CInstance*) {}
const SCompiledFunction code[] = {{"vtl_Script_scr_first", Script, nullptr},
                                  {"vtl_Script_scr_second", Script, nullptr},
                                  {"vtl_Global_setup", nullptr, Event}};
void FuzzRecord(SLLVMVars* v) {
    v->nGlobalVariables = 2;
    v->nInstanceVariables = 2;
    v->nCodeEntries = 3;
    v->ppVars = vars;
    v->ppFuncs = funcs;
    v->pCodeFunctions = code;
}
void FuzzFunction(RValue&, CInstance*, CInstance*, int, RValue*) {}

class FuzzSeeds : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = TestTempPath("seeds");
        const std::string command = std::string(CORVANE_WAD_BINARY) + " seeds " + s_dir;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        std::filesystem::remove_all(s_dir, ignored);
    }
    void TearDown() override {
        Code_LoadCompiledRecord(nullptr);
        ResetModuleState();
    }

    static std::vector<uint8_t> Read(const std::string& name) {
        std::ifstream in(s_dir + "/" + name, std::ios::binary);
        EXPECT_TRUE(in.good()) << name;
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    bool Load(const std::string& name) {
        m_image = Read(name);
        Header_Reset();
        return GetResolution(m_image.data(), m_image.size()) && LoadGameData(m_image.data(), m_image.size());
    }

    static std::string s_dir;
    std::vector<uint8_t> m_image;
};
std::string FuzzSeeds::s_dir;

TEST_F(FuzzSeeds, GameFilesLoadWithTheFuzzTargetsRecord) {
    const struct {
        const char* name;
        int rooms;
    } kFiles[] = {{"sample.ios", 0}, {"rooms.ios", 3},   {"layers.ios", 2},
                  {"code.ios", 0},   {"oldcode.ios", 0}, {"objects.ios", 0}};
    for (const auto& file : kFiles) {
        SCOPED_TRACE(file.name);
        ResetModuleState();
        for (SNameIdRecord** r = vars; *r != nullptr; ++r) (*r)->id = -1;
        fn_fuzz.id = -1;
        Function_Add("fuzz_fn", FuzzFunction, 0, false);
        Code_LoadCompiledRecord(FuzzRecord);
        ASSERT_TRUE(Load(std::string("fuzz_game_file/") + file.name)) << GameData_LastError();
        EXPECT_TRUE(Script_Prepare());
        EXPECT_EQ(Room_Number(), file.rooms);
    }
}

TEST_F(FuzzSeeds, OptionsPathsDebugInformationAndIniFilesAreReadWhole) {
    ASSERT_TRUE(Load("fuzz_options_chunk/new_layout_and_languages.ios")) << GameData_LastError();
    EXPECT_EQ(g_SleepMargin, 4);
    EXPECT_EQ(option_const_numb, 1) << "VersionMajor; the two settings are not kept";
    EXPECT_EQ(CLangMan::m_NumLanguages, 3);
    ResetModuleState();
    EXPECT_TRUE(Load("fuzz_options_chunk/old_layout.ios")) << GameData_LastError();
    ResetModuleState();
    EXPECT_TRUE(Load("fuzz_options_chunk/unknown_version_empty_languages.ios")) << GameData_LastError();
    ResetModuleState();
    ASSERT_TRUE(Load("fuzz_path_chunk/paths.ios")) << GameData_LastError();
    EXPECT_EQ(Path_Number(), 4);

    const std::vector<uint8_t> debug = Read("fuzz_debug_info/lines_names_texts.zqdebug");
    auto* block = static_cast<uint8_t*>(ZQ_AllocNoClear(debug.size()));
    std::memcpy(block, debug.data(), debug.size());
    ASSERT_TRUE(LoadDebugInfo(block, static_cast<unsigned>(debug.size())));
    int count = 0;
    ASSERT_NE(DebugInfo_Words(0, &count), nullptr);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(DebugInfo_Words(1, &count), nullptr);
    EXPECT_STREQ(DebugInfo_InstanceName(2), "inst_third");
    EXPECT_STREQ(DebugInfo_ScriptText(0), "x = 1;\ny = x * 2;");

    IniFile ini((s_dir + "/fuzz_ini_file/options.ini").c_str(), true);
    EXPECT_STREQ(ini.ReadString("Mac", "DisplayName", ""), "corvane");
    EXPECT_EQ(ini.ReadInt("Mac", "MajorVersion", 0), 2);
    EXPECT_EQ(ini.ReadInt("Windows", "same", 0), 2);
    IniFile cut((s_dir + "/fuzz_ini_file/unterminated.ini").c_str(), true);
    EXPECT_EQ(cut.ReadInt("Mac", "MinorVersion", 0), 7);
}

TEST_F(FuzzSeeds, PlaybackPlaysEachWholeRecordThenEnds) {
    const std::string path = s_dir + "/fuzz_input_playback/three_steps.rec";
    g_pIO_RecordFileName = ZQStrDup(path.c_str());
    g_IO_Playback = true;
    IO_Record_Open();
    ASSERT_NE(g_hIOFile, nullptr);
    IO_Playback_Step();
    IO_Playback_Step();
    EXPECT_FALSE(IO_Playback_Ended());
    EXPECT_EQ(_IO_KeyDown[65], 1);
    EXPECT_EQ(_IO_KeyPressed[65], 1);
    EXPECT_EQ(g_MouseX, 320);
    EXPECT_EQ(g_MouseY, 200);
    IO_Playback_Step();
    EXPECT_FALSE(IO_Playback_Ended());
    EXPECT_EQ(_IO_KeyReleased[65], 1);
    IO_Playback_Step();
    EXPECT_TRUE(IO_Playback_Ended()) << "the fourth record is cut short";
    IO_Record_Close();
    ZQ_Free(g_pIO_RecordFileName);
    g_pIO_RecordFileName = nullptr;
}

} // namespace
