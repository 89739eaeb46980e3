// Script values: kinds, copy and release with their reference counts,
// copy-on-write, indexing and its edge cases, aliasing of source and
// destination, conversions, text forms, kind names and hashes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core/memory_manager.h"
#include "core/object_base.h"
#include "core/real_to_int.h"
#include "core/rvalue.h"
#include "core/value_text.h"
#include "error_capture.h"
#include "test_values.h"

namespace {

// Makes *a (holding nothing) an array of the given reals in row 0. Values
// holding arrays are built in place: a bytewise copy would leave the record's
// owner naming the old address.
void RealArray(RValue* a, std::initializer_list<double> values) {
    *a = RValue_Undefined();
    int i = 0;
    for (double d : values) {
        RValue v = Real(d);
        SET_RValue(a, &v, i++);
    }
}

int RowLength(const RValue& a, int row) {
    return a.pRefArray->m_Array[row].length;
}

class Counted : public ZQObjectBase {
public:
    explicit Counted(int* deleted) : m_deleted(deleted) {}
    ~Counted() override { ++*m_deleted; }

private:
    int* m_deleted;
};

} // namespace

TEST(RValue, LayoutAndZeroFill) {
    RValue zero;
    std::memset(static_cast<void*>(&zero), 0, sizeof zero);
    EXPECT_EQ(zero.Kind(), VALUE_REAL);
    EXPECT_EQ(zero.val, 0.0);
    EXPECT_EQ(zero.flags, 0u);
    // The payload carries a whole 64-bit pointer.
    RValue p = RValue_Undefined();
    p.ptr = reinterpret_cast<void*>(uintptr_t{0x123456789ABCDEF0});
    p.kind = VALUE_PTR;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p.ptr), uintptr_t{0x123456789ABCDEF0});
    EXPECT_EQ(PTR_RValue(&p), static_cast<intptr_t>(0x123456789ABCDEF0));
    // Kind tests mask the top 8 bits.
    RValue marked = Real(3);
    marked.kind |= 0x40000000u;
    EXPECT_EQ(marked.Kind(), VALUE_REAL);
    EXPECT_EQ(REAL_RValue_Ex(&marked), 3.0);
}

