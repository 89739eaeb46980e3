// Values in compiled code: the operator table (result kind and value per pair
// of kinds), integer wrap-around and division edge cases, string
// concatenation, increment and decrement, equality within the tolerance,
// indexing with its messages, aliasing of operands, and the string builder.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "core/memory_manager.h"
#include "core/str_builder.h"
#include "core/value_text.h"
#include "core/zq_rvalue.h"
#include "error_capture.h"
#include "library/math_builtins.h"
#include "test_values.h"

namespace {

// "kind:text", e.g. "int32:3" or "number:3.50".
std::string Describe(const RValue& v) {
    return std::string(KindName(v.kind)) + ":" + Text(v);
}

// A value holding an array of the given reals in row 0.
ZQRValue Array(std::initializer_list<double> values) {
    ZQRValue a;
    int i = 0;
    for (double d : values) {
        RValue element = RValue_Real(d);
        SET_RValue(&a, &element, i++);
    }
    return a;
}

class EpsilonGuard {
public:
    EpsilonGuard() : m_saved(g_VTLMathEpsilon) {}
    ~EpsilonGuard() { g_VTLMathEpsilon = m_saved; }

private:
    double m_saved;
};

} // namespace

TEST(ZQRValue, LayoutAndConstruction) {
    static_assert(sizeof(ZQRValue) == 16);
    EXPECT_EQ(Describe(ZQRValue()), "undefined:undefined");
    EXPECT_EQ(Describe(ZQRValue(3)), "number:3");
    EXPECT_EQ(Describe(ZQRValue(2.5)), "number:2.50");
    EXPECT_EQ(Describe(ZQRValue("hi")), "string:hi");
    ZQRValue s("shared");
    ZQRValue copy(s);
    EXPECT_EQ(s.pRefString->m_refCount, 2);
    ZQRValue moved(std::move(copy));
    EXPECT_EQ(s.pRefString->m_refCount, 2);
    EXPECT_EQ(copy.Kind(), VALUE_UNDEFINED);
}

