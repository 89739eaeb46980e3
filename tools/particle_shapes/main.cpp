// Draws the runtime's fourteen 64 × 64 particle shapes procedurally (white,
// with the shape's coverage in alpha) and writes them as PNG files into a
// C++ source file. The output is committed; run the tool again only to change
// the shapes:
//   corvane-particle-shapes src/sprites/particle_shapes_data.cpp
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

#include "core/memory_manager.h"
#include "render/image_decode.h"

namespace {

constexpr int kSize = 64;
constexpr double kPi = 3.14159265358979323846;

// Coverage 0..1 at the centre of pixel (x, y), with (0, 0) the image centre
// and distances in pixels.
using Shape = std::function<double(double x, double y)>;

double Clamp01(double v) {
    return v < 0 ? 0 : v > 1 ? 1 : v;
}

// 1 inside, 0 outside, a one-pixel soft edge at distance `edge`.
double Edge(double d, double edge) {
    return Clamp01(edge - d + 0.5);
}

// Smooth value noise from a fixed hash, so every run draws the same pixels.
double Hash(int x, int y, int seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 static_cast<uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / static_cast<double>(0xFFFFFF);
}

double Noise(double x, double y, int seed) {
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    const double fx = x - ix, fy = y - iy;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double a = Hash(ix, iy, seed), b = Hash(ix + 1, iy, seed);
    const double c = Hash(ix, iy + 1, seed), d = Hash(ix + 1, iy + 1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

// Four octaves of noise, 0..1.
double Fractal(double x, double y, int seed) {
    double sum = 0, amp = 0.5, freq = 1.0 / 16;
    for (int o = 0; o < 4; ++o, amp *= 0.5, freq *= 2) sum += amp * Noise(x * freq, y * freq, seed + o);
    return sum / 0.9375;
}

// A soft blob broken up by noise: the explosion, cloud and smoke shapes.
double Blob(double x, double y, double radius, double softness, int seed, double grain) {
    const double r = std::hypot(x, y) / radius;
    const double body = Clamp01((1 - r) / softness);
    const double n = Fractal(x + 32, y + 32, seed);
    return Clamp01(body * (1 - grain + grain * 2 * n) * body);
}

// Distance from (x, y) to the segment (ax, ay)-(bx, by).
double Segment(double x, double y, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(x - (ax + t * dx), y - (ay + t * dy));
}

double Star(double x, double y) {
    // A five-pointed star: inside when the polar radius is within the star's
    // outline at that angle (outer radius 31, inner 12).
    const double r = std::hypot(x, y);
    double a = std::atan2(x, -y); // 0 points up (image rows grow downwards)
    const double sector = 2 * kPi / 5;
    a = std::fmod(a + 2 * kPi + sector / 2, sector) - sector / 2;
    const double outer = 31, inner = 12.5;
    // The edge between the tip (angle 0, outer) and the valley (±sector/2,
    // inner), as a line in the sector's frame.
    const double tx = 0, ty = outer;
    const double vx = std::sin(sector / 2) * inner, vy = std::cos(sector / 2) * inner;
    const double px = std::fabs(std::sin(a) * r), py = std::cos(a) * r;
    const double nx = ty - vy, ny = vx - tx; // normal pointing outwards
    const double len = std::hypot(nx, ny);
    const double d = ((px - tx) * nx + (py - ty) * ny) / len;
    return Edge(d, 0);
}

double Snowflake(double x, double y) {
    double d = 1e9;
    for (int arm = 0; arm < 6; ++arm) {
        const double a = arm * kPi / 3, c = std::cos(a), s = std::sin(a);
        d = std::min(d, Segment(x, y, 0, 0, 29 * c, 29 * s));
        for (double at : {12.0, 20.0}) {
            const double bx = at * c, by = at * s, len = at == 12.0 ? 8.0 : 6.0;
            for (double side : {-1.0, 1.0}) {
                const double b = a + side * kPi / 4;
                d = std::min(d, Segment(x, y, bx, by, bx + len * std::cos(b), by + len * std::sin(b)));
            }
        }
    }
    return Clamp01(1.6 - d);
}

std::vector<Shape> Shapes() {
    return {
        // pixel: a small dot
        [](double x, double y) { return Edge(std::max(std::fabs(x), std::fabs(y)), 1.0); },
        // disk
        [](double x, double y) { return Edge(std::hypot(x, y), 30.5); },
        // square
        [](double x, double y) { return Edge(std::max(std::fabs(x), std::fabs(y)), 30.5); },
        // line: a thin horizontal bar across the image
        [](double x, double y) { return Edge(std::fabs(y), 2.0) * Clamp01((31.5 - std::fabs(x)) / 6); },
        // star
        Star,
        // circle: an outline
        [](double x, double y) { return Edge(std::fabs(std::hypot(x, y) - 28.5), 1.5); },
        // ring: a soft band
        [](double x, double y) {
            const double d = (std::hypot(x, y) - 24) / 5;
            return Clamp01(std::exp(-d * d)) * Edge(std::hypot(x, y), 31);
        },
        // sphere: bright centre fading to the rim
        [](double x, double y) {
            const double r = std::hypot(x, y) / 31;
            return Clamp01(1 - r * r) * Edge(std::hypot(x, y), 31);
        },
        // flare: a hot core with a wide glow
        [](double x, double y) {
            const double r = std::hypot(x, y);
            return Clamp01(std::exp(-r / 5) + 0.35 * std::exp(-r / 14)) * Clamp01((31.5 - r) / 4);
        },
        // spark: a four-pointed glint
        [](double x, double y) {
            const double ax = std::fabs(x), ay = std::fabs(y), r = std::hypot(x, y);
            const double rays =
                std::exp(-ay / 1.5) * Clamp01(1 - ax / 31) + std::exp(-ax / 1.5) * Clamp01(1 - ay / 31);
            return Clamp01(rays + std::exp(-r / 4)) * Clamp01((31.5 - r) / 2);
        },
        // explosion
        [](double x, double y) { return Blob(x, y, 31, 0.45, 11, 0.55); },
        // cloud
        [](double x, double y) { return Blob(x, y, 31, 0.8, 23, 0.45) * 0.9; },
        // smoke
        [](double x, double y) { return Blob(x, y, 30, 1.0, 37, 0.7) * 0.8; },
        // snow
        Snowflake,
    };
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.cpp\n", argv[0]);
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out, "// Generated by tools/particle_shapes; do not edit.\n// clang-format off\n");
    std::fprintf(out, "#include \"sprites/particle_shapes_data.h\"\n\nnamespace {\n\n");
    std::vector<size_t> lengths;
    const std::vector<Shape> shapes = Shapes();
    for (size_t i = 0; i < shapes.size(); ++i) {
        std::vector<uint8_t> rgba(kSize * kSize * 4);
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                // Four samples a pixel smooth the edges.
                double cover = 0;
                for (double oy : {0.25, 0.75})
                    for (double ox : {0.25, 0.75}) cover += shapes[i](x + ox - 32, y + oy - 32);
                uint8_t* p = &rgba[static_cast<size_t>(y * kSize + x) * 4];
                p[0] = p[1] = p[2] = 255;
                p[3] = static_cast<uint8_t>(std::lround(Clamp01(cover / 4) * 255));
            }
        uint8_t* png = nullptr;
        size_t length = 0;
        if (!PNG_EncodeRGBA(rgba.data(), kSize, kSize, &png, &length)) {
            std::fprintf(stderr, "shape %zu: PNG encoding failed\n", i);
            return 1;
        }
        std::fprintf(out, "const uint8_t kShape%zu[%zu] = {", i, length);
        for (size_t b = 0; b < length; ++b) std::fprintf(out, "%s%u,", b % 20 == 0 ? "\n    " : " ", png[b]);
        std::fprintf(out, "\n};\n\n");
        lengths.push_back(length);
        MemoryManager::Free(png);
    }
    std::fprintf(out, "} // namespace\n\nconst uint8_t* const kParticleShapePNG[14] = {\n   ");
    for (size_t i = 0; i < shapes.size(); ++i) std::fprintf(out, " kShape%zu,", i);
    std::fprintf(out, "\n};\n\nconst uint32_t kParticleShapePNGLength[14] = {\n   ");
    for (size_t length : lengths) std::fprintf(out, " %zu,", length);
    std::fprintf(out, "\n};\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
