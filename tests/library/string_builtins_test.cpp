// String built-ins: text forms, character positions over UTF-8 ("héllo" has
// a two-byte character), byte access, the search and replace walks, and the
// bounds a script cannot push a result past.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "error_capture.h"
#include "builtin_call.h"
#include "core/memory_manager.h"
#include "library/string_builtins.h"

namespace {

const char* const kHello = "h\xC3\xA9llo"; // h, é, l, l, o

std::string Str(const char* name, std::vector<ZQRValue> args) {
    return Text(CallBuiltin(name, std::move(args)));
}
double Real(const char* name, std::vector<ZQRValue> args) {
    ZQRValue r = CallBuiltin(name, std::move(args));
    EXPECT_EQ(r.Kind(), VALUE_REAL) << name;
    return r.val;
}

TEST(StringBuiltins, TextForms) {
    EXPECT_EQ(Str("string", {3.0}), "3");
    EXPECT_EQ(Str("string", {-0.0}), "0");
    EXPECT_EQ(Str("string", {3.14159}), "3.14");
    EXPECT_EQ(Str("string", {2.5}), "2.50");
    EXPECT_EQ(Str("string", {1e20}), "100000000000000000000.00");
    EXPECT_EQ(Str("string", {Bool(true)}), "1");
    EXPECT_EQ(Str("string", {ZQRValue()}), "undefined");
    EXPECT_EQ(Str("string", {ZQRValue("text")}), "text");

    EXPECT_EQ(Real("real", {ZQRValue("  12.5xyz")}), 12.5);
    EXPECT_EQ(Real("real", {ZQRValue("abc")}), 0.0);
    ZQRValue i = CallBuiltin("int64", {ZQRValue("-42")});
    EXPECT_EQ(i.Kind(), VALUE_INT64);
    EXPECT_EQ(i.v64, -42);
    ZQRValue p = CallBuiltin("ptr", {ZQRValue("ff")});
    EXPECT_EQ(p.Kind(), VALUE_PTR);
    EXPECT_EQ(reinterpret_cast<intptr_t>(p.ptr), 0xff);

    char* direct = ZQVTL_string(ZQRValue(3.14159));
    EXPECT_STREQ(direct, "3.14");
    ZQ_Free(direct);
}

TEST(StringBuiltins, FormatSizesItsTextForAnyWidth) {
    EXPECT_EQ(Str("string_format", {3.14159, 3.0, 2.0}), " 3.14") << "width total + decimals";
    EXPECT_EQ(Str("string_format", {3.14159, 5.0, 2.0}), "   3.14");
    EXPECT_EQ(Str("string_format", {ZQRValue("as is"), 30.0, 2.0}), "as is");
    EXPECT_EQ(Str("string_format", {-3.14159, -9.0, 2.0}), "-3.14  ") << "a negative width left-justifies";
    EXPECT_EQ(Str("string_format", {2.5, 1.0, -3.0}), "2 ") << "a negative precision counts as 0";
    // Widths and values far past any fixed buffer.
    EXPECT_EQ(Str("string_format", {1.0, 1000.0, 0.0}).size(), 1000u);
    EXPECT_EQ(Str("string_format", {1e300, 0.0, 2.0}).size(), 304u);
    EXPECT_EQ(Str("string_format", {1.0, 2147483647.0, 2147483647.0}).size(), 1u << 20)
        << "an absurd width is held to the widest text allowed";
}

TEST(StringBuiltins, CharactersCodesAndBytes) {
    EXPECT_EQ(Str("chr", {0x20AC}), "\xE2\x82\xAC");
    EXPECT_EQ(Str("chr", {0xE9}), "\xC3\xA9");
    EXPECT_EQ(Str("chr", {0x41}), "A");
    EXPECT_EQ(Str("chr", {0}), "");
    EXPECT_EQ(Str("chr", {-1}), "\x7F") << "a negative code keeps its low 7 bits";
    EXPECT_EQ(Str("chr", {0x10041}), "\xE0\x81\x81") << "codes past 16 bits keep bits 0-15 in three bytes";
    EXPECT_EQ(Str("ansi_char", {0x1E9}), "\xE9");
    EXPECT_EQ(Real("ord", {ZQRValue("\xE2\x82\xAC")}), 8364.0);
    EXPECT_EQ(Real("ord", {ZQRValue("")}), 0.0);
    EXPECT_EQ(ZQVTL_ord(nullptr), 0);

    EXPECT_EQ(Real("string_length", {ZQRValue(kHello)}), 5.0);
    EXPECT_EQ(Real("string_byte_length", {ZQRValue(kHello)}), 6.0);
    // Bytes read as signed 8-bit numbers; positions clamp to the text.
    EXPECT_EQ(Real("string_byte_at", {ZQRValue("\xC3\xA9"), 1.0}), -61.0);
    EXPECT_EQ(Real("string_byte_at", {ZQRValue("\xC3\xA9"), 5.0}), -87.0);
    EXPECT_EQ(Real("string_byte_at", {ZQRValue("abc"), -4.0}), 97.0);
    EXPECT_EQ(Real("string_byte_at", {ZQRValue(""), 1.0}), 0.0) << "an empty text has no byte to read";
    EXPECT_EQ(ZQVTL_StringByteAt("\xC3\xA9", 2), -87.0);
    EXPECT_EQ(ZQVTL_StringByteAt("", 0), 0.0);

    ErrorCapture errors;
    EXPECT_EQ(Str("string_set_byte_at", {ZQRValue("abc"), 2.0, 0x158}), "aXc");
    EXPECT_EQ(Str("string_set_byte_at", {ZQRValue("abc"), 2.0, 0.0}), "a") << "a zero byte cuts the text";
    EXPECT_TRUE(errors.Shown().empty());
    EXPECT_EQ(Str("string_set_byte_at", {ZQRValue("abc"), 4.0, 65.0}), "abc");
    EXPECT_TRUE(errors.ShownContains("string_set_byte_at : index beyond end of string"));
}

TEST(StringBuiltins, PositionsCountCharactersFromOne) {
    struct Case {
        const char* name;
        std::vector<ZQRValue> args;
        const char* expected;
    };
    Case cases[] = {
        {"string_copy", {ZQRValue(kHello), 2.0, 3.0}, "\xC3\xA9ll"},
        {"string_copy", {ZQRValue(kHello), 0.0, 2.0}, "h\xC3\xA9"},
        {"string_copy", {ZQRValue(kHello), 9.0, 2.0}, ""},
        {"string_copy", {ZQRValue(kHello), 4.0, -1.0}, ""},
        {"string_copy", {ZQRValue(kHello), 4.0, 100.0}, "lo"},
        {"string_copy", {ZQRValue("ab\xE2\x82"), 3.0, 5.0}, "\xE2\x82"}, // cut short: bytes kept as they are
        {"string_char_at", {ZQRValue("abc"), 0.0}, "a"},
        {"string_char_at", {ZQRValue("abc"), 3.0}, "c"},
        {"string_char_at", {ZQRValue("abc"), 4.0}, ""},
        {"string_char_at", {ZQRValue(kHello), 2.0}, "\xC3\xA9"},
        {"string_char_at", {ZQRValue(""), 1.0}, ""},
        {"string_delete", {ZQRValue("abcdef"), 3.0, 10.0}, "ab"},
        {"string_delete", {ZQRValue("abcdef"), 7.0, 1.0}, "abcdef"},
        {"string_delete", {ZQRValue("abcdef"), 0.0, 1.0}, "abcdef"},
        {"string_delete", {ZQRValue(kHello), 2.0, 1.0}, "hllo"},
        {"string_insert", {ZQRValue("X"), ZQRValue("abc"), 0.0}, "Xabc"},
        {"string_insert", {ZQRValue("X"), ZQRValue("abc"), 2.0}, "aXbc"},
        {"string_insert", {ZQRValue("X"), ZQRValue("abc"), 9.0}, "abcX"},
        {"string_insert", {ZQRValue("\xE2\x82\xAC"), ZQRValue(kHello), 3.0}, "h\xC3\xA9\xE2\x82\xACllo"},
        {"string_replace", {ZQRValue("aaa"), ZQRValue("a"), ZQRValue("b")}, "baa"},
        {"string_replace_all", {ZQRValue("aaa"), ZQRValue("aa"), ZQRValue("b")}, "ba"},
        {"string_replace_all", {ZQRValue("abab"), ZQRValue("b"), ZQRValue("bb")}, "abbabb"},
        {"string_replace_all", {ZQRValue(kHello), ZQRValue("\xC3\xA9"), ZQRValue("e")}, "hello"},
        {"string_replace_all", {ZQRValue("abc"), ZQRValue(""), ZQRValue("x")}, "abc"},
        {"string_replace_all", {ZQRValue(""), ZQRValue("a"), ZQRValue("x")}, ""},
        {"string_hash_to_newline", {ZQRValue("a#b")}, "a\r\nb"},
        {"string_hash_to_newline", {ZQRValue("a\\#b")}, "a\\#b"},
        {"string_hash_to_newline", {ZQRValue("#")}, "\r\n"},
        {"string_hash_to_newline", {12.0}, "12"},
        {"string_letters", {ZQRValue("a1-B\xC3\xA9z9")}, "aBz"},
        {"string_digits", {ZQRValue("a1-B\xC3\xA9z9")}, "19"},
        {"string_lettersdigits", {ZQRValue("a1-B\xC3\xA9z9")}, "a1Bz9"},
        {"string_repeat", {ZQRValue("ab"), 3.0}, "ababab"},
        {"string_repeat", {ZQRValue("ab"), -1.0}, ""},
        {"string_lower", {ZQRValue("AbC1")}, "abc1"},
        {"string_upper", {ZQRValue("AbC1")}, "ABC1"},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " expecting \"" << c.expected << "\"");
        EXPECT_EQ(Str(c.name, std::move(c.args)), c.expected);
    }
}

