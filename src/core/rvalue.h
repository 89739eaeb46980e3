// Script values: the 16-byte `RValue`, its kinds and flags, the array record
// with copy-on-write by owner, and the copy, release, read and write rules
// that every store in the runtime follows.
#pragma once

#include <cstdint>
#include <cstring>

#include "core/ref_string.h"

class ZQObjectBase;
class IBuffer;
struct RefDynamicArrayOfRValue;

// Kinds: the low 24 bits of the kind word. The top 8 bits are free for the
// data structures' nested-structure marks, so every kind test masks them off.
enum : uint32_t {
    VALUE_REAL = 0,
    VALUE_STRING = 1,
    VALUE_ARRAY = 2,
    VALUE_PTR = 3,
    VALUE_VEC3 = 4,
    VALUE_UNDEFINED = 5,
    VALUE_OBJECT = 6,
    VALUE_INT32 = 7,
    VALUE_VEC4 = 8,
    VALUE_VEC44 = 9,
    VALUE_INT64 = 10,
    VALUE_ACCESSOR = 11,
    VALUE_NULL = 12,
    VALUE_BOOL = 13,
    VALUE_ITERATOR = 14,
    VALUE_UNSET = 0x00FFFFFF, // never written
};
inline constexpr uint32_t MASK_KIND_RVALUE = 0x00FFFFFF;

// Flags.
inline constexpr uint32_t RVALUE_FLAG_ENUMERABLE = 1;
inline constexpr uint32_t RVALUE_FLAG_CONFIGURABLE = 2; // the variable may be deleted
inline constexpr uint32_t RVALUE_FLAG_WRITABLE = 4;
inline constexpr uint32_t RVALUE_FLAG_OWNED = 8; // releasing a pointer value deletes the object

// Array indices combine row and column as row * 32000 + column; the most
// negative 32-bit integer addresses the value itself rather than an element.
inline constexpr int32_t ARRAY_ROW_STRIDE = 32000;
inline constexpr int32_t ARRAY_INDEX_NO_INDEX = INT32_MIN;

// One script value. A zero-filled RValue is the real 0.0 without flags, so
// storage grown by the memory manager (which zero-fills) reads as reals of 0.
// The payload holds a full 64-bit pointer on this build.
struct RValue {
    union {
        double val;  // real, bool
        int32_t v32; // int32 (low 4 bytes), iterator
        int64_t v64; // int64
        void* ptr;   // pointer
        RefString* pRefString;
        RefDynamicArrayOfRValue* pRefArray;
        ZQObjectBase* pObj;
    };
    uint32_t flags;
    uint32_t kind;

    uint32_t Kind() const { return kind & MASK_KIND_RVALUE; }

    // The saved-game layout: the kind word, then the payload by kind.
    void Serialise(IBuffer* buffer) const;
    // Reads a value written by Serialise. The data is untrusted: unknown or
    // unrestorable kinds, counts the buffer cannot hold and nesting past the
    // limit fail, returning false with this value and its flags unchanged.
    // On success this value is released first and then receives the result.
    bool DeSerialise(IBuffer* buffer);
};
static_assert(sizeof(RValue) == 16, "compiled code and the variable-cell pool rely on 16-byte values");
static_assert(sizeof(void*) == 8, "the payload carries a full 64-bit pointer");

// One array row, also the argument vector of a script call: a length and a
// memory-manager block of values. A row made by growth but never written has
// length 0 and no block. Blocks may hold more values than `length`; the spare
// values are always zero bytes.
struct DynamicArrayOfRValue {
    int32_t length;
    RValue* arr;
};

// The array record (a memory-manager block). `m_Owner` names the one value
// that may write the record in place; any other holder copies it first while
// the record is shared (copy-on-write).
struct RefDynamicArrayOfRValue {
    int32_t m_refCount;
    DynamicArrayOfRValue* m_Array; // `m_length` rows
    RValue* m_Owner;
    int32_t m_length;
};

