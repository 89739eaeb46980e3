// The mixer fixture and the lookup for the freealut test.
#include "mixer_fixture.h"

#include <vector>

#include "audio/mixer_buffer.h"
#include "mixer_lookup.h"

void MixerTest::SetUp() {
    g_audioTimestamp = 0;
    g_mixerTimestamp = 0;
    m_device = alcOpenDevice(nullptr);
    m_context = alcCreateContext(m_device, nullptr);
    alcMakeContextCurrent(m_context);
}

void MixerTest::TearDown() {
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(m_context);
    alcCloseDevice(m_device);
}

unsigned MixerTest::NewBuffer() {
    unsigned id = 0;
    alGenBuffers(1, &id);
    return id;
}

unsigned MixerTest::NewSource() {
    unsigned id = 0;
    alGenSources(1, &id);
    return id;
}

unsigned MixerTest::NewMono16Buffer(int frames) {
    const unsigned id = NewBuffer();
    std::vector<int16_t> samples(static_cast<size_t>(frames));
    alBufferData(id, AL_FORMAT_MONO16, samples.data(), frames * 2, 22050);
    return id;
}

const ALbuffer* MixerTest_FindBuffer(unsigned id) {
    ALCcontext_struct* context = alcGetCurrentContext();
    return context != nullptr ? context->FindBuffer(id) : nullptr;
}
