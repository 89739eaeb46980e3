// The game data file: reading it whole, the first walk over its chunks
// (header, code, strings, variables, before the window exists) and the second
// walk that hands every chunk in file order to the loader that owns it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/game_chunks.h"
#include "core/game_image.h"

class IniFile;

extern uint8_t* g_pGameFileBuffer; // the file image, alive for the whole run
extern int g_GameFileLength;
extern int g_GameFileSize; // length + 128
// Places in the image are kept as checked readers, never as bare pointers:
// the whole image, set by the first walk (offsets resolve against it) ...
extern ImageReader g_WADImage;
extern char* g_pGameName; // defined by the file service (core/load_save.h)
extern char* g_pGameFileName;
extern char* g_pOrigName;
extern char* g_pGameININame;
extern char* g_pGameDBGName;
extern IniFile* g_pGameINI;
// ... and the payloads of the chunks read later (core/game_chunks.h).

// Empties every reader over the image kept here and by the header, and the
// counts that go with them, before the image is freed.
void GameData_ForgetImage();


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
// Records why loading the game failed after the walks (a preparation step),
// so that the start-up reports it like a refusal.
void GameData_SetLastError(const char* text);

// The data file's string number `index` (from the "STRG" table), or null.
const char* GameData_String(int index);
