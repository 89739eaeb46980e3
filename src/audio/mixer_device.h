// The mixer's device base class: format, rate, listener mask and the panning
// speakers, with virtual playback and recording operations that the platform's
// output and capture devices override. The base class itself is silent.
#pragma once

#include <cstdint>

#include "audio/mixer_api.h"

// Output channels: 0 front left, 1 front right, 2 front centre, 3 low
// frequency, 4 back left, 5 back right, 6 back centre, 7 side left, 8 side right.
inline constexpr int kMixerMaxChannels = 9;
inline constexpr int kMixerPanningRows = 512;

struct ALCdevice_struct {
    ALCdevice_struct() = default;
    virtual ~ALCdevice_struct() = default;
    ALCdevice_struct(const ALCdevice_struct&) = delete;
    ALCdevice_struct& operator=(const ALCdevice_struct&) = delete;

    virtual void openPlayback(char* /*name*/) {}
    virtual void closePlayback() {}
    virtual void resetPlayback() {}
    virtual void startPlayback() {}
    virtual void stopPlayback() {}
    virtual void openRecording(int /*rate*/, int /*frames*/) {}
    virtual void closeRecording() {}
    virtual void startRecording() {}
    virtual void stopRecording() {}
    virtual void getRecordingData(void* /*out*/, int /*count*/) {}
    virtual int getRecordingDataLen() { return 0; }

    // Builds the panning table for the two front speakers, front left at
    // -90 degrees and front right at +90 degrees.
    void initPanning();

    // Never changed: alcGetError always answers 0.
    int32_t lastError = 0;
    // The format of the samples handed to the platform (16-bit stereo until
    // an output device negotiates its own) and their rate.
    int32_t format = AL_FORMAT_STEREO16;
    int32_t frequency = 48000;
    // A source is mixed only when its mask shares a bit with this one.
    uint32_t listenerMask = 1;
    int32_t speakerCount = 0;
    int32_t speakerChannels[kMixerMaxChannels] = {};
    float panningTable[kMixerPanningRows][kMixerMaxChannels] = {};
};

// Makers of the concrete devices. The platform installs its own (an output
// device that drives the sound card, the one capture device); until then, and
// after a null is installed, the base class answers: a silent device that
// plays and records nothing, which is also what tests drive by hand.
using MixerDeviceFactory = ALCdevice_struct* (*)();
void Mixer_SetOutputDeviceFactory(MixerDeviceFactory factory);
void Mixer_SetCaptureDeviceFactory(MixerDeviceFactory factory);
// The capture device when alcCaptureOpenDevice has made it, else null.
ALCdevice_struct* Mixer_CaptureDevice();
// Forgets the capture device (destroying it), so the next
// alcCaptureOpenDevice makes a fresh one with the current factory.
void Mixer_ResetCaptureDevice();
