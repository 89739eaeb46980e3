// The table of built-in variables: the instance variables and the global
// ones in their fixed order (their ids are that order), and the named
// constants scripts resolve after the resource names.
#pragma once

#include <cstdint>

// Registers every built-in variable into an emptied table: the instance ones
// (ids 0 to 84), the global ones (85 to 202), then the platform's (203 to 208).
void INITIALIZE_Variable_BuiltIn();
// Empties the named-constant table and registers the built-in vocabulary and
// the platform's constants (core/code_constants.h holds the table itself).
void INITIALIZE_Code_Constant();
// Frees every name and value of the constant table; it is empty afterwards.
void FINALIZE_Code_Constant();

// The global built-ins and the platform's, in registration order after the
// instance ones.
inline constexpr int GLOBAL_BUILTIN_COUNT = 118;
inline constexpr int PLATFORM_BUILTIN_COUNT = 6;

// The id of the first global built-in: ids below it are instance built-ins,
// which the variable built-ins that work on globals by name treat as not global.
extern int32_t g_nStartGlobalVariables;

// Registers the 85 instance built-ins in their fixed order; run first, on an
// empty built-in table, so they take ids 0 to 84. Defined with their routines
// (world/lifecycle/instance_variables.cpp).
void InitLocalVariables();
// Registers the global built-ins in their fixed order, then the platform's.
void InitGlobalVariables();
// The platform's six read-only built-ins: os_type, os_device, os_version,
// os_browser, browser_width, browser_height.
void InitTarvoBuiltInVariables();

// What os_type and Tarvo_GetPlatform read on this runtime: the value of the
// platform the runtime was made for (os_macosx), which games' window code
// knows and branches on; it stays the same on Linux so that a game behaves
// as it was written to.
inline constexpr int OS_TYPE_RUNTIME = 1;

// Sets g_pWorkingDirectory to the folder of g_pGameFileName, separator
// included (empty when the name has no folder). Only the first call acts: an
// already set working directory is kept. Defined beside the game file
// (world/datafile/working_directory.cpp).
void SetWorkingDirectory();