// The compound assignments by the kinds of both operands.
TEST(ZQRValue, OperatorTable) {
    struct Case {
        ZQRValue lhs;
        char op;
        ZQRValue rhs;
        const char* expected;
    };
    std::vector<Case> cases = {
        // real and bool keep their kind and use the right side's real value.
        {ZQRValue(1.5), '+', ZQRValue(2), "number:3.50"},
        {ZQRValue(1), '+', I32(2), "number:3"},
        {ZQRValue(1), '+', I64(2), "number:3"},
        {ZQRValue(1), '+', ZQRValue("2"), "number:3"},
        {ZQRValue::FromBool(true), '+', ZQRValue(2), "bool:1"},
        {ZQRValue(7), '/', I32(2), "number:3.50"},
        {ZQRValue(1), '/', ZQRValue(0), "number:inf"},
        {ZQRValue(7.5), '%', I32(2), "number:1.50"},
        {ZQRValue(1.5), '-', I32(-2), "number:3.50"},
        {ZQRValue(2.5), '*', I32(-2), "number:-5"},
        // int32 wraps in 32 bits; the right side is truncated for + and -.
        {I32(2147483647), '+', I32(1), "int32:-2147483648"},
        {I32(5), '+', ZQRValue(2.7), "int32:7"},
        {I32(1), '+', I64((int64_t{1} << 32) + 5), "int32:6"},
        {I32(5), '-', ZQRValue(2.5), "int32:3"},
        {I32(-2147483647 - 1), '-', I32(1), "int32:2147483647"},
        {I32(65536), '*', I32(65536), "int32:0"},
        {I32(-3), '*', I64(2), "int64:-6"},
        {I32(3), '*', ZQRValue(1.5), "number:4.50"},
        {I32(-3), '*', ZQRValue(0.5), "number:-1.50"},
        {I32(-7), '/', ZQRValue(2), "number:-3.50"},
        {I32(7), '/', I32(2), "int32:3"},
        {I32(-7), '/', I32(2), "int32:-3"},
        {I32(7), '/', ZQRValue(2), "number:3.50"},
        {I32(9), '/', I64(2), "int64:4"},
        {I32(7), '%', I32(3), "int32:1"},
        {I32(-7), '%', I32(3), "int32:-1"},
        // int64 wraps in 64 bits; int32 right sides are sign-extended.
        {I64(5), '+', I32(-7), "int64:-2"},
        {I64(INT64_MAX), '+', I64(1), "int64:-9223372036854775808"},
        {I64(3), '-', ZQRValue(1.9), "int64:2"},
        {I64(3), '*', I32(-2), "int64:-6"},
        {I64(3), '*', ZQRValue(0.5), "number:1.50"},
        {I64(-9), '/', I32(2), "int64:-4"},
        {I64(7), '%', I32(4), "int64:3"},
        // Integer division and remainder never trap.
        {I32(-2147483647 - 1), '/', I32(-1), "int32:-2147483648"},
        {I32(-2147483647 - 1), '%', I32(-1), "int32:0"},
        {I32(7), '/', I32(0), "number:inf"},
        {I32(-7), '/', I32(0), "number:-inf"},
        {I32(0), '/', I32(0), "number:nan"},
        {I32(7), '%', I32(0), "number:nan"},
        {I64(INT64_MIN), '/', I32(-1), "int64:-9223372036854775808"},
        {I64(INT64_MIN), '%', I64(-1), "int64:0"},
        {I64(9), '/', I64(0), "number:inf"},
        // Strings concatenate.
        {ZQRValue("ab"), '+', ZQRValue("cd"), "string:abcd"},
        {ZQRValue(""), '+', ZQRValue("x"), "string:x"},
    };
    ErrorCapture errors;
    for (Case& c : cases) {
        SCOPED_TRACE(Describe(c.lhs) + " " + c.op + " " + Describe(c.rhs));
        ZQRValue result;
        switch (c.op) {
            case '+': result = c.lhs + c.rhs; break;
            case '-': result = c.lhs - c.rhs; break;
            case '*': result = c.lhs * c.rhs; break;
            case '/': result = c.lhs / c.rhs; break;
            case '%': result = c.lhs % c.rhs; break;
        }
        EXPECT_EQ(Describe(result), c.expected);
        // The binary form leaves its operands alone; the compound form matches it.
        ZQRValue compound(c.lhs);
        switch (c.op) {
            case '+': compound += c.rhs; break;
            case '-': compound -= c.rhs; break;
            case '*': compound *= c.rhs; break;
            case '/': compound /= c.rhs; break;
            case '%': compound %= c.rhs; break;
        }
        EXPECT_EQ(Describe(compound), c.expected);
    }
    EXPECT_EQ(errors.Count(), 0) << errors.LastMessage();
}

TEST(ZQRValue, PlainNumberOperands) {
    ErrorCapture errors;
    EXPECT_EQ(Describe(ZQRValue(1) + 2), "number:3");
    EXPECT_EQ(Describe(I32(1) + 2.9), "int32:3"); // the double is truncated
    EXPECT_EQ(Describe(I64(1) + -2.9), "int64:-1");
    EXPECT_EQ(Describe(2 - ZQRValue(0.5)), "number:1.50");
    EXPECT_EQ(Describe(10.0 / I32(4)), "number:2.50"); // the left int or double becomes a real
    EXPECT_EQ(Describe(3 * I32(4)), "number:12");
    EXPECT_EQ(Describe(I32(7) / 2), "number:3.50"); // value / int: the int becomes a real
    EXPECT_EQ(Describe(-I32(-2147483647 - 1)), "int32:-2147483648");
    EXPECT_EQ(Describe(-ZQRValue::FromBool(true)), "number:-1");
    // Adding a plain number to an undefined value leaves it, without an error.
    EXPECT_EQ(Describe(ZQRValue() + 1), "undefined:undefined");
    EXPECT_EQ(errors.Count(), 0);
}

