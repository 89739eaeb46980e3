// Buffer sounds from script buffers and play queues: format checks that
// refuse without leaving anything behind, lengths, and the order in which a
// queue plays and reports its finished buffers.
#include <gtest/gtest.h>

#include <cstring>

#include "audio/buffer_sounds.h"
#include "audio/mixer_api.h"
#include "audio_events_capture.h"
#include "core/buffer_table.h"
#include "error_capture.h"
#include "sound_fixture.h"

namespace {

class BufferSounds : public SoundSystemTest {
protected:
    void SetUp() override {
        SoundSystemTest::SetUp();
        LoadStandard();
    }
    // A fixed buffer of `bytes` used bytes, each byte its index (mod 256).
    static int MakeBuffer(int bytes) {
        const int id = CreateBuffer(bytes, eBuffer_Format_Fixed, 1);
        for (int i = 0; i < bytes; ++i) GetIBuffer(id)->Data()[i] = static_cast<unsigned char>(i);
        return id;
    }
    static int Records() {
        int n = 0;
        for (auto& s : g_BufferSounds) n += s != nullptr;
        return n;
    }
};

TEST_F(BufferSounds, LengthsFollowFormatChannelsAndClampedRate) {
    const int buffer = MakeBuffer(32000);
    struct Case {
        int type, rate, channels;
        float seconds;
    } const cases[] = {
        {4, 16000, 0, 1.0f},                // mono 16-bit
        {4, 16000, 1, 0.5f},                // stereo 16-bit
        {1, 16000, 1, 1.0f},                // stereo 8-bit
        {4, 16000, 2, 1.0f},                // 3D plays as mono
        {1, 500, 0, 32.0f},                 // the rate is raised to 1000
        {1, 96000, 0, 32000.0f / 48000.0f}, // and lowered to 48000
    };
    for (const Case& c : cases) {
        const int sound = Audio_CreateBufferSound(buffer, c.type, c.rate, 0, 0, c.channels);
        ASSERT_GE(sound, 100000);
        EXPECT_FLOAT_EQ(Audio_SoundLength(sound), c.seconds) << c.type << " " << c.rate << " " << c.channels;
    }
    EXPECT_EQ(GetIBuffer(buffer)->UseCount(), 6);
    EXPECT_FALSE(DeleteBufferIfUnused(buffer)) << "in use by its sounds";
}

TEST_F(BufferSounds, OffsetWithoutLengthTakesTheRestAndSamplesAreCopied) {
    const int buffer = MakeBuffer(1000);
    const int sound = Audio_CreateBufferSound(buffer, 1, 1000, 100, 0, 0);
    EXPECT_FLOAT_EQ(Audio_SoundLength(sound), 0.9f);
    EXPECT_EQ(Audio_CreateBufferSound(buffer, 1, 1000, -50, 10, 0), sound + 1) << "a negative offset is 0";
    // The buffer may grow or be rewritten: the sound keeps its own samples.
    std::memset(GetIBuffer(buffer)->Data(), 0, 1000);
    GetIBuffer(buffer)->Resize(1 << 20);
    const int handle = Audio_PlaySound(sound, 1, 0);
    const std::vector<int16_t> out = Mix(64);
    bool heard = false;
    for (int16_t s : out) heard |= s != 0;
    EXPECT_TRUE(heard) << handle;

    EXPECT_TRUE(Audio_FreeBufferSound(sound));
    EXPECT_FALSE(Audio_FreeBufferSound(sound));
    EXPECT_FALSE(Audio_SoundIsPlaying(handle));
    EXPECT_TRUE(Audio_FreeBufferSound(sound + 1));
    EXPECT_EQ(GetIBuffer(buffer)->UseCount(), 0);
    EXPECT_TRUE(DeleteBufferIfUnused(buffer));
}

TEST_F(BufferSounds, BadRequestsAreRefusedAndMakeNothing) {
    const int buffer = MakeBuffer(100);
    const int empty = CreateBuffer(0, eBuffer_Format_Grow, 1);
    struct Case {
        int buffer, type, offset, length, channels;
        const char* console; // what the debug console shows
        const char* error;   // the non-fatal error report, if any
    } const cases[] = {
        {buffer, 2, 0, 0, 0, "", "audio_create_buffer_sound: unsupported format (use buffer_u8,buffer_s16)"},
        {77, 4, 0, 0, 0, "audio_create_buffer_sound: Invalid buffer id: 77\n", nullptr},
        {empty, 4, 0, 0, 0, "audio_create_buffer_sound: not queueing data, buffer 1 is empty\n", nullptr},
        {buffer, 4, 0, 0, 3, "",
         "audio_create_buffer_sound: channels should be audio_mono, audio_stereo, or audio_3d"},
        {buffer, 4, 60, 50, 0,
         "audio_create_buffer_sound: not enough data in buffer to create sound with offset 60 length 50",
         nullptr},
        {buffer, 4, 100, 0, 0,
         "audio_create_buffer_sound: not enough data in buffer to create sound with offset 100 length 0",
         nullptr},
        {buffer, 4, 10, -4, 0,
         "audio_create_buffer_sound: not enough data in buffer to create sound with offset 10 length -4",
         nullptr},
        {buffer, 4, 2147483600, 100, 0,
         "audio_create_buffer_sound: not enough data in buffer to create sound with offset 2147483600 length "
         "100",
         nullptr},
        {buffer, 4, 0, 7, 0, "audio_create_buffer_sound: 7 bytes is not a whole number of 2-byte samples\n",
         nullptr},
        {buffer, 4, 0, 98, 1, "audio_create_buffer_sound: 98 bytes is not a whole number of 4-byte samples\n",
         nullptr},
    };
    for (const Case& c : cases) {
        m_console.text.clear();
        ErrorCapture errors;
        EXPECT_EQ(Audio_CreateBufferSound(c.buffer, c.type, 16000, c.offset, c.length, c.channels), -1)
            << c.console;
        EXPECT_EQ(m_console.text, c.console);
        EXPECT_EQ(errors.LastShown(), c.error != nullptr ? c.error : "");
    }
    EXPECT_EQ(Records(), 0);
    EXPECT_EQ(GetIBuffer(buffer)->UseCount(), 0);
}

TEST_F(BufferSounds, AQueuePlaysItsBuffersInOrderAndReportsEach) {
    const int queue = Audio_CreatePlayQueue(4, 16000, 0);
    EXPECT_EQ(queue, 200000);
    EXPECT_NE(m_console.text.find("create queue 200000\n"), std::string::npos);
    const int parts[3] = {MakeBuffer(1600), MakeBuffer(1600), MakeBuffer(1600)};
    int handle = -1;
    for (int part : parts) {
        const int h = Audio_QueueBufferSound(queue, part, 0, 0);
        if (handle != -1) {
            EXPECT_EQ(h, handle) << "one voice for the queue";
        }
        handle = h;
    }
    EXPECT_GE(handle, 400001);
    EXPECT_FALSE(Audio_SoundIsPlaying(queue)) << "queueing does not start it";
    ASSERT_GE(Audio_PlaySound(queue, 10, 0), 400001);
    EXPECT_EQ(Audio_PlaySound(queue, 10, 0), -1) << "already playing";

    // 0.05 s a part: 2400 frames of the 48000 Hz output each.
    Mix(2400 + 100);
    Tick(1);
    std::vector<PostedEvent> events = TakePostedEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].subtype, 74);
    EXPECT_EQ(events[0].values, (std::map<std::string, std::string>{
                                    {"queue_id", "200000"}, {"buffer_id", "0"}, {"queue_shutdown", "0"}}));
    Mix(2 * 2400);
    Tick(1);
    events = TakePostedEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].values.at("buffer_id"), "1");
    EXPECT_EQ(events[1].values.at("buffer_id"), "2");
    EXPECT_EQ(events[1].values.at("queue_shutdown"), "0");
    EXPECT_EQ(Records(), 0) << "finished parts are freed";
    EXPECT_TRUE(DeleteBufferIfUnused(parts[0]));
}