// The out-of-range report of the last array access that missed. Callers test
// and clear g_fIndexOutOfRange and turn the rest into their messages.
extern int g_fIndexOutOfRange;
extern int g_nIndexOutOfRange1; // the row asked for
extern int g_nIndexOutOfRange2; // the column asked for
extern int g_nMaxIndexRange1;   // the array's row count (0 without a record)
extern int g_nMaxIndexRange2;   // the addressed row's length, -1 when the row does not exist

// ---------------------------------------------------------------------------
// Copy and release.

// The out-of-line part of the release rule for kinds string to vec3: drops
// the reference (freeing a record that no value holds any more) or deletes
// an owned pointer's object; the kind is left as it was.
void FREE_RValue__Pre(RValue* v);
void COPY_RValue__Post(RValue* dest); // the object part of the copy rule: the collector's notification

// Copies the 16 bytes field by field: values are usually built field by field
// just before they are copied, and a single 16-byte load of them could not be
// forwarded from those stores (a stall on every copy of a fresh temporary).
inline void RValue_CopyBits(RValue* dest, const RValue* src) {
    dest->v64 = src->v64;
    dest->flags = src->flags;
    dest->kind = src->kind;
}

// Kinds string, array, pointer and vec3 need work on release.
inline bool RValue_NeedsRelease(const RValue* v) {
    return ((v->kind - 1u) & MASK_KIND_RVALUE) < 4u;
}

// Copy rule: dest (assumed to hold nothing) takes src's kind word, flags and
// payload (a pointer's copy never owns the object); a string record gains a
// reference; an array record gains one and,
// when it has no owner, dest becomes its owner; an object is reported to the
// collector as a possible new root. Inline: every store in the runtime and in
// compiled code goes through it.
inline void COPY_RValue(RValue* dest, const RValue* src) {
    RValue_CopyBits(dest, src);
    switch (src->kind & MASK_KIND_RVALUE) {
        case VALUE_STRING:
            if (dest->pRefString != nullptr) dest->pRefString->Inc();
            break;
        case VALUE_ARRAY:
            if (RefDynamicArrayOfRValue* record = dest->pRefArray) {
                ++record->m_refCount;
                if (record->m_Owner == nullptr) record->m_Owner = dest;
            }
            break;
        case VALUE_OBJECT: COPY_RValue__Post(dest); break;
        // One value owns a pointed object: a copy that owned it too would
        // delete it a second time when released.
        case VALUE_PTR: dest->flags &= ~RVALUE_FLAG_OWNED; break;
        default: break;
    }
}

// Release rule, leaving v undefined (flags 0, kind 5, payload 0). A string
// or array that other values still hold only loses a reference here; freeing
// and owned pointers are out of line.
inline void FREE_RValue(RValue* v) {
    uint32_t kind = v->kind & MASK_KIND_RVALUE;
    if (kind == VALUE_STRING && v->pRefString != nullptr && v->pRefString->m_refCount > 1) {
        --v->pRefString->m_refCount;
    } else if (kind == VALUE_ARRAY && v->pRefArray != nullptr && v->pRefArray->m_refCount > 1) {
        if (v->pRefArray->m_Owner == v) v->pRefArray->m_Owner = nullptr;
        --v->pRefArray->m_refCount;
    } else if (RValue_NeedsRelease(v)) {
        FREE_RValue__Pre(v);
    }
    v->v64 = 0;
    v->flags = 0;
    v->kind = VALUE_UNDEFINED;
}

// Moves a value that holds its own references into dest (assumed released),
// keeping an array's owner pointing at the value's new address, and leaves
// src undefined. A value that owns an array must be moved this way: a plain
// bytewise copy would leave the record's owner naming the old address.
inline void RValue_MoveInto(RValue* dest, RValue* src) {
    if (dest == src) return;
    RValue_CopyBits(dest, src);
    if ((src->kind & MASK_KIND_RVALUE) == VALUE_ARRAY && src->pRefArray != nullptr &&
        src->pRefArray->m_Owner == src)
        src->pRefArray->m_Owner = dest;
    src->v64 = 0;
    src->flags = 0;
    src->kind = VALUE_UNDEFINED;
}

