// Particle throughput: CPU time to update a system of 10,000 living
// particles by one step and submit them to the vertex batch (with a device
// that draws nothing, so the figure is the CPU side alone). The system is
// kept at a steady 10,000 by a stream of 100 particles a step, each living
// 100 steps, moving with gravity, changing colour, size and alpha: every
// part of the update runs. "us_per_step" is the figure asked for;
// "update_us" and "submit_us" split it. The peer (the LÖVE particle system
// at the same count) is not measured here.
#include <benchmark/benchmark.h>

#include <chrono>

#include "core/random.h"
#include "null_gl_layer.h"
#include "render/gl_layer.h"
#include "render/render_state.h"
#include "render/texture_table.h"
#include "render/vertex_batch.h"
#include "sprites/particle_draw.h"
#include "sprites/particle_system.h"

namespace {

// A system that holds `count` particles once it has run `life` steps.
int SteadySystem(int count, int life) {
    InitRandom(2101988);
    int t = ParticleType_Create();
    ParticleType_Shape(t, 1);
    ParticleType_Life(t, life, life);
    ParticleType_Speed(t, 1, 3, -0.01f, 0.5f);
    ParticleType_Direction(t, 0, 360, 1, 10);
    ParticleType_Orientation(t, 0, 360, 2, 0, false);
    ParticleType_Gravity(t, 0.05f, 270);
    ParticleType_Size(t, 0.2f, 0.5f, 0.001f, 0);
    ParticleType_Color2(t, 0x00FFFF, 0x0000FF);
    ParticleType_Alpha3(t, 1, 0.8f, 0);
    int ps = ParticleSystem_Create(-1, true);
    int em = ParticleSystem_Emitter_Create(ps);
    ParticleSystem_Emitter_Region(ps, em, 0, 1280, 0, 720, 1, 1);
    ParticleSystem_Emitter_Stream(ps, em, t, count / life);
    for (int i = 0; i < life; ++i) ParticleSystem_Update(ps);
    return ps;
}

void BM_ParticlesUpdateAndSubmit(benchmark::State& state) {
    const NullDeviceScope device;
    g_States.Reset();
    g_States.Flush();
    Part_CreateTextures();
    const int n = static_cast<int>(state.range(0));
    const int ps = SteadySystem(n, 100);
    double updateUs = 0, submitUs = 0;
    int64_t particles = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        ParticleSystem_Update(ps);
        const auto t1 = std::chrono::steady_clock::now();
        ParticleSystem_Draw(ps);
        Graphics::Flush();
        const auto t2 = std::chrono::steady_clock::now();
        updateUs += std::chrono::duration<double, std::micro>(t1 - t0).count();
        submitUs += std::chrono::duration<double, std::micro>(t2 - t1).count();
        particles += ParticleSystem_Particles_Count(ps);
    }
    const double steps = static_cast<double>(state.iterations());
    state.counters["us_per_step"] = (updateUs + submitUs) / steps;
    state.counters["update_us"] = updateUs / steps;
    state.counters["submit_us"] = submitUs / steps;
    state.counters["particles"] = static_cast<double>(particles) / steps;
    ParticleSystem_DestroyAll();
    ParticleType_DestroyAll();
    Part_FreeTextures();
    GR_Texture_Init();
}
BENCHMARK(BM_ParticlesUpdateAndSubmit)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace
