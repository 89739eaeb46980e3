// Data structures on their hot paths, each beside its standard peer: map set
// and find with string and real keys (std::unordered_map), list append and
// indexed read (std::vector<RValue>), and grid region sums (the same
// column-order loop over a std::vector<double>). The map figures are taken
// at class level; one more pair shows the cost of the built-in path (call
// gate and the data-structure lock) for a map lookup. Values are copied out
// the same way (DS_ResultCopy) on both sides of each pair.
#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "core/call_gates.h"
#include "core/function_table.h"
#include "core/memory_manager.h"
#include "core/zq_rvalue.h"
#include "data/ds_grid.h"
#include "data/ds_list.h"
#include "data/ds_map.h"

namespace {

struct Pools {
    Pools() { MemoryManager::Init(); }
} g_pools;

std::vector<std::string> TextKeys(int64_t n) {
    std::vector<std::string> keys;
    for (int64_t i = 0; i < n; ++i) keys.push_back("variable_name_" + std::to_string(i * 7919));
    return keys;
}

std::vector<ZQRValue> StringValues(const std::vector<std::string>& keys) {
    std::vector<ZQRValue> values;
    for (const std::string& k : keys) values.emplace_back(k.c_str());
    return values;
}

std::vector<ZQRValue> RealValues(int64_t n) {
    std::vector<ZQRValue> values;
    for (int64_t i = 0; i < n; ++i) values.emplace_back(static_cast<double>(i) * 1.25 + 100000.0);
    return values;
}

// ---------------------------------------------------------------------------
// Map set: a fresh map filled with n keys.

void BM_MapSetString(benchmark::State& state) {
    auto keys = StringValues(TextKeys(state.range(0)));
    ZQRValue value(1.0);
    for (auto _ : state) {
        CDS_Map map;
        for (const ZQRValue& k : keys) map.Set(k, value, nullptr);
        benchmark::DoNotOptimize(map.Size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_StdMapSetString(benchmark::State& state) {
    auto keys = TextKeys(state.range(0));
    ZQRValue value(1.0);
    for (auto _ : state) {
        std::unordered_map<std::string, ZQRValue> map;
        for (const std::string& k : keys) map[k] = value;
        benchmark::DoNotOptimize(map.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_MapSetReal(benchmark::State& state) {
    auto keys = RealValues(state.range(0));
    ZQRValue value(1.0);
    for (auto _ : state) {
        CDS_Map map;
        for (const ZQRValue& k : keys) map.Set(k, value, nullptr);
        benchmark::DoNotOptimize(map.Size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_StdMapSetReal(benchmark::State& state) {
    auto keys = RealValues(state.range(0));
    ZQRValue value(1.0);
    for (auto _ : state) {
        std::unordered_map<double, ZQRValue> map;
        for (const ZQRValue& k : keys) map[k.val] = value;
        benchmark::DoNotOptimize(map.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// ---------------------------------------------------------------------------
// Map find: every key of a filled map, the value copied out.

void BM_MapFindString(benchmark::State& state) {
    auto keys = StringValues(TextKeys(state.range(0)));
    CDS_Map map;
    for (const ZQRValue& k : keys) map.Add(k, ZQRValue(2.0));
    ZQRValue out;
    for (auto _ : state) {
        for (const ZQRValue& k : keys) DS_ResultCopy(out, map.Find(k)->value);
        benchmark::DoNotOptimize(out.val);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_StdMapFindString(benchmark::State& state) {
    auto keys = TextKeys(state.range(0));
    std::unordered_map<std::string, ZQRValue> map;
    for (const std::string& k : keys) map[k] = ZQRValue(2.0);
    ZQRValue out;
    for (auto _ : state) {
        for (const std::string& k : keys) out = map.find(k)->second;
        benchmark::DoNotOptimize(out.val);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_MapFindReal(benchmark::State& state) {
    auto keys = RealValues(state.range(0));
    CDS_Map map;
    for (const ZQRValue& k : keys) map.Add(k, ZQRValue(2.0));
    ZQRValue out;
    for (auto _ : state) {
        for (const ZQRValue& k : keys) DS_ResultCopy(out, map.Find(k)->value);
        benchmark::DoNotOptimize(out.val);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_StdMapFindReal(benchmark::State& state) {
    auto keys = RealValues(state.range(0));
    std::unordered_map<double, ZQRValue> map;
    for (const ZQRValue& k : keys) map[k.val] = ZQRValue(2.0);
    ZQRValue out;
    for (auto _ : state) {
        for (const ZQRValue& k : keys) DS_ResultCopy(out, map.find(k.val)->second);
        benchmark::DoNotOptimize(out.val);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// ds_map_find_value as a script calls it: call gate, lock, cut copy.
void BM_BuiltinMapFindString(benchmark::State& state) {
    FINALIZE_Code_Function();
    InitDataStructuresFunctions();
    int find = Function_Find("ds_map_find_value");
    int index = dsMapCreate();
    auto keys = StringValues(TextKeys(state.range(0)));
    for (const ZQRValue& k : keys) F_DsMapAdd_Internal(index, k.pRefString->Get(), 2.0);
    ZQRValue mapArg(index);
    ZQRValue out;
    for (auto _ : state) {
        for (ZQRValue& k : keys) {
            ZQRValue* args[] = {&mapArg, &k};
            ZQVTL_CallLegacyFunction(nullptr, nullptr, out, 2, find, args);
        }
        benchmark::DoNotOptimize(out.val);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    DS_DestroyAll();
    FINALIZE_Code_Function();
}

// ---------------------------------------------------------------------------
// Lists.

void BM_ListAppend(benchmark::State& state) {
    ZQRValue value(3.0);
    for (auto _ : state) {
        CDS_List list;
        for (int64_t i = 0; i < state.range(0); ++i) list.Add(&value);
        benchmark::DoNotOptimize(list.Size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_StdVectorAppend(benchmark::State& state) {
    ZQRValue value(3.0);
    for (auto _ : state) {
        std::vector<ZQRValue> list;
        for (int64_t i = 0; i < state.range(0); ++i) list.push_back(value);
        benchmark::DoNotOptimize(list.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ListRead(benchmark::State& state) {
    CDS_List list;
    for (int64_t i = 0; i < state.range(0); ++i) {
        ZQRValue v(static_cast<double>(i));
        list.Add(&v);
    }
    ZQRValue out;
    for (auto _ : state) {
        double sum = 0;
        for (int64_t i = 0; i < state.range(0); ++i) {
            DS_ResultCopy(out, *list.GetValue(i));
            sum += out.val;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_StdVectorRead(benchmark::State& state) {
    std::vector<ZQRValue> list;
    for (int64_t i = 0; i < state.range(0); ++i) list.emplace_back(static_cast<double>(i));
    ZQRValue out;
    for (auto _ : state) {
        double sum = 0;
        for (int64_t i = 0; i < state.range(0); ++i) {
            DS_ResultCopy(out, list.at(static_cast<size_t>(i)));
            sum += out.val;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// ---------------------------------------------------------------------------
// Grid region sums over a side x side grid of reals.

void BM_GridRegionSum(benchmark::State& state) {
    int side = static_cast<int>(state.range(0));
    CDS_Grid grid(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            ZQRValue v(static_cast<double>(x + y));
            grid.Set(x, y, &v);
        }
    RValue result = RValue_Undefined();
    for (auto _ : state) {
        grid.Get_Sum(result, 0, 0, side - 1, side - 1);
        benchmark::DoNotOptimize(result.val);
    }
    state.SetItemsProcessed(state.iterations() * side * side);
}

// The peer: the same column-order walk over a plain std::vector<double>.
void BM_StdVectorRegionSum(benchmark::State& state) {
    int side = static_cast<int>(state.range(0));
    std::vector<double> cells(static_cast<size_t>(side) * static_cast<size_t>(side));
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) cells[static_cast<size_t>(x) + static_cast<size_t>(y) * side] = x + y;
    for (auto _ : state) {
        double sum = 0;
        for (int x = 0; x < side; ++x)
            for (int y = 0; y < side; ++y)
                sum += cells[static_cast<size_t>(x) + static_cast<size_t>(y) * side];
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * side * side);
}

} // namespace

BENCHMARK(BM_MapSetString)->Arg(1000)->Arg(100000);
BENCHMARK(BM_StdMapSetString)->Arg(1000)->Arg(100000);
BENCHMARK(BM_MapSetReal)->Arg(1000)->Arg(100000);
BENCHMARK(BM_StdMapSetReal)->Arg(1000)->Arg(100000);
BENCHMARK(BM_MapFindString)->Arg(1000)->Arg(100000);
BENCHMARK(BM_StdMapFindString)->Arg(1000)->Arg(100000);
BENCHMARK(BM_MapFindReal)->Arg(1000)->Arg(100000);
BENCHMARK(BM_StdMapFindReal)->Arg(1000)->Arg(100000);
BENCHMARK(BM_BuiltinMapFindString)->Arg(1000);
BENCHMARK(BM_ListAppend)->Arg(1000)->Arg(100000);
BENCHMARK(BM_StdVectorAppend)->Arg(1000)->Arg(100000);
BENCHMARK(BM_ListRead)->Arg(1000)->Arg(100000);
BENCHMARK(BM_StdVectorRead)->Arg(1000)->Arg(100000);
BENCHMARK(BM_GridRegionSum)->Arg(64)->Arg(512);
BENCHMARK(BM_StdVectorRegionSum)->Arg(64)->Arg(512);
