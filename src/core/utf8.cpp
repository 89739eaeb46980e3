// UTF-8 decoding and encoding by lead-byte class: below 0x80 one byte; with
// bit 0x20 clear (0x80-0x9F, 0xC0-0xDF) two bytes; otherwise three bytes.
// A four-byte sequence therefore reads as a three-byte character followed by
// a stray continuation byte. Every step stops at a zero byte.
#include "core/utf8.h"

namespace {

inline unsigned Byte(const char* p) {
    return static_cast<unsigned char>(*p);
}

// Bytes the character at p announces: 1, 2 or 3.
inline int Announced(unsigned lead) {
    if (lead < 0x80) return 1;
    return (lead & 0x20) == 0 ? 2 : 3;
}

// Decodes the character at p; `length` receives the bytes consumed, which is
// fewer than announced when a zero byte cuts the sequence short.
uint16_t Decode(const char* p, int& length) {
    unsigned lead = Byte(p);
    int announced = Announced(lead);
    if (announced == 1) {
        length = 1;
        return static_cast<uint16_t>(lead);
    }
    unsigned second = Byte(p + 1);
    if (announced == 2) {
        length = second == 0 ? 1 : 2;
        return static_cast<uint16_t>((lead & 0x1F) << 6 | (second & 0x3F));
    }
    unsigned third = second == 0 ? 0 : Byte(p + 2);
    length = second == 0 ? 1 : (third == 0 ? 2 : 3);
    return static_cast<uint16_t>((lead & 0x0F) << 12 | (second & 0x3F) << 6 | (third & 0x3F));
}

inline const char* Step(const char* p) {
    int length;
    Decode(p, length);
    return p + length;
}

inline uint16_t FoldAscii(uint16_t code) {
    return code >= 'A' && code <= 'Z' ? code + ('a' - 'A') : code;
}

} // namespace

uint16_t utf8_extract_char(const char** cursor) {
    int length;
    uint16_t code = Decode(*cursor, length);
    *cursor += length;
    return code;
}

uint16_t utf8_extract_char(char** cursor) {
    const char* p = *cursor;
    uint16_t code = utf8_extract_char(&p);
    *cursor += p - *cursor;
    return code;
}

uint16_t utf8_get_char(const char* text) {
    int length;
    return Decode(text, length);
}

void utf8_add_char(char** cursor, uint16_t code) {
    auto* p = reinterpret_cast<unsigned char*>(*cursor);
    if (code < 0x80) {
        *p++ = static_cast<unsigned char>(code);
    } else if (code < 0x800) {
        *p++ = static_cast<unsigned char>(0xC0 | (code >> 6 & 0x1F));
        *p++ = static_cast<unsigned char>(0x80 | (code & 0x3F));
    } else {
        *p++ = static_cast<unsigned char>(0xE0 | (code >> 12 & 0x0F));
        *p++ = static_cast<unsigned char>(0x80 | (code >> 6 & 0x3F));
        *p++ = static_cast<unsigned char>(0x80 | (code & 0x3F));
    }
    *cursor = reinterpret_cast<char*>(p);
}

int utf8_char_size(uint16_t code) {
    return code <= 0x7F ? 1 : (code <= 0x7FF ? 2 : 3);
}

int utf8_strlen(const char* text) {
    int count = 0;
    for (const char* p = text; *p != '\0'; p = Step(p)) ++count;
    return count;
}

void utf8_strcpy(char* destination, const char* source) {
    while ((*destination++ = *source++) != '\0') {
    }
}

int utf8_strcmp(const char* a, const char* b) {
    for (;;) {
        int la, lb;
        uint16_t ca = Decode(a, la);
        uint16_t cb = Decode(b, lb);
        if (ca != cb) return ca - cb;
        if (*a == '\0' || *b == '\0') return 0;
        a += la;
        b += lb;
    }
}

int utf8_stricmp(const char* a, const char* b) {
    for (;;) {
        int la, lb;
        uint16_t ca = Decode(a, la);
        uint16_t cb = Decode(b, lb);
        if (FoldAscii(ca) != FoldAscii(cb)) return ca - cb;
        if (*a == '\0' || *b == '\0') return 0;
        a += la;
        b += lb;
    }
}

int utf8_strncmp(const char* a, const char* b, int n) {
    if (n == 0) return 0;
    while (*a != '\0' && n > 0 && *b != '\0') {
        if (utf8_get_char(a) != utf8_get_char(b)) break;
        a = Step(a);
        b = Step(b);
        --n;
    }
    // Every one of the n characters matched.
    if (n == 0) return 0;
    return utf8_get_char(a) - utf8_get_char(b);
}

const char* utf8_strstr(const char* haystack, const char* needle) {
    int characters = utf8_strlen(haystack);
    int needleLength = utf8_strlen(needle);
    const char* p = haystack;
    for (int k = 0; k < characters; ++k, p = Step(p)) {
        if (utf8_strncmp(p, needle, needleLength) == 0) return p;
    }
    return nullptr;
}

const char* utf8_strrchr(const char* text, char c1, char c2) {
    // Only characters below 0x80 can match: c1 and c2 are taken as signed bytes.
    const int want1 = static_cast<signed char>(c1);
    const int want2 = static_cast<signed char>(c2);
    const char* p = text;
    while (*p != '\0') ++p;
    for (;;) {
        int code = utf8_get_char(p);
        if (code == want1 || code == want2) return p;
        if (p == text) return nullptr;
        // Back one byte, then over continuation bytes, to a character's first byte.
        --p;
        while (p > text && Byte(p) >= 0x80 && Byte(p) <= 0xBF) --p;
    }
}
