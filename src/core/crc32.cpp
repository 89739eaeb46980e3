// CRC-32 over a 256-entry table: register = (register >> 8) ^ table[(register ^ b) & 0xFF],
// eight bytes at a time through seven further tables where the input is long
// enough (the same register as the byte loop, with eight independent lookups
// in place of a chain of eight dependent ones).
#include "core/crc32.h"

#include <array>
#include <bit>
#include <cstring>

namespace {

constexpr uint32_t kCrcPolynomial = 0xEDB88320u;

// Entry i is i shifted right eight times, folding in the polynomial whenever
// the bit shifted out was 1.
constexpr uint32_t CrcOfByte(uint32_t value) {
    for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? (value >> 1) ^ kCrcPolynomial : value >> 1;
    return value;
}

constexpr std::array<uint32_t, 256> MakeTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) table[i] = CrcOfByte(i);
    return table;
}

inline uint32_t Step(uint32_t crc, unsigned char byte) {
    return (crc >> 8) ^ g_crcTable[(crc ^ byte) & 0xFF];
}

} // namespace

// Declared extern in the header, so this constant definition has external linkage.
constexpr std::array<uint32_t, 256> g_crcTable = MakeTable();

namespace {

// kSlices[k][i]: the register after byte i followed by k zero bytes.
using SliceTables = std::array<std::array<uint32_t, 256>, 8>;
constexpr SliceTables MakeSlices() {
    SliceTables slices{};
    slices[0] = MakeTable();
    for (int k = 1; k < 8; ++k) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t previous = slices[k - 1][i];
            slices[k][i] = (previous >> 8) ^ slices[0][previous & 0xFF];
        }
    }
    return slices;
}
constexpr SliceTables kSlices = MakeSlices();

uint32_t Load32(const unsigned char* p) {
    uint32_t word;
    std::memcpy(&word, p, sizeof word);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap32(word);
    return word;
}

uint32_t Bytes(uint32_t crc, const unsigned char* p, size_t length) {
    for (; length >= 8; p += 8, length -= 8) {
        uint32_t low = Load32(p) ^ crc;
        uint32_t high = Load32(p + 4);
        crc = kSlices[7][low & 0xFF] ^ kSlices[6][(low >> 8) & 0xFF] ^ kSlices[5][(low >> 16) & 0xFF] ^
              kSlices[4][low >> 24] ^ kSlices[3][high & 0xFF] ^ kSlices[2][(high >> 8) & 0xFF] ^
              kSlices[1][(high >> 16) & 0xFF] ^ kSlices[0][high >> 24];
    }
    for (; length > 0; ++p, --length) crc = Step(crc, *p);
    return crc;
}

} // namespace

bool g_crcTableInitialised = true;

void InitFastCRC() {
    g_crcTableInitialised = true;
}

bool CheckFastCRC() {
    for (uint32_t i = 0; i < 256; ++i) {
        // Bit-by-bit, independent of the compile-time builder's loop shape.
        uint32_t crc = i;
        for (int bit = 0; bit < 8; ++bit) {
            const bool low = (crc & 1) != 0;
            crc >>= 1;
            if (low) crc ^= kCrcPolynomial;
        }
        if (g_crcTable[i] != crc) return false;
    }
    return true;
}

uint32_t CalcCRC(const char* text, uint32_t seed) {
    if (text == nullptr) return seed;
    return Bytes(seed, reinterpret_cast<const unsigned char*>(text), std::strlen(text));
}

uint32_t CalcCRC(const char* text) {
    return CalcCRC(text, 0xFFFFFFFFu);
}

uint32_t CalcCRC(const char* data, int length, uint32_t seed) {
    if (data == nullptr || length <= 0) return seed;
    return Bytes(seed, reinterpret_cast<const unsigned char*>(data), static_cast<size_t>(length));
}

uint32_t CalcCRC(const char* data, int length) {
    return CalcCRC(data, length, 0xFFFFFFFFu);
}

uint32_t CalcCRC_string(const char* text) {
    return CalcCRC(text, 0xFFFFFFFFu);
}
