// One whole step (DoAStep: every pass, the deferred lists, animation,
// movement and removal) over a room of 1,000 and 10,000 moving instances
// whose object has a Step event, beside its peer: the same Step function
// called directly on every instance of the room's list, the floor any
// event pass has to stand on.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/code.h"
#include "core/memory_manager.h"
#include "core/run_globals.h"
#include "core/run_state.h"
#include "room/room.h"
#include "world/instances/instance.h"
#include "world/objects/event.h"
#include "world/objects/object_type.h"
#include "world/step/event_passes.h"
#include "world/step/step.h"

namespace {

int64_t g_calls = 0;

void Step(CInstance* self, CInstance*) {
    ++g_calls;
    // A wrap like the game's own: keeps every instance inside the room.
    if (self->i_x > 1000.0f) self->i_x = 0.0f;
}

const SCompiledFunction kStep = {"step", nullptr, Step};

struct Scene {
    std::unique_ptr<CRoom> room;

    explicit Scene(int count) {
        MemoryManager::Init();
        Object_Init();
        CObjectVT* type = Object_Data(Object_Add());
        type->m_flags = 0;
        CEvent* event = type->ZQCreateEvent(EVENT_STEP, STEP_NORMAL);
        event->m_pCode = new CCode(-1, false);
        event->m_pCode->m_pFunc = &kStep;
        event->m_defined = true;
        Create_Object_Lists();
        room = std::make_unique<CRoom>();
        room->m_width = 1000;
        room->m_height = 1000;
        Run_Room = room.get();
        for (int k = 0; k < count; ++k) {
            CInstance* i =
                room->AddInstance(static_cast<float>(k % 1000), static_cast<float>(k / 10 % 1000), 0);
            i->i_hspeed = 1.0f;
            i->i_imagespeed = 0.0f;
        }
        New_Room = ROOM_NONE;
        Draw_Automatic = true;
    }
    ~Scene() {
        Run_Room = nullptr;
        room.reset();
        FINALIZE_Instance_Class();
        FINALIZE_Object_Lists();
        Object_Init();
    }
};

void BM_DoAStep(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    g_calls = 0;
    for (auto _ : state) DoAStep();
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["step_events"] =
        benchmark::Counter(static_cast<double>(g_calls) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_DoAStep)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_DirectStepCalls(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (CInstance* i = scene.room->m_pFirstActive; i != nullptr; i = i->m_pNext) Step(i, i);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DirectStepCalls)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace
