// Source parameters: direction rows, the panning table, and the gains and
// pitch a source gets from distance, cone, doppler and panning.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>
#include <vector>

#include "audio/mixer_buffer.h"
#include "audio/mixer_device.h"
#include "audio/mixer_panning.h"
#include "audio/mixer_source.h"
#include "mixer_fixture.h"

namespace {

constexpr float kHalfRoot2 = 0.70710678f;

} // namespace

TEST(MixerPanning, DirectionsMapToRowsAndRowsBackToAngles) {
    struct Row {
        float x, z;
        int row;
    };
    for (const Row& r :
         {Row{0, 0, 0}, Row{0, -1, 0}, Row{1, 0, 128}, Row{0, 1, 256}, Row{-1, 0, 384}, Row{1, -1, 64},
          Row{1, 1, 192}, Row{-1, 1, 320}, Row{-1, -1, 448}, Row{-0.001f, -1, 0}, Row{-0.01f, -1, 511}})
        EXPECT_EQ(Mixer_DirectionRow(r.x, r.z), r.row) << r.x << "," << r.z;
    EXPECT_DOUBLE_EQ(Mixer_RowAngle(0), 0.0);
    EXPECT_DOUBLE_EQ(Mixer_RowAngle(128), M_PI / 2);
    EXPECT_DOUBLE_EQ(Mixer_RowAngle(256), -M_PI);
    EXPECT_DOUBLE_EQ(Mixer_RowAngle(384), -M_PI / 2);
    EXPECT_DOUBLE_EQ(Mixer_RowAngle(64), M_PI / 4);
}

// Ahead and behind share the power equally, the sides go to one speaker.
TEST(MixerPanning, TwoFrontSpeakersPanWithConstantPower) {
    ALCdevice_struct device;
    device.initPanning();
    EXPECT_EQ(device.speakerCount, 2);
    EXPECT_EQ(device.speakerChannels[0], 0);
    EXPECT_EQ(device.speakerChannels[1], 1);
    struct Row {
        int row;
        float left, right;
    };
    for (const Row& r :
         {Row{0, kHalfRoot2, kHalfRoot2}, Row{128, 0, 1}, Row{256, kHalfRoot2, kHalfRoot2}, Row{384, 1, 0}}) {
        EXPECT_NEAR(device.panningTable[r.row][0], r.left, 1e-6) << r.row;
        EXPECT_NEAR(device.panningTable[r.row][1], r.right, 1e-6) << r.row;
    }
    for (int p = 0; p < kMixerPanningRows; ++p) {
        const float* row = device.panningTable[p];
        EXPECT_NEAR(row[0] * row[0] + row[1] * row[1], 1.0f, 1e-5) << p;
        for (int c = 2; c < kMixerMaxChannels; ++c) EXPECT_EQ(row[c], 0.0f) << p;
    }
}