TEST(StringBuiltins, SearchesAndCounts) {
    EXPECT_EQ(Real("string_pos", {ZQRValue("b"), ZQRValue("abc")}), 2.0);
    EXPECT_EQ(Real("string_pos", {ZQRValue(""), ZQRValue("abc")}), 0.0);
    EXPECT_EQ(Real("string_pos", {ZQRValue("a"), ZQRValue("")}), 0.0);
    EXPECT_EQ(Real("string_pos", {ZQRValue("l"), ZQRValue(kHello)}), 3.0) << "characters, not bytes";
    EXPECT_EQ(Real("string_pos", {ZQRValue("x"), ZQRValue("abc")}), 0.0);
    EXPECT_EQ(Real("string_ord_at", {ZQRValue("abc"), 4.0}), -1.0);
    EXPECT_EQ(Real("string_ord_at", {ZQRValue(kHello), 2.0}), 0xE9);
    EXPECT_EQ(Real("string_ord_at", {ZQRValue(""), 1.0}), -1.0);
    EXPECT_EQ(Real("string_count", {ZQRValue("aa"), ZQRValue("aaa")}), 2.0);
    EXPECT_EQ(Real("string_count", {ZQRValue(""), ZQRValue("abc")}), 3.0) << "once per byte";
    EXPECT_EQ(Real("string_count", {ZQRValue("a"), ZQRValue("")}), 0.0);
    EXPECT_EQ(Real("string_count", {ZQRValue("\xC3\xA9"), ZQRValue(kHello)}), 1.0);
}

