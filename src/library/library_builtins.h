// The general library's built-ins as their families offer them: each family
// keeps a table of rows naming its built-ins as scripts call them, and the
// registration (library/library_registration.cpp) puts them into the
// function table in the fixed order of their ids.
#pragma once

#include <span>

#include "core/function_table.h"

// One built-in of a family: the name scripts call it by and its handler.
struct LibraryBuiltinRow {
    const char* name;
    TRoutine routine;
};

// One row of a registration order: name and argument count (-1 any number).
struct LibraryOrderRow {
    const char* name;
    int argc;
};

// The families' tables.
std::span<const LibraryBuiltinRow> MathBuiltins();
std::span<const LibraryBuiltinRow> StringBuiltins();
std::span<const LibraryBuiltinRow> ArrayBuiltins(); // type tests and arrays
std::span<const LibraryBuiltinRow> RandomBuiltins();
std::span<const LibraryBuiltinRow> EventBuiltins(); // events, debug, alarms, variables
std::span<const LibraryBuiltinRow> DateBuiltins();  // dates and game speed
// Built-ins of modules the library registers for (native extensions, the
// platform window, clipboard and priority, the interpreter's call stack).
std::span<const LibraryBuiltinRow> ExternalBuiltins();
std::span<const LibraryBuiltinRow> PlatformBuiltins();
std::span<const LibraryBuiltinRow> VMBuiltins();

// The registration orders, every row included (the external-call rows
// too, which InitMiscFunctions skips when g_SteamWorkshop is set).
std::span<const LibraryOrderRow> MathFunctions_Order();
std::span<const LibraryOrderRow> MiscFunctions_Order();

// The handler registered for a name (first family that has it), or null.
TRoutine LibraryBuiltin_Find(const char* name);

// Registrars the start sequence calls right after the header (declared for
// the start-up in world/startup_services.h as well).
void InitMathFunctions();
void InitMiscFunctions();
