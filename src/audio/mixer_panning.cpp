// The panning table: for each of 512 directions, the gain of every output
// channel, interpolated between the two speakers either side of it with a
// constant-power (cos/sin) law.
#include "audio/mixer_panning.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "audio/mixer_device.h"
#include "core/real_to_int.h"

int Mixer_DirectionRow(float x, float z) {
    const float s = std::fabs(x) + std::fabs(z);
    int h = 0;
    // Components too large to add (or not numbers at all) give no number
    // here; the row is then straight ahead or behind.
    if (s > 0.0f) h = std::clamp(RealToInt32(static_cast<double>(128.0f * std::fabs(x) / s) + 0.5), 0, 128);
    if (z > 0.0f) h = 256 - h;
    if (x < 0.0f) h = 512 - h;
    return h & (kMixerPanningRows - 1);
}

double Mixer_RowAngle(int p) {
    constexpr double pi = std::numbers::pi;
    if (p <= 127) return std::atan(p / (128.0 - p));
    if (p <= 255) return pi / 2 + std::atan((p - 128) / (256.0 - p));
    if (p <= 383) return -pi + std::atan((p - 256) / (384.0 - p));
    return -pi / 2 + std::atan((p - 384) / (512.0 - p));
}

void ALCdevice_struct::initPanning() {
    constexpr double pi = std::numbers::pi;
    const double angles[] = {-pi / 2, pi / 2};
    speakerCount = 2;
    speakerChannels[0] = 0;
    speakerChannels[1] = 1;
    const int n = speakerCount;
    const int* c = speakerChannels;
    for (int p = 0; p < kMixerPanningRows; ++p) {
        float* row = panningTable[p];
        for (int k = 0; k < kMixerMaxChannels; ++k) row[k] = 0.0f;
        if (n == 1) {
            row[c[0]] = 1.0f;
            continue;
        }
        double theta = Mixer_RowAngle(p);
        int s = 0;
        while (s < n - 1 && !(angles[s] <= theta && theta < angles[s + 1])) ++s;
        if (s < n - 1) {
            const double alpha = (pi / 2) * (theta - angles[s]) / (angles[s + 1] - angles[s]);
            row[c[s]] = static_cast<float>(std::cos(alpha));
            row[c[s + 1]] = static_cast<float>(std::sin(alpha));
        } else {
            // Between the last speaker and the first, across +-180 degrees.
            if (theta < angles[0]) theta += 2 * pi;
            const double alpha = (pi / 2) * (theta - angles[n - 1]) / (2 * pi + angles[0] - angles[n - 1]);
            row[c[n - 1]] = static_cast<float>(std::cos(alpha));
            row[c[0]] = static_cast<float>(std::sin(alpha));
        }
    }
}
