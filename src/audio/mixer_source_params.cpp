// A source's gains and effective pitch for one block: listener space,
// distance attenuation by the context's model, the direction cone, the
// doppler shift and panning through the device's table. Runs on the render
// thread under the context lock, once per playing source and block.
#include <algorithm>
#include <cmath>

#include "audio/mixer_context.h"
#include "audio/mixer_panning.h"
#include "audio/mixer_source.h"

namespace {

struct Vec3 {
    float x, y, z;
};

Vec3 Load(const float* v) {
    return {v[0], v[1], v[2]};
}
float Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Length(Vec3 v) {
    return std::sqrt(Dot(v, v));
}
// A zero vector stays zero.
Vec3 Normalised(Vec3 v) {
    const float len = Length(v);
    return len > 0.0f ? Vec3{v.x / len, v.y / len, v.z / len} : v;
}

// Attenuation by distance d under `model`, with r the reference distance, m
// the max distance and k the rolloff factor. The linear models are not
// clamped at 0.
float Attenuation(int model, float d, float r, float m, float k) {
    const auto clamped = [&] { return std::min(std::max(d, r), m); };
    const auto inverse = [&](float e) {
        const float q = r + k * (e - r);
        return q > 0.0f ? r / q : 1.0f;
    };
    const auto linear = [&](float e) {
        if (m == r) return 1.0f;
        return 1.0f + k * (r - std::min(e, m)) / (m - r);
    };
    const auto exponent = [&](float e) {
        if (!(r > 0.0f && e > 0.0f)) return 1.0f;
        return static_cast<float>(std::pow(static_cast<double>(e) / r, -static_cast<double>(k)));
    };
    switch (model) {
        case AL_INVERSE_DISTANCE: return r > 0.0f ? inverse(d) : 1.0f;
        case AL_INVERSE_DISTANCE_CLAMPED: return r > 0.0f && m >= r ? inverse(clamped()) : 1.0f;
        case AL_LINEAR_DISTANCE: return linear(d);
        case AL_LINEAR_DISTANCE_CLAMPED: return m >= r ? linear(clamped()) : 1.0f;
        case AL_EXPONENT_DISTANCE: return exponent(d);
        case AL_EXPONENT_DISTANCE_CLAMPED: return m >= r ? exponent(clamped()) : 1.0f;
        default: return 1.0f;
    }
}

// Cone gain at angle beta (degrees) between the source's direction and the
// way to the listener. Equal inner and outer angles leave no interpolation
// range: the source is then at full gain up to that angle.
float ConeGain(float beta, float inner, float outer, float outerGain) {
    if (inner <= beta && beta <= outer) {
        if (outer <= inner) return 1.0f;
        return 1.0f + (outerGain - 1.0f) * (beta - inner) / (outer - inner);
    }
    return beta <= outer ? 1.0f : outerGain;
}

// Gain limits, then the listener's gain.
float LimitedGain(float gain, const ALsource& s, const ALCcontext_struct& context) {
    return std::max(std::min(gain, s.maxGain), s.minGain) * context.listenerGain;
}

// Pans `mix` to the speakers for the listener-space direction (x, z), whose
// horizontal length `dir` (at most 1) weighs the directional part against the
// part spread evenly over all speakers.
// A position or gain that is not a finite number (a caller's fault) is heard
// from straight ahead, or not at all, instead of filling the output with NaN.
void Pan(ALsource& s, const ALCdevice_struct& device, float x, float z, float mix) {
    for (float& g : s.channelGains) g = 0.0f;
    if (!std::isfinite(x) || !std::isfinite(z)) x = z = 0.0f;
    if (!std::isfinite(mix)) return;
    const int n = device.speakerCount;
    if (n <= 0) return;
    const float* row = device.panningTable[Mixer_DirectionRow(x, z)];
    const float dir = std::sqrt(x * x + z * z);
    const float ambient = (1.0f - dir) / std::sqrt(static_cast<float>(n));
    for (int k = 0; k < n && k < kMixerMaxChannels; ++k)
        s.channelGains[k] = (row[device.speakerChannels[k]] * dir + ambient) * mix;
}

} // namespace

void ALsource::calcSourceParams(const ALCcontext_struct& context, const ALCdevice_struct& device) {
    const float f = dopplerFactor * context.dopplerFactor;
    const float c = context.speedOfSound * context.dopplerVelocity;

    // Listener space: x right, y up, z back.
    Vec3 p = Load(location), v = Load(velocity), dir = Load(direction), lv{0, 0, 0};
    if (!relative) {
        const Vec3 at = Normalised(Load(context.listenerAt));
        const Vec3 up = Normalised(Load(context.listenerUp));
        const Vec3 right = Normalised(Cross(at, up));
        const Vec3 back{-at.x, -at.y, -at.z};
        const auto turn = [&](Vec3 u) { return Vec3{Dot(right, u), Dot(up, u), Dot(back, u)}; };
        const Vec3 listener = Load(context.listenerPosition);
        p = turn(Vec3{p.x - listener.x, p.y - listener.y, p.z - listener.z});
        v = turn(v);
        lv = turn(Load(context.listenerVelocity));
        dir = turn(dir);
    }
    const float d = Length(p);
    const Vec3 toListener = d > 0.0f ? Vec3{-p.x / d, -p.y / d, -p.z / d} : Vec3{-p.x, -p.y, -p.z};
    dir = Normalised(dir);

    const float a = Attenuation(context.distanceModel, d, referenceDistance, maxDistance, rolloffFactor);
    const float cosine = std::clamp(Dot(dir, toListener), -1.0f, 1.0f);
    const float cone =
        ConeGain(std::acos(cosine) * 57.295776f, coneInnerAngle, coneOuterAngle, coneOuterGain);

    effectivePitch = pitch;
    if (f != 0.0f) {
        const float most = c / f;
        const auto limit = [most](float speed) {
            if (speed >= most) return most - 1.0f;
            if (speed <= -most) return 1.0f - most;
            return speed;
        };
        const float vs = limit(Dot(toListener, v));
        const float vl = limit(Dot(toListener, lv));
        effectivePitch = pitch * (c - f * vl) / (c - f * vs);
    }

    const float q = std::max(d, referenceDistance);
    const float x = q > 0.0f ? p.x / q : p.x;
    const float z = q > 0.0f ? p.z / q : p.z;
    Pan(*this, device, x, z, LimitedGain(a * gain * cone, *this, context));
}

// The stored position is used as it stands, whatever the relative flag.
void ALsource::calcNonAttnSourceParams(const ALCcontext_struct& context, const ALCdevice_struct& device) {
    effectivePitch = pitch;
    const Vec3 p = Normalised(Load(location));
    Pan(*this, device, p.x, p.z, LimitedGain(gain, *this, context));
}
