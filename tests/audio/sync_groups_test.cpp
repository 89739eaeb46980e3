// Sync groups: tracks started together and mixed sample by sample on one
// clock, the clock's position, looping and one-shot groups, gains reaching
// the group thread, a stream that cannot be opened ending its group, and
// calls that name nothing doing nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "audio/file_streams.h"
#include "audio/mixer_debug.h"
#include "audio/ogg_audio.h"
#include "audio/sync_groups.h"
#include "core/graphics_perf.h"
#include "core/thread.h"
#include "ogg_fixture.h"
#include "world/datafile/options.h"

namespace {

// Keeps the debug view's texts.
class TextCanvas final : public AudioDebugCanvas {
public:
    void Text(float, float, uint32_t, uint32_t, const char* text) override { lines.emplace_back(text); }
    void Rectangle(float, float, float, float, uint32_t) override {}
    float TextWidth(const char*) override { return 8; }
    float FontHeight() override { return 10; }
    std::vector<std::string> lines;
};

bool Silent(const std::vector<int16_t>& out) {
    return std::all_of(out.begin(), out.end(), [](int16_t v) { return v == 0; });
}
bool Sounding(const std::vector<int16_t>& out) {
    return std::any_of(out.begin(), out.end(), [](int16_t v) { return std::abs(v) > 1000; });
}

class SyncGroups : public OggSounds {
protected:
    void TearDown() override {
        GraphicsPerf::ms_DisplayFlags = 0;
        OggSounds::TearDown();
    }
    // The debug view's lines for group `id`.
    std::vector<std::string> DebugLines(int id) {
        Audio_SyncGroupDebug(id);
        TextCanvas canvas;
        COggAudio::SyncDrawDebug(canvas, 640, 480);
        return canvas.lines;
    }
    // Waits (without rendering, so nothing is consumed) until the group's
    // thread has queued its first two blocks.
    bool WaitQueued(int id) {
        for (int i = 0; i < 1000; ++i) {
            const std::vector<std::string> lines = DebugLines(id);
            if (lines.size() > 1 && lines[1] == "2 buffers queued") return true;
            CThread::Sleep(2);
        }
        return false;
    }
    // Starts a looping group of these sounds and renders `frames` frames.
    std::vector<int16_t> RenderGroup(std::initializer_list<int> sounds, int frames) {
        const int id = Audio_CreateSyncGroup(true);
        EXPECT_GE(id, 0);
        for (int s : sounds) Audio_PlayInSyncGroup(id, s);
        Audio_StartSyncGroup(id);
        EXPECT_TRUE(WaitQueued(id));
        std::vector<int16_t> out = Mix(frames);
        Audio_DestroySyncGroup(id);
        return out;
    }
};

TEST_F(SyncGroups, TracksStartTogetherAndAddUpSampleBySample) {
    LoadDecoded();
    const std::vector<int16_t> once = RenderGroup({1}, 2048);
    const std::vector<int16_t> twice = RenderGroup({1, 1}, 2048);
    ASSERT_TRUE(Sounding(once));
    int worst = 0;
    for (size_t i = 0; i < once.size(); ++i) worst = std::max(worst, std::abs(twice[i] - 2 * once[i]));
    EXPECT_LE(worst, 2) << "two copies of one track, aligned, sound exactly twice as loud";
}

TEST_F(SyncGroups, PositionFollowsTheHeardBlockAndLoopsPastTheTrackEnd) {
    LoadDecoded();
    const int id = Audio_CreateSyncGroup(true);
    EXPECT_EQ(Audio_PlayInSyncGroup(id, 0), 0);
    Audio_StartSyncGroup(id);
    EXPECT_TRUE(Audio_SyncGroupIsPlaying(id));
    ASSERT_TRUE(WaitQueued(id));
    EXPECT_FLOAT_EQ(Audio_SyncGroupGetTrackPos(id), 0.0f) << "nothing heard yet";
    Mix(4800); // 0.1 s of output at 48000 Hz
    EXPECT_NEAR(Audio_SyncGroupGetTrackPos(id), 0.1f, 0.002f);
    // The half-second track loops on the group clock, which keeps counting.
    ASSERT_TRUE(RunUntil([&] { return Audio_SyncGroupGetTrackPos(id) > 1.2f; }));
    EXPECT_TRUE(Sounding(Mix(2048)));
    EXPECT_NE(DebugLines(id)[0].find("Debug 0, 1 channels, "), std::string::npos);

    Audio_PauseSyncGroup(id);
    ASSERT_TRUE(RunUntil([&] { return Silent(Mix(512)); }));
    const float paused = Audio_SyncGroupGetTrackPos(id);
    Mix(4800);
    EXPECT_FLOAT_EQ(Audio_SyncGroupGetTrackPos(id), paused);
    Audio_ResumeSyncGroup(id);
    ASSERT_TRUE(RunUntil([&] { return Sounding(Mix(512)); }));

    Audio_StopSyncGroup(id);
    EXPECT_FALSE(Audio_SyncGroupIsPlaying(id));
    ASSERT_TRUE(RunUntil([&] { return Silent(Mix(512)); }));
    // A restart begins the clock again with every track.
    Audio_StartSyncGroup(id);
    ASSERT_TRUE(WaitQueued(id));
    EXPECT_FLOAT_EQ(Audio_SyncGroupGetTrackPos(id), 0.0f);
    EXPECT_TRUE(Sounding(Mix(2048)));
}

TEST_F(SyncGroups, AOneShotGroupFallsSilentAfterItsTracks) {
    LoadDecoded();
    const int id = Audio_CreateSyncGroup(false);
    Audio_PlayInSyncGroup(id, 0);
    Audio_StartSyncGroup(id);
    ASSERT_TRUE(WaitQueued(id));
    EXPECT_TRUE(Sounding(Mix(2048)));
    ASSERT_TRUE(RunUntil([&] { return Audio_SyncGroupGetTrackPos(id) > 0.8f; }));
    EXPECT_TRUE(Silent(Mix(4096))) << "the half-second track does not start over";
    EXPECT_TRUE(Audio_SyncGroupIsPlaying(id)) << "the flag tells only that the last request was a start";
}

TEST_F(SyncGroups, SoundGainsReachTheGroupAtTheNextFrame) {
    LoadDecoded();
    Audio_GetSound(1)->gain = 0.0f;
    const int id = Audio_CreateSyncGroup(true);
    Audio_PlayInSyncGroup(id, 1);
    Audio_StartSyncGroup(id);
    ASSERT_TRUE(WaitQueued(id));
    EXPECT_TRUE(Silent(Mix(4096))) << "a muted track is neither decoded nor mixed";
    Audio_SoundGain(1, 1.0, 0);
    ASSERT_TRUE(RunUntil([&] { return Sounding(Mix(512)); }));
}

TEST_F(SyncGroups, AStreamThatCannotBeOpenedEndsItsGroup) {
    LoadDecoded();
    WriteBundleFile("gone.ogg", m_stereo);
    const int stream = Audio_CreateStream("gone.ogg");
    std::remove((m_folder + "/gone.ogg").c_str());
    const int id = Audio_CreateSyncGroup(true);
    EXPECT_EQ(Audio_PlayInSyncGroup(id, stream), 0);
    Audio_StartSyncGroup(id);
    ASSERT_TRUE(RunUntil([&] { return Audio_SyncGroupGetTrackPos(id) == -1.0f; }));
    EXPECT_NE(m_console.text.find("(0): Could not open Ogg file"), std::string::npos) << m_console.text;
    EXPECT_NE(m_console.text.find("failed to open stream file!"), std::string::npos);
    EXPECT_FALSE(Audio_SyncGroupIsPlaying(id));
    EXPECT_EQ(Audio_PlayInSyncGroup(id, 0), 0) << "the id names no group any more";
    EXPECT_EQ(Audio_CreateSyncGroup(true), id) << "its slot is free again";
}

TEST_F(SyncGroups, RefusalsAndIdsThatNameNothing) {
    LoadStandard(); // 0 and 2 are WAV sounds, 3 a streamed one without its file
    const int id = Audio_CreateSyncGroup(true);
    struct Row {
        int group, sound, result;
        const char* message;
    } const rows[] = {
        {id, 77, -1, "Error: no sound exists for soundid 77\n"},
        {id, 0, -1, "Error: cannot play uncompressed sounds in a sync group\n"},
        {id, 3, -1, "COggAudio::PlaySound- could not find audio file for sound music.ogg\n"},
        {id + 5, 3, -1, "could not find audio file"},
        {-1, 2, -1, "cannot play uncompressed"},
    };
    for (const Row& row : rows) {
        m_console.text.clear();
        EXPECT_EQ(Audio_PlayInSyncGroup(row.group, row.sound), row.result) << row.sound;
        EXPECT_NE(m_console.text.find(row.message), std::string::npos) << m_console.text;
    }
    Audio_StartSyncGroup(id);
    EXPECT_FALSE(Audio_SyncGroupIsPlaying(id)) << "nothing was added, so nothing starts";
    for (int bad : {-1, id + 1, 1000000}) {
        Audio_StartSyncGroup(bad);
        Audio_PauseSyncGroup(bad);
        Audio_ResumeSyncGroup(bad);
        Audio_StopSyncGroup(bad);
        Audio_DestroySyncGroup(bad);
        EXPECT_FALSE(Audio_SyncGroupIsPlaying(bad));
        EXPECT_EQ(Audio_SyncGroupGetTrackPos(bad), -1.0f);
    }
    Audio_DestroySyncGroup(id);
    Audio_DestroySyncGroup(id);
    EXPECT_EQ(DebugLines(id), std::vector<std::string>{"Audio Sync Count 1"});
    EXPECT_EQ(GraphicsPerf::ms_DisplayFlags, 0x20);
    Audio_SyncGroupDebug(-1);
    EXPECT_EQ(GraphicsPerf::ms_DisplayFlags, 0);
}

TEST_F(SyncGroups, AFullGroupCountsRefusedSoundsAndPlaysTheRest) {
    LoadDecoded();
    const int id = Audio_CreateSyncGroup(true);
    const int tracks = COggAudio::StreamedVoices() / 4;
    ASSERT_EQ(tracks, 32);
    for (int i = 0; i < tracks; ++i) EXPECT_EQ(Audio_PlayInSyncGroup(id, 0), i);
    EXPECT_EQ(Audio_PlayInSyncGroup(id, 0), tracks);
    EXPECT_NE(m_console.text.find("Too many sounds added to sync group, not adding this one.\n"),
              std::string::npos);
    Audio_StartSyncGroup(id);
    ASSERT_TRUE(WaitQueued(id));
    EXPECT_EQ(DebugLines(id).size(), 2u + tracks) << "one line per track that was taken";
}

TEST_F(SyncGroups, WithoutTheSoundSystemThereAreNoGroups) {
    g_UseNewAudio = false;
    LoadStandard();
    EXPECT_EQ(Audio_CreateSyncGroup(true), -1);
    EXPECT_EQ(Audio_PlayInSyncGroup(0, 0), -1);
    EXPECT_FALSE(Audio_SyncGroupIsPlaying(0));
}

} // namespace