TEST(ZQRValue, OperatorErrors) {
    ErrorCapture errors;
    ZQRValue undefined;
    undefined += ZQRValue(1);
    EXPECT_EQ(errors.LastMessage(), "invalid type for += lhs=undefined (type=5), rhs=1 (type=0)");
    EXPECT_EQ(undefined.Kind(), VALUE_UNDEFINED);

    ZQRValue s("ab");
    s -= ZQRValue(1);
    EXPECT_EQ(errors.LastMessage(), "invalid type for -= lhs=ab (type=1), rhs=1 (type=0)");
    s *= ZQRValue("x");
    EXPECT_EQ(errors.LastMessage(), "invalid type for *= lhs=ab (type=1), rhs=x (type=1)");
    ++s;
    EXPECT_EQ(errors.LastMessage(), "invalid type for ++ lhs=ab (type=1), rhs=ab (type=1)");
    ZQRValue sum = s + 1;
    EXPECT_EQ(errors.LastMessage(), "unable to add a number to string");
    EXPECT_EQ(Describe(sum), "string:ab");
    s += I32(1);
    EXPECT_EQ(errors.LastMessage(), "unable to add a number to string");
    s += ZQRValue();
    EXPECT_EQ(errors.LastMessage(), "invalid type for += lhs=ab (type=1), rhs=undefined (type=5)");
    EXPECT_EQ(Describe(s), "string:ab"); // every failed operation left it unchanged

    ZQRValue a = Array({1, 2});
    a /= ZQRValue(2);
    EXPECT_EQ(errors.LastMessage(), "invalid type for /= lhs={ { 1,2 },  } (type=2), rhs=2 (type=0)");
    EXPECT_EQ(errors.Count(), 8);
}

TEST(ZQRValue, IncrementAndDecrement) {
    ZQRValue n = I32(2147483647);
    ++n;
    EXPECT_EQ(Describe(n), "int32:-2147483648");
    --n;
    EXPECT_EQ(Describe(n), "int32:2147483647");
    ZQRValue big = I64(INT64_MAX);
    ZQRValue before = big++;
    EXPECT_EQ(Describe(before), "int64:9223372036854775807");
    EXPECT_EQ(Describe(big), "int64:-9223372036854775808");
    ZQRValue r = ZQRValue(0.5);
    EXPECT_EQ(Describe(r--), "number:0.50");
    EXPECT_EQ(Describe(r), "number:-0.50");
    ZQRValue b = ZQRValue::FromBool(false);
    ++b;
    EXPECT_EQ(Describe(b), "bool:1");
}

TEST(ZQRValue, StringsShareAndConcatenate) {
    ZQRValue s("ab");
    ZQRValue t = s;
    s += ZQRValue("cd");
    EXPECT_EQ(Text(s), "abcd");
    EXPECT_EQ(Text(t), "ab"); // the shared record was not written
    EXPECT_EQ(t.pRefString->m_refCount, 1);
    s += s; // the source is self
    EXPECT_EQ(Text(s), "abcdabcd");
    EXPECT_EQ(s.pRefString->Size(), 8);
    ZQRValue noRecord;
    noRecord.kind = VALUE_STRING;
    noRecord.pRefString = nullptr;
    noRecord += ZQRValue("x");
    EXPECT_EQ(Describe(noRecord), "string:x");
    // Assigning a value found inside self's array to self.
    ZQRValue outer;
    ZQRValue inner("kept");
    SET_RValue(&outer, &inner, 0);
    inner = 0;
    outer = outer[0];
    EXPECT_EQ(Describe(outer), "string:kept");
    outer = outer.pRefString->Get(); // a text that self holds
    EXPECT_EQ(Describe(outer), "string:kept");
}

