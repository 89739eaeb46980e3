// Capture through the ring: available samples at the requested rate, the
// running-average resampler, requests larger than the scratch, and silence
// (not stale samples) for what the ring did not hold.
#include <gtest/gtest.h>

#include <vector>

#include "audio/mixer_capture.h"

namespace {

// Input stored by hand as the platform's input thread would.
class HandCapture : public MixerCaptureDevice {
public:
    void Open(int requestedRate, int hardwareRate) {
        OpenRing(requestedRate, 32000, hardwareRate);
        SetRecording(true);
    }
    void Feed(const std::vector<int16_t>& samples) {
        StoreInput(samples.data(), static_cast<int>(samples.size() * 2));
    }
};

std::vector<int16_t> Ramp(int n, int scale) {
    std::vector<int16_t> v(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) v[static_cast<size_t>(i)] = static_cast<int16_t>(scale * i);
    return v;
}

} // namespace

TEST(MixerCapture, ResamplingByThreeAveragesEachSpanOfThreeInputs) {
    HandCapture capture;
    EXPECT_EQ(capture.getRecordingDataLen(), 0) << "closed: nothing";
    capture.Open(16000, 48000);
    EXPECT_EQ(capture.Ratio(), 3.0f);
    EXPECT_EQ(capture.frequency, 16000);
    capture.Feed(std::vector<int16_t>(48000, 0));
    EXPECT_EQ(capture.getRecordingDataLen(), 16000) << "96000 bytes at r = 3";
    std::vector<int16_t> drain(16000);
    capture.getRecordingData(drain.data(), 16000);
    EXPECT_EQ(capture.getRecordingDataLen(), 0);

    // in[k] = 6k: output 0 is in[0]; output i folds in[3i-3], in[3i-2],
    // in[3i-1], each new one weighing half: floor((floor((a+b)/2)+c)/2).
    capture.Feed(Ramp(3000, 6));
    std::vector<int16_t> out(1000);
    capture.getRecordingData(out.data(), 1000);
    EXPECT_EQ(out[0], 0);
    for (int i = 1; i < 1000; ++i) ASSERT_EQ(out[i], 18 * i - 11) << i;

    // Negative samples floor too, without 16-bit overflow on the sums.
    capture.Feed({-32768, -32768, -32767, -32768, -1, -2, 32767, 32767, 32767});
    capture.getRecordingData(out.data(), 3);
    EXPECT_EQ(out[0], -32768);
    EXPECT_EQ(out[1], -32768); // floor((-32768 + -32767) / 2)
    EXPECT_EQ(out[2], -8194);  // floor((-32768 + -1) / 2) = -16385, then floor((-16385 + -2) / 2)
}

TEST(MixerCapture, LargeRequestsAreServedInPartsAndMissingInputIsSilence) {
    HandCapture capture;
    capture.Open(16000, 48000);
    // 20000 outputs need 60000 inputs, more than the one second of scratch.
    std::vector<int16_t> input(60000, 300);
    capture.Feed(input);
    std::vector<int16_t> out(20000, -1);
    capture.getRecordingData(out.data(), 20000);
    for (int i = 0; i < 20000; ++i) ASSERT_EQ(out[i], 300) << i;

    // Only 30 inputs wait: outputs 0 to 10 come from them, then silence, not
    // what an earlier call left in the scratch.
    capture.Feed(std::vector<int16_t>(30, 900));
    std::vector<int16_t> short_read(40, -1);
    capture.getRecordingData(short_read.data(), 40);
    for (int i = 0; i <= 10; ++i) EXPECT_EQ(short_read[i], 900) << i;
    for (int i = 11; i < 40; ++i) EXPECT_EQ(short_read[i], 0) << i;
}
