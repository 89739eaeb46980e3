// The three-way comparison of script values across kinds, with a tolerance
// for numbers. Every data structure, the sorting built-ins and compiled
// code's ordering and equality comparisons decide through it.
#pragma once

#include "core/rvalue.h"

// ZQCompareVal(a, b, epsilon) -> -1, 0 or 1.
//
// Contract, by the kinds of a and b (kind words masked to 24 bits, so the
// nested-structure marks never matter):
//   - real or bool against real or bool: d = a - b; the sign of d when
//     |d| > epsilon, else 0 (a NaN difference gives 0);
//   - real against int32: both in single precision, d computed in single
//     precision, then as above;
//   - int32, int64 or bool against int32, int64 or bool, and real against
//     int64: compared as integers without tolerance (a real or bool side is
//     truncated toward zero, to 32 bits against an int32, to 64 bits against
//     an int64);
//   - string against string: byte order (strcmp); a value without a record or
//     text reads as the empty text;
//   - two values of any other same kind: 0 when they hold the same thing
//     (the same array record, pointer or object; undefined, null and unset
//     are each equal to themselves), otherwise an order by address (a lower
//     pointer sorts after a higher one, as pointers always have);
//   - different kinds otherwise: numbers (real, int32, int64, bool) before
//     every other kind, then by kind number.
//
// Guarantees: ZQCompareVal(a, a) is 0 and ZQCompareVal(b, a) is
// -ZQCompareVal(a, b) for every pair. Equality is NOT transitive (the
// tolerance, and mixed integer/real truncation, make 1.0 ~ 1.0+e/2 ~ 1.0+e
// without 1.0 ~ 1.0+e), so the order is not a strict weak order in general:
// callers that sort must use an algorithm that stays within bounds for any
// comparator (merge or insertion sort, never std::sort).
int ZQCompareVal_Slow(const RValue& a, const RValue& b, double epsilon);

inline int ZQCompareVal(const RValue& a, const RValue& b, double epsilon) {
    // Two reals: the innermost comparison of compiled code and of sorting.
    if (((a.kind | b.kind) & MASK_KIND_RVALUE) == VALUE_REAL) {
        double d = a.val - b.val;
        if (d > epsilon) return 1;
        if (d < -epsilon) return -1;
        return 0; // within the tolerance, or NaN
    }
    // Two int32s: loop counters and indices.
    if ((a.kind & MASK_KIND_RVALUE) == VALUE_INT32 && (b.kind & MASK_KIND_RVALUE) == VALUE_INT32)
        return (a.v32 > b.v32) - (a.v32 < b.v32);
    return ZQCompareVal_Slow(a, b, epsilon);
}