TEST_F(BufferSounds, FreeingAQueueReportsItsUnplayedBuffers) {
    Audio_CreatePlayQueue(1, 8000, 0);
    const int queue = Audio_CreatePlayQueue(1, 8000, 1);
    ASSERT_EQ(queue, 200001);
    Audio_QueueBufferSound(queue, MakeBuffer(400), 0, 0);
    Audio_QueueBufferSound(queue, MakeBuffer(400), 0, 200);
    EXPECT_TRUE(Audio_FreePlayQueue(queue));
    EXPECT_FALSE(Audio_FreePlayQueue(queue));
    const std::vector<PostedEvent> events = TakePostedEvents();
    ASSERT_EQ(events.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(events[i].values.at("queue_id"), "1") << "the slot number";
        EXPECT_EQ(events[i].values.at("buffer_id"), std::to_string(i));
        EXPECT_EQ(events[i].values.at("queue_shutdown"), "1");
    }
    EXPECT_EQ(Records(), 0);
    EXPECT_EQ(Audio_CreatePlayQueue(1, 8000, 0), 200001) << "the slot is reused";
}

TEST_F(BufferSounds, QueueRequestsAreChecked) {
    ErrorCapture errors;
    EXPECT_EQ(Audio_CreatePlayQueue(4, 16000, 3), -1);
    EXPECT_EQ(errors.LastShown(),
              "audio_create_play_queue: channels should be audio_mono, audio_stereo, or audio_3d");
    EXPECT_EQ(Audio_CreatePlayQueue(5, 16000, 0), -1);
    EXPECT_EQ(errors.LastShown(), "audio_create_play_queue: unsupported format (use buffer_u8,buffer_s16)");
    EXPECT_EQ(Audio_QueueBufferSound(200000, MakeBuffer(10), 0, 0), -1);
    EXPECT_NE(m_console.text.find("audio_queue_buffer_sound : Invalid queue id: 200000\n"),
              std::string::npos);
    EXPECT_EQ(Audio_QueueBufferSound(0, MakeBuffer(10), 0, 0), -1) << "an asset is no queue";
    const int queue = Audio_CreatePlayQueue(4, 16000, 0);
    EXPECT_EQ(Audio_QueueBufferSound(queue, MakeBuffer(10), 0, 3), -1);
    EXPECT_NE(m_console.text.find("audio_queue_buffer_sound : Invalid buffer sound id: -1\n"),
              std::string::npos);
    EXPECT_EQ(Audio_GetNoiseFromQueuedSoundID(queue), nullptr) << "a refused part chooses no voice";
}

} // namespace

