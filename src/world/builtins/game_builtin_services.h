// What the game built-ins ask of modules not built yet: saved games, the
// renderer's read-back and PNG writer, and the motion-planning built-ins.
// The stand-ins of those modules (src/io, src/render and src/library, each in
// stand_ins.cpp) answer until the modules define them.
#pragma once

#include <cstdint>
#include <span>

#include "core/function_table.h"

// Saved games: record the request (to a file or a buffer); the main loop
// carries it out. False when the request cannot be made.
bool Command_SaveGame(const char* filename);
bool Command_SaveGame(int buffer);
bool Command_LoadGame(const char* filename);
bool Command_LoadGame(int buffer);

// The window's drawing region.
int GR_Window_Get_Region_Width();
int GR_Window_Get_Region_Height();
namespace Graphics {
// Reads back the rectangle (x, y, *outW, *outH) of the screen as 32-bit
// pixels, top row first (a memory-manager block the caller frees); w and h
// are not used. Null when nothing could be read.
uint32_t* GrabScreenRect(int w, int h, int x, int y, int* outW, int* outH);
} // namespace Graphics
// Writes 32-bit pixels as a PNG file; false on failure.
bool WritePNG32(const char* name, const uint32_t* pixels, int w, int h);

// The motion-planning built-ins (mp_linear_*, mp_potential_*, mp_grid_*), by
// name as scripts call them.
std::span<const GameBuiltinRow> MotionPlanning_Builtins();
