// Saving values into buffers and reading them back, including data that was
// not written by the runtime: unknown and unrestorable kinds, huge counts,
// deep nesting and truncation fail cleanly and leave the target unchanged.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/buffer.h"
#include "core/memory_manager.h"
#include "core/rvalue.h"
#include "core/value_text.h"
#include "test_values.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Serialised(const RValue& v) {
    Buffer_Standard buffer(0, eBuffer_Format_Grow, 1);
    v.Serialise(&buffer);
    return Bytes(buffer.Data(), buffer.Data() + buffer.Tell());
}

void PutS32(Bytes& out, int32_t n) {
    unsigned char b[4];
    std::memcpy(b, &n, 4);
    out.insert(out.end(), b, b + 4);
}

// Reads `bytes` into a value that holds "before" with flags 5.
bool ReadInto(const Bytes& bytes, RValue* v) {
    Buffer_Standard buffer(const_cast<unsigned char*>(bytes.data()), static_cast<int>(bytes.size()),
                           eBuffer_Format_Fixed, 1, false);
    return v->DeSerialise(&buffer);
}

// Reads back what v serialises to into *back (holding nothing).
void RoundTrip(const RValue& v, RValue* back) {
    *back = RValue_Undefined();
    EXPECT_TRUE(ReadInto(Serialised(v), back));
}

} // namespace

TEST(ValueSerialise, ByteLayout) {
    RValue i = RValue_Undefined();
    i.v32 = 7;
    i.kind = VALUE_INT32;
    EXPECT_EQ(Serialised(i), (Bytes{7, 0, 0, 0, 7, 0, 0, 0}));

    RValue r = RValue_Real(1.5);
    Bytes expected = {0, 0, 0, 0};
    double d = 1.5;
    expected.insert(expected.end(), reinterpret_cast<unsigned char*>(&d),
                    reinterpret_cast<unsigned char*>(&d) + 8);
    EXPECT_EQ(Serialised(r), expected);

    RValue s = Str("ab");
    EXPECT_EQ(Serialised(s), (Bytes{1, 0, 0, 0, 'a', 'b', 0}));
    FREE_RValue(&s);

    RValue object = RValue_Undefined();
    object.kind = VALUE_OBJECT;
    EXPECT_EQ(Serialised(object), (Bytes{6, 0, 0, 0}));

    RValue a = RValue_Undefined();
    SET_RValue(&a, &i, 1);
    // One row of two: the zero real that the gap left, then the int32.
    Bytes row = {2, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0};
    row.insert(row.end(), 12, 0);
    row.insert(row.end(), {7, 0, 0, 0, 7, 0, 0, 0});
    EXPECT_EQ(Serialised(a), row);
    FREE_RValue(&a);
}

TEST(ValueSerialise, RoundTripsEveryRestorableKind) {
    std::vector<RValue> values;
    values.push_back(RValue_Real(-2.25));
    RValue b = RValue_Real(1.0);
    b.kind = VALUE_BOOL;
    values.push_back(b);
    RValue i64 = RValue_Undefined();
    i64.v64 = -(int64_t{1} << 50);
    i64.kind = VALUE_INT64;
    values.push_back(i64);
    values.push_back(RValue_Undefined());
    RValue unset = RValue_Undefined();
    unset.kind = VALUE_UNSET;
    values.push_back(unset);
    RValue null = RValue_Undefined();
    null.kind = VALUE_NULL;
    values.push_back(null);

    for (RValue& v : values) {
        RValue back;
        RoundTrip(v, &back);
        EXPECT_EQ(back.kind, v.kind);
        EXPECT_EQ(back.v64, v.v64) << KindName(&v) << " payload";
        FREE_RValue(&back);
    }
    for (RValue& v : values) FREE_RValue(&v);

    RValue s = Str("text");
    RValue back;
    RoundTrip(s, &back);
    EXPECT_NE(back.pRefString, s.pRefString) << "a string comes back as a new record";
    EXPECT_EQ(Text(back), "text");
    FREE_RValue(&back);
    FREE_RValue(&s);

    // A string without text comes back as the empty text.
    RValue noText = RValue_Undefined();
    noText.kind = VALUE_STRING;
    RoundTrip(noText, &back);
    EXPECT_EQ(Text(back), "");
    FREE_RValue(&back);
}

