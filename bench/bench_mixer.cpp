// The mixer rendering 10 s of 48 kHz float stereo offline, in 512-frame
// blocks, from 32, 128 and 256 looping voices at pitch 1.0 and 1.37. Each
// voice plays its own one-second 16-bit mono 44.1 kHz buffer from a place
// around the listener, so every block computes distance, cone, doppler and
// panning for each voice. The "realtime_factor" counter is seconds of audio
// rendered per second of time. Only our mixer runs here: the figure of a
// peer mixer on the same scene is measured elsewhere.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "audio/mixer_api.h"
#include "audio/mixer_device.h"
#include "audio/mixer_mix.h"

namespace {

constexpr int kRate = 48000;
constexpr int kBlock = 512;
constexpr int kSeconds = 10;

struct Scene {
    Scene(int voices, float pitch) {
        device = alcOpenDevice(nullptr);
        device->format = AL_FORMAT_STEREO_FLOAT32;
        device->frequency = kRate;
        context = alcCreateContext(device, nullptr);
        alcMakeContextCurrent(context);
        alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
        samples.resize(static_cast<size_t>(voices));
        buffers.resize(static_cast<size_t>(voices));
        sources.resize(static_cast<size_t>(voices));
        alGenBuffers(voices, buffers.data());
        alGenSources(voices, sources.data());
        for (int v = 0; v < voices; ++v) {
            std::vector<int16_t>& s = samples[static_cast<size_t>(v)];
            s.resize(44100);
            for (size_t i = 0; i < s.size(); ++i)
                s[i] = static_cast<int16_t>(8000 * std::sin(0.01 * (v + 1) * static_cast<double>(i)));
            alBufferDataNoCopy(buffers[v], AL_FORMAT_MONO16, s.data(), static_cast<int>(s.size() * 2), 44100);
            const unsigned id = sources[static_cast<size_t>(v)];
            const double angle = 2 * M_PI * v / voices;
            alSource3f(id, AL_POSITION, static_cast<float>(8 * std::cos(angle)), 0,
                       static_cast<float>(8 * std::sin(angle)));
            alSource3f(id, AL_VELOCITY, 1, 0, -1);
            alSourcef(id, AL_PITCH, pitch);
            alSourcef(id, AL_GAIN, 1.0f / static_cast<float>(voices));
            alSourcei(id, AL_LOOPING, 1);
            alSourcei(id, AL_BUFFER, static_cast<int>(buffers[v]));
            alSourcePlay(id);
        }
    }
    ~Scene() {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
        alcCloseDevice(device);
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    ALCdevice_struct* device;
    ALCcontext_struct* context;
    std::vector<std::vector<int16_t>> samples;
    std::vector<unsigned> buffers;
    std::vector<unsigned> sources;
};

void BM_MixTenSeconds(benchmark::State& state) {
    const int voices = static_cast<int>(state.range(0));
    const float pitch = static_cast<float>(state.range(1)) / 100.0f;
    Scene scene(voices, pitch);
    std::vector<float> out(2 * kBlock);
    for (auto _ : state) {
        for (int done = 0; done < kSeconds * kRate; done += kBlock) {
            aluMixData(scene.device, out.data(), kBlock);
            aluAdvanceSource(scene.device, kBlock);
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["realtime_factor"] =
        benchmark::Counter(static_cast<double>(kSeconds) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    state.SetLabel("our mixer only; no peer run here");
}

BENCHMARK(BM_MixTenSeconds)
    ->ArgNames({"voices", "pitch_x100"})
    ->ArgsProduct({{32, 128, 256}, {100, 137}})
    ->Unit(benchmark::kMillisecond);

} // namespace
