// Ogg Vorbis sounds read whole: decode-on-load sounds become mixer buffers,
// compressed and streamed sounds report their length and format, and bad
// streams are refused. Fixtures are encoded here with Debian's oggenc.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "audio/mixer_api.h"
#include "audio/ogg_audio.h"
#include "audio/ogg_memory.h"
#include "core/load_save.h"
#include "core/thread.h"
#include "ogg_fixture.h"

namespace {

TEST_F(OggSounds, DecodeOnLoadCompressedAndStreamedSoundsKnowTheirLength) {
    WriteAll(m_folder + "/music.ogg", m_stereo);
    wad::GameDataWriter w;
    wad::SoundFields streamed = SoundRecord("music", 2, 100);
    streamed.fileName = "music.ogg";
    wad::SoundFields lost = SoundRecord("lost", 2, 100);
    lost.fileName = "nowhere.ogg";
    wad::WriteSounds(w, {SoundRecord("mono", 0, 103), SoundRecord("stereo", 1, 103), streamed,
                         SoundRecord("kept", 0, 102), lost});
    wad::WriteAudioData(w, {m_mono, m_stereo, std::nullopt});
    Load(w);

    for (int i : {0, 1}) {
        const cAudio_Sound& s = *Audio_GetSound(i);
        EXPECT_GT(s.alBuffer, 0) << i;
        EXPECT_NEAR(Audio_SoundLength(i), 0.5f, 1e-4) << i;
    }
    const int handle = Audio_PlaySound(0, 1, 0);
    EXPECT_TRUE(Audio_SoundIsPlaying(handle));
    const std::vector<int16_t> out = Mix(2048);
    EXPECT_TRUE(std::any_of(out.begin(), out.end(), [](int16_t v) { return std::abs(v) > 1000; }));

    for (int i : {2, 3}) {
        EXPECT_NEAR(Audio_SoundLength(i), 0.5f, 1e-4) << i;
        const cAudio_Sound& s = *Audio_GetSound(i);
        EXPECT_EQ(s.sampleRate, 22050) << i;
        EXPECT_EQ(s.totalSamples, 11025) << i;
        EXPECT_EQ(s.alBuffer, 0) << "decoded while playing, never from a buffer";
    }
    EXPECT_EQ(Audio_GetSound(2)->channels, 2);
    EXPECT_EQ(*Audio_GetSound(2)->bundlePath, m_folder + "/music.ogg");
    EXPECT_EQ(Audio_GetSound(3)->compressedLength, static_cast<int32_t>(m_mono.size()));

    EXPECT_FLOAT_EQ(Audio_SoundLength(4), -1.0f);
    EXPECT_NE(m_console.text.find("can't find file for nowhere.ogg"), std::string::npos);
}

TEST_F(OggSounds, BadStreamsGiveNoBufferAndNoLength) {
    std::vector<uint8_t> cut(m_mono.begin(), m_mono.begin() + static_cast<long>(m_mono.size() / 2));
    std::vector<uint8_t> garbage(400, 0x5A);
    std::vector<uint8_t> flipped = m_mono;
    for (size_t i = 60; i < flipped.size(); i += 7) flipped[i] ^= 0xA5;
    wad::GameDataWriter w;
    wad::WriteSounds(w, {SoundRecord("garbage", 0, 103), SoundRecord("cut", 1, 103),
                         SoundRecord("flipped", 2, 103), SoundRecord("kept", 0, 102)});
    wad::WriteAudioData(w, {garbage, cut, flipped});
    Load(w);
    EXPECT_EQ(Audio_GetSound(0)->alBuffer, 0);
    EXPECT_NE(m_console.text.find("opening ogg stream for"), std::string::npos);
    EXPECT_FLOAT_EQ(Audio_SoundLength(3), -1.0f);
    // A stream cut short or damaged decodes as far as it can, or not at all;
    // what plays is never more than the stream held.
    for (int i : {1, 2}) {
        const float length = Audio_SoundLength(i);
        EXPECT_LE(length, 0.5f) << i;
    }
}

TEST_F(OggSounds, CompressedSoundPlaysOnADecoderThreadAndFreesItsVoiceAtTheEnd) {
    LoadDecoded();
    const int handle = Audio_PlaySound(0, 1, 0);
    ASSERT_EQ(handle, BASE_SOUND_INDEX + 1);
    const CNoise& voice = *Audio_GetNoiseFromID(handle);
    EXPECT_TRUE(voice.decoded);
    const SOggChannel* channel = COggAudio::GetOggChannel(voice.source, -1);
    ASSERT_NE(channel, nullptr) << "the voice's thread started with its first command";
    EXPECT_EQ(channel->sourceIndex, voice.source);
    EXPECT_EQ(COggAudio::StartedThreads(), 1);

    ASSERT_TRUE(RunUntil([&] { return SourceStateOf(handle) == AL_PLAYING; }));
    const std::vector<int16_t> out = Mix(1024);
    EXPECT_TRUE(std::any_of(out.begin(), out.end(), [](int16_t v) { return std::abs(v) > 1000; }));
    EXPECT_TRUE(Audio_SoundIsPlaying(handle));
    ASSERT_TRUE(RunUntil([&] { return !voice.active; })) << "the end of the data frees the voice";
    EXPECT_FALSE(Audio_SoundIsPlaying(0));
}

TEST_F(OggSounds, LoopingStreamedFileWrapsItsPositionAndStops) {
    LoadDecoded();
    const int handle = Audio_PlaySound(2, 1, 1);
    ASSERT_TRUE(RunUntil([&] { return SourceStateOf(handle) == AL_PLAYING; }));
    // Past the 0.5 s length: 24000 frames at 48000 Hz, and more.
    int frames = 0;
    ASSERT_TRUE(RunUntil([&] { return (frames += 512) > 36000; }));
    EXPECT_TRUE(Audio_SoundIsPlaying(handle)) << "a looping stream goes on";
    const float position = Audio_GetTrackPos(handle);
    EXPECT_GE(position, 0.0f);
    EXPECT_LT(position, 0.5f) << "the position wraps with the loop";

    Audio_StopSound(handle);
    const CNoise& voice = *playingsounds[0];
    ASSERT_TRUE(RunUntil([&] { return !voice.active; })) << "soft stop, then the decoder ends the stream";
}

TEST_F(OggSounds, SeekOnAPausedVoiceKeepsItPausedAtTheNewPosition) {
    LoadDecoded();
    const int handle = Audio_PlaySound(1, 1, 0);
    ASSERT_TRUE(RunUntil([&] { return SourceStateOf(handle) == AL_PLAYING; }));
    Audio_PauseSound(handle);
    EXPECT_TRUE(Audio_SoundIsPaused(handle));
    Audio_SetTrackPos(handle, 0.3);
    const SOggChannel& channel = *COggAudio::GetOggChannel(Audio_GetNoiseFromID(handle)->source, -1);
    EXPECT_FLOAT_EQ(Audio_GetTrackPos(handle), 0.3f) << "the target, until the decoder has sought";
    // Every state read while the decoder seeks sees the voice paused, never
    // half-way through the stop and replay.
    ASSERT_TRUE(RunUntil([&] {
        EXPECT_EQ(SourceStateOf(handle), AL_PAUSED);
        return !channel.seekPending;
    }));
    EXPECT_EQ(SourceStateOf(handle), AL_PAUSED);
    EXPECT_NEAR(Audio_GetTrackPos(handle), 0.3f, 0.01f);
    EXPECT_FLOAT_EQ(channel.startSeconds, 0.3f);
    Audio_ResumeSound(handle);
    EXPECT_EQ(SourceStateOf(handle), AL_PLAYING);
}

// A pause that arrives while the decoder is starting the voice (its command
// taken, the source not yet playing) is kept and carried out with the play.
TEST_F(OggSounds, PauseRightAfterPlayIsNeverLost) {
    LoadDecoded();
    for (int round = 0; round < 20; ++round) {
        const int handle = Audio_PlaySound(1, 1, 0);
        CThread::Sleep(round % 4); // land anywhere in the decoder's pass
        Audio_PauseSound(handle);
        const CNoise& voice = *Audio_GetNoiseFromID(handle);
        // The start plays and pauses in one step: PLAYING is never seen.
        ASSERT_TRUE(RunUntil([&] {
            const int state = SourceStateOf(handle);
            return state == AL_PAUSED || state == AL_PLAYING;
        }));
        EXPECT_EQ(SourceStateOf(handle), AL_PAUSED) << "round " << round;
        Audio_StopSound(handle);
        ASSERT_TRUE(RunUntil([&] { return !voice.active; }));
    }
}

TEST_F(OggSounds, VoicesMapOntoThreadsByTheirSourceIndex) {
    LoadDecoded();
    for (int i = 0; i < 6; ++i) Audio_PlaySound(i % 2, 1, 1); // voices 0 to 5
    EXPECT_EQ(COggAudio::StartedThreads(), 4);
    for (int source : {4, 5}) {
        const SOggChannel* channel = COggAudio::GetOggChannel(source, -1);
        ASSERT_NE(channel, nullptr);
        EXPECT_EQ(channel->sourceIndex, source);
        EXPECT_EQ(channel->source, g_pAudioSources[source]);
    }
    EXPECT_EQ(COggAudio::GetOggChannel(128, -1), nullptr);
    Audio_StopAll(true);
    ASSERT_TRUE(RunUntil([] {
        return std::none_of(playingsounds.begin(), playingsounds.end(), [](auto& v) { return v->active; });
    }));
}

TEST_F(OggSounds, DamagedDataAndStopsBeforeTheStartFreeTheVoice) {
    LoadDecoded();
    const int damaged = Audio_PlaySound(3, 1, 0);
    const CNoise& first = *Audio_GetNoiseFromID(damaged);
    ASSERT_TRUE(RunUntil([&] { return !first.active; }));
    EXPECT_NE(m_console.text.find("ov_open_callbacks error"), std::string::npos) << m_console.text;

    const int stopped = Audio_PlaySound(0, 1, 0);
    CNoise* voice = Audio_GetNoiseFromID(stopped);
    Audio_StopSoundNoise(voice, true); // before any pass saw the play
    ASSERT_TRUE(RunUntil([&] { return !voice->active; }));
    const std::vector<int16_t> out = Mix(1024);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int16_t v) { return v == 0; })) << "it never sounded";
}

