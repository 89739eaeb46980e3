// Script values: copy and release of reals, strings and arrays (against a
// std::shared_ptr copy), array appends, and the text form of numbers
// (against snprintf).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/memory_manager.h"
#include "core/rvalue.h"

namespace {

constexpr int kValues = 1024;

struct Pools {
    Pools() { MemoryManager::Init(); }
} g_pools;

// kValues sources of one kind, released at the end.
class Sources {
public:
    explicit Sources(uint32_t kind) : m_values(kValues) {
        for (int i = 0; i < kValues; ++i) {
            RValue* v = &m_values[static_cast<size_t>(i)];
            *v = RValue_Undefined();
            if (kind == VALUE_REAL) {
                *v = RValue_Real(i * 0.5);
            } else if (kind == VALUE_STRING) {
                ZQSetString(v, ("text number " + std::to_string(i)).c_str());
            } else {
                RValue element = RValue_Real(i);
                SET_RValue(v, &element, 0);
            }
        }
    }
    ~Sources() {
        for (RValue& v : m_values) FREE_RValue(&v);
    }
    Sources(const Sources&) = delete;
    Sources& operator=(const Sources&) = delete;
    const RValue* Get(int i) const { return &m_values[static_cast<size_t>(i)]; }

private:
    std::vector<RValue> m_values;
};

// One copy into a slot and one release per item.
void CopyAndRelease(benchmark::State& state, uint32_t kind) {
    Sources sources(kind);
    std::vector<RValue> slots(kValues, RValue_Undefined());
    for (auto _ : state) {
        for (int i = 0; i < kValues; ++i) COPY_RValue(&slots[static_cast<size_t>(i)], sources.Get(i));
        benchmark::ClobberMemory();
        for (RValue& slot : slots) FREE_RValue(&slot);
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}

void BM_CopyReleaseReal(benchmark::State& state) {
    CopyAndRelease(state, VALUE_REAL);
}
void BM_CopyReleaseString(benchmark::State& state) {
    CopyAndRelease(state, VALUE_STRING);
}
void BM_CopyReleaseArray(benchmark::State& state) {
    CopyAndRelease(state, VALUE_ARRAY);
}

// Peer: a reference-counted copy and release in the standard library.
void BM_SharedPtrCopyRelease(benchmark::State& state) {
    std::vector<std::shared_ptr<std::string>> sources;
    for (int i = 0; i < kValues; ++i) sources.push_back(std::make_shared<std::string>("text"));
    std::vector<std::shared_ptr<std::string>> slots(kValues);
    for (auto _ : state) {
        for (int i = 0; i < kValues; ++i) slots[static_cast<size_t>(i)] = sources[static_cast<size_t>(i)];
        benchmark::ClobberMemory();
        for (auto& slot : slots) slot.reset();
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}

// Copy-on-write: a write through a second holder copies the shared array.
void BM_ArrayCopyOnWrite(benchmark::State& state) {
    RValue owner = RValue_Undefined();
    for (int i = 0; i < state.range(0); ++i) {
        RValue element = RValue_Real(i);
        SET_RValue(&owner, &element, i);
    }
    RValue one = RValue_Real(1);
    for (auto _ : state) {
        RValue other;
        COPY_RValue(&other, &owner);
        SET_RValue(&other, &one, 0);
        FREE_RValue(&other);
    }
    FREE_RValue(&owner);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Appending one element at a time (rows grow by half again, not by one).
void BM_ArrayAppend(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        RValue a = RValue_Undefined();
        for (int i = 0; i < n; ++i) {
            RValue element = RValue_Real(i);
            SET_RValue(&a, &element, i);
        }
        FREE_RValue(&a);
    }
    state.SetItemsProcessed(state.iterations() * n);
}

// Text of a number appended to a reused buffer.
void NumberText(benchmark::State& state, double d) {
    int capacity = 64;
    auto* buffer = static_cast<char*>(ZQ_Alloc(static_cast<size_t>(capacity)));
    RValue v = RValue_Real(d);
    for (auto _ : state) {
        char* cursor = buffer;
        STRING_RValue(&cursor, &buffer, &capacity, &v);
        benchmark::DoNotOptimize(cursor);
    }
    ZQ_Free(buffer);
    state.SetItemsProcessed(state.iterations());
}

void BM_StringRValueInteger(benchmark::State& state) {
    NumberText(state, 1234567);
}
void BM_StringRValueFraction(benchmark::State& state) {
    NumberText(state, 3.14159);
}

// Peers: the C library's formatting of the same numbers.
void BM_SnprintfInteger(benchmark::State& state) {
    char text[64];
    long long n = 1234567;
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::snprintf(text, sizeof text, "%lld", n));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
void BM_SnprintfFraction(benchmark::State& state) {
    char text[64];
    double d = 3.14159;
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::snprintf(text, sizeof text, "%.2f", d));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(BM_CopyReleaseReal);
BENCHMARK(BM_CopyReleaseString);
BENCHMARK(BM_CopyReleaseArray);
BENCHMARK(BM_SharedPtrCopyRelease);
BENCHMARK(BM_ArrayCopyOnWrite)->Arg(16)->Arg(1024);
BENCHMARK(BM_ArrayAppend)->Arg(1000)->Arg(32000);
BENCHMARK(BM_StringRValueInteger);
BENCHMARK(BM_StringRValueFraction);
BENCHMARK(BM_SnprintfInteger);
BENCHMARK(BM_SnprintfFraction);
