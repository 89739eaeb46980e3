// The frame clock on a fake core clock, and the legacy "#" texts.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "core/header_globals.h"
#include "core/timing.h"
#include "core/timing_source.h"

namespace {
int64_t g_fakeNow = 0;
int64_t FakeNow() {
    return g_fakeNow;
}
void FakeSleep(int64_t us) {
    g_fakeNow += us;
}

class FakeClock : public ::testing::Test {
protected:
    void SetUp() override {
        g_fakeNow = 1000000;
        Timing_SetClock(FakeNow, FakeSleep);
    }
    void TearDown() override { Timing_SetClock(nullptr, nullptr); }
};
} // namespace

TEST_F(FakeClock, FixedRateIgnoresTheWallClock) {
    CTimingSource clock;
    clock.SetFrameRate(60);
    for (int i = 0; i < 10; ++i) {
        g_fakeNow += 50000; // late frames make no difference
        clock.Update();
    }
    EXPECT_EQ(clock.GetTotalTime(), 166660);
    EXPECT_EQ(clock.GetLastDelta(), 16666);
    EXPECT_DOUBLE_EQ(clock.GetFPS(), 60.0);
}

TEST_F(FakeClock, RatesAreKeptWhereThePeriodFitsTheClock) {
    struct Case {
        double rate;
        double kept;
        int64_t period; // microseconds a frame; 0: real time
    } cases[] = {
        {1.2e-38, 0.001, 1000000000},  // tiny: one frame in 1000 s, not an overflow
        {4.9e-324, 0.001, 1000000000}, // the smallest denormal
        {1e300, 1000000.0, 1},         // huge: still a clock that advances
        {std::numeric_limits<double>::infinity(), 1000000.0, 1},
        {std::numeric_limits<double>::quiet_NaN(), 0.0, 0},
        {-5.0, -5.0, 0},
        {60.0, 60.0, 16666},
    };
    for (const Case& c : cases) {
        CTimingSource clock;
        clock.SetFrameRate(c.rate);
        EXPECT_EQ(clock.GetFrameRate(), c.kept) << c.rate;
        for (int i = 0; i < 1000; ++i) clock.Update();
        if (c.period != 0) {
            EXPECT_EQ(clock.GetLastDelta(), c.period) << c.rate;
        }
        EXPECT_GE(clock.GetTotalTime(), 0) << c.rate;
    }
}

TEST_F(FakeClock, RealTimeMeasuresTheDelta) {
    CTimingSource clock;
    EXPECT_DOUBLE_EQ(clock.GetFPS(), 30.0) << "no frame measured yet";
    clock.SetFrameRate(0);
    g_fakeNow += 25000;
    clock.Update();
    g_fakeNow += 25000;
    clock.Update();
    EXPECT_DOUBLE_EQ(clock.GetFPS(), 40.0);
    EXPECT_EQ(clock.GetTotalTime(), 50000);
    clock.Reset();
    EXPECT_DOUBLE_EQ(clock.GetFPS(), 30.0);
    EXPECT_EQ(clock.GetTotalTime(), 0);
}

TEST(StringReplaceHash, LegacyHashesBecomeLineFeeds) {
    struct Case {
        const char* in;
        const char* out;
        int characters;
    } cases[] = {
        {"a#b", "a\nb", 3},
        {"a\\#b", "a#b", 3},
        {"#x", "\nx", 2},
        {"\\##", "#\n", 2},
        {"\xC3\xA9#", "\xC3\xA9\n", 2},
    };
    g_isNimbar = false;
    for (const Case& c : cases) {
        char buffer[32];
        std::strcpy(buffer, c.in);
        EXPECT_EQ(String_Replace_Hash(buffer), c.characters) << c.in;
        EXPECT_STREQ(buffer, c.out) << c.in;
    }
    // A sequence cut short by the terminator is kept, never grown past the buffer.
    char cut[] = {'a', '\xE2', '\0'};
    EXPECT_EQ(String_Replace_Hash(cut), 2);
    EXPECT_STREQ(cut, "a\xE2");

    g_isNimbar = true;
    char modern[] = "a#b";
    EXPECT_EQ(String_Replace_Hash(modern), 3);
    EXPECT_STREQ(modern, "a#b");
    g_isNimbar = false;
    EXPECT_EQ(String_Replace_Hash(nullptr), 0);
}
