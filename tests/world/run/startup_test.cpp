// The start-up sequence's fixed orders, watched through its trace seam: the
// module initialisers, the built-in registrars and the finalisers; a second
// registration that keeps function ids; chaining to another game file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error.h"
#include "core/function_table.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"
#include "core/run_settings.h"
#include "world/run/command_line.h"
#include "world/run/startup.h"

namespace {

std::vector<std::string> g_trace;

void Record(const char* name) {
    g_trace.emplace_back(name);
}

std::vector<std::string> Take() {
    std::vector<std::string> taken;
    taken.swap(g_trace);
    return taken;
}

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        g_trace.clear();
        Startup_SetTraceHook(Record);
    }
    void TearDown() override { Startup_SetTraceHook(nullptr); }
};

using Names = std::vector<std::string>;

TEST_F(Startup, InitialisersRegistrarsAndFinalisersRunInTheirOrder) {
    ASSERT_TRUE(Init());
    EXPECT_EQ(Take(),
              (Names{"RomDisk::Init", "Timing_Init", "InitFastCRC", "INITIALIZE_PlatformSpecific",
                     "INITIALIZE_Support_File", "INITIALIZE_Graphics_Draw", "INITIALIZE_Code_Constant",
                     "INITIALIZE_Graphics_Window", "INITIALIZE_Particle_Main", "INITIALIZE_Run_Global",
                     "INITIALIZE_Sound_DirectX", "INITIALIZE_Variable_BuiltIn", "INITIALIZE_Path",
                     "INITIALIZE_Score", "INITIALIZE_Main", "CCameraManager::SetupVTLFunctions"}));

    InitVTLFunctions();
    EXPECT_EQ(Take(), (Names{"HighScore_InitLoad",
                             "InitGameFunctions",
                             "InitMathFunctions",
                             "InitGraphicFunctions",
                             "InitActionFunctions",
                             "InitFileFunctions",
                             "InitResourceFunctions",
                             "InitInteractionFunctions",
                             "Init3DFunctions",
                             "InitParticlesFunctions",
                             "InitMiscFunctions",
                             "InitDataStructuresFunctions",
                             "InitSoundFunctions",
                             "InitPhysicsFunctions",
                             "InitGamepadFunctions",
                             "InitBufferFunctions",
                             "InitBufferVertexFunctions",
                             "InitNetworkingFunctions",
                             "InitShaderFunctions",
                             "InitVertexFormats",
                             "InitSteamFunctions",
                             "InitPushFunctions",
                             "InitTarvoFunctions",
                             "InitMetroFunctions",
                             "CLayerManager::InitLayerFunctions"}));

    Quit();
    EXPECT_EQ(Take(), (Names{"QuitTarvoFunctions",
                             "QuitNetworkingFunctions",
                             "Steam_Shutdown",
                             "FINALIZE_Score",
                             "FINALIZE_Code_Constant",
                             "FINALIZE_Code_Function",
                             "FINALIZE_Code_Main",
                             "FINALIZE_Code_Variable",
                             "FINALIZE_Motion_Grid",
                             "FINALIZE_Room_Main",
                             "FINALIZE_Instance_Class",
                             "FINALIZE_Run_Main",
                             "FINALIZE_Object_Lists",
                             "FINALIZE_Object_Main",
                             "FINALIZE_Object_Class",
                             "FINALIZE_Particle_Main",
                             "FINALIZE_Sprite_Class",
                             "FINALIZE_Sprite_Main",
                             "FINALIZE_Support_File",
                             "FINALIZE_VertexFormats",
                             "FINALIZE_Graphics_Display",
                             "FINALIZE_Background",
                             "FINALIZE_Graphics_Texture",
                             "FINALIZE_Script_Main",
                             "FINALIZE_Variable_Main",
                             "FINALIZE_Font_Main",
                             "FINALIZE_Graphics_Text",
                             "FINALIZE_Event_Action",
                             "FINALIZE_Function_File",
                             "FINALIZE_Timeline_Main",
                             "FINALIZE_Runner_Form",
                             "FINALIZE_Sound",
                             "FINALIZE_All"}));
    EXPECT_EQ(the_numb, 0) << "the function table is released";
}

// A reload registers the built-ins again: the table does not grow and every
// built-in keeps its id, which compiled code has already bound.
TEST_F(Startup, RegisteringTwiceKeepsTheTableAndItsIds) {
    FINALIZE_Code_Function();
    InitVTLFunctions();
    const int count = the_numb;
    ASSERT_GT(count, 0);
    const int dsCreate = Function_Find("ds_grid_create");
    InitVTLFunctions();
    EXPECT_EQ(the_numb, count);
    EXPECT_EQ(Function_Find("ds_grid_create"), dsCreate);
    FINALIZE_Code_Function();
}

TEST_F(Startup, ExitToFileBecomesTheNextCommandLine) {
    ZQ_Free(g_pCommandLine);
    g_pCommandLine = nullptr;
    g_pExitGame_CMD = ZQStrDup("next game.ios");
    aborterror = true;
    RunGame();
    EXPECT_TRUE(g_ReStart);
    EXPECT_FALSE(aborterror);
    EXPECT_EQ(g_pExitGame_CMD, nullptr);
    ASSERT_NE(g_pCommandLine, nullptr);
    EXPECT_STREQ(g_pCommandLine, "-game \"next game.ios\" ");
    ProcessCommandLine(g_pCommandLine);
    ASSERT_EQ(g_nArgC, 2);
    EXPECT_STREQ(g_pArgV[1], "next game.ios");

    g_ReStart = false;
    RunGame();
    EXPECT_FALSE(g_ReStart) << "nothing pending: nothing to chain";
    CommandLine_Quit();
}

} // namespace
