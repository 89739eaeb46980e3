// Asynchronous results of the sound system: a prepared map (and, for
// recorded audio, the script buffer that carries the samples) posted on the
// pending-operation list, delivered by the step's asynchronous pass in the
// order posted.
#pragma once

inline constexpr int ASYNC_AUDIO_RECORDING = 73;
inline constexpr int ASYNC_AUDIO_PLAYBACK = 74;

// Posts `map` as an event of `subtype`. With a buffer index of 0 or more the
// buffer is freed after delivery (unless the slot meanwhile holds another
// buffer, or a buffer sound still uses it). A map never delivered is
// destroyed with the entry.
void Audio_PostMapEvent(int map, int subtype, int buffer = -1);
