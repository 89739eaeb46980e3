// A mixer source: one voice with a current buffer, an optional queue of
// buffers, a play state, a fixed-point read position and the parameters the
// mixer turns into gains and pitch every block.
#pragma once

#include <cfloat>
#include <cstdint>

#include "audio/mixer_api.h"
#include "audio/mixer_device.h"

struct ALbuffer;
struct ALCcontext_struct;

// Fraction bits of the read position and of the mixer's step.
inline constexpr int kMixerFractionBits = 14;
inline constexpr uint32_t kMixerFractionMask = (1u << kMixerFractionBits) - 1;

struct ALsource {
    // Place in the context's source list (a deleted source: `next` links
    // the free list).
    ALsource* next = nullptr;
    ALsource* prev = nullptr;
    // The queue, linked through the buffers' own queue links.
    ALbuffer* queueHead = nullptr;
    ALbuffer* queueTail = nullptr;
    int32_t queuedCount = 0;
    // Queued buffers played to their end.
    int32_t processedCount = 0;
    uint32_t listenerMask = 1;
    int32_t id = 0;
    int32_t state = AL_INITIAL;

    // Written by the mixer for each block before it reads them.
    float channelGains[kMixerMaxChannels] = {};
    float effectivePitch = 1.0f;
    int64_t playTimestamp = 0;
    // Frames mixed in the current block when the start was delayed into it;
    // 0 for a whole block, -1 when the start lies beyond the block (the
    // source then waits). The advance consumes it.
    int32_t partialFrames = 0;

    float pitch = 1.0f; // at least 0.001
    float gain = 1.0f;
    float coneOuterGain = 0.0f;
    float minGain = 0.0f;
    float maxGain = 1.0f;
    float coneInnerAngle = 360.0f; // degrees
    float coneOuterAngle = 360.0f;
    float referenceDistance = 1.0f;
    float maxDistance = FLT_MAX;
    float rolloffFactor = 1.0f;
    float location[3] = {0, 0, 0};
    float velocity[3] = {0, 0, 0};
    float direction[3] = {0, 0, 0};
    bool relative = false;
    bool looping = false;
    // Reported only; the calculation uses the context's model.
    int32_t distanceModel = AL_INVERSE_DISTANCE_CLAMPED;
    // Frame index into the current buffer and its 14-bit fraction.
    uint32_t position = 0;
    uint32_t positionFraction = 0;
    float dopplerFactor = 1.0f; // 0..1
    ALbuffer* currentBuffer = nullptr;
    int32_t sourceType = AL_UNDETERMINED;

    // Offsets read 0 unless the source is playing or paused.
    float GetSecondsOffset() const;
    uint32_t GetSampleOffset() const;
    // AL_SEC_OFFSET, AL_SAMPLE_OFFSET or AL_BYTE_OFFSET (which does nothing)
    // with a value already checked to be >= 0. False when AL_SEC_OFFSET has
    // no current buffer to measure seconds by (nothing changes then).
    bool SetOffset(int param, float value);
    // The gains and effective pitch of the next block: the full calculation
    // for a mono current buffer, the reduced one (gain limits and panning
    // by the stored position) for more channels.
    void calcSourceParams(const ALCcontext_struct& context, const ALCdevice_struct& device);
    void calcNonAttnSourceParams(const ALCcontext_struct& context, const ALCdevice_struct& device);
    // Unlinks every queued buffer and forgets the current one: the source
    // holds no buffer afterwards.
    void DetachBuffers();
};
