// Variable names and ids: the id ranges, the name stores of global and
// instance slots and their lookup, the flat name list of older data, the
// local names of bytecode functions, and the table of built-in variables with
// their getters and setters.
#pragma once

#include <cstdint>

#include "core/hash_map.h"

class CInstance;
class ZQObjectBase;
struct RValue;

// Variable ids: 0 to 9999 a built-in variable (its index in
// builtin_variables); 100000 + slot a user variable (instance, global or
// local slot); the script's "arguments" array is 10000000. Ids in between
// name nothing.
inline constexpr int32_t VARIABLE_BUILTIN_MAX = 9999;
inline constexpr int32_t VARIABLE_ID_BASE = 100000;
inline constexpr int32_t VARIABLE_ID_ARGUMENTS = 10000000;
inline constexpr int32_t MAX_BUILTIN_VARIABLES = 500;

inline bool Variable_IsBuiltInId(int32_t id) {
    return static_cast<uint32_t>(id) <= static_cast<uint32_t>(VARIABLE_BUILTIN_MAX);
}
inline bool Variable_IsUserId(int32_t id) {
    return id >= VARIABLE_ID_BASE;
}

// Scopes of the name registry and of the data file's variable records.
enum : int32_t {
    VARIABLE_SCOPE_INSTANCE = -1,
    VARIABLE_SCOPE_GLOBAL = -5,
    VARIABLE_SCOPE_BUILTIN = -6, // or any variable found by name
    VARIABLE_SCOPE_LOCAL = -7,
    VARIABLE_SCOPE_OTHER_INSTANCE = -9,
    VARIABLE_SCOPE_ANY = -11,
    VARIABLE_SCOPE_ARGUMENT = -12,
};

// A list of owned name copies by slot: entry i names slot i (or is null);
// count is one past the highest slot named; capacity grows by `m_growth`.
struct cARRAY_OF_POINTERS {
    int32_t m_capacity = 0;
    int32_t m_count = 0;
    int32_t m_growth = 8;
    char** m_pData = nullptr;

    const char* Get(int32_t slot) const { return slot >= 0 && slot < m_count ? m_pData[slot] : nullptr; }
};

// Names of global slots and of instance slots; the flat list of data without
// per-scope names (its id is 100000 + position; VarNumb is its count).
extern cARRAY_OF_POINTERS g_VarNamesGlobal;
extern cARRAY_OF_POINTERS g_VarNamesInstance;
extern cARRAY_OF_POINTERS VarNames;
// Instance variable name to slot. Its keys are the map's own copies.
extern CHashMap<const char*, int, 7>* g_instanceVarLookup;

// The local names of one bytecode function.
struct SLocalNames {
    char* m_pFunctionName;
    int32_t m_count;
    char** m_ppNames;
};
extern SLocalNames* g_localVariableNamesForFunctions;
extern int32_t g_numFunctionsForLocalVars;

// A built-in variable: bool GV_<Name>(self, arrayIndex, out) and
// bool SV_<Name>(self, arrayIndex, in). `self` is null when the variable is
// read on an object that is not an instance (the global object).
using TGetVarRoutine = bool (*)(CInstance* self, int arrayIndex, RValue* out);
using TSetVarRoutine = bool (*)(CInstance* self, int arrayIndex, RValue* in);
struct RVariableRoutine {
    char* f_name; // memory-manager copy
    TGetVarRoutine f_getroutine;
    TSetVarRoutine f_setroutine;
    bool f_canset;
};
extern RVariableRoutine builtin_variables[MAX_BUILTIN_VARIABLES];

// A row of a registration table of built-in variables: the name and its
// routines (no setter: read-only). ZQ_VAR_RW(name) and ZQ_VAR_RO(name) make the row
// of a variable whose routines are GV_<name> and SV_<name>.
struct SBuiltInVariableRow {
    const char* name;
    TGetVarRoutine get;
    TSetVarRoutine set;
};
#define ZQ_VAR_RW(name)                                                                                      \
    { #name, GV_##name, SV_##name }
#define ZQ_VAR_RO(name)                                                                                      \
    { #name, GV_##name, nullptr }
extern int32_t builtin_numb;

// ---------------------------------------------------------------------------
// Name registry.

// Empties the global and instance name stores and sizes their capacities to
// the counts, and makes the instance lookup empty (capacity 128).
void Code_Variable_Init(int globalCount, int instanceCount, int localCount);
// Scope -1 (instance) or -5 (global): names slot `slot` with a copy of the
// name (an instance name is also entered in the lookup) and returns
// 100000 + slot; a slot outside the store's capacity names nothing and gives
// -1. Scope -6: the id of the name as a global, else as an instance
// variable, else as a built-in, else -1. Any other scope: 100000 + slot.
int Code_Variable_Find_Set(const char* name, int scope, int slot);
// A built-in's index, else the name's id in the flat list (appended when new).
int Code_Variable_Find(const char* name);
// The name's id in the flat list, appending it when new.
int Variable_FindName(const char* name);
// The name's id in the flat list, or -1.
int Variable_FindNameNoAlloc(const char* name);
// The flat list's name of an id, or "<unknown variable>".
const char* Variable_GetName(int id);
// The id of a name as a built-in, an instance slot or a global slot, else -1.
int New_Code_Variable_Find(const char* name);
// The instance slot, or the global slot, of a name; -1 when absent.
int Code_Variable_Find_Slot_From_Local_Name(const char* name);
int Code_Variable_Find_Slot_From_Global_Name(const char* name);
// The slot of a name in an object: the global slot for the global object
// (unless the script-object collector is on), else the instance slot; -1
// when absent. The Alloc form registers an absent name in the first empty
// entry of its store.
int Code_Variable_Find_Slot_From_Name(ZQObjectBase* object, const char* name);
int Code_Variable_FindAlloc_Slot_From_Name(ZQObjectBase* object, const char* name);
// Takes ownership of `count` per-function local-name records (allocated with
// the memory manager, as are their texts); the previous records are freed.
void Code_Variable_Set_Local_Names(SLocalNames* records, int32_t count);
// The name of an id: built-in ids by the built-in table, others by scope.
const char* Code_Variable_Find_Name(const char* functionName, int scope, int id);
const char* Variable_GetName_Scope(const char* functionName, int scope, int id);
// Frees every name store, the lookup and the local names (end of a run).
void FINALIZE_Code_Variable();

// ---------------------------------------------------------------------------
// Built-in variables.

// Registers a built-in variable; at 500 entries shows "INTERNAL ERROR: Adding
// too many variables" and adds nothing.
void Variable_BuiltIn_Add(const char* name, TGetVarRoutine getter, TSetVarRoutine setter);
// The index of the built-in named exactly `name`, or -1.
int Variable_BuiltIn_Find(const char* name);
// The built-in's name, or "<unknown built-in variable>".
const char* Variable_BuiltIn_Find_Name(int index);
// Frees every built-in name and empties the table.
void Variable_BuiltIn_Clear();