// Each case sets up one source (mono unless stated) and the listener, and
// reads the front gains and pitch of the next block. Gain 0.5 and listener
// gain 0.8 run through every case.
TEST_F(MixerTest, SourceGainsFollowDistanceConeDopplerAndPanning) {
    struct Case {
        const char* what;
        int model;
        std::function<void(unsigned source)> setUp;
        float left, right, pitch;
    };
    const float g = 0.5f * 0.8f;
    const auto at = [](float x, float y, float z) {
        return [=](unsigned id) {
            alSourcei(id, AL_SOURCE_RELATIVE, 1);
            alSource3f(id, AL_POSITION, x, y, z);
        };
    };
    const Case cases[] = {
        {"at the listener", AL_INVERSE_DISTANCE_CLAMPED,
         [](unsigned id) {
             alListener3f(AL_POSITION, 3, 4, 5);
             alSource3f(id, AL_POSITION, 3, 4, 5);
         },
         kHalfRoot2 * g, kHalfRoot2 * g, 1},
        {"right, inverse", AL_INVERSE_DISTANCE, at(10, 0, 0), 0, 0.1f * g, 1},
        {"behind", AL_INVERSE_DISTANCE, at(0, 0, 10), kHalfRoot2 * 0.1f * g, kHalfRoot2 * 0.1f * g, 1},
        {"left", AL_INVERSE_DISTANCE, at(-10, 0, 0), 0.1f * g, 0, 1},
        {"height does not pan", AL_INVERSE_DISTANCE, at(0, 10, 0), kHalfRoot2 * 0.1f * g,
         kHalfRoot2 * 0.1f * g, 1},
        {"linear with reference = max", AL_LINEAR_DISTANCE,
         [&](unsigned id) {
             at(0, 0, -10)(id);
             alSourcef(id, AL_MAX_DISTANCE, 1);
         },
         kHalfRoot2 * g, kHalfRoot2 * g, 1},
        {"linear halfway", AL_LINEAR_DISTANCE,
         [&](unsigned id) {
             at(0, 0, -5)(id);
             alSourcef(id, AL_MAX_DISTANCE, 9);
         },
         kHalfRoot2 * 0.5f * g, kHalfRoot2 * 0.5f * g, 1},
        {"linear past max with rolloff 2 is raised to the min gain", AL_LINEAR_DISTANCE,
         [&](unsigned id) {
             at(0, 0, -20)(id);
             alSourcef(id, AL_MAX_DISTANCE, 9);
             alSourcef(id, AL_ROLLOFF_FACTOR, 2);
         },
         0, 0, 1},
        {"inverse clamped, max below reference", AL_INVERSE_DISTANCE_CLAMPED,
         [&](unsigned id) {
             at(0, 0, -10)(id);
             alSourcef(id, AL_REFERENCE_DISTANCE, 2);
             alSourcef(id, AL_MAX_DISTANCE, 1);
         },
         kHalfRoot2 * g, kHalfRoot2 * g, 1},
        {"inverse clamped at max", AL_INVERSE_DISTANCE_CLAMPED,
         [&](unsigned id) {
             at(0, 0, -100)(id);
             alSourcef(id, AL_MAX_DISTANCE, 4);
         },
         kHalfRoot2 * 0.25f * g, kHalfRoot2 * 0.25f * g, 1},
        {"exponent", AL_EXPONENT_DISTANCE,
         [&](unsigned id) {
             at(0, 0, -4)(id);
             alSourcef(id, AL_REFERENCE_DISTANCE, 2);
             alSourcef(id, AL_ROLLOFF_FACTOR, 2);
         },
         kHalfRoot2 * 0.25f * g, kHalfRoot2 * 0.25f * g, 1},
        {"no model", AL_NONE, at(0, 0, -50), kHalfRoot2 * g, kHalfRoot2 * g, 1},
        {"approaching at 10 units a second", AL_NONE,
         [&](unsigned id) {
             at(0, 0, -10)(id);
             alSource3f(id, AL_VELOCITY, 0, 0, 10);
         },
         kHalfRoot2 * g, kHalfRoot2 * g, 343.3f / 333.3f},
        {"doppler off for the source", AL_NONE,
         [&](unsigned id) {
             at(0, 0, -10)(id);
             alSource3f(id, AL_VELOCITY, 0, 0, 10);
             alSourcef(id, AL_DOPPLER_FACTOR, 0);
         },
         kHalfRoot2 * g, kHalfRoot2 * g, 1},
        {"side of a cone", AL_NONE,
         [&](unsigned id) {
             at(0, 0, -10)(id);
             alSource3f(id, AL_DIRECTION, 1, 0, 0);
             alSourcef(id, AL_CONE_INNER_ANGLE, 60);
             alSourcef(id, AL_CONE_OUTER_ANGLE, 120);
             alSourcef(id, AL_CONE_OUTER_GAIN, 0.2f);
         },
         kHalfRoot2 * 0.6f * g, kHalfRoot2 * 0.6f * g, 1},
        {"cone with equal angles at its edge", AL_NONE,
         [&](unsigned id) {
             at(0, 0, -10)(id);
             alSourcef(id, AL_CONE_INNER_ANGLE, 90);
             alSourcef(id, AL_CONE_OUTER_ANGLE, 90);
         },
         kHalfRoot2 * g, kHalfRoot2 * g, 1},
        {"min gain above max gain", AL_NONE,
         [&](unsigned id) {
             alSourcef(id, AL_MIN_GAIN, 0.8f);
             alSourcef(id, AL_MAX_GAIN, 0.5f);
         },
         kHalfRoot2 * 0.8f * 0.8f, kHalfRoot2 * 0.8f * 0.8f, 1},
        {"listener turned to +x hears +z on the right", AL_INVERSE_DISTANCE,
         [](unsigned id) {
             alListener3f(AL_POSITION, 5, 0, 0);
             const float orientation[6] = {1, 0, 0, 0, 1, 0};
             alListenerfv(AL_ORIENTATION, orientation);
             alSource3f(id, AL_POSITION, 5, 0, 10);
         },
         0, 0.1f * g, 1},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        alListenerf(AL_GAIN, 0.8f);
        alDistanceModel(c.model);
        const unsigned id = NewSource();
        alSourcef(id, AL_GAIN, 0.5f);
        alSourcef(id, AL_PITCH, 1.0f);
        c.setUp(id);
        ASSERT_EQ(TakeError(), AL_NO_ERROR) << c.what;
        ALsource* s = Context().FindSource(id);
        s->calcSourceParams(Context(), *m_device);
        EXPECT_NEAR(s->channelGains[0], c.left, 1e-5) << c.what;
        EXPECT_NEAR(s->channelGains[1], c.right, 1e-5) << c.what;
        for (int k = 2; k < kMixerMaxChannels; ++k) EXPECT_EQ(s->channelGains[k], 0.0f) << c.what;
        EXPECT_NEAR(s->effectivePitch, c.pitch, 1e-5) << c.what;
    }
}

