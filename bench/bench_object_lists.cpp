// Start-up with declared empty object slots: building the per-event object
// lists and the collision pairs for a data file of 3,000,000 object slots of
// which three hold types (the 12 MB file that took 14.5 s before its first
// room when every slot was looked up once per listed event), beside the same
// three types packed into three slots.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <optional>
#include <vector>

#include "core/code.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "object_chunk.h"
#include "world/datafile/code_binding.h"
#include "world/objects/event.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/objects/object_type.h"

namespace {

struct Game {
    std::vector<uint8_t> image;

    explicit Game(size_t slots) {
        Header_Reset();
        Code_LoadCompiledRecord(nullptr);
        wad::GameDataWriter w;
        wad::WriteHeader(w, wad::HeaderFields{});
        std::vector<std::optional<wad::ObjectFields>> objects(slots);
        objects[0] = wad::ObjectFields{};
        objects[0]->name = "obj_wall";
        objects[1] = wad::ObjectFields{};
        objects[1]->name = "obj_player";
        objects[1]->events = {{{0, 0}}, {}, {}, {{0, 1}}, {{0, 2}}}; // create, step, collision with the wall
        objects[2] = wad::ObjectFields{};
        objects[2]->name = "obj_enemy";
        objects[2]->parent = 1;
        wad::WriteObjects(w, objects, wad::HeaderFields{}.version);
        image = w.Build();
        if (!GetResolution(image.data(), image.size()) || !LoadGameData(image.data(), image.size()))
            std::abort();
        if (!Object_Prepare()) std::abort();
    }
    ~Game() {
        FINALIZE_Object_Lists();
        Code_UnbindGameData();
        Object_Init();
    }
};

void BM_CreateObjectLists(benchmark::State& state) {
    Game game(static_cast<size_t>(state.range(0)));
    for (auto _ : state) Create_Object_Lists();
    state.counters["slots"] = static_cast<double>(state.range(0));
    benchmark::DoNotOptimize(obj_col_numb);
}
BENCHMARK(BM_CreateObjectLists)->Arg(3)->Arg(3000000)->Unit(benchmark::kMillisecond);

} // namespace
