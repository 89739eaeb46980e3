// Between reading the data file and starting the game: the platform settings
// of "options.ini" (section "Mac"), the debug-information file beside the
// data file, the graphics start, the preparation pass over every resource
// kind, the splash stubs of this platform, and the module's shut-down.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/game_image.h"

class IniFile;

// ---- "options.ini", section "Mac"
extern int g_MajorVersion; // 1
extern int g_MinorVersion; // 0
extern int g_BuildVersion; // 0
extern bool g_DefaultOrient_landscape;
extern bool g_DefaultOrient_landscapeFlipped;
extern bool g_DefaultOrient_portrait;
extern bool g_DefaultOrient_portraitFlipped;

// Reads the "Mac" keys: DisplayName, Copyright, Major/Minor/BuildVersion, the
// four orientations (exactly "True" or "False", else the integer's truth),
// then Debug (debug mode, overlay flags 2, physics debug) and Trace. An absent
// key leaves its setting as it was.
void Platform_Setup(IniFile* ini);
// One truth value of the "Mac" section: exactly "True" is true, exactly
// "False" false, anything else the truth of its integer reading.
bool Platform_ReadBool(const char* value);

// Copies one key from source to target when the source has it; false when not.
bool OverwriteGameINIKey(IniFile* target, IniFile* source, const char* section, const char* key);
// Nothing on this platform.
bool OverwriteGameINI(IniFile* target, IniFile* source);

// ---- the debug-information file
// The image (memory-manager block) and its length; a reader over all of it,
// against which the tables' offsets resolve; and the three tables, each the
// payload of its chunk (a count, then 32-bit offsets into the image), empty
// until a valid chunk set them.
extern uint8_t* g_pDebugFile;
extern int g_DebugFileSize;
extern ImageReader g_DebugImage;
extern ImageReader g_DebugInfo;
extern int g_DebugInfoCount;
extern ImageReader g_DebugInstNames;
extern int g_DebugInstNameCount;
extern ImageReader g_DebugScript;
extern int g_DebugScriptCount;

// Takes the image (a memory-manager block, owned from now on) and walks its
// chunks when its size field matches its length. A chunk whose table or
// records do not lie inside the image is refused with a message and leaves
// its table null. True when the image was walked.
bool LoadDebugInfo(uint8_t* image, unsigned length);
// One chunk's payload each (a reader over the debug image).
void DebugInfo_Load(ImageReader& chunk);
void DebugInstNames_Load(ImageReader& chunk);
void DebugScript_Load(ImageReader& chunk);
// Forgets the tables and frees the image.
void DebugInfo_Free();

// Checked reads of the tables: the debug words of a code entry (with their
// count), an instance name, a code entry's source text; null when absent.
const uint32_t* DebugInfo_Words(int codeIndex, int* count);
const char* DebugInfo_InstanceName(int index);
const char* DebugInfo_ScriptText(int codeIndex);

// ---- starting graphics and preparing the game
bool InitGraphics();
// The seven preparation steps in order; the first failure shows its message
// and makes the result false.
bool PrepareGame();

// One step of the two-state multiply-with-carry generator.
unsigned LocalRandom(unsigned& a, unsigned& b);

// ---- splash built-ins: this platform shows nothing
bool Splash_Show_Movie(const char* file, bool loop);
bool Splash_Show_Image(const char* file, int delay);
bool Splash_Show_Text(const char* file, int delay);
bool Splash_Is_Shown_In_Main();
void Splash_Close_In_Main();
void StopShow();
void AdaptWindow();
void SetPriority();
const char* ZQGetFileName();

// Quits paths and timelines, releases the game data image, the compiled-code
// record, "options.ini" and the debug-information file. The image is freed
// here rather than forgotten, so a restart that reads the file again leaks
// nothing.
void FINALIZE_Runner_Form();
