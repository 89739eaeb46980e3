// The game data file: reading it whole, the first walk over its chunks
// (header, code, strings, variables, before the window exists) and the second
// walk that hands every chunk in file order to the loader that owns it.
#pragma once

#include <cstddef>
#include <cstdint>

class IniFile;

extern uint8_t* g_pGameFileBuffer; // the file image, alive for the whole run
extern int g_GameFileLength;
extern int g_GameFileSize; // length + 128
extern uint8_t* g_pWADBaseAddress;
extern uint8_t* g_pWADEndAddress;
extern char* g_pGameName; // defined by the file service (core/load_save.h)
extern char* g_pGameFileName;
extern char* g_pOrigName;
extern char* g_pGameININame;
extern char* g_pGameDBGName;
extern IniFile* g_pGameINI;
extern uint8_t* g_pTexturePageChunk;
extern int g_numGlobalScripts;
extern const uint8_t* g_pGlobalScripts; // 32-bit code-entry indices
extern bool g_fCompiledToVM;
extern int g_nZQCode;
extern const uint8_t* g_ppZQCode; // 32-bit offsets of the code entries
extern int g_ZQStringCount;
extern const uint8_t* g_ppZQString; // 32-bit offsets of {length, text} entries

// Finds and reads the data file ("-game", else "game.ios" in the bundle) with
// "options.ini" and the debug-information file beside it. 0 on success; -1
// when there is no game to run, after showing "Unable to find game!!".
int RunnerLoadGame();
// The first walk. False (with the reason on the release console and in
// GameData_LastError) when the file is damaged.
bool GetResolution(uint8_t* image, size_t length);
// The second walk. False when the image is null, a tag was not recognised or
// the file is damaged.
bool LoadGameData(uint8_t* image, size_t length);
bool RunnerLoadWad();

// The text of the last refusal of a damaged file, or "".
const char* GameData_LastError();

// The data file's string number `index` (from the "STRG" table), or null.
const char* GameData_String(int index);
