// Variable names: the slot name stores, the instance-name lookup, the flat
// list, local names and the built-in variable table.
//
// Ownership: every name store holds its own copies, and the two lookups own
// their keys, so replacing or freeing a slot's name never leaves a lookup
// pointing at freed text. Lookups compare the text on every hash match; two
// names with equal hashes never resolve to each other.
#include "core/variable_names.h"

#include <cstring>

#include "core/collector.h"
#include "core/console.h"
#include "core/error.h"
#include "core/header_globals.h"
#include "core/memory_manager.h"
#include "core/object_base.h"
#include "core/ref_string.h"
#include "core/variables.h"

cARRAY_OF_POINTERS g_VarNamesGlobal;
cARRAY_OF_POINTERS g_VarNamesInstance;
cARRAY_OF_POINTERS VarNames;
CHashMap<const char*, int, 7>* g_instanceVarLookup = nullptr;
SLocalNames* g_localVariableNamesForFunctions = nullptr;
int32_t g_numFunctionsForLocalVars = 0;
RVariableRoutine builtin_variables[MAX_BUILTIN_VARIABLES];
int32_t builtin_numb = 0;

namespace {

using NameMap = CHashMap<const char*, int, 7>;

constexpr const char kUnknownVariable[] = "<unknown variable>";

NameMap* g_builtinVarLookup = nullptr;

// ---------------------------------------------------------------------------
// Owned-key maps.

void MapFree(NameMap*& map) {
    if (map == nullptr) return;
    map->ForEach([](const char* key, int&) { ZQ_Free(const_cast<char*>(key)); });
    delete map;
    map = nullptr;
}

// Maps the name to the value, storing a key copy when the name is new.
void MapSet(NameMap*& map, const char* name, int value) {
    if (map == nullptr) map = new NameMap();
    if (int* found = map->Find(name)) {
        *found = value;
        return;
    }
    char* key = ZQStrDup(name);
    if (key != nullptr) map->Insert(key, value);
}

// Removes the name's entry and frees its key.
void MapDelete(NameMap* map, const char* name) {
    if (map == nullptr || name == nullptr) return;
    const char* stored = nullptr;
    map->ForEach([&](const char* key, int&) {
        if (stored == nullptr && std::strcmp(key, name) == 0) stored = key;
    });
    if (stored == nullptr) return;
    map->Delete(name);
    ZQ_Free(const_cast<char*>(stored));
}

int MapGet(const NameMap* map, const char* name) {
    if (map == nullptr || name == nullptr) return -1;
    const int* found = map->Find(name);
    return found != nullptr ? *found : -1;
}

// ---------------------------------------------------------------------------
// Name stores.

void StoreFree(cARRAY_OF_POINTERS& store) {
    for (int32_t i = 0; i < store.m_count; ++i) ZQ_Free(store.m_pData[i]);
    ZQ_Free(store.m_pData);
    store.m_pData = nullptr;
    store.m_capacity = store.m_count = 0;
}

// Makes room for `capacity` entries (new entries null); false when out of memory.
bool StoreReserve(cARRAY_OF_POINTERS& store, int32_t capacity) {
    if (capacity <= store.m_capacity) return true;
    char** grown = ZQ_ReAllocArray<char*>(store.m_pData, static_cast<size_t>(capacity));
    if (grown == nullptr) return false;
    store.m_pData = grown;
    store.m_capacity = capacity;
    return true;
}

// Names `slot` with a copy of `name`; the slot must lie below the capacity.
void StoreSet(cARRAY_OF_POINTERS& store, int32_t slot, const char* name) {
    ZQ_Free(store.m_pData[slot]);
    store.m_pData[slot] = ZQStrDup(name);
    if (slot >= store.m_count) store.m_count = slot + 1;
}

int32_t StoreFind(const cARRAY_OF_POINTERS& store, const char* name) {
    if (name == nullptr) return -1;
    for (int32_t i = 0; i < store.m_count; ++i)
        if (store.m_pData[i] != nullptr && std::strcmp(store.m_pData[i], name) == 0) return i;
    return -1;
}

// Stores a copy of the name in the first empty entry, growing by the
// store's step when every entry is taken; the slot, or -1 out of memory.
int32_t StoreAddFirstFree(cARRAY_OF_POINTERS& store, const char* name) {
    int32_t slot = 0;
    while (slot < store.m_count && store.m_pData[slot] != nullptr) ++slot;
    if (slot >= store.m_capacity && !StoreReserve(store, store.m_capacity + store.m_growth)) return -1;
    StoreSet(store, slot, name);
    return slot;
}

void LocalNamesFree() {
    for (int32_t i = 0; i < g_numFunctionsForLocalVars; ++i) {
        SLocalNames& record = g_localVariableNamesForFunctions[i];
        for (int32_t n = 0; n < record.m_count; ++n) ZQ_Free(record.m_ppNames[n]);
        ZQ_Free(record.m_ppNames);
        ZQ_Free(record.m_pFunctionName);
    }
    ZQ_Free(g_localVariableNamesForFunctions);
    g_localVariableNamesForFunctions = nullptr;
    g_numFunctionsForLocalVars = 0;
}

const SLocalNames* LocalNamesOf(const char* functionName) {
    if (functionName == nullptr) return nullptr;
    for (int32_t i = 0; i < g_numFunctionsForLocalVars; ++i) {
        const SLocalNames& record = g_localVariableNamesForFunctions[i];
        if (record.m_pFunctionName != nullptr && std::strcmp(record.m_pFunctionName, functionName) == 0)
            return &record;
    }
    return nullptr;
}

int SlotFinder(ZQObjectBase* object, const char* name) {
    return Code_Variable_Find_Slot_From_Name(object, name);
}
int SlotAllocator(ZQObjectBase* object, const char* name) {
    return Code_Variable_FindAlloc_Slot_From_Name(object, name);
}

} // namespace

