// MurmurHash3, x86 32-bit variant: the string hash of the runtime's hash maps.
#pragma once

#include <cstddef>
#include <cstdint>

uint32_t MurmurHash3_x86_32(const void* data, size_t length, uint32_t seed);
