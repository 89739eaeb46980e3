// WELL512 generator. Seeding runs the LCG s = ((s * 214013 + 2531011) >> 16) & 0x7FFFFFFF
// sixteen times, the shift arithmetic on the 32-bit signed product; everything
// is computed on unsigned words so that no signed overflow occurs.
#include "core/random.h"

#include <array>

namespace {

constexpr uint32_t kPolyCurrent = 0xDA442D24u;
constexpr uint32_t kPolyOld = 0xDA442D20u;

uint32_t s_nRandomPoly = kPolyCurrent;

constexpr std::array<uint32_t, 16> SeededState(uint32_t seed) {
    std::array<uint32_t, 16> state{};
    uint32_t s = seed;
    for (uint32_t& word : state) {
        const uint32_t product = s * 214013u + 2531011u;
        // Arithmetic shift of the product read as a signed word (defined in C++20).
        s = static_cast<uint32_t>(static_cast<int32_t>(product) >> 16) & 0x7FFFFFFFu;
        word = s;
    }
    return state;
}

} // namespace

// The generator starts seeded with 0 without any start-up code running.
constinit std::array<uint32_t, 16> g_RndState = SeededState(0);
uint32_t g_RndIndex = 0;
uint32_t g_nRandSeed = 0;

uint32_t InitRandom(uint32_t seed) {
    g_nRandSeed = seed;
    g_RndState = SeededState(seed);
    g_RndIndex = 0;
    return seed;
}

uint32_t ZQRandom() {
    uint32_t* state = g_RndState.data();
    uint32_t i = g_RndIndex;
    uint32_t a = state[i];
    uint32_t c = state[(i + 13) & 15];
    const uint32_t b = a ^ c ^ (a << 16) ^ (c << 15);
    c = state[(i + 9) & 15];
    c ^= c >> 11;
    a = state[i] = b ^ c;
    const uint32_t d = a ^ ((a << 5) & s_nRandomPoly);
    i = (i + 15) & 15;
    a = state[i];
    state[i] = a ^ b ^ d ^ (a << 2) ^ (b << 18) ^ (c << 28);
    g_RndIndex = i;
    return state[i];
}

uint32_t iZQRandom() {
    return ZQRandom() & 0x7FFFFFFFu;
}

double fZQRandom(double bound) {
    const double unit = static_cast<double>(ZQRandom()) / 4294967296.0;
    return bound == 1.0 ? unit : unit * bound;
}

int ZQRandom(int bound) {
    const uint32_t value = ZQRandom();
    // |INT_MIN| is representable as an unsigned word.
    const uint32_t modulus = bound < 0 ? 0u - static_cast<uint32_t>(bound) : static_cast<uint32_t>(bound);
    if (modulus == 0) return 0;
    return static_cast<int>(value % modulus);
}

void ChangeToOldPoly(bool old) {
    s_nRandomPoly = old ? kPolyOld : kPolyCurrent;
}

void Random_Reset() {
    ChangeToOldPoly(false);
    InitRandom(0);
}
