// Event dispatch: a Step event defined only on the eldest of three
// generations (so every lookup walks the parent chain) raised on 10,000
// instances of the youngest, through Perform_Event_All and instance by
// instance. The "allocations" counter is the number of operator new calls
// plus memory-manager blocks left over by the timed loop; it must stay 0.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "core/code.h"
#include "core/memory_manager.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "object_chunk.h"
#include "room/room.h"
#include "world/datafile/code_binding.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/instances/instance.h"
#include "world/objects/event.h"
#include "world/objects/object_type.h"

namespace {

std::atomic<int64_t> g_newCalls{0};
int64_t g_steps = 0;

void Step(CInstance*, CInstance*) {
    ++g_steps;
}

const SCompiledFunction kCode[] = {{"vtl_Object_obj_grand_Step_0", nullptr, Step}};

void FillRecord(SLLVMVars* v) {
    static SNameIdRecord* none[] = {nullptr};
    v->nCodeEntries = 1;
    v->ppVars = none;
    v->ppFuncs = none;
    v->pCodeFunctions = kCode;
}

constexpr int kInstances = 10000;

// grand <- parent <- child; Step on grand only; a room of children.
struct World {
    std::vector<uint8_t> image;
    std::unique_ptr<CRoom> room;

    World() {
        Header_Reset();
        Code_LoadCompiledRecord(FillRecord);
        wad::GameDataWriter w;
        wad::WriteHeader(w, wad::HeaderFields{});
        wad::ObjectFields grand;
        grand.name = "obj_grand";
        grand.events = {{}, {}, {}, {{0, 0}}};
        wad::ObjectFields parent;
        parent.name = "obj_parent";
        parent.parent = 0;
        wad::ObjectFields child;
        child.name = "obj_child";
        child.parent = 1;
        wad::WriteObjects(w, {grand, parent, child}, wad::HeaderFields{}.version);
        image = w.Build();
        if (!GetResolution(image.data(), image.size()) || !LoadGameData(image.data(), image.size()))
            std::abort();
        room = std::make_unique<CRoom>();
        Run_Room = room.get();
        for (int i = 0; i < kInstances; ++i) room->AddInstance(static_cast<float>(i), 0, 2);
    }
    ~World() {
        Run_Room = nullptr;
        room.reset();
        Code_UnbindGameData();
        Object_Init();
        Code_LoadCompiledRecord(nullptr);
    }
};

int64_t Allocations() {
    return g_newCalls.load(std::memory_order_relaxed) + MemoryManager::m_StandardCount;
}

void BM_PerformEventAll(benchmark::State& state) {
    World world;
    const int64_t before = Allocations();
    for (auto _ : state) Perform_Event_All(EVENT_STEP, 0);
    state.counters["allocations"] = static_cast<double>(Allocations() - before);
    state.SetItemsProcessed(state.iterations() * kInstances);
    benchmark::DoNotOptimize(g_steps);
}
BENCHMARK(BM_PerformEventAll)->Unit(benchmark::kMicrosecond);

void BM_PerformEventEach(benchmark::State& state) {
    World world;
    const int64_t before = Allocations();
    for (auto _ : state) {
        for (CInstance* i = world.room->m_pFirstActive; i != nullptr; i = i->m_pNext)
            Perform_Event(i, i, EVENT_STEP, 0);
    }
    state.counters["allocations"] = static_cast<double>(Allocations() - before);
    state.SetItemsProcessed(state.iterations() * kInstances);
}
BENCHMARK(BM_PerformEventEach)->Unit(benchmark::kMicrosecond);

} // namespace

// Counting every heap allocation of the program (the timed loops make none).
// The replacements pair malloc with free; GCC cannot see that where it
// inlines a delete of a block that operator new made, so it warns wrongly.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t size) {
    g_newCalls.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
