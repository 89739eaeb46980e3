// Precise sprite-against-sprite tests of two 32 × 32 sprites, unrotated and
// rotated: the worst case, a dot inside a ring (every pixel of the 32 × 32
// overlap is visited and none is shared), and a hit between two touching
// disks (the walk stops at the first shared pixel). Time per test; the
// "pixels" counter is the overlap the worst case walks.
#include <benchmark/benchmark.h>

#include <cmath>

#include "world/instances/sprite_services.h"

namespace {

constexpr int kSide = 32;

// A 32 × 32 sprite, origin at its centre, solid where inner <= r < outer.
void Disk(CSprite& sprite, float inner, float outer) {
    sprite.m_width = sprite.m_height = kSide;
    sprite.m_xorigin = sprite.m_yorigin = kSide / 2;
    sprite.m_numb = 1;
    sprite.m_bbox = {0, 0, kSide - 1, kSide - 1};
    CMask mask;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const float r = std::hypot(x + 0.5f - kSide / 2, y + 0.5f - kSide / 2);
            mask.bits.push_back(r >= inner && r < outer);
        }
    sprite.m_masks = {mask};
    sprite.m_maskCreated = true;
}

struct Sprites {
    Sprites() {
        Disk(ring, 10.0f, 16.0f);
        Disk(dot, 0.0f, 6.0f);
        Disk(disk, 0.0f, 16.0f);
    }
    CSprite ring, dot, disk;
};

const Sprites& Shared() {
    static const Sprites sprites;
    return sprites;
}

// The instance box of a sprite at (x, y) turned by `angle`: the frame's
// rotated corners, rounded out.
SBoundingBox Box(int x, int y, float angle) {
    const float a = angle * 0.017453292f;
    const float half = kSide / 2 * (std::fabs(std::cos(a)) + std::fabs(std::sin(a)));
    const int h = static_cast<int>(std::ceil(half));
    return {x - h, y - h, x + h - 1, y + h - 1};
}

void BM_DotInsideRing(benchmark::State& state) {
    const float angle = static_cast<float>(state.range(0));
    const Sprites& s = Shared();
    const SBoundingBox a = Box(100, 100, angle), b = Box(100, 100, angle);
    bool hit = false;
    for (auto _ : state) {
        hit = s.ring.PreciseCollision(0, a, 100, 100, 1.0f, 1.0f, angle, &s.dot, 0, b, 100, 100, 1.0f, 1.0f,
                                      -angle);
        benchmark::DoNotOptimize(hit);
    }
    if (hit) state.SkipWithError("the dot inside the ring must not touch it");
    state.counters["pixels"] = static_cast<double>(a.right - a.left + 1) * (a.bottom - a.top + 1);
}
BENCHMARK(BM_DotInsideRing)->Arg(0)->Arg(30)->ArgName("angle");

void BM_DotInsideRingScaled(benchmark::State& state) {
    const Sprites& s = Shared();
    const SBoundingBox a = Box(100, 100, 0), b = Box(100, 100, 0);
    bool hit = false;
    for (auto _ : state) {
        hit = s.ring.PreciseCollision(0, a, 100, 100, 1.0f, 1.0f, 0.0f, &s.dot, 0, b, 100, 100, 1.25f, 1.25f,
                                      0.0f);
        benchmark::DoNotOptimize(hit);
    }
    if (hit) state.SkipWithError("the dot inside the ring must not touch it");
}
BENCHMARK(BM_DotInsideRingScaled);

void BM_TouchingDisks(benchmark::State& state) {
    const float angle = static_cast<float>(state.range(0));
    const Sprites& s = Shared();
    const SBoundingBox a = Box(100, 100, angle), b = Box(128, 110, angle);
    bool hit = false;
    for (auto _ : state) {
        hit = s.disk.PreciseCollision(0, a, 100, 100, 1.0f, 1.0f, angle, &s.disk, 0, b, 128, 110, 1.0f, 1.0f,
                                      angle);
        benchmark::DoNotOptimize(hit);
    }
    if (!hit) state.SkipWithError("the disks must touch");
}
BENCHMARK(BM_TouchingDisks)->Arg(0)->Arg(30)->ArgName("angle");

} // namespace
