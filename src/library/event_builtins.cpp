// Event, debug, alarm and variable built-ins. They are thin: the event model,
// the variable tables and the instance lookup belong to the core and the
// world; here is which event or variable each resolves and what a missing
// name or instance answers (undefined, false or no effect, never an error).
#include "library/event_builtins.h"

#include <cstdint>
#include <cstring>

#include "core/arguments.h"
#include "core/builtin_variables.h"
#include "core/console.h"
#include "core/memory_manager.h"
#include "core/run_state.h"
#include "core/value_text.h"
#include "core/variable_names.h"
#include "core/variables.h"
#include "core/zq_rvalue.h"
#include "library/library_builtins.h"
#include "core/graphics_perf.h"
#include "world/objects/event.h"
#include "world/datafile/game_header.h"
#include "world/instances/instance.h"
#include "world/objects/object_type.h"
#include "core/run_settings.h"
#include "world/run/startup_services.h"

bool g_fJSIgnoreBadRefs = false;

namespace {

constexpr int kEventOther = 7;
constexpr int kUserEventBase = 10; // user events 0-15 are Other 10-25
constexpr int kUserVariableBase = 100000;

void SetBool(RValue& result, bool b) {
    result.val = b ? 1.0 : 0.0;
    result.flags = 0;
    result.kind = VALUE_BOOL;
}

// The name argument; a missing text reads as "" (which names nothing).
const char* Name(const RValue* args, int index) {
    const char* name = ZQGetString(args, index);
    return name != nullptr ? name : "";
}

// The new-generation debugger link gets script text as tags.
void TagForDebugger(const char* text) {
    if (g_isNimbar && !g_DebugBuild) Debug_AddTag(text);
}

void ShowDebugMessage(const RValue& value) {
    if (value.kind == VALUE_STRING) {
        const char* text = value.pRefString != nullptr ? value.pRefString->Get() : nullptr;
        if (text == nullptr) text = "";
        rel_csol->Output("%s\n", text);
        TagForDebugger(text);
        return;
    }
    char* text = Value_ToText(&value);
    rel_csol->Output("%s\n", text != nullptr ? text : "");
    TagForDebugger(text != nullptr ? text : "");
    ZQ_Free(text);
}

// ---- events

void F_EventPerform(RValue&, CInstance* self, CInstance* other, int, RValue* a) {
    int type = ZQGetInt32(a, 0);
    Perform_Event(self, other, type, ZQGetInt32(a, 1));
}
// A user number so large that its subtype would pass the 32-bit range names
// no event (no object has that many), rather than wrapping to a small one.
void F_EventUser(RValue&, CInstance* self, CInstance* other, int, RValue* a) {
    int64_t subtype = static_cast<int64_t>(ZQGetInt32(a, 0)) + kUserEventBase;
    Perform_Event(self, other, kEventOther, subtype > INT32_MAX ? INT32_MAX : static_cast<int>(subtype));
}
void F_EventObject(RValue&, CInstance* self, CInstance* other, int, RValue* a) {
    int object = ZQGetInt32(a, 0);
    int type = ZQGetInt32(a, 1);
    Perform_Event_Object(self, other, object, type, ZQGetInt32(a, 2));
}
// Runs the parent's handler of the running event. Current_Object is the
// object where the running handler was found, so inherited calls climb one
// level at a time.
void F_EventInherited(RValue&, CInstance* self, CInstance* other, int, RValue*) {
    CObjectVT* current = Object_Data(Current_Object);
    if (current == nullptr) return;
    int parent = current->m_parentIndex;
    if (Object_Data(parent) == nullptr) return;
    Perform_Event_Object(self, other, parent, Current_Event_Type, Current_Event_Number);
}

// ---- debug

void F_ShowDebugMessage(RValue&, CInstance*, CInstance*, int argc, RValue* a) {
    if (argc < 1) return;
    ShowDebugMessage(a[0]);
}
void F_ShowDebugOverlay(RValue&, CInstance*, CInstance*, int, RValue* a) {
    if (ZQGetBool(a, 0))
        GraphicsPerf::ms_DisplayFlags |= 2;
    else
        GraphicsPerf::ms_DisplayFlags &= ~2;
}

// Names compared as prefixes of these lengths, first match acting. Only the
// first 6 characters of "DumpMemory" are compared, so "DumpMe..." dumps.
void F_DebugEvent(RValue&, CInstance*, CInstance*, int, RValue* a) {
    const char* name = Name(a, 0);
    memLogEvent("%s", name);
    if (std::strncmp(name, "DumpMemory", 6) == 0)
        MemoryManager::DumpMemory(stderr);
    else if (std::strncmp(name, "VMTraceOn", 9) == 0)
        g_fVMDebug = true;
    else if (std::strncmp(name, "VMTraceOff", 10) == 0)
        g_fVMDebug = false;
    else if (std::strncmp(name, "VMBadRefsIgnore", 15) == 0)
        g_fJSIgnoreBadRefs = true;
    else if (std::strncmp(name, "VMBadRefsCrash", 14) == 0)
        g_fJSIgnoreBadRefs = false;
    TagForDebugger(name);
}

// ---- alarms

void F_AlarmSet(RValue&, CInstance* self, CInstance*, int, RValue* a) {
    int index = ZQGetInt32(a, 0);
    int steps = ZQGetInt32(a, 1);
    if (self != nullptr) self->SetTimer(index, steps);
}
void F_AlarmGet(RValue& r, CInstance* self, CInstance*, int, RValue* a) {
    int index = ZQGetInt32(a, 0);
    ZQSetResultReal(r, self != nullptr ? self->GetTimer(index) : -1);
}

// ---- variables by name

bool IsUnset(const RValue& v) {
    return v.Kind() == VALUE_UNSET;
}

// Reads a global by name into out (undefined when there is none). Built-in
// names act only for the global built-ins; instance-local ones read nothing.
bool GlobalRead(const char* name, RValue* out) {
    int id = Variable_BuiltIn_Find(name);
    bool read = false;
    if (id >= 0) {
        if (id >= g_nStartGlobalVariables)
            read = Variable_GetValue_Direct(g_pGlobal, id, ARRAY_INDEX_NO_INDEX, out);
    } else {
        int slot = Code_Variable_Find_Slot_From_Name(g_pGlobal, name);
        if (slot >= 0) read = Variable_Global_GetVar(slot + kUserVariableBase, ARRAY_INDEX_NO_INDEX, out);
    }
    if (!read || IsUnset(*out)) {
        FREE_RValue(out);
        return false;
    }
    return true;
}

// Reads a variable of one instance by name (built-in first, then the user
// slot); false and undefined when it has none or it was never assigned.
bool InstanceRead(CInstance* instance, const char* name, RValue* out) {
    int id = Variable_BuiltIn_Find(name);
    if (id < 0) {
        int slot = Code_Variable_Find_Slot_From_Name(instance, name);
        if (slot < 0) return false;
        id = slot + kUserVariableBase;
    }
    if (!Variable_GetValue_Direct(instance, id, ARRAY_INDEX_NO_INDEX, out) || IsUnset(*out)) {
        FREE_RValue(out);
        return false;
    }
    return true;
}

// An instance by id; object indices, negative targets and ids of no
// instance find nothing.
CInstance* InstanceById(int id) {
    return id < 0 ? nullptr : CInstance::Find(id);
}

void F_VariableGlobalExists(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    RValue value = RValue_Undefined();
    bool exists = GlobalRead(Name(a, 0), &value);
    FREE_RValue(&value);
    SetBool(r, exists);
}
void F_VariableGlobalGet(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    GlobalRead(Name(a, 0), &r);
}
void F_VariableGlobalSet(RValue&, CInstance*, CInstance*, int argc, RValue* a) {
    if (argc < 2) return;
    const char* name = Name(a, 0);
    int id = Variable_BuiltIn_Find(name);
    if (id >= 0) {
        if (id >= g_nStartGlobalVariables)
            Variable_SetValue_Direct(g_pGlobal, id, ARRAY_INDEX_NO_INDEX, &a[1]);
        return;
    }
    int slot = Code_Variable_FindAlloc_Slot_From_Name(g_pGlobal, name);
    if (slot >= 0) Variable_Global_SetVar(slot + kUserVariableBase, ARRAY_INDEX_NO_INDEX, &a[1]);
}
void F_VariableInstanceExists(RValue& r, CInstance* self, CInstance* other, int, RValue* a) {
    int target = ZQGetInt32(a, 0);
    const char* name = Name(a, 1);
    bool exists = false;
    for (WithObjIterator it(target, self, other, false); *it != nullptr && !exists; it.Next()) {
        CInstance* instance = *it;
        if (instance->i_marked || instance->i_deactivated) continue;
        RValue value = RValue_Undefined();
        exists = InstanceRead(instance, name, &value);
        FREE_RValue(&value);
    }
    SetBool(r, exists);
}
void F_VariableInstanceGet(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    CInstance* instance = InstanceById(ZQGetInt32(a, 0));
    if (instance != nullptr) InstanceRead(instance, Name(a, 1), &r);
}
void F_VariableInstanceSet(RValue&, CInstance*, CInstance*, int argc, RValue* a) {
    if (argc < 3) return;
    CInstance* instance = InstanceById(ZQGetInt32(a, 0));
    if (instance == nullptr) return;
    const char* name = Name(a, 1);
    int id = Variable_BuiltIn_Find(name);
    if (id < 0) {
        int slot = Code_Variable_FindAlloc_Slot_From_Name(instance, name);
        if (slot < 0) return;
        id = slot + kUserVariableBase;
    }
    Variable_SetValue_Direct(instance, id, ARRAY_INDEX_NO_INDEX, &a[2]);
}
// The names of the instance's on-demand variables that hold a value, in the
// variable map's slot order. Variables in the slot array (those compiled
// scripts declare) are not listed.
void F_VariableInstanceGetNames(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    CInstance* instance = InstanceById(ZQGetInt32(a, 0));
    r.pRefArray = ARRAY_RefAlloc(&r);
    r.flags = 0;
    r.kind = r.pRefArray != nullptr ? VALUE_ARRAY : VALUE_UNDEFINED;
    if (r.pRefArray == nullptr || instance == nullptr || instance->m_pVarMap == nullptr) return;
    int32_t next = 0;
    instance->m_pVarMap->ForEach([&](int slot, RValue* value) {
        if (value == nullptr || IsUnset(*value)) return;
        RValue name;
        ZQSetString(&name, Code_Variable_Find_Name(nullptr, -1, slot + kUserVariableBase));
        SET_RValue_Array(&r, &name, next++);
        FREE_RValue(&name);
    });
}

const LibraryBuiltinRow kEvents[] = {
    {"event_inherited", F_EventInherited},
    {"event_perform", F_EventPerform},
    {"event_user", F_EventUser},
    {"event_perform_object", F_EventObject},
    {"show_debug_message", F_ShowDebugMessage},
    {"show_debug_overlay", F_ShowDebugOverlay},
    {"debug_event", F_DebugEvent},
    {"alarm_set", F_AlarmSet},
    {"alarm_get", F_AlarmGet},
    {"variable_global_exists", F_VariableGlobalExists},
    {"variable_global_get", F_VariableGlobalGet},
    {"variable_global_set", F_VariableGlobalSet},
    {"variable_instance_exists", F_VariableInstanceExists},
    {"variable_instance_get", F_VariableInstanceGet},
    {"variable_instance_set", F_VariableInstanceSet},
    {"variable_instance_get_names", F_VariableInstanceGetNames},
};

} // namespace

void ZQVTL_show_debug_message(const ZQRValue& value) {
    ShowDebugMessage(value);
}

std::span<const LibraryBuiltinRow> EventBuiltins() {
    return kEvents;
}
