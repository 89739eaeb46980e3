// Emitters, the listener, listener masks and the distance model on the
// started sound system.
#include <gtest/gtest.h>

#include "audio/emitters.h"
#include "audio/mixer_context.h"
#include "audio/mixer_source.h"
#include "audio_events_capture.h"
#include "sound_fixture.h"

namespace {

class Emitters : public SoundSystemTest {
protected:
    void SetUp() override {
        SoundSystemTest::SetUp();
        LoadStandard();
    }
    const ALsource& Source(int handle) { return *g_pCurrentContext.load()->FindSource(SourceOf(handle)); }
};

TEST_F(Emitters, ReleasedEmittersComeBackWithTheirSettings) {
    EXPECT_EQ(Audio_CreateEmitter(), 0);
    EXPECT_EQ(Audio_CreateEmitter(), 1);
    EXPECT_EQ(Audio_CreateEmitter(), 2);
    EXPECT_EQ(emitters.size(), 8u);
    Audio_SetEmitterPosition(1, 10, 20, 30);
    Audio_SetEmitterFalloff(1, 5, 50, 2);
    Audio_ReleaseEmitter(1);
    EXPECT_FALSE(Audio_EmitterExists(1));
    EXPECT_EQ(Audio_CreateEmitter(), 1);
    EXPECT_TRUE(Audio_EmitterExists(1));
    EXPECT_FLOAT_EQ(Audio_GetEmitterPosition(1).z, 30.0f);
    EXPECT_FLOAT_EQ(emitters[1]->maxDistance, 50.0f);
    for (int i = 3; i < 8; ++i) EXPECT_EQ(Audio_CreateEmitter(), i);
    EXPECT_EQ(Audio_CreateEmitter(), 8) << "a full table grows by 8";
    EXPECT_EQ(emitters.size(), 16u);
    EXPECT_FALSE(Audio_EmitterExists(9)) << "an empty slot is no emitter";
}

TEST_F(Emitters, PlayingOnAnEmitterTakesItsValuesAndFollowsIt) {
    const int e = Audio_CreateEmitter();
    Audio_SetEmitterPosition(e, 1, 2, 3);
    Audio_SetEmitterFalloff(e, 7, 70, 0.5);
    Audio_EmitterSetListenerMask(e, 6);
    const int handle = Audio_PlaySoundOn(e, 0, 1, 5);
    ASSERT_GE(handle, 400001);
    const ALsource& s = Source(handle);
    EXPECT_FALSE(s.relative);
    EXPECT_FLOAT_EQ(s.location[2], 3.0f);
    EXPECT_FLOAT_EQ(s.referenceDistance, 7.0f);
    EXPECT_FLOAT_EQ(s.maxDistance, 70.0f);
    EXPECT_FLOAT_EQ(s.rolloffFactor, 0.5f);
    EXPECT_EQ(Audio_SoundGetListenerMask(handle), 6u);

    Audio_SetEmitterPosition(e, -4, 5, 6);
    EXPECT_FLOAT_EQ(s.location[0], 1.0f) << "voices follow at the next tick";
    Tick(1);
    EXPECT_FLOAT_EQ(s.location[0], -4.0f);
    Audio_SetEmitterFalloff(e, 1, 2, 3);
    EXPECT_FLOAT_EQ(s.rolloffFactor, 3.0f) << "falloff applies at once";
}

TEST_F(Emitters, GainAndPitchCombineWithTheSounds) {
    const int e = Audio_CreateEmitter();
    Audio_SoundPitch(0, 1.5);
    const int handle = Audio_PlaySoundOn(e, 0, 1, 5);
    Audio_SetEmitterPitch(e, 2);
    EXPECT_FLOAT_EQ(SourceFloat(SourceOf(handle), AL_PITCH), 3.0f);
    Audio_SoundPitch(0, 1.5);
    EXPECT_FLOAT_EQ(SourceFloat(SourceOf(handle), AL_PITCH), 3.0f) << "sound pitch times emitter pitch";
    Audio_SoundPitch(handle, 1.5);
    EXPECT_FLOAT_EQ(SourceFloat(SourceOf(handle), AL_PITCH), 1.5f) << "an instance pitch stands alone";

    Audio_SetEmitterGain(e, -1);
    EXPECT_FLOAT_EQ(Audio_GetEmitterGain(e), 1.0f) << "a negative gain changes nothing";
    Audio_SetEmitterGain(e, 4);
    EXPECT_FLOAT_EQ(Audio_GetEmitterGain(e), 4.0f) << "no upper limit";
    Audio_SoundGain(0, 0.5, 0);
    Audio_SoundGain(handle, 0.25, 0);
    EXPECT_FLOAT_EQ(SourceFloat(SourceOf(handle), AL_GAIN), 0.5f * 0.25f * 4.0f);
    Audio_SetEmitterGain(e, 2);
    Tick(1);
    EXPECT_FLOAT_EQ(SourceFloat(SourceOf(handle), AL_GAIN), 0.5f * 0.25f * 2.0f);
}

TEST_F(Emitters, BadEmittersAndSoundsAreRefused) {
    const int e = Audio_CreateEmitter();
    struct Case {
        int emitter, sound, result;
        const char* message;
    } const cases[] = {
        {8, 0, -1, nullptr},
        {-1, 0, -1, nullptr},
        {e, 1, 0, "Error: no sound exists for soundid 1\n"},
        {e, 99, 0, "Error: no sound exists for soundid 99\n"},
    };
    for (const Case& c : cases) {
        m_console.text.clear();
        EXPECT_EQ(Audio_PlaySoundOn(c.emitter, c.sound, 0, 1), c.result) << c.emitter << " " << c.sound;
        EXPECT_EQ(m_console.text, c.message != nullptr ? c.message : "");
    }
    Audio_ReleaseEmitter(e);
    m_console.text.clear();
    EXPECT_EQ(Audio_PlaySoundOn(e, 0, 0, 1), -1);
    EXPECT_EQ(m_console.text, "Audio_PlaySound Attempting to play sound on inactive emitter 0\n");
    EXPECT_FLOAT_EQ(Audio_GetEmitterPitch(5), 1.0f);
    EXPECT_FLOAT_EQ(Audio_GetEmitterGain(5), 0.0f);
    EXPECT_EQ(Audio_EmitterGetListenerMask(5), 1u);
    EXPECT_FLOAT_EQ(Audio_GetEmitterVelocity(-3).x, 0.0f);
}

TEST_F(Emitters, ReleasingSoftStopsAndAFinishedVoiceFreesItsSlot) {
    const int e = Audio_CreateEmitter();
    const int looping = Audio_PlaySoundOn(e, 0, 1, 5);
    Audio_ReleaseEmitter(e);
    EXPECT_EQ(Audio_GetNoiseFromID(looping), nullptr) << "soft-stopped";
    Tick(3);

    const int f = Audio_CreateEmitter();
    const int once = Audio_PlaySoundOn(f, 0, 0, 5);
    CNoise* v = Audio_GetNoiseFromID(once);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->emitter, emitters[f].get());
    Mix(6000); // past the 0.1 s sound's end at the output rate: the source stops
    Tick(1);
    EXPECT_FALSE(v->active) << "the emitter pass frees it";
    EXPECT_EQ(v->emitter, nullptr);
    EXPECT_EQ(emitters[f]->voices[0], nullptr);
    Audio_PlaySoundOn(f, 0, 0, 5);
    EXPECT_EQ(emitters[f]->voices.size(), 1u) << "the slot is reused";
}