TEST(ZQRValue, EqualityWithNumbersUsesTheTolerance) {
    EpsilonGuard guard;
    EXPECT_TRUE(ZQRValue(0.1 + 0.2) == 0.3);
    EXPECT_FALSE(I32(3) == 3.0000001);
    EXPECT_TRUE(I32(3) == 3);
    EXPECT_TRUE(I64(5) == 5.0);
    EXPECT_TRUE(ZQRValue::FromBool(true) == 1);
    EXPECT_FALSE(ZQRValue("0") == 0);
    EXPECT_FALSE(ZQRValue() == 0);
    EXPECT_FALSE(ZQRValue(NAN) == 0.0);
    EXPECT_TRUE(ZQRValue(2) != 3); // != and the reversed forms are derived
    EXPECT_TRUE(3 == I32(3));
    ZQRValue marked = ZQRValue(3);
    marked.kind |= 0x40000000u;
    EXPECT_FALSE(marked == 3);

    // math_set_epsilon accepts [0, 1) and tells compiled code.
    static double told = 0;
    g_pSetLLVMVar = [](int code, void* value) {
        if (code == 1) told = *static_cast<double*>(value);
    };
    RValue result = RValue_Undefined();
    RValue arg = RValue_Real(0.5);
    F_MathSetEpsilon(result, nullptr, nullptr, 1, &arg);
    EXPECT_EQ(g_VTLMathEpsilon, 0.5);
    EXPECT_EQ(told, 0.5);
    EXPECT_TRUE(ZQRValue(1) == 1.4);
    EXPECT_TRUE(ZQRValue(1) == ZQRValue(1.4));
    arg = RValue_Real(1.0);
    F_MathSetEpsilon(result, nullptr, nullptr, 1, &arg);
    EXPECT_EQ(g_VTLMathEpsilon, 0.5);
    arg = RValue_Real(0.0);
    F_MathSetEpsilon(result, nullptr, nullptr, 1, &arg);
    EXPECT_EQ(g_VTLMathEpsilon, 1e-11);
    g_pSetLLVMVar = nullptr;
}

TEST(ZQRValue, OrderingComparisons) {
    EXPECT_TRUE(I32(5) == ZQRValue(5.0));
    EXPECT_TRUE(ZQRValue(1) < ZQRValue(2));
    EXPECT_TRUE(ZQRValue(2) >= 2);
    EXPECT_TRUE(1.5 < I32(2));
    EXPECT_TRUE(ZQRValue("a") < ZQRValue("b"));
    EXPECT_TRUE(ZQRValue(100) < ZQRValue("1")); // a real sorts before a string
    EXPECT_FALSE(ZQRValue("a") == ZQRValue(0));
    EXPECT_TRUE(ZQRValue(0.6).IsTrue());
    EXPECT_FALSE(ZQRValue(0.5).IsTrue());
    EXPECT_TRUE(static_cast<bool>(I32(1)));
    EXPECT_FALSE(static_cast<bool>(ZQRValue("0.4")));
}

