// The runtime's one pseudo-random generator: WELL512 over 16 words, seeded by
// a linear congruential sequence. A given seed replays the same sequence.
#pragma once

#include <array>
#include <cstdint>

// Generator state (main thread only; there is no lock).
extern std::array<uint32_t, 16> g_RndState;
extern uint32_t g_RndIndex;
extern uint32_t g_nRandSeed;

// Seeds the generator completely (the tempering mask is kept); returns the seed.
uint32_t InitRandom(uint32_t seed);

// The next 32-bit value.
uint32_t ZQRandom();
// The next value with its top bit cleared: 0 to 0x7FFFFFFF.
uint32_t iZQRandom();
// The next value scaled into [0, bound): value / 2^32, times bound unless bound is 1.
double fZQRandom(double bound);
// The next value modulo |bound| (unsigned remainder). A bound of 0 gives 0
// (a value is still drawn, so the sequence advances as for any other bound).
int ZQRandom(int bound);

// Selects the older tempering mask 0xDA442D20 (true) or 0xDA442D24 (false).
void ChangeToOldPoly(bool old);

// Puts the module's state back as the program started: seeded with 0, the
// current tempering mask.
void Random_Reset();
