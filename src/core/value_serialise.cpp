// The byte layout in which values are saved (saved games, value lists):
// the kind word as s32, then by kind: real and bool an f64; string a
// zero-terminated string; array the row count (s32), then per row its length
// (s32) and its elements by this same layout; int32 an s32; int64 a u64;
// every other kind nothing more. All items are typed buffer writes.
//
// Reading is reading untrusted data. Only kinds that can be restored are
// accepted: a pointer (an address from another run) or an accessor (whose
// payload cannot be rebuilt) fails, as does any kind word with bits above the
// kind set. Counts must fit in what is left of the buffer (each row and each
// element takes at least four bytes), nesting stops at kMaxValueNesting, and
// a failed read frees everything it built. The writer only writes what the
// reader accepts: pointer and accessor values, marked kind words, arrays
// nested too deeply and arrays met again inside themselves are written as
// undefined.
#include "core/buffer.h"
#include "core/memory_manager.h"
#include "core/rvalue.h"

namespace {

constexpr int kMaxValueNesting = 256;

bool IsRestorableKind(uint32_t kind) {
    switch (kind) {
        case VALUE_PTR:
        case VALUE_ACCESSOR: return false;
        default: return kind <= VALUE_ITERATOR || kind == VALUE_UNSET;
    }
}

struct OpenArray {
    const RefDynamicArrayOfRValue* record;
    const OpenArray* up;
};

bool IsOpen(const OpenArray* path, const RefDynamicArrayOfRValue* record) {
    for (; path != nullptr; path = path->up)
        if (path->record == record) return true;
    return false;
}

void WriteInt32(IBuffer* buffer, int32_t n) {
    RValue v;
    v.v64 = 0;
    v.v32 = n;
    v.flags = 0;
    v.kind = VALUE_INT32;
    buffer->Write(eBuffer_S32, &v);
}

void WriteValue(IBuffer* buffer, const RValue* v, int depth, const OpenArray* path) {
    uint32_t kind = v->kind;
    bool restorable = IsRestorableKind(kind);
    if (restorable && kind == VALUE_ARRAY && v->pRefArray != nullptr)
        restorable = depth < kMaxValueNesting && !IsOpen(path, v->pRefArray);
    if (!restorable) {
        WriteInt32(buffer, VALUE_UNDEFINED);
        return;
    }
    WriteInt32(buffer, static_cast<int32_t>(kind));
    switch (kind) {
        case VALUE_REAL:
        case VALUE_BOOL: {
            RValue real = RValue_Real(v->val);
            buffer->Write(eBuffer_F64, &real);
            break;
        }
        case VALUE_STRING: {
            // A string without text is written as the empty text.
            RValue text = RValue_Undefined();
            const char* chars = v->pRefString != nullptr ? v->pRefString->Get() : nullptr;
            ZQSetString(&text, chars != nullptr ? chars : "");
            buffer->Write(eBuffer_String, &text);
            FREE_RValue(&text);
            break;
        }
        case VALUE_ARRAY: {
            // An array without record is written as an empty one, so that
            // the reader always finds a row count.
            const RefDynamicArrayOfRValue* record = v->pRefArray;
            if (record == nullptr) {
                WriteInt32(buffer, 0);
                break;
            }
            OpenArray open{record, path};
            WriteInt32(buffer, record->m_length);
            for (int32_t r = 0; r < record->m_length; ++r) {
                const DynamicArrayOfRValue& row = record->m_Array[r];
                WriteInt32(buffer, row.length);
                for (int32_t c = 0; c < row.length; ++c) WriteValue(buffer, &row.arr[c], depth + 1, &open);
            }
            break;
        }
        case VALUE_INT32: WriteInt32(buffer, v->v32); break;
        case VALUE_INT64: {
            RValue wide = *v;
            buffer->Write(eBuffer_U64, &wide);
            break;
        }
        default: break;
    }
}

bool ReadInt32(IBuffer* buffer, int32_t* n) {
    RValue v = RValue_Undefined();
    if (buffer->Read(eBuffer_S32, &v) != 0 || v.Kind() != VALUE_INT32) return false;
    *n = v.v32;
    return true;
}

// A count of items that each take at least four more bytes of the buffer.
bool ReadCount(IBuffer* buffer, int32_t* count) {
    if (!ReadInt32(buffer, count)) return false;
    int64_t remaining = static_cast<int64_t>(buffer->Size()) - buffer->Tell();
    return *count >= 0 && *count <= remaining / 4;
}

// Reads one value into out (undefined on entry). On failure out may hold a
// partly built value, which the caller releases.
bool ReadValue(IBuffer* buffer, RValue* out, int depth) {
    int32_t word;
    if (!ReadInt32(buffer, &word)) return false;
    auto kind = static_cast<uint32_t>(word);
    if (!IsRestorableKind(kind)) return false;
    out->v64 = 0;
    out->flags = 0;
    out->kind = kind;
    switch (kind) {
        case VALUE_REAL:
        case VALUE_BOOL: {
            RValue real = RValue_Undefined();
            if (buffer->Read(eBuffer_F64, &real) != 0) return false;
            out->val = real.val;
            return true;
        }
        case VALUE_STRING: {
            RValue text = RValue_Undefined();
            if (buffer->Read(eBuffer_String, &text) != 0) return false;
            out->pRefString = text.pRefString;
            return true;
        }
        case VALUE_ARRAY: {
            if (depth >= kMaxValueNesting) return false;
            RefDynamicArrayOfRValue* record = ARRAY_RefAlloc(out);
            out->pRefArray = record;
            int32_t rows;
            if (record == nullptr || !ReadCount(buffer, &rows)) return false;
            if (rows == 0) return true;
            record->m_Array = ZQ_AllocArray<DynamicArrayOfRValue>(static_cast<size_t>(rows));
            if (record->m_Array == nullptr) return false;
            record->m_length = rows;
            for (int32_t r = 0; r < rows; ++r) {
                int32_t length;
                if (!ReadCount(buffer, &length)) return false;
                if (length == 0) continue;
                DynamicArrayOfRValue& row = record->m_Array[r];
                row.arr = ZQ_AllocArray<RValue>(static_cast<size_t>(length));
                if (row.arr == nullptr) return false;
                row.length = length;
                for (int32_t c = 0; c < length; ++c)
                    if (!ReadValue(buffer, &row.arr[c], depth + 1)) return false;
            }
            return true;
        }
        case VALUE_INT32: return ReadInt32(buffer, &out->v32);
        case VALUE_INT64: {
            RValue wide = RValue_Undefined();
            if (buffer->Read(eBuffer_U64, &wide) != 0) return false;
            out->v64 = wide.v64;
            return true;
        }
        default: return true;
    }
}

} // namespace

void RValue::Serialise(IBuffer* buffer) const {
    WriteValue(buffer, this, 0, nullptr);
}

bool RValue::DeSerialise(IBuffer* buffer) {
    RValue result = RValue_Undefined();
    if (!ReadValue(buffer, &result, 0)) {
        FREE_RValue(&result);
        return false;
    }
    // The owned flag belongs to a pointer this value made; none is restored.
    uint32_t keptFlags = flags & ~RVALUE_FLAG_OWNED;
    FREE_RValue(this);
    RValue_MoveInto(this, &result);
    flags = keptFlags;
    return true;
}
