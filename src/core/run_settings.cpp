// Run settings shared by the command line and the modules that read them.
#include "core/run_settings.h"

bool DebugMode = false;
bool g_PhysicsDebugMode = false;
bool g_DebugMode = true;
bool g_fVMUse = true;
bool g_fVMTrace = false;
bool g_fVMDebug = false;
bool ExtDisabled = false;
bool g_fNoAudio = false;
bool g_bManualClear = false;
bool g_IntelHWMode = false;
bool g_DebugNetworkOutput = false;
char* g_ProfileDumpFileName = nullptr;
int32_t g_ProfileDumpInterval = 0;
bool g_ProfileFrameRequested = false;
char* g_pPlayerLaunchArg = nullptr;
char* g_pExitGame_CMD = nullptr;
char* g_pExitDir_CMD = nullptr;
char* g_pExecuteGame = nullptr;
char* g_pExitGame = nullptr;
bool g_ReStart = false;
bool g_PackageBuild = true;
char* g_requestedExecutableFile = nullptr;
