// UTF-8 character routines.
#include "library/utf8.h"

#include <cstring>

uint16_t utf8_extract_char(const char** cursor) {
    const auto* p = reinterpret_cast<const unsigned char*>(*cursor);
    unsigned lead = p[0];
    if (lead < 0x80) {
        if (lead != 0) ++*cursor;
        return static_cast<uint16_t>(lead);
    }
    int length = (lead & 0x20) == 0 ? 2 : 3;
    unsigned next[2] = {0, 0};
    int read = 1;
    while (read < length && p[read] != 0) {
        next[read - 1] = p[read];
        ++read;
    }
    *cursor += read;
    if (length == 2) return static_cast<uint16_t>((lead & 0x1F) << 6 | (next[0] & 0x3F));
    return static_cast<uint16_t>((lead & 0x0F) << 12 | (next[0] & 0x3F) << 6 | (next[1] & 0x3F));
}

uint16_t utf8_get_char(const char* text) {
    return utf8_extract_char(&text);
}

int utf8_char_size(uint16_t code) {
    if (code <= 0x7F) return 1;
    if (code <= 0x7FF) return 2;
    return 3;
}

void utf8_add_char(char** cursor, uint16_t code) {
    auto* p = reinterpret_cast<unsigned char*>(*cursor);
    if (code < 0x80) {
        p[0] = static_cast<unsigned char>(code);
        *cursor += 1;
    } else if (code < 0x800) {
        p[0] = static_cast<unsigned char>(0xC0 | ((code >> 6) & 0x1F));
        p[1] = static_cast<unsigned char>(0x80 | (code & 0x3F));
        *cursor += 2;
    } else {
        p[0] = static_cast<unsigned char>(0xE0 | ((code >> 12) & 0x0F));
        p[1] = static_cast<unsigned char>(0x80 | ((code >> 6) & 0x3F));
        p[2] = static_cast<unsigned char>(0x80 | (code & 0x3F));
        *cursor += 3;
    }
}

int utf8_strlen(const char* text) {
    int count = 0;
    while (*text != '\0') {
        utf8_extract_char(&text);
        ++count;
    }
    return count;
}

const char* utf8_strrchr(const char* text, char c1, char c2) {
    int a = static_cast<signed char>(c1);
    int b = static_cast<signed char>(c2);
    const char* position = text + std::strlen(text);
    for (;;) {
        int code = utf8_get_char(position);
        if (code == a || code == b) return position;
        if (position == text) return nullptr;
        // Back one byte, then over continuation bytes to the character's lead.
        --position;
        while (position > text && (static_cast<unsigned char>(*position) & 0xC0) == 0x80) --position;
    }
}
