// Run settings that the command line writes and other modules read: debug,
// interpreter, extension, audio, renderer, network and profiler switches, the
// launch argument and the game-chaining requests. Settings whose module keeps
// its own state (console, file service, header, timing, options, input
// recording) live there instead.
#pragma once

#include <cstdint>

// "-debug": the game-stop path keeps the run alive for the tools, and the
// physics world draws its debug shapes.
extern bool DebugMode;
extern bool g_PhysicsDebugMode;
// Debug or release variants of the checked built-ins; true at program start.
extern bool g_DebugMode;
// Interpreter: "-oldexec" clears the use flag (nothing else consults it),
// "-trace" and "-vmtrace" switch its two traces on.
extern bool g_fVMUse;
extern bool g_fVMTrace;
extern bool g_fVMDebug;
// "-ext": native extension calls are skipped.
extern bool ExtDisabled;
// "-noaudio".
extern bool g_fNoAudio;
// "-intel": clearing draws a full-screen rectangle.
extern bool g_bManualClear;
extern bool g_IntelHWMode;
// "-networkdebug": packet debug output.
extern bool g_DebugNetworkOutput;
// "-profiledump FILE SECONDS": the profiler's report file (memory-manager text,
// or null) and dump interval.
extern char* g_ProfileDumpFileName;
extern int32_t g_ProfileDumpInterval;
// Set when a profile of the next frame is asked for.
extern bool g_ProfileFrameRequested;
// "vtplayer:..." launch argument (memory-manager text, or null).
extern char* g_pPlayerLaunchArg;
// "-exit FILE": the game file to run when this one ends; "-dir": stored only.
extern char* g_pExitGame_CMD;
extern char* g_pExitDir_CMD;
// A pending request to run another game (and the file to come back to), the
// restart flag that the chaining raises, and the package flag: a packaged
// build names its game file on the command line it builds.
extern char* g_pExecuteGame;
extern char* g_pExitGame;
extern bool g_ReStart;
extern bool g_PackageBuild;
// The game file the platform located next to the executable, or null.
extern char* g_requestedExecutableFile;
