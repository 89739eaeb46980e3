// The two-argument forms of the fast paths the game's events call for min,
// max and choose, and the script `div` on values.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "core/zq_rvalue.h"
#include "library/math_builtins.h"
#include "library/random_builtins.h"

inline ZQRValue Game_Min(ZQRValue a, ZQRValue b) {
    ZQRValue result;
    ZQRValue* args[] = {&a, &b};
    ZQVTL_min(result, 2, args);
    return result;
}
inline ZQRValue Game_Max(ZQRValue a, ZQRValue b) {
    ZQRValue result;
    ZQRValue* args[] = {&a, &b};
    ZQVTL_max(result, 2, args);
    return result;
}
// choose(a, b, ...) over numbers.
inline ZQRValue Game_Choose(std::initializer_list<double> values) {
    ZQRValue held[8];
    ZQRValue* args[8];
    int n = 0;
    for (double v : values) {
        if (n == 8) break;
        held[n] = v;
        args[n] = &held[n];
        ++n;
    }
    ZQRValue result;
    ZQVTL_choose(result, n, args);
    return result;
}
// a div b: both converted to 64-bit integers, the quotient as a real. A
// divisor of 0 gives 0 and the one overflowing quotient wraps, rather than
// trapping.
inline ZQRValue Game_Div(const ZQRValue& a, const ZQRValue& b) {
    const int64_t n = a.ToInt64(), d = b.ToInt64();
    if (d == 0) return ZQRValue(0);
    if (d == -1) return ZQRValue(static_cast<double>(static_cast<int64_t>(0 - static_cast<uint64_t>(n))));
    return ZQRValue(static_cast<double>(n / d));
}
