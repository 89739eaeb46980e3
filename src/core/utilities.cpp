// Environment lookup, trimming and the empty finaliser.
#include "core/utilities.h"

#include <cstdlib>
#include <cstring>

#include "core/memory_manager.h"
#include "core/ref_string.h"

namespace {

bool IsTrimmed(unsigned char c) {
    return c <= 0x20;
}

} // namespace

char* EnvironmentGetVariable(const char* name) {
    if (name == nullptr) return nullptr;
    const char* value = std::getenv(name);
    if (value == nullptr) return nullptr;
    return ZQStrNDup(value, std::strlen(value));
}

void Trim(char*& result, const char* text) {
    char* trimmed = nullptr;
    if (text != nullptr) {
        const auto* begin = reinterpret_cast<const unsigned char*>(text);
        const unsigned char* end = begin + std::strlen(text);
        while (begin < end && IsTrimmed(*begin)) ++begin;
        while (end > begin && IsTrimmed(end[-1])) --end;
        trimmed = ZQStrNDup(reinterpret_cast<const char*>(begin), static_cast<size_t>(end - begin));
    }
    // The copy is made before the old string is freed: text may point into it.
    ZQ_Free(result);
    result = trimmed;
}

void FINALIZE_All() {}
