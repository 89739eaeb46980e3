// Voices: handles, the choice by priority with stealing, soft and immediate
// stops, pausing, the channel count, the mixed output and "-noaudio".
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "audio/mixer_api.h"
#include "audio/mixer_context.h"
#include "audio/sound_system.h"
#include "audio/voices.h"
#include "sound_fixture.h"
#include "world/datafile/options.h"
#include "core/run_settings.h"

namespace {

using Voices = SoundSystemTest;

int Loudest(const std::vector<int16_t>& samples) {
    int peak = 0;
    for (int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

TEST_F(Voices, HandlesCountUpFrom400001IncludingPlaysThatCannotStart) {
    LoadStandard();
    EXPECT_EQ(Audio_PlaySound(0, 1, 0), 400001);
    EXPECT_EQ(Audio_PlaySound(3, 1, 0), 400002) << "the streamed sound's decoder start fails";
    EXPECT_FALSE(Audio_SoundIsPlaying(400002));
    EXPECT_EQ(Audio_PlaySound(2, 1, 1), 400003);
    EXPECT_TRUE(Audio_SoundIsPlaying(400001));
    EXPECT_TRUE(Audio_Exists(400003));
    EXPECT_STREQ(Audio_GetName(400003), "blip");
    EXPECT_EQ(Audio_PlaySound(1, 1, 0), 0) << "no sound at the index";
    EXPECT_NE(m_console.text.find("Error: no sound exists for soundid 1\n"), std::string::npos);
    EXPECT_EQ(Audio_PlaySound(-4, 1, 0), 0);
    EXPECT_EQ(Audio_PlaySound(0, 1, 0), 400004);
}

TEST_F(Voices, PlayedSoundReachesTheMixedOutputUntilStopped) {
    LoadStandard();
    EXPECT_EQ(Loudest(Mix(64)), 0);
    const int handle = Audio_PlaySound(0, 1, 0);
    EXPECT_GT(Loudest(Mix(64)), 1000);
    EXPECT_GT(Audio_GetTrackPos(handle), 0.0f);
    Audio_StopSound(handle);
    EXPECT_EQ(Loudest(Mix(64)), 0) << "a soft stop silences the source at once";
}

TEST_F(Voices, FullPoolStealsOnlyAStrictlyLowerPriority) {
    LoadStandard();
    for (int i = 0; i < 128; ++i) ASSERT_EQ(Audio_PlaySound(0, 5, 1), 400001 + i);
    EXPECT_EQ(Audio_PlaySound(0, 5, 0), -1) << "equal priority is never stolen";
    EXPECT_EQ(g_NoiseHandleIndex, 400129) << "a play without a voice takes no handle";
    const int stolen = Audio_PlaySound(2, 6, 0);
    EXPECT_EQ(stolen, 400129);
    EXPECT_EQ(playingsounds[0]->handle, stolen) << "the first voice of the lowest priority";
    EXPECT_FALSE(Audio_SoundIsPlaying(400001));

    // A soft-stopped voice goes first, whatever the new sound's priority.
    Audio_StopSound(400050);
    EXPECT_EQ(Audio_PlaySound(0, -100, 0), 400130);
    EXPECT_EQ(playingsounds[49]->handle, 400130);
}

TEST_F(Voices, BufferSoundsNeverStealADecoderVoice) {
    LoadStandard();
    for (int i = 0; i < 128; ++i) Audio_PlaySound(0, 5, 1);
    // Voices 0 to 127 play sound 0; make voice 3 a decoder voice of low priority.
    CNoise& decoded = *playingsounds[3];
    decoded.decoded = true;
    decoded.sound = 3;
    decoded.priority = 0;
    const int handle = Audio_PlaySound(0, 6, 0);
    EXPECT_EQ(playingsounds[0]->handle, handle) << "voice 3 was passed over";
    EXPECT_TRUE(decoded.active);
    decoded.decoded = false;
}

TEST_F(Voices, SoftStopHidesTheHandleAtOnceAndEndsTheVoiceTwoTicksLater) {
    LoadStandard();
    const int handle = Audio_PlaySound(0, 1, 1);
    Audio_StopSound(handle);
    EXPECT_FALSE(Audio_SoundIsPlaying(handle));
    EXPECT_TRUE(Audio_SoundIsPlaying(0));
    Tick(1);
    EXPECT_TRUE(Audio_SoundIsPlaying(0));
    Tick(1);
    EXPECT_FALSE(Audio_SoundIsPlaying(0));
    EXPECT_FALSE(playingsounds[0]->active);
}

TEST_F(Voices, FinishedVoiceIsReusedAndPausedVoicesResume) {
    LoadStandard();
    const int first = Audio_PlaySound(0, 1, 0);
    Mix(5000); // past the sound's 2205 frames at 22050 Hz: 4800 frames at 48000 Hz
    EXPECT_FALSE(Audio_SoundIsPlaying(first));
    const int second = Audio_PlaySound(0, 1, 1);
    EXPECT_EQ(playingsounds.size(), 1u) << "the finished voice was taken again";

    Audio_PauseSound(second);
    EXPECT_TRUE(Audio_SoundIsPaused(second));
    EXPECT_TRUE(Audio_SoundIsPlaying(second)) << "paused counts as playing";
    EXPECT_EQ(Loudest(Mix(64)), 0);
    Audio_ResumeAll();
    EXPECT_FALSE(Audio_SoundIsPaused(second));
    EXPECT_GT(Loudest(Mix(64)), 0);
    Audio_StopAll(true);
    EXPECT_FALSE(Audio_SoundIsPlaying(0));
}

TEST_F(Voices, ChannelCountFollowsItsFormula) {
    LoadStandard();
    const std::pair<int, int> rows[] = {{5, 6}, {1, 4}, {2, 4}, {3, 6}, {7, 10}, {8, 8}, {1 << 30, 1024}};
    for (auto [asked, made] : rows) {
        Audio_SetNumChannels(asked);
        EXPECT_EQ(g_NumSources, made) << asked;
        EXPECT_EQ(g_pAudioSources.size(), static_cast<size_t>(made));
    }
    Audio_SetNumChannels(4);
    m_console.text.clear();
    Audio_SetNumChannels(4);
    EXPECT_EQ(m_console.text, "") << "the current count changes nothing";
    for (int i = 0; i < 4; ++i) Audio_PlaySound(0, 1, 1);
    EXPECT_EQ(Audio_PlaySound(0, 1, 1), -1);
}

TEST_F(Voices, NoAudioRunsWithoutADevice) {
    g_fNoAudio = true;
    LoadStandard();
    EXPECT_EQ(alcGetCurrentContext(), nullptr) << "no mixer was opened";
    EXPECT_FALSE(g_UseNewAudio);
    EXPECT_EQ(Audio_Number(), 4) << "the sounds still load";
    EXPECT_EQ(Audio_PlaySound(0, 1, 0), -1);
    EXPECT_FALSE(Audio_Exists(0));
    EXPECT_FLOAT_EQ(Audio_SoundLength(0), -1.0f);
    Tick(3);
    Audio_StopAll(true);
    SND_End();
}

} // namespace
