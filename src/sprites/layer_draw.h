// Drawing of a room's layers and their elements.
#pragma once

#include "render/bitmap32.h" // tagZQRECT

// Draws every visible layer of the running room, highest depth first.
void DrawRoomLayers(tagZQRECT* rect);
