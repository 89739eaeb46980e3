// The block mixer. Sources are read with an 18.14 fixed-point step and no
// interpolation; eighteen functions, chosen through three tables (output
// channels, bytes per source sample, source channels), cover mono and stereo
// sources of 8-bit, 16-bit and float samples into mono, stereo and
// 8-channel output.
//
// What must stay true: no read ever leaves a buffer's frames. A position at
// or past the end of a buffer (an offset set too far, a buffer refilled
// shorter, a step longer than the buffer) is wrapped before anything is
// read, buffers without frames are never read, and a queue that changes
// sample format ends the source's block there. No loop depends on a buffer
// having frames, so nothing spins while the context is locked.
#include "audio/mixer_mix.h"

#include <algorithm>
#include <cstring>

#include "audio/mixer_buffer.h"
#include "audio/mixer_context.h"
#include "audio/mixer_device.h"
#include "audio/mixer_formats.h"
#include "audio/mixer_source.h"
#include "core/console.h"
#include "core/memory_manager.h"
#include "core/timing.h"

namespace {

// The float mixing buffer: grown when a block needs more, never shrunk.
float* g_pMixingBuffer = nullptr;
size_t g_sizeMixingBuffer = 0;

// A step beyond 2^16 frames per output frame is no longer audible as pitch;
// capping it keeps every fixed-point sum within 64 bits.
constexpr uint32_t kMaxStep = 1u << 30;

template <typename T>
float ReadSample(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof(T)); // samples handed over without a copy may be unaligned
    if constexpr (sizeof(T) == 1)
        return (static_cast<float>(v) - 128.0f) * (1.0f / 128.0f);
    else if constexpr (sizeof(T) == 2)
        return static_cast<float>(v) * (1.0f / 32768.0f);
    else
        return v;
}

// Brings frame index k inside `buf` by the wrap rules: a looping source stays
// on its buffer, another moves along the queue (skipping buffers without
// frames). False when the source has nothing more to play in this block.
bool WrapRead(const ALbuffer*& buf, uint64_t& k, bool looping) {
    const int32_t format = buf->format;
    while (k >= buf->frameCount) {
        if (looping) {
            if (buf->frameCount == 0) return false;
            k %= buf->frameCount;
            return true;
        }
        k -= buf->frameCount;
        buf = buf->queueNext;
        if (buf == nullptr) return false;
        if (buf->frameCount > 0 && buf->format != format) return false;
    }
    return true;
}

// One frame's contribution to one output frame.
template <typename T, int Src, int Dst>
inline void Accumulate(float* o, const unsigned char* frame, const float* g) {
    if constexpr (Src == 1) {
        const float v = ReadSample<T>(frame);
        for (int c = 0; c < Dst; ++c) o[c] += v * g[c];
    } else {
        const float l = ReadSample<T>(frame);
        const float r = ReadSample<T>(frame + sizeof(T));
        if constexpr (Dst == 1) {
            o[0] += l * g[0] + r * g[0]; // the sum, not the average
        } else if constexpr (Dst == 2) {
            o[0] += l * g[0];
            o[1] += r * g[1];
        } else {
            const float m = (l + r) * 0.5f;
            o[0] += l * g[0];
            o[1] += r * g[1];
            o[2] += m * g[2];
            o[3] += m * g[3];
            o[4] += l * g[4];
            o[5] += r * g[5];
            o[6] += l * g[6];
            o[7] += r * g[7];
        }
    }
}

