// Values in compiled code: ZQRValue arithmetic and comparison on reals,
// int32 and strings (against plain double, int32_t and std::string), and a
// built-in called through the call gate against a direct call of the same
// handler. The gate's overhead is the difference of the last two.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/call_gates.h"
#include "core/memory_manager.h"
#include "core/zq_rvalue.h"

namespace {

constexpr int kValues = 1024;

struct Pools {
    Pools() { MemoryManager::Init(); }
} g_pools;

std::vector<ZQRValue> Reals() {
    std::vector<ZQRValue> v;
    for (int i = 0; i < kValues; ++i) v.emplace_back(i * 0.25 + 1.0);
    return v;
}

std::vector<ZQRValue> Int32s() {
    std::vector<ZQRValue> v;
    for (int i = 0; i < kValues; ++i) v.push_back(ZQRValue::FromInt32(i * 7 + 1));
    return v;
}

std::vector<ZQRValue> Strings() {
    std::vector<ZQRValue> v;
    for (int i = 0; i < kValues; ++i) v.emplace_back(("name_" + std::to_string(i * 7919 % kValues)).c_str());
    return v;
}

// acc = acc * x + y over the values: a multiply-add per item, as compiled
// expressions chain temporaries.
template <typename T>
void MultiplyAdd(benchmark::State& state, const std::vector<T>& x) {
    for (auto _ : state) {
        T acc = x[0];
        for (int i = 1; i < kValues; ++i)
            acc = acc * x[static_cast<size_t>(i)] + x[static_cast<size_t>(i - 1)];
        benchmark::DoNotOptimize(acc);
    }
    state.SetItemsProcessed(state.iterations() * (kValues - 1));
}

void BM_Real_ZQRValue(benchmark::State& state) {
    std::vector<ZQRValue> x = Reals();
    MultiplyAdd(state, x);
}
void BM_Real_double(benchmark::State& state) {
    std::vector<double> x;
    for (int i = 0; i < kValues; ++i) x.push_back(i * 0.25 + 1.0);
    MultiplyAdd(state, x);
}
// x[i] += y[i] in place: how compiled code updates instance variables
// (`x += hspeed`), with no temporaries.
void BM_Update_ZQRValue(benchmark::State& state) {
    std::vector<ZQRValue> x = Reals();
    std::vector<ZQRValue> y = Reals();
    for (auto _ : state) {
        for (int i = 0; i < kValues; ++i) x[static_cast<size_t>(i)] += y[static_cast<size_t>(i)];
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}
void BM_Update_double(benchmark::State& state) {
    std::vector<double> x(kValues, 1.0);
    std::vector<double> y(kValues, 0.5);
    for (auto _ : state) {
        for (int i = 0; i < kValues; ++i) x[static_cast<size_t>(i)] += y[static_cast<size_t>(i)];
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}
void BM_Int32_ZQRValue(benchmark::State& state) {
    std::vector<ZQRValue> x = Int32s();
    for (auto _ : state) {
        ZQRValue acc = x[0];
        for (int i = 1; i < kValues; ++i) {
            acc *= x[static_cast<size_t>(i)];
            acc += x[static_cast<size_t>(i - 1)];
        }
        benchmark::DoNotOptimize(acc);
    }
    state.SetItemsProcessed(state.iterations() * (kValues - 1));
}
// The same multiply-add through the binary operators on int32 values, and
// on reals mixed with int32 (each step a real times an int32).
void BM_Int32Chain_ZQRValue(benchmark::State& state) {
    std::vector<ZQRValue> x = Int32s();
    MultiplyAdd(state, x);
}
void BM_Mixed_ZQRValue(benchmark::State& state) {
    std::vector<ZQRValue> x = Reals();
    for (size_t i = 0; i < x.size(); i += 2) x[i] = ZQRValue::FromInt32(static_cast<int32_t>(i % 3));
    MultiplyAdd(state, x);
}
void BM_Int32_int32(benchmark::State& state) {
    std::vector<uint32_t> x;
    for (int i = 0; i < kValues; ++i) x.push_back(static_cast<uint32_t>(i * 7 + 1));
    for (auto _ : state) {
        uint32_t acc = x[0];
        for (int i = 1; i < kValues; ++i)
            acc = acc * x[static_cast<size_t>(i)] + x[static_cast<size_t>(i - 1)];
        benchmark::DoNotOptimize(acc);
    }
    state.SetItemsProcessed(state.iterations() * (kValues - 1));
}

// Counts how many neighbours are in order (the comparison of a sort step).
void BM_CompareReal_ZQRValue(benchmark::State& state) {
    std::vector<ZQRValue> x = Reals();
    for (auto _ : state) {
        int ordered = 0;
        for (int i = 1; i < kValues; ++i)
            ordered += x[static_cast<size_t>(i - 1)] < x[static_cast<size_t>(i)];
        benchmark::DoNotOptimize(ordered);
    }
    state.SetItemsProcessed(state.iterations() * (kValues - 1));
}
void BM_CompareReal_double(benchmark::State& state) {
    std::vector<double> x;
    for (int i = 0; i < kValues; ++i) x.push_back(i * 0.25 + 1.0);
    for (auto _ : state) {
        int ordered = 0;
        for (int i = 1; i < kValues; ++i)
            ordered += x[static_cast<size_t>(i - 1)] - x[static_cast<size_t>(i)] < -g_VTLMathEpsilon;
        benchmark::DoNotOptimize(ordered);
    }
    state.SetItemsProcessed(state.iterations() * (kValues - 1));
}
void BM_EqualsNumber_ZQRValue(benchmark::State& state) {
    std::vector<ZQRValue> x = Reals();
    for (auto _ : state) {
        int equal = 0;
        for (int i = 0; i < kValues; ++i) equal += x[static_cast<size_t>(i)] == 100.0;
        benchmark::DoNotOptimize(equal);
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}
void BM_CompareInt32_ZQRValue(benchmark::State& state) {
    std::vector<ZQRValue> x = Int32s();
    for (auto _ : state) {
        int ordered = 0;
        for (int i = 1; i < kValues; ++i)
            ordered += x[static_cast<size_t>(i - 1)] < x[static_cast<size_t>(i)];
        benchmark::DoNotOptimize(ordered);
    }
    state.SetItemsProcessed(state.iterations() * (kValues - 1));
}

void BM_CompareString_ZQRValue(benchmark::State& state) {
    std::vector<ZQRValue> x = Strings();
    for (auto _ : state) {
        int ordered = 0;
        for (int i = 1; i < kValues; ++i)
            ordered += x[static_cast<size_t>(i - 1)] < x[static_cast<size_t>(i)];
        benchmark::DoNotOptimize(ordered);
    }
    state.SetItemsProcessed(state.iterations() * (kValues - 1));
}
void BM_CompareString_std(benchmark::State& state) {
    std::vector<std::string> x;
    for (int i = 0; i < kValues; ++i) x.push_back("name_" + std::to_string(i * 7919 % kValues));
    for (auto _ : state) {
        int ordered = 0;
        for (int i = 1; i < kValues; ++i)
            ordered += x[static_cast<size_t>(i - 1)] < x[static_cast<size_t>(i)];
        benchmark::DoNotOptimize(ordered);
    }
    state.SetItemsProcessed(state.iterations() * (kValues - 1));
}

// a + b into a new string per item (an allocation each, as scripts make them).
void BM_Concat_ZQRValue(benchmark::State& state) {
    std::vector<ZQRValue> x = Strings();
    for (auto _ : state) {
        for (int i = 1; i < kValues; ++i) {
            ZQRValue joined = x[static_cast<size_t>(i - 1)] + x[static_cast<size_t>(i)];
            benchmark::DoNotOptimize(joined);
        }
    }
    state.SetItemsProcessed(state.iterations() * (kValues - 1));
}
void BM_Concat_std(benchmark::State& state) {
    std::vector<std::string> x;
    for (int i = 0; i < kValues; ++i) x.push_back("name_" + std::to_string(i * 7919 % kValues));
    for (auto _ : state) {
        for (int i = 1; i < kValues; ++i) {
            std::string joined = x[static_cast<size_t>(i - 1)] + x[static_cast<size_t>(i)];
            benchmark::DoNotOptimize(joined);
        }
    }
    state.SetItemsProcessed(state.iterations() * (kValues - 1));
}

// A small built-in of two numbers, as most are.
void F_AddTwo(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    result.val = args[0].val + args[1].val;
    result.kind = VALUE_REAL;
}

// The direct call goes through a pointer the compiler cannot see through, as
// the table's entries are.
TRoutine volatile g_direct = F_AddTwo;

void BM_Call_Direct(benchmark::State& state) {
    ZQRValue a(1.5), b(2.5), result;
    RValue args[2];
    for (auto _ : state) {
        std::memcpy(static_cast<void*>(&args[0]), static_cast<const void*>(&a), sizeof(RValue));
        std::memcpy(static_cast<void*>(&args[1]), static_cast<const void*>(&b), sizeof(RValue));
        g_direct(result, nullptr, nullptr, 2, args);
        benchmark::DoNotOptimize(result);
    }
}

void BM_Call_Gate(benchmark::State& state) {
    FINALIZE_Code_Function();
    Function_Add("add_two", F_AddTwo, 2, true);
    ZQRValue a(1.5), b(2.5), result;
    ZQRValue* args[] = {&a, &b};
    for (auto _ : state) {
        ZQVTL_CallLegacyFunction(nullptr, nullptr, result, 2, 0, args);
        benchmark::DoNotOptimize(result);
    }
    FINALIZE_Code_Function();
}

} // namespace

BENCHMARK(BM_Real_ZQRValue);
BENCHMARK(BM_Real_double);
BENCHMARK(BM_Update_ZQRValue);
BENCHMARK(BM_Update_double);
BENCHMARK(BM_Int32_ZQRValue);
BENCHMARK(BM_Int32Chain_ZQRValue);
BENCHMARK(BM_Mixed_ZQRValue);
BENCHMARK(BM_Int32_int32);
BENCHMARK(BM_CompareReal_ZQRValue);
BENCHMARK(BM_CompareReal_double);
BENCHMARK(BM_EqualsNumber_ZQRValue);
BENCHMARK(BM_CompareInt32_ZQRValue);
BENCHMARK(BM_CompareString_ZQRValue);
BENCHMARK(BM_CompareString_std);
BENCHMARK(BM_Concat_ZQRValue);
BENCHMARK(BM_Concat_std);
BENCHMARK(BM_Call_Direct);
BENCHMARK(BM_Call_Gate);
