#include "core/game_chunks.h"

#include <cstddef>

ImageReader g_TexturePageChunk;
int g_numGlobalScripts = 0;
ImageReader g_GlobalScripts;
bool g_fCompiledToVM = false;
int g_nZQCode = 0;
ImageReader g_CodeChunk;
int g_ZQStringCount = 0;
ImageReader g_StringChunk;

void GameChunks_Reset() {
    g_numGlobalScripts = 0;
    g_GlobalScripts = ImageReader();
    g_TexturePageChunk = ImageReader();
    g_fCompiledToVM = false;
    g_nZQCode = 0;
    g_CodeChunk = ImageReader();
    g_ZQStringCount = 0;
    g_StringChunk = ImageReader();
}

uint32_t GameData_TableWord(const ImageReader& table, int index) {
    return table.Peek<uint32_t>(table.ChunkStart() + 4 + 4 * static_cast<size_t>(index));
}

uint32_t GameData_CodeEntryOffset(int index) {
    return GameData_TableWord(g_CodeChunk, index);
}

int32_t GameData_GlobalScript(int i) {
    return static_cast<int32_t>(GameData_TableWord(g_GlobalScripts, i));
}
