// Gains and fades counted in ticks, pitch limits, and track positions.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "audio/mixer_api.h"
#include "audio/voices.h"
#include "room/room.h"
#include "sound_fixture.h"

namespace {

class SoundGain : public SoundSystemTest {
protected:
    void SetUp() override {
        SoundSystemTest::SetUp();
        m_room.m_speed = 30;
        Run_Room = &m_room;
    }
    CRoom m_room;
};

TEST_F(SoundGain, FadeLengthInTicksFollowsTheFrameRate) {
    struct Row {
        int roomSpeed, ms, ticks;
    } const rows[] = {
        {30, 1000, 30}, {30, 10, 1}, {30, 0, 1}, {2000, 10, 10}, {0, 1000, 1}, {60, 1000, 62}, {30, -50, 1},
    };
    for (const Row& row : rows) {
        m_room.m_speed = row.roomSpeed;
        EXPECT_EQ(Audio_FadeTicks(row.ms), row.ticks) << row.roomSpeed << " " << row.ms;
    }
    Run_Room = nullptr;
    EXPECT_EQ(Audio_FadeTicks(1000), 30) << "30 frames a second without a room";
}

TEST_F(SoundGain, SoundFadeReachesItsTargetOnTheLastTickAndReachesTheSource) {
    LoadStandard();
    const int handle = Audio_PlaySound(0, 1, 1);
    const unsigned source = SourceOf(handle);
    Audio_SoundGain(0, 0.5, 1000);
    const cAudio_Sound& s = *Audio_GetSound(0);
    EXPECT_EQ(s.gainTicks, 30);
    EXPECT_FLOAT_EQ(s.gainStep, (0.5f - 1.0f) / 30);
    Tick(29);
    EXPECT_GT(s.gain, 0.51f);
    EXPECT_NEAR(SourceFloat(source, AL_GAIN), s.gain, 1e-6);
    Tick(1);
    EXPECT_NEAR(s.gain, 0.5f, 1e-5);
    EXPECT_NEAR(Audio_GetSoundGain(0), 0.5f, 1e-5);
    Tick(5);
    EXPECT_NEAR(s.gain, 0.5f, 1e-5) << "the fade stopped at its target";

    // The instance fade multiplies in; it clamps at 0.
    Audio_SoundGain(handle, 0.0, 100);
    EXPECT_EQ(Audio_GetNoiseFromID(handle)->gainTicks, 3);
    Tick(3);
    EXPECT_FLOAT_EQ(Audio_GetSoundGain(handle), 0.0f);
    EXPECT_FLOAT_EQ(SourceFloat(source, AL_GAIN), 0.0f);
}

TEST_F(SoundGain, ImmediateGainsAreSetAtOnceAndNeverNegative) {
    LoadStandard();
    const int handle = Audio_PlaySound(0, 1, 1);
    const unsigned source = SourceOf(handle);
    Audio_SoundGain(0, -3, 0);
    EXPECT_FLOAT_EQ(Audio_GetSoundGain(0), 0.0f);
    EXPECT_FLOAT_EQ(SourceFloat(source, AL_GAIN), 0.0f);
    Audio_SoundGain(0, 0.8, 0);
    Audio_SoundGain(handle, 0.5, 0);
    EXPECT_FLOAT_EQ(SourceFloat(source, AL_GAIN), 0.4f);
    EXPECT_FLOAT_EQ(Audio_GetSoundGain(handle), 0.5f);
    EXPECT_FLOAT_EQ(Audio_GetSoundGain(400999), 0.0f) << "no voice has the handle";
}

TEST_F(SoundGain, PitchIsClampedAndReachesTheSource) {
    LoadStandard();
    const int handle = Audio_PlaySound(0, 1, 1);
    const unsigned source = SourceOf(handle);
    const std::pair<double, float> rows[] = {
        {0.0, 0.0039f}, {1000.0, 256.0f}, {std::numeric_limits<double>::quiet_NaN(), 0.0039f}, {1.5, 1.5f}};
    for (auto [asked, set] : rows) {
        Audio_SoundPitch(0, asked);
        EXPECT_FLOAT_EQ(Audio_GetSoundPitch(0), set) << asked;
        EXPECT_FLOAT_EQ(SourceFloat(source, AL_PITCH), set) << asked;
    }
    Audio_SoundPitch(handle, 2.0);
    EXPECT_FLOAT_EQ(Audio_GetSoundPitch(handle), 2.0f);
    EXPECT_FLOAT_EQ(Audio_GetSoundPitch(0), 1.5f) << "an instance pitch leaves the sound's";
    EXPECT_FLOAT_EQ(SourceFloat(source, AL_PITCH), 2.0f);
    const int next = Audio_PlaySound(0, 1, 0);
    EXPECT_FLOAT_EQ(SourceFloat(SourceOf(next), AL_PITCH), 1.5f) << "new plays take the sound's pitch";
}

TEST_F(SoundGain, TrackPositions) {
    LoadStandard();
    Audio_SetTrackPos(0, 0.1); // the sound's whole length: refused
    EXPECT_FLOAT_EQ(Audio_GetTrackPos(0), 0.0f);
    Audio_SetTrackPos(0, 0.05);
    EXPECT_FLOAT_EQ(Audio_GetTrackPos(0), 0.05f);
    Audio_SetTrackPos(QUEUE_SOUND_BASE, 0.01);
    EXPECT_NE(m_console.text.find("not supported on sound queues"), std::string::npos);

    const int handle = Audio_PlaySound(0, 1, 0);
    EXPECT_NEAR(Audio_GetTrackPos(handle), 0.05f, 1e-4) << "a new play starts at the sound's offset";
    Audio_SetTrackPos(handle, 0.02);
    EXPECT_NEAR(Audio_GetTrackPos(handle), 0.02f, 1e-4);
    Mix(480); // 10 ms at 48000 Hz
    EXPECT_NEAR(Audio_GetTrackPos(handle), 0.03f, 1e-4);
    EXPECT_FLOAT_EQ(Audio_SoundLength(handle), 0.1f);
}

} // namespace
