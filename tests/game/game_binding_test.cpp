// The game's binding record against its data file: entry i of the code is
// function i and the data file's objects carry the events those functions
// name; built-in variables and functions bind by name wherever the runtime
// numbers them; a name the runtime does not have stops the load, naming it.
#include <gtest/gtest.h>

#include <string>

#include "game/game_functions.h"
#include "game_fixture.h"
#include "world/objects/event.h"

namespace {

TEST(GameRecord, FillsTheNineWords) {
    SLLVMVars v{};
    InitLLVM(&v);
    EXPECT_EQ(v.pWAD, nullptr);
    EXPECT_EQ(v.nWADFileLength, 3218520);
    EXPECT_EQ(v.nGlobalVariables, 75);
    EXPECT_EQ(v.nInstanceVariables, 75);
    EXPECT_EQ(v.nCodeEntries, 117);
    int vars = 0, funcs = 0;
    while (v.ppVars[vars] != nullptr) ++vars;
    while (v.ppFuncs[funcs] != nullptr) ++funcs;
    EXPECT_EQ(vars, 98);
    EXPECT_EQ(funcs, 58);
    EXPECT_STREQ(v.ppVars[SLOT_old_alarm]->pName, "old_alarm");
    EXPECT_STREQ(v.ppVars[VAR_alarm]->pName, "alarm");
    EXPECT_STREQ(v.ppVars[VAR_os_type]->pName, "os_type");
    EXPECT_STREQ(v.ppFuncs[FN_window_set_fullscreen]->pName, "window_set_fullscreen");
    EXPECT_EQ(v.pCodeFunctions[66].pEvent, vtl_Object_obj_game_controller_Create_0);
    EXPECT_EQ(v.pCodeFunctions[4].pScript, vtl_Script_temp_pause);
    EXPECT_EQ(v.ppStackTraceHead, &SZQStackTrace::s_pStart);
}

using GameBinding = GameRun;

// Every object event of the data file runs the compiled function whose name
// names that object and event.
TEST_F(GameBinding, EachEventRunsTheFunctionOfItsName) {
    int bound = 0;
    for (int i = 0; i < GAME_CODE_ENTRIES; ++i) {
        const SCompiledFunction* f = Code_CompiledFunction(i);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f, &g_VTLFuncs[i]);
    }
    for (int o = 0; o < GAME_OBJECTS; ++o) {
        CObjectVT* type = Object_Data(o);
        ASSERT_NE(type, nullptr);
        const std::string prefix = std::string("vtl_Object_") + type->m_pName + "_";
        for (int i = 6; i < GAME_CODE_ENTRIES; ++i) {
            const std::string name = g_VTLFuncs[i].pName;
            if (name.rfind(prefix, 0) != 0) continue;
            const std::string event = name.substr(prefix.size());
            if (event.find('_') != event.rfind('_') && event.rfind("Collision", 0) != 0)
                continue; // a longer object name
            int type_ = -1, subtype = -1;
            const std::string word = event.substr(0, event.find('_'));
            const std::string tail = event.substr(event.find('_') + 1);
            const std::pair<const char*, int> kinds[] = {
                {"Create", 0}, {"Alarm", 2},    {"Step", 3},     {"Collision", 4}, {"Other", 7},
                {"Draw", 8},   {"KeyPress", 9}, {"CleanUp", 12}, {"PreCreate", 14}};
            for (auto [w, t] : kinds)
                if (word == w) type_ = t;
            ASSERT_GE(type_, 0) << name;
            if (type_ == 4) {
                subtype = tail == "d87b8975_b144_401b_a04c_e2082facff13"   ? OBJ_piece_pile
                          : tail == "e655244c_e3e8_4015_b4e2_e28b26361cea" ? OBJ_enemy
                                                                           : OBJ_player;
            } else {
                subtype = std::stoi(tail);
            }
            CEvent* e = type->GetEventRecursive(type_, subtype);
            ASSERT_NE(e, nullptr) << name;
            ASSERT_NE(e->m_pCode, nullptr) << name;
            EXPECT_EQ(e->m_pCode->m_pFunc, &g_VTLFuncs[i]) << name;
            ++bound;
        }
    }
    EXPECT_EQ(bound, GAME_CODE_ENTRIES - 6);
    // The parents the enemies chase by.
    EXPECT_EQ(Object_Data(OBJ_transmitter)->m_parentIndex, CLS_targetable);
    EXPECT_EQ(Object_Data(OBJ_player)->m_parentIndex, CLS_targetable);
}

TEST_F(GameBinding, BuiltInsAreBoundByName) {
    for (int i = VAR_alarm; i < GAME_VAR_RECORDS; ++i)
        EXPECT_EQ(g_GameVarRecords[i].id, Variable_BuiltIn_Find(g_GameVarRecords[i].pName))
            << g_GameVarRecords[i].pName;
    for (int i = 0; i < GAME_USER_SLOTS; ++i) EXPECT_EQ(g_GameVarRecords[i].id, VARIABLE_ID_BASE + i);
    for (const SNameIdRecord& f : g_GameFuncRecords) {
        int id = -1;
        ASSERT_TRUE(Code_Function_Find(f.pName, &id)) << f.pName;
        EXPECT_EQ(f.id, id) << f.pName;
    }
}

// A built-in the runtime lacks stops the load with a message naming it; the
// record's ids are never left at a function-table entry that was not asked for.
TEST(GameBindingRefusal, AnUnboundNameStopsTheLoadNamingIt) {
    Header_Reset();
    ASSERT_TRUE(Init());
    InitVTLFunctions();
    const char* kept = g_GameFuncRecords[FN_draw_healthbar].pName;
    g_GameFuncRecords[FN_draw_healthbar].pName = "draw_healthbar_missing";
    Code_LoadCompiledRecord(InitLLVM);
    std::vector<uint8_t> image = ReadGameData();
    const bool loaded = GetResolution(image.data(), image.size()) && LoadGameData(image.data(), image.size());
    g_GameFuncRecords[FN_draw_healthbar].pName = kept;
    EXPECT_FALSE(loaded);
    EXPECT_NE(std::string(GameData_LastError()).find("Unable to find function draw_healthbar_missing"),
              std::string::npos)
        << GameData_LastError();
    Code_UnbindGameData();
    Object_Init();
    FINALIZE_Variable_Main();
    FINALIZE_Code_Function();
    Quit();
    Code_LoadCompiledRecord(nullptr);
}

} // namespace
