// A compiled game end to end: a data file made with the writer, a compiled
// record with three hand-written compiled functions (a script, an object
// event and global initialisation code, written as the game's own are),
// loading, binding, preparing, and performing the script on instances.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "code_chunks.h"
#include "core/call_gates.h"
#include "core/code.h"
#include "core/error.h"
#include "core/function_table.h"
#include "core/script.h"
#include "core/stack_trace.h"
#include "core/variables.h"
#include "core/zq_rvalue.h"
#include "error_capture.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "room/room.h"
#include "world/datafile/code_binding.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/instances/instance.h"
#include "world/objects/object_type.h"

namespace {

// ---------------------------------------------------------------------------
// The compiled game, as the game's code generator writes it.

namespace game {

enum Slot { kHp = 0, kScore = 1, kX = 2, kSpeed = 3 };

SNameIdRecord var_hp{"hp", -1};
SNameIdRecord var_score{"score", -1};
SNameIdRecord var_x{"x", -1};
SNameIdRecord var_speed{"speed", -1};
SNameIdRecord* vars[] = {&var_hp, &var_score, &var_x, &var_speed, nullptr};

SNameIdRecord fn_double{"test_double", -1};
SNameIdRecord fn_hit{"scr_hit", -1};
SNameIdRecord* funcs[] = {&fn_double, &fn_hit, nullptr};

ZQObjectBase** globals = nullptr;
const char* stackAtHit = nullptr;

ZQRValue& Global(int slot) {
    return ZQRValue::From((*globals)->m_slots[slot]);
}
ZQRValue& Own(CInstance* self, int slot) {
    return ZQRValue::From(self->m_slots[slot]);
}

// scr_hit(damage): hp -= damage; global.score += 10; x += 1;
// return test_double(hp) + other.hp
ZQRValue& vtl_Script_scr_hit(CInstance* self, CInstance* other, ZQRValue& result, int argc, ZQRValue** args) {
    SZQStackTrace trace("vtl_Script_scr_hit");
    result = 0.0;
    stackAtHit = (*g_ppZQStackTrace)->pName;
    ZQRValue& hp = Own(self, kHp);
    if (argc > 0) hp -= *args[0];
    Global(kScore) += 10;

    ZQRValue x;
    Variable_GetValue_Direct(self, var_x.id, ARRAY_INDEX_NO_INDEX, &x);
    x += 1;
    Variable_SetValue_Direct(self, var_x.id, ARRAY_INDEX_NO_INDEX, &x);

    ZQRValue otherHp;
    Variable_GetValue(other->i_id, var_hp.id, ARRAY_INDEX_NO_INDEX, &otherHp);
    ZQRValue doubled;
    ZQRValue* callArgs[] = {&hp};
    ZQVTL_CallLegacyFunction(self, other, doubled, 1, fn_double.id, callArgs);
    result = doubled + otherHp;
    return result;
}

// obj_player's Create event: hp = 100; speed = 3
void vtl_Object_obj_player_Create_0(CInstance* self, CInstance*) {
    SZQStackTrace trace("vtl_Object_obj_player_Create_0");
    Own(self, kHp) = 100;
    Own(self, kSpeed) = 3;
}

// Global initialisation: global.score = 5
void vtl_GlobalScript_init(CInstance*, CInstance*) {
    SZQStackTrace trace("vtl_Global_init");
    Global(kScore) = 5;
}

const SCompiledFunction code[] = {
    {"vtl_Script_scr_hit", vtl_Script_scr_hit, nullptr},
    {"vtl_Object_obj_player_Create_0", nullptr, vtl_Object_obj_player_Create_0},
    {"vtl_Global_init", nullptr, vtl_GlobalScript_init},
};

void SetVar(int code, void* value) {
    if (code == 0) globals = static_cast<ZQObjectBase**>(value);
}

void InitLLVM(SLLVMVars* v) {
    v->pWAD = nullptr;
    v->nGlobalVariables = 4;
    v->nInstanceVariables = 4;
    v->nCodeEntries = 3;
    v->ppVars = vars;
    v->ppFuncs = funcs;
    v->pCodeFunctions = code;
    v->ppStackTraceHead = &SZQStackTrace::s_pStart;
}

void ResetIds() {
    for (SNameIdRecord** r = vars; *r != nullptr; ++r) (*r)->id = -1;
    for (SNameIdRecord** r = funcs; *r != nullptr; ++r) (*r)->id = -1;
}

} // namespace game

// The runtime's side: a built-in variable "x" and a built-in function.
bool GV_x(CInstance* self, int, RValue* out) {
    if (self == nullptr) return false;
    FREE_RValue(out);
    *out = RValue_Real(self->i_x);
    return true;
}
bool SV_x(CInstance* self, int, RValue* in) {
    if (self == nullptr) return false;
    self->i_x = static_cast<float>(REAL_RValue(in));
    return true;
}
void F_test_double(RValue& result, CInstance*, CInstance*, int argc, RValue* args) {
    result = RValue_Real(argc > 0 ? 2 * REAL_RValue(&args[0]) : 0);
}

// A data file for the game: scripts, global code, a code entry whose
// bytecode refers to "hp" twice and to "test_double" once, variables and
// functions (newer layout, header version 15).
wad::CodeFields Bytecode() {
    wad::CodeFields code;
    code.layout = wad::CodeLayout::Newer;
    wad::CodeEntryFields entry;
    entry.name = "vtl_Object_obj_player_Create_0";
    entry.bytecode = {0x45000000, 0xA0000000, 0x9D000000, 0x99000000, 0x45000000, 0xA0000000, 0xD9000000, 0};
    code.entries.push_back(entry);
    code.references = {{wad::ReferenceKind::Variable, "hp", 0, 0, std::nullopt},
                       {wad::ReferenceKind::Variable, "hp", 0, 4, std::nullopt},
                       {wad::ReferenceKind::Function, "test_double", 0, 6, std::nullopt}};
    return code;
}

wad::GameDataWriter GameData(const std::string& extraFunction = "") {
    wad::GameDataWriter w;
    wad::HeaderFields header;
    header.version = 15;
    wad::WriteHeader(w, header);
    wad::ScriptFields hit;
    hit.name = "scr_hit";
    hit.codeIndex = 0;
    wad::WriteScripts(w, {hit});
    wad::WriteGlobalScripts(w, {2});
    wad::CodeFields code = Bytecode();
    wad::WriteCode(w, code);
    wad::VariablesFields variables;
    variables.globals = 4;
    variables.instances = 4;
    variables.variables = {{"hp", -1, 0, std::nullopt},
                           {"score", -5, 1, std::nullopt},
                           {"x", -6, -6, std::nullopt},
                           {"speed", -1, 3, std::nullopt}};
    wad::WriteVariables(w, variables, &code);
    wad::FunctionsFields functions;
    functions.functions = {{"test_double", std::nullopt}, {"scr_hit", std::nullopt}};
    if (!extraFunction.empty()) functions.functions.push_back({extraFunction, std::nullopt});
    functions.locals = {{"vtl_Script_scr_hit", {"damage", "tmp"}}};
    wad::WriteFunctions(w, functions, &code);
    return w;
}

uint32_t WordAt(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

class CompiledGame : public ::testing::Test {
protected:
    void SetUp() override {
        Header_Reset();
        game::ResetIds();
        game::globals = nullptr;
        g_pSetLLVMVar = game::SetVar;
        Variable_BuiltIn_Add("x", GV_x, SV_x);
        Function_Add("test_double", F_test_double, 1, false);
        Code_LoadCompiledRecord(game::InitLLVM);
    }
    void TearDown() override {
        Run_Room = nullptr;
        m_room.reset();
        Code_UnbindGameData();
        Object_Init();
        FINALIZE_Variable_Main();
        FINALIZE_Code_Function();
        Code_LoadCompiledRecord(nullptr);
        g_pSetLLVMVar = nullptr;
    }

    bool Load(const wad::GameDataWriter& w) {
        m_image = w.Build();
        return GetResolution(m_image.data(), m_image.size()) && LoadGameData(m_image.data(), m_image.size());
    }

    // The bytecode of code entry `entry` in the loaded image (newer layout).
    const uint8_t* EntryBytecode(int entry) const {
        const uint8_t* record = m_image.data() + GameData_CodeEntryOffset(entry);
        return record + 12 + static_cast<int32_t>(WordAt(record + 12));
    }

    std::vector<uint8_t> m_image;
    std::unique_ptr<CRoom> m_room;
};

TEST_F(CompiledGame, LoadsBindsAndPerformsAScript) {
    ASSERT_TRUE(Load(GameData())) << GameData_LastError();

    // The record's names are bound: own slots, the built-in's index, function ids.
    const int x = Variable_BuiltIn_Find("x");
    EXPECT_EQ(game::var_hp.id, 100000);
    EXPECT_EQ(game::var_score.id, 100001);
    EXPECT_EQ(game::var_x.id, x);
    EXPECT_EQ(game::var_speed.id, 100003);
    EXPECT_EQ(game::fn_double.id, Function_Find("test_double"));
    EXPECT_EQ(game::fn_hit.id, FUNCTION_ID_SCRIPT_BASE + 0);
    EXPECT_EQ(g_nInstanceVariables, 4);
    EXPECT_EQ(Code_Variable_Find_Slot_From_Local_Name("speed"), 3);
    ASSERT_NE(game::globals, nullptr);
    EXPECT_EQ(*game::globals, g_pGlobal);
    EXPECT_EQ(g_ppZQStackTrace, &SZQStackTrace::s_pStart);

    // The bytecode's references carry the ids, the operand's top bits kept.
    const uint8_t* bytecode = EntryBytecode(0);
    EXPECT_EQ(WordAt(bytecode + 4), 0xA0000000u | 100000u);
    EXPECT_EQ(WordAt(bytecode + 20), 0xA0000000u | 100000u);
    EXPECT_EQ(WordAt(bytecode + 28), static_cast<uint32_t>(Function_Find("test_double")));
    EXPECT_STREQ(Variable_GetName_Scope("vtl_Script_scr_hit", VARIABLE_SCOPE_LOCAL, 100001), "tmp");

    // Preparation binds the script and runs the global initialisation code.
    ASSERT_TRUE(Script_Prepare());
    RValue score = RValue_Undefined();
    ASSERT_TRUE(Variable_Global_GetVar(game::var_score.id, ARRAY_INDEX_NO_INDEX, &score));
    EXPECT_EQ(score.val, 5.0);

    // Instances of obj_player, their Create event run through a code entry.
    ASSERT_EQ(Object_Add(), 0);
    Object_Data(0)->SetName("obj_player");
    m_room = std::make_unique<CRoom>();
    Run_Room = m_room.get();
    CInstance* player = m_room->AddInstance(10, 20, 0);
    CInstance* enemy = m_room->AddInstance(50, 60, 0);
    const int create = Code_CreateEntry(1, false);
    ASSERT_GE(create, 0);
    for (CInstance* instance : {player, enemy})
        Code_Execute(instance, instance, Code_GetEntry(create), nullptr, 0);
    RValue hp = RValue_Undefined();
    ASSERT_TRUE(Variable_GetValue(enemy->i_id, game::var_hp.id, ARRAY_INDEX_NO_INDEX, &hp));
    EXPECT_EQ(hp.val, 100.0);
    RValue enemySpeed = RValue_Real(7);
    ASSERT_TRUE(Variable_SetValue(enemy->i_id, game::var_speed.id, ARRAY_INDEX_NO_INDEX, &enemySpeed));

    // Perform scr_hit(25) on the player with the enemy as other.
    RValue argument = RValue_Real(25);
    DynamicArrayOfRValue row{1, &argument};
    RValue result = RValue_Undefined();
    ASSERT_TRUE(Script_Perform(Script_Find("scr_hit"), player, enemy, 1, &result, &row));
    EXPECT_EQ(result.kind, VALUE_REAL);
    EXPECT_EQ(result.val, 2 * 75.0 + 100.0);
    EXPECT_EQ(argument.kind, VALUE_UNDEFINED) << "the call consumes its arguments";
    EXPECT_STREQ(game::stackAtHit, "vtl_Script_scr_hit");
    EXPECT_EQ(SZQStackTrace::s_pStart, nullptr);

    EXPECT_EQ(player->m_slots[game::kHp].val, 75.0);
    EXPECT_EQ(player->i_x, 11.0f);
    EXPECT_EQ(enemy->m_slots[game::kSpeed].val, 7.0);
    ASSERT_TRUE(Variable_Global_GetVar(game::var_score.id, ARRAY_INDEX_NO_INDEX, &score));
    EXPECT_EQ(score.val, 15.0);

    // Scripts are called by id through the call gate as well.
    RValue again = RValue_Real(5);
    ZQRValue viaGate;
    ZQRValue* gateArgs[] = {&ZQRValue::From(again)};
    ZQVTL_CallScriptFunction(player, enemy, viaGate, 1, game::fn_hit.id - FUNCTION_ID_SCRIPT_BASE, gateArgs);
    EXPECT_EQ(viaGate.val, 2 * 70.0 + 100.0);
    FREE_RValue(&result);
}

TEST_F(CompiledGame, ANameTheRuntimeDoesNotHaveStopsTheLoad) {
    game::fn_double.pName = "test_missing";
    const bool loaded = Load(GameData());
    game::fn_double.pName = "test_double";
    EXPECT_FALSE(loaded);
    EXPECT_NE(std::string(GameData_LastError()).find("Unable to find function test_missing"),
              std::string::npos)
        << GameData_LastError();

    // A function chunk naming an unknown function stops it as well.
    Code_UnbindGameData();
    game::ResetIds();
    EXPECT_FALSE(Load(GameData("no_such_function")));
    EXPECT_NE(std::string(GameData_LastError()).find("Unable to find function no_such_function"),
              std::string::npos);
}

TEST_F(CompiledGame, AVariableRecordBeyondEverySlotStopsTheLoad) {
    SNameIdRecord extra{"beyond", -1};
    SNameIdRecord* vars[] = {&game::var_hp,    &game::var_score, &game::var_x,
                             &game::var_speed, &extra,           nullptr};
    Code_LoadCompiledRecord([](SLLVMVars* v) { game::InitLLVM(v); });
    g_LLVMVars.ppVars = vars;
    EXPECT_FALSE(Load(GameData()));
    EXPECT_NE(std::string(GameData_LastError()).find("Unable to find variable beyond"), std::string::npos);
    g_LLVMVars.ppVars = game::vars;
}

TEST_F(CompiledGame, AScriptWithoutACompiledFunctionFailsPreparation) {
    wad::GameDataWriter w;
    wad::HeaderFields header;
    header.version = 15;
    wad::WriteHeader(w, header);
    wad::ScriptFields event; // code index 1 is an event, 9 is outside the table
    event.name = "scr_hit";
    event.codeIndex = 1;
    wad::ScriptFields outside;
    outside.name = "scr_outside";
    outside.codeIndex = 9;
    wad::WriteScripts(w, {event, outside});
    ASSERT_TRUE(Load(w)) << GameData_LastError();
    ErrorCapture errors;
    EXPECT_FALSE(Script_Prepare());
    EXPECT_EQ(errors.LastShown(),
              "COMPILATION ERROR in Script: scr_hit\nno compiled script for code index 1");
    // Performing it runs nothing but still consumes the arguments.
    RValue argument = RValue_Real(1);
    DynamicArrayOfRValue row{1, &argument};
    EXPECT_TRUE(Script_Perform(0, nullptr, nullptr, 1, nullptr, &row));
    EXPECT_EQ(argument.kind, VALUE_UNDEFINED);
}

} // namespace
