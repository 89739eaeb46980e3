// Recording from the machine's capture devices: the device list, recorders
// by index, and the tick's capture pass that hands captured samples to
// scripts as asynchronous events of subtype 73 carrying a script buffer of
// 16-bit signed mono samples at 16000 Hz.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct ALCdevice_struct;

struct SRecordingInfo {
    int32_t sampleRate = 16000;
    int32_t format = 0;
    std::string deviceName;
    bool recording = false;
    ALCdevice_struct* device = nullptr;
};

// Capture devices by device index (empty entries allowed).
extern std::vector<std::optional<std::string>> g_recordingDevices;
// Open recorders by recorder index; a stopped recorder's slot is reused.
extern std::vector<std::unique_ptr<SRecordingInfo>> g_recorders;

// Fills the device list from the mixer; how many devices.
int Audio_GetRecorderCount();
void enumerateCaptureDevices();
void deviceListClear();
// A map {name, index, data_format, sample_rate, channels}, or -1.
int Audio_GetRecorderInfo(int device);
// The recorder index, or -1 with a message.
int Audio_StartRecording(int device);
// 0, or -1 with a message when the recorder is not recording.
int Audio_StopRecording(int recorder);
SRecordingInfo* GetRecorder(int recorder);
SRecordingInfo* GetRecorderFromDevice(int device);

// The tick's capture pass.
void Audio_UpdateRecorders();
// Recorders stopped and forgotten, the device list emptied (tests, a fresh load).
void Recording_Reset();