TEST_F(Emitters, FalloffModelsMapToTheMixersDistanceModels) {
    struct Case {
        int model, mixer;
    } const cases[] = {
        {0, AL_NONE},
        {1, AL_INVERSE_DISTANCE},
        {2, AL_INVERSE_DISTANCE_CLAMPED},
        {3, AL_LINEAR_DISTANCE},
        {4, AL_LINEAR_DISTANCE_CLAMPED},
        {5, AL_EXPONENT_DISTANCE},
        {6, AL_EXPONENT_DISTANCE_CLAMPED},
    };
    EXPECT_EQ(g_pCurrentContext.load()->distanceModel, AL_INVERSE_DISTANCE) << "set-up's model";
    for (const Case& c : cases) {
        Audio_FalloffSet(c.model);
        EXPECT_EQ(g_pCurrentContext.load()->distanceModel, c.mixer) << c.model;
    }
    for (int bad : {7, -1}) {
        m_console.text.clear();
        Audio_FalloffSet(bad);
        EXPECT_EQ(m_console.text, "Attempting to set audio falloff to unknown model\n");
        EXPECT_EQ(g_pCurrentContext.load()->distanceModel, AL_EXPONENT_DISTANCE_CLAMPED);
    }
}

TEST_F(Emitters, TheListenerReachesTheMixerAtTheTick) {
    Audio_SetListenerPosition(0, 1, 2, 3);
    Audio_SetListenerVelocity(0, 4, 5, 6);
    Audio_SetListenerOrientation(0, 0, 0, -1, 0, -1, 0);
    Audio_SetListenerPosition(1, 9, 9, 9);
    const ALCcontext_struct& c = *g_pCurrentContext.load();
    EXPECT_FLOAT_EQ(c.listenerAt[2], 1.0f) << "set-up's orientation until the tick";
    Tick(1);
    EXPECT_FLOAT_EQ(c.listenerPosition[2], 3.0f);
    EXPECT_FLOAT_EQ(c.listenerVelocity[0], 4.0f);
    EXPECT_FLOAT_EQ(c.listenerAt[2], -1.0f);
    EXPECT_FLOAT_EQ(c.listenerUp[1], -1.0f);

    const auto data = MapValues(Audio_GetListenerData(0));
    EXPECT_EQ(data.size(), 12u);
    EXPECT_EQ(data.at("z"), "3");
    EXPECT_EQ(data.at("vy"), "5");
    EXPECT_EQ(data.at("lookat_z"), "-1");
    EXPECT_EQ(data.at("up_y"), "-1");
    const auto info = MapValues(Audio_GetListenerInfo(0));
    EXPECT_EQ(info, (std::map<std::string, std::string>{{"name", "default"}, {"mask", "1"}, {"index", "0"}}));
    EXPECT_EQ(Audio_GetListenerData(1), -1);
    EXPECT_EQ(Audio_GetListenerInfo(1), -1);
    EXPECT_EQ(Audio_GetListenerCount(), 1);

    Audio_SetMasterGain(0, 0.5);
    EXPECT_FLOAT_EQ(c.listenerGain, 0.5f) << "at once";
    Audio_SetMasterGain(0, -2);
    EXPECT_FLOAT_EQ(Audio_GetMasterGain(0), 0.0f);
    EXPECT_FLOAT_EQ(Audio_GetMasterGain(1), 0.0f);
}

TEST_F(Emitters, ListenerMasksGoToLaterPlaysAndToOnePlayingVoice) {
    Audio_SetListenerMask(0x80000001u);
    const int handle = Audio_PlaySound(0, 1, 1);
    EXPECT_EQ(Audio_SoundGetListenerMask(handle), 0x80000001u);
    Audio_SoundSetListenerMask(handle, 4);
    EXPECT_EQ(Source(handle).listenerMask, 4u) << "the mixer is told at once";
    EXPECT_EQ(Audio_SoundGetListenerMask(0), 1u) << "a sound index is no voice";
    EXPECT_EQ(Audio_GetListenerMask(), 0x80000001u);
}

} // namespace
