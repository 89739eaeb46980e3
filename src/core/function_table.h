// The built-in function table: registration by name, lookup of names as
// function ids (built-ins, scripts, extension functions), the entry of the
// built-in that is running, and the seams to the script table and the
// extension packages. The call gates that compiled code uses are in
// core/call_gates.h.
#pragma once

#include <cstddef>
#include <cstdint>

class CInstance;
struct RValue;
struct ZQRValue;

// A built-in: F_<Name>(result, self, other, argc, args).
using TRoutine = void (*)(RValue& result, CInstance* self, CInstance* other, int argc, RValue* args);

// A compiled script: releases the result, sets it to the real 0, runs, and
// returns the result. Arguments come as argc pointers.
using TZQScript = ZQRValue& (*)(CInstance* self, CInstance* other, ZQRValue& result, int argc,
                                ZQRValue** args);

// One table entry: the registered name (at most 63 characters and a zero),
// the handler, the argument count (-1 any number), the registration flag and
// a reserved word (-1). The last two are stored and never read here. With
// 8-byte handlers an entry takes 88 bytes (80 where handlers take 4).
struct RFunction {
    char f_name[64];
    TRoutine f_routine;
    int32_t f_argnumb;
    uint32_t f_flag;
    int32_t f_reserved;
};
static_assert(offsetof(RFunction, f_routine) == 64, "entries begin with the 64-byte name");

// Function ids.
inline constexpr int32_t FUNCTION_ID_SCRIPT_BASE = 100000;
inline constexpr int32_t FUNCTION_ID_SCRIPT_EXECUTE = 499999; // "script_execute" in a bytecode game
inline constexpr int32_t FUNCTION_ID_EXTENSION_BASE = 500000;
// Entries are added in blocks of this many.
inline constexpr int32_t FUNCTION_TABLE_GROWTH = 500;

// The table: a memory-manager block of g_CurrentMaxLength entries, the_numb in use.
extern RFunction* the_functions;
extern int32_t the_numb;
extern int32_t g_CurrentMaxLength;

// The entry of the running built-in, set by the call gate around each call
// (or whatever the caller of the running gate had set); null outside calls.
extern RFunction* g_pFunction;

// Set when the game's code is compiled into the program (a bytecode game
// clears it). This runtime carries compiled code, so it starts set.
extern bool g_fZQC;

// Appends an entry; the table grows by FUNCTION_TABLE_GROWTH entries when
// full. A name longer than 63 bytes is cut to 63; a null name registers "".
// Duplicates are kept: lookups find the first. False when out of memory.
bool Function_Add(const char* name, TRoutine routine, int argc, bool flag);
// Replaces the handler of the first entry named exactly `name`; an unknown
// name changes nothing (false).
bool Function_Replace(const char* name, TRoutine routine);
// Resolves a name to a function id. *id is -1 first; a null or empty name
// gives false. In order: a script of that name (100000 + index), an extension
// function (500000 + id), "script_execute" in a bytecode game (499999), the
// first built-in of that name (its index).
bool Code_Function_Find(const char* name, int* id);
// The index of the first built-in named exactly `name`, or -1.
int Function_Find(const char* name);
// The argument count behind a function id: an extension's count, -1 for a
// script, -100 for an id that names no built-in, else the entry's count.
int Function_GetArguments(int id);
// The four fields of entry `index` (the name points at the entry); an index
// outside the table leaves the outputs unchanged.
void Code_Function_GET_the_function(int index, const char** name, TRoutine* routine, int* argc, int* flag);
// Frees the table (shut-down).
void FINALIZE_Code_Function();
// Puts the module's state back as the program started: an empty table, no
// running built-in, compiled code. The hooks stay: their owners install them.
void Function_Reset();

// Seams to the script table and the extension packages, which fill them when
// they are built. Each may be null: no scripts, no extension functions.
struct FunctionTableHooks {
    // The index of the script called `name` (the last of equal names), or -1.
    int (*scriptFind)(const char* name);
    // The compiled function of script `index`, or null when the index names no
    // script or the script has no compiled function.
    TZQScript (*scriptFunction)(int index);
    // The id n of the extension function called `name`, or -1.
    int (*extensionFind)(const char* name);
    // The argument count of extension function n, or -100.
    int (*extensionArguments)(int n);
    // How extension function n is called: 0 a native library function (its
    // library index in *libraryIndex), 2 through the extension call; -1 when
    // n names no extension function.
    int (*extensionCallKind)(int n, int* libraryIndex);
    // The native library call (result set to the real 0, then the call when
    // the index is valid and argc matches its count).
    void (*dllCall)(int libraryIndex, int argc, RValue* args, RValue* result);
    // The extension call with the function id 500000 + n.
    void (*extCall)(int id, int argc, RValue* args, RValue* result);
};
extern FunctionTableHooks g_FunctionTableHooks;

// One built-in of a module's table (modules of every layer contribute tables): the name scripts call it by
// and its routine.
struct GameBuiltinRow {
    const char* name;
    TRoutine routine;
};

// One entry of the registration order: name, argument count (-1 any number)
// and registration flag.
struct GameBuiltinEntry {
    const char* name;
    int argc;
    bool flag;
};
