// Timing on CLOCK_MONOTONIC. The clock and sleep hooks are atomics because the
// collector and audio threads read the clock while the main thread runs.
#include "core/timing.h"

#include <atomic>
#include <cerrno>
#include <ctime>

int64_t timing_start = 0;
int64_t g_TimingStart = 0;
int32_t g_SleepMargin = 10;

namespace {

constexpr int64_t kMaxSleepMicros = 3000000;

void SystemSleep(int64_t us) {
    if (us <= 0) return;
    timespec wait{static_cast<time_t>(us / 1000000), static_cast<long>(us % 1000000) * 1000L};
    timespec left{};
    while (clock_nanosleep(CLOCK_MONOTONIC, 0, &wait, &left) == EINTR) wait = left;
}

std::atomic<TimingNowFunc> s_now{&Timing_MonotonicMicros};
std::atomic<TimingSleepFunc> s_sleep{&SystemSleep};

} // namespace

int64_t Timing_MonotonicMicros() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

int64_t Timing_WallClockMicros() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

void Timing_SetClock(TimingNowFunc now, TimingSleepFunc sleep) {
    s_now.store(now != nullptr ? now : &Timing_MonotonicMicros, std::memory_order_release);
    s_sleep.store(sleep != nullptr ? sleep : &SystemSleep, std::memory_order_release);
}

void Timing_Init() {
    timing_start = s_now.load(std::memory_order_acquire)();
    g_TimingStart = Timing_WallClockMicros();
}

int64_t Timing_Time() {
    return s_now.load(std::memory_order_acquire)() - timing_start;
}

// Sleep to a margin before the target, then spin: the system sleep may
// overshoot by a scheduler slice, the spin does not. A clock that reads below
// the start (only a replaced clock can) ends the spin rather than hang it.
void Timing_Sleep(int64_t us) {
    if (us < 1) return;
    if (us > kMaxSleepMicros) us = kMaxSleepMicros;
    const int64_t start = Timing_Time();
    const int64_t end = start + us;
    // A negative margin would sleep past the target; it counts as none.
    const int64_t margin = g_SleepMargin > 0 ? static_cast<int64_t>(g_SleepMargin) * 1000 : 0;
    if (us - margin >= 1) s_sleep.load(std::memory_order_acquire)(us - margin);
    for (;;) {
        const int64_t now = Timing_Time();
        if (now >= end || now < start) break;
    }
}

void Timing_Doze(int64_t us) {
    if (us < 1) return;
    s_sleep.load(std::memory_order_acquire)(us > kMaxSleepMicros ? kMaxSleepMicros : us);
}
