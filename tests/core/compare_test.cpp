// The value comparison: the table of kind pairs, the tolerance, and the
// guarantees that sorting relies on (every value equals itself, swapping the
// operands negates the result).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/compare.h"
#include "core/object_base.h"
#include "core/value_text.h"
#include "core/zq_rvalue.h"

namespace {

ZQRValue OfKind(uint32_t kind, void* payload = nullptr) {
    ZQRValue v;
    v.ptr = payload;
    v.kind = kind;
    return v;
}

ZQRValue NoRecordString() {
    return OfKind(VALUE_STRING);
}

} // namespace

TEST(CompareVal, TableOfKindPairs) {
    struct Case {
        ZQRValue a, b;
        double epsilon;
        int expected;
        const char* why;
    };
    std::vector<Case> cases = {
        {ZQRValue(1.0), ZQRValue(2.0), 1e-8, -1, "reals"},
        {ZQRValue(0.1 + 0.2), ZQRValue(0.3), 1e-8, 0, "within the tolerance"},
        {ZQRValue(1.0), ZQRValue(1.4), 0.5, 0, "a wide tolerance"},
        {ZQRValue(NAN), ZQRValue(1.0), 1e-8, 0, "a NaN difference"},
        {ZQRValue::FromBool(true), ZQRValue(0.5), 1e-8, 1, "bool against real"},
        {ZQRValue::FromInt32(5), ZQRValue(5.0), 1e-8, 0, "int32 equals the same real"},
        {ZQRValue(16777217.0), ZQRValue::FromInt32(16777216), 0, 0, "single precision for real and int32"},
        {ZQRValue::FromInt32(2147483647), ZQRValue::FromInt32(-1), 1e-8, 1, "int32 by value"},
        {ZQRValue::FromInt64(5), ZQRValue(5.9), 1e-8, 0, "the real is truncated against int64"},
        {ZQRValue(-5.9), ZQRValue::FromInt64(-5), 1e-8, 0, "truncated toward zero"},
        {ZQRValue::FromInt32(-1), ZQRValue::FromInt64(int64_t{1} << 40), 1e-8, -1, "int32 sign-extended"},
        {ZQRValue::FromBool(true), ZQRValue::FromInt32(1), 1e-8, 0, "bool as an integer"},
        {ZQRValue(1.0), ZQRValue("a"), 1e-8, -1, "a real sorts before a string"},
        {ZQRValue("a"), ZQRValue(1.0), 1e-8, 1, "a string after a real"},
        {ZQRValue("abc"), ZQRValue("abd"), 1e-8, -1, "strings by bytes"},
        {ZQRValue("\xC3\xA9"), ZQRValue("z"), 1e-8, 1, "bytes compare unsigned"},
        {NoRecordString(), ZQRValue(""), 1e-8, 0, "no record reads as empty"},
        {NoRecordString(), ZQRValue("x"), 1e-8, -1, "no record before a text"},
        {ZQRValue(), ZQRValue(), 1e-8, 0, "undefined"},
        {OfKind(VALUE_NULL), OfKind(VALUE_NULL), 1e-8, 0, "null"},
        {OfKind(VALUE_PTR, reinterpret_cast<void*>(0x1000)),
         OfKind(VALUE_PTR, reinterpret_cast<void*>(0x2000)), 1e-8, 1, "a lower pointer sorts after"},
        {ZQRValue("s"), ZQRValue(), 1e-8, -1, "other kinds by kind number"},
        {ZQRValue::FromInt32(0), ZQRValue("0"), 1e-8, -1, "every number before every other kind"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(ZQCompareVal(c.a, c.b, c.epsilon), c.expected);
        EXPECT_EQ(ZQCompareVal(c.b, c.a, c.epsilon), -c.expected);
    }
}

TEST(CompareVal, IdentityKinds) {
    ZQObjectBase first;
    ZQObjectBase second;
    ZQRValue a = OfKind(VALUE_OBJECT, &first);
    ZQRValue b = OfKind(VALUE_OBJECT, &second);
    EXPECT_EQ(ZQCompareVal(a, a, 0), 0); // an object equals itself
    EXPECT_NE(ZQCompareVal(a, b, 0), 0);
    ZQRValue array;
    RValue one = RValue_Real(1);
    SET_RValue(&array, &one, 0);
    ZQRValue shared = array;
    ZQRValue other;
    SET_RValue(&other, &one, 0);
    EXPECT_EQ(ZQCompareVal(array, shared, 0), 0);
    EXPECT_NE(ZQCompareVal(array, other, 0), 0); // equal contents, different records
}

// Every value equals itself and swapping the operands negates the result,
// across every pair of a set that covers each kind.
TEST(CompareVal, ReflexiveAndAntisymmetric) {
    ZQObjectBase object;
    std::vector<ZQRValue> values = {
        ZQRValue(0.0),
        ZQRValue(-2.5),
        ZQRValue(NAN),
        ZQRValue(1e300),
        ZQRValue::FromInt32(-3),
        ZQRValue::FromInt32(7),
        ZQRValue::FromInt64(7),
        ZQRValue::FromBool(true),
        ZQRValue("b"),
        ZQRValue(""),
        NoRecordString(),
        ZQRValue(),
        OfKind(VALUE_NULL),
        OfKind(VALUE_UNSET),
        OfKind(VALUE_OBJECT, &object),
        OfKind(VALUE_PTR, &object),
        OfKind(VALUE_VEC3),
        OfKind(VALUE_ITERATOR),
    };
    ZQRValue array;
    RValue one = RValue_Real(1);
    SET_RValue(&array, &one, 0);
    values.push_back(array);
    for (size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(ZQCompareVal(values[i], values[i], 1e-8), 0) << i;
        for (size_t j = 0; j < values.size(); ++j)
            EXPECT_EQ(ZQCompareVal(values[i], values[j], 1e-8), -ZQCompareVal(values[j], values[i], 1e-8))
                << i << " " << j;
    }
}