TEST(StringBuiltins, RepeatRefusesAResultTooLongForAString) {
    ErrorCapture errors;
    EXPECT_EQ(Str("string_repeat", {ZQRValue("abcdefgh"), 2147483647.0}), "");
    EXPECT_TRUE(errors.ShownContains("string_repeat"));
}

// Case mapping follows the user's environment locale for the call only.
TEST(StringBuiltins, CaseMappingUsesTheEnvironmentLocale) {
    {
        ScopedEnv locale("LC_ALL", "C");
        EXPECT_EQ(Str("string_upper", {ZQRValue(kHello)}), "H\xC3\xA9LLO") << "the C locale maps A-Z only";
    }
    ScopedEnv locale("LC_ALL", "C.UTF-8");
    EXPECT_EQ(Str("string_upper", {ZQRValue(kHello)}), "H\xC3\x89LLO");
    EXPECT_EQ(Str("string_lower", {ZQRValue("\xC3\x89T\xC3\x89")}), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(Str("string_lower", {ZQRValue("\xE2\x82\xAC")}), "\xE2\x82\xAC");
    EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C") << "the process locale is untouched";
}

TEST(StringBuiltins, AsciiOnlyCopy) {
    char* ascii = UTF8ToASCII(kHello);
    EXPECT_STREQ(ascii, "hllo");
    ZQ_Free(ascii);
    EXPECT_EQ(UTF8ToASCII(""), nullptr);
    EXPECT_EQ(UTF8ToASCII(nullptr), nullptr);
}

} // namespace