// ---------------------------------------------------------------------------
// Registry.

void Code_Variable_Init(int globalCount, int instanceCount, int /*localCount*/) {
    StoreFree(g_VarNamesGlobal);
    StoreFree(g_VarNamesInstance);
    g_VarNamesGlobal.m_growth = g_VarNamesInstance.m_growth = 8;
    if (globalCount > 0) StoreReserve(g_VarNamesGlobal, globalCount);
    if (instanceCount > 0) StoreReserve(g_VarNamesInstance, instanceCount);
    MapFree(g_instanceVarLookup);
    g_instanceVarLookup = new NameMap();
    // Script objects find their members' slots through this registry.
    g_ObjectHooks.findSlot = SlotFinder;
    g_ObjectHooks.findAllocSlot = SlotAllocator;
}

int Code_Variable_Find_Set(const char* name, int scope, int slot) {
    if (name == nullptr) name = "";
    switch (scope) {
        case VARIABLE_SCOPE_INSTANCE:
            if (slot < 0 || slot >= g_VarNamesInstance.m_capacity) return -1;
            // A slot that changes its name no longer answers to the old one.
            if (const char* old = g_VarNamesInstance.Get(slot);
                old != nullptr && MapGet(g_instanceVarLookup, old) == slot)
                MapDelete(g_instanceVarLookup, old);
            StoreSet(g_VarNamesInstance, slot, name);
            MapSet(g_instanceVarLookup, name, slot);
            return VARIABLE_ID_BASE + slot;
        case VARIABLE_SCOPE_GLOBAL:
            if (slot < 0 || slot >= g_VarNamesGlobal.m_capacity) return -1;
            StoreSet(g_VarNamesGlobal, slot, name);
            return VARIABLE_ID_BASE + slot;
        case VARIABLE_SCOPE_BUILTIN: {
            int found = StoreFind(g_VarNamesGlobal, name);
            if (found < 0) found = MapGet(g_instanceVarLookup, name);
            if (found >= 0) return VARIABLE_ID_BASE + found;
            return Variable_BuiltIn_Find(name);
        }
        default: return VARIABLE_ID_BASE + slot;
    }
}

int Variable_FindNameNoAlloc(const char* name) {
    int position = StoreFind(VarNames, name);
    return position >= 0 ? VARIABLE_ID_BASE + position : -1;
}

int Variable_FindName(const char* name) {
    if (name == nullptr) return -1;
    int id = Variable_FindNameNoAlloc(name);
    if (id >= 0) return id;
    if (VarNames.m_count >= VarNames.m_capacity &&
        !StoreReserve(VarNames, VarNames.m_capacity + (VarNames.m_capacity > 0 ? VarNames.m_capacity : 64)))
        return -1;
    StoreSet(VarNames, VarNames.m_count, name);
    return VARIABLE_ID_BASE + VarNames.m_count - 1;
}

int Code_Variable_Find(const char* name) {
    int builtin = Variable_BuiltIn_Find(name);
    return builtin >= 0 ? builtin : Variable_FindName(name);
}

const char* Variable_GetName(int id) {
    const char* name = id >= VARIABLE_ID_BASE ? VarNames.Get(id - VARIABLE_ID_BASE) : nullptr;
    return name != nullptr ? name : kUnknownVariable;
}

int New_Code_Variable_Find(const char* name) {
    int builtin = Variable_BuiltIn_Find(name);
    if (builtin >= 0) return builtin;
    int slot = MapGet(g_instanceVarLookup, name);
    if (slot >= 0) return VARIABLE_ID_BASE + slot;
    slot = StoreFind(g_VarNamesGlobal, name);
    return slot >= 0 ? VARIABLE_ID_BASE + slot : -1;
}

