// MurmurHash3, x86 32-bit variant: the string hash of the runtime's hash
// maps. Defined here so that every map lookup inlines it. Blocks are read
// with memcpy, so unaligned input is fine; the tail and length mixing follow
// the reference algorithm.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace murmur_detail {
inline uint32_t Rotl32(uint32_t x, int r) {
    return (x << r) | (x >> (32 - r));
}

inline uint32_t FinalMix(uint32_t h) {
    h ^= h >> 16;
    h *= 0x85ebca6b;
    h ^= h >> 13;
    h *= 0xc2b2ae35;
    h ^= h >> 16;
    return h;
}
} // namespace murmur_detail

inline uint32_t MurmurHash3_x86_32(const void* data, size_t length, uint32_t seed) {
    using murmur_detail::FinalMix;
    using murmur_detail::Rotl32;
    const auto* bytes = static_cast<const uint8_t*>(data);
    const size_t blocks = length / 4;
    constexpr uint32_t c1 = 0xcc9e2d51;
    constexpr uint32_t c2 = 0x1b873593;
    uint32_t h = seed;

    for (size_t i = 0; i < blocks; ++i) {
        uint32_t k;
        std::memcpy(&k, bytes + i * 4, 4);
        k *= c1;
        k = Rotl32(k, 15);
        k *= c2;
        h ^= k;
        h = Rotl32(h, 13);
        h = h * 5 + 0xe6546b64;
    }

    const uint8_t* tail = bytes + blocks * 4;
    uint32_t k = 0;
    switch (length & 3) {
        case 3: k ^= static_cast<uint32_t>(tail[2]) << 16; [[fallthrough]];
        case 2: k ^= static_cast<uint32_t>(tail[1]) << 8; [[fallthrough]];
        case 1:
            k ^= tail[0];
            k *= c1;
            k = Rotl32(k, 15);
            k *= c2;
            h ^= k;
    }

    h ^= static_cast<uint32_t>(length);
    return FinalMix(h);
}
