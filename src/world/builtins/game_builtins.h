// The game built-ins: instance queries and life, movement, motion planning,
// room and game control, saved games and the geometry tests.
#pragma once

#include <span>

#include "core/function_table.h"

// One built-in of a module's table: the name scripts call it by and its routine.
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

// Registers the 95 game built-ins in their fixed order (instance_create is
// left out for new-generation data), so their ids follow that order.
void InitGameFunctions();
// The registration order, instance_create included.
std::span<const GameBuiltinEntry> GameBuiltins_Order();