TEST(ZQRValue, IndexingReadsElementsAndReportsBounds) {
    ErrorCapture errors;
    ZQRValue a = Array({10, 20, 30});
    EXPECT_EQ(Describe(a[2]), "number:30");
    EXPECT_EQ(a.pRefArray->m_Owner, &a);
    EXPECT_EQ(errors.Count(), 0);

    const ZQRValue& pastRow = a[3];
    EXPECT_EQ(errors.LastMessage(), "second index out of bounds request 0,3 maximum size is 3");
    EXPECT_EQ(pastRow.Kind(), VALUE_UNDEFINED); // a valid value, never a null
    a[ARRAY_ROW_STRIDE + 1];
    EXPECT_EQ(errors.LastMessage(), "first index out of bounds request 1 maximum size is 1");
    EXPECT_EQ(a[-1].Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(errors.LastMessage(), "second index out of bounds request 0,-1 maximum size is 3");

    ZQRValue notArray = ZQRValue(4);
    const ZQRValue& self = notArray[0];
    EXPECT_EQ(&self, &notArray);
    EXPECT_EQ(errors.LastMessage(), "trying to index variable that is not an array");
    EXPECT_EQ(errors.Count(), 4);
}

TEST(StrBuilder, GrowsByHalfAgainAndStaysTerminated) {
    ZQStrBuilder b;
    EXPECT_STREQ(b.c_str(), "");
    b << "0123456789";
    EXPECT_EQ(b.capacity(), 16);
    EXPECT_EQ(b.length(), 10);
    EXPECT_STREQ(b.c_str(), "0123456789");
    b << "abcd"; // 4 >= 16 - 10 - 1 is false: no growth
    EXPECT_EQ(b.capacity(), 16);
    b << "e"; // 1 >= 16 - 14 - 1: grows to 24
    EXPECT_EQ(b.capacity(), 24);
    b << nullptr;
    b << -42 << "|";
    EXPECT_STREQ(b.c_str(), "0123456789abcde-42|");
    b << "a text long enough to pass the next step";
    EXPECT_EQ(b.capacity(), (19 + 40 + 1) * 3 / 2); // 24 * 3 / 2 would be too small
    ZQRValue v = ZQRValue(2.25);
    b.clear();
    b << v << " " << ZQRValue("s") << " " << ZQRValue();
    EXPECT_STREQ(b.c_str(), "2.25 s undefined");
    char* text = b.detach();
    EXPECT_STREQ(text, "2.25 s undefined");
    ZQ_Free(text);
    EXPECT_EQ(b.capacity(), 0);
}

TEST(StrBuilder, EnsureSpaceLeavesRoomForTheTerminator) {
    ZQStrBuilder b;
    char* at = b.ensureSpace(1);
    ASSERT_NE(at, nullptr);
    EXPECT_GE(b.capacity(), 2);
    at[0] = 'x';
    b.commit(1);
    EXPECT_STREQ(b.c_str(), "x");
    at = b.ensureSpace(5);
    ASSERT_NE(at, nullptr);
    EXPECT_GE(b.capacity() - b.length(), 6);
    EXPECT_EQ(at, b.m_pText + 1);
}

// An operator's result that is an array (the left operand, after the error)
// holds a reference and, as a copy would, owns a record nobody owned; moving
// it carries the ownership to the new value and its end gives it up.
TEST(ZQRValue, ArrayResultsOwnAnUnownedRecord) {
    ErrorCapture errors;
    ZQRValue held;
    {
        ZQRValue first = Array({1, 2});
        held = first; // first stays the owner
    }
    RefDynamicArrayOfRValue* record = held.pRefArray;
    ASSERT_EQ(record->m_Owner, nullptr);
    ASSERT_EQ(record->m_refCount, 1);
    {
        ZQRValue sum;
        sum = held + ZQRValue(1);
        EXPECT_EQ(errors.Count(), 1);
        EXPECT_EQ(sum.pRefArray, record);
        EXPECT_EQ(record->m_Owner, &sum);
        EXPECT_EQ(record->m_refCount, 2);
        ZQRValue moved(std::move(sum));
        EXPECT_EQ(record->m_Owner, &moved);
        ZQRValue negated = -held; // owned already: no claim
        EXPECT_EQ(record->m_Owner, &moved);
        EXPECT_EQ(record->m_refCount, 3);
    }
    EXPECT_EQ(record->m_Owner, nullptr);
    EXPECT_EQ(record->m_refCount, 1);
    ZQRValue chained = held * ZQRValue(2) + ZQRValue(1); // the first temporary owned it
    EXPECT_EQ(chained.pRefArray, record);
    EXPECT_EQ(record->m_Owner, nullptr);
    EXPECT_EQ(record->m_refCount, 2);
}
