// File streams: sounds made at run time from an Ogg file in the save area or
// the bundle, named by 300000 + their slot and played like streamed sounds.
#pragma once

// The new stream's sound index, -1 when the file is in neither place.
int Audio_CreateStream(const char* fileName);
// Stops the stream's voices and marks it destroyed: 1, or -1 for an index
// that names no stream. The record is freed by the decoder layer's tick.
int Audio_DestroyStream(int soundIndex);
// Frees the destroyed streams nothing plays any more (the decoder tick).
void Audio_FreeDestroyedStreams();