namespace {

TEST_F(BufferSounds, RebuiltVoicesLeaveNoQueueOrEmitterPointingAtThem) {
    const int queue = Audio_CreatePlayQueue(4, 16000, 0);
    const int first = Audio_QueueBufferSound(queue, MakeBuffer(1600), 0, 0);
    ASSERT_GE(first, 400001);
    Audio_SetNumChannels(8);
    EXPECT_EQ(g_QueueSounds[0]->queueVoice, nullptr);
    const int again = Audio_QueueBufferSound(queue, MakeBuffer(1600), 0, 0);
    EXPECT_GT(again, first) << "a new voice for the queue";
    Tick(2);
}

TEST_F(BufferSounds, AQueueWhoseVoiceWasTakenGetsAnotherVoice) {
    Audio_SetNumChannels(4);
    const int queue = Audio_CreatePlayQueue(4, 16000, 0);
    const int handle = Audio_QueueBufferSound(queue, MakeBuffer(1600), 0, 0);
    CNoise* v = playingsounds[0].get();
    ASSERT_EQ(v->handle, handle);
    // The voice is stopped and handed to another sound.
    Audio_StopSoundNoise(v, true);
    const int other = Audio_PlaySound(0, 100, 1);
    ASSERT_EQ(Audio_GetNoiseFromID(other), v);
    const int next = Audio_QueueBufferSound(queue, MakeBuffer(1600), 0, 0);
    ASSERT_GE(next, 400001);
    ASSERT_NE(g_QueueSounds[0]->queueVoice, v);
    EXPECT_EQ(g_QueueSounds[0]->queueVoice->sound, queue);
    int queued = -1;
    alGetSourcei(Audio_SourceOf(*v), AL_BUFFERS_QUEUED, &queued);
    EXPECT_EQ(queued, 0) << "nothing queued on the other sound's voice";
    EXPECT_TRUE(Audio_SoundIsPlaying(other));
}

} // namespace

namespace {

TEST_F(BufferSounds, AQueueThatFindsNoVoiceQueuesNothing) {
    Audio_SetNumChannels(4);
    for (int i = 0; i < 4; ++i) ASSERT_GE(Audio_PlaySound(0, 20, 1), 400001);
    const int queue = Audio_CreatePlayQueue(4, 16000, 0);
    const int buffer = MakeBuffer(1600);
    m_console.text.clear();
    EXPECT_EQ(Audio_QueueBufferSound(queue, buffer, 0, 0), -1);
    EXPECT_EQ(m_console.text, "audio_queue_buffer_sound : no voice free for queue 200000\n");
    EXPECT_EQ(Records(), 0);
    EXPECT_EQ(GetIBuffer(buffer)->UseCount(), 0);
}

} // namespace
