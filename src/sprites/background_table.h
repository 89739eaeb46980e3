// The table of backgrounds: those of the data file's "BGND" chunk by index,
// and those scripts add at run time (from image files, colours, gradients or
// copies). Indexes are never reused: a deleted background leaves its index
// empty. Room drawing, tilemaps and the background built-ins look
// backgrounds up here by index.
#pragma once

#include <cstdint>

class CBackground;
class ImageReader;

// Frees every background and name; the table is empty.
void Background_Init();
// "BGND": a count, one record offset per index (0: none). The table becomes
// the chunk's backgrounds only when every record was read; a damaged chunk
// throws GameDataError and leaves the previous table.
void Background_Load(ImageReader& chunk);
// Textures for the backgrounds that own bitmaps (and their local entries).
void Background_InitTextures();
void Background_FreeTextures();
void Background_Free();
void FINALIZE_Background();

int Background_Number();
bool Background_Exists(int index);
CBackground* Background_Data(int index);
// The name, or "<undefined>" when the index holds no background.
const char* Background_Name(int index);
// The lowest index with a background named exactly `name`, or -1.
int Background_Find(const char* name);

// A new background from an image file (save area, then bundle); its index,
// or -1 when the file is missing or does not decode (nothing is added then).
// Backgrounds from URLs need the HTTP service, which this runtime does not
// have: such a request fails at once (-1 / false).
int Background_Add(const char* name, bool transparent, bool smooth, bool preload);
bool Background_Replace(int index, const char* name, bool transparent, bool smooth, bool preload);
int Background_Add_Alpha(const char* name, bool preload);
bool Background_Replace_Alpha(int index, const char* name, bool preload);
bool Background_Delete(int index);
// A copy with a bitmap of its own (read back from the page); -1 when `index`
// holds no background.
int Background_Duplicate(int index);
// Copies `source` into `index` (made there when empty); false unless
// `source` holds a background and `index` is in range.
bool Background_Assign(int index, int source);
// Appends an empty background named "__newbackground<index>".
int Background_AddEmpty();