// The mixing functions: runs of frames up to the next buffer boundary are
// mixed without a boundary test per frame.
template <typename T, int Src, int Dst>
void MixSource(float* out, int count, ALbuffer* buffer, ALsource* source, ALCdevice_struct* device) {
    if (count <= 0) return;
    const uint32_t step = Mixer_Step(*buffer, *source, *device);
    uint32_t frac = source->positionFraction & kMixerFractionMask;
    uint64_t k = source->position;
    const ALbuffer* buf = buffer;
    if (!WrapRead(buf, k, source->looping)) return;
    float g[Dst];
    for (int c = 0; c < Dst; ++c) g[c] = source->channelGains[c];
    constexpr size_t frameBytes = Src * sizeof(T);
    int i = 0;
    for (;;) {
        const auto* data = static_cast<const unsigned char*>(buf->samples);
        const uint64_t room = ((buf->frameCount - k) << kMixerFractionBits) - frac;
        const uint64_t left = static_cast<uint64_t>(count - i);
        const uint64_t n = step == 0 ? left : std::min(left, (room + step - 1) / step);
        float* o = out + static_cast<size_t>(i) * Dst;
        // The position as one fixed-point number, so each frame's step is a
        // single addition.
        uint64_t fixed = (k << kMixerFractionBits) | frac;
        for (uint64_t j = 0; j < n; ++j, o += Dst, fixed += step)
            Accumulate<T, Src, Dst>(o, data + (fixed >> kMixerFractionBits) * frameBytes, g);
        k = fixed >> kMixerFractionBits;
        frac = static_cast<uint32_t>(fixed & kMixerFractionMask);
        i += static_cast<int>(n);
        if (i >= count || !WrapRead(buf, k, source->looping)) return;
    }
}

constexpr MixFunction MixMono8BitToMonoFloat = MixSource<uint8_t, 1, 1>;
constexpr MixFunction MixStereo8BitToMonoFloat = MixSource<uint8_t, 2, 1>;
constexpr MixFunction MixMono16BitToMonoFloat = MixSource<int16_t, 1, 1>;
constexpr MixFunction MixStereo16BitToMonoFloat = MixSource<int16_t, 2, 1>;
constexpr MixFunction MixMonoFloatToMonoFloat = MixSource<float, 1, 1>;
constexpr MixFunction MixStereoFloatToMonoFloat = MixSource<float, 2, 1>;
constexpr MixFunction MixMono8BitToStereoFloat = MixSource<uint8_t, 1, 2>;
constexpr MixFunction MixStereo8BitToStereoFloat = MixSource<uint8_t, 2, 2>;
constexpr MixFunction MixMono16BitToStereoFloat = MixSource<int16_t, 1, 2>;
constexpr MixFunction MixStereo16BitToStereoFloat = MixSource<int16_t, 2, 2>;
constexpr MixFunction MixMonoFloatToStereoFloat = MixSource<float, 1, 2>;
constexpr MixFunction MixStereoFloatToStereoFloat = MixSource<float, 2, 2>;
constexpr MixFunction MixMono8BitTo71Float = MixSource<uint8_t, 1, 8>;
constexpr MixFunction MixStereo8BitTo71Float = MixSource<uint8_t, 2, 8>;
constexpr MixFunction MixMono16BitTo71Float = MixSource<int16_t, 1, 8>;
constexpr MixFunction MixStereo16BitTo71Float = MixSource<int16_t, 2, 8>;
constexpr MixFunction MixMonoFloatTo71Float = MixSource<float, 1, 8>;
constexpr MixFunction MixStereoFloatTo71Float = MixSource<float, 2, 8>;

// Function tables by source channel count.
const MixFunction g_mix8BitToMonoFuncs[9] = {nullptr, MixMono8BitToMonoFloat, MixStereo8BitToMonoFloat};
const MixFunction g_mix16BitToMonoFuncs[9] = {nullptr, MixMono16BitToMonoFloat, MixStereo16BitToMonoFloat};
const MixFunction g_mixFloatToMonoFuncs[9] = {nullptr, MixMonoFloatToMonoFloat, MixStereoFloatToMonoFloat};
const MixFunction g_mix8BitToStereoFuncs[9] = {nullptr, MixMono8BitToStereoFloat, MixStereo8BitToStereoFloat};
const MixFunction g_mix16BitToStereoFuncs[9] = {nullptr, MixMono16BitToStereoFloat,
                                                MixStereo16BitToStereoFloat};
const MixFunction g_mixFloatToStereoFuncs[9] = {nullptr, MixMonoFloatToStereoFloat,
                                                MixStereoFloatToStereoFloat};
const MixFunction g_mix8BitTo71Funcs[9] = {nullptr, MixMono8BitTo71Float, MixStereo8BitTo71Float};
const MixFunction g_mix16BitTo71Funcs[9] = {nullptr, MixMono16BitTo71Float, MixStereo16BitTo71Float};
const MixFunction g_mixFloatTo71Funcs[9] = {nullptr, MixMonoFloatTo71Float, MixStereoFloatTo71Float};

