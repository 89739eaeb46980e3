// Buffer entry points. alBufferData copies the caller's samples, as freealut
// needs (it frees what it decoded right after handing it over);
// alBufferDataNoCopy keeps the caller's pointer for the runtime's own sample
// owners. A buffer that a source holds (current or queued) cannot be deleted,
// so the mixer never reads freed samples.
#include "audio/mixer_buffer.h"

#include <cstring>

#include "audio/mixer_context.h"
#include "audio/mixer_formats.h"
#include "audio/mixer_source.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"

ALbuffer::~ALbuffer() {
    MemoryManager::Free(m_ownedSamples);
    MemoryManager::Free(m_ownedName);
}

void ALbuffer::SetSamples(const void* data, void* owned, int size, int sampleFormat, int rate,
                          int bytesPerFrame) {
    MemoryManager::Free(m_ownedSamples);
    m_ownedSamples = owned;
    samples = data;
    sizeBytes = size;
    format = sampleFormat;
    frequency = rate;
    frameSize = bytesPerFrame;
    frameCount = static_cast<uint32_t>(size / bytesPerFrame);
}

void ALbuffer::SetDebugName(const char* name) {
    if (name == nullptr) return;
    char* copy = ZQStrDup(name);
    if (copy == nullptr) return;
    MemoryManager::Free(m_ownedName);
    m_ownedName = copy;
    debugName = copy;
}

namespace {

bool IdListed(int32_t id, int n, const unsigned* ids) {
    for (int i = 0; i < n; ++i)
        if (ids[i] == static_cast<unsigned>(id)) return true;
    return false;
}

bool HeldBySource(const ALCcontext_struct& context, const ALbuffer* buffer) {
    if (buffer->queueSource != nullptr) return true;
    for (const ALsource* s = context.sourceHead; s != nullptr; s = s->next)
        if (s->currentBuffer == buffer) return true;
    return false;
}

void Unlink(ALCcontext_struct& context, ALbuffer* buffer) {
    (buffer->prev != nullptr ? buffer->prev->next : context.bufferHead) = buffer->next;
    (buffer->next != nullptr ? buffer->next->prev : context.bufferTail) = buffer->prev;
}

// Checks in the order the callers' errors are told apart: the name, the size,
// the format, then whole frames. Returns the frame size, or 0 after setting
// the error (nothing changes then).
int CheckBufferData(ALCcontext_struct& context, ALbuffer* buffer, int format, const void* data, int size) {
    if (buffer == nullptr) return context.SetError(AL_INVALID_NAME), 0;
    if (size <= 0) return context.SetError(AL_INVALID_VALUE), 0;
    const int frameSize = bufferFrameSizeFromFormat(format);
    if (frameSize == 0) return context.SetError(AL_INVALID_ENUM), 0;
    if (size % frameSize != 0 || data == nullptr) return context.SetError(AL_INVALID_VALUE), 0;
    return frameSize;
}

} // namespace

extern "C" void alGenBuffers(int n, unsigned* ids) {
    CurrentContextLock context;
    if (!context) return;
    if (n < 0 || (n > 0 && ids == nullptr)) return context->SetError(AL_INVALID_VALUE);
    for (int i = 0; i < n; ++i) {
        auto* buffer = new ALbuffer();
        buffer->id = context->nextBufferId++;
        buffer->prev = context->bufferTail;
        (context->bufferTail != nullptr ? context->bufferTail->next : context->bufferHead) = buffer;
        context->bufferTail = buffer;
        ids[i] = static_cast<unsigned>(buffer->id);
    }
}

// Ids that name no buffer are ignored. When any named buffer is still held by
// a source, nothing is deleted.
extern "C" void alDeleteBuffers(int n, const unsigned* ids) {
    CurrentContextLock context;
    if (!context || n <= 0) return;
    if (ids == nullptr) return context->SetError(AL_INVALID_VALUE);
    for (ALbuffer* b = context->bufferHead; b != nullptr; b = b->next)
        if (IdListed(b->id, n, ids) && HeldBySource(*context.get(), b))
            return context->SetError(AL_INVALID_OPERATION);
    for (ALbuffer* b = context->bufferHead; b != nullptr;) {
        ALbuffer* following = b->next;
        if (IdListed(b->id, n, ids)) {
            Unlink(*context.get(), b);
            delete b;
        }
        b = following;
    }
}

extern "C" char alIsBuffer(unsigned id) {
    CurrentContextLock context;
    return context && context->FindBuffer(id) != nullptr ? 1 : 0;
}

// Sources holding the buffer are not touched: the new samples play from the
// next mixed block, and a position beyond the new end is wrapped by the mixer.
extern "C" void alBufferData(unsigned id, int format, const void* data, int size, int frequency) {
    CurrentContextLock context;
    if (!context) return;
    ALbuffer* buffer = context->FindBuffer(id);
    const int frameSize = CheckBufferData(*context.get(), buffer, format, data, size);
    if (frameSize == 0) return;
    void* copy = MemoryManager::Alloc(static_cast<size_t>(size), __FILE__, __LINE__, false);
    if (copy == nullptr) return context->SetError(AL_OUT_OF_MEMORY);
    std::memcpy(copy, data, static_cast<size_t>(size));
    buffer->SetSamples(copy, copy, size, format, frequency, frameSize);
}

void alBufferDataNoCopy(unsigned id, int format, const void* data, int size, int frequency) {
    CurrentContextLock context;
    if (!context) return;
    ALbuffer* buffer = context->FindBuffer(id);
    const int frameSize = CheckBufferData(*context.get(), buffer, format, data, size);
    if (frameSize == 0) return;
    buffer->SetSamples(data, nullptr, size, format, frequency, frameSize);
}

extern "C" void alGetBufferi(unsigned id, int param, int* value) {
    CurrentContextLock context;
    if (!context) return;
    if (value == nullptr) return context->SetError(AL_INVALID_VALUE);
    const ALbuffer* buffer = context->FindBuffer(id);
    if (buffer == nullptr) return context->SetError(AL_INVALID_NAME);
    switch (param) {
        case AL_FREQUENCY: *value = buffer->frequency; return;
        case AL_BITS: *value = 8 * bytesFromFormat(buffer->format); return;
        case AL_CHANNELS: *value = channelsFromFormat(buffer->format); return;
        case AL_SIZE: *value = buffer->sizeBytes; return;
        default: context->SetError(AL_INVALID_ENUM);
    }
}

extern "C" void alBufferDebugName(unsigned id, const char* name) {
    CurrentContextLock context;
    if (!context) return;
    if (ALbuffer* buffer = context->FindBuffer(id)) buffer->SetDebugName(name);
}
