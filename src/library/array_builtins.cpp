// Type tests and array built-ins. An array argument is a value whose whole
// kind word is 2 and whose record exists; indices are combined indices
// (row * 32000 + column). Writes go into the array record itself, so every
// variable holding that array sees them.
#include <cstdint>

#include "core/arguments.h"
#include "core/compare.h"
#include "core/error.h"
#include "core/rvalue.h"
#include "core/zq_rvalue.h"
#include "library/library_builtins.h"

namespace {

// args[i], or undefined when the call passed fewer values (args may then be
// shorter than the index, or null).
const RValue& Arg(const RValue* args, int argc, int i) {
    static const RValue kUndefined = RValue_Undefined();
    return i < argc ? args[i] : kUndefined;
}

bool IsArray(const RValue& v) {
    return v.kind == VALUE_ARRAY && v.pRefArray != nullptr;
}

void SetReal(RValue& result, double v) {
    ZQSetResultReal(result, v);
}
void SetBool(RValue& result, bool b) {
    result.val = b ? 1.0 : 0.0;
    result.flags = 0;
    result.kind = VALUE_BOOL;
}

// Combined index of row and column, or the no-index marker when it does not
// fit 32 bits (such an element cannot exist).
int32_t Combine(int32_t row, int32_t column) {
    int64_t index = static_cast<int64_t>(row) * ARRAY_ROW_STRIDE + column;
    if (index <= INT32_MIN || index > INT32_MAX) return ARRAY_INDEX_NO_INDEX;
    return static_cast<int32_t>(index);
}

// Writes a copy of value at the combined index; a negative row (or an index
// that names no element) writes nothing.
void WriteElement(RValue& array, const RValue& value, int32_t index) {
    if (index == ARRAY_INDEX_NO_INDEX || index / ARRAY_ROW_STRIDE < 0) return;
    SET_RValue_Array(&array, &value, index);
    g_fIndexOutOfRange = 0;
}

// The element at index into result; false (result real 0, the report set)
// when it does not exist.
bool ReadElement(RValue& result, RValue& array, int32_t index) {
    g_fIndexOutOfRange = 0;
    if (index == ARRAY_INDEX_NO_INDEX) {
        FREE_RValue(&result);
        SetReal(result, 0.0);
        g_fIndexOutOfRange = 1;
        g_nIndexOutOfRange1 = INT32_MIN / ARRAY_ROW_STRIDE;
        g_nIndexOutOfRange2 = INT32_MIN % ARRAY_ROW_STRIDE;
        g_nMaxIndexRange1 = array.pRefArray != nullptr ? array.pRefArray->m_length : 0;
        g_nMaxIndexRange2 = -1;
        return false;
    }
    return GET_RValue(&result, &array, index);
}

template <uint32_t kKind>
void F_IsKind(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    SetReal(r, Arg(a, argc, 0).kind == kKind ? 1.0 : 0.0);
}
void F_TypeOf(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    ZQCreateString(&r, KindName(&Arg(a, argc, 0)));
}

void F_ArrayLength1D(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    const RValue& array = Arg(a, argc, 0);
    if (!IsArray(array) || array.pRefArray->m_length <= 0) {
        SetReal(r, 0.0);
        return;
    }
    SetReal(r, array.pRefArray->m_Array[0].length);
}
void F_ArrayLength2D(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    const RValue& array = Arg(a, argc, 0);
    int32_t row = ZQGetInt32(a, 1);
    if (!IsArray(array) || row < 0 || row >= array.pRefArray->m_length) {
        SetReal(r, 0.0);
        return;
    }
    SetReal(r, array.pRefArray->m_Array[row].length);
}
void F_ArrayHeight2D(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    const RValue& array = Arg(a, argc, 0);
    SetReal(r, argc == 1 && IsArray(array) ? array.pRefArray->m_length : 0);
}

void F_ArrayGet(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    if (argc < 1 || !IsArray(a[0])) return; // undefined
    int32_t index = ZQGetInt32(a, 1);
    if (!ReadElement(r, a[0], index)) {
        g_fIndexOutOfRange = 0;
        ZQError("array_get :: Index [%d,%d] out of range [%d,%d]", g_nIndexOutOfRange1, g_nIndexOutOfRange2,
                g_nMaxIndexRange1, g_nMaxIndexRange2);
    }
}

// The checks of array_set and its two forms; false when the call must not write.
bool ArraySetArguments(int argc, RValue* a) {
    if (argc != 3) {
        ZQError("array_set :: takes 3 arguments");
        return false;
    }
    if (a[0].kind != VALUE_ARRAY) {
        ZQError("array_set :: argument 0 is not an array");
        return false;
    }
    if (a[0].pRefArray == nullptr) {
        ZQError("array_set :: takes 3 arguments");
        return false;
    }
    return true;
}
void F_ArraySet(RValue&, CInstance*, CInstance*, int argc, RValue* a) {
    if (!ArraySetArguments(argc, a)) return;
    WriteElement(a[0], a[2], ZQGetInt32(a, 1));
}
void F_ArraySetPre(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    if (!ArraySetArguments(argc, a)) return;
    WriteElement(a[0], a[2], ZQGetInt32(a, 1));
    COPY_RValue(&r, &a[2]);
}
void F_ArraySetPost(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    if (argc != 3) {
        ZQError("array_set :: takes 3 arguments");
        return;
    }
    int32_t index = ZQGetInt32(a, 1);
    if (a[0].Kind() != VALUE_ARRAY) {
        GET_RValue(&r, &a[0], index); // raises the core read's message
        return;
    }
    ReadElement(r, a[0], index);
    g_fIndexOutOfRange = 0;
    if (a[0].pRefArray != nullptr) WriteElement(a[0], a[2], index);
}

void F_ArrayGet2D(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    if (argc != 3 || !IsArray(a[0])) return; // undefined
    ReadElement(r, a[0], Combine(ZQGetInt32(a, 1), ZQGetInt32(a, 2)));
    g_fIndexOutOfRange = 0; // out of range gives 0 without a message
}
bool ArraySet2DArguments(int argc, RValue* a) {
    if (argc != 4) {
        ZQError("array_set_2d :: takes 4 arguments");
        return false;
    }
    if (!IsArray(a[0])) {
        ZQError("array_set_2d :: argument 0 is not an array");
        return false;
    }
    return true;
}
void F_ArraySet2D(RValue&, CInstance*, CInstance*, int argc, RValue* a) {
    if (!ArraySet2DArguments(argc, a)) return;
    WriteElement(a[0], a[3], Combine(ZQGetInt32(a, 1), ZQGetInt32(a, 2)));
}
void F_ArraySet2DPre(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    if (!ArraySet2DArguments(argc, a)) return;
    WriteElement(a[0], a[3], Combine(ZQGetInt32(a, 1), ZQGetInt32(a, 2)));
    COPY_RValue(&r, &a[3]);
}
void F_ArraySet2DPost(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    if (!ArraySet2DArguments(argc, a)) return;
    int32_t index = Combine(ZQGetInt32(a, 1), ZQGetInt32(a, 2));
    ReadElement(r, a[0], index);
    g_fIndexOutOfRange = 0;
    WriteElement(a[0], a[3], index);
}

// Same shape and every element pair equal by the value comparison (numbers
// within the tolerance; nested arrays only when they are the same array).
void F_ArrayEquals(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    if (argc != 2) {
        ZQError("array_equals :: takes 2 arguments");
        return;
    }
    if (!IsArray(a[0])) {
        ZQError("array_equals :: argument 0 is not an array");
        return;
    }
    if (!IsArray(a[1])) {
        ZQError("array_equals :: argument 1 is not an array");
        return;
    }
    const RefDynamicArrayOfRValue* x = a[0].pRefArray;
    const RefDynamicArrayOfRValue* y = a[1].pRefArray;
    bool equal = x->m_length == y->m_length;
    for (int32_t row = 0; equal && row < x->m_length; ++row) {
        const DynamicArrayOfRValue& rx = x->m_Array[row];
        const DynamicArrayOfRValue& ry = y->m_Array[row];
        equal = rx.length == ry.length;
        for (int32_t i = 0; equal && i < rx.length; ++i)
            equal = ZQCompareVal(rx.arr[i], ry.arr[i], g_VTLMathEpsilon) == 0;
    }
    SetBool(r, equal);
}

// Sizes above 32000 follow the combined index. Without a value only the last
// index is written (growth fills row 0 with zeros up to it when it lies in
// row 0); with one, every index from the last down to 0.
void F_ArrayCreate(RValue& r, CInstance*, CInstance*, int argc, RValue* a) {
    int32_t size = ZQGetInt32(a, 0);
    r.pRefArray = ARRAY_RefAlloc(&r);
    r.flags = 0;
    r.kind = r.pRefArray != nullptr ? VALUE_ARRAY : VALUE_UNDEFINED;
    if (r.pRefArray == nullptr || size <= 0) return;
    if (argc >= 2) {
        for (int32_t i = size - 1; i >= 0; --i) SET_RValue_Array(&r, &a[1], i);
    } else {
        RValue zero = RValue_Real(0.0);
        SET_RValue_Array(&r, &zero, size - 1);
    }
}

// Copies from the last offset to the first, so a range copied to a higher
// index of the same array is read before it is overwritten.
void F_ArrayCopy(RValue&, CInstance*, CInstance*, int argc, RValue* a) {
    if (argc != 5) {
        ZQError("array_copy :: takes 5 arguments");
        return;
    }
    if (!IsArray(a[0])) {
        ZQError("array_copy :: argument 0 is not an array");
        return;
    }
    if (!IsArray(a[2])) {
        ZQError("array_copy :: argument 2 is not an array");
        return;
    }
    int64_t destination = ZQGetInt32(a, 1);
    int64_t source = ZQGetInt32(a, 3);
    int64_t length = ZQGetInt32(a, 4);
    for (int64_t e = length - 1; e >= 0; --e) {
        int64_t from = source + e, to = destination + e;
        if (from < 0 || from > INT32_MAX || to < 0 || to > INT32_MAX) continue;
        const RValue* element = ARRAY_RVAL_RValue(&a[2], static_cast<int32_t>(from));
        if (element == nullptr) continue;
        RValue copy;
        COPY_RValue(&copy, element); // the write may move the row it lives in
        WriteElement(a[0], copy, static_cast<int32_t>(to));
        FREE_RValue(&copy);
    }
    g_fIndexOutOfRange = 0;
}

const LibraryBuiltinRow kArrays[] = {
    {"is_bool", F_IsKind<VALUE_BOOL>},
    {"is_real", F_IsKind<VALUE_REAL>},
    {"is_string", F_IsKind<VALUE_STRING>},
    {"is_array", F_IsKind<VALUE_ARRAY>},
    {"is_undefined", F_IsKind<VALUE_UNDEFINED>},
    {"is_int32", F_IsKind<VALUE_INT32>},
    {"is_int64", F_IsKind<VALUE_INT64>},
    {"is_ptr", F_IsKind<VALUE_PTR>},
    {"is_vec3", F_IsKind<VALUE_VEC3>},
    {"is_vec4", F_IsKind<VALUE_VEC4>},
    {"is_matrix", F_IsKind<VALUE_VEC44>},
    {"typeof", F_TypeOf},
    {"array_length_1d", F_ArrayLength1D},
    {"array_length_2d", F_ArrayLength2D},
    {"array_height_2d", F_ArrayHeight2D},
    {"array_get", F_ArrayGet},
    {"array_set", F_ArraySet},
    {"array_set_pre", F_ArraySetPre},
    {"array_set_post", F_ArraySetPost},
    {"array_get_2D", F_ArrayGet2D},
    {"array_set_2D", F_ArraySet2D},
    {"array_set_2D_pre", F_ArraySet2DPre},
    {"array_set_2D_post", F_ArraySet2DPost},
    {"array_equals", F_ArrayEquals},
    {"array_create", F_ArrayCreate},
    {"array_copy", F_ArrayCopy},
};

} // namespace

std::span<const LibraryBuiltinRow> ArrayBuiltins() {
    return kArrays;
}
