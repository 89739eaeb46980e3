// The mixer's context: the listener, the sources and buffers named by ids,
// and the one recursive lock that serialises the game thread, the decoder
// threads and the render thread over all of it.
#pragma once

#include <atomic>
#include <cstdint>

#include "audio/mixer_api.h"
#include "core/mutex.h"

struct ALbuffer;
struct ALsource;

struct ALCcontext_struct {
    explicit ALCcontext_struct(ALCdevice_struct* device);
    // Frees every source and buffer the context made (and the samples the
    // buffers copied); samples handed over without a copy stay their owner's.
    ~ALCcontext_struct();
    ALCcontext_struct(const ALCcontext_struct&) = delete;
    ALCcontext_struct& operator=(const ALCcontext_struct&) = delete;

    // Code of the latest failing al* call; nothing clears it, and alGetError
    // does not report it (callers of the mixer rely on that).
    int32_t lastError = AL_NO_ERROR;
    // Not set by the standard until alDistanceModel; the sound system sets it
    // before any source plays. The standard's default stands in meanwhile.
    int32_t distanceModel = AL_INVERSE_DISTANCE_CLAMPED;
    float listenerPosition[3] = {0, 0, 0};
    float listenerVelocity[3] = {0, 0, 0};
    float listenerUp[3] = {0, 1, 0};
    float listenerAt[3] = {0, 0, -1};
    float listenerGain = 1.0f;
    // No entry point changes these three.
    float dopplerFactor = 1.0f;
    float dopplerVelocity = 1.0f;
    float speedOfSound = 343.3f;
    // Copied into a source when it starts playing.
    std::atomic<uint32_t> listenerMask{1};
    Mutex mutex{"ALC"};

    // Sources in creation order; deleted ones wait in the free list (linked
    // through `next`) to be handed out again by alGenSources.
    ALsource* sourceHead = nullptr;
    ALsource* sourceTail = nullptr;
    int32_t nextSourceId = 1;
    ALsource* freeSources = nullptr;
    ALbuffer* bufferHead = nullptr;
    ALbuffer* bufferTail = nullptr;
    int32_t nextBufferId = 1;
    ALCdevice_struct* device;

    // The first live source or buffer with this id, or null. Id 0 names nothing.
    ALsource* FindSource(unsigned id) const;
    ALbuffer* FindBuffer(unsigned id) const;
    void SetError(int32_t code) { lastError = code; }
};

// The current context: null until one is made current. Read by the render
// thread, so it is atomic.
extern std::atomic<ALCcontext_struct*> g_pCurrentContext;
// What alGetError returns: nothing writes it.
extern int32_t g_ALError;
// Microseconds: the time the sound system's tick stored (a source is stamped
// with it when it starts) and the end of the latest mixed block.
extern std::atomic<int64_t> g_audioTimestamp;
extern std::atomic<int64_t> g_mixerTimestamp;

// The render thread's passes (a block's mix or advance) in progress. A pass
// may have read g_pCurrentContext and be waiting for its lock, so
// alcDestroyContext, having made the context no longer current, waits for
// the passes to end before freeing it.
extern std::atomic<int> g_mixerPasses;
class MixerPass {
public:
    MixerPass() { g_mixerPasses.fetch_add(1); }
    ~MixerPass() { g_mixerPasses.fetch_sub(1); }
    MixerPass(const MixerPass&) = delete;
    MixerPass& operator=(const MixerPass&) = delete;
};

// Holds the current context's lock for its lifetime. Every al* entry point
// starts with one and does nothing when no context is current.
class CurrentContextLock {
public:
    CurrentContextLock() : m_context(g_pCurrentContext.load()) {
        if (m_context != nullptr) m_context->mutex.Lock();
    }
    ~CurrentContextLock() {
        if (m_context != nullptr) m_context->mutex.Unlock();
    }
    CurrentContextLock(const CurrentContextLock&) = delete;
    CurrentContextLock& operator=(const CurrentContextLock&) = delete;

    ALCcontext_struct* get() const { return m_context; }
    explicit operator bool() const { return m_context != nullptr; }
    ALCcontext_struct* operator->() const { return m_context; }

private:
    ALCcontext_struct* m_context;
};
