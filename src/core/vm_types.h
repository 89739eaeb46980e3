// Bytecode instruction words as the load-time walkers see them: the operand
// flag and the operand size of an instruction's first type.
#pragma once

#include <cstdint>

// Bit 30 of an instruction word: an operand follows the word.
inline constexpr uint32_t VM_OPERAND_FLAG = 0x40000000u;

// Operand size in bytes of the first type (bits 16 to 19 of the word):
// double 8, float 4, int32 4, int64 8, bool 4, variable 4, string 4; the
// other types have no operand bytes as far as the load-time walkers go.
inline int ParamSize(int type) {
    static constexpr int8_t kSizes[16] = {8, 4, 4, 8, 4, 4, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    return kSizes[type & 0xF];
}
