// Source entry points and buffer queues.
//
// A queue links its buffers through their own queue links, so a buffer may
// sit in one queue only, once: queueing a buffer that is already queued (here
// or elsewhere) is refused, as is one whose format differs from the queue's,
// since the mixer reads a whole queue with one sample format. A deleted
// source keeps its id and parameters for reuse by alGenSources, but stops and
// lets go of its buffers, so that it never plays again by itself and never
// holds a buffer its owner is about to delete.
#include "audio/mixer_source.h"

#include <cstdint>
#include <utility>

#include "audio/mixer_buffer.h"
#include "audio/mixer_context.h"
#include "core/real_to_int.h"

namespace {

// A checked (non-negative) real offset as a frame index: truncated, with
// values too large for the 32-bit position (infinity included) saturating.
// The mixer wraps a position beyond the buffer's end.
uint32_t FramesFromReal(double value) {
    const int64_t frames = RealToInt64(value);
    if (frames < 0) return UINT32_MAX; // out of the 64-bit range
    return frames > static_cast<int64_t>(UINT32_MAX) ? UINT32_MAX : static_cast<uint32_t>(frames);
}

bool IdListed(int32_t id, int n, const unsigned* ids) {
    for (int i = 0; i < n; ++i)
        if (ids[i] == static_cast<unsigned>(id)) return true;
    return false;
}

void UnlinkSource(ALCcontext_struct& context, ALsource* source) {
    (source->prev != nullptr ? source->prev->next : context.sourceHead) = source->next;
    (source->next != nullptr ? source->next->prev : context.sourceTail) = source->prev;
    source->prev = nullptr;
}

void AppendSource(ALCcontext_struct& context, ALsource* source) {
    source->next = nullptr;
    source->prev = context.sourceTail;
    (context.sourceTail != nullptr ? context.sourceTail->next : context.sourceHead) = source;
    context.sourceTail = source;
}

void UnlinkFromQueue(ALsource& source, ALbuffer* buffer) {
    (buffer->queuePrev != nullptr ? buffer->queuePrev->queueNext : source.queueHead) = buffer->queueNext;
    (buffer->queueNext != nullptr ? buffer->queueNext->queuePrev : source.queueTail) = buffer->queuePrev;
    buffer->queueNext = buffer->queuePrev = nullptr;
    buffer->queueSource = nullptr;
}

// The float parameters that are plain stores of a checked value.
struct FloatParam {
    int param;
    float low;
    float high;
    float ALsource::*field;
};

constexpr FloatParam kFloatParams[] = {
    {AL_PITCH, 0.0f, FLT_MAX, &ALsource::pitch},
    {AL_GAIN, 0.0f, FLT_MAX, &ALsource::gain},
    {AL_MIN_GAIN, 0.0f, 1.0f, &ALsource::minGain},
    {AL_MAX_GAIN, 0.0f, 1.0f, &ALsource::maxGain},
    {AL_CONE_INNER_ANGLE, 0.0f, 360.0f, &ALsource::coneInnerAngle},
    {AL_CONE_OUTER_ANGLE, 0.0f, 360.0f, &ALsource::coneOuterAngle},
    {AL_CONE_OUTER_GAIN, 0.0f, 1.0f, &ALsource::coneOuterGain},
    {AL_REFERENCE_DISTANCE, 0.0f, FLT_MAX, &ALsource::referenceDistance},
    {AL_MAX_DISTANCE, 0.0f, FLT_MAX, &ALsource::maxDistance},
    {AL_ROLLOFF_FACTOR, 0.0f, FLT_MAX, &ALsource::rolloffFactor},
    {AL_DOPPLER_FACTOR, 0.0f, 1.0f, &ALsource::dopplerFactor},
};

const FloatParam* FindFloatParam(int param) {
    for (const FloatParam& row : kFloatParams)
        if (row.param == param) return &row;
    return nullptr;
}

// Looks up the source of a state-changing call; an unknown id is refused.
ALsource* NamedSource(ALCcontext_struct& context, unsigned id) {
    ALsource* source = context.FindSource(id);
    if (source == nullptr) context.SetError(AL_INVALID_NAME);
    return source;
}

void Play(ALCcontext_struct& context, ALsource& source, int64_t timestamp) {
    source.state = AL_PLAYING;
    source.listenerMask = context.listenerMask.load();
    source.playTimestamp = timestamp;
}

} // namespace

