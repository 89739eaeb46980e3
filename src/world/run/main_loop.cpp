// The main loop: frame pacing (sleeping to a margin before the frame is due,
// or letting the buffer swap wait vertical blanks), frame counting, the sound
// tick, one step between the renderer's frame brackets, and the pending room
// change; with the start, stop, pause and single-step operations.
#include "world/run/main_loop.h"

#include <cmath>

#include "core/console.h"
#include "core/header_globals.h"
#include "core/memory_manager.h"
#include "core/random.h"
#include "core/real_to_int.h"
#include "core/run_globals.h"
#include "core/run_settings.h"
#include "core/run_state.h"
#include "core/timing.h"
#include "core/timing_source.h"
#include "room/room.h"
#include "world/input/input_state.h"
#include "world/instances/instance.h"
#include "world/run/room_transitions.h"
#include "world/run/startup.h"
#include "world/step/step.h"
#include "world/step/step_services.h"

int32_t Fps = 0;
int32_t g_RoomSpeed = 60;
int32_t g_DoReset = 0;
bool g_bRoomSpeedSync = true;
bool g_ForceSleepTiming = false;
int32_t g_Sync = 0;
int32_t g_SyncInterval = 0;
double g_DisplayRefresh = 60.0;

namespace {

constexpr int32_t kDefaultSpeed = 60;
constexpr int64_t kMaxFrameWait = 1000000; // one second
constexpr int kMaxBlanks = 4;
constexpr uint32_t kRestartSeed = 2101988;

// Frame clock (microseconds of Timing_Time).
int64_t g_LastTime = 0;    // when the previous frame's wait ended
int64_t g_LastFpsTime = 0; // start of the current counting second
int32_t g_NewFps = 0;      // frames counted in it

VBlankProbe g_VBlankProbe = nullptr;

bool CanWaitBlanks(int blanks) {
    return g_VBlankProbe != nullptr ? g_VBlankProbe(blanks) : Platform_CanWaitVBlanks(blanks);
}

// The steps per second of this frame. New-generation data runs on the game
// clock: its rate truncated, at least 1 (a rate below 1 would otherwise give
// a frame period of 1 / 0); a clock without a fixed rate measures real time
// and gives no speed to pace by, so such a frame is paced at 60 by sleeping.
// Older data runs at the room's speed, corrected to 1 in the room when it is
// 0 or less, or 60 without a room.
int32_t FrameSpeed(bool* blankPacingAllowed) {
    *blankPacingAllowed = true;
    if (g_isNimbar) {
        if (g_GameTimer.GetFrameRate() > 0.0) {
            const int64_t fps = RealToInt64(g_GameTimer.GetFPS());
            return fps < 1 ? 1 : fps > INT32_MAX ? INT32_MAX : static_cast<int32_t>(fps);
        }
        *blankPacingAllowed = false;
        return kDefaultSpeed;
    }
    CRoom* room = Run_Room;
    if (room == nullptr) return kDefaultSpeed;
    if (room->m_speed <= 0) room->m_speed = 1;
    return room->m_speed;
}

// -100 and -400 stop the run (false); -200 restarts the game, -300 loads the
// saved game, a room index switches to that room. Other negative codes name
// no change and are dropped.
bool ActOnRoomChange() {
    const int32_t change = New_Room;
    if (change == ROOM_NONE) return true;
    if (change == ROOM_ENDGAME || change == ROOM_ABORTGAME) {
        Run_Running = false;
        return false;
    }
    if (change == ROOM_RESTARTGAME) {
        Run_EndGame();
        GamePadRestart();
        StartGame();
        InitRandom(kRestartSeed);
    } else if (change == ROOM_LOADGAME) {
        New_Room = ROOM_NONE;
        IO_Clear();
        LoadGame();
    } else if (change >= 0) {
        SwitchRoom(change);
    } else {
        New_Room = ROOM_NONE;
    }
    return true;
}

void ResetFrameClock() {
    const int64_t now = Timing_Time();
    g_LastTime = now;
    g_LastFpsTime = now;
    Fps = 0;
    g_NewFps = 0;
}

} // namespace

void MainLoop_SetVBlankProbe(VBlankProbe probe) {
    g_VBlankProbe = probe;
}

