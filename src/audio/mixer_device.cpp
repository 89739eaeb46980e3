// Device entry points of the mixer: opening and closing the output device,
// the one capture device, and the device queries.
#include "audio/mixer_device.h"

#include <memory>

#include "core/console.h"

namespace {

ALCdevice_struct* MakeBaseDevice() {
    return new ALCdevice_struct();
}

MixerDeviceFactory s_outputFactory = MakeBaseDevice;
MixerDeviceFactory s_captureFactory = MakeBaseDevice;

// Made on first use and kept until the process ends (or a test resets it):
// recorders of the sound system hold it between captures.
std::unique_ptr<ALCdevice_struct> s_captureDevice;

const char kUnsupportedParameter[] = "ZQOpenAl alcGetIntegerv currently does not support parameter %d\n";

} // namespace

void Mixer_SetOutputDeviceFactory(MixerDeviceFactory factory) {
    s_outputFactory = factory != nullptr ? factory : MakeBaseDevice;
}

void Mixer_SetCaptureDeviceFactory(MixerDeviceFactory factory) {
    s_captureFactory = factory != nullptr ? factory : MakeBaseDevice;
}

ALCdevice_struct* Mixer_CaptureDevice() {
    return s_captureDevice.get();
}

void Mixer_ResetCaptureDevice() {
    s_captureDevice.reset();
}

// The panning table is built while the device still has its construction
// format, before the platform negotiates its own, and never rebuilt: every
// device pans over the same two front speakers. Failures of the platform
// steps are only logged by the device; the device is always returned.
extern "C" ALCdevice_struct* alcOpenDevice(const char* /*name*/) {
    ALCdevice_struct* device = s_outputFactory();
    char null_name[] = "null";
    device->openPlayback(null_name);
    device->initPanning();
    device->resetPlayback();
    device->startPlayback();
    return device;
}

extern "C" char alcCloseDevice(ALCdevice_struct* device) {
    if (device == nullptr) return 0;
    device->stopPlayback();
    device->closePlayback();
    delete device;
    return 1;
}

extern "C" int alcGetError(ALCdevice_struct* device) {
    return device != nullptr ? device->lastError : ALC_NO_ERROR;
}

// The capture format is fixed by the device, so the arguments are not read.
extern "C" ALCdevice_struct* alcCaptureOpenDevice(const char* /*name*/, unsigned /*rate*/, int /*format*/,
                                                  int /*size*/) {
    if (!s_captureDevice) s_captureDevice.reset(s_captureFactory());
    return s_captureDevice.get();
}

// The capture device object stays: only its recording is closed.
extern "C" char alcCaptureCloseDevice(ALCdevice_struct* device) {
    if (device == nullptr) return 0;
    device->stopRecording();
    device->closeRecording();
    return 1;
}

extern "C" void alcCaptureStart(ALCdevice_struct* device) {
    if (device != nullptr) device->startRecording();
}

extern "C" void alcCaptureStop(ALCdevice_struct* device) {
    if (device != nullptr) device->stopRecording();
}

extern "C" void alcCaptureSamples(ALCdevice_struct* device, void* buffer, int samples) {
    if (device != nullptr && buffer != nullptr && samples > 0) device->getRecordingData(buffer, samples);
}

extern "C" void alcGetIntegerv(ALCdevice_struct* device, int param, int size, int* values) {
    if (param != ALC_CAPTURE_SAMPLES) {
        dbg_csol->Output(kUnsupportedParameter, param);
        return;
    }
    if (device != nullptr && size > 0 && values != nullptr) values[0] = device->getRecordingDataLen();
}

extern "C" const char* alcGetString(ALCdevice_struct* device, int param) {
    switch (param) {
        case ALC_DEVICE_SPECIFIER: return device != nullptr ? "ZQOpenAL Device" : nullptr;
        case ALC_CAPTURE_DEVICE_SPECIFIER:
            // A list: names each ended by a zero byte, then an empty name.
            if (device == nullptr) return "default\0";
            dbg_csol->Output(
                "ZQOpenAl alcGetString currently does not support getting the name of a device\n");
            return nullptr;
        default: dbg_csol->Output(kUnsupportedParameter, param); return nullptr;
    }
}
