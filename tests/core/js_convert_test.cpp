// ToNumber of the script object runtime: the number grammar of texts, the
// other kinds, and the callable test.
#include <gtest/gtest.h>

#include <cmath>

#include "core/js_convert.h"
#include "core/object_base.h"
#include "error_capture.h"
#include "test_values.h"

namespace {

ZQObjectBase g_plainObject;

} // namespace

TEST(JSToNumber, Strings) {
    const double nan = NAN;
    const double inf = INFINITY;
    struct Case {
        const char* text;
        double number;
    } cases[] = {
        {"", 0},
        {"  ", 0},
        {" 12 ", 12},
        {"0x1A", 26},
        {"0X1A", 26},
        {"1X5", nan},
        {"0x", nan},
        {"0x1G", nan},
        {"0xFFFFFFFF", -1},
        {"0x100000001", 1},
        {" +Infinity ", inf},
        {"-Infinity", -inf},
        {"\tInfinity\n", inf},
        {"infinity", nan},
        {"1e3", 1000},
        {".5", 0.5},
        {"5.", 5},
        {"-2.5e-1", -0.25},
        {"12abc", nan},
        {"\xC2\xA0"
         "12\xE2\x80\xA8",
         12},
        {"\xE3\x80\x80"
         "7",
         7}, // ideographic space (Zs)
        {"+", nan},
        {"abc", nan},
        {"\xFF"
         "1",
         nan},
    };
    for (const Case& c : cases) {
        double d = JS_StringToNumber(c.text);
        if (std::isnan(c.number))
            EXPECT_TRUE(std::isnan(d)) << "'" << c.text << "' gave " << d;
        else
            EXPECT_EQ(d, c.number) << "'" << c.text << "'";
    }
    EXPECT_EQ(JS_StringToNumber(nullptr), 0.0);
}

TEST(JSToNumber, Kinds) {
    ErrorCapture errors;
    auto number = [](const RValue& in, int* status) {
        RValue out = OfKind(VALUE_UNSET);
        *status = F_JS_ToNumber(out, in);
        double d = out.Kind() == VALUE_REAL ? out.val : -12345;
        FREE_RValue(&out);
        return d;
    };
    int status;
    EXPECT_EQ(number(Real(1.5), &status), 1.5);
    EXPECT_EQ(number(Bool(true), &status), 1.0);
    EXPECT_EQ(number(Int32(-4), &status), -4.0);
    EXPECT_EQ(number(Int64(int64_t{1} << 40), &status), 1099511627776.0);
    EXPECT_TRUE(std::isnan(number(RValue_Undefined(), &status)));
    EXPECT_EQ(number(OfKind(VALUE_NULL), &status), 0.0);
    EXPECT_EQ(number(OfKind(VALUE_ARRAY), &status), -12345) << "other kinds leave out as it was";
    EXPECT_EQ(status, JS_CONVERT_DONE);
    RValue object = OfKind(VALUE_OBJECT);
    object.pObj = &g_plainObject;
    number(object, &status);
    EXPECT_EQ(status, JS_CONVERT_FAILED);

    EXPECT_FALSE(JS_IsCallable(Real(1)));
    EXPECT_FALSE(JS_IsCallable(object));
    ZQObjectBase callable;
    callable.m_kind = OBJECT_KIND_SCRIPTREF;
    object.pObj = &callable;
    EXPECT_TRUE(JS_IsCallable(object));
    EXPECT_EQ(errors.Count(), 0);
    EXPECT_FALSE(JS_IsCallable(OfKind(VALUE_VEC3)));
    EXPECT_EQ(errors.LastMessage(), "unhandled type for JS_IsCallable 4");
}
