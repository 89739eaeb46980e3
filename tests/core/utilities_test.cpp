// Trimming and environment lookup.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "core/memory_manager.h"
#include "core/utilities.h"

TEST(Trim, StripsBlanksAndControlBytesButKeepsUtf8) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"  hello  ", "hello"},
        {"      ", ""},
        {"", ""},
        {"\t\r\n x y \x01\x1f", "x y"},
        {"caf\xC3\xA9", "caf\xC3\xA9"}, // a UTF-8 letter at the end stays whole
        {"\xC3\xA9t\xC3\xA9 ", "\xC3\xA9t\xC3\xA9"},
        {"\xE9", "\xE9"}, // bytes of 0x80 and above are never blanks
        {"\x7f", "\x7f"},
    };
    char* result = nullptr;
    for (const Case& c : cases) {
        Trim(result, c.text);
        ASSERT_NE(result, nullptr);
        EXPECT_STREQ(result, c.expected) << "text \"" << c.text << "\"";
    }
    Trim(result, nullptr);
    EXPECT_EQ(result, nullptr);
}

TEST(Trim, MayTrimTheStringItReplaces) {
    char* text = static_cast<char*>(ZQ_Alloc(16));
    std::strcpy(text, "  same  ");
    Trim(text, text);
    EXPECT_STREQ(text, "same");
    ZQ_Free(text);
}

TEST(EnvironmentGetVariable, CopiesTheValueOrGivesNull) {
    ASSERT_EQ(setenv("ZQ_TEST_VARIABLE", "value 1", 1), 0);
    char* value = EnvironmentGetVariable("ZQ_TEST_VARIABLE");
    ASSERT_NE(value, nullptr);
    EXPECT_STREQ(value, "value 1");
    ZQ_Free(value);

    ASSERT_EQ(setenv("ZQ_TEST_VARIABLE", "", 1), 0);
    value = EnvironmentGetVariable("ZQ_TEST_VARIABLE");
    ASSERT_NE(value, nullptr);
    EXPECT_STREQ(value, "");
    ZQ_Free(value);

    unsetenv("ZQ_TEST_VARIABLE");
    EXPECT_EQ(EnvironmentGetVariable("ZQ_TEST_VARIABLE"), nullptr);
    EXPECT_EQ(EnvironmentGetVariable(nullptr), nullptr);
}
