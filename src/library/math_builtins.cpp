// Maths built-ins: the comparison tolerance.
#include "library/math_builtins.h"

#include "core/arguments.h"
#include "core/zq_rvalue.h"

void F_MathSetEpsilon(RValue&, CInstance*, CInstance*, int, RValue* args) {
    double epsilon = ZQGetReal(args, 0);
    if (!(epsilon >= 0.0 && epsilon < 1.0)) return; // NaN fails both tests
    if (epsilon == 0.0) epsilon = 1e-11;
    g_VTLMathEpsilon = epsilon;
    if (g_pSetLLVMVar != nullptr) g_pSetLLVMVar(1, &g_VTLMathEpsilon);
}
