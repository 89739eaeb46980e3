// Recorders over the mixer's capture device (see recording.h).
#include "audio/recording.h"

#include <algorithm>
#include <cstring>

#include "audio/audio_events.h"
#include "audio/mixer_api.h"
#include "audio/sound_assets.h"
#include "core/buffer_table.h"
#include "core/console.h"
#include "data/ds_map.h"

std::vector<std::optional<std::string>> g_recordingDevices;
std::vector<std::unique_ptr<SRecordingInfo>> g_recorders;

namespace {

constexpr int kRecordRate = 16000;
// Sample frames the capture device keeps (two seconds at the rate).
constexpr int kCaptureFrames = 32000;
// Each event carries more than a tenth of a second.
constexpr double kMinEventSeconds = 0.1;

const char* Device(int d) {
    if (d < 0 || d >= static_cast<int>(g_recordingDevices.size()) || !g_recordingDevices[d]) return nullptr;
    return g_recordingDevices[d]->c_str();
}

void Close(SRecordingInfo& r) {
    if (r.device == nullptr) return;
    alcCaptureStop(r.device);
    alcCaptureCloseDevice(r.device);
    r.device = nullptr;
    r.recording = false;
}

void Capture(int index, SRecordingInfo& r) {
    int frames = 0;
    alcGetIntegerv(r.device, ALC_CAPTURE_SAMPLES, 1, &frames);
    if (frames <= 0 || static_cast<double>(frames) / r.sampleRate <= kMinEventSeconds) return;
    // A capture that has waited long is handed over in one buffer, which
    // the int sizes of the buffer table still hold.
    frames = std::min(frames, (INT32_MAX - 1024) / 2);
    const int bytes = 2 * frames;
    const int id = CreateBuffer(bytes, eBuffer_Format_Fast, 0);
    IBuffer* buffer = GetIBuffer(id);
    if (buffer == nullptr || buffer->Size() < bytes) {
        FreeIBuffer(id);
        dbg_csol->Output("audio recording: no buffer for %d bytes\n", bytes);
        return;
    }
    alcCaptureSamples(r.device, buffer->Data(), frames);
    const char* none = nullptr;
    const int map =
        CreateDsMap(3, "buffer_id", static_cast<double>(id), none, "channel_index",
                    static_cast<double>(index), none, "data_len", static_cast<double>(bytes), none);
    Audio_PostMapEvent(map, ASYNC_AUDIO_RECORDING, id);
}

} // namespace

void deviceListClear() {
    g_recordingDevices.clear();
}

void enumerateCaptureDevices() {
    deviceListClear();
    // Names separated by a zero byte, the list ended by an empty name.
    const char* names = alcGetString(nullptr, ALC_CAPTURE_DEVICE_SPECIFIER);
    if (names == nullptr) return;
    for (const char* name = names; *name != '\0'; name += std::strlen(name) + 1)
        g_recordingDevices.emplace_back(std::string(name));
}

int Audio_GetRecorderCount() {
    enumerateCaptureDevices();
    return static_cast<int>(g_recordingDevices.size());
}

int Audio_GetRecorderInfo(int device) {
    const int count = static_cast<int>(g_recordingDevices.size());
    const char* name = Device(device);
    if (name == nullptr) {
        if (device == count || (device >= 0 && device < count))
            dbg_csol->Output("audio_get_recorder_info: device %d no longer attached\n", device);
        else
            dbg_csol->Output("audio_get_recorder_info: device %d not available\n", device);
        return -1;
    }
    const char* none = nullptr;
    return CreateDsMap(5, "name", 0.0, name, "index", static_cast<double>(device), none, "data_format", 4.0,
                       none, "sample_rate", static_cast<double>(kRecordRate), none, "channels", 0.0, none);
}

int Audio_StartRecording(int device) {
    const int count = static_cast<int>(g_recordingDevices.size());
    if (device < 0 || device > count) {
        dbg_csol->Output("audio_start_recording: device %d out of range\n", device);
        return -1;
    }
    const char* name = Device(device);
    if (name == nullptr) {
        dbg_csol->Output("audio_start_recording: device %d not available\n", device);
        return -1;
    }
    SRecordingInfo* recorder = GetRecorderFromDevice(device);
    if (recorder != nullptr && recorder->recording) {
        dbg_csol->Output("audio_start_recording: device %d already recording\n", device);
        return -1;
    }
    if (recorder == nullptr) {
        ALCdevice_struct* capture = alcCaptureOpenDevice(name, kRecordRate, AL_FORMAT_MONO16, kCaptureFrames);
        checkAL("alcCaptureOpenDevice");
        if (capture == nullptr) {
            dbg_csol->Output("audio_start_recording : Unable to open recording device '%s'\n", name);
            return -1;
        }
        auto made = std::make_unique<SRecordingInfo>();
        made->sampleRate = kRecordRate;
        made->format = AL_FORMAT_MONO16;
        made->deviceName = name;
        made->device = capture;
        recorder = made.get();
        auto free = std::find(g_recorders.begin(), g_recorders.end(), nullptr);
        if (free != g_recorders.end())
            *free = std::move(made);
        else
            g_recorders.push_back(std::move(made));
    }
    alcCaptureStart(recorder->device);
    checkAL("alcCaptureStart");
    recorder->recording = true;
    for (size_t i = 0; i < g_recorders.size(); ++i)
        if (g_recorders[i].get() == recorder) return static_cast<int>(i);
    dbg_csol->Output("audio_start_recording: error finding recording device\n");
    return -1;
}

int Audio_StopRecording(int recorder) {
    SRecordingInfo* r = GetRecorder(recorder);
    if (r == nullptr || !r->recording) {
        dbg_csol->Output("audio_stop_recording : recorder %d is not currently recording\n", recorder);
        return -1;
    }
    Close(*r);
    g_recorders[recorder].reset();
    return 0;
}

SRecordingInfo* GetRecorder(int recorder) {
    if (recorder < 0 || recorder >= static_cast<int>(g_recorders.size())) return nullptr;
    return g_recorders[recorder].get();
}

SRecordingInfo* GetRecorderFromDevice(int device) {
    const char* name = Device(device);
    if (name == nullptr) return nullptr;
    for (auto& r : g_recorders)
        if (r && r->deviceName == name) return r.get();
    return nullptr;
}

void Audio_UpdateRecorders() {
    for (size_t i = 0; i < g_recorders.size(); ++i) {
        SRecordingInfo* r = g_recorders[i].get();
        if (r != nullptr && r->recording && r->device != nullptr) Capture(static_cast<int>(i), *r);
    }
}

void Recording_Reset() {
    for (auto& r : g_recorders)
        if (r) Close(*r);
    g_recorders.clear();
    deviceListClear();
}
