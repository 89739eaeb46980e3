// The frame sleep, driven by a fake clock so that nothing depends on the
// machine's speed: which sleep is requested, and that the spin ends on time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "core/timing.h"

namespace {

int64_t s_fakeNow = 0;
int64_t s_tick = 0;           // added to the clock on every reading
int64_t s_jumpAfterSleep = 0; // added to the clock after a sleep
std::vector<int64_t> s_sleeps;

int64_t FakeNow() {
    const int64_t now = s_fakeNow;
    s_fakeNow += s_tick;
    return now;
}

void FakeSleep(int64_t us) {
    s_sleeps.push_back(us);
    s_fakeNow += us + s_jumpAfterSleep;
}

class TimingSleep : public ::testing::Test {
protected:
    void SetUp() override {
        s_fakeNow = 1000000;
        s_tick = 50;
        s_jumpAfterSleep = 0;
        s_sleeps.clear();
        savedMargin = g_SleepMargin;
        Timing_SetClock(&FakeNow, &FakeSleep);
        Timing_Init();
    }
    void TearDown() override {
        g_SleepMargin = savedMargin;
        Timing_SetClock(nullptr, nullptr);
        Timing_Init();
    }
    int32_t savedMargin = 10;
};

} // namespace

TEST_F(TimingSleep, SleepsToTheMarginThenSpinsToTheTarget) {
    struct Case {
        int64_t duration;
        int32_t margin;
        std::vector<int64_t> sleeps; // the sleeps requested
        int64_t spinsTo;             // the clock reaches at least this after start
    };
    const Case cases[] = {
        {0, 10, {}, 0},
        {-20, 10, {}, 0},
        {8000, 10, {}, 8000},   // inside the margin: no sleep, all spin
        {10000, 10, {}, 10000}, // duration - margin must be at least 1
        {10001, 10, {1}, 10001},
        {50000, 10, {40000}, 50000},
        {50000, 0, {50000}, 50000},
        {50000, -4, {50000}, 50000},       // a negative margin counts as none
        {5000000, 10, {2990000}, 3000000}, // cut to three seconds
    };
    for (const Case& c : cases) {
        s_sleeps.clear();
        g_SleepMargin = c.margin;
        const int64_t start = Timing_Time();
        Timing_Sleep(c.duration);
        const int64_t elapsed = Timing_Time() - start;
        EXPECT_EQ(s_sleeps, c.sleeps) << "duration " << c.duration << " margin " << c.margin;
        EXPECT_GE(elapsed, c.spinsTo) << "duration " << c.duration;
        // The spin stops within a few clock readings of the target.
        if (c.spinsTo > 0) {
            EXPECT_LT(elapsed, c.spinsTo + 4 * s_tick) << "duration " << c.duration;
        }
    }
}

TEST_F(TimingSleep, AClockThatGoesBackEndsTheSpin) {
    s_jumpAfterSleep = -10000000; // the clock falls far below the start while sleeping
    g_SleepMargin = 10;
    Timing_Sleep(50000); // returns instead of spinning for ten seconds of fake time
    EXPECT_EQ(s_sleeps.size(), 1u);
}

TEST_F(TimingSleep, TimeCountsFromInit) {
    s_tick = 0;
    s_fakeNow = 5000000;
    Timing_Init();
    s_fakeNow += 1234;
    EXPECT_EQ(Timing_Time(), 1234);
    EXPECT_EQ(timing_start, 5000000);
}

// The system clock: monotonic, and Timing_Time plus g_TimingStart reads as the
// wall clock (as the randomize built-in uses it). Only loose bounds.
TEST(Timing, SystemClockIsMonotonicAndAnchoredToTheWallClock) {
    Timing_Init();
    int64_t last = Timing_Time();
    for (int i = 0; i < 1000; ++i) {
        const int64_t now = Timing_Time();
        ASSERT_GE(now, last);
        last = now;
    }
    const int64_t wall = Timing_WallClockMicros();
    EXPECT_LT(std::abs(Timing_Time() + g_TimingStart - wall), 5000000);
    const int64_t before = Timing_Time();
    Timing_Sleep(2000);
    EXPECT_GE(Timing_Time() - before, 2000);
}