int Code_Variable_Find_Slot_From_Local_Name(const char* name) {
    return MapGet(g_instanceVarLookup, name);
}

int Code_Variable_Find_Slot_From_Global_Name(const char* name) {
    return StoreFind(g_VarNamesGlobal, name);
}

int Code_Variable_Find_Slot_From_Name(ZQObjectBase* object, const char* name) {
    if (object != g_pGlobal || g_fJSGarbageCollection) return MapGet(g_instanceVarLookup, name);
    return StoreFind(g_VarNamesGlobal, name);
}

int Code_Variable_FindAlloc_Slot_From_Name(ZQObjectBase* object, const char* name) {
    if (name == nullptr) return -1;
    int slot = Code_Variable_Find_Slot_From_Name(object, name);
    if (slot >= 0) return slot;
    if (object != g_pGlobal || g_fJSGarbageCollection) {
        slot = StoreAddFirstFree(g_VarNamesInstance, name);
        if (slot >= 0) MapSet(g_instanceVarLookup, name, slot);
        return slot;
    }
    return StoreAddFirstFree(g_VarNamesGlobal, name);
}

void Code_Variable_Set_Local_Names(SLocalNames* records, int32_t count) {
    LocalNamesFree();
    g_localVariableNamesForFunctions = records;
    g_numFunctionsForLocalVars = records != nullptr ? count : 0;
}

const char* Code_Variable_Find_Name(const char* functionName, int scope, int id) {
    if (id < VARIABLE_ID_BASE) return Variable_BuiltIn_Find_Name(id);
    return Variable_GetName_Scope(functionName, scope, id);
}

const char* Variable_GetName_Scope(const char* functionName, int scope, int id) {
    if (!g_subFunctionsOption) return Variable_GetName(id);
    if (id < VARIABLE_ID_BASE) return kUnknownVariable;
    const int32_t slot = id - VARIABLE_ID_BASE;
    const char* name = nullptr;
    if (scope == VARIABLE_SCOPE_GLOBAL) {
        name = g_VarNamesGlobal.Get(slot);
    } else if (scope == VARIABLE_SCOPE_LOCAL || scope == VARIABLE_SCOPE_ARGUMENT) {
        const SLocalNames* locals = LocalNamesOf(functionName);
        if (locals != nullptr && slot < locals->m_count) name = locals->m_ppNames[slot];
    } else if (scope == VARIABLE_SCOPE_INSTANCE || scope == VARIABLE_SCOPE_OTHER_INSTANCE ||
               scope == VARIABLE_SCOPE_ANY || scope > VARIABLE_ID_BASE) {
        name = g_VarNamesInstance.Get(slot);
        if (name == nullptr && g_instanceVarLookup != nullptr) {
            g_instanceVarLookup->ForEach([&](const char* key, int& value) {
                if (name == nullptr && value == slot) name = key;
            });
        }
    }
    return name != nullptr ? name : kUnknownVariable;
}

void FINALIZE_Code_Variable() {
    StoreFree(g_VarNamesGlobal);
    StoreFree(g_VarNamesInstance);
    StoreFree(VarNames);
    MapFree(g_instanceVarLookup);
    LocalNamesFree();
}

// ---------------------------------------------------------------------------
// Built-in variables.

void Variable_BuiltIn_Add(const char* name, TGetVarRoutine getter, TSetVarRoutine setter) {
    if (builtin_numb >= MAX_BUILTIN_VARIABLES) {
        const char* text = "INTERNAL ERROR: Adding too many variables";
        if (g_ErrorHooks.showMessage != nullptr)
            g_ErrorHooks.showMessage(text);
        else
            rel_csol->Output("%s\n", text);
        return;
    }
    if (name == nullptr) name = "";
    RVariableRoutine& entry = builtin_variables[builtin_numb];
    ZQ_Free(entry.f_name);
    entry.f_name = ZQStrDup(name);
    entry.f_getroutine = getter;
    entry.f_setroutine = setter;
    entry.f_canset = setter != nullptr;
    MapSet(g_builtinVarLookup, name, builtin_numb);
    ++builtin_numb;
}

int Variable_BuiltIn_Find(const char* name) {
    return MapGet(g_builtinVarLookup, name);
}

const char* Variable_BuiltIn_Find_Name(int index) {
    if (index < 0 || index >= builtin_numb || builtin_variables[index].f_name == nullptr)
        return "<unknown built-in variable>";
    return builtin_variables[index].f_name;
}

void Variable_BuiltIn_Clear() {
    for (RVariableRoutine& entry : builtin_variables) {
        ZQ_Free(entry.f_name);
        entry = RVariableRoutine{};
    }
    builtin_numb = 0;
    MapFree(g_builtinVarLookup);
}
