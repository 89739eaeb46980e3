// The runtime's life cycle: the module initialisers, the start sequence in
// two passes (read the data file and register the built-ins; then bring up
// graphics, input, the interpreter, load every chunk, prepare and start the
// first room), the per-tick hand-off to the main loop, the end of the game
// with every finaliser in order, and chaining to another game file.
#pragma once

#include <cstdint>

// True until the first start pass has run; every later BeginToEnd runs the
// second pass.
extern bool g_bGetResolution;
// When the run started (seconds since the epoch), taken in the first pass.
extern int64_t g_StartTime;
// The shell shows the window on its first frame when set (Quit sets it).
extern bool g_fDoFirstShow;

// Builds the command line from the process arguments (when none exists),
// starts the memory manager, parses the command line, runs Init and the first
// start pass. False when the first pass failed (no data file, or a damaged one).
bool Mac_Startup(int argc, const char* const* argv);
// The module initialisers in their order; always true.
bool Init();
// First call: the first start pass; later calls: the second. False when the
// pass stopped early (no game, a damaged file, graphics, loading or
// preparation failed).
bool BeginToEnd();
// The load, prepare and start tail of the second pass on its own; true when
// the game was started.
bool DoTheWork();
// The splash loop; nothing on this platform or in a headless run.
void DrawSplash();
// Loads the highscore table and runs the built-in registrars in order. A
// second call (a reload) first takes back the registrations of the first when
// they are still the table's last entries, so ids stay the same.
void InitVTLFunctions();
// One main-loop iteration; returns the frame rate to aim at.
int64_t Mac_Process();
// Ends the game (when it is no longer running), runs the end-of-game hooks,
// every finaliser, the chaining request, and frees the run globals.
void Mac_End();
void EndOfGame();
void Quit();
// Turns a pending request to run another game (or "-exit") into a new
// command line and raises g_ReStart.
void RunGame();
void SetDebugMode(bool debug);
void SetLaunchedFromPlayer(const char* text, bool launched);

// Platform hooks of this platform.
bool ShouldDisplaySplash();
void DrawLogo(int frame);
void ProcessMessages();
// Nothing to set up or take down, and nothing to end beyond the run itself.
void INITIALIZE_PlatformSpecific();
void FINALIZE_PlatformSpecific();
void Run_Terminate();

// The whole run as the program runs it with no platform shell: start-up,
// then one Mac_Process per tick while the game runs, then Mac_End, again
// for a chained game. Returns the process status: 0 for a game that ended
// itself, 1 when it could not start or ended on a fatal error (the error is
// also written to standard error in a headless run).
int Startup_RunGame(int argc, const char* const* argv);

// Test seam: called with the name of every initialiser, registrar and
// finaliser as it runs, in order ("RomDisk::Init", "InitGameFunctions",
// "FINALIZE_Run_Main", ...). Null switches it off.
void Startup_SetTraceHook(void (*hook)(const char* name));
