// Mixer devices, contexts and the listener: the device operations each entry
// point drives, the queries and their log lines, the new context's listener,
// listener errors kept out of alGetError, and calls with no current context.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "audio/mixer_buffer.h"
#include "audio/mixer_device.h"
#include "audio/mixer_source.h"
#include "core/console.h"
#include "mixer_fixture.h"

namespace {

// A device that records which of its operations ran, in order.
std::vector<std::string> g_calls;

struct RecordingDevice : ALCdevice_struct {
    ~RecordingDevice() override { g_calls.push_back("destroy"); }
    void openPlayback(char* name) override { g_calls.push_back(std::string("openPlayback ") + name); }
    void closePlayback() override { g_calls.push_back("closePlayback"); }
    void resetPlayback() override { g_calls.push_back("resetPlayback"); }
    void startPlayback() override { g_calls.push_back("startPlayback"); }
    void stopPlayback() override { g_calls.push_back("stopPlayback"); }
    void closeRecording() override { g_calls.push_back("closeRecording"); }
    void startRecording() override { g_calls.push_back("startRecording"); }
    void stopRecording() override { g_calls.push_back("stopRecording"); }
    void getRecordingData(void*, int count) override {
        g_calls.push_back("getRecordingData " + std::to_string(count));
    }
    int getRecordingDataLen() override { return 1234; }
};

ALCdevice_struct* MakeRecordingDevice() {
    return new RecordingDevice();
}

// Collects the debug console's lines while it lives.
class DebugLog {
public:
    DebugLog() : m_saved(dbg_csol) { dbg_csol = &m_log; }
    ~DebugLog() { dbg_csol = m_saved; }
    std::string Text() const { return m_log.Text(); }

private:
    tagIConsole* m_saved;
    TErrStreamConsole m_log;
};

} // namespace

TEST(MixerDevice, OpenAndCloseDriveThePlaybackOperationsInOrder) {
    g_calls.clear();
    Mixer_SetOutputDeviceFactory(MakeRecordingDevice);
    ALCdevice_struct* device = alcOpenDevice("ignored");
    Mixer_SetOutputDeviceFactory(nullptr);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->format, AL_FORMAT_STEREO16);
    EXPECT_EQ(device->frequency, 48000);
    EXPECT_EQ(device->listenerMask, 1u);
    EXPECT_EQ(alcGetError(device), ALC_NO_ERROR);
    EXPECT_EQ(alcCloseDevice(device), 1);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"openPlayback null", "resetPlayback", "startPlayback",
                                                 "stopPlayback", "closePlayback", "destroy"}));
    EXPECT_EQ(alcCloseDevice(nullptr), 0);
}

TEST(MixerDevice, CaptureIsOneDeviceThatOutlivesItsClosing) {
    g_calls.clear();
    Mixer_ResetCaptureDevice();
    Mixer_SetCaptureDeviceFactory(MakeRecordingDevice);
    ALCdevice_struct* capture = alcCaptureOpenDevice(nullptr, 44100, AL_FORMAT_MONO16, 1024);
    EXPECT_EQ(alcCaptureOpenDevice("other", 8000, AL_FORMAT_STEREO8, 1), capture) << "arguments are ignored";
    EXPECT_EQ(Mixer_CaptureDevice(), capture);

    alcCaptureStart(capture);
    short samples[16];
    alcCaptureSamples(capture, samples, 16);
    int available = -1;
    alcGetIntegerv(capture, ALC_CAPTURE_SAMPLES, 0, &available);
    EXPECT_EQ(available, -1) << "a size of 0 writes nothing";
    alcGetIntegerv(capture, ALC_CAPTURE_SAMPLES, 1, &available);
    EXPECT_EQ(available, 1234);
    alcCaptureStop(capture);
    EXPECT_EQ(alcCaptureCloseDevice(capture), 1);
    EXPECT_EQ(Mixer_CaptureDevice(), capture) << "closing keeps the object";
    EXPECT_EQ(g_calls, (std::vector<std::string>{"startRecording", "getRecordingData 16", "stopRecording",
                                                 "stopRecording", "closeRecording"}));
    Mixer_ResetCaptureDevice();
    Mixer_SetCaptureDeviceFactory(nullptr);
}

TEST(MixerDevice, QueriesAnswerTheirNamesAndLogWhatTheyCannot) {
    ALCdevice_struct* device = alcOpenDevice(nullptr);
    DebugLog log;
    EXPECT_EQ(alcGetString(nullptr, ALC_DEVICE_SPECIFIER), nullptr);
    EXPECT_STREQ(alcGetString(device, ALC_DEVICE_SPECIFIER), "ZQOpenAL Device");
    EXPECT_STREQ(alcGetString(nullptr, ALC_CAPTURE_DEVICE_SPECIFIER), "default");
    EXPECT_EQ(log.Text(), "");
    EXPECT_EQ(alcGetString(device, ALC_CAPTURE_DEVICE_SPECIFIER), nullptr);
    EXPECT_EQ(alcGetString(device, 0x1234), nullptr);
    int value = 7;
    alcGetIntegerv(device, 0x311, 1, &value);
    EXPECT_EQ(value, 7);
    EXPECT_EQ(log.Text(), "ZQOpenAl alcGetString currently does not support getting the name of a device\n"
                          "ZQOpenAl alcGetIntegerv currently does not support parameter 4660\n"
                          "ZQOpenAl alcGetIntegerv currently does not support parameter 785\n");
    alcCloseDevice(device);
}

