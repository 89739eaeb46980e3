// The start-up sequence by its effects: the initialisers leave each built
// module ready, the registrars number the built-ins in their fixed order (the
// ids compiled code binds to), and the finalisers release what a run held,
// so that the next run starts from the same state; a second registration that
// keeps function ids; chaining to another game file.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "code_chunks.h"
#include "core/code.h"
#include "core/code_constants.h"
#include "core/error.h"
#include "core/function_table.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"
#include "core/run_settings.h"
#include "world/run/command_line.h"
#include "world/run/startup.h"
#include "core/script.h"
#include "core/stack_trace.h"
#include "core/variable_names.h"
#include "core/variables.h"
#include "data/ds_tables.h"
#include "error_capture.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "object_chunk.h"
#include "path_chunk.h"
#include "room/room_table.h"
#include "room_chunk.h"
#include "world/datafile/code_binding.h"
#include "world/builtins/game_builtins.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/run/game_prepare.h"
#include "world/instances/instance.h"
#include "world/objects/object_type.h"
#include "world/motion/path_resources.h"
#include "world/run/room_transitions.h"
#include "core/run_globals.h"
#include "world/run/startup_services.h"
#include "world/objects/timeline.h"

namespace {

using Names = std::vector<std::string>;

Names TableNames() {
    Names names;
    for (int i = 0; i < the_numb; ++i) names.emplace_back(the_functions[i].f_name);
    return names;
}

// What one registrar adds to an empty function table, in order.
Names RegisteredBy(void (*registrar)()) {
    FINALIZE_Code_Function();
    registrar();
    Names names = TableNames();
    FINALIZE_Code_Function();
    return names;
}

TEST(Startup, InitialisersLeaveEachBuiltModuleReady) {
    FINALIZE_Run_Global();
    Quit();
    ASSERT_EQ(Code_Constant_Count(), 0);
    ASSERT_LT(Variable_BuiltIn_Find("room_speed"), 0);
    Score = 7;
    Lives = 2;
    Health = 1.0;
    Path_Add();
    ASSERT_EQ(Path_Number(), 1);
    Header_Reset(); // a fresh process: no header read yet

    ASSERT_TRUE(Init());
    EXPECT_EQ(Code_Constant_Count(), CODE_CONSTANT_BUILTIN_COUNT + CODE_CONSTANT_PLATFORM_COUNT);
    RValue red = RValue_Undefined();
    ASSERT_TRUE(Code_Constant_Find("c_red", &red));
    EXPECT_EQ(red.val, 255.0);
    EXPECT_GE(Variable_BuiltIn_Find("room_speed"), 0);
    EXPECT_GE(Variable_BuiltIn_Find("x"), 0);
    EXPECT_EQ(Score, 0);
    EXPECT_EQ(Lives, -1);
    EXPECT_EQ(Health, 100.0);
    EXPECT_EQ(Path_Number(), 0);
    Quit();
    FINALIZE_Run_Global();
}

// Each module's registrar adds its built-ins after those of every registrar
// before it in the start-up order, so the table (and every id) is the
// registrars' own registrations laid end to end in that order.
TEST(Startup, RegistrarsNumberTheBuiltInsInTheirFixedOrder) {
    void (*const order[])() = {HighScore_InitLoad,
                               InitGameFunctions,
                               InitMathFunctions,
                               InitGraphicFunctions,
                               InitActionFunctions,
                               InitFileFunctions,
                               InitResourceFunctions,
                               InitInteractionFunctions,
                               Init3DFunctions,
                               InitParticlesFunctions,
                               InitMiscFunctions,
                               InitDataStructuresFunctions,
                               InitSoundFunctions,
                               InitPhysicsFunctions,
                               InitGamepadFunctions,
                               InitBufferFunctions,
                               InitBufferVertexFunctions,
                               InitNetworkingFunctions,
                               InitShaderFunctions,
                               InitVertexFormats,
                               InitSteamFunctions,
                               InitPushFunctions,
                               InitTarvoFunctions,
                               InitMetroFunctions,
                               LayerManager_InitLayerFunctions};
    Names expected;
    for (auto registrar : order) {
        Names names = RegisteredBy(registrar);
        expected.insert(expected.end(), names.begin(), names.end());
    }
    ASSERT_GT(expected.size(), 100u);
    FINALIZE_Code_Function();
    InitVTLFunctions();
    EXPECT_EQ(TableNames(), expected);
    EXPECT_LT(Function_Find("room_goto"), Function_Find("ds_grid_create"));
    Quit();
    EXPECT_EQ(the_numb, 0) << "the function table is released";
}

// ---------------------------------------------------------------------------
// A whole run on a writer-made game: obj_a (persistent) and obj_b, one room
// holding one of each, a script, a path and a timeline. Create events count.

int g_creates = 0;

void CountCreate(CInstance*, CInstance*) {
    ++g_creates;
}
ZQRValue& Script(CInstance*, CInstance*, ZQRValue& result, int, ZQRValue**) {
    return result;
}

const SCompiledFunction kRunCode[] = {
    {"vtl_Object_obj_a_Create_0", nullptr, CountCreate},
    {"vtl_Object_obj_b_Create_0", nullptr, CountCreate},
    {"vtl_Script_scr_one", Script, nullptr},
    {"vtl_Timeline_tl_one_0", nullptr, CountCreate},
};

void FillRunRecord(SLLVMVars* v) {
    static SNameIdRecord* none[] = {nullptr};
    v->nCodeEntries = static_cast<int>(std::size(kRunCode));
    v->ppVars = none;
    v->ppFuncs = none;
    v->pCodeFunctions = kRunCode;
    v->ppStackTraceHead = &SZQStackTrace::s_pStart;
}

std::vector<uint8_t> RunGameData() {
    wad::GameDataWriter w;
    wad::HeaderFields header;
    header.roomOrder = {0};
    wad::WriteHeader(w, header);
    wad::ObjectFields a;
    a.name = "obj_a";
    a.persistent = 1;
    a.events.resize(1);
    a.events[0] = {{0, 0}};
    wad::ObjectFields b;
    b.name = "obj_b";
    b.events.resize(1);
    b.events[0] = {{0, 1}};
    wad::WriteObjects(w, {a, b}, header.version);
    wad::ScriptFields script;
    script.name = "scr_one";
    script.codeIndex = 2;
    wad::WriteScripts(w, {script});
    wad::PathFields path;
    path.name = "pth_one";
    path.points = {{0, 0, 100}, {10, 0, 100}};
    wad::WritePaths(w, {path});
    wad::TimeLineFields timeline;
    timeline.name = "tl_one";
    timeline.moments = {{1, 3}};
    wad::WriteTimeLines(w, {timeline});
    wad::RoomFields room;
    room.name = "rm_one";
    room.instances = std::vector<wad::RoomInstanceFields>{{10, 10, 0, 100001}, {20, 20, 1, 100002}};
    wad::WriteRooms(w, {room});
    return w.Build();
}

// The state a run reaches once its first room has started.
struct RunState {
    int functions, roomGoto, constants, builtins, objects, rooms, scripts, paths, timelines, instances,
        creates;
    bool operator==(const RunState&) const = default;
};

// Each run reads its own copy of the file, as a restart reads the file again:
// loading patches code indices into the image.
RunState RunOnce() {
    std::vector<uint8_t> image = RunGameData();
    g_creates = 0;
    const bool flagAtInit = g_isNimbar;
    EXPECT_TRUE(Init());
    Header_Reset();
    Code_LoadCompiledRecord(FillRunRecord);
    EXPECT_TRUE(GetResolution(image.data(), image.size())) << GameData_LastError();
    EXPECT_TRUE(LoadGameData(image.data(), image.size())) << GameData_LastError();
    EXPECT_TRUE(PrepareGame());
    StartGame();
    RunState state{the_numb,
                   Function_Find("room_goto"),
                   Code_Constant_Count() + (flagAtInit ? 1 : 0),
                   builtin_numb,
                   g_ObjectNumber,
                   Room_Number(),
                   Script_Number(),
                   Path_Number(),
                   TimeLine_Number(),
                   CInstance::ID2Instance().Count(),
                   g_creates};
    Run_EndGame();
    Quit();
    return state;
}

// Quit releases every table a run filled, so a second run (a restart, or a
// chained game) registers and loads into empty tables and reaches the very
// same state: no built-in, constant or variable counted twice, every id the
// same. Constants are counted as a start with the new-generation flag off
// counts them: the platform adds its own "os_psp" only while the flag is off,
// and a restart starts with the flag the run before it left.
TEST(Startup, QuitReleasesWhatARunHeldAndTheNextRunStartsTheSame) {
    ErrorCapture errors;
    Run_SetHeadlessExit([](int) {});
    const RunState first = RunOnce();
    EXPECT_EQ(errors.Count(), 0) << errors.LastMessage();
    EXPECT_EQ(first.objects, 2);
    EXPECT_EQ(first.rooms, 1);
    EXPECT_EQ(first.scripts, 1);
    EXPECT_EQ(first.paths, 1);
    EXPECT_EQ(first.timelines, 1);
    EXPECT_EQ(first.instances, 2);
    EXPECT_EQ(first.creates, 2);

    EXPECT_EQ(the_numb, 0);
    EXPECT_EQ(Code_Constant_Count(), 0);
    EXPECT_LT(Variable_BuiltIn_Find("room_speed"), 0);
    EXPECT_EQ(g_ObjectNumber, 0);
    EXPECT_EQ(Room_Number(), 0);
    EXPECT_EQ(Script_Number(), 0);
    EXPECT_EQ(Path_Number(), 0);
    EXPECT_EQ(TimeLine_Number(), 0);
    EXPECT_EQ(CInstance::ID2Instance().Count(), 0);

    EXPECT_EQ(RunOnce(), first);
    Run_SetHeadlessExit(nullptr);
    Code_LoadCompiledRecord(nullptr);
    FINALIZE_Run_Global();
}

// A reload registers the built-ins again: the table does not grow and every
// built-in keeps its id, which compiled code has already bound.
TEST(Startup, RegisteringTwiceKeepsTheTableAndItsIds) {
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

TEST(Startup, ExitToFileBecomesTheNextCommandLine) {
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