// Value constructors for callers that build values by hand.
inline RValue RValue_Real(double d) {
    RValue v;
    v.val = d;
    v.flags = 0;
    v.kind = VALUE_REAL;
    return v;
}
inline RValue RValue_Undefined() {
    RValue v;
    v.v64 = 0;
    v.flags = 0;
    v.kind = VALUE_UNDEFINED;
    return v;
}

// ---------------------------------------------------------------------------
// Arrays.

// Splits a combined index by truncating division (negative indices give a
// non-positive row and column).
inline void ARRAY_SplitIndex(int32_t index, int32_t* row, int32_t* column) {
    *row = index / ARRAY_ROW_STRIDE;
    *column = index % ARRAY_ROW_STRIDE;
}

// Reads element `index` of src (or the whole value for the no-index marker)
// into dest. Out of range: false, dest the real 0, the report set. Indexing a
// non-array raises "trying to index a variable which is not an array" and
// copies the whole value. dest may be src itself or an element of src's array.
bool GET_RValue(RValue* dest, RValue* src, int32_t index);
// Writes src into dest (no-index marker) or into element `index` of dest,
// making dest an array, copying a shared record first, growing rows.
// src may be dest, or any value stored inside dest's array.
void SET_RValue(RValue* dest, const RValue* src, int32_t index);
// Writes src into element `index` of an array value, growing its rows.
void SET_RValue_Array(RValue* arrayValue, const RValue* src, int32_t index);

// The element for reading, or null (unset v raises "ARRAY argument is unset").
const RValue* ARRAY_RVAL_RValue(const RValue* v, int32_t index);
// The element for writing, or null for a negative row or column: makes v an
// array when it is none, copies a shared record, grows rows.
RValue* ARRAY_LVAL_RValue(RValue* v, int32_t index);

// A zeroed record with count 1 and the given owner (null when out of memory).
RefDynamicArrayOfRValue* ARRAY_RefAlloc(RValue* owner);
// A private copy of the record for newOwner (elements copied by the copy
// rule); the old record loses one reference without being freed.
RefDynamicArrayOfRValue* CopyRefArrayAndUnref(RefDynamicArrayOfRValue* record, RValue* newOwner);
// Copies src into dest (assumed released); an array gets a private copy
// owned by dest while the source record keeps its count.
void DEEP_COPY_RValue(RValue* dest, const RValue* src);

// ---------------------------------------------------------------------------
// Conversions. An array converts through its first element (read only: the
// conversion never grows or copies the array). Unset values and kinds a
// conversion cannot take raise an error and give 0.

double REAL_RValue_Ex(const RValue* v);
int32_t INT32_RValue(const RValue* v);
int64_t INT64_RValue(const RValue* v);
intptr_t PTR_RValue(const RValue* v);
bool BOOL_RValue(const RValue* v);

inline double REAL_RValue(const RValue* v) {
    return (v->kind & MASK_KIND_RVALUE) == VALUE_REAL ? v->val : REAL_RValue_Ex(v);
}

// Appends v's text form at *cursor in the caller's memory-manager block
// (*buffer, *capacity bytes), growing the block as needed; the text stays
// zero-terminated. *buffer may be null with *capacity 0.
void STRING_RValue(char** cursor, char** buffer, int* capacity, const RValue* v);

// The name of v's kind, as messages print it.
const char* KindName(const RValue* v);
const char* KindName(uint32_t kind);

// A 32-bit hash of v: numbers by value, strings by the CRC-32 register of
// their text, arrays by identity.
int32_t HASH_RValue(const RValue* v);