// Type tables by bytes per source sample.
const MixFunctionTable g_mixToMonoTypeTables[8] = {nullptr, g_mix8BitToMonoFuncs, g_mix16BitToMonoFuncs,
                                                   nullptr, g_mixFloatToMonoFuncs};
const MixFunctionTable g_mixToStereoTypeTables[8] = {nullptr, g_mix8BitToStereoFuncs, g_mix16BitToStereoFuncs,
                                                     nullptr, g_mixFloatToStereoFuncs};
const MixFunctionTable g_mixTo71TypeTables[8] = {nullptr, g_mix8BitTo71Funcs, g_mix16BitTo71Funcs, nullptr,
                                                 g_mixFloatTo71Funcs};

// Silence in the device's format: 8-bit samples are unsigned.
void WriteSilence(void* out, int frames, int channels, int bytes) {
    const size_t size = static_cast<size_t>(frames) * static_cast<size_t>(std::max(channels, 1)) *
                        static_cast<size_t>(std::max(bytes, 1));
    std::memset(out, bytes == 1 ? 128 : 0, size);
}

bool GrowMixingBuffer(size_t floats) {
    const size_t bytes = floats * sizeof(float);
    if (bytes <= g_sizeMixingBuffer) return true;
    auto* grown = static_cast<float*>(MemoryManager::Alloc(bytes, __FILE__, __LINE__, false));
    if (grown == nullptr) return false;
    MemoryManager::Free(g_pMixingBuffer);
    g_pMixingBuffer = grown;
    g_sizeMixingBuffer = bytes;
    return true;
}

// Where in the block a source starts. A source at its start is delayed by
// the time between the end of the last block and its start, measured at the
// device's rate; one whose start lies beyond this block waits (partialFrames
// -1) instead of losing the block. Returns the first output frame.
int StartOffset(ALsource& s, const ALCdevice_struct& device, int frames) {
    const int64_t mixed = g_mixerTimestamp.load();
    if (s.position != 0 || mixed <= 0) {
        s.partialFrames = 0;
        return 0;
    }
    const int64_t delay = std::clamp<int64_t>(s.playTimestamp - mixed, -1000000000, 1000000000); // 1000 s
    const int64_t p = delay * device.frequency;
    if (p < 1000000) {
        s.partialFrames = 0;
        return 0;
    }
    const int64_t lo = p / 1000000;
    if (lo >= frames) {
        s.partialFrames = -1;
        return frames;
    }
    s.partialFrames = frames - static_cast<int>(lo);
    return static_cast<int>(lo);
}

void ConvertOut(void* out, int samples, int bytes) {
    if (bytes == 4) {
        std::memcpy(out, g_pMixingBuffer, static_cast<size_t>(samples) * sizeof(float));
        return;
    }
    auto* o = static_cast<int16_t*>(out);
    for (int i = 0; i < samples; ++i) {
        float v = g_pMixingBuffer[i] * 32768.0f;
        if (v > 32767.0f)
            v = 32767.0f;
        else if (v < -32768.0f)
            v = -32768.0f;
        else if (v != v)
            v = 0.0f;
        o[i] = static_cast<int16_t>(v);
    }
}

} // namespace

const MixTypeTable g_destChannelFuncs[9] = {
    nullptr, g_mixToMonoTypeTables, g_mixToStereoTypeTables, nullptr, nullptr, nullptr, nullptr,
    nullptr, g_mixTo71TypeTables};

uint32_t Mixer_Step(const ALbuffer& buffer, const ALsource& source, const ALCdevice_struct& device) {
    if (device.frequency <= 0) return 0;
    const float step = static_cast<float>(buffer.frequency) * source.effectivePitch /
                       static_cast<float>(device.frequency) * 16384.0f;
    if (!(step > 0.0f)) return 0;
    return step >= static_cast<float>(kMaxStep) ? kMaxStep : static_cast<uint32_t>(step);
}

