// The text and memory helpers of compiled code, and string values made from
// compiled code's constant records.
#include <gtest/gtest.h>

#include <cstring>

#include "core/compiled_support.h"
#include "core/memory_manager.h"
#include "core/zq_rvalue.h"

TEST(CompiledSupport, TextHelpers) {
    EXPECT_EQ(ZQstrnlen("abc", 10), 3u);
    EXPECT_EQ(ZQstrnlen("abcdef", 4), 4u);
    EXPECT_EQ(ZQstrnlen(nullptr, 4), 0u);
    struct Case {
        const char* a;
        const char* b;
        const char* expected;
    } cases[] = {{"ab", "cd", "abcd"}, {"ab", nullptr, "ab"}, {nullptr, "cd", "cd"}, {"", "", ""}};
    for (const Case& c : cases) {
        char* joined = ZQVTL_AddString(c.a, c.b);
        ASSERT_NE(joined, nullptr);
        EXPECT_STREQ(joined, c.expected);
        ZQStrFree(joined);
    }
    EXPECT_EQ(ZQVTL_AddString(nullptr, nullptr), nullptr);
    auto* block = static_cast<char*>(ZQAlloc(4));
    std::memcpy(block, "abc", 4);
    block = static_cast<char*>(ZQRealloc(block, 300));
    EXPECT_STREQ(block, "abc");
    ZQFree(block);
}

// A constant record that compiled code keeps for the whole run: values made
// from it share it and never free it, also when they are the last to go.
TEST(CompiledSupport, ConstantStringRecordsAreShared) {
    static char text[] = "constant";
    static RefString constant = {text, 1, 8};
    {
        ZQRValue a;
        ZQSetString(&a, &constant);
        EXPECT_EQ(a.pRefString, &constant);
        EXPECT_EQ(constant.m_refCount, 2);
        ZQRValue b("other");
        ZQCreateString(&b, &constant);
        EXPECT_EQ(constant.m_refCount, 3);
        ZQCreateString(&b, &constant); // already holding it
        EXPECT_EQ(constant.m_refCount, 3);
        b += ZQRValue("!"); // shared: concatenation makes a record of its own
        EXPECT_STREQ(b.pRefString->Get(), "constant!");
        EXPECT_STREQ(text, "constant");
    }
    EXPECT_EQ(constant.m_refCount, 1);
}
