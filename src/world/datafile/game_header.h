// The header chunk ("GEN8", older "GEN7"/"GENL"): start-up settings read by
// the first walk (window, flags, identifiers, generation) and the ids, room
// order and game speed read by the second.
#pragma once

#include <cstddef>
#include <cstdint>

class ImageReader;

// Settings the header sets, with their defaults.
extern uint8_t* g_pZQHeader; // the header payload, read in place
extern bool g_DebugBuild;    // debug byte was 0: profiler and debug tags
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

// First walk: the settings needed before the window exists. Registers every
// built-in function afterwards, once the generation flag is known.
void Header_ReadStartup(ImageReader& payload);
// Second walk: ids, GUID, window size again, room order and game speed.
bool Header_Load(ImageReader& payload);

// Where the room order's count stands in the header of a format version.
size_t Header_RoomOrderOffset(int version);

// Back to the defaults (for tests and for a fresh load).
void Header_Reset();
