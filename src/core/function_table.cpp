// The built-in function table: registration, name lookup and the table's
// lifetime. Lookups by name are linear scans with exact comparison: they run
// while the game data loads, never per call (calls go by index).
#include "core/function_table.h"

#include <cstring>

#include "core/memory_manager.h"

RFunction* the_functions = nullptr;
int32_t the_numb = 0;
int32_t g_CurrentMaxLength = 0;
RFunction* g_pFunction = nullptr;
bool g_fZQC = true;
FunctionTableHooks g_FunctionTableHooks = {};

bool Function_Add(const char* name, TRoutine routine, int argc, bool flag) {
    if (the_numb >= g_CurrentMaxLength) {
        int32_t capacity = g_CurrentMaxLength + FUNCTION_TABLE_GROWTH;
        // The grown part is zero-filled by the manager.
        RFunction* grown = ZQ_ReAllocArray<RFunction>(the_functions, static_cast<size_t>(capacity));
        if (grown == nullptr) return false;
        the_functions = grown;
        g_CurrentMaxLength = capacity;
    }
    RFunction& entry = the_functions[the_numb];
    size_t length = name != nullptr ? strnlen(name, sizeof entry.f_name - 1) : 0;
    std::memcpy(entry.f_name, name != nullptr ? name : "", length);
    std::memset(entry.f_name + length, 0, sizeof entry.f_name - length);
    entry.f_routine = routine;
    entry.f_argnumb = argc;
    entry.f_flag = flag ? 1u : 0u;
    entry.f_reserved = -1;
    ++the_numb;
    return true;
}

int Function_Find(const char* name) {
    if (name == nullptr) return -1;
    for (int32_t i = 0; i < the_numb; ++i)
        if (std::strcmp(the_functions[i].f_name, name) == 0) return i;
    return -1;
}

bool Function_Replace(const char* name, TRoutine routine) {
    int index = Function_Find(name);
    if (index < 0) return false;
    the_functions[index].f_routine = routine;
    return true;
}

bool Code_Function_Find(const char* name, int* id) {
    *id = -1;
    if (name == nullptr || *name == '\0') return false;
    const FunctionTableHooks& hooks = g_FunctionTableHooks;
    if (hooks.scriptFind != nullptr) {
        int script = hooks.scriptFind(name);
        if (script >= 0) {
            *id = FUNCTION_ID_SCRIPT_BASE + script;
            return true;
        }
    }
    if (hooks.extensionFind != nullptr) {
        int extension = hooks.extensionFind(name);
        if (extension >= 0) {
            *id = FUNCTION_ID_EXTENSION_BASE + extension;
            return true;
        }
    }
    if (!g_fZQC && std::strcmp(name, "script_execute") == 0) {
        *id = FUNCTION_ID_SCRIPT_EXECUTE;
        return true;
    }
    int builtin = Function_Find(name);
    if (builtin < 0) return false;
    *id = builtin;
    return true;
}

int Function_GetArguments(int id) {
    if (id >= FUNCTION_ID_EXTENSION_BASE) {
        int (*arguments)(int) = g_FunctionTableHooks.extensionArguments;
        return arguments != nullptr ? arguments(id - FUNCTION_ID_EXTENSION_BASE) : -100;
    }
    if (id >= FUNCTION_ID_SCRIPT_BASE) return -1;
    if (id < 0 || id >= the_numb) return -100;
    return the_functions[id].f_argnumb;
}

void Code_Function_GET_the_function(int index, const char** name, TRoutine* routine, int* argc, int* flag) {
    if (index < 0 || index >= the_numb) return;
    const RFunction& entry = the_functions[index];
    *name = entry.f_name;
    *routine = entry.f_routine;
    *argc = entry.f_argnumb;
    *flag = static_cast<int>(entry.f_flag);
}

void FINALIZE_Code_Function() {
    ZQ_Free(the_functions);
    the_functions = nullptr;
    the_numb = 0;
    g_CurrentMaxLength = 0;
}

void Function_Reset() {
    FINALIZE_Code_Function();
    g_pFunction = nullptr;
    g_fZQC = true;
}
