// A mixer with a silent device and a current context for each test, torn
// down afterwards so no test sees another's sources or buffers.
#pragma once

#include <gtest/gtest.h>

#include "audio/mixer_api.h"
#include "audio/mixer_context.h"

class MixerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    ALCcontext_struct& Context() { return *m_context; }
    // The latest failing call's code, then cleared for the next check.
    int TakeError() { return std::exchange(m_context->lastError, AL_NO_ERROR); }
    unsigned NewBuffer();
    unsigned NewSource();
    // A buffer holding `frames` silent 16-bit mono frames at 22050 Hz.
    unsigned NewMono16Buffer(int frames);

    ALCdevice_struct* m_device = nullptr;
    ALCcontext_struct* m_context = nullptr;
};
