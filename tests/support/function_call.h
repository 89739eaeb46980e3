// Calling a registered built-in by its script name as the call gate does:
// found in the function table, run inside a call scope, with values that
// release themselves.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "core/arguments.h"
#include "core/function_table.h"
#include "core/zq_rvalue.h"

inline ZQRValue Call(const char* name, std::vector<ZQRValue> args = {}, CInstance* self = nullptr) {
    ZQRValue result;
    const int index = Function_Find(name);
    EXPECT_GE(index, 0) << name;
    if (index < 0) return result;
    const int argc = static_cast<int>(args.size());
    ZQBuiltinCall call(&the_functions[index], args.data(), argc);
    the_functions[index].f_routine(result, self, nullptr, argc, args.data());
    return result;
}

// The number a call answered; the check fails for any other kind.
inline double Num(const ZQRValue& v) {
    EXPECT_EQ(v.Kind(), VALUE_REAL);
    return v.val;
}