TEST(ValueSerialise, ArraysRoundTripWithOwnersAndNesting) {
    RValue a = RValue_Undefined();
    RValue one = RValue_Real(1);
    RValue s = Str("x");
    SET_RValue(&a, &one, 0);
    SET_RValue(&a, &s, 32000 * 2 + 1);
    RValue nested = RValue_Undefined();
    SET_RValue(&nested, &s, 3);
    SET_RValue(&a, &nested, 1);

    RValue back;
    RoundTrip(a, &back);
    EXPECT_EQ(Text(back), Text(a));
    EXPECT_EQ(back.pRefArray->m_Owner, &back);
    EXPECT_EQ(back.pRefArray->m_length, 3);
    EXPECT_EQ(back.pRefArray->m_Array[1].length, 0);
    RValue* inner = &back.pRefArray->m_Array[0].arr[1];
    EXPECT_EQ(inner->pRefArray->m_Owner, inner);

    // An array value without record comes back as an empty array.
    RValue empty = RValue_Undefined();
    empty.kind = VALUE_ARRAY;
    RValue emptyBack;
    RoundTrip(empty, &emptyBack);
    EXPECT_EQ(emptyBack.Kind(), VALUE_ARRAY);
    EXPECT_EQ(emptyBack.pRefArray->m_length, 0);

    FREE_RValue(&emptyBack);
    FREE_RValue(&back);
    FREE_RValue(&nested);
    FREE_RValue(&a);
    FREE_RValue(&s);
}

TEST(ValueSerialise, UnrestorableValuesAreWrittenAsUndefined) {
    RValue ptr = RValue_Undefined();
    ptr.ptr = &ptr;
    ptr.kind = VALUE_PTR;
    EXPECT_EQ(Serialised(ptr), (Bytes{5, 0, 0, 0}));
    RValue accessor = RValue_Undefined();
    accessor.kind = VALUE_ACCESSOR;
    EXPECT_EQ(Serialised(accessor), (Bytes{5, 0, 0, 0}));
    RValue marked = RValue_Real(3);
    marked.kind |= 0x80000000u;
    EXPECT_EQ(Serialised(marked), (Bytes{5, 0, 0, 0}));

    // An array that holds itself: the inner occurrence is written as undefined.
    RValue a = RValue_Undefined();
    RValue one = RValue_Real(1);
    SET_RValue(&a, &one, 0);
    SET_RValue_Array(&a, &a, 1);
    RValue back;
    RoundTrip(a, &back);
    EXPECT_EQ(Text(back), "{ { 1,undefined },  }");
    FREE_RValue(&back);
    RValue* inner = ARRAY_LVAL_RValue(&a, 1);
    --inner->pRefArray->m_refCount;
    inner->kind = VALUE_UNDEFINED;
    FREE_RValue(&a);
}

TEST(ValueSerialise, HostileDataFailsAndLeavesTheTargetUnchanged) {
    auto kindOnly = [](int32_t kind) {
        Bytes b;
        PutS32(b, kind);
        return b;
    };
    auto array = [](int32_t rows, std::vector<int32_t> rest) {
        Bytes b;
        PutS32(b, VALUE_ARRAY);
        PutS32(b, rows);
        for (int32_t n : rest) PutS32(b, n);
        return b;
    };
    Bytes deep;
    for (int i = 0; i < 300; ++i) {
        PutS32(deep, VALUE_ARRAY);
        PutS32(deep, 1);
        PutS32(deep, 1);
    }
    PutS32(deep, VALUE_UNDEFINED);

    struct Case {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"empty input", {}},
        {"a cut kind word", {1, 0}},
        {"an unknown kind", kindOnly(99)},
        {"a kind word with marks", kindOnly(static_cast<int32_t>(0x40000000))},
        {"a pointer",
         [] {
             Bytes b;
             PutS32(b, VALUE_PTR);
             PutS32(b, 0x1000);
             PutS32(b, 0);
             return b;
         }()},
        {"an accessor", kindOnly(VALUE_ACCESSOR)},
        {"a real without its payload", {0, 0, 0, 0, 1, 2, 3}},
        {"a string past the end", kindOnly(VALUE_STRING)},
        {"a huge row count", array(0x7FFFFFFF, {})},
        {"a negative row count", array(-1, {})},
        {"a huge row length", array(1, {0x7FFFFFFF})},
        {"rows promised but missing", array(3, {0, 0})},
        {"a bad element deep inside", array(1, {2, VALUE_REAL, 0, 0, 99})},
        {"nesting past the limit", deep},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RValue target = Str("before");
        target.flags = 5;
        EXPECT_FALSE(ReadInto(c.bytes, &target));
        EXPECT_EQ(target.Kind(), VALUE_STRING);
        EXPECT_EQ(target.flags, 5u);
        EXPECT_EQ(Text(target), "before");
        FREE_RValue(&target);
    }
}

TEST(ValueSerialise, ReadingKeepsFlagsButNotOwnership) {
    Bytes bytes = {7, 0, 0, 0, 42, 0, 0, 0};
    RValue target = Str("old");
    target.flags = RVALUE_FLAG_ENUMERABLE | RVALUE_FLAG_OWNED;
    ASSERT_TRUE(ReadInto(bytes, &target));
    EXPECT_EQ(target.Kind(), VALUE_INT32);
    EXPECT_EQ(target.v32, 42);
    EXPECT_EQ(target.flags, RVALUE_FLAG_ENUMERABLE);
}
