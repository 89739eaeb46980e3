// Stand-ins for the bytecode interpreter and the script object runtime, until
// the module is built: each accepts its call and does nothing, or answers
// "none" (or succeeds where the caller would otherwise stop). The module
// deletes each stand-in as it defines the real function; the build refuses a
// function defined both here and in the module (tools/check_duplicates.sh).
#include "core/function_table.h"
#include "core/rvalue.h"
#include "library/library_builtins.h"
#include "library/resource_services.h"
#include "vm/runtime_hooks.h"
#include "world/datafile/game_data_services.h"
#include "world/run/startup_services.h"
#include "world/step/step_services.h"

// ---- asked for through library/resource_services.h

// Without the script object runtime no callable object exists to be called;
// the result stays undefined.
void Call_RValue(CInstance*, RValue&, RValue&, int, RValue*) {}

// ---- asked for through vm/runtime_hooks.h

void InitJavaScriptFunctions() {}

// ---- asked for through world/datafile/game_data_services.h

void JS_InitRuntime() {}

void JS_SetupResources() {}

// ---- asked for through world/run/startup_services.h

void VM_Init() {}

void VM_Quit() {}

void Collector_FullCollect() {}

// ---- asked for through world/step/step_services.h

void DoGenerationalGC() {}

// ---- built-in rows the library registers (library/library_builtins.h)

// Placeholder until the bytecode interpreter lands: with no interpreter
// running there are no call-stack entries, so debug_get_callstack answers an
// empty array.
namespace {

void F_VMGetCallStack(RValue& r, CInstance*, CInstance*, int, RValue*) {
    r.pRefArray = ARRAY_RefAlloc(&r);
    r.flags = 0;
    r.kind = r.pRefArray != nullptr ? VALUE_ARRAY : VALUE_UNDEFINED;
}

const LibraryBuiltinRow kVM[] = {
    {"debug_get_callstack", F_VMGetCallStack},
};

} // namespace

std::span<const LibraryBuiltinRow> VMBuiltins() {
    return kVM;
}
