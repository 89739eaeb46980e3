// The main loop on a fake clock: the pacing table (room speeds, refresh
// rates, with and without vertical blanks the platform can wait), the work
// time taken off the wait, frame counting, pausing and the room-change codes.
#include <gtest/gtest.h>

#include <vector>

#include "core/header_globals.h"
#include "core/run_globals.h"
#include "core/run_state.h"
#include "core/timing.h"
#include "core/timing_source.h"
#include "step_fixture.h"
#include "world/run/main_loop.h"
#include "world/step/event_passes.h"

namespace {

int64_t g_fakeNow = 0;
std::vector<int64_t> g_sleeps;
int g_maxBlanks = 0; // the fake platform waits 1..g_maxBlanks blanks

int64_t FakeNow() {
    return g_fakeNow;
}
void FakeSleep(int64_t us) {
    g_sleeps.push_back(us);
    g_fakeNow += us;
}
bool FakeBlanks(int blanks) {
    return blanks >= 1 && blanks <= g_maxBlanks;
}

int g_steps = 0;
void CountSteps(EStepPass pass) {
    if (pass == EStepPass::DeltaTime) ++g_steps;
}

class MainLoopTest : public StepScene {
protected:
    void SetUp() override {
        StepScene::SetUp();
        g_fakeNow = 1000000000;
        Timing_SetClock(&FakeNow, &FakeSleep);
        Timing_Init();
        m_margin = g_SleepMargin;
        g_SleepMargin = 0; // the fake sleep lands exactly; no spinning
        MainLoop_SetVBlankProbe(&FakeBlanks);
        g_maxBlanks = 0;
        g_DisplayRefresh = 60;
        g_ForceSleepTiming = false;
        g_bRoomSpeedSync = true;
        g_Sync = 0;
        g_SyncInterval = 0;
        Run_Paused = false;
        Run_Running = true;
        g_steps = 0;
        Step_SetObserver(&CountSteps);
        MainLoop_Init();
    }
    void TearDown() override {
        MainLoop_SetVBlankProbe(nullptr);
        Timing_SetClock(nullptr, nullptr);
        Timing_Init();
        g_SleepMargin = m_margin;
        g_isNimbar = false;
        g_GameTimer.SetFrameRate(0);
        Run_Running = false;
        Run_Paused = false;
        StepScene::TearDown();
    }

    // Runs one frame after `work` microseconds of work and returns the wait.
    int64_t Frame(int64_t work = 0) {
        g_fakeNow += work;
        g_sleeps.clear();
        MainLoop_Process();
        int64_t total = 0;
        for (int64_t s : g_sleeps) total += s;
        return total;
    }

    int32_t m_margin = 10;
};

struct PacingCase {
    int speed;
    double refresh;
    int maxBlanks; // what the platform can wait (0: no vertical blank)
    bool forceSleep;
    int64_t wait;
    int syncInterval;
};

TEST_F(MainLoopTest, PacingTable) {
    g_Sync = 0;
    const PacingCase cases[] = {
        {30, 60, 4, false, 0, 2},                                    // 2 blanks per step
        {30, 60, 0, false, 33333, 0},                                // no vertical blank: sleep
        {30, 60, 1, false, 33333, 0},                                // the driver refuses 2 blanks: sleep
        {60, 60, 4, false, 0, 1},      {50, 60, 4, false, 20000, 0}, // 1.2: not a whole multiple
        {30, 144, 4, false, 33333, 0},                               // 4.8 rounds to 5 > 4
        {30, 120, 4, false, 0, 4},                                   // exactly 4
        {1000, 60, 4, false, 1000, 0},                               // n = 0 would be unpaced: sleep
        {30, 60, 4, true, 33333, 0},                                 // forced sleeping
        {59, 59.94, 4, false, 0, 1},                                 // within 0.1 of a whole number
        {0, 60, 4, false, 1000000, 0},                               // speed 0 is 1: one second
    };
    for (const PacingCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "speed " << c.speed << " refresh " << c.refresh << " blanks "
                                        << c.maxBlanks << (c.forceSleep ? " forced" : ""));
        m_room->m_speed = c.speed;
        g_DisplayRefresh = c.refresh;
        g_maxBlanks = c.maxBlanks;
        g_ForceSleepTiming = c.forceSleep;
        g_SyncInterval = 3; // left over from an earlier frame
        EXPECT_EQ(Frame(), c.wait);
        EXPECT_EQ(g_SyncInterval, c.syncInterval);
    }
    EXPECT_EQ(m_room->m_speed, 1); // corrected in the room itself
}

