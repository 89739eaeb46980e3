// Mixing blocks: steps, loops, queues, start delays, listener masks, output
// conversion, the dispatch logs, and the cases that must neither read past a
// buffer nor hang (positions past the end, huge steps, empty buffers, a
// queue whose format changed).
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "audio/mixer_buffer.h"
#include "audio/mixer_device.h"
#include "audio/mixer_mix.h"
#include "audio/mixer_source.h"
#include "core/console.h"
#include "mixer_fixture.h"

namespace {

constexpr float kHalfRoot2 = 0.70710678f;

// Collects the debug console's lines while it lives.
class DebugLog {
public:
    DebugLog() : m_saved(dbg_csol) { dbg_csol = &m_log; }
    ~DebugLog() { dbg_csol = m_saved; }
    std::string Text() const { return m_log.Text(); }

private:
    tagIConsole* m_saved;
    TErrStreamConsole m_log;
};

class MixTest : public MixerTest {
protected:
    // The device's output format and rate for the blocks that follow.
    void Output(int format, int rate) {
        m_device->format = format;
        m_device->frequency = rate;
    }
    // One float block of `frames` frames in `channels` channels, then the advance.
    std::vector<float> Block(int frames, int channels) {
        std::vector<float> out(static_cast<size_t>(frames * channels), 99.0f);
        aluMixData(m_device, out.data(), frames);
        aluAdvanceSource(m_device, frames);
        return out;
    }
    // A buffer of mono 16-bit samples (kept in `m_samples`, not copied).
    unsigned Mono16(const std::vector<int16_t>& samples, int rate) {
        m_samples.push_back(samples);
        const unsigned id = NewBuffer();
        alBufferDataNoCopy(id, AL_FORMAT_MONO16, m_samples.back().data(),
                           static_cast<int>(samples.size() * 2), rate);
        return id;
    }
    // A playing source on `buffer`, heard on the right speaker only at full gain.
    unsigned RightSource(unsigned buffer) {
        const unsigned id = NewSource();
        alSourcei(id, AL_SOURCE_RELATIVE, 1);
        alSource3f(id, AL_POSITION, 1, 0, 0);
        if (buffer != 0) alSourcei(id, AL_BUFFER, static_cast<int>(buffer));
        alSourcePlay(id);
        return id;
    }
    ALsource& Source(unsigned id) { return *Context().FindSource(id); }
    int SourceState(unsigned id) { return Source(id).state; }

    std::vector<std::vector<int16_t>> m_samples;
};

std::vector<int16_t> Ramp(int frames, int start = 1) {
    std::vector<int16_t> v(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) v[static_cast<size_t>(i)] = static_cast<int16_t>((start + i) * 8);
    return v;
}

} // namespace

TEST_F(MixTest, HalfRateBufferFeedsEachFrameToTwoOutputFrames) {
    Output(AL_FORMAT_STEREO_FLOAT32, 44100);
    const std::vector<int16_t> ramp = Ramp(1000);
    const unsigned source = RightSource(Mono16(ramp, 22050));
    EXPECT_EQ(Mixer_Step(*Source(source).currentBuffer, Source(source), *m_device), 8192u);
    const std::vector<float> out = Block(512, 2);
    for (int i = 0; i < 512; ++i) {
        ASSERT_EQ(out[2 * i], 0.0f) << i;
        ASSERT_FLOAT_EQ(out[2 * i + 1], ramp[i / 2] / 32768.0f) << i;
    }
    EXPECT_EQ(Source(source).position, 256u);
    EXPECT_EQ(Source(source).positionFraction, 0u);
}

TEST_F(MixTest, LoopingBufferWrapsAndQueueEndsStoppedWithEveryBufferProcessed) {
    Output(AL_FORMAT_STEREO_FLOAT32, 44100);
    const std::vector<int16_t> ramp = Ramp(100);
    const unsigned looping = RightSource(Mono16(ramp, 44100));
    alSourcei(looping, AL_LOOPING, 1);
    std::vector<float> out = Block(512, 2);
    EXPECT_EQ(Source(looping).position, 12u);
    for (int i : {0, 99, 100, 511}) EXPECT_FLOAT_EQ(out[2 * i + 1], ramp[i % 100] / 32768.0f) << i;
    alSourceStop(looping);

    // A queue whose last buffer ends 100 frames into the block.
    const unsigned queued = RightSource(0);
    const unsigned buffers[2] = {Mono16(Ramp(300), 44100), Mono16(Ramp(312, 301), 44100)};
    alSourceQueueBuffers(queued, 2, buffers);
    alSourcePlay(queued);
    Block(512, 2);
    EXPECT_EQ(Source(queued).currentBuffer, Context().FindBuffer(buffers[1]));
    EXPECT_EQ(Source(queued).position, 212u);
    EXPECT_EQ(Source(queued).processedCount, 1);
    out = Block(512, 2);
    EXPECT_FLOAT_EQ(out[2 * 99 + 1], (301 + 311) * 8 / 32768.0f);
    for (int i = 100; i < 512; ++i) ASSERT_EQ(out[2 * i + 1], 0.0f) << i;
    EXPECT_EQ(SourceState(queued), AL_STOPPED);
    EXPECT_EQ(Source(queued).position, 0u);
    EXPECT_EQ(Source(queued).currentBuffer, nullptr);
    EXPECT_EQ(Source(queued).processedCount, Source(queued).queuedCount);

    // A single buffer stops at 0 and keeps its buffer, so playing restarts it.
    const unsigned single = RightSource(Mono16(Ramp(50), 44100));
    Block(64, 2);
    EXPECT_EQ(SourceState(single), AL_STOPPED);
    EXPECT_NE(Source(single).currentBuffer, nullptr);
    EXPECT_EQ(Source(single).position, 0u);
}