TEST_F(OggSounds, SuspendedThreadsLeaveTheirVoicesAlone) {
    LoadDecoded();
    const int handle = Audio_PlaySound(0, 1, 1);
    ASSERT_TRUE(RunUntil([&] { return SourceStateOf(handle) == AL_PLAYING; }));
    Audio_Suspend();
    EXPECT_NE(m_console.text.find("Ogg thread 0 suspended\n"), std::string::npos);
    Audio_StopSoundNoise(Audio_GetNoiseFromID(handle), true);
    const CNoise& voice = *playingsounds[0];
    CThread::Sleep(50);
    Tick(3);
    EXPECT_TRUE(voice.active) << "the stop waits for the threads to resume";
    Audio_Unsuspend();
    ASSERT_TRUE(RunUntil([&] { return !voice.active; }));
}

TEST(OggMemory, SeeksStayInsideTheData) {
    const uint8_t bytes[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    struct Row {
        int whence;
        ogg_int64_t offset;
        int result;
        uint32_t position;
    } const rows[] = {
        {SEEK_SET, 4, 0, 4},   {SEEK_CUR, 3, 0, 5},   {SEEK_END, -2, 0, 8},
        {SEEK_SET, -1, -1, 0}, {SEEK_END, 1, -1, 10}, {SEEK_CUR, ogg_int64_t{1} << 32, -1, 10},
        {7, 1, -1, 2},
    };
    for (const Row& row : rows) {
        OggMemorySource source{bytes, sizeof bytes, 2};
        EXPECT_EQ(ogg_seek(&source, row.offset, row.whence), row.result) << row.whence << " " << row.offset;
        EXPECT_EQ(ogg_tell(&source), static_cast<long>(row.position)) << row.whence << " " << row.offset;
    }
    OggMemorySource source{bytes, sizeof bytes, 7};
    uint8_t out[8] = {};
    EXPECT_EQ(ogg_read(out, 4, SIZE_MAX, &source), 3u) << "a huge request reads what is left";
    EXPECT_EQ(out[0], 7);
    EXPECT_EQ(ogg_read(out, 1, 8, &source), 0u);
}

} // namespace
