// The game's settings that the data file's header sets and every layer reads:
// window, identifiers, format version and generation, with their defaults.
// The header loader (world/datafile/game_header.cpp) defines and fills them,
// and Header_Reset returns them to the defaults; g_isNimbar, the generation
// flag, belongs to the console, which defines it.
#pragma once

#include <cstdint>

// The format: version V of the second walk, 800 (or 700 for "GEN7" and
// "GENL" files), and the newer variable and function chunk layout.
extern int g_wadVersion;
extern int g_fileVersion;
extern bool g_subFunctionsOption;

// The game data's generation flag: new-generation data changes string
// lengths, the game speed's source and which built-ins register.
extern bool g_isNimbar;

// The header's debug byte as stored: non-zero marks a game built for
// debugging. While it is 0 the run starts the profiler and, with
// new-generation data, records debug tags.
extern bool g_DebugBuild;
extern bool g_DebugWad;

// Names, each a copy or null: configuration, project, display name.
extern char* g_pTarvoConfig;
extern char* g_pGameProjectName;
extern char* g_pGameDisplayName;

// Identity: the game id and GUID, the Steam app id, the IDE version (3), the
// workshop flag and the function classifications (all bits set).
extern int Game_Id;
extern uint8_t Game_GUID[16];
extern uint32_t g_SteamAppId;
extern int g_IDE_Version;
extern bool g_SteamWorkshop;
extern int64_t g_FunctionClassifications;

// The window: initial screen size (800 x 480), application size, screen
// flags (2) and "-inawindow" (start windowed).
extern int g_InitialScreenSizeX;
extern int g_InitialScreenSizeY;
extern int g_ApplicationWidth;
extern int g_ApplicationHeight;
extern uint32_t g_InitialScreenFlags;
extern bool g_fInAWindow;

// The debugger link's port (6502) and the new-generation game speed (0 when
// none). g_fJSGarbageCollection (header flag bit 15) lives with the
// collector: core/collector.h.
extern int g_DebuggerServerPort;
extern double g_WadGameSpeed;
