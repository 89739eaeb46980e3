// Variable access as compiled code makes it: built-in variables through
// their ids, user variables of self by id, another instance's variable by
// instance id and an object type's variable written to all its instances
// (100 in a room of 1,000), and performing a compiled script with two
// arguments. Each figure is per access.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/code.h"
#include "core/memory_manager.h"
#include "core/script.h"
#include "core/variables.h"
#include "core/zq_rvalue.h"
#include "room/room.h"
#include "world/instances/instance.h"
#include "world/objects/object_type.h"

namespace {

bool GV_x(CInstance* self, int, RValue* out) {
    out->val = self->i_x;
    out->kind = VALUE_REAL;
    return true;
}
bool SV_x(CInstance* self, int, RValue* in) {
    self->i_x = static_cast<float>(REAL_RValue(in));
    return true;
}

// A room of 1,000 instances of ten object types, four variables each.
struct World {
    World() {
        MemoryManager::Init();
        g_nGlobalVariables = g_nInstanceVariables = 4;
        Code_Variable_Init(4, 4, 0);
        Variable_BuiltIn_Add("x", GV_x, SV_x);
        x = Variable_BuiltIn_Find("x");
        for (int i = 0; i < 10; ++i) Object_Add();
        room = std::make_unique<CRoom>();
        Run_Room = room.get();
        for (int i = 0; i < 1000; ++i) {
            CInstance* instance = room->AddInstance(static_cast<float>(i), 0, i % 10);
            instance->m_slots[0] = RValue_Real(i);
            if (i == 500) middle = instance;
        }
    }
    std::unique_ptr<CRoom> room;
    CInstance* middle = nullptr;
    int x = -1;
};

World& TheWorld() {
    static World world;
    return world;
}

void BuiltinRead(benchmark::State& state) {
    World& w = TheWorld();
    RValue out = RValue_Undefined();
    for (auto _ : state) {
        Variable_GetValue_Direct(w.middle, w.x, ARRAY_INDEX_NO_INDEX, &out);
        benchmark::DoNotOptimize(out.val);
    }
}
BENCHMARK(BuiltinRead);

void BuiltinWrite(benchmark::State& state) {
    World& w = TheWorld();
    RValue in = RValue_Real(3);
    for (auto _ : state) Variable_SetValue_Direct(w.middle, w.x, ARRAY_INDEX_NO_INDEX, &in);
}
BENCHMARK(BuiltinWrite);

void UserReadById(benchmark::State& state) {
    World& w = TheWorld();
    RValue out = RValue_Undefined();
    for (auto _ : state) {
        Variable_GetValue_Direct(w.middle, VARIABLE_ID_BASE, ARRAY_INDEX_NO_INDEX, &out);
        benchmark::DoNotOptimize(out.val);
    }
}
BENCHMARK(UserReadById);

void OtherInstanceRead(benchmark::State& state) {
    World& w = TheWorld();
    RValue out = RValue_Undefined();
    const int id = w.middle->i_id;
    for (auto _ : state) {
        Variable_GetValue(id, VARIABLE_ID_BASE, ARRAY_INDEX_NO_INDEX, &out);
        benchmark::DoNotOptimize(out.val);
    }
}
BENCHMARK(OtherInstanceRead);

void ObjectWrite100(benchmark::State& state) {
    TheWorld();
    RValue in = RValue_Real(1);
    for (auto _ : state) Variable_SetValue(3, VARIABLE_ID_BASE + 1, ARRAY_INDEX_NO_INDEX, &in);
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(ObjectWrite100);

ZQRValue& Add(CInstance*, CInstance*, ZQRValue& result, int argc, ZQRValue** args) {
    result = argc == 2 ? *args[0] + *args[1] : ZQRValue(0.0);
    return result;
}
const SCompiledFunction kCode[] = {{"vtl_Script_add", Add, nullptr}};

void ScriptPerform(benchmark::State& state) {
    World& w = TheWorld();
    g_LLVMVars.nCodeEntries = 1;
    g_LLVMVars.pCodeFunctions = kCode;
    static CScript* scripts[1];
    static char* names[1];
    scripts[0] = new CScript("add");
    scripts[0]->m_codeIndex = 0;
    scripts[0]->Compile();
    Script_Main_items = scripts;
    Script_Main_names = names;
    Script_Main_number = 1;
    RValue args[2];
    RValue result = RValue_Undefined();
    for (auto _ : state) {
        args[0] = RValue_Real(1);
        args[1] = RValue_Real(2);
        DynamicArrayOfRValue row{2, args};
        Script_Perform(0, w.middle, w.middle, 2, &result, &row);
        benchmark::DoNotOptimize(result.val);
    }
    delete scripts[0];
    Script_Main_items = nullptr;
    Script_Main_names = nullptr;
    Script_Main_number = 0;
}
BENCHMARK(ScriptPerform);

} // namespace
