// The header chunk ("GEN8", older "GEN7"/"GENL"): start-up settings read by
// the first walk (window, flags, identifiers, generation) and the ids, room
// order and game speed read by the second.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/game_image.h"
#include "core/header_globals.h"

// The header payload, read in place (empty before a header); the settings
// the header sets are in core/header_globals.h.
extern ImageReader g_ZQHeader;

// First walk: the settings needed before the window exists. Registers every
// built-in function afterwards, once the generation flag is known.
void Header_ReadStartup(ImageReader& payload);
// Second walk: ids, GUID, window size again, room order and game speed.
bool Header_Load(ImageReader& payload);

// Where the room order's count stands in the header of a format version.
size_t Header_RoomOrderOffset(int version);

// Back to the defaults (for tests and for a fresh load).
void Header_Reset();
