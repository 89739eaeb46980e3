// Named constants: the one table of names scripts and configuration texts
// resolve to fixed values (colours, key codes, event numbers, ...), its
// built-in vocabulary, and the lookup that asks the resource tables first.
#pragma once

#include <cstdint>

struct RValue;

// The built-in vocabulary INITIALIZE_Code_Constant registers first, and the
// platform's constants registered right after it.
inline constexpr int CODE_CONSTANT_BUILTIN_COUNT = 512;
inline constexpr int CODE_CONSTANT_PLATFORM_COUNT = 93;

// INITIALIZE_Code_Constant and FINALIZE_Code_Constant: core/builtin_variables.h.
// The platform's constants (operating systems, devices, browsers, ...); the
// constants initialiser runs it after the vocabulary.
void InitTarvoFunctionConstants();

// Appends an entry holding a copy of the name and a copy of the value (value
// copy rules). Names are not unique: the latest registration of a name wins.
void AddConstant(const char* name, const RValue* value);
void AddRealConstant(const char* name, double number);
void AddStringConstant(const char* name, const char* text);

// A game or extension constant: the name is trimmed and must be an ASCII
// identifier (letter or underscore, then letters, digits, underscores). A
// valid name is registered with the real 0 whatever its text says, and gives
// true; an invalid one shows "Constant name %s  is not valid." and gives
// false, registering nothing.
bool Code_Constant_Add(const char* name, const char* text);
// Registers the options chunk's constants in order; false at the first
// invalid name (the ones before it stay registered). Defined with the
// resource lookup above the core (world/run/code_constant_sources.cpp).
bool Code_Constant_Prepare();
// The index of the first resource named `name` (sprites, sounds, objects,
// audio, backgrounds, paths, fonts, timelines, scripts, rooms, shaders, in
// that order), or -1.
int Code_Constant_FindResource(const char* name);

// Resolves a name for scripts: `value` becomes the real -1, then the index of
// the first resource so named (sprites, sounds, objects, audio, backgrounds,
// paths, fonts, timelines, scripts, rooms, shaders, in that order), else a
// copy of the latest constant so named (exact, case-sensitive). False, with
// the -1 kept, when nothing has the name.
bool Code_Constant_Find(const char* name, RValue* value);
// The latest constant whose name equals `name` ignoring ASCII case, or null.
// Resources are not consulted.
const RValue* Code_Constant_Find_IgnoreCase(const char* name);

// The number of entries and entry i's name and value (null outside the table).
int Code_Constant_Count();
const char* Code_Constant_Name(int index);
const RValue* Code_Constant_Value(int index);
