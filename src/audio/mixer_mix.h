// Mixing: every audible source of the current context summed into one block
// of the device's output, and the sources advanced past it.
#pragma once

#include <cstdint>

struct ALbuffer;
struct ALsource;
struct ALCdevice_struct;

// Mixes `frames` frames into `out` in the device's format. Without a current
// context, or for an output format the mixer has no functions for, the block
// is silence.
void aluMixData(ALCdevice_struct* device, void* out, int frames);
// Moves each playing source past the block, following loops and queues and
// stopping sources that run out.
void aluAdvanceSource(ALCdevice_struct* device, int frames);

// One mixing function: adds `count` frames of `source`, read from its
// position in `buffer`, into `out` (interleaved in the output's channel
// count). It writes nothing but `out`.
using MixFunction = void (*)(float* out, int count, ALbuffer* buffer, ALsource* source,
                             ALCdevice_struct* device);
using MixFunctionTable = const MixFunction*;  // by source channel count, 9 entries
using MixTypeTable = const MixFunctionTable*; // by bytes per source sample, 8 entries
// By output channel count (9 entries): 1, 2 and 8 channels have functions.
extern const MixTypeTable g_destChannelFuncs[9];

// The fixed-point step through a buffer for one output frame (14 fraction
// bits) at the source's effective pitch.
uint32_t Mixer_Step(const ALbuffer& buffer, const ALsource& source, const ALCdevice_struct& device);