TEST_F(MixTest, MaskedSourceIsNotHeardButAdvances) {
    Output(AL_FORMAT_STEREO_FLOAT32, 44100);
    const unsigned source = RightSource(Mono16(Ramp(1000), 44100));
    alSourceSetListenerMask(source, 2);
    const std::vector<float> out = Block(128, 2);
    for (float v : out) ASSERT_EQ(v, 0.0f);
    EXPECT_EQ(Source(source).position, 128u);
}

TEST_F(MixTest, StartIsDelayedWithinTheBlockByItsTimestamp) {
    Output(AL_FORMAT_STEREO_FLOAT32, 44100);
    const int64_t t = 1000000;
    g_audioTimestamp = t + 5000;
    const unsigned source = RightSource(Mono16(Ramp(1000), 44100));
    g_mixerTimestamp = t;
    std::vector<float> out(1024);
    aluMixData(m_device, out.data(), 512);
    EXPECT_EQ(out[2 * 219 + 1], 0.0f);
    EXPECT_FLOAT_EQ(out[2 * 220 + 1], 8 / 32768.0f);
    EXPECT_FLOAT_EQ(out[2 * 511 + 1], (292) * 8 / 32768.0f);
    EXPECT_EQ(Source(source).partialFrames, 292);
    aluAdvanceSource(m_device, 512);
    EXPECT_EQ(Source(source).position, 292u);

    // A start beyond the whole block waits for the next one instead of
    // skipping it.
    const unsigned late = RightSource(Mono16(Ramp(1000), 44100));
    Source(late).playTimestamp = g_mixerTimestamp + 20000;
    Block(512, 2);
    EXPECT_EQ(Source(late).position, 0u);
    EXPECT_EQ(Source(source).position, 804u);
}

TEST_F(MixTest, SixteenBitOutputIsScaledAndClamped) {
    Output(AL_FORMAT_STEREO16, 44100);
    const float values[4] = {1.5f, -1.5f, 0.99999f, -0.5f};
    const unsigned buffer = NewBuffer();
    alBufferData(buffer, AL_FORMAT_MONO_FLOAT32, values, sizeof(values), 44100);
    RightSource(buffer);
    int16_t out[8] = {};
    aluMixData(m_device, out, 4);
    EXPECT_EQ(std::vector<int16_t>(out, out + 8),
              (std::vector<int16_t>{0, 32767, 0, -32768, 0, 32767, 0, -16384}));
}

TEST_F(MixTest, StereoSourcesSumIntoMonoAndSpreadOverEightChannels) {
    std::vector<float> frames(2000);
    for (int i = 0; i < 1000; ++i) {
        frames[2 * i] = 0.001f * i;
        frames[2 * i + 1] = -0.0005f * i;
    }
    const unsigned buffer = NewBuffer();
    alBufferData(buffer, AL_FORMAT_STEREO_FLOAT32, frames.data(), 8000, 48000);
    const unsigned source = NewSource();
    alSourcei(source, AL_BUFFER, static_cast<int>(buffer));
    alSourcePlay(source);

    Output(AL_FORMAT_MONO_FLOAT32, 48000);
    std::vector<float> out = Block(512, 1);
    for (int i = 0; i < 512; ++i)
        ASSERT_FLOAT_EQ(out[i], (frames[2 * i] + frames[2 * i + 1]) * kHalfRoot2) << i;

    // Gains 0 and 1 are the two front speakers; the others stay 0.
    Output(AL_FORMAT_71CHN32, 48000);
    out = Block(4, 8);
    const float l = frames[2 * 513], r = frames[2 * 513 + 1];
    EXPECT_FLOAT_EQ(out[8 + 0], l * kHalfRoot2);
    EXPECT_FLOAT_EQ(out[8 + 1], r * kHalfRoot2);
    for (int c = 2; c < 8; ++c) EXPECT_EQ(out[8 + c], 0.0f) << c;
}

