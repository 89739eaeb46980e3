// File streams: made from the save area or the bundle, played and looped like
// streamed sounds, and destroyed while playing without the decoder thread
// ever reading a freed record.
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>

#include "audio/file_streams.h"
#include "audio/mixer_api.h"
#include "audio/ogg_audio.h"
#include "audio/sync_groups.h"
#include "core/file_paths.h"
#include "core/load_save.h"
#include "ogg_fixture.h"

namespace {

class FileStreams : public OggSounds {
protected:
    // A save area of the test's own inside its bundle folder.
    void SetUp() override {
        OggSounds::SetUp();
        if (const char* xdg = std::getenv("XDG_DATA_HOME")) m_oldXdg = xdg;
        setenv("XDG_DATA_HOME", (m_folder + "/data").c_str(), 1);
        LoadSave_SetGameName((m_folder + "/game.ios").c_str());
        LoadSave_SetWorkingDirectory((m_folder + "/").c_str());
    }
    void TearDown() override {
        if (m_oldXdg.has_value())
            setenv("XDG_DATA_HOME", m_oldXdg->c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
        LoadSave_SetWorkingDirectory(nullptr);
        DestroyDir((m_folder + "/data").c_str());
        OggSounds::TearDown();
    }
    std::optional<std::string> m_oldXdg;
};

TEST_F(FileStreams, AStreamPlaysLoopsAndIsFreedOnlyOnceItsChannelHasEnded) {
    LoadDecoded();
    WriteBundleFile("theme.ogg", m_stereo);
    const int stream = Audio_CreateStream("theme.ogg");
    ASSERT_EQ(stream, STREAM_SOUND_BASE);
    EXPECT_NE(m_console.text.find("create stream 300000\n"), std::string::npos);
    const cAudio_Sound* record = Audio_GetSound(stream);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(*record->bundlePath, m_folder + "/theme.ogg");

    const int handle = Audio_PlaySound(stream, 1, 1);
    ASSERT_TRUE(RunUntil([&] { return SourceStateOf(handle) == AL_PLAYING; }));
    int frames = 0;
    ASSERT_TRUE(RunUntil([&] { return (frames += 512) > 36000; })); // past its half second
    EXPECT_TRUE(Audio_SoundIsPlaying(handle)) << "a looping stream goes on";
    // Its length is learnt with its first position query.
    EXPECT_EQ(Audio_SoundLength(stream), 0.0f);
    EXPECT_LT(Audio_GetTrackPos(handle), 0.5f);
    EXPECT_NEAR(Audio_SoundLength(stream), 0.5f, 1e-4);

    const CNoise& voice = *Audio_GetNoiseFromID(handle);
    EXPECT_EQ(Audio_DestroyStream(stream), 1);
    EXPECT_EQ(Audio_GetSound(stream), nullptr) << "a destroyed stream names nothing";
    EXPECT_EQ(Audio_PlaySound(stream, 1, 0), 0);
    EXPECT_EQ(Audio_DestroyStream(stream), 1) << "until the record is freed";
    ASSERT_NE(g_StreamSounds[0], nullptr) << "its channel may still read it";
    ASSERT_TRUE(RunUntil([&] { return g_StreamSounds[0] == nullptr; }));
    EXPECT_FALSE(voice.active);
    EXPECT_EQ(Audio_DestroyStream(stream), -1);
    EXPECT_EQ(Audio_CreateStream("theme.ogg"), stream) << "the empty slot is taken again";
}

TEST_F(FileStreams, TheSaveAreaComesBeforeTheBundle) {
    LoadDecoded();
    WriteBundleFile("both.ogg", m_stereo);
    ASSERT_TRUE(LoadSave::WriteFile("both.ogg", m_mono.data(), static_cast<int>(m_mono.size())));
    const int stream = Audio_CreateStream("both.ogg");
    ASSERT_GE(stream, STREAM_SOUND_BASE);
    char savePath[1024];
    ASSERT_TRUE(LoadSave::_GetSaveFileName(savePath, sizeof savePath, "both.ogg"));
    EXPECT_EQ(*Audio_GetSound(stream)->fileName, savePath);
    COggAudio::CalcSoundInfo(Audio_GetSound(stream));
    EXPECT_EQ(Audio_GetSound(stream)->channels, 1) << "the mono file of the save area";
}

TEST_F(FileStreams, MissingFilesAndIdsThatNameNoStream) {
    LoadDecoded();
    EXPECT_EQ(Audio_CreateStream("nowhere.ogg"), -1);
    EXPECT_NE(m_console.text.find("audio_create_stream : could not file file 'nowhere.ogg'\n"),
              std::string::npos);
    for (int bad : {299999, 400000, -1}) {
        m_console.text.clear();
        EXPECT_EQ(Audio_DestroyStream(bad), -1) << bad;
        EXPECT_EQ(m_console.text, "audio_destroy_stream : Invalid stream id: " + std::to_string(bad) + "\n");
    }
    m_console.text.clear();
    EXPECT_EQ(Audio_DestroyStream(300007), -1);
    EXPECT_EQ(m_console.text, "") << "an empty slot is no error message";
}

TEST_F(FileStreams, AStreamAGroupStillPlaysLivesUntilTheGroupEnds) {
    LoadDecoded();
    WriteBundleFile("layer.ogg", m_mono);
    const int stream = Audio_CreateStream("layer.ogg");
    const int group = Audio_CreateSyncGroup(true);
    EXPECT_EQ(Audio_PlayInSyncGroup(group, stream), 0);
    Audio_StartSyncGroup(group);
    ASSERT_TRUE(RunUntil([&] { return Audio_SyncGroupGetTrackPos(group) > 0.2f; }));
    EXPECT_EQ(Audio_DestroyStream(stream), 1);
    Tick(3);
    EXPECT_NE(g_StreamSounds[0], nullptr);
    Audio_DestroySyncGroup(group);
    Tick(1);
    EXPECT_EQ(g_StreamSounds[0], nullptr);
}

} // namespace
