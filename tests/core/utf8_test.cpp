// UTF-8 decoding, measuring, comparing and searching.
#include <gtest/gtest.h>

#include <cstring>

#include "core/utf8.h"

TEST(Utf8, DecodesAndEncodesBmpCharacters) {
    struct Case {
        const char* bytes;
        uint16_t code;
        int size;
    } cases[] = {{"A", 0x41, 1}, {"\xC3\xA9", 0xE9, 2}, {"\xE2\x82\xAC", 0x20AC, 3}, {"\x7F", 0x7F, 1}};
    for (const Case& c : cases) {
        const char* cursor = c.bytes;
        EXPECT_EQ(utf8_extract_char(&cursor), c.code) << c.bytes;
        EXPECT_EQ(cursor, c.bytes + c.size);
        char out[4] = {};
        char* w = out;
        utf8_add_char(&w, c.code);
        EXPECT_EQ(w - out, c.size);
        EXPECT_EQ(std::memcmp(out, c.bytes, static_cast<size_t>(c.size)), 0);
    }
    EXPECT_EQ(utf8_char_size(0x7F), 1);
    EXPECT_EQ(utf8_char_size(0x80), 2);
    EXPECT_EQ(utf8_char_size(0x7FF), 2);
    EXPECT_EQ(utf8_char_size(0x800), 3);
}

TEST(Utf8, FourByteSequencesSplitAndCutSequencesStopAtTheTerminator) {
    const char* emoji = "\xF0\x9F\x98\x80";
    EXPECT_EQ(utf8_strlen(emoji), 2);
    const char* cursor = emoji;
    EXPECT_EQ(utf8_extract_char(&cursor), 0x07D8);
    EXPECT_EQ(cursor, emoji + 3);

    // A three-byte lead with one byte before the terminator: one character,
    // missing bytes as 0, the cursor on the terminator.
    const char cut[] = {'\xE2', '\x82', '\0', 'X', '\0'};
    cursor = cut;
    EXPECT_EQ(utf8_extract_char(&cursor), 0x2080);
    EXPECT_EQ(cursor, cut + 2);
    EXPECT_EQ(utf8_strlen(cut), 1) << "the byte after the terminator is never reached";
}

TEST(Utf8, CompareAndSearch) {
    EXPECT_EQ(utf8_strcmp("abc", "abc"), 0);
    EXPECT_LT(utf8_strcmp("abc", "abd"), 0);
    EXPECT_EQ(utf8_strcmp("ab", "abc"), -'c');
    EXPECT_EQ(utf8_stricmp("ABC", "abc"), 0);
    EXPECT_EQ(utf8_stricmp("\xC3\x89", "\xC3\xA9"), 0xC9 - 0xE9) << "only A-Z fold";
    EXPECT_EQ(utf8_strncmp("abc", "abd", 2), 0);
    EXPECT_EQ(utf8_strncmp("abc", "abd", 3), -1);
    EXPECT_EQ(utf8_strncmp("abc", "xyz", 0), 0);
    EXPECT_EQ(utf8_strncmp("abc", "xbc", -1), 'a' - 'x');

    const char* text = "h\xC3\xA9llo w\xC3\xB6rld";
    EXPECT_EQ(utf8_strstr(text, "llo"), text + 3);
    EXPECT_EQ(utf8_strstr(text, "w\xC3\xB6"), text + 7);
    EXPECT_EQ(utf8_strstr(text, "xyz"), nullptr);
    EXPECT_EQ(utf8_strstr(text, ""), text);
    EXPECT_EQ(utf8_strstr("", ""), nullptr);

    const char* path = "dir\\sub/file.txt";
    EXPECT_EQ(utf8_strrchr(path, '/', '\\'), path + 7);
    EXPECT_EQ(utf8_strrchr("file.txt", '/', '\\'), nullptr);
    const char* accented = "\xC3\xA9x.y";
    EXPECT_EQ(utf8_strrchr(accented, '.', '.'), accented + 3);
    EXPECT_EQ(utf8_strrchr(accented, 0, 0), accented + 5) << "0 finds the terminator";
}