// Buffers of more than one channel get gain limits and panning by the stored
// position only: no attenuation, no listener transform, no doppler.
TEST_F(MixerTest, MultichannelSourcesPanByTheirStoredPositionOnly) {
    const unsigned id = NewSource();
    ALsource* s = Context().FindSource(id);
    alListenerf(AL_GAIN, 0.8f);
    alListener3f(AL_POSITION, 100, 0, 0);
    alSourcef(id, AL_GAIN, 0.5f);
    alSourcef(id, AL_PITCH, 1.5f);
    alSource3f(id, AL_VELOCITY, 0, 0, 100);
    s->calcNonAttnSourceParams(Context(), *m_device);
    EXPECT_NEAR(s->channelGains[0], kHalfRoot2 * 0.4f, 1e-6);
    EXPECT_NEAR(s->channelGains[1], kHalfRoot2 * 0.4f, 1e-6);
    EXPECT_EQ(s->effectivePitch, 1.5f);

    alSource3f(id, AL_POSITION, -30, 0, 0);
    alSourcef(id, AL_MAX_GAIN, 0.25f);
    s->calcNonAttnSourceParams(Context(), *m_device);
    EXPECT_NEAR(s->channelGains[0], 0.25f * 0.8f, 1e-6);
    EXPECT_NEAR(s->channelGains[1], 0.0f, 1e-6);
}

// Positions a caller got wrong never index outside the table or fill the
// output with NaN.
TEST_F(MixerTest, PositionsThatAreNotFiniteNumbersStaySilentOrAhead) {
    EXPECT_EQ(Mixer_DirectionRow(FLT_MAX, FLT_MAX), 256);
    EXPECT_EQ(Mixer_DirectionRow(std::nanf(""), 1), 256);
    const unsigned id = NewSource();
    ALsource* s = Context().FindSource(id);
    alDistanceModel(AL_NONE);
    for (float bad : {std::nanf(""), INFINITY, FLT_MAX}) {
        alSource3f(id, AL_POSITION, bad, 0, bad);
        s->calcSourceParams(Context(), *m_device);
        for (float g : s->channelGains) EXPECT_TRUE(std::isfinite(g)) << bad;
        s->calcNonAttnSourceParams(Context(), *m_device);
        for (float g : s->channelGains) EXPECT_TRUE(std::isfinite(g)) << bad;
    }
}
