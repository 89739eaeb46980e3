// CHashMap against std::unordered_map: insert and find, integer and string keys.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/hash_map.h"

namespace {

std::vector<int> IntKeys(size_t n) {
    std::mt19937 rng(1);
    std::vector<int> keys(n);
    for (auto& k : keys) k = static_cast<int>(rng() & 0x3FFFFFFF);
    return keys;
}

std::vector<std::string> StringKeys(size_t n) {
    std::vector<std::string> keys(n);
    for (size_t i = 0; i < n; ++i) keys[i] = "variable_name_" + std::to_string(i * 7919);
    return keys;
}

void BM_CHashMapIntInsert(benchmark::State& state) {
    auto keys = IntKeys(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        CHashMap<int, int, 3> map;
        for (int k : keys) map.Insert(k, k);
        benchmark::DoNotOptimize(map.Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_StdIntInsert(benchmark::State& state) {
    auto keys = IntKeys(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        std::unordered_map<int, int> map;
        for (int k : keys) map[k] = k;
        benchmark::DoNotOptimize(map.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Steady state: insert into a map that already has its capacity, then delete,
// so the figure is the probing work rather than the growth of a fresh table.
void BM_CHashMapIntInsertDelete(benchmark::State& state) {
    auto keys = IntKeys(static_cast<size_t>(state.range(0)));
    CHashMap<int, int, 3> map;
    for (int k : keys) map.Insert(k, k);
    for (int k : keys) map.Delete(k);
    for (auto _ : state) {
        for (int k : keys) map.Insert(k, k);
        for (int k : keys) map.Delete(k);
        benchmark::DoNotOptimize(map.Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_StdIntInsertDelete(benchmark::State& state) {
    auto keys = IntKeys(static_cast<size_t>(state.range(0)));
    std::unordered_map<int, int> map;
    map.reserve(keys.size());
    for (auto _ : state) {
        for (int k : keys) map[k] = k;
        for (int k : keys) map.erase(k);
        benchmark::DoNotOptimize(map.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_CHashMapIntFind(benchmark::State& state) {
    auto keys = IntKeys(static_cast<size_t>(state.range(0)));
    CHashMap<int, int, 3> map;
    for (int k : keys) map.Insert(k, k);
    for (auto _ : state) {
        long sum = 0;
        for (int k : keys) sum += *map.Find(k);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_StdIntFind(benchmark::State& state) {
    auto keys = IntKeys(static_cast<size_t>(state.range(0)));
    std::unordered_map<int, int> map;
    for (int k : keys) map[k] = k;
    for (auto _ : state) {
        long sum = 0;
        for (int k : keys) sum += map.find(k)->second;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_CHashMapStringInsert(benchmark::State& state) {
    auto keys = StringKeys(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        CHashMap<const char*, int, 3> map;
        for (auto& k : keys) map.Insert(k.c_str(), 1);
        benchmark::DoNotOptimize(map.Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_StdStringInsert(benchmark::State& state) {
    auto keys = StringKeys(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        std::unordered_map<std::string, int> map;
        for (auto& k : keys) map[k] = 1;
        benchmark::DoNotOptimize(map.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_CHashMapStringFind(benchmark::State& state) {
    auto keys = StringKeys(static_cast<size_t>(state.range(0)));
    CHashMap<const char*, int, 3> map;
    for (auto& k : keys) map.Insert(k.c_str(), 1);
    for (auto _ : state) {
        long sum = 0;
        for (auto& k : keys) sum += *map.Find(k.c_str());
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_StdStringFind(benchmark::State& state) {
    auto keys = StringKeys(static_cast<size_t>(state.range(0)));
    std::unordered_map<std::string, int> map;
    for (auto& k : keys) map[k] = 1;
    for (auto _ : state) {
        long sum = 0;
        for (auto& k : keys) sum += map.find(k)->second;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_CHashMapIntInsert)->Arg(100)->Arg(10000);
BENCHMARK(BM_StdIntInsert)->Arg(100)->Arg(10000);
BENCHMARK(BM_CHashMapIntInsertDelete)->Arg(100)->Arg(10000);
BENCHMARK(BM_StdIntInsertDelete)->Arg(100)->Arg(10000);
BENCHMARK(BM_CHashMapIntFind)->Arg(100)->Arg(10000);
BENCHMARK(BM_StdIntFind)->Arg(100)->Arg(10000);
BENCHMARK(BM_CHashMapStringInsert)->Arg(100)->Arg(10000);
BENCHMARK(BM_StdStringInsert)->Arg(100)->Arg(10000);
BENCHMARK(BM_CHashMapStringFind)->Arg(100)->Arg(10000);
BENCHMARK(BM_StdStringFind)->Arg(100)->Arg(10000);
