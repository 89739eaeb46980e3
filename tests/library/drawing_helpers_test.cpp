// The array builders and the text conversion that built-ins share.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/memory_manager.h"
#include "core/zq_rvalue.h"
#include "drawing_fixture.h"
#include "library/drawing_helpers.h"

namespace {

std::string TextOf(const RValue& v, int capacity) {
    char* text = nullptr;
    GetTextFromArg(&v, capacity, &text);
    EXPECT_NE(text, nullptr);
    std::string out = text != nullptr ? text : "<null>";
    ZQ_Free(text);
    return out;
}

TEST(DrawingHelpers, ArraysOfOneRow) {
    ZQRValue empty;
    CreateArray(&empty, 0);
    ASSERT_EQ(empty.Kind(), VALUE_ARRAY);
    ASSERT_EQ(empty.pRefArray->m_length, 1) << "one row, even when it is empty";
    EXPECT_EQ(empty.pRefArray->m_Array[0].length, 0);

    ZQRValue three;
    CreateArray(&three, 3, 1.5, -2.0, 1e300);
    EXPECT_EQ(DrawReals(three), (std::vector<double>{1.5, -2.0, 1e300}));
    ZQRValue copy = three; // arrays made here behave like any other
    EXPECT_EQ(DrawReals(copy), DrawReals(three));

    ZQRValue mixed;
    CreateArrayValOrString(&mixed, 3, 4.0, static_cast<const char*>(nullptr), 0.0, "bone", 7.0,
                           static_cast<const char*>(nullptr));
    ASSERT_EQ(mixed.Kind(), VALUE_ARRAY);
    const RValue* row = mixed.pRefArray->m_Array[0].arr;
    EXPECT_EQ(row[0].Kind(), VALUE_REAL);
    EXPECT_EQ(row[0].val, 4.0);
    ASSERT_EQ(row[1].Kind(), VALUE_STRING);
    EXPECT_STREQ(row[1].pRefString->Get(), "bone");
    EXPECT_EQ(row[2].val, 7.0);
}

// The block grows to whatever the value's text needs, from any start size.
TEST(DrawingHelpers, TextOfAnyValueInABlockThatFits) {
    const std::string long_text(5000, 'x');
    ZQRValue array;
    CreateArray(&array, 2, 1.0, 2.5);
    struct Case {
        ZQRValue value;
        std::string expected;
    };
    const Case cases[] = {
        {12.5, "12.50"},
        {3.0, "3"},
        {"hello", "hello"},
        {long_text.c_str(), long_text},
        {ZQRValue(), "undefined"},
        {array, "{ { 1,2.50 },  }"},
        {ZQRValue::FromInt64(-9), "-9"},
        {ZQRValue(static_cast<const char*>(nullptr)), ""},
    };
    for (const Case& c : cases) {
        for (int capacity : {1024, 1, 0, -5}) {
            EXPECT_EQ(TextOf(c.value, capacity), c.expected) << capacity;
        }
    }
}

} // namespace
