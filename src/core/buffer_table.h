// The script buffer table: buffers are named by the index of their slot.
// Scripts, the sound system (buffer sounds, recording) and other subsystems
// create, find and free buffers through it. The table owns its buffers; a
// freed slot is reused by the next buffer, lowest first.
#pragma once

#include "core/buffer.h"

// A new buffer in the lowest free slot (the table starts at 32 slots and
// doubles); its index. An unknown format is a fatal script error and stores
// nothing.
int CreateBuffer(int size, eBuffer_Format format, int alignment);
// The buffer in that slot; null for an index outside the table or a free slot.
IBuffer* GetIBuffer(int index);
// Deletes the buffer in that slot (if any) and frees the slot, whatever its
// use count: callers that honour outside users ask DeleteBufferIfUnused.
void FreeIBuffer(int index);
// The script's delete: false (and the buffer kept) while outside users hold
// it, or when the index names no buffer.
bool DeleteBufferIfUnused(int index);
// Slots in the table (free ones included).
int BufferTable_Count();
// Every buffer deleted and the table emptied (tests, and a fresh load).
void BufferTable_Reset();
