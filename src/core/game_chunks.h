// The chunks of the data file's image that the core's loaders read after the
// walks: the code entries, the global initialisation code, the strings and
// the texture-page entries. The walks (world/datafile/game_file.cpp) set
// them; the code and script loaders read them through these readers.
#pragma once

#include <cstdint>

#include "core/game_image.h"

// The payloads of the chunks read later: texture-page entries,
extern ImageReader g_TexturePageChunk;
// the global initialisation code (a count, then 32-bit code-entry indices),
extern int g_numGlobalScripts;
extern ImageReader g_GlobalScripts;
// the code entries (a count, then 32-bit offsets of the entry records),
extern bool g_fCompiledToVM;
extern int g_nZQCode;
extern ImageReader g_CodeChunk;
// and the strings (a count, then 32-bit offsets of {length, text} entries).
extern int g_ZQStringCount;
extern ImageReader g_StringChunk;

// Empties the chunk readers above and their counts.
void GameChunks_Reset();

// Word `index` of a counted table chunk (the word after the count), read
// through the chunk's reader; the index must lie inside the table.
uint32_t GameData_TableWord(const ImageReader& table, int index);
// The file offset of code entry `index`'s record (0: none); the index must
// lie below g_nZQCode.
uint32_t GameData_CodeEntryOffset(int index);
// The global initialisation code's entry `i` (below g_numGlobalScripts).
int32_t GameData_GlobalScript(int i);
