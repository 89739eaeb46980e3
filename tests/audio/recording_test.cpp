// Recorders over a capture device the test drives: the device list and its
// information maps, starting and stopping, and the tick's capture pass that
// hands a tenth of a second or more to scripts at a time.
#include <gtest/gtest.h>

#include "audio/mixer_device.h"
#include "audio/recording.h"
#include "audio_events_capture.h"
#include "core/buffer_table.h"
#include "data/ds_map.h"
#include "data/ds_tables.h"
#include "sound_fixture.h"
#include "world/step/async_events.h"

namespace {

// Captured samples waiting: `waiting` frames, each sample its frame number.
struct FakeCapture final : ALCdevice_struct {
    static inline int waiting = 0;
    static inline int starts = 0;
    int getRecordingDataLen() override { return waiting; }
    void getRecordingData(void* out, int count) override {
        auto* samples = static_cast<int16_t*>(out);
        for (int i = 0; i < count; ++i) samples[i] = static_cast<int16_t>(i);
        waiting -= count;
    }
    void startRecording() override { ++starts; }
};

class Recording : public SoundSystemTest {
protected:
    void SetUp() override {
        SoundSystemTest::SetUp();
        FakeCapture::waiting = 0;
        FakeCapture::starts = 0;
        Mixer_ResetCaptureDevice();
        Mixer_SetCaptureDeviceFactory([]() -> ALCdevice_struct* { return new FakeCapture(); });
        LoadStandard();
    }
    void TearDown() override {
        Recording_Reset();
        Mixer_ResetCaptureDevice();
        Mixer_SetCaptureDeviceFactory(nullptr);
        SoundSystemTest::TearDown();
    }
};

TEST_F(Recording, TheDeviceListAndItsInformation) {
    EXPECT_EQ(Audio_GetRecorderCount(), 1);
    EXPECT_EQ(MapValues(Audio_GetRecorderInfo(0)),
              (std::map<std::string, std::string>{{"name", "default"},
                                                  {"index", "0"},
                                                  {"data_format", "4"},
                                                  {"sample_rate", "16000"},
                                                  {"channels", "0"}}));
    EXPECT_EQ(Audio_GetRecorderInfo(1), -1);
    EXPECT_EQ(m_console.text, "audio_get_recorder_info: device 1 no longer attached\n");
    m_console.text.clear();
    EXPECT_EQ(Audio_GetRecorderInfo(-1), -1);
    EXPECT_EQ(m_console.text, "audio_get_recorder_info: device -1 not available\n");
}

TEST_F(Recording, StartingAndStopping) {
    Audio_GetRecorderCount();
    struct Case {
        int device, result;
        const char* message;
    } const cases[] = {
        {-1, -1, "audio_start_recording: device -1 out of range\n"},
        {2, -1, "audio_start_recording: device 2 out of range\n"},
        {1, -1, "audio_start_recording: device 1 not available\n"},
        {0, 0, ""},
        {0, -1, "audio_start_recording: device 0 already recording\n"},
    };
    for (const Case& c : cases) {
        m_console.text.clear();
        EXPECT_EQ(Audio_StartRecording(c.device), c.result) << c.device;
        EXPECT_EQ(m_console.text, c.message);
    }
    EXPECT_EQ(FakeCapture::starts, 1);
    m_console.text.clear();
    EXPECT_EQ(Audio_StopRecording(3), -1);
    EXPECT_EQ(m_console.text, "audio_stop_recording : recorder 3 is not currently recording\n");
    EXPECT_EQ(Audio_StopRecording(0), 0);
    EXPECT_EQ(Audio_StopRecording(0), -1);
    EXPECT_EQ(Audio_StartRecording(0), 0) << "the slot is reused";
}

TEST_F(Recording, TheTickHandsOverMoreThanATenthOfASecond) {
    Audio_GetRecorderCount();
    ASSERT_EQ(Audio_StartRecording(0), 0);
    FakeCapture::waiting = 1600; // exactly 0.1 s: not yet
    Tick(1);
    EXPECT_TRUE(TakePostedEvents().empty());
    FakeCapture::waiting = 1601;
    Tick(1);
    EXPECT_EQ(FakeCapture::waiting, 0);
    {
        // The buffer is freed after delivery: read it before.
        DS_AutoMutex lock;
        ASSERT_NE(g_pHttpHead, nullptr);
    }
    IBuffer* buffer = GetIBuffer(0);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->UsedSize(), 3202);
    EXPECT_EQ(reinterpret_cast<int16_t*>(buffer->Data())[1600], 1600);
    const std::vector<PostedEvent> events = TakePostedEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].subtype, 73);
    EXPECT_EQ(events[0].values, (std::map<std::string, std::string>{
                                    {"buffer_id", "0"}, {"channel_index", "0"}, {"data_len", "3202"}}));
    EXPECT_EQ(GetIBuffer(0), nullptr) << "freed with the event";
}

} // namespace

namespace {

TEST_F(Recording, AnEventFreesOnlyItsOwnBufferAndMap) {
    Audio_GetRecorderCount();
    ASSERT_EQ(Audio_StartRecording(0), 0);
    FakeCapture::waiting = 2000;
    Tick(1);
    ASSERT_NE(GetIBuffer(0), nullptr);
    // The script deleted the buffer, and another took its slot.
    FreeIBuffer(0);
    ASSERT_EQ(CreateBuffer(4, eBuffer_Format_Grow, 1), 0);
    Async_ClearRequests();
    EXPECT_NE(GetIBuffer(0), nullptr) << "another's buffer stays";
    EXPECT_EQ(GetDsMap(0), nullptr) << "the undelivered map is destroyed";
}

} // namespace
