// The game's settings that the data file's header sets and every layer reads:
// window, identifiers, format version and generation, with their defaults.
// The header loader (world/datafile/game_header.cpp) defines and fills them,
// and Header_Reset returns them to the defaults; g_isNimbar, the generation
// flag, belongs to the console, which defines it.
#pragma once

#include <cstdint>

extern bool g_DebugBuild; // debug byte was 0: profiler and debug tags
extern bool g_DebugWad;
extern int g_wadVersion;         // format version V (second walk)
extern char* g_pTarvoConfig;     // configuration name (copy), or null
extern char* g_pGameProjectName; // project name (copy), or null
extern char* g_pGameDisplayName; // display name (copy), or null
extern int Game_Id;
extern uint8_t Game_GUID[16];
extern int g_InitialScreenSizeX; // 800
extern int g_InitialScreenSizeY; // 480
extern int g_ApplicationWidth;
extern int g_ApplicationHeight;
extern uint32_t g_InitialScreenFlags; // 2
extern int g_IDE_Version;             // 3
extern bool g_SteamWorkshop;
// g_fJSGarbageCollection (header flag bit 15) lives with the collector: core/collector.h
extern int64_t g_FunctionClassifications; // all bits set
extern uint32_t g_SteamAppId;
extern int g_DebuggerServerPort;  // 6502
extern bool g_subFunctionsOption; // newer variable and function chunk layout
extern int g_fileVersion;         // 800, or 700 for "GEN7"/"GENL" files
extern double g_WadGameSpeed;     // new-generation game speed, 0 when none
extern bool g_fInAWindow;         // "-inawindow": start windowed

// The game data's generation flag: new-generation data changes string
// lengths, the game speed's source and which built-ins register.
extern bool g_isNimbar;
