// Reading saved values from arbitrary bytes: never crashes, leaks or reads
// out of bounds, and whatever it accepts serialises back to bytes that read
// back to the same value.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/buffer.h"
#include "core/rvalue.h"

namespace {

std::vector<unsigned char> Serialise(const RValue& v) {
    Buffer_Standard buffer(0, eBuffer_Format_Grow, 1);
    v.Serialise(&buffer);
    return std::vector<unsigned char>(buffer.Data(), buffer.Data() + buffer.Tell());
}

bool Read(std::vector<unsigned char>& bytes, RValue* v) {
    Buffer_Standard buffer(bytes.data(), static_cast<int>(bytes.size()), eBuffer_Format_Fixed, 1, false);
    return v->DeSerialise(&buffer);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<unsigned char> input(data, data + size);
    RValue value = RValue_Undefined();
    if (Read(input, &value)) {
        std::vector<unsigned char> first = Serialise(value);
        RValue again = RValue_Undefined();
        if (!Read(first, &again)) std::abort();
        if (Serialise(again) != first) std::abort();
        FREE_RValue(&again);
    }
    FREE_RValue(&value);
    return 0;
}
