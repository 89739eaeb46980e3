// Maths built-ins that the core's value comparisons depend on.
#pragma once

#include "core/function_table.h"

// math_set_epsilon(e): the tolerance of comparisons of script numbers becomes
// e when 0 <= e < 1 (0 is stored as 1e-11) and compiled code is told through
// g_pSetLLVMVar (code 1); any other value changes nothing.
void F_MathSetEpsilon(RValue& result, CInstance* self, CInstance* other, int argc, RValue* args);
