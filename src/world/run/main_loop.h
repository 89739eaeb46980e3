// The main loop: one call per timer tick runs a frame (pacing, sound tick,
// one step, the pending room change) and answers the frame rate to aim at;
// starting, stopping, pausing and single-stepping the run.
#pragma once

#include <cstdint>

int64_t MainLoop_Process();
void Run_Start();
void Run_Stop();
void Run_Pause();
void Run_Step();
void SingleStep();
void MainLoop_Init();
void INITIALIZE_Main();
void FINALIZE_Run_Main();

// Frames counted in the last whole second.
extern int32_t Fps;
// The steps per second the current frame was paced for (60 by default).
extern int32_t g_RoomSpeed;
// Pending graphics resets: 2 or more partial ones, 1 a full one.
extern int32_t g_DoReset;
// Pace frames at all (true by default).
extern bool g_bRoomSpeedSync;
// Always sleep, never pace by vertical blanks (the timing-method built-in).
extern bool g_ForceSleepTiming;
// The vertical-blank interval the game asked for, and the one the buffer
// swap uses this frame.
extern int32_t g_Sync;
extern int32_t g_SyncInterval;
// The display's refresh rate in Hz (60 until the platform measures it).
extern double g_DisplayRefresh;

// The pacing decision of one frame.
struct SFramePacing {
    int64_t sleep;        // microseconds to wait before the step
    int32_t syncInterval; // vertical blanks the buffer swap waits
    bool blankPaced;      // the swap paces the frame instead of the sleep
};

// The pacing of a frame at `speed` steps per second (below 1 taken as 1)
// whose previous frame's work took `workMicros`: the wait that fills the
// frame period (at most one second), or, when `blankPacingAllowed` and the
// refresh rate is within 0.1 of n × speed for a whole n from 1 to 4 that the
// platform can wait, n vertical blanks and no sleep. Without vertical-blank
// pacing the swap uses g_Sync and the frame sleeps: it is never unpaced.
SFramePacing MainLoop_FramePacing(int speed, int64_t workMicros, bool blankPacingAllowed);

// Replaces the question whether the buffer swap can wait n vertical blanks
// (null: ask the platform). For tests.
using VBlankProbe = bool (*)(int blanks);
void MainLoop_SetVBlankProbe(VBlankProbe probe);
// The loop's speed, synchronisation and frame counting back to their start
// values and the platform's blank probe in use again (tests, and a fresh load).
void MainLoop_Reset();