// [SECTION] the source's own operations

float ALsource::GetSecondsOffset() const {
    if (state != AL_PLAYING && state != AL_PAUSED) return 0.0f;
    if (currentBuffer == nullptr || currentBuffer->frequency <= 0) return 0.0f;
    return static_cast<float>(position) / static_cast<float>(currentBuffer->frequency);
}

uint32_t ALsource::GetSampleOffset() const {
    return state == AL_PLAYING || state == AL_PAUSED ? position : 0;
}

bool ALsource::SetOffset(int param, float value) {
    switch (param) {
        case AL_SEC_OFFSET:
            if (currentBuffer == nullptr) return false;
            position = FramesFromReal(static_cast<double>(value) * currentBuffer->frequency);
            return true;
        case AL_SAMPLE_OFFSET: position = FramesFromReal(value); return true;
        default: return true; // AL_BYTE_OFFSET is accepted and ignored
    }
}

void ALsource::DetachBuffers() {
    while (queueHead != nullptr) UnlinkFromQueue(*this, queueHead);
    queuedCount = 0;
    processedCount = 0;
    currentBuffer = nullptr;
    position = 0;
    positionFraction = 0;
}

// [SECTION] generating and deleting

extern "C" void alGenSources(int n, unsigned* ids) {
    CurrentContextLock context;
    if (!context) return;
    if (n < 0 || (n > 0 && ids == nullptr)) return context->SetError(AL_INVALID_VALUE);
    for (int i = 0; i < n; ++i) {
        ALsource* source = context->freeSources;
        if (source != nullptr) {
            context->freeSources = source->next;
        } else {
            source = new ALsource();
            source->id = context->nextSourceId++;
        }
        AppendSource(*context.get(), source);
        ids[i] = static_cast<unsigned>(source->id);
    }
}

extern "C" void alDeleteSources(int n, const unsigned* ids) {
    CurrentContextLock context;
    if (!context || n <= 0) return;
    if (ids == nullptr) return context->SetError(AL_INVALID_VALUE);
    for (ALsource* s = context->sourceHead; s != nullptr;) {
        ALsource* following = s->next;
        if (IdListed(s->id, n, ids)) {
            UnlinkSource(*context.get(), s);
            s->DetachBuffers();
            s->state = AL_STOPPED;
            s->next = std::exchange(context->freeSources, s);
        }
        s = following;
    }
}

// [SECTION] play state

extern "C" void alSourcePlay(unsigned id) {
    CurrentContextLock context;
    if (!context) return;
    if (ALsource* source = NamedSource(*context.get(), id))
        Play(*context.get(), *source, g_audioTimestamp.load());
}

// One timestamp for all, and nothing starts when any id names no source.
extern "C" void alSourcePlayv(int n, const unsigned* ids) {
    CurrentContextLock context;
    if (!context || n <= 0) return;
    if (ids == nullptr) return context->SetError(AL_INVALID_VALUE);
    for (int i = 0; i < n; ++i)
        if (context->FindSource(ids[i]) == nullptr) return context->SetError(AL_INVALID_NAME);
    const int64_t timestamp = g_audioTimestamp.load();
    for (int i = 0; i < n; ++i) Play(*context.get(), *context->FindSource(ids[i]), timestamp);
}

extern "C" void alSourcePause(unsigned id) {
    CurrentContextLock context;
    if (!context) return;
    if (ALsource* source = NamedSource(*context.get(), id)) source->state = AL_PAUSED;
}

// The position and current buffer stay; every queued buffer counts as played.
extern "C" void alSourceStop(unsigned id) {
    CurrentContextLock context;
    if (!context) return;
    if (ALsource* source = NamedSource(*context.get(), id)) {
        source->state = AL_STOPPED;
        source->processedCount = source->queuedCount;
    }
}

extern "C" void alSourceSetListenerMask(unsigned id, unsigned mask) {
    CurrentContextLock context;
    if (!context) return;
    if (ALsource* source = NamedSource(*context.get(), id)) source->listenerMask = mask;
}

