// The font table: the fonts of the "FONT" chunk first, in chunk order, then
// the fonts added while the game runs. Indices are never reused: adding
// appends, deleting leaves an empty slot. Also the chunk's code-page table
// (the Unicode character of each byte value) and the FreeType library.
#pragma once

#include <cstdint>

class CFontVT;
class ImageReader;

void Font_Init();
// Builds the table from the "FONT" chunk: a count, an offset per font (0 an
// empty slot), the records, and the 256-entry code page in the last 512
// bytes. Throws GameDataError (the table left empty) for a chunk shorter
// than its code page or a record that does not fit.
void Font_Load(ImageReader& chunk);
int Font_Number();
bool Font_Exists(int index);
// "<undefined>" when the font does not exist.
const char* Font_Name(int index);
// The lowest index of an existing font named exactly `name`; -1 when none.
int Font_Find(const char* name);
CFontVT* Font_Data(int index);
// Each returns the new index.
int Font_Add(const char* path, int size, bool bold, bool italic, int first, int last);
// Frames stand for the characters first, first + 1, … through the code page;
// frames whose byte value falls outside 0-255 get no character.
int Font_AddSprite(int sprite, int first, bool proportional, int separation);
int Font_AddSpriteExt(int sprite, const char* characters, bool proportional, int separation);
// False for an index out of range; the slot keeps its name.
bool Font_Replace(int index, const char* path, int size, bool bold, bool italic, int first, int last);
bool Font_ReplaceSprite(int index, int sprite, int first, bool proportional, int separation);
bool Font_ReplaceSpriteExt(int index, int sprite, const char* characters, bool proportional, int separation);
bool Font_Delete(int index);
void Font_InitTextures();
void Font_FreeTextures();
void FINALIZE_Font_Main();
// The Unicode character of a byte value: the chunk's code page, or the byte
// itself (Latin-1) when no "FONT" chunk was loaded.
uint16_t Font_CodePage(int byte);
// Back to the start state (tests): every font deleted, no code page.
void Font_Reset();
