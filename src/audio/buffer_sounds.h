// Sounds made from raw samples in script buffers (buffer sounds, 100000 +
// slot) and play queues that chain them on one voice for gapless playback
// (200000 + slot). Finished queue buffers reach scripts as asynchronous
// events of subtype 74.
#pragma once

struct CNoise;

// Data type 1 (unsigned 8-bit) or 4 (signed 16-bit); channels 0 mono,
// 1 stereo, 2 3D (played as mono). The rate is clamped to 1000..48000. A
// length of 0 takes the rest of the buffer's used bytes from the offset. The
// samples are copied, so the script buffer may change or grow afterwards.
// Refused (-1, nothing made) with a message for a bad format, buffer,
// channel choice, or a span that does not lie in the used bytes or is not a
// whole number of sample frames.
int Audio_CreateBufferSound(int bufferId, int type, int sampleRate, int offset, int length, int channels);
bool Audio_FreeBufferSound(int index);
int Audio_CreatePlayQueue(int type, int sampleRate, int channels);
// Makes a buffer sound and appends it to the queue's voice (choosing one
// the first time); the voice's handle, or -1.
int Audio_QueueBufferSound(int queue, int bufferId, int offset, int length);
// Takes the buffers the voice's source has finished off its queue, freeing
// their buffer sounds; for a queue's voice each becomes an event.
void Audio_Unqueue_Processed_Buffers(CNoise* v, int queue, bool shutdown);
bool Audio_FreePlayQueue(int queue);

// The tick's pass over the queues.
void Audio_UpdatePlayQueues();
// Queues forget their voices (the voice table is being emptied).
void Audio_ForgetQueueVoices();
// Buffer sounds and queues emptied, their script buffers' use counts given back.
void Audio_ClearBufferSounds();