// [SECTION] parameters

extern "C" void alSourcef(unsigned id, int param, float value) {
    CurrentContextLock context;
    if (!context) return;
    ALsource* source = context->FindSource(id);
    if (source == nullptr) return;
    if (param == AL_SEC_OFFSET || param == AL_SAMPLE_OFFSET || param == AL_BYTE_OFFSET) {
        if (!(value >= 0.0f)) return context->SetError(AL_INVALID_VALUE);
        if (!source->SetOffset(param, value)) context->SetError(AL_INVALID_OPERATION);
        return;
    }
    const FloatParam* row = FindFloatParam(param);
    if (row == nullptr) return context->SetError(AL_INVALID_ENUM);
    if (!(value >= row->low && value <= row->high)) return context->SetError(AL_INVALID_VALUE);
    source->*row->field = param == AL_PITCH && value < 0.001f ? 0.001f : value;
}

// AL_BUFFER sets the current buffer only (the queue is not touched) and only
// while the source is stopped or initial.
extern "C" void alSourcei(unsigned id, int param, int value) {
    CurrentContextLock context;
    if (!context) return;
    ALsource* source = context->FindSource(id);
    if (source == nullptr) return;
    switch (param) {
        case AL_SOURCE_RELATIVE:
        case AL_LOOPING:
            if (static_cast<unsigned>(value) > 1) return context->SetError(AL_INVALID_VALUE);
            (param == AL_LOOPING ? source->looping : source->relative) = value == 1;
            return;
        case AL_BUFFER: {
            if (source->state != AL_STOPPED && source->state != AL_INITIAL)
                return context->SetError(AL_INVALID_VALUE);
            ALbuffer* buffer = context->FindBuffer(static_cast<unsigned>(value));
            source->currentBuffer = buffer;
            if (buffer == nullptr) source->processedCount = 0;
            source->position = 0;
            return;
        }
        default: context->SetError(AL_INVALID_ENUM);
    }
}

extern "C" void alSource3f(unsigned id, int param, float x, float y, float z) {
    CurrentContextLock context;
    if (!context) return;
    ALsource* source = context->FindSource(id);
    if (source == nullptr) return;
    float* target = param == AL_POSITION    ? source->location
                    : param == AL_DIRECTION ? source->direction
                    : param == AL_VELOCITY  ? source->velocity
                                            : nullptr;
    if (target == nullptr) return context->SetError(AL_INVALID_ENUM);
    target[0] = x;
    target[1] = y;
    target[2] = z;
}

extern "C" void alGetSourcei(unsigned id, int param, int* value) {
    CurrentContextLock context;
    if (!context) return;
    if (value == nullptr) return context->SetError(AL_INVALID_VALUE);
    const ALsource* s = context->FindSource(id);
    if (s == nullptr) return context->SetError(AL_INVALID_NAME);
    switch (param) {
        case AL_SOURCE_RELATIVE: *value = s->relative ? 1 : 0; return;
        case AL_CONE_INNER_ANGLE: *value = RealToInt32(s->coneInnerAngle); return;
        case AL_CONE_OUTER_ANGLE: *value = RealToInt32(s->coneOuterAngle); return;
        case AL_LOOPING: *value = s->looping ? 1 : 0; return;
        // Whether there is a current buffer, not its id: callers test it as a flag.
        case AL_BUFFER: *value = s->currentBuffer != nullptr ? 1 : 0; return;
        case AL_SOURCE_STATE: *value = s->state; return;
        case AL_BUFFERS_QUEUED: *value = s->queuedCount; return;
        case AL_BUFFERS_PROCESSED: *value = s->processedCount; return;
        case AL_REFERENCE_DISTANCE: *value = RealToInt32(s->referenceDistance); return;
        case AL_ROLLOFF_FACTOR: *value = RealToInt32(s->rolloffFactor); return;
        case AL_MAX_DISTANCE: *value = RealToInt32(s->maxDistance); return;
        case AL_SEC_OFFSET: *value = RealToInt32(s->GetSecondsOffset()); return;
        case AL_SAMPLE_OFFSET: *value = static_cast<int>(s->GetSampleOffset()); return;
        case AL_BYTE_OFFSET: *value = 0; return;
        case AL_SOURCE_TYPE: *value = s->sourceType; return;
        case AL_DOPPLER_FACTOR: *value = RealToInt32(s->dopplerFactor); return;
        case AL_DISTANCE_MODEL: *value = s->distanceModel; return;
        default: context->SetError(AL_INVALID_ENUM);
    }
}

