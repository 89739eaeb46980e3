// The keyboard and mouse passes of one step over a room of 1,000 and 10,000
// instances whose object has the events a game typically uses (Keyboard any
// key, Key Press of one key, Glob Left Pressed, Mouse Enter), with a key and
// the left button pressed; beside its peer, the same handlers called directly
// once per raised event on every instance of the room's list.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "core/code.h"
#include "core/memory_manager.h"
#include "core/run_globals.h"
#include "room/room.h"
#include "world/input/input_state.h"
#include "world/instances/instance.h"
#include "world/objects/event.h"
#include "world/objects/object_type.h"
#include "world/step/step_services.h"

namespace {

int64_t g_calls = 0;

void Handler(CInstance*, CInstance*) {
    ++g_calls;
}

const SCompiledFunction kHandler = {"handler", nullptr, Handler};

constexpr int kEvents[][2] = {
    {EVENT_KEYBOARD, 1}, {EVENT_KEYPRESS, 65}, {EVENT_MOUSE, 53}, {EVENT_MOUSE, 10}};

struct Scene {
    std::unique_ptr<CRoom> room;

    explicit Scene(int count) {
        MemoryManager::Init();
        Object_Init();
        CObjectVT* type = Object_Data(Object_Add());
        type->m_flags = 0;
        for (const auto& e : kEvents) {
            CEvent* event = type->ZQCreateEvent(e[0], e[1]);
            event->m_pCode = new CCode(-1, false);
            event->m_pCode->m_pFunc = &kHandler;
            event->m_defined = true;
        }
        Create_Object_Lists();
        room = std::make_unique<CRoom>();
        room->m_width = room->m_height = 1000;
        Run_Room = room.get();
        for (int k = 0; k < count; ++k)
            room->AddInstance(static_cast<float>(k % 1000), static_cast<float>(k / 10 % 1000), 0);
        _IO_KeyDown[65] = _IO_KeyPressed[65] = 1;
        _IO_ButtonDown[0] = _IO_ButtonPressed[0] = 1;
    }
    ~Scene() {
        std::memset(_IO_KeyDown, 0, sizeof _IO_KeyDown);
        std::memset(_IO_KeyPressed, 0, sizeof _IO_KeyPressed);
        _IO_ButtonDown[0] = _IO_ButtonPressed[0] = 0;
        Run_Room = nullptr;
        room.reset();
        FINALIZE_Instance_Class();
        FINALIZE_Object_Lists();
        Object_Init();
    }
};

void BM_InputPasses(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    g_calls = 0;
    for (auto _ : state) {
        HandleKeyboard();
        HandleMouse();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["events"] =
        benchmark::Counter(static_cast<double>(g_calls) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_InputPasses)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// Three handler calls per instance: any key, the pressed key, the global
// pressed button (instances without a sprite are never under the mouse).
void BM_DirectInputCalls(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (int n = 0; n < 3; ++n)
            for (CInstance* i = scene.room->m_pFirstActive; i != nullptr; i = i->m_pNext) Handler(i, i);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DirectInputCalls)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace
