// Paths: building an n-point path point by point (one polyline rebuild for
// the whole build, so time per point stays flat as n grows), and positions
// on a long smooth path, as an instance following it asks each step.
#include <benchmark/benchmark.h>

#include "world/motion/path.h"

namespace {

void AddPoints(CPath& path, int n) {
    for (int i = 0; i < n; ++i)
        path.AddPoint(static_cast<float>(i * 7 % 640), static_cast<float>(i * 13 % 360), 100.0f);
}

void BM_PathBuild(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        CPath path;
        path.SetKind(kPathKindSmooth);
        AddPoints(path, n);
        benchmark::DoNotOptimize(path.GetPathLength());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_PathBuild)->Arg(100)->Arg(1000)->Arg(10000);

void BM_PathPosition(benchmark::State& state) {
    CPath path;
    path.SetKind(kPathKindSmooth);
    path.SetPrecision(8);
    AddPoints(path, 1000);
    state.counters["computed points"] = path.GetComputedCount();
    float t = 0.0f;
    for (auto _ : state) {
        float x, y, speed;
        path.GetPosition(t, x, y, speed);
        benchmark::DoNotOptimize(x);
        t += 0.000123f;
        if (t > 1.0f) t = 0.0f;
    }
}
BENCHMARK(BM_PathPosition);

} // namespace
