// Small text helpers.
#include "core/text_util.h"

#include <cctype>
#include <cstdint>

char* zqitoa(int value, char* buffer, int base) {
    char* out = buffer;
    if (base < 2 || base > 36) {
        *out = '\0';
        return buffer;
    }
    // Work on the magnitude as unsigned so that INT_MIN has one.
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    char digits[33];
    int count = 0;
    do {
        digits[count++] = "0123456789abcdefghijklmnopqrstuvwxyz"[magnitude % static_cast<uint32_t>(base)];
        magnitude /= static_cast<uint32_t>(base);
    } while (magnitude != 0);
    if (value < 0) *out++ = '-';
    while (count > 0) *out++ = digits[--count];
    *out = '\0';
    return buffer;
}

char* strlwr(char* text) {
    for (char* p = text; p != nullptr && *p != '\0'; ++p)
        *p = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    return text;
}

char* strupr(char* text) {
    for (char* p = text; p != nullptr && *p != '\0'; ++p)
        *p = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    return text;
}

int TextToInt(const char* text) {
    if (text == nullptr) return 0;
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    int64_t magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > int64_t{INT32_MAX} + 1) magnitude = int64_t{INT32_MAX} + 1;
    }
    int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX) value = INT32_MAX;
    return static_cast<int>(value);
}
