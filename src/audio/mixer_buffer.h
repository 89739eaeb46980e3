// A mixer buffer: a block of PCM samples that sources play. A buffer sits in
// the context's buffer list and in at most one source's queue.
#pragma once

#include <cstdint>

struct ALsource;

struct ALbuffer {
    ALbuffer() = default;
    ~ALbuffer();
    ALbuffer(const ALbuffer&) = delete;
    ALbuffer& operator=(const ALbuffer&) = delete;

    // Place in the context's buffer list.
    ALbuffer* next = nullptr;
    ALbuffer* prev = nullptr;
    // Place in the queue of `queueSource`, the one source whose queue holds
    // the buffer (null: in no queue).
    ALbuffer* queueNext = nullptr;
    ALbuffer* queuePrev = nullptr;
    ALsource* queueSource = nullptr;
    // The samples: the buffer's own copy (`ownedSamples`) or bytes whose
    // owner keeps them alive (alBufferDataNoCopy).
    const void* samples = nullptr;
    int32_t sizeBytes = 0;
    int32_t format = 0;
    int32_t frequency = 0;
    int32_t frameSize = 0;
    // sizeBytes / frameSize; 0 only for a buffer never given data.
    uint32_t frameCount = 0;
    int32_t id = 0;
    // Shown by the audio debug overlay; "test" until alBufferDebugName.
    const char* debugName = "test";

    // Sets the samples, taking ownership of `owned` (may be null).
    void SetSamples(const void* data, void* owned, int size, int format, int frequency, int frameSize);
    // Names the buffer with a copy of `name` (null keeps "test").
    void SetDebugName(const char* name);

private:
    void* m_ownedSamples = nullptr;
    char* m_ownedName = nullptr;
};