TEST_F(MixTest, UnmixableFormatsLogAndAreSilentButStillAdvance) {
    const double samples[64] = {0.5};
    const unsigned buffer = NewBuffer();
    alBufferData(buffer, AL_FORMAT_MONO_DOUBLE_EXT, samples, sizeof(samples), 48000);
    const unsigned source = RightSource(buffer);
    DebugLog log;
    Output(AL_FORMAT_STEREO_FLOAT32, 48000);
    std::vector<float> out = Block(16, 2);
    for (float v : out) ASSERT_EQ(v, 0.0f);
    EXPECT_EQ(Source(source).position, 16u);
    EXPECT_EQ(log.Text(), "no mixing function for 8 source bytes\n");

    // Four output channels have no functions: the block is silence.
    Output(AL_FORMAT_QUAD32, 48000);
    out = Block(16, 4);
    for (float v : out) ASSERT_EQ(v, 0.0f);
    EXPECT_EQ(log.Text(), "no mixing function for 8 source bytes\n"
                          "No mixing functions for 4 destination channels\n");
}

TEST_F(MixTest, NoCurrentContextGivesSilence) {
    Output(AL_FORMAT_STEREO16, 48000);
    alcMakeContextCurrent(nullptr);
    int16_t out[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    aluMixData(m_device, out, 4);
    aluAdvanceSource(m_device, 4);
    for (int16_t v : out) EXPECT_EQ(v, 0);
}

// Under ASan: each row would read past its buffer or spin forever if the
// mixer trusted positions, steps or frame counts.
TEST_F(MixTest, NothingReadsPastABufferOrSpins) {
    Output(AL_FORMAT_STEREO_FLOAT32, 48000);
    const std::vector<int16_t> ramp = Ramp(10);

    // An offset far past the end of a looping buffer wraps into it.
    const unsigned far = RightSource(Mono16(ramp, 48000));
    alSourcei(far, AL_LOOPING, 1);
    alSourcef(far, AL_SAMPLE_OFFSET, 1e9f);
    std::vector<float> out = Block(8, 2);
    EXPECT_FLOAT_EQ(out[1], ramp[1000000000 % 10] / 32768.0f);
    alSourceStop(far);

    // A pitch that steps over the whole buffer many times per frame.
    const unsigned fast = RightSource(Mono16(ramp, 48000));
    alSourcei(fast, AL_LOOPING, 1);
    alSourcef(fast, AL_PITCH, 1e6f);
    Block(64, 2);
    EXPECT_LT(Source(fast).position, 10u);
    alSourcei(fast, AL_LOOPING, 0);
    Block(64, 2);
    EXPECT_EQ(SourceState(fast), AL_STOPPED);

    // A buffer never given data, looping or not, alone or in a queue.
    const unsigned empty = NewBuffer();
    const unsigned idle = RightSource(empty);
    alSourcei(idle, AL_LOOPING, 1);
    const unsigned queued = RightSource(0);
    const unsigned list[2] = {NewBuffer(), Mono16(ramp, 48000)};
    alSourceQueueBuffers(queued, 2, list);
    alSourcei(queued, AL_LOOPING, 1);
    alSourcePlay(queued);
    out = Block(4, 2);
    EXPECT_EQ(SourceState(idle), AL_STOPPED);
    EXPECT_EQ(Source(queued).currentBuffer, Context().FindBuffer(list[1]));

    // A queued buffer refilled in another format ends the block at the boundary.
    const unsigned changed = RightSource(0);
    const unsigned pair[2] = {Mono16(ramp, 48000), Mono16(ramp, 48000)};
    alSourceQueueBuffers(changed, 2, pair);
    const uint8_t bytes[4] = {255, 255, 255, 255};
    alBufferData(pair[1], AL_FORMAT_STEREO8, bytes, 4, 48000);
    alSourcePlay(changed);
    alSourceStop(queued);
    out = Block(16, 2);
    EXPECT_FLOAT_EQ(out[2 * 9 + 1], ramp[9] / 32768.0f);
    for (int i = 10; i < 16; ++i) EXPECT_EQ(out[2 * i + 1], 0.0f) << i;
}

// The render thread mixes on while contexts come and go, as at shut-down:
// a context is freed only once no block can still be reaching it (ASan
// reports a block that does).
TEST_F(MixTest, ContextsDestroyedWhileTheRenderThreadMixes) {
    Output(AL_FORMAT_STEREO_FLOAT32, 48000);
    std::atomic<bool> stop{false};
    std::thread render([&] {
        std::vector<float> out(2 * 64);
        while (!stop.load()) {
            aluMixData(m_device, out.data(), 64);
            aluAdvanceSource(m_device, 64);
        }
    });
    const std::vector<int16_t> ramp = Ramp(100);
    for (int i = 0; i < 2000; ++i) {
        ALCcontext_struct* context = alcCreateContext(m_device, nullptr);
        alcMakeContextCurrent(context);
        unsigned buffer = 0, source = 0;
        alGenBuffers(1, &buffer);
        alBufferData(buffer, AL_FORMAT_MONO16, ramp.data(), 200, 48000);
        alGenSources(1, &source);
        alSourcei(source, AL_BUFFER, static_cast<int>(buffer));
        alSourcei(source, AL_LOOPING, 1);
        alSourcePlay(source);
        if (i % 2 == 0) alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
    }
    stop = true;
    render.join();
    alcMakeContextCurrent(m_context);
}
