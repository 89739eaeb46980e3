// Game options: the settings the game's author fixed for the whole game (window
// and display behaviour, special keys, error handling, fast collision) and the
// list of named constants, read from the data file's "OPTN" chunk.
#pragma once

#include <cstdint>

#include "core/error.h" // option_displayerrors, option_aborterrors

class ImageReader;

// Settings with the defaults Option_Init gives them. Settings marked "stored
// only" are kept for the scripts and tools that ask; nothing else reads them.
extern bool option_fullscreen;      // stored only; false while "-inawindow" forces a window
extern bool option_interpolate;     // stored only
extern bool g_UseNewAudio;          // the audio system's choice (not reset by Option_Init)
extern bool option_noborder;        // stored only
extern bool option_showcursor;      // true: game start shows the window's cursor
extern int32_t option_scale;        // 100, stored only
extern bool option_sizeable;        // stored only
extern bool option_stayontop;       // stored only
extern uint32_t option_windowcolor; // 0xFFFFFF, also handed to the renderer
extern bool option_changeresolution;
extern int32_t option_colordepth;    // stored only
extern int32_t option_resolution;    // stored only
extern int32_t option_frequency;     // stored only
extern bool option_nobuttons;        // stored only
extern bool option_freeze;           // stored only
extern int32_t option_sync_vertex;   // stored only
extern bool option_screenkey;        // true, stored only
extern bool option_helpkey;          // true, stored only
extern bool option_quitkey;          // true, stored only
extern bool option_savekey;          // true, stored only
extern bool option_screenshotkey;    // true, stored only
extern bool option_closeesc;         // true, stored only
extern int32_t option_priority;      // stored only
extern bool option_showprogress;     // true, stored only
extern bool option_loadtransparent;  // stored only
extern int32_t option_loadalpha;     // 255, stored only
extern bool option_scaleprogress;    // true, stored only
extern uint32_t option_WADloadimage; // file offset, 0: none (not reset)
extern bool option_writeerrors;      // stored only
extern bool option_variableerrors;   // stored only
// Not reset by Option_Init: they keep the last chunk's values.
extern bool option_CreationEventOrder;
extern bool option_use_front_touch;
extern bool option_use_rear_touch;
extern bool option_use_fast_collision;
extern bool option_fast_collision_compatibility;

// The named constants, in file order less the "@@" settings: option_const_numb
// names and values, each an owned memory-manager copy.
extern int32_t option_const_numb;
extern char** option_const_name;
extern char** option_const_val;

// Globals the constants list may set (besides g_SleepMargin of core/timing.h).
extern uint32_t Draw_Color;         // the drawing colour, 0xFF000000 at start
extern uint32_t g_InitialDrawColor; // 0xFFFFFFFF at start
extern int32_t g_GameVersionMajor;
extern int32_t g_GameVersionMinor;

// Set by the command line's "-noerrors": error windows stay off whatever the
// options reset says.
extern bool g_fCommandLineNoErrors;

// Back to the defaults, before any chunk is read. Frees the constant list.
void Option_Init();
// The "OPTN" chunk. False for a chunk of the newer layout whose version is not
// 2: nothing is stored then. A damaged chunk (counts that do not fit, offsets
// outside the file, constants without a name or value text) throws
// GameDataError and leaves every setting as it was.
bool Option_LoadChunk(ImageReader& chunk);
// The loader's entry: Option_LoadChunk with its result ignored.
void Option_Load(ImageReader& chunk);
// Frees the constant list.
void Option_Quit();
// Puts the module's state back as the program started: Option_Init, and the
// settings it leaves alone (the last chunk's flags, the load image, the
// command line's "-noerrors", the globals the constants set).
void Options_Reset();
