// The mixer's SDL devices on SDL's disk driver: a 440 Hz tone mixed through
// the output device lands in the driver's file sample for sample, and a
// capture fed from a file comes back resampled to 16000 Hz.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "audio/mixer_api.h"
#include "audio/mixer_capture.h"
#include "audio/mixer_context.h"
#include "audio/mixer_device.h"
#include "platform/sdl_audio_devices.h"

namespace {

namespace fs = std::filesystem;

// SDL's disk driver with its files in a fresh folder, for one test.
class DiskAudio : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("corvane_disk_audio_" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (m_dir / "out.raw").c_str(), 1);
        setenv("SDL_DISKAUDIOFILEIN", (m_dir / "in.raw").c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "1", 1);
        Platform_InstallAudioDevices();
    }
    void TearDown() override {
        Mixer_SetOutputDeviceFactory(nullptr);
        Mixer_ResetCaptureDevice();
        Mixer_SetCaptureDeviceFactory(nullptr);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        fs::remove_all(m_dir);
    }
    // Waits (up to 20 s, polling) until `ready` holds.
    template <typename Ready>
    bool WaitFor(Ready ready) {
        for (int i = 0; i < 2000; ++i) {
            if (ready()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return ready();
    }

    fs::path m_dir;
};

} // namespace

TEST_F(DiskAudio, ToneMixedThroughTheOutputDeviceReachesTheFile) {
    ALCdevice_struct* device = alcOpenDevice(nullptr);
    ASSERT_EQ(device->format, AL_FORMAT_STEREO_FLOAT32);
    ASSERT_EQ(device->frequency, 48000);
    ALCcontext_struct* context = alcCreateContext(device, nullptr);
    alcMakeContextCurrent(context);

    // One second of 440 Hz, starting at its peak so the start is found.
    std::vector<int16_t> tone(48000);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = static_cast<int16_t>(
            std::lround(16000 * std::cos(2 * M_PI * 440 * static_cast<double>(i) / 48000)));
    unsigned buffer = 0;
    unsigned source = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, AL_FORMAT_MONO16, tone.data(), static_cast<int>(tone.size() * 2), 48000);
    alGenSources(1, &source);
    alSourcei(source, AL_BUFFER, static_cast<int>(buffer));
    alSourcei(source, AL_LOOPING, 1);
    alSourcei(source, AL_SOURCE_RELATIVE, 1);
    alSource3f(source, AL_POSITION, 1, 0, 0); // right speaker only, at full gain
    alSourcePlay(source);

    const fs::path file = m_dir / "out.raw";
    constexpr size_t kCompared = 60000; // frames: more than the buffer, so the loop shows
    std::vector<float> samples;
    size_t start = 0;
    // A loaded machine may write silence for a while before the source's first
    // block, so wait for enough frames after the tone's start, not after the file's.
    const auto toneWritten = [&] {
        std::error_code error;
        const auto bytes = fs::file_size(file, error);
        if (error) return false;
        samples.assign(bytes / 8 * 2, 0.0f);
        std::ifstream in(file, std::ios::binary);
        in.read(reinterpret_cast<char*>(samples.data()),
                static_cast<std::streamsize>(samples.size() * sizeof(float)));
        samples.resize(static_cast<size_t>(in.gcount()) / (2 * sizeof(float)) * 2);
        start = 0;
        while (start < samples.size() / 2 && samples[2 * start + 1] == 0.0f) ++start;
        return start + kCompared <= samples.size() / 2;
    };
    ASSERT_TRUE(WaitFor(toneWritten)) << samples.size() / 2 << " frames written, tone from " << start;
    alcMakeContextCurrent(nullptr);
    alcCloseDevice(device);
    alcDestroyContext(context);

    EXPECT_EQ(start % 512, 0u) << "the source starts on a block boundary";
    for (size_t i = 0; i < kCompared; ++i) {
        ASSERT_EQ(samples[2 * (start + i)], 0.0f) << i;
        ASSERT_EQ(samples[2 * (start + i) + 1], tone[i % tone.size()] / 32768.0f) << i;
    }
}

TEST_F(DiskAudio, CaptureFedFromAFileComesBackAtSixteenThousandHertz) {
    // A ramp of 16-bit mono input at the device's 48000 Hz: in[k] = 6k.
    std::vector<int16_t> input(5400);
    for (size_t k = 0; k < input.size(); ++k) input[k] = static_cast<int16_t>(6 * k);
    {
        std::ofstream out(m_dir / "in.raw", std::ios::binary);
        out.write(reinterpret_cast<const char*>(input.data()),
                  static_cast<std::streamsize>(input.size() * 2));
    }
    ALCdevice_struct* capture = alcCaptureOpenDevice(nullptr, 16000, AL_FORMAT_MONO16, 32000);
    alcCaptureStart(capture);
    auto* ring = dynamic_cast<MixerCaptureDevice*>(capture);
    ASSERT_NE(ring, nullptr);
    EXPECT_EQ(ring->frequency, 16000);
    EXPECT_EQ(ring->HardwareRate(), 48000);
    EXPECT_EQ(ring->Ratio(), 3.0f);

    const auto available = [&] {
        int n = 0;
        alcGetIntegerv(capture, ALC_CAPTURE_SAMPLES, 1, &n);
        return n;
    };
    ASSERT_TRUE(WaitFor([&] { return available() >= 1600; })) << available();
    std::vector<int16_t> out(1600);
    alcCaptureSamples(capture, out.data(), 1600);
    alcCaptureStop(capture);
    alcCaptureCloseDevice(capture);
    EXPECT_EQ(out[0], 0);
    for (int i = 1; i < 1600; ++i) ASSERT_EQ(out[i], 18 * i - 11) << i;
}
