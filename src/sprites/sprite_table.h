// The sprite table: the sprites of the data file's "SPRT" chunk by index,
// and those scripts add at run time (from image files, decoded pixels, other
// sprites, or empty). Indexes are never reused: a deleted sprite leaves its
// index empty. Everything holding a sprite number resolves it through
// Sprite_Data (world/instances/sprite_services.h).
//
// Names are found by comparing the names themselves, so two names whose
// hashes agree never stand for each other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class CSprite;
class ImageReader;

// Frees every sprite and name; the table is empty.
void Sprite_Init();
// "SPRT": a count, one record offset per index (0: none). The table becomes
// the chunk's sprites only when every record was read; a damaged chunk throws
// GameDataError and leaves the previous table.
void Sprite_Load(ImageReader& chunk);
void Sprite_Free();
// The legacy table stream (`length` bytes): version 800 (each index in a
// zlib stream of its own) or 400 (inline); per index whether it holds a
// sprite, then its name and the sprite's stream form. The table becomes the
// stream's sprites only when all of it was read; false (the table as it
// was) for another version or damaged data.
bool Sprite_Load(const uint8_t* data, size_t length);

int Sprite_Number();
// The name, or "<undefined>" when the index holds no sprite.
const char* Sprite_Name(int index);

// A new sprite from an image file (save area, then bundle) cut into `frames`
// frames; its index, or -1 when the file is missing or does not decode (the
// table is then as it was). Sprites from URLs need the HTTP service, which
// this runtime does not have: such a request fails at once.
int Sprite_Add(const char* path, int frames, bool precise, bool removeBackground, bool smooth, bool preload,
               int xorigin, int yorigin);
// A new sprite from decoded pixels (bytes red, green, blue, alpha), alpha kept.
int Sprite_Add_BIN(const uint8_t* rgba, int width, int height, int frames, bool precise, bool smooth,
                   int xorigin, int yorigin);
// As Sprite_Add, keying out the background colour and keeping the image's alpha.
int Sprite_Add_Alpha(const char* path, int frames, bool precise, bool preload, int xorigin, int yorigin);
// Reloads index `index` (made there when empty) from a file; false when the
// index is out of range, the file is missing or it does not decode.
bool Sprite_Replace(int index, const char* path, int frames, bool precise, bool removeBackground, bool smooth,
                    bool preload, int xorigin, int yorigin);
bool Sprite_Replace_Alpha(int index, const char* path, int frames, bool precise, bool preload, int xorigin,
                          int yorigin);
bool Sprite_Delete(int index);
// A copy owning its frames (a data-file sprite's frames are read back from
// their pages); its index, or -1 when `index` holds no sprite.
int Sprite_Duplicate(int index);
// Copies `source` into `index` (made there when empty); false unless
// `source` holds a sprite and `index` is in range.
bool Sprite_Assign(int index, int source);
// Appends an empty sprite named "__newsprite<index>".
int Sprite_AddEmpty();
// Appends a sprite built elsewhere (by tests and loaders), named `name` or,
// without one, "__newsprite<index>"; its index.
int Sprite_AddRecord(std::unique_ptr<CSprite> sprite, const char* name = nullptr);

// Makes the running room's instances (active and deactivated) that show
// `sprite` recompute their bounding boxes.
void MarkInstancesAsDirty(int sprite);
