// The instance built-in variables (x, speed, alarm, sprite_index, path_*,
// phy_*, layer, ...): their getters and setters and their registration, which
// fixes their ids 0 to 84. Also the run-wide values registered with them.
#pragma once

#include <cstdint>

#include "core/builtin_variables.h"

// The number of names InitLocalVariables registers.
inline constexpr int INSTANCE_BUILTIN_COUNT = 85;

// The map id of the asynchronous result being delivered (-1 outside such an
// event), and of the gesture or animation event being delivered.
extern int32_t g_HTTP_AsyncLoad;
extern int32_t g_Generic_EventData;
// Microseconds between the starts of the previous step and this one.
extern int64_t g_VTL_DeltaTime;

// InitLocalVariables, which registers them, is declared with the registration
// of the others (core/builtin_variables.h).
