// Collisions with 1,000 and 10,000 instances, walking the instance lists
// against searching the instance tree: one rectangle query (time per query),
// and the whole collision pass of a step in which 1% of the instances moved
// (classic pairs against the fast pass). Compare the List and Tree rows of
// the same size; the "events" counter is the collision events per pass.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "core/code.h"
#include "core/memory_manager.h"
#include "core/run_state.h"
#include "room/room.h"
#include "sprites/sprite_table.h"
#include "world/collision/collision_pass.h"
#include "world/collision/collision_queries.h"
#include "world/datafile/options.h"
#include "world/instances/instance.h"
#include "world/instances/instance_tree.h"
#include "world/instances/sprite_services.h"
#include "world/objects/event.h"
#include "world/objects/object_type.h"

namespace {

int64_t g_events = 0;

void CountEvent(CInstance*, CInstance*) {
    ++g_events;
}

const SCompiledFunction kCountEvent = {"count_event", nullptr, CountEvent};

// N instances of two objects with collision events for each other, 32-pixel
// boxes spread over a square room so that about one in ten overlaps another.
struct Scene {
    Scene(int count, bool fast) {
        MemoryManager::Init();
        New_Room = ROOM_NONE;
        auto owned = std::make_unique<CSprite>();
        CSprite& sprite = *owned;
        sprite.m_width = sprite.m_height = 32;
        sprite.m_xorigin = sprite.m_yorigin = 16;
        sprite.m_bbox = SBoundingBox{0, 0, 31, 31};
        sprite.m_numb = 1;
        sprite.m_precise = false; // box collisions, as measured before sprites had masks
        Sprite_Init();
        Sprite_AddRecord(std::move(owned));
        option_use_fast_collision = false;
        for (int i = 0; i < 2; ++i) {
            CObjectVT* type = Object_Data(Object_Add());
            type->m_flags = 0;
            type->m_spriteIndex = 0;
            CEvent* event = type->ZQCreateEvent(EVENT_COLLISION, 1 - i);
            event->m_pCode = new CCode(-1, false);
            event->m_pCode->m_pFunc = &kCountEvent;
            event->m_defined = true;
        }
        Create_Object_Lists(); // the classic pairs are built with the option off
        option_use_fast_collision = fast;
        room = std::make_unique<CRoom>();
        Run_Room = room.get();
        side = static_cast<float>(std::sqrt(count * 32.0 * 32.0 * 10.0));
        std::uniform_real_distribution<float> pos(0, side);
        for (int i = 0; i < count; ++i) instances.push_back(room->AddInstance(pos(rng), pos(rng), i % 2));
        UpdateTree();
        if (fast) HandleCollision(); // the first pass tests every new instance
    }
    ~Scene() {
        Run_Room = nullptr;
        room.reset();
        FINALIZE_InstanceTree();
        FINALIZE_Instance_Class();
        FINALIZE_Object_Lists();
        Object_Init();
        Sprite_Init();
        option_use_fast_collision = false;
    }
    void MoveSome() {
        std::uniform_real_distribution<float> pos(0, side);
        for (size_t k = 0; k < instances.size() / 100; ++k) {
            CInstance* i = instances[rng() % instances.size()];
            i->i_xprevious = i->i_x;
            i->i_yprevious = i->i_y;
            i->SetPosition(pos(rng), pos(rng));
        }
    }
    std::unique_ptr<CRoom> room;
    std::vector<CInstance*> instances;
    std::mt19937 rng{11};
    float side = 0;
};

// range(0): instances; range(1): 1 tree, 0 lists.
void CollisionQuery(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)), state.range(1) != 0);
    std::uniform_real_distribution<float> pos(0, scene.side);
    int64_t found = 0;
    for (auto _ : state) {
        const float x = pos(scene.rng), y = pos(scene.rng);
        CInstance* hit = Command_CollisionRectangle(nullptr, x, y, x + 40, y + 40, 1, false, false);
        found += hit != nullptr;
        benchmark::DoNotOptimize(hit);
    }
    state.counters["hit rate"] = benchmark::Counter(static_cast<double>(found) / state.iterations());
    state.SetLabel(state.range(1) != 0 ? "tree" : "lists");
}

void CollisionPassStep(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)), state.range(1) != 0);
    g_events = 0;
    for (auto _ : state) {
        state.PauseTiming();
        scene.MoveSome();
        state.ResumeTiming();
        HandleCollision();
    }
    state.counters["events"] = benchmark::Counter(static_cast<double>(g_events) / state.iterations());
    state.SetLabel(state.range(1) != 0 ? "fast (tree)" : "classic (lists)");
}

BENCHMARK(CollisionQuery)->ArgsProduct({{1000, 10000}, {0, 1}});
BENCHMARK(CollisionPassStep)->ArgsProduct({{1000, 10000}, {0, 1}})->Unit(benchmark::kMicrosecond);

} // namespace