TEST(RValue, CopyAndReleaseCountStringAndArrayReferences) {
    RValue s = Str("hello");
    RefString* record = s.pRefString;
    EXPECT_EQ(record->m_refCount, 1);
    EXPECT_EQ(record->Size(), 5);
    RValue t;
    COPY_RValue(&t, &s);
    EXPECT_EQ(t.pRefString, record);
    EXPECT_EQ(record->m_refCount, 2);
    FREE_RValue(&s);
    EXPECT_EQ(s.Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(s.v64, 0);
    EXPECT_EQ(record->m_refCount, 1);
    FREE_RValue(&t); // the last reference frees record and text (checked by the sanitizer)

    RValue a;
    RealArray(&a, {1, 2});
    RefDynamicArrayOfRValue* array = a.pRefArray;
    EXPECT_EQ(array->m_Owner, &a);
    RValue b;
    COPY_RValue(&b, &a);
    EXPECT_EQ(array->m_refCount, 2);
    EXPECT_EQ(array->m_Owner, &a) << "a copy does not take over an owned record";
    FREE_RValue(&a);
    EXPECT_EQ(array->m_refCount, 1);
    EXPECT_EQ(array->m_Owner, nullptr) << "releasing the owner clears the owner";
    RValue c;
    COPY_RValue(&c, &b);
    EXPECT_EQ(array->m_Owner, &c) << "a copy takes an unowned record";
    FREE_RValue(&b);
    FREE_RValue(&c);
}

TEST(RValue, OwnedPointersAreDeletedOnRelease) {
    int deleted = 0;
    RValue owned = RValue_Undefined();
    owned.pObj = new Counted(&deleted);
    owned.kind = VALUE_PTR;
    owned.flags = RVALUE_FLAG_OWNED;
    // A copy does not own the object: releasing both deletes it once.
    RValue copy;
    COPY_RValue(&copy, &owned);
    EXPECT_EQ(copy.flags & RVALUE_FLAG_OWNED, 0u);
    FREE_RValue(&copy);
    EXPECT_EQ(deleted, 0);
    FREE_RValue(&owned);
    EXPECT_EQ(deleted, 1);

    Counted borrowed(&deleted);
    RValue plain = RValue_Undefined();
    plain.pObj = &borrowed;
    plain.kind = VALUE_PTR;
    FREE_RValue(&plain);
    EXPECT_EQ(deleted, 1);
}

TEST(RValue, WriteThroughNonOwnerCopiesTheSharedArray) {
    RValue owner;
    RealArray(&owner, {1, 2, 3});
    RValue other;
    COPY_RValue(&other, &owner);
    RefDynamicArrayOfRValue* shared = owner.pRefArray;
    ASSERT_EQ(shared->m_refCount, 2);

    RValue nine = Real(9);
    SET_RValue(&other, &nine, 1);
    EXPECT_NE(other.pRefArray, shared);
    EXPECT_EQ(other.pRefArray->m_Owner, &other);
    EXPECT_EQ(shared->m_refCount, 1);
    EXPECT_EQ(Text(owner), "{ { 1,2,3 },  }");
    EXPECT_EQ(Text(other), "{ { 1,9,3 },  }");

    // The owner writes in place even while the record is shared.
    RValue third;
    COPY_RValue(&third, &owner);
    SET_RValue(&owner, &nine, 0);
    EXPECT_EQ(owner.pRefArray, shared);
    EXPECT_EQ(Text(third), "{ { 9,2,3 },  }");
    FREE_RValue(&owner);
    FREE_RValue(&other);
    FREE_RValue(&third);
}

TEST(RValue, WritesGrowRowsAndColumnsWithZeroGaps) {
    RValue a = RValue_Undefined();
    RValue seven = Real(7);
    SET_RValue(&a, &seven, 2);
    ASSERT_EQ(a.Kind(), VALUE_ARRAY);
    EXPECT_EQ(a.pRefArray->m_length, 1);
    EXPECT_EQ(RowLength(a, 0), 3);
    EXPECT_EQ(Text(a), "{ { 0,0,7 },  }");

    RValue b = RValue_Undefined();
    SET_RValue(&b, &seven, 32000 * 2 + 1);
    EXPECT_EQ(b.pRefArray->m_length, 3);
    EXPECT_EQ(RowLength(b, 0), 0);
    EXPECT_EQ(RowLength(b, 1), 0);
    EXPECT_EQ(RowLength(b, 2), 2);
    EXPECT_EQ(b.pRefArray->m_Array[0].arr, nullptr);

    // A value of another kind is released and becomes an array.
    RValue s = Str("gone");
    SET_RValue(&s, &seven, 0);
    EXPECT_EQ(s.Kind(), VALUE_ARRAY);
    FREE_RValue(&a);
    FREE_RValue(&b);
    FREE_RValue(&s);
}

TEST(RValue, IndexEdgeCases) {
    ErrorCapture errors;
    RValue a;
    RealArray(&a, {1, 2, 3});
    RValue out = Str("old");

    g_fIndexOutOfRange = 0;
    EXPECT_FALSE(GET_RValue(&out, &a, 5));
    EXPECT_EQ(out.Kind(), VALUE_REAL);
    EXPECT_EQ(out.val, 0.0);
    EXPECT_EQ(g_fIndexOutOfRange, 1);
    EXPECT_EQ(g_nIndexOutOfRange1, 0);
    EXPECT_EQ(g_nIndexOutOfRange2, 5);
    EXPECT_EQ(g_nMaxIndexRange1, 1);
    EXPECT_EQ(g_nMaxIndexRange2, 3);

    // A missing row reports -1 as its length.
    EXPECT_FALSE(GET_RValue(&out, &a, 32000 * 4));
    EXPECT_EQ(g_nIndexOutOfRange1, 4);
    EXPECT_EQ(g_nMaxIndexRange2, -1);

    // Negative indices split toward zero and miss.
    EXPECT_FALSE(GET_RValue(&out, &a, -1));
    EXPECT_EQ(g_nIndexOutOfRange1, 0);
    EXPECT_EQ(g_nIndexOutOfRange2, -1);
    RValue nine = Real(9);
    g_fIndexOutOfRange = 0;
    SET_RValue(&a, &nine, -32001);
    EXPECT_EQ(g_fIndexOutOfRange, 1);
    EXPECT_EQ(g_nIndexOutOfRange1, -1);
    EXPECT_EQ(g_nIndexOutOfRange2, -1);
    EXPECT_EQ(Text(a), "{ { 1,2,3 },  }") << "a negative write changes nothing";
    EXPECT_EQ(ARRAY_LVAL_RValue(&a, -5), nullptr);
    EXPECT_EQ(ARRAY_RVAL_RValue(&a, -5), nullptr);

    // The no-index marker addresses the whole value.
    EXPECT_TRUE(GET_RValue(&out, &a, ARRAY_INDEX_NO_INDEX));
    EXPECT_EQ(out.pRefArray, a.pRefArray);
    SET_RValue(&out, &nine, ARRAY_INDEX_NO_INDEX);
    EXPECT_EQ(out.Kind(), VALUE_REAL);
    EXPECT_EQ(a.pRefArray->m_refCount, 1);

    // Indexing a non-array raises the error and still copies the value.
    EXPECT_EQ(errors.Count(), 0);
    EXPECT_TRUE(GET_RValue(&out, &nine, 3));
    EXPECT_EQ(errors.LastMessage(), "trying to index a variable which is not an array");
    EXPECT_EQ(out.val, 9.0);

    // An array value without a record reads as out of range.
    RValue empty = OfKind(VALUE_ARRAY);
    EXPECT_FALSE(GET_RValue(&out, &empty, 0));
    EXPECT_EQ(g_nMaxIndexRange1, 0);
    FREE_RValue(&a);
}

TEST(RValue, SourceInsideDestinationSurvivesTheWrite) {
    // dest is the only holder of the array that src is an element of.
    RValue a = RValue_Undefined();
    RValue s = Str("element");
    SET_RValue(&a, &s, 0);
    FREE_RValue(&s);
    EXPECT_TRUE(GET_RValue(&a, &a, 0));
    EXPECT_EQ(Text(a), "element");
    FREE_RValue(&a);

    // Assigning an element of dest's array to dest itself.
    RValue b;
    RealArray(&b, {4, 5});
    SET_RValue(&b, ARRAY_RVAL_RValue(&b, 1), ARRAY_INDEX_NO_INDEX);
    EXPECT_EQ(b.Kind(), VALUE_REAL);
    EXPECT_EQ(b.val, 5.0);

    // src points into the row that the write grows (and so moves).
    RValue c = RValue_Undefined();
    RValue str = Str("moved");
    SET_RValue(&c, &str, 0);
    FREE_RValue(&str);
    for (int grow = 1; grow < 300; grow += 37) {
        const RValue* first = ARRAY_RVAL_RValue(&c, 0);
        SET_RValue(&c, first, grow);
    }
    EXPECT_EQ(Text(*ARRAY_RVAL_RValue(&c, 297)), "moved");
    EXPECT_EQ(ARRAY_RVAL_RValue(&c, 0)->pRefString->m_refCount, 10);
    FREE_RValue(&c);
}

TEST(RValue, NestedArraysKeepOwnersWhenRowsMove) {
    RValue outer = RValue_Undefined();
    RValue* element = ARRAY_LVAL_RValue(&outer, 0);
    ASSERT_NE(element, nullptr);
    RValue one = Real(1);
    SET_RValue(element, &one, 0); // the element becomes an array that it owns
    EXPECT_EQ(element->pRefArray->m_Owner, element);
    RValue zero = Real(0);
    SET_RValue(&outer, &zero, 1000); // moves row 0
    element = ARRAY_LVAL_RValue(&outer, 0);
    EXPECT_EQ(element->pRefArray->m_Owner, element);
    FREE_RValue(&outer);
}

TEST(RValue, DeeplyNestedArraysReleaseWithoutRecursion) {
    RValue chain;
    RealArray(&chain, {1});
    for (int i = 0; i < 20000; ++i) {
        RValue outer = RValue_Undefined();
        SET_RValue(&outer, &chain, 0);
        FREE_RValue(&chain);
        RValue_MoveInto(&chain, &outer);
    }
    FREE_RValue(&chain);
    SUCCEED();
}

TEST(RValue, CopyHelpers) {
    RValue a;
    RealArray(&a, {1, 2});
    RValue nested = RValue_Undefined();
    SET_RValue(&nested, &a, 0);

    RValue deep;
    DEEP_COPY_RValue(&deep, &nested);
    EXPECT_NE(deep.pRefArray, nested.pRefArray);
    EXPECT_EQ(deep.pRefArray->m_Owner, &deep);
    EXPECT_EQ(nested.pRefArray->m_refCount, 1) << "the source keeps its count";
    EXPECT_EQ(a.pRefArray->m_refCount, 3) << "nested arrays are shared";

    RefDynamicArrayOfRValue* record = nested.pRefArray;
    ++record->m_refCount; // a second holder
    RValue holder = RValue_Undefined();
    RefDynamicArrayOfRValue* copy = CopyRefArrayAndUnref(record, &holder);
    EXPECT_EQ(copy->m_Owner, &holder);
    EXPECT_EQ(record->m_refCount, 1);
    EXPECT_EQ(CopyRefArrayAndUnref(nullptr, &holder), nullptr);
    holder.pRefArray = copy;
    holder.kind = VALUE_ARRAY;

    FREE_RValue(&holder);
    FREE_RValue(&deep);
    FREE_RValue(&nested);
    FREE_RValue(&a);
}

TEST(RValue, LvalueAccessMakesArraysAndCopiesShared) {
    RValue v = Real(3);
    RValue* element = ARRAY_LVAL_RValue(&v, 32000 + 2);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(v.Kind(), VALUE_ARRAY);
    EXPECT_EQ(v.pRefArray->m_length, 2);
    EXPECT_EQ(RowLength(v, 1), 3);

    RValue shared;
    COPY_RValue(&shared, &v);
    RefDynamicArrayOfRValue* before = shared.pRefArray;
    EXPECT_NE(ARRAY_LVAL_RValue(&shared, 0), nullptr);
    EXPECT_NE(shared.pRefArray, before);
    FREE_RValue(&shared);
    FREE_RValue(&v);
}

TEST(RValue, ConversionsByKind) {
    ErrorCapture errors;
    struct Case {
        RValue value;
        double real;
        int32_t i32;
        int64_t i64;
        intptr_t ptr;
    };
    RValue ptr = RValue_Undefined();
    ptr.v64 = 0x1234567890;
    ptr.kind = VALUE_PTR;
    Case cases[] = {
        {Real(2.9), 2.9, 2, 2, 2},
        {Real(-2.9), -2.9, -2, -2, -2},
        {Bool(true), 1.0, 1, 1, 1},
        {Str("12abc"), 12.0, 12, 12, 0x12abc},
        {Str("ff"), 0.0, 0, 0, 255},
        {Str("3000000000"), 3e9, INT32_MAX, 3000000000LL, 0x3000000000},
        {Int32(-5), -5.0, -5, -5, -5},
        {Int64(int64_t{1} << 40), 1099511627776.0, 0, int64_t{1} << 40, intptr_t{1} << 40},
        {RValue_Undefined(), 0, 0, 0, 0},
        {ptr, 0, 0x34567890, 0x1234567890, 0x1234567890},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(Text(c.value));
        if (c.value.Kind() != VALUE_PTR) {
            EXPECT_EQ(REAL_RValue_Ex(&c.value), c.real);
        }
        EXPECT_EQ(INT32_RValue(&c.value), c.i32);
        EXPECT_EQ(INT64_RValue(&c.value), c.i64);
        EXPECT_EQ(PTR_RValue(&c.value), c.ptr);
        FREE_RValue(&c.value);
    }
    EXPECT_EQ(errors.Count(), 0);

    // Out-of-range and non-finite reals have defined results.
    RValue big = Real(1e20);
    EXPECT_EQ(INT32_RValue(&big), INT32_MIN);
    EXPECT_EQ(INT64_RValue(&big), INT64_MIN);
    RValue nan = Real(std::nan(""));
    EXPECT_EQ(INT32_RValue(&nan), INT32_MIN);
    EXPECT_EQ(INT64_RValue(&nan), INT64_MIN);
    EXPECT_TRUE(BOOL_RValue(&big) == false);
    RValue half = Real(0.9);
    EXPECT_FALSE(BOOL_RValue(&half));
    RValue one = Real(1.5);
    EXPECT_TRUE(BOOL_RValue(&one));

    // Errors: unset and kinds a conversion cannot take.
    RValue unset = OfKind(VALUE_UNSET);
    RValue object = OfKind(VALUE_OBJECT);
    RValue vec = OfKind(VALUE_VEC3);
    EXPECT_EQ(REAL_RValue_Ex(&unset), 0.0);
    EXPECT_EQ(INT32_RValue(&unset), 0);
    EXPECT_EQ(INT64_RValue(&unset), 0);
    EXPECT_EQ(PTR_RValue(&unset), 0);
    EXPECT_EQ(REAL_RValue_Ex(&ptr), 0.0);
    EXPECT_EQ(INT32_RValue(&object), 0);
    EXPECT_EQ(INT64_RValue(&vec), 0);
    EXPECT_THAT(errors.Messages(),
                testing::ElementsAre("REAL argument is unset", "I32 argument is unset",
                                     "I64 argument is unset", "PTR argument is unset",
                                     "REAL argument incorrect type 3", "I32 argument incorrect type 6",
                                     "I64 argument incorrect type 4"));
}

TEST(RValue, ArraysConvertThroughTheirFirstElementWithoutChangingThem) {
    RValue a;
    RealArray(&a, {4.5, 1});
    EXPECT_EQ(REAL_RValue_Ex(&a), 4.5);
    EXPECT_EQ(INT32_RValue(&a), 4);

    RValue shared;
    COPY_RValue(&shared, &a);
    RefDynamicArrayOfRValue* record = a.pRefArray;
    EXPECT_EQ(REAL_RValue_Ex(&shared), 4.5);
    EXPECT_EQ(shared.pRefArray, record) << "reading a number copies nothing";

    RValue empty = RValue_Undefined();
    empty.kind = VALUE_ARRAY;
    empty.pRefArray = ARRAY_RefAlloc(&empty);
    EXPECT_EQ(REAL_RValue_Ex(&empty), 0.0);
    EXPECT_EQ(empty.pRefArray->m_length, 0) << "reading a number grows nothing";

    // An array that is its own first element ends the walk.
    RValue self = RValue_Undefined();
    RValue zero = Real(0);
    SET_RValue(&self, &zero, 0);
    SET_RValue(&self, &self, 0);
    EXPECT_EQ(REAL_RValue_Ex(&self), 0.0);
    // Break the cycle by hand so that the record can be freed.
    RValue* inner = ARRAY_LVAL_RValue(&self, 0);
    --inner->pRefArray->m_refCount;
    inner->kind = VALUE_UNDEFINED;
    FREE_RValue(&self);
    FREE_RValue(&empty);
    FREE_RValue(&shared);
    FREE_RValue(&a);
}

TEST(RValue, TextForms) {
    struct Case {
        RValue value;
        const char* text;
    } cases[] = {
        {Real(3.0), "3"},
        {Real(0.1), "0.10"},
        {Real(2.5), "2.50"},
        {Real(-0.0), "0"},
        {Real(1e20), "100000000000000000000.00"},
        {Real(std::nan("")), "nan"},
        {Real(-std::nan("")), "nan"},
        {Real(std::numeric_limits<double>::infinity()), "inf"},
        {Real(-9223372036854775808.0), "-9223372036854775808"},
        {Bool(true), "1"},
        {Bool(false), "0"},
        {Int64(int64_t{1} << 40), "1099511627776"},
        {Int32(-7), "-7"},
        {Str("text"), "text"},
        {OfKind(VALUE_STRING), ""},
        {RValue_Undefined(), "undefined"},
        {OfKind(VALUE_OBJECT), "null"},
        {OfKind(VALUE_NULL), ""},
        {OfKind(VALUE_VEC3), ""},
        {OfKind(VALUE_ARRAY), "{  }"},
    };
    for (Case& c : cases) {
        EXPECT_EQ(Text(c.value), c.text);
        FREE_RValue(&c.value);
    }

    RValue grid = RValue_Undefined();
    for (int i = 0; i < 4; ++i) {
        RValue v = Real(i + 1);
        SET_RValue(&grid, &v, (i / 2) * 32000 + i % 2);
    }
    EXPECT_EQ(Text(grid), "{ { 1,2 }, { 3,4 },  }");
    FREE_RValue(&grid);

    ErrorCapture errors;
    RValue unset = OfKind(VALUE_UNSET);
    EXPECT_EQ(Text(unset), "");
    EXPECT_EQ(errors.LastMessage(), "STRING argument is unset");
}

TEST(RValue, TextOfArraysHoldingThemselves) {
    RValue a;
    RealArray(&a, {1});
    SET_RValue_Array(&a, &a, 1); // a's record holds itself as element 1
    EXPECT_EQ(Text(a), "{ { 1,{  } },  }");

    // The same array twice, as siblings and in different branches, prints in full.
    RValue b;
    RealArray(&b, {5});
    RValue c = RValue_Undefined();
    SET_RValue(&c, &b, 0);
    SET_RValue(&c, &b, 1);
    RValue wrapped = RValue_Undefined();
    SET_RValue(&wrapped, &b, 0);
    SET_RValue(&c, &wrapped, 2);
    EXPECT_EQ(Text(c), "{ { { { 5 },  },{ { 5 },  },{ { { { 5 },  } },  } },  }");

    // Break the cycle so that the record can be freed.
    RValue* inner = ARRAY_LVAL_RValue(&a, 1);
    --inner->pRefArray->m_refCount;
    inner->kind = VALUE_UNDEFINED;
    FREE_RValue(&a);
    FREE_RValue(&b);
    FREE_RValue(&c);
    FREE_RValue(&wrapped);
}

TEST(RValue, TextAppendsAndGrowsTheCallersBlock) {
    int capacity = 4;
    auto* buffer = static_cast<char*>(ZQ_Alloc(static_cast<size_t>(capacity)));
    char* cursor = buffer;
    RValue s = Str("abcdef");
    RValue n = Real(42);
    STRING_RValue(&cursor, &buffer, &capacity, &s);
    STRING_RValue(&cursor, &buffer, &capacity, &n);
    EXPECT_STREQ(buffer, "abcdef42");
    EXPECT_EQ(cursor - buffer, 8);
    EXPECT_GE(capacity, 9);
    ZQ_Free(buffer);
    FREE_RValue(&s);
}

TEST(RValue, KindNamesAndHashes) {
    const char* names[] = {"number", "string", "array", "ptr",      "vec3", "undefined", "object",  "int32",
                           "vec4",   "vec44",  "int64", "accessor", "null", "bool",      "iterator"};
    for (uint32_t kind = 0; kind <= 14; ++kind) EXPECT_STREQ(KindName(kind), names[kind]);
    EXPECT_STREQ(KindName(VALUE_UNSET), "unknown");
    EXPECT_STREQ(KindName(99), "unknown");
    ZQObjectBase plain;
    ZQObjectBase callable;
    callable.m_kind = OBJECT_KIND_SCRIPTREF;
    RValue object = OfKind(VALUE_OBJECT);
    object.pObj = &plain;
    EXPECT_STREQ(KindName(&object), "object");
    object.pObj = &callable;
    EXPECT_STREQ(KindName(&object), "method");

    RValue r = Real(-7.9);
    EXPECT_EQ(HASH_RValue(&r), -7);
    RValue s = Str("123456789");
    EXPECT_EQ(static_cast<uint32_t>(HASH_RValue(&s)), 0x340BC6D9u) << "the CRC-32 register, not inverted";
    RValue noText = OfKind(VALUE_STRING);
    EXPECT_EQ(HASH_RValue(&noText), 0);
    RValue wide = Int64((int64_t{5} << 32) | 9);
    EXPECT_EQ(HASH_RValue(&wide), 9);
    RValue a;
    RealArray(&a, {1});
    int32_t before = HASH_RValue(&a);
    RValue zero = Real(0);
    SET_RValue(&a, &zero, 5000);
    EXPECT_EQ(HASH_RValue(&a), before) << "an array's hash lasts its lifetime";
    RValue u = RValue_Undefined();
    EXPECT_EQ(HASH_RValue(&u), 0);
    FREE_RValue(&a);
    FREE_RValue(&s);
}

TEST(RealToInt, DefinedForEveryDouble) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double d;
        int64_t i64;
        int32_t i32;
        int32_t wrapped;
    } cases[] = {
        {2.9, 2, 2, 2},
        {-2.9, -2, -2, -2},
        {3e9, 3000000000LL, INT32_MIN, -1294967296},
        {-1.0, -1, -1, -1},
        {2147483647.9, 2147483647, INT32_MAX, INT32_MAX},
        {-2147483648.9, -2147483648LL, INT32_MIN, INT32_MIN},
        {-2147483649.0, -2147483649LL, INT32_MIN, INT32_MAX},
        {9223372036854775808.0, INT64_MIN, INT32_MIN, 0},
        {-9223372036854775808.0, INT64_MIN, INT32_MIN, 0},
        {inf, INT64_MIN, INT32_MIN, 0},
        {-inf, INT64_MIN, INT32_MIN, 0},
        {nan, INT64_MIN, INT32_MIN, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.d);
        EXPECT_EQ(RealToInt64(c.d), c.i64);
        EXPECT_EQ(RealToInt32(c.d), c.i32);
        EXPECT_EQ(RealToInt32Wrapped(c.d), c.wrapped);
    }
    EXPECT_EQ(RealToUint32Wrapped(-1.0), 4294967295u);
    EXPECT_EQ(RealRoundToInt32(2.5), 2);
    EXPECT_EQ(RealRoundToInt32(3.5), 4);
    EXPECT_EQ(RealRoundToInt32(-2.5), -2);
    EXPECT_EQ(RealRoundToInt64(nan), INT64_MIN);
}
