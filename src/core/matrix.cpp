// The 4 × 4 matrix (see matrix.h).
#include "core/matrix.h"

#include <cmath>
#include <cstring>
#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace {

// 1/sqrt(d) as the processor estimates it, refined by one Newton step; the
// figures differ from the exact ones in the last bits, and between processors.
float ReciprocalSqrt(float d) {
#if defined(__SSE__)
    const float r = _mm_cvtss_f32(_mm_rsqrt_ss(_mm_set_ss(d)));
#else
    const float r = 1.0f / std::sqrt(d);
#endif
    return r * (3.0f - d * r * r) * 0.5f;
}

zqVector3 Normalise(zqVector3 v) {
    const float d = v.x * v.x + v.y * v.y + v.z * v.z;
    if (!(d > 0.0f)) return {0.0f, 0.0f, 0.0f};
    const float r = ReciprocalSqrt(d);
    return {v.x * r, v.y * r, v.z * r};
}

zqVector3 Cross(zqVector3 a, zqVector3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(zqVector3 a, zqVector3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Degrees to radians in single precision, as every angle of the runtime.
constexpr float kDegToRad = 0.017453292f;

} // namespace

zqMatrix zqMatrix::Identity() {
    zqMatrix out{};
    out.m[0] = out.m[5] = out.m[10] = out.m[15] = 1.0f;
    return out;
}

void zqMatrix::Multiply(zqMatrix* out, const zqMatrix* a, const zqMatrix* b) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a->m[4 * r + k] * b->m[4 * k + c];
            out->m[4 * r + c] = sum;
        }
}

void zqMatrix::LookAtLH(zqMatrix* out, const zqVector3* eye, const zqVector3* at, const zqVector3* up) {
    zqVector3 z = Normalise({at->x - eye->x, at->y - eye->y, at->z - eye->z});
    zqVector3 x = Normalise(Cross(Normalise(*up), z));
    zqVector3 y = Normalise(Cross(z, x));
    // clang-format off
    const float values[16] = {
        x.x,           y.x,           z.x,           0.0f,
        x.y,           y.y,           z.y,           0.0f,
        x.z,           y.z,           z.z,           0.0f,
        -Dot(x, *eye), -Dot(y, *eye), -Dot(z, *eye), 1.0f,
    };
    // clang-format on
    std::memcpy(out->m, values, sizeof values);
}

void zqMatrix::OrthoLH(zqMatrix* out, float w, float h, float zn, float zf) {
    *out = Identity();
    if (w == 0.0f || h == 0.0f || zn == zf) return;
    out->m[0] = 2.0f / w;
    out->m[5] = 2.0f / h;
    out->m[10] = 1.0f / (zf - zn);
    out->m[14] = zn / (zn - zf);
}

void zqMatrix::PerspectiveLH(zqMatrix* out, float w, float h, float zn, float zf) {
    *out = Identity();
    if (w == 0.0f || h == 0.0f || zn == zf) return;
    *out = zqMatrix{};
    out->m[0] = 2.0f * zn / w;
    out->m[5] = 2.0f * zn / h;
    out->m[10] = zf / (zf - zn);
    out->m[11] = 1.0f;
    out->m[14] = -zn * zf / (zf - zn);
}

void zqMatrix::PerspectiveFovLH(zqMatrix* out, float fovy, float aspect, float zn, float zf) {
    *out = Identity();
    if (fovy == 0.0f || aspect == 0.0f || zn == zf) return;
    const float ys = 1.0f / std::tan(fovy * 0.5f);
    const float depth = 1.0f / (zf - zn);
    *out = zqMatrix{};
    out->m[0] = ys / aspect;
    out->m[5] = ys;
    out->m[10] = zf * depth;
    out->m[11] = 1.0f;
    out->m[14] = -(zn * zf) * depth;
}

void zqMatrix::SetXRotation(zqMatrix* out, float degrees) {
    const float s = std::sin(degrees * kDegToRad), c = std::cos(degrees * kDegToRad);
    *out = Identity();
    out->m[5] = c;
    out->m[6] = -s;
    out->m[9] = s;
    out->m[10] = c;
}

void zqMatrix::SetYRotation(zqMatrix* out, float degrees) {
    const float s = std::sin(degrees * kDegToRad), c = std::cos(degrees * kDegToRad);
    *out = Identity();
    out->m[0] = c;
    out->m[2] = s;
    out->m[8] = -s;
    out->m[10] = c;
}

void zqMatrix::SetZRotation(zqMatrix* out, float degrees) {
    const float s = std::sin(degrees * kDegToRad), c = std::cos(degrees * kDegToRad);
    *out = Identity();
    out->m[0] = c;
    out->m[1] = -s;
    out->m[4] = s;
    out->m[5] = c;
}

void zqMatrix::CreateRotationAxis(zqMatrix* out, zqVector3* axis, float degrees) {
    *axis = Normalise(*axis);
    const float x = axis->x, y = axis->y, z = axis->z;
    const float s = std::sin(degrees * kDegToRad), c = std::cos(degrees * kDegToRad), t = 1.0f - c;
    *out = zqMatrix{};
    out->m[0] = c + t * x * x;
    out->m[1] = t * x * y + s * z;
    out->m[2] = t * x * z - s * y;
    out->m[4] = t * x * y - s * z;
    out->m[5] = c + t * y * y;
    out->m[6] = t * y * z + s * x;
    out->m[8] = t * x * z + s * y;
    out->m[9] = t * y * z - s * x;
    out->m[10] = c + t * z * z;
    out->m[15] = 1.0f;
}

bool zqMatrix::Invert() {
    const float* a = m;
    float inv[16];
    inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] + a[9] * a[7] * a[14] +
             a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
    inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] - a[8] * a[7] * a[14] -
             a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
    inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] + a[8] * a[7] * a[13] +
             a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
    inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] - a[8] * a[6] * a[13] -
              a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
    inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] - a[9] * a[3] * a[14] -
             a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
    inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] + a[8] * a[3] * a[14] +
             a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
    inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] - a[8] * a[3] * a[13] -
             a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
    inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] + a[8] * a[2] * a[13] +
              a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
    inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] + a[5] * a[3] * a[14] +
             a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
    inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] - a[4] * a[3] * a[14] -
             a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
    inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] + a[4] * a[3] * a[13] +
              a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
    inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] - a[4] * a[2] * a[13] -
              a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
    inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] - a[5] * a[3] * a[10] -
             a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
    inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] + a[4] * a[3] * a[10] +
             a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
    inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] - a[4] * a[3] * a[9] -
              a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
    inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] + a[4] * a[2] * a[9] +
              a[8] * a[1] * a[6] - a[8] * a[2] * a[5];
    float det = a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
    if (det == 0.0f || std::isnan(det)) return false;
    float scale = 1.0f / det;
    for (int i = 0; i < 16; ++i) m[i] = inv[i] * scale;
    return true;
}
