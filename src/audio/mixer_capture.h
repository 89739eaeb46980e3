// Ring-buffered capture: the platform's input thread stores 16-bit mono
// samples at the hardware's rate in a ring of 32 seconds; callers read them
// resampled to the rate they asked for. The platform's capture device derives
// from this and only opens, starts and stops its input.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/mixer_device.h"
#include "core/ring_buffer.h"

// Resamples `count` outputs from `in` with r = hardware rate / requested
// rate: output 0 is in[0], each later output a running average (each further
// sample weighing half) over the inputs from where the previous output's span
// ended up to its own span's end. Reads in[0 .. CaptureInputNeeded - 1].
void Mixer_ResampleCapture(const int16_t* in, int16_t* out, int count, float ratio);
// Input samples the resampler reads for `count` outputs.
int Mixer_CaptureInputNeeded(int count, float ratio);

class MixerCaptureDevice : public ALCdevice_struct {
public:
    // Samples available at the requested rate: the ring's bytes / (2 x ratio).
    int getRecordingDataLen() override;
    // `count` samples at the requested rate. A request for more than the one
    // second of scratch holds is served in parts; samples the ring did not
    // have are silence, never samples of an earlier call.
    void getRecordingData(void* out, int count) override;

    bool Recording() const { return m_recording.load(); }
    float Ratio() const { return m_ratio; }
    int HardwareRate() const { return m_hardwareRate; }
    int RequestedFrames() const { return m_requestedFrames; }

protected:
    // Makes the ring (32 seconds) and the scratch (one second) for input at
    // `hardwareRate` delivered at `requestedRate`; `frequency` becomes the
    // requested rate.
    void OpenRing(int requestedRate, int frames, int hardwareRate);
    void CloseRing();
    // From the input thread: keeps what fits while recording, drops the rest.
    void StoreInput(const void* data, int bytes);
    void SetRecording(bool on) { m_recording.store(on); }

private:
    std::atomic<bool> m_recording{false};
    std::unique_ptr<ZQRingBuffer> m_ring;
    std::vector<int16_t> m_scratch;
    float m_ratio = 1.0f;
    int m_requestedFrames = 0;
    int m_hardwareRate = 0;
};
