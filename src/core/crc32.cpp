// CRC-32 over a 256-entry table: register = (register >> 8) ^ table[(register ^ b) & 0xFF].
#include "core/crc32.h"

#include <array>

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
    uint32_t crc = seed;
    if (text == nullptr) return crc;
    for (const auto* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) crc = Step(crc, *p);
    return crc;
}

uint32_t CalcCRC(const char* text) {
    return CalcCRC(text, 0xFFFFFFFFu);
}

uint32_t CalcCRC(const char* data, int length, uint32_t seed) {
    uint32_t crc = seed;
    if (data == nullptr || length <= 0) return crc;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    for (int i = 0; i < length; ++i) crc = Step(crc, p[i]);
    return crc;
}

uint32_t CalcCRC(const char* data, int length) {
    return CalcCRC(data, length, 0xFFFFFFFFu);
}

uint32_t CalcCRC_string(const char* text) {
    return CalcCRC(text, 0xFFFFFFFFu);
}
