// Script values: the copy and release rules, array records with their
// copy-on-write and growth, element reads and writes, and the conversions
// to numbers.
//
// Array records are shared between values by reference count. The record's
// owner is the one holder that may write it in place; a write through any
// other holder while the record is shared first gives that holder a private
// copy. Owner pointers are only compared, never followed, but they must stay
// meaningful: when a row's block moves, the owners that named its elements are
// moved with them.
#include "core/rvalue.h"

#include <cerrno>
#include <cstdlib>

#include "core/collector.h"
#include "core/error.h"
#include "core/memory_manager.h"
#include "core/object_base.h"
#include "core/real_to_int.h"

int g_fIndexOutOfRange = 0;
int g_nIndexOutOfRange1 = 0;
int g_nIndexOutOfRange2 = 0;
int g_nMaxIndexRange1 = 0;
int g_nMaxIndexRange2 = 0;

namespace {

void ReportOutOfRange(const RefDynamicArrayOfRValue* record, int32_t row, int32_t column) {
    g_fIndexOutOfRange = 1;
    g_nIndexOutOfRange1 = row;
    g_nIndexOutOfRange2 = column;
    g_nMaxIndexRange1 = record != nullptr ? record->m_length : 0;
    g_nMaxIndexRange2 =
        (record != nullptr && row >= 0 && row < record->m_length) ? record->m_Array[row].length : -1;
}

// The values a block can hold (pool cells and headed blocks know their size).
size_t BlockCapacity(const void* block, size_t elementSize) {
    return block != nullptr ? MemoryManager::GetSize(block) / elementSize : 0;
}

// Grows `*block` to hold at least `count` elements of `elementSize` bytes,
// by at least half again so that appending one element at a time costs
// amortised constant time. New bytes are zero. False when out of memory.
bool GrowBlock(void** block, size_t count, size_t elementSize) {
    size_t capacity = BlockCapacity(*block, elementSize);
    if (count <= capacity) return true;
    size_t wanted = capacity + capacity / 2;
    if (wanted < count) wanted = count;
    if (wanted > kMemoryMaxHeadedSize / elementSize) wanted = count;
    if (count > kMemoryMaxHeadedSize / elementSize) return false;
    void* grown = MemoryManager::ReAlloc(*block, wanted * elementSize, __FILE__, __LINE__, true);
    if (grown == nullptr) return false;
    *block = grown;
    return true;
}

// Makes the row count at least `rows`; new rows are empty. False when out of memory.
bool GrowRows(RefDynamicArrayOfRValue* record, int32_t rows) {
    if (rows <= record->m_length) return true;
    void* block = record->m_Array;
    if (!GrowBlock(&block, static_cast<size_t>(rows), sizeof(DynamicArrayOfRValue))) return false;
    record->m_Array = static_cast<DynamicArrayOfRValue*>(block);
    record->m_length = rows;
    return true;
}

// Makes the row's length at least `length`; skipped elements read as real 0.
bool GrowRow(DynamicArrayOfRValue* row, int32_t length) {
    if (length <= row->length) return true;
    RValue* old = row->arr;
    auto oldAddress = reinterpret_cast<uintptr_t>(old);
    void* block = old;
    if (!GrowBlock(&block, static_cast<size_t>(length), sizeof(RValue))) return false;
    auto* moved = static_cast<RValue*>(block);
    if (moved != old) {
        // Arrays owned by elements follow their elements to the new block.
        for (int32_t i = 0; i < row->length; ++i) {
            RValue* element = &moved[i];
            if (element->Kind() != VALUE_ARRAY || element->pRefArray == nullptr) continue;
            if (reinterpret_cast<uintptr_t>(element->pRefArray->m_Owner) == oldAddress + i * sizeof(RValue))
                element->pRefArray->m_Owner = element;
        }
    }
    row->arr = moved;
    row->length = length;
    return true;
}

// Frees a record whose count has reached zero, and every record that its
// elements held last. Records waiting to be freed are chained through their
// owner field, so nesting of any depth needs no recursion.
void FreeDeadArrays(RefDynamicArrayOfRValue* dead) {
    dead->m_Owner = nullptr;
    while (dead != nullptr) {
        RefDynamicArrayOfRValue* record = dead;
        dead = reinterpret_cast<RefDynamicArrayOfRValue*>(record->m_Owner);
        for (int32_t r = 0; r < record->m_length; ++r) {
            DynamicArrayOfRValue& row = record->m_Array[r];
            for (int32_t c = 0; c < row.length; ++c) {
                RValue* element = &row.arr[c];
                if (element->Kind() == VALUE_ARRAY) {
                    RefDynamicArrayOfRValue* inner = element->pRefArray;
                    if (inner != nullptr) {
                        if (inner->m_Owner == element) inner->m_Owner = nullptr;
                        if (inner->m_refCount-- <= 1) {
                            inner->m_Owner = reinterpret_cast<RValue*>(dead);
                            dead = inner;
                        }
                    }
                    element->kind = VALUE_UNDEFINED;
                    element->v64 = 0;
                } else {
                    FREE_RValue(element);
                }
            }
            ZQ_Free(row.arr);
        }
        ZQ_Free(record->m_Array);
        ZQ_Free(record);
    }
}

// The element at `index`, or null when the index is outside the record.
RValue* FindElement(const RefDynamicArrayOfRValue* record, int32_t index) {
    if (record == nullptr) return nullptr;
    int32_t row, column;
    ARRAY_SplitIndex(index, &row, &column);
    if (row < 0 || column < 0 || row >= record->m_length) return nullptr;
    const DynamicArrayOfRValue& r = record->m_Array[row];
    if (column >= r.length) return nullptr;
    return &r.arr[column];
}

// The element at `index`, growing rows as needed; null for a negative row or
// column or when out of memory. Sets the out-of-range report for negatives.
RValue* GrowToElement(RefDynamicArrayOfRValue* record, int32_t index, bool report) {
    int32_t row, column;
    ARRAY_SplitIndex(index, &row, &column);
    if (row >= 0 && !GrowRows(record, row + 1)) return nullptr;
    if (row < 0 || column < 0) {
        if (report) ReportOutOfRange(record, row, column);
        return nullptr;
    }
    DynamicArrayOfRValue* r = &record->m_Array[row];
    if (!GrowRow(r, column + 1)) return nullptr;
    return &r->arr[column];
}

// Fills `copy` (a zeroed record) with copies of the rows of `record`.
bool CopyRows(RefDynamicArrayOfRValue* copy, const RefDynamicArrayOfRValue* record) {
    if (record->m_length == 0) return true;
    copy->m_Array = ZQ_AllocArray<DynamicArrayOfRValue>(static_cast<size_t>(record->m_length));
    if (copy->m_Array == nullptr) return false;
    copy->m_length = record->m_length;
    for (int32_t r = 0; r < record->m_length; ++r) {
        const DynamicArrayOfRValue& from = record->m_Array[r];
        if (from.length == 0) continue;
        RValue* elements = ZQ_AllocArray<RValue>(static_cast<size_t>(from.length));
        if (elements == nullptr) return false;
        copy->m_Array[r].arr = elements;
        copy->m_Array[r].length = from.length;
        for (int32_t c = 0; c < from.length; ++c) COPY_RValue(&elements[c], &from.arr[c]);
    }
    return true;
}

// A private copy of `record` owned by newOwner; the source keeps its count.
RefDynamicArrayOfRValue* CopyArray(const RefDynamicArrayOfRValue* record, RValue* newOwner) {
    RefDynamicArrayOfRValue* copy = ARRAY_RefAlloc(newOwner);
    if (copy == nullptr) return nullptr;
    if (!CopyRows(copy, record)) {
        copy->m_Owner = nullptr;
        copy->m_refCount = 0;
        FreeDeadArrays(copy);
        return nullptr;
    }
    return copy;
}

// Makes v an array value with a new record owned by v (v holds nothing).
bool MakeArray(RValue* v) {
    RefDynamicArrayOfRValue* record = ARRAY_RefAlloc(v);
    v->pRefArray = record;
    v->kind = VALUE_ARRAY;
    return record != nullptr;
}

// Gives dest a record it may write: a private copy when the record is shared
// and dest is not its owner; dest becomes the owner of an unowned record.
void PrepareArrayForWrite(RValue* dest) {
    RefDynamicArrayOfRValue* record = dest->pRefArray;
    if (record->m_Owner != dest && record->m_refCount != 1) {
        RefDynamicArrayOfRValue* copy = CopyRefArrayAndUnref(record, dest);
        if (copy != nullptr) dest->pRefArray = copy;
    } else if (record->m_Owner == nullptr) {
        record->m_Owner = dest;
    }
}

// Element 0 of an array value for the conversions, read only: a missing
// element counts as the real 0. Self-holding arrays end after a few levels.
const RValue* FirstElement(const RValue* v) {
    static const RValue kZero = RValue_Real(0.0);
    for (int depth = 0; depth < 64 && v->Kind() == VALUE_ARRAY; ++depth) {
        const RValue* element = FindElement(v->pRefArray, 0);
        if (element == nullptr) return &kZero;
        v = element;
    }
    return v->Kind() == VALUE_ARRAY ? &kZero : v;
}

// strtol's result for a 32-bit long: out-of-range texts clamp.
int32_t ParseInt32(const char* text) {
    long long n = std::strtoll(text, nullptr, 10);
    if (n > INT32_MAX) return INT32_MAX;
    if (n < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(n);
}

} // namespace

// ---------------------------------------------------------------------------
// Copy and release.

void COPY_RValue__Post(RValue* dest) {
    if (dest->pObj != nullptr) DeterminePotentialRoot(GetContextStackTop(), dest->pObj);
}

void FREE_RValue__Pre(RValue* v) {
    switch (v->Kind()) {
        case VALUE_STRING:
            if (v->pRefString != nullptr) v->pRefString->Dec();
            v->pRefString = nullptr;
            break;
        case VALUE_ARRAY:
            if (RefDynamicArrayOfRValue* record = v->pRefArray) {
                if (record->m_Owner == v) record->m_Owner = nullptr;
                if (record->m_refCount-- <= 1) FreeDeadArrays(record);
                v->pRefArray = nullptr;
            }
            break;
        case VALUE_PTR:
            if ((v->flags & RVALUE_FLAG_OWNED) != 0 && v->pObj != nullptr) {
                ZQObjectBase* object = v->pObj;
                v->pObj = nullptr;
                delete object;
            }
            break;
        default: break;
    }
}

// ---------------------------------------------------------------------------
// Arrays.

RefDynamicArrayOfRValue* ARRAY_RefAlloc(RValue* owner) {
    auto* record = ZQ_AllocArray<RefDynamicArrayOfRValue>(1);
    if (record == nullptr) return nullptr;
    record->m_refCount = 1;
    record->m_Owner = owner;
    return record;
}

RefDynamicArrayOfRValue* CopyRefArrayAndUnref(RefDynamicArrayOfRValue* record, RValue* newOwner) {
    if (record == nullptr) return nullptr;
    RefDynamicArrayOfRValue* copy = CopyArray(record, newOwner);
    if (copy == nullptr) return nullptr; // the caller keeps sharing the old record
    --record->m_refCount;
    if (record->m_Owner == newOwner) record->m_Owner = nullptr;
    return copy;
}

void DEEP_COPY_RValue(RValue* dest, const RValue* src) {
    if (src->Kind() != VALUE_ARRAY || src->pRefArray == nullptr) {
        COPY_RValue(dest, src);
        return;
    }
    dest->kind = src->kind;
    dest->flags = src->flags;
    dest->pRefArray = CopyArray(src->pRefArray, dest);
}

bool GET_RValue(RValue* dest, RValue* src, int32_t index) {
    RValue copy;
    if (src->Kind() == VALUE_ARRAY) {
        RefDynamicArrayOfRValue* record = src->pRefArray;
        if (record != nullptr && record->m_Owner == nullptr) record->m_Owner = src;
        if (index != ARRAY_INDEX_NO_INDEX) {
            const RValue* element = FindElement(record, index);
            if (element == nullptr) {
                int32_t row, column;
                ARRAY_SplitIndex(index, &row, &column);
                ReportOutOfRange(record, row, column);
                FREE_RValue(dest);
                dest->val = 0.0;
                dest->kind = VALUE_REAL;
                return false;
            }
            // Copy before releasing dest: dest may be src or one of its elements.
            COPY_RValue(&copy, element);
            FREE_RValue(dest);
            RValue_MoveInto(dest, &copy);
            return true;
        }
    } else if (index != ARRAY_INDEX_NO_INDEX) {
        ZQError("trying to index a variable which is not an array");
    }
    COPY_RValue(&copy, src);
    FREE_RValue(dest);
    RValue_MoveInto(dest, &copy);
    return true;
}

void SET_RValue(RValue* dest, const RValue* src, int32_t index) {
    if (index == ARRAY_INDEX_NO_INDEX) {
        if (dest->Kind() == VALUE_ARRAY && src->Kind() == VALUE_ARRAY && src->pRefArray != nullptr &&
            src->pRefArray->m_Owner == nullptr)
            src->pRefArray->m_Owner = const_cast<RValue*>(src);
        // Copy before releasing dest: src may live inside what dest holds.
        RValue copy;
        COPY_RValue(&copy, src);
        FREE_RValue(dest);
        RValue_MoveInto(dest, &copy);
        return;
    }
    if (dest->Kind() == VALUE_ARRAY && dest->pRefArray != nullptr) {
        PrepareArrayForWrite(dest);
        SET_RValue_Array(dest, src, index);
        return;
    }
    RValue copy;
    COPY_RValue(&copy, src);
    FREE_RValue(dest);
    if (MakeArray(dest)) SET_RValue_Array(dest, &copy, index);
    FREE_RValue(&copy);
}

void SET_RValue_Array(RValue* arrayValue, const RValue* src, int32_t index) {
    if (arrayValue->Kind() != VALUE_ARRAY || arrayValue->pRefArray == nullptr) {
        SET_RValue(arrayValue, src, index);
        return;
    }
    // Copy first: growing a row may move the storage that src points into.
    RValue copy;
    COPY_RValue(&copy, src);
    RValue* element = GrowToElement(arrayValue->pRefArray, index, true);
    if (element == nullptr) {
        FREE_RValue(&copy);
        return;
    }
    FREE_RValue(element);
    RValue_MoveInto(element, &copy);
}

const RValue* ARRAY_RVAL_RValue(const RValue* v, int32_t index) {
    if (v->Kind() == VALUE_UNSET) {
        ZQError("ARRAY argument is unset");
        return nullptr;
    }
    if (v->Kind() != VALUE_ARRAY) return nullptr;
    return FindElement(v->pRefArray, index);
}

RValue* ARRAY_LVAL_RValue(RValue* v, int32_t index) {
    if (v->Kind() != VALUE_ARRAY || v->pRefArray == nullptr) {
        FREE_RValue(v);
        if (!MakeArray(v)) return nullptr;
    } else {
        PrepareArrayForWrite(v);
    }
    return GrowToElement(v->pRefArray, index, false);
}

// ---------------------------------------------------------------------------
// Conversions.

double REAL_RValue_Ex(const RValue* v) {
    if (v->Kind() == VALUE_ARRAY) v = FirstElement(v);
    switch (v->Kind()) {
        case VALUE_REAL:
        case VALUE_BOOL: return v->val;
        case VALUE_STRING:
            return v->pRefString != nullptr && v->pRefString->Get() != nullptr
                       ? std::atof(v->pRefString->Get())
                       : 0.0;
        case VALUE_UNDEFINED: return 0.0;
        case VALUE_INT32: return v->v32;
        case VALUE_INT64: return static_cast<double>(v->v64);
        case VALUE_UNSET: ZQError("REAL argument is unset"); return 0.0;
        default: ZQError("REAL argument incorrect type %d", static_cast<int>(v->Kind())); return 0.0;
    }
}

int32_t INT32_RValue(const RValue* v) {
    if (v->Kind() == VALUE_ARRAY) v = FirstElement(v);
    switch (v->Kind()) {
        case VALUE_REAL:
        case VALUE_BOOL: return RealToInt32(v->val);
        case VALUE_STRING:
            return v->pRefString != nullptr && v->pRefString->Get() != nullptr
                       ? ParseInt32(v->pRefString->Get())
                       : 0;
        case VALUE_UNDEFINED: return 0;
        case VALUE_INT32: return v->v32;
        case VALUE_INT64:
        case VALUE_PTR: return static_cast<int32_t>(static_cast<uint32_t>(v->v64));
        case VALUE_UNSET: ZQError("I32 argument is unset"); return 0;
        default: ZQError("I32 argument incorrect type %d", static_cast<int>(v->Kind())); return 0;
    }
}

int64_t INT64_RValue(const RValue* v) {
    if (v->Kind() == VALUE_ARRAY) v = FirstElement(v);
    switch (v->Kind()) {
        case VALUE_REAL:
        case VALUE_BOOL: return RealToInt64(v->val);
        case VALUE_STRING:
            return v->pRefString != nullptr && v->pRefString->Get() != nullptr
                       ? std::strtoll(v->pRefString->Get(), nullptr, 10)
                       : 0;
        case VALUE_UNDEFINED: return 0;
        case VALUE_INT32: return v->v32;
        case VALUE_INT64:
        case VALUE_PTR: return v->v64;
        case VALUE_UNSET: ZQError("I64 argument is unset"); return 0;
        default: ZQError("I64 argument incorrect type %d", static_cast<int>(v->Kind())); return 0;
    }
}

intptr_t PTR_RValue(const RValue* v) {
    if (v->Kind() == VALUE_ARRAY) v = FirstElement(v);
    switch (v->Kind()) {
        case VALUE_REAL:
        case VALUE_BOOL: return static_cast<intptr_t>(RealToInt64(v->val));
        case VALUE_STRING:
            return v->pRefString != nullptr && v->pRefString->Get() != nullptr
                       ? static_cast<intptr_t>(std::strtoll(v->pRefString->Get(), nullptr, 16))
                       : 0;
        case VALUE_UNDEFINED: return 0;
        case VALUE_INT32: return v->v32;
        case VALUE_INT64:
        case VALUE_PTR:
        case VALUE_OBJECT: return static_cast<intptr_t>(v->v64);
        case VALUE_UNSET: ZQError("PTR argument is unset"); return 0;
        default: ZQError("PTR argument incorrect type %d", static_cast<int>(v->Kind())); return 0;
    }
}

bool BOOL_RValue(const RValue* v) {
    return INT32_RValue(v) > 0;
}
