// The runtime's microsecond clock and the frame sleep. The clock is monotonic,
// so setting the wall clock never makes frames jump.
#pragma once

#include <cstdint>

// The monotonic reading taken by Timing_Init.
extern int64_t timing_start;
// The wall clock (microseconds since the epoch) at Timing_Init, so that
// Timing_Time() + g_TimingStart approximates the current wall clock.
extern int64_t g_TimingStart;
// Milliseconds before a sleep's target at which sleeping stops and spinning
// begins (10 unless the command line or the game options set it).
extern int32_t g_SleepMargin;

void Timing_Init();
// Microseconds since Timing_Init (since an arbitrary origin before it).
int64_t Timing_Time();
// Sleeps `us` microseconds: at most 3 s; returns at once for 0 or less. Sleeps
// until g_SleepMargin ms before the target, then spins on the clock to hit it.
void Timing_Sleep(int64_t us);
// Sleeps about `us` microseconds (at most 3 s) through the sleep primitive
// alone, without spinning to the exact time: for waits where late is fine.
void Timing_Doze(int64_t us);

// The clock and the sleep primitive behind the functions above, replaceable so
// that tests drive them deterministically. Null restores the system's.
using TimingNowFunc = int64_t (*)(); // monotonic microseconds
using TimingSleepFunc = void (*)(int64_t us);
void Timing_SetClock(TimingNowFunc now, TimingSleepFunc sleep);

// Microseconds of the system's monotonic and wall clocks.
int64_t Timing_MonotonicMicros();
int64_t Timing_WallClockMicros();