TEST_F(MainLoopTest, SleepingFramesKeepTheGamesOwnSyncInterval) {
    g_Sync = 1;
    m_room->m_speed = 50;
    g_maxBlanks = 4;
    Frame();
    EXPECT_EQ(g_SyncInterval, 1);
    g_ForceSleepTiming = true;
    m_room->m_speed = 30;
    g_SyncInterval = 2;
    EXPECT_EQ(Frame(), 33333);
    EXPECT_EQ(g_SyncInterval, 1);
}

TEST_F(MainLoopTest, WorkTimeComesOffTheWaitAndOverrunsGetNone) {
    m_room->m_speed = 50;
    Frame();
    EXPECT_EQ(Frame(5000), 15000);
    EXPECT_EQ(Frame(25000), 0);
    EXPECT_EQ(Frame(0), 20000);
}

TEST_F(MainLoopTest, NoRoomPacesAtSixtyAndSyncOffDoesNotWait) {
    Run_Room = nullptr;
    EXPECT_EQ(Frame(), 16666);
    EXPECT_EQ(MainLoop_Process(), 60);
    g_bRoomSpeedSync = false;
    EXPECT_EQ(Frame(), 0);
    Run_Room = m_room.get();
}

// New-generation data paces by the game clock; a rate below 1 is taken as 1
// and a clock without a rate (real time) is paced at 60 by sleeping.
TEST_F(MainLoopTest, GameClockRatesNeverDivideByZeroNorRunUnpaced) {
    g_isNimbar = true;
    g_maxBlanks = 4;
    g_GameTimer.SetFrameRate(0.5);
    EXPECT_EQ(Frame(), 1000000);
    EXPECT_EQ(MainLoop_Process(), 1);
    g_GameTimer.SetFrameRate(30);
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(g_SyncInterval, 2);
    g_GameTimer.SetFrameRate(0);
    EXPECT_EQ(Frame(), 16666);
    EXPECT_EQ(g_SyncInterval, 0); // no vertical-blank pacing on a real-time clock
}

TEST_F(MainLoopTest, FramesAreCountedPerWholeSecondAlsoWhilePaused) {
    m_room->m_speed = 60;
    g_fakeNow = 5000000; // whole second 5 begins
    MainLoop_Init();
    for (int k = 0; k < 61; ++k) Frame(); // 61 × 16666 µs crosses into second 6
    EXPECT_EQ(Fps, 60);
    Run_Paused = true;
    const int steps = g_steps;
    for (int k = 0; k < 60; ++k) Frame();
    EXPECT_EQ(Fps, 60);
    EXPECT_EQ(g_steps, steps); // paused: no step
    Run_Paused = false;
    Frame();
    EXPECT_EQ(g_steps, steps + 1);
}

TEST_F(MainLoopTest, RoomChangeCodes) {
    MakeObjects(1);
    GiveEvent(0, EVENT_STEP, STEP_NORMAL);
    Create_Object_Lists();
    Add(0, 0, 0);
    int request = ROOM_NONE;
    Action() = [&](CInstance*, int, int) { New_Room = request; };

    request = ROOM_LOADGAME;
    Frame();
    EXPECT_EQ(New_Room, ROOM_NONE);
    EXPECT_TRUE(Run_Running);

    request = -7; // names no change
    Frame();
    EXPECT_EQ(New_Room, ROOM_NONE);
    EXPECT_TRUE(Run_Running);

    for (int code : {ROOM_ENDGAME, ROOM_ABORTGAME}) {
        Run_Running = true;
        request = code;
        New_Room = ROOM_NONE;
        EXPECT_EQ(MainLoop_Process(), 60);
        EXPECT_FALSE(Run_Running);
    }
}

TEST_F(MainLoopTest, SingleStepRunsOneStepWhilePaused) {
    Run_Paused = true;
    Run_Step();
    EXPECT_EQ(g_steps, 1);
    Run_Paused = false;
    Run_Step(); // not paused: nothing
    EXPECT_EQ(g_steps, 1);
}

TEST_F(MainLoopTest, StartResetsTheClockAndStop) {
    Run_Running = false;
    Run_Start();
    EXPECT_TRUE(Run_Running);
    EXPECT_FALSE(Run_Paused);
    EXPECT_EQ(Fps, 0);
    Run_Pause();
    EXPECT_TRUE(Run_Paused);
    Run_Stop();
    EXPECT_FALSE(Run_Running);
    EXPECT_FALSE(Run_Paused);
}

} // namespace