// n is the whole number nearer to refresh / speed. n = 0 (a speed above
// twice the refresh rate) cannot be waited for, and a swap interval the
// platform refuses would leave the frame unpaced: both sleep instead, with
// the game's own interval, never one left over from earlier blank pacing.
SFramePacing MainLoop_FramePacing(int speed, int64_t workMicros, bool blankPacingAllowed) {
    if (speed < 1) speed = 1;
    float wait = 1000000.0f / static_cast<float>(speed) - static_cast<float>(workMicros);
    if (!(wait >= 0.0f)) wait = 0.0f;
    int64_t sleep = RealToInt64(wait);
    if (sleep > kMaxFrameWait || sleep < 0) sleep = kMaxFrameWait;
    SFramePacing pacing{sleep, g_Sync, false};
    if (g_ForceSleepTiming || !blankPacingAllowed) return pacing;
    const double r = g_DisplayRefresh / speed;
    double n = std::floor(r);
    double d = r - n;
    if (1.0 - d < d) {
        n = std::ceil(r);
        d = 1.0 - d;
    }
    if (d < 0.1 && n >= 1.0 && n <= kMaxBlanks && CanWaitBlanks(static_cast<int>(n))) {
        pacing.sleep = 0;
        pacing.syncInterval = static_cast<int32_t>(n);
        pacing.blankPaced = true;
    }
    return pacing;
}

// One frame. The wait is computed from the time the previous frame's work
// took, so work and wait together fill one frame period. While paused the
// frame still paces, counts and ticks the sound, but runs no step and acts
// on no room change.
int64_t MainLoop_Process() {
    MemoryManager::Memory_Tick();
    const int64_t curtime = Timing_Time();
    if (curtime < g_LastTime) g_LastTime = curtime; // the clock went back

    bool blankPacingAllowed = true;
    if (g_isNimbar) g_GameTimer.Update();
    g_RoomSpeed = FrameSpeed(&blankPacingAllowed);

    if (g_bRoomSpeedSync) {
        const SFramePacing pacing =
            MainLoop_FramePacing(g_RoomSpeed, curtime - g_LastTime, blankPacingAllowed);
        g_SyncInterval = pacing.syncInterval;
        Timing_Wait(pacing.sleep);
    }

    // The frame that opens a new second counts toward that second.
    const int64_t now = Timing_Time();
    g_LastTime = now;
    if (now < g_LastFpsTime) g_LastFpsTime = now;
    if (now / 1000000 > g_LastFpsTime / 1000000) {
        Fps = g_NewFps;
        g_NewFps = 1;
        g_LastFpsTime = now;
    } else {
        ++g_NewFps;
    }

    Sound_Tick();
    if (!Run_Paused) {
        if (g_DoReset >= 2) {
            Graphics_PartialReset();
            --g_DoReset;
        } else if (g_DoReset == 1) {
            Graphics_FullReset();
            g_DoReset = 0;
        }
        GR_D3D_Start_Frame();
        DoAStep();
        IO_Render();
        // A frame whose step asked for a room change drew nothing.
        GR_D3D_Finish_Frame(New_Room == ROOM_NONE && Draw_Automatic);
        if (g_pExecuteGame != nullptr) {
            New_Room = ROOM_ABORTGAME;
            Run_Running = false;
            return kDefaultSpeed;
        }
        if (!ActOnRoomChange()) return kDefaultSpeed;
    }
    TickDebugger();
    bool ignored = true;
    return FrameSpeed(&ignored);
}

void MainLoop_Init() {
    ResetFrameClock();
    ProcessMessages();
    init_csol->Output("**********************************.\n");
    init_csol->Output("Entering main loop.\n");
    init_csol->Output("**********************************.\n");
    g_VTL_LastTime = Timing_Time();
}

void Run_Start() {
    if (!Run_Running) {
        Run_Running = true;
        StartGame();
    }
    Run_Running = true;
    Run_Paused = false;
    MainLoop_Init();
}

// Outside debug mode stopping ends the game and the application; in debug
// mode the run stays alive for the tools.
void Run_Stop() {
    Run_Running = false;
    Run_Paused = false;
    if (DebugMode) return;
    Run_EndGame();
    Run_Terminate();
}

void Run_Pause() {
    Run_Paused = true;
}

void Run_Step() {
    if (Run_Running && Run_Paused) SingleStep();
}

void SingleStep() {
    ProcessMessages();
    DoAStep();
    if (New_Room == ROOM_NONE && Draw_Automatic) {
        GR_D3D_Finish_Frame(true);
        GR_D3D_Start_Frame();
    }
    if (!ActOnRoomChange()) return;
    ProcessMessages();
}

void INITIALIZE_Main() {
    g_InstanceChangeArray.Clear();
    g_InstanceChangeDepth.Clear();
}

void FINALIZE_Run_Main() {
    Run_FreeCarriedInstances();
}

void MainLoop_Reset() {
    Fps = 0;
    g_RoomSpeed = kDefaultSpeed;
    g_DoReset = 0;
    g_bRoomSpeedSync = true;
    g_ForceSleepTiming = false;
    g_Sync = 0;
    g_SyncInterval = 0;
    g_DisplayRefresh = 60.0;
    g_LastTime = 0;
    g_LastFpsTime = 0;
    g_NewFps = 0;
    g_VBlankProbe = nullptr;
}
