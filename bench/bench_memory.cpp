// Small-block allocation and release: the memory manager's pools against the
// system allocator (glibc malloc), for each size class.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "core/memory_manager.h"

namespace {

// Allocate a batch and release it, as the runtime does with strings and
// temporary value arrays: the figure is the cost of one alloc + one free.
void BM_ManagerAllocFree(benchmark::State& state) {
    MemoryManager::Init();
    MemoryManager::SetPoolsEnabled(true);
    const size_t size = static_cast<size_t>(state.range(0));
    std::vector<void*> blocks(256);
    for (auto _ : state) {
        for (auto& b : blocks) b = MemoryManager::Alloc(size, __FILE__, __LINE__, false);
        for (auto* b : blocks) MemoryManager::Free(b);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(blocks.size()));
}

void BM_MallocFree(benchmark::State& state) {
    const size_t size = static_cast<size_t>(state.range(0));
    std::vector<void*> blocks(256);
    for (auto _ : state) {
        for (auto& b : blocks) b = std::malloc(size);
        benchmark::DoNotOptimize(blocks.data());
        for (auto* b : blocks) std::free(b);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(blocks.size()));
}

// One block at a time, the pattern of short-lived temporaries.
void BM_ManagerAllocFreeOne(benchmark::State& state) {
    MemoryManager::Init();
    MemoryManager::SetPoolsEnabled(true);
    const size_t size = static_cast<size_t>(state.range(0));
    for (auto _ : state) {
        void* b = MemoryManager::Alloc(size, __FILE__, __LINE__, false);
        benchmark::DoNotOptimize(b);
        MemoryManager::Free(b);
    }
}

void BM_MallocFreeOne(benchmark::State& state) {
    const size_t size = static_cast<size_t>(state.range(0));
    for (auto _ : state) {
        void* b = std::malloc(size);
        benchmark::DoNotOptimize(b);
        std::free(b);
    }
}

void BM_ManagerLarge(benchmark::State& state) {
    MemoryManager::Init();
    for (auto _ : state) {
        void* b = MemoryManager::Alloc(4096, __FILE__, __LINE__, false);
        benchmark::DoNotOptimize(b);
        MemoryManager::Free(b);
    }
}

} // namespace

BENCHMARK(BM_ManagerAllocFree)->Arg(8)->Arg(16)->Arg(32)->Arg(64)->Arg(128)->Arg(256);
BENCHMARK(BM_MallocFree)->Arg(8)->Arg(16)->Arg(32)->Arg(64)->Arg(128)->Arg(256);
BENCHMARK(BM_ManagerAllocFreeOne)->Arg(16)->Arg(256);
BENCHMARK(BM_MallocFreeOne)->Arg(16)->Arg(256);
BENCHMARK(BM_ManagerLarge);