TEST_F(MixerTest, NewContextHasTheDefaultListenerAndIsNotMadeCurrentByCreation) {
    ALCcontext_struct* other = alcCreateContext(m_device, nullptr);
    EXPECT_EQ(alcGetCurrentContext(), m_context);
    EXPECT_EQ(alcGetContextsDevice(other), m_device);
    EXPECT_EQ(other->listenerGain, 1.0f);
    EXPECT_EQ(std::vector<float>(other->listenerAt, other->listenerAt + 3), (std::vector<float>{0, 0, -1}));
    EXPECT_EQ(std::vector<float>(other->listenerUp, other->listenerUp + 3), (std::vector<float>{0, 1, 0}));
    EXPECT_EQ(other->listenerMask.load(), 1u);
    EXPECT_EQ(other->speedOfSound, 343.3f);
    EXPECT_EQ(other->nextSourceId, 1);
    EXPECT_EQ(other->nextBufferId, 1);
    alcDestroyContext(other);
    EXPECT_EQ(alcGetCurrentContext(), m_context) << "destroying another context leaves the current one";
    EXPECT_EQ(alcCreateContext(nullptr, nullptr), nullptr);

    alcSetListenerMask(6);
    EXPECT_EQ(m_context->listenerMask.load(), 6u);
}

TEST_F(MixerTest, ListenerSettersStoreOrKeepTheirErrorsFromAlGetError) {
    alListenerf(AL_GAIN, 0.25f);
    alListener3f(AL_POSITION, 1, 2, 3);
    alListener3f(AL_VELOCITY, -1, 0, 4);
    EXPECT_EQ(TakeError(), AL_NO_ERROR);
    EXPECT_EQ(Context().listenerGain, 0.25f);
    EXPECT_EQ(Context().listenerPosition[2], 3.0f);
    EXPECT_EQ(Context().listenerVelocity[0], -1.0f);

    const float orientation[6] = {1, 0, 0, 0, 0, 1};
    alListenerfv(AL_ORIENTATION, orientation);
    EXPECT_EQ(std::vector<float>(Context().listenerAt, Context().listenerAt + 3),
              (std::vector<float>{1, 0, 0}));
    EXPECT_EQ(std::vector<float>(Context().listenerUp, Context().listenerUp + 3),
              (std::vector<float>{0, 0, 1}));
    const float half = 0.5f;
    alListenerfv(AL_GAIN, &half);
    EXPECT_EQ(Context().listenerGain, 0.5f);

    struct Row {
        const char* call;
        void (*run)();
        int error;
    };
    const Row rows[] = {
        {"negative gain", [] { alListenerf(AL_GAIN, -0.5f); }, AL_INVALID_VALUE},
        {"NaN gain", [] { alListenerf(AL_GAIN, std::nanf("")); }, AL_INVALID_VALUE},
        {"negative gain by vector",
         [] {
             const float g = -1;
             alListenerfv(AL_GAIN, &g);
         },
         AL_INVALID_VALUE},
        {"f of position", [] { alListenerf(AL_POSITION, 1); }, AL_INVALID_ENUM},
        {"3f of gain", [] { alListener3f(AL_GAIN, 1, 1, 1); }, AL_INVALID_ENUM},
        {"fv of unknown",
         [] {
             const float v[6] = {};
             alListenerfv(0x1234, v);
         },
         AL_INVALID_ENUM},
        {"fv without values", [] { alListenerfv(AL_POSITION, nullptr); }, AL_INVALID_VALUE},
    };
    for (const Row& row : rows) {
        row.run();
        EXPECT_EQ(TakeError(), row.error) << row.call;
        EXPECT_EQ(alGetError(), AL_NO_ERROR) << row.call;
        EXPECT_EQ(Context().listenerGain, 0.5f) << row.call;
    }
}

// A context destroyed while current can no longer be reached, and every
// entry point does nothing without one: nothing is written, nothing crashes.
TEST_F(MixerTest, DestroyingTheCurrentContextFreesItsObjectsAndLeavesNoneCurrent) {
    const unsigned buffer = NewMono16Buffer(10);
    const unsigned source = NewSource();
    alSourcei(source, AL_BUFFER, static_cast<int>(buffer));
    alSourcePlay(source);
    alcDestroyContext(m_context); // LeakSanitizer checks the source and buffer went too
    m_context = nullptr;
    EXPECT_EQ(alcGetCurrentContext(), nullptr);

    unsigned ids[2] = {77, 77};
    alGenBuffers(2, ids);
    alGenSources(2, ids);
    EXPECT_EQ(ids[0], 77u);
    int value = 55;
    alGetSourcei(source, AL_SOURCE_STATE, &value);
    alGetBufferi(buffer, AL_SIZE, &value);
    EXPECT_EQ(value, 55);
    EXPECT_EQ(alIsBuffer(buffer), 0);
    alSourcePlay(source);
    alSourceQueueBuffers(source, 1, &buffer);
    alListenerf(AL_GAIN, 2);
    alDistanceModel(AL_NONE);
    alcSetListenerMask(3);
}
