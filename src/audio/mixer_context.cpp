// Context entry points, the listener and the error query.
#include "audio/mixer_context.h"

#include <thread>
#include <utility>

#include "audio/mixer_buffer.h"
#include "audio/mixer_source.h"

std::atomic<ALCcontext_struct*> g_pCurrentContext{nullptr};
int32_t g_ALError = AL_NO_ERROR;
std::atomic<int64_t> g_audioTimestamp{0};
std::atomic<int64_t> g_mixerTimestamp{0};
std::atomic<int> g_mixerPasses{0};

ALCcontext_struct::ALCcontext_struct(ALCdevice_struct* owner) : device(owner) {}

ALCcontext_struct::~ALCcontext_struct() {
    for (ALsource* list : {sourceHead, freeSources}) {
        while (list != nullptr) delete std::exchange(list, list->next);
    }
    for (ALbuffer* b = bufferHead; b != nullptr;) delete std::exchange(b, b->next);
}

ALsource* ALCcontext_struct::FindSource(unsigned id) const {
    if (id == 0) return nullptr;
    for (ALsource* s = sourceHead; s != nullptr; s = s->next)
        if (static_cast<unsigned>(s->id) == id) return s;
    return nullptr;
}

ALbuffer* ALCcontext_struct::FindBuffer(unsigned id) const {
    if (id == 0) return nullptr;
    for (ALbuffer* b = bufferHead; b != nullptr; b = b->next)
        if (static_cast<unsigned>(b->id) == id) return b;
    return nullptr;
}

// [SECTION] contexts

// The attribute list is ignored; the new context is not made current.
extern "C" ALCcontext_struct* alcCreateContext(ALCdevice_struct* device, const int* /*attributes*/) {
    if (device == nullptr) return nullptr;
    return new ALCcontext_struct(device);
}

extern "C" char alcMakeContextCurrent(ALCcontext_struct* context) {
    g_pCurrentContext.store(context);
    return 1;
}

extern "C" ALCcontext_struct* alcGetCurrentContext() {
    return g_pCurrentContext.load();
}

// The pair brackets a batch of changes the render thread must not see half done.
extern "C" void alcSuspendContext(ALCcontext_struct* context) {
    if (context != nullptr) context->mutex.Lock();
}

extern "C" void alcProcessContext(ALCcontext_struct* context) {
    if (context != nullptr) context->mutex.Unlock();
}

// Destroying the current context also makes no context current, so that no
// later call reaches the freed record. A render pass that read the pointer
// before it was cleared is let finish first (callers never destroy a context
// they hold suspended, which would keep such a pass waiting).
extern "C" void alcDestroyContext(ALCcontext_struct* context) {
    if (context == nullptr) return;
    ALCcontext_struct* expected = context;
    g_pCurrentContext.compare_exchange_strong(expected, nullptr);
    while (g_mixerPasses.load() > 0) std::this_thread::yield();
    delete context;
}

extern "C" ALCdevice_struct* alcGetContextsDevice(ALCcontext_struct* context) {
    return context != nullptr ? context->device : nullptr;
}

extern "C" void alcSetListenerMask(unsigned mask) {
    if (ALCcontext_struct* context = g_pCurrentContext.load()) context->listenerMask.store(mask);
}

extern "C" int alGetError() {
    return g_ALError;
}

// [SECTION] listener

extern "C" void alListenerf(int param, float value) {
    CurrentContextLock context;
    if (!context) return;
    if (param != AL_GAIN) return context->SetError(AL_INVALID_ENUM);
    if (!(value >= 0.0f)) return context->SetError(AL_INVALID_VALUE);
    context->listenerGain = value;
}

extern "C" void alListener3f(int param, float x, float y, float z) {
    CurrentContextLock context;
    if (!context) return;
    float* target = param == AL_POSITION   ? context->listenerPosition
                    : param == AL_VELOCITY ? context->listenerVelocity
                                           : nullptr;
    if (target == nullptr) return context->SetError(AL_INVALID_ENUM);
    target[0] = x;
    target[1] = y;
    target[2] = z;
}

// The orientation is stored as given; it is normalised where it is used.
extern "C" void alListenerfv(int param, const float* values) {
    CurrentContextLock context;
    if (!context) return;
    switch (param) {
        case AL_POSITION:
        case AL_VELOCITY:
        case AL_GAIN:
        case AL_ORIENTATION: break;
        default: return context->SetError(AL_INVALID_ENUM);
    }
    if (values == nullptr) return context->SetError(AL_INVALID_VALUE);
    switch (param) {
        case AL_GAIN: return alListenerf(AL_GAIN, values[0]);
        case AL_ORIENTATION:
            for (int i = 0; i < 3; ++i) {
                context->listenerAt[i] = values[i];
                context->listenerUp[i] = values[3 + i];
            }
            return;
        default: return alListener3f(param, values[0], values[1], values[2]);
    }
}
