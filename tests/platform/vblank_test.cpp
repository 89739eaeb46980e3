// The derived vertical-blank count and the wait before a swap, on a fake clock.
#include <gtest/gtest.h>

#include <vector>

#include "core/timing.h"
#include "platform/vblank.h"
#include "world/run/main_loop.h"
#include "world/step/step_services.h"

namespace {

int64_t g_now = 0;
std::vector<int64_t> g_sleeps;
int64_t FakeNow() {
    return g_now;
}
void FakeSleep(int64_t us) {
    g_sleeps.push_back(us);
    g_now += us;
}

class VBlankTest : public testing::Test {
protected:
    void SetUp() override {
        g_now = 1000000;
        Timing_SetClock(&FakeNow, &FakeSleep);
        Timing_Init();
        m_margin = g_SleepMargin;
        g_SleepMargin = 0;
        g_sleeps.clear();
    }
    void TearDown() override {
        VBlank_SetRefreshRate(0);
        g_DisplayRefresh = 60.0;
        g_SleepMargin = m_margin;
        Timing_SetClock(nullptr, nullptr);
        Timing_Init();
    }
    int32_t m_margin = 0;
};

TEST_F(VBlankTest, WaitsSleepToTheBlankAndCountOnWhileNobodyWaits) {
    VBlank_SetRefreshRate(60);
    EXPECT_EQ(g_DisplayRefresh, 60.0) << "the main loop paces by the same rate";
    WaitForVBlank(0);
    EXPECT_TRUE(g_sleeps.empty()) << "a count of 0 returns at once";
    EXPECT_EQ(g_LastVSync, VBlank_Count());

    // Right after a wait, two blanks at 60 Hz are 33,334 µs away (rounded up
    // to the blank's microsecond), slept in one go, never spun.
    const int64_t before = g_now;
    const int32_t last = g_LastVSync;
    WaitForVBlank(2);
    EXPECT_EQ(g_LastVSync, last + 2);
    EXPECT_EQ(g_now - before, 33334);
    EXPECT_EQ(g_sleeps.size(), 1u);
    EXPECT_EQ(g_LastVSync, VBlank_Count());

    // A minimised second: the count runs on, so the next wait returns at once.
    g_now += 1000000;
    g_sleeps.clear();
    const int32_t beforeRestore = g_LastVSync;
    WaitForVBlank(1);
    EXPECT_EQ(g_LastVSync, beforeRestore + 60);
    EXPECT_TRUE(g_sleeps.empty());
    EXPECT_EQ(g_LastVSync, VBlank_Count());
}

TEST_F(VBlankTest, AnUnknownRateNeverWaitsAndIsNotOfferedForPacing) {
    VBlank_SetRefreshRate(0); // the offscreen driver and Xvfb report 0 Hz
    WaitForVBlank(3);
    EXPECT_TRUE(g_sleeps.empty());
    EXPECT_FALSE(Platform_CanWaitVBlanks(1));
    VBlank_SetRefreshRate(60);
    EXPECT_FALSE(Platform_CanWaitVBlanks(1)) << "no window: nothing is presented";
}

TEST_F(VBlankTest, AClockThatGoesBackKeepsTheCount) {
    VBlank_SetRefreshRate(50);
    const int32_t start = VBlank_Count();
    g_now += 100000; // 5 blanks
    EXPECT_EQ(VBlank_Count(), start + 5);
    Timing_Init(); // start-up restarts the runtime's clock
    EXPECT_EQ(VBlank_Count(), start + 5);
    g_now += 20000;
    EXPECT_EQ(VBlank_Count(), start + 6);
}

} // namespace
