// Instances per step: the motion update of 10,000 moving instances (friction,
// gravity, the move itself and the box recomputed from a sprite), and the
// instance built-in variables read and written through their ids. Figures
// are per instance per step and per access; time/item is ns per instance.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/memory_manager.h"
#include "core/variable_names.h"
#include "core/variables.h"
#include "room/room.h"
#include "sprites/sprite_table.h"
#include "world/instances/instance.h"
#include "world/instances/sprite_services.h"
#include "world/lifecycle/instance_variables.h"
#include "world/objects/object_type.h"

namespace {

constexpr int kInstances = 10000;

struct Scene {
    Scene() {
        MemoryManager::Init();
        auto owned = std::make_unique<CSprite>();
        CSprite& sprite = *owned;
        sprite.m_width = sprite.m_height = 32;
        sprite.m_xorigin = sprite.m_yorigin = 16;
        sprite.m_bbox = SBoundingBox{0, 0, 31, 31};
        sprite.m_numb = 1;
        sprite.m_precise = false; // box collisions, as measured before sprites had masks
        Sprite_Init();
        Sprite_AddRecord(std::move(owned));
        Variable_BuiltIn_Clear();
        InitLocalVariables();
        Object_Add();
        room = std::make_unique<CRoom>();
        Run_Room = room.get();
        for (int i = 0; i < kInstances; ++i) {
            CInstance* instance =
                room->AddInstance(static_cast<float>(i % 100) * 8, static_cast<float>(i / 100) * 8, 0);
            instance->SetSpriteIndex(0);
            instance->SetDirection(static_cast<float>(i % 360));
            instance->SetSpeed(2.0f);
            instance->i_friction = 0.01f;
            instance->i_gravity = 0.05f;
        }
        middle = CInstance::Find(100000 + kInstances / 2);
    }
    std::unique_ptr<CRoom> room;
    CInstance* middle = nullptr;
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

// One step of motion as the step passes run it: previous position, friction
// and gravity, the move, then the box of each moved instance.
void MotionStep(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        for (CInstance* i = s.room->m_pFirstActive; i != nullptr; i = i->m_pNext) {
            i->i_xprevious = i->i_x;
            i->i_yprevious = i->i_y;
            i->Adapt_Speed();
            i->SetPosition(i->i_x + i->i_hspeed, i->i_y + i->i_vspeed);
            if (i->m_bboxDirty) i->Compute_BoundingBox(true);
        }
        // Keep them moving without the speeds running away.
        if (s.middle->i_speed > 50.0f)
            for (CInstance* i = s.room->m_pFirstActive; i != nullptr; i = i->m_pNext) i->SetSpeed(2.0f);
    }
    state.SetItemsProcessed(state.iterations() * kInstances);
}
BENCHMARK(MotionStep)->Unit(benchmark::kMicrosecond);

void Read(benchmark::State& state, const char* name) {
    Scene& s = TheScene();
    const int id = Variable_BuiltIn_Find(name);
    RValue out = RValue_Undefined();
    for (auto _ : state) {
        Variable_GetValue_Direct(s.middle, id, ARRAY_INDEX_NO_INDEX, &out);
        benchmark::DoNotOptimize(out);
    }
}
void Write(benchmark::State& state, const char* name) {
    Scene& s = TheScene();
    const int id = Variable_BuiltIn_Find(name);
    double v = 0;
    for (auto _ : state) {
        RValue in = RValue_Real(v);
        v = v < 1000 ? v + 1 : 0;
        Variable_SetValue_Direct(s.middle, id, ARRAY_INDEX_NO_INDEX, &in);
    }
}
BENCHMARK_CAPTURE(Read, x, "x");
BENCHMARK_CAPTURE(Read, speed, "speed");
BENCHMARK_CAPTURE(Write, x, "x");
BENCHMARK_CAPTURE(Write, direction, "direction");
BENCHMARK_CAPTURE(Write, image_xscale, "image_xscale");
// A read after a move: the box is recomputed first.
void ReadBoxAfterMove(benchmark::State& state) {
    Scene& s = TheScene();
    const int x = Variable_BuiltIn_Find("x");
    const int left = Variable_BuiltIn_Find("bbox_left");
    RValue out = RValue_Undefined();
    double v = 0;
    for (auto _ : state) {
        RValue in = RValue_Real(v);
        v = v < 1000 ? v + 1 : 0;
        Variable_SetValue_Direct(s.middle, x, ARRAY_INDEX_NO_INDEX, &in);
        Variable_GetValue_Direct(s.middle, left, ARRAY_INDEX_NO_INDEX, &out);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(ReadBoxAfterMove);

} // namespace
