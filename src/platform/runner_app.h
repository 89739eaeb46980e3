// The application: process entry on SDL2, finding the game data file, and the
// engine-state machine that a repeating tick advances: the first start pass
// (5), the splash (6 to 8), the second start pass (9), the running game (11,
// one main-loop frame per tick) and the end (12, 13). Window events drive
// it: a minimised window runs no step, closing the window or quitting ends
// the game, focus raises and clears the OS pause flag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Engine states.
enum EEngineState : int {
    kStateExpandArchive = 3,
    kStateFirstPass = 5,
    kStateSplashWait = 6,
    kStateSplashShow = 7,
    kStateSplashHold = 8,
    kStateSecondPass = 9,
    kStateIdle = 10,
    kStateRunning = 11,
    kStateEnding = 12,
    kStateQuit = 13,
};

// The tick's interval: 1/6000 s rounded to single precision, widened.
inline constexpr double kTimerInterval = static_cast<double>(1.0f / 6000.0f);

// Set while the main window does not have the keyboard focus.
extern bool g_OSPauseEventRaised;
// True until the first restart.
extern bool g_FirstRun;
// The process's arguments, kept for the start sequence.
extern int g_argc;
extern const char* const* g_argv;

class Mac_RunnerAppDelegate {
public:
    int engineState() const { return m_engineState; }
    void enterState(int state);
    bool beenInStateForSecs(float seconds) const;
    // Chooses the game file and the first state.
    void startGame();
    // One tick: unless minimised, one step of the machine.
    void timerFunc();
    void performGameStep();
    // Window and application events.
    void applicationShouldTerminate();
    void windowShouldClose();
    void windowDidResignKey() { g_OSPauseEventRaised = true; }
    void windowDidBecomeKey() { g_OSPauseEventRaised = false; }
    void propagateGameName(const char* name);
    // After the first start pass: the built-in splash (header bit 16) and
    // full screen at start (bit 0).
    void ApplyHeaderScreenFlags();
    void propagateCopyright(const char* text);
    bool singleStep = false;

    // True once a start pass ran and the end sequence has not run since.
    bool needsEnd = false;
    // The start sequence failed or ended on a fatal error.
    bool failed = false;

private:
    // State 3: expands the "-game" archive into the save area's "game" folder
    // and takes its "assets/game.ios" (and "assets/splash.png").
    void ExpandArchive();

    void StateWork();
    void SplashFrame(bool drawSplash);
    void End();

    int m_engineState = 0;
    int64_t m_dateStateEntered = 0; // Timing_Time() microseconds
};

// The one delegate while the application runs, or null.
extern Mac_RunnerAppDelegate* macRunnerDelegate;

// Test seam: called after every tick with the state the tick ended in.
using TickObserver = void (*)(int engineState);
void Platform_SetTickObserver(TickObserver observer);

// The whole application: SDL and the window, the tick loop until state 13,
// and the shut-down. Returns the process status: 0 for a game that ended
// itself or was closed, 1 when it could not start or ended on a fatal error.
int Platform_RunApplication(int argc, const char* const* argv);
// The name the window shows as its caption.
const std::string& Platform_DisplayedGameName();

// The quote stripping of names given to the window: a text that begins with
// a double quote loses it and its last character; others are copied.
void RemoveBeginingAndEndQuotes(const char* text, char* out, size_t outSize);