void aluMixData(ALCdevice_struct* device, void* out, int frames) {
    if (device == nullptr || out == nullptr || frames <= 0) return;
    const int channels = channelsFromFormat(device->format);
    const int bytes = bytesFromFormat(device->format);
    const MixerPass pass;
    ALCcontext_struct* context = g_pCurrentContext.load();
    if (context == nullptr) return WriteSilence(out, frames, channels, bytes);
    MutexLock lock(context->mutex);

    const MixTypeTable table = channels >= 1 && channels <= 8 ? g_destChannelFuncs[channels] : nullptr;
    if (table == nullptr) {
        dbg_csol->Output("No mixing functions for %d destination channels\n", channels);
        return WriteSilence(out, frames, channels, bytes);
    }
    if ((bytes != 2 && bytes != 4) || !GrowMixingBuffer(static_cast<size_t>(frames) * channels))
        return WriteSilence(out, frames, channels, bytes);
    std::fill_n(g_pMixingBuffer, static_cast<size_t>(frames) * channels, 0.0f);

    for (ALsource* s = context->sourceHead; s != nullptr; s = s->next) {
        ALbuffer* buf = s->currentBuffer;
        if (s->state != AL_PLAYING || buf == nullptr || (s->listenerMask & device->listenerMask) == 0)
            continue;
        const int first = StartOffset(*s, *device, frames);
        const int sourceChannels = channelsFromFormat(buf->format);
        if (sourceChannels == 1)
            s->calcSourceParams(*context, *device);
        else
            s->calcNonAttnSourceParams(*context, *device);
        if (buf->frameCount == 0 || first >= frames) continue;

        const int sampleBytes = bytesFromFormat(buf->format);
        const MixFunctionTable functions =
            sampleBytes >= 1 && sampleBytes <= 7 ? table[sampleBytes] : nullptr;
        if (functions == nullptr) {
            dbg_csol->Output("no mixing function for %d source bytes\n", sampleBytes);
            continue;
        }
        const MixFunction mix =
            sourceChannels >= 1 && sourceChannels <= 8 ? functions[sourceChannels] : nullptr;
        if (mix == nullptr) {
            dbg_csol->Output("no mixing function for %d source channels\n", sourceChannels);
            continue;
        }
        mix(g_pMixingBuffer + static_cast<size_t>(first) * channels, frames - first, buf, s, device);
    }
    ConvertOut(out, frames * channels, bytes);
    g_mixerTimestamp.store(Timing_Time());
}

// A looping source stays on its buffer; a queued one moves along its queue,
// counting each buffer it finishes, and stops without a current buffer at
// the end; a source without a queue stops at position 0 keeping its buffer,
// so playing it again starts it over. A buffer without frames is passed
// over as if finished, looping or not.
void aluAdvanceSource(ALCdevice_struct* device, int frames) {
    if (device == nullptr) return;
    const MixerPass pass;
    CurrentContextLock context;
    if (!context) return;
    for (ALsource* s = context->sourceHead; s != nullptr; s = s->next) {
        if (s->state != AL_PLAYING || s->currentBuffer == nullptr) continue;
        const int n = s->partialFrames > 0   ? s->partialFrames
                      : s->partialFrames < 0 ? 0
                                             : std::max(frames, 0);
        s->partialFrames = 0;
        const uint64_t step = Mixer_Step(*s->currentBuffer, *s, *device);
        const uint64_t total = static_cast<uint64_t>(n) * step + (s->positionFraction & kMixerFractionMask);
        uint64_t position = s->position + (total >> kMixerFractionBits);
        s->positionFraction = static_cast<uint32_t>(total & kMixerFractionMask);
        while (position >= s->currentBuffer->frameCount) {
            const uint32_t count = s->currentBuffer->frameCount;
            if (s->looping && count > 0) {
                position %= count;
                break;
            }
            position -= count;
            if (s->queueHead != nullptr) {
                s->currentBuffer = s->currentBuffer->queueNext;
                ++s->processedCount;
                if (s->currentBuffer != nullptr) continue;
            }
            s->state = AL_STOPPED;
            position = 0;
            break;
        }
        s->position = static_cast<uint32_t>(position);
    }
}
