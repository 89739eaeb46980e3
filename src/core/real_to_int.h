// The runtime's one conversion from real to integer. C++ leaves casting NaN,
// an infinity or an out-of-range double to an integer undefined; every place
// that truncates or rounds a script real goes through these helpers instead.
#pragma once

#include <cmath>
#include <cstdint>

// Every helper below gives a defined result for every double:
//
//   input                              64-bit helpers        32-bit helpers
//   in range                           truncated / rounded   truncated / rounded
//   NaN                                INT64_MIN             INT32_MIN
//   +infinity, -infinity               INT64_MIN             INT32_MIN
//   outside the target range           INT64_MIN             INT32_MIN
//
// The most negative integer is what x86's conversion instructions produce for
// these inputs ("integer indefinite"), so scripts see the results the runtime
// has always shown (a NaN truncated to 64 bits reads -9223372036854775808).
// "In range" is judged after truncation (or rounding): -2147483648.9 truncates
// to INT32_MIN legitimately, 2147483647.9 to INT32_MAX.

// Truncation toward zero to 64 bits; range [-2^63, 2^63).
inline int64_t RealToInt64(double d) {
    if (d >= -9223372036854775808.0 && d < 9223372036854775808.0) return static_cast<int64_t>(d);
    return INT64_MIN;
}

// Truncation toward zero to 32 bits; range (-2^31 - 1, 2^31).
inline int32_t RealToInt32(double d) {
    if (d > -2147483649.0 && d < 2147483648.0) return static_cast<int32_t>(d);
    return INT32_MIN;
}

// Truncation through 64 bits keeping the low 32 bits, as the argument getters
// read integers: 3000000000.0 gives -1294967296, -1.0 as unsigned 4294967295.
// NaN and values outside the 64-bit range give 0 (the low half of INT64_MIN).
inline int32_t RealToInt32Wrapped(double d) {
    return static_cast<int32_t>(static_cast<uint32_t>(RealToInt64(d)));
}
inline uint32_t RealToUint32Wrapped(double d) {
    return static_cast<uint32_t>(RealToInt64(d));
}

// Rounding to the nearest integer, halves to even (the default rounding mode),
// with the same results as above for NaN, infinities and out-of-range values.
inline int64_t RealRoundToInt64(double d) {
    return RealToInt64(std::nearbyint(d));
}
inline int32_t RealRoundToInt32(double d) {
    return RealToInt32(std::nearbyint(d));
}
