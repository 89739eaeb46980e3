// Random-number built-ins over the core's generator: real ranges with the
// upper end excluded, integer ranges with both ends included (drawn from 63
// random bits), seeding, and choosing one of the arguments.
#pragma once

#include <cstdint>

struct ZQRValue;

// Two consecutive 32-bit draws: the second's low 31 bits above the first.
uint64_t Random_Draw63();
// An integer from 0 to n inclusive (n to 0 for a negative n). Computed in
// unsigned arithmetic, so the 64-bit limits are ranges like any other.
int64_t Random_IRandom(int64_t n);
// An integer from min(a, b) to max(a, b) inclusive.
int64_t Random_IRandomRange(int64_t a, int64_t b);
// The seed that randomize uses: from the wall clock in microseconds.
uint32_t Random_ClockSeed();

// Compiled code's direct calls.
double ZQVTL_random(double n);
double ZQVTL_random_range(double a, double b);
int32_t ZQVTL_irandom(int32_t n);
int32_t ZQVTL_irandom_range(int32_t a, int32_t b);
// Releases the result's previous contents and copies one of the values into
// it; no values give the real 0.
ZQRValue& ZQVTL_choose(ZQRValue& result, int argc, ZQRValue** args);

// Not called by the runtime: the 63-bit draw modulo |n|, negated for a
// negative n (0 for n = 0).
int64_t iScript_Random(int64_t n);
