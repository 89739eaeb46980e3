// Capture through a ring: storing on the input thread, resampling on the
// caller's. The ring has its own lock; the recording flag is atomic.
#include "audio/mixer_capture.h"

#include <algorithm>
#include <cstring>

#include "core/real_to_int.h"

int Mixer_CaptureInputNeeded(int count, float ratio) {
    if (count <= 0) return 0;
    const int step = RealToInt32(static_cast<double>(ratio) * 16384.0f);
    const int64_t last = (static_cast<int64_t>(count - 1) * std::max(step, 0)) >> 14;
    return static_cast<int>(last) + 1;
}

void Mixer_ResampleCapture(const int16_t* in, int16_t* out, int count, float ratio) {
    const int64_t step = std::max(RealToInt32(static_cast<double>(ratio) * 16384.0f), 0);
    int64_t acc = 0;
    int64_t p = 0;
    for (int i = 0; i < count; ++i, acc += step) {
        const int64_t e = acc >> 14;
        int v = in[p];
        if (p != e) {
            for (int64_t q = p + 1; q < e; ++q) v = (v + in[q]) >> 1; // floor of the mean
            p = e;
        }
        out[i] = static_cast<int16_t>(v);
    }
}

void MixerCaptureDevice::OpenRing(int requestedRate, int frames, int hardwareRate) {
    m_hardwareRate = std::max(hardwareRate, 1);
    frequency = std::max(requestedRate, 1);
    m_ratio = static_cast<float>(m_hardwareRate) / static_cast<float>(frequency);
    m_requestedFrames = frames;
    m_scratch.assign(static_cast<size_t>(m_hardwareRate), 0);
    m_ring = std::make_unique<ZQRingBuffer>(2 * m_hardwareRate * 32);
}

void MixerCaptureDevice::CloseRing() {
    SetRecording(false);
    m_ring.reset();
    m_scratch.clear();
    m_scratch.shrink_to_fit();
}

void MixerCaptureDevice::StoreInput(const void* data, int bytes) {
    if (m_recording.load() && m_ring && data != nullptr && bytes > 0) m_ring->Write(data, bytes);
}

int MixerCaptureDevice::getRecordingDataLen() {
    if (!m_ring) return 0;
    return RealToInt32(static_cast<float>(m_ring->LengthUsed()) / (2.0f * m_ratio));
}

void MixerCaptureDevice::getRecordingData(void* out, int count) {
    if (out == nullptr || count <= 0) return;
    auto* samples = static_cast<int16_t*>(out);
    if (!m_ring || m_scratch.empty()) {
        std::fill_n(samples, count, int16_t{0});
        return;
    }
    // The largest part whose input fits the scratch samples.
    const int scratch = static_cast<int>(m_scratch.size());
    int part = std::max(1, static_cast<int>(static_cast<float>(scratch - 1) / std::max(m_ratio, 1e-6f)));
    while (part > 1 && Mixer_CaptureInputNeeded(part, m_ratio) > scratch) --part;
    for (int done = 0; done < count; done += part) {
        const int n = std::min(part, count - done);
        const int wanted =
            std::min(static_cast<int>(2.0f * (static_cast<float>(n) * m_ratio)) & ~1, 2 * scratch);
        const int read = m_ring->Read(m_scratch.data(), wanted);
        std::memset(reinterpret_cast<char*>(m_scratch.data()) + read, 0,
                    static_cast<size_t>(2 * scratch - read));
        Mixer_ResampleCapture(m_scratch.data(), samples + done, n, m_ratio);
    }
}
