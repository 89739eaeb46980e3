// The game built-ins: instance queries and life, movement, motion planning,
// room and game control, saved games and the geometry tests.
#pragma once

#include <span>

#include "core/function_table.h"

// GameBuiltinRow and GameBuiltinEntry, the rows of the tables, are in
// core/function_table.h, beside the table they fill.

// Registers the 95 game built-ins in their fixed order (instance_create is
// left out for new-generation data), so their ids follow that order.
void InitGameFunctions();
// The registration order, instance_create included.
std::span<const GameBuiltinEntry> GameBuiltins_Order();
