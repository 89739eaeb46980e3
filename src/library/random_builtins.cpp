// Random-number built-ins. The generator and its seed belong to the core;
// here are the ranges and the way two 32-bit draws make one large integer.
#include "library/random_builtins.h"

#include <bit>
#include <cmath>

#include "core/arguments.h"
#include "core/random.h"
#include "core/timing.h"
#include "core/zq_rvalue.h"
#include "library/library_builtins.h"

namespace {

void SetReal(RValue& result, double v) {
    ZQSetResultReal(result, v);
}

// k = a draw modulo n, through single precision and floored, held below n.
int ChooseIndex(int n) {
    uint32_t k = ZQRandom() % static_cast<uint32_t>(n);
    int index = static_cast<int>(std::floor(static_cast<float>(k)));
    return index > n - 1 ? n - 1 : index;
}

void F_Random(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, ZQVTL_random(ZQGetReal(a, 0)));
}
void F_RandomRange(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    double low = ZQGetReal(a, 0);
    SetReal(r, ZQVTL_random_range(low, ZQGetReal(a, 1)));
}
void F_IRandom(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, static_cast<double>(Random_IRandom(ZQGetInt64(a, 0))));
}
void F_IRandomRange(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    int64_t low = ZQGetInt64(a, 0);
    SetReal(r, static_cast<double>(Random_IRandomRange(low, ZQGetInt64(a, 1))));
}
void F_RandomSetSeed(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    InitRandom(ZQGetUint32(a, 0));
    SetReal(r, 0.0);
}
void F_RandomGetSeed(RValue& r, CInstance*, CInstance*, int, RValue*) {
    SetReal(r, static_cast<double>(g_nRandSeed));
}
void F_Randomize(RValue& r, CInstance*, CInstance*, int, RValue*) {
    SetReal(r, static_cast<double>(InitRandom(Random_ClockSeed())));
}
void F_RandomUseOldVersion(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    ChangeToOldPoly(ZQGetInt32(a, 0) > 0);
    SetReal(r, 0.0);
}
void F_Choose(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    if (argc <= 0) {
        SetReal(r, 0.0);
        return;
    }
    COPY_RValue(&r, &a[ChooseIndex(argc)]);
}

const LibraryBuiltinRow kRandom[] = {
    {"random", F_Random},
    {"random_range", F_RandomRange},
    {"irandom", F_IRandom},
    {"irandom_range", F_IRandomRange},
    {"random_use_old_version", F_RandomUseOldVersion},
    {"random_set_seed", F_RandomSetSeed},
    {"random_get_seed", F_RandomGetSeed},
    {"randomize", F_Randomize},
    {"randomise", F_Randomize},
    {"choose", F_Choose},
};

} // namespace

uint64_t Random_Draw63() {
    uint64_t low = ZQRandom();
    uint64_t high = ZQRandom() & 0x7FFFFFFFu;
    return high << 32 | low;
}

int64_t Random_IRandom(int64_t n) {
    uint64_t draw = Random_Draw63();
    if (n >= 0) return static_cast<int64_t>(draw % (static_cast<uint64_t>(n) + 1u));
    // |n - 1| = -n + 1, at most 2^63 + 1: an unsigned count.
    uint64_t modulus = (0u - static_cast<uint64_t>(n)) + 1u;
    return -static_cast<int64_t>(draw % modulus);
}

int64_t Random_IRandomRange(int64_t a, int64_t b) {
    int64_t low = a < b ? a : b;
    int64_t high = a < b ? b : a;
    uint64_t span =
        static_cast<uint64_t>(high) - static_cast<uint64_t>(low) + 1u; // 0: the whole 64-bit range
    uint64_t draw = Random_Draw63();
    uint64_t offset = span == 0 ? draw : draw % span;
    return static_cast<int64_t>(static_cast<uint64_t>(low) + offset);
}

uint32_t Random_ClockSeed() {
    uint64_t t = static_cast<uint64_t>(Timing_Time() + g_TimingStart);
    uint32_t lo = static_cast<uint32_t>(t);
    uint32_t hi = static_cast<uint32_t>(t >> 32);
    return (hi + lo) ^ std::rotl(lo, 16);
}

double ZQVTL_random(double n) {
    return fZQRandom(1.0) * n;
}

double ZQVTL_random_range(double a, double b) {
    double low = a < b ? a : b;
    return low + std::fabs(b - a) * fZQRandom(1.0);
}

int32_t ZQVTL_irandom(int32_t n) {
    return static_cast<int32_t>(Random_IRandom(n));
}

// The span is counted in 64 bits: |b - a| + 1 of the full 32-bit range does
// not fit 32 bits (and a modulus that wrapped to 0 would trap).
int32_t ZQVTL_irandom_range(int32_t a, int32_t b) {
    return static_cast<int32_t>(Random_IRandomRange(a, b));
}

ZQRValue& ZQVTL_choose(ZQRValue& result, int argc, ZQRValue** args) {
    if (argc <= 0) {
        result = 0.0;
        return result;
    }
    result = *args[ChooseIndex(argc)];
    return result;
}

int64_t iScript_Random(int64_t n) {
    if (n == 0) return 0;
    uint64_t draw = Random_Draw63();
    uint64_t modulus = n > 0 ? static_cast<uint64_t>(n) : 0u - static_cast<uint64_t>(n);
    int64_t v = static_cast<int64_t>(draw % modulus);
    return n > 0 ? v : -v;
}

std::span<const LibraryBuiltinRow> RandomBuiltins() {
    return kRandom;
}