extern "C" void alGetSourcef(unsigned id, int param, float* value) {
    CurrentContextLock context;
    if (!context) return;
    if (value == nullptr) return context->SetError(AL_INVALID_VALUE);
    const ALsource* s = context->FindSource(id);
    if (s == nullptr) return context->SetError(AL_INVALID_NAME);
    switch (param) {
        case AL_SEC_OFFSET: *value = s->GetSecondsOffset(); return;
        case AL_SAMPLE_OFFSET: *value = static_cast<float>(s->GetSampleOffset()); return;
        case AL_BYTE_OFFSET: *value = 0.0f; return;
        default:
            if (const FloatParam* row = FindFloatParam(param)) {
                *value = s->*row->field;
                return;
            }
            context->SetError(AL_INVALID_ENUM);
    }
}

// [SECTION] queues

// Ids of 0 or of no buffer are skipped. A buffer already in a queue, or one
// whose format differs from the queue's (buffers never given data carry no
// format and fit any queue), refuses the whole call.
extern "C" void alSourceQueueBuffers(unsigned id, int n, const unsigned* ids) {
    CurrentContextLock context;
    if (!context) return;
    ALsource* source = NamedSource(*context.get(), id);
    if (source == nullptr || n <= 0) return;
    if (ids == nullptr) return context->SetError(AL_INVALID_VALUE);
    int32_t format = 0;
    for (const ALbuffer* b = source->queueHead; b != nullptr && format == 0; b = b->queueNext)
        format = b->format;
    for (int i = 0; i < n; ++i) {
        const ALbuffer* buffer = context->FindBuffer(ids[i]);
        if (buffer == nullptr) continue;
        if (buffer->queueSource != nullptr ||
            (buffer->format != 0 && format != 0 && buffer->format != format))
            return context->SetError(AL_INVALID_OPERATION);
        if (format == 0) format = buffer->format;
        for (int j = 0; j < i; ++j)
            if (ids[j] == ids[i]) return context->SetError(AL_INVALID_OPERATION);
    }
    for (int i = 0; i < n; ++i) {
        ALbuffer* buffer = context->FindBuffer(ids[i]);
        if (buffer == nullptr) continue;
        buffer->queueSource = source;
        buffer->queueNext = nullptr;
        buffer->queuePrev = source->queueTail;
        (source->queueTail != nullptr ? source->queueTail->queueNext : source->queueHead) = buffer;
        source->queueTail = buffer;
        ++source->queuedCount;
    }
    if (source->currentBuffer == nullptr) source->currentBuffer = source->queueHead;
}

// Only processed buffers come off, from the head of the queue.
extern "C" void alSourceUnqueueBuffers(unsigned id, int n, unsigned* ids) {
    CurrentContextLock context;
    if (!context) return;
    ALsource* source = NamedSource(*context.get(), id);
    if (source == nullptr || n <= 0) return;
    if (ids == nullptr || source->processedCount < n || source->queuedCount < n)
        return context->SetError(AL_INVALID_VALUE);
    for (int i = 0; i < n; ++i) {
        ALbuffer* buffer = source->queueHead;
        ids[i] = static_cast<unsigned>(buffer->id);
        UnlinkFromQueue(*source, buffer);
        if (source->currentBuffer == buffer) source->currentBuffer = nullptr;
        --source->queuedCount;
        --source->processedCount;
    }
}

extern "C" void alDistanceModel(int model) {
    CurrentContextLock context;
    if (!context) return;
    if (model != AL_NONE && (model < AL_INVERSE_DISTANCE || model > AL_EXPONENT_DISTANCE_CLAMPED))
        return context->SetError(AL_INVALID_VALUE);
    context->distanceModel = model;
}
