// Arbitrary bytes through every UTF-8 routine: none may read past the
// terminator or write past the text.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/timing_source.h"
#include "core/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    const char* s = text.data();
    size_t half = size / 2;
    std::vector<char> other(data + half, data + size);
    other.push_back('\0');

    int characters = utf8_strlen(s);
    const char* cursor = s;
    for (int i = 0; i < characters; ++i) utf8_extract_char(&cursor);
    if (*cursor != '\0') __builtin_trap();
    utf8_strcmp(s, other.data());
    utf8_stricmp(s, other.data());
    utf8_strncmp(s, other.data(), static_cast<int>(size % 7) - 1);
    utf8_strstr(s, other.data());
    utf8_strrchr(s, '/', '\\');

    std::vector<char> copy(text);
    if (String_Replace_Hash(copy.data()) > characters) __builtin_trap();
    return 0;
}
