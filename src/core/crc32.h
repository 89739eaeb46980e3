// CRC-32 (reflected, polynomial 0xEDB88320) without the final exclusive-or:
// the running register is the result, the complement of zlib's crc32.
#pragma once

#include <array>
#include <cstdint>

// The table is built at compile time, so it is valid before any start-up code
// runs and may be read from any thread; the flag and InitFastCRC remain for
// the module start-up that calls them.
extern const std::array<uint32_t, 256> g_crcTable;
extern bool g_crcTableInitialised;

void InitFastCRC();
// True when every table entry equals the bit-by-bit CRC of its index.
bool CheckFastCRC();

// CRC of a zero-terminated text, from 0xFFFFFFFF or from `seed`.
uint32_t CalcCRC(const char* text);
uint32_t CalcCRC(const char* text, uint32_t seed);
// CRC of `length` bytes, from 0xFFFFFFFF or from `seed`; a length of 0 or less
// returns the initial value unchanged. (Both overload pairs take `const char*`
// so that a literal length picks the byte-count form without ambiguity.)
uint32_t CalcCRC(const char* data, int length);
uint32_t CalcCRC(const char* data, int length, uint32_t seed);

// CRC of a text from 0xFFFFFFFF; null gives 0xFFFFFFFF.
uint32_t CalcCRC_string(const char* text);
