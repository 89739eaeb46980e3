// The text form of values (`STRING_RValue`), kind names and the value hash.
//
// Arrays and objects may hold themselves, directly or through others. The
// printer keeps the arrays and objects it is inside of on a path list; one met
// again while it is still open prints as its empty form, so the printer never
// recurses into a value on its own path, and a value that appears again
// elsewhere (a later sibling, a different branch) prints in full. The path
// lives per thread and spans re-entry through an object's toString.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/error.h"
#include "core/memory_manager.h"
#include "core/object_base.h"
#include "core/real_to_int.h"
#include "core/rvalue.h"
#include "core/value_text.h"

#include "core/crc32.h"

void (*g_pfnObjectToString)(ZQObjectBase* object, RValue* result) = nullptr;

namespace {

// Deeper nesting prints as the empty form, so the stack stays bounded.
constexpr int kMaxTextDepth = 256;

struct TextPathNode {
    const void* record;
    const TextPathNode* up;
};
thread_local const TextPathNode* t_textPath = nullptr;
thread_local int t_textDepth = 0;

bool IsOnTextPath(const void* record) {
    for (const TextPathNode* node = t_textPath; node != nullptr; node = node->up)
        if (node->record == record) return true;
    return false;
}

// Marks a record open for the printer's current path while in scope.
class TextPathScope {
public:
    explicit TextPathScope(const void* record) : m_node{record, t_textPath} {
        t_textPath = &m_node;
        ++t_textDepth;
    }
    ~TextPathScope() {
        t_textPath = m_node.up;
        --t_textDepth;
    }
    TextPathScope(const TextPathScope&) = delete;
    TextPathScope& operator=(const TextPathScope&) = delete;

private:
    TextPathNode m_node;
};

bool CanEnter(const void* record) {
    return t_textDepth < kMaxTextDepth && !IsOnTextPath(record);
}

// Appends `length` bytes at the cursor. The block grows to the larger of
// twice its capacity and what is needed plus one; on failure the text is cut.
void Append(char** cursor, char** buffer, int* capacity, const char* text, size_t length) {
    size_t used = *buffer != nullptr ? static_cast<size_t>(*cursor - *buffer) : 0;
    size_t need = used + length + 1;
    if (*buffer == nullptr || static_cast<size_t>(*capacity) < need) {
        size_t grown = static_cast<size_t>(*capacity) * 2;
        if (grown < need + 1) grown = need + 1;
        if (grown > INT32_MAX) return;
        auto* block = static_cast<char*>(ZQ_ReAlloc(*buffer, grown));
        if (block == nullptr) return;
        *buffer = block;
        *capacity = static_cast<int>(grown);
        *cursor = block + used;
    }
    std::memcpy(*cursor, text, length);
    *cursor += length;
    **cursor = '\0';
}

void Append(char** cursor, char** buffer, int* capacity, const char* text) {
    Append(cursor, buffer, capacity, text, std::strlen(text));
}

// A real prints as an integer when it is one, else with two decimals. NaN
// prints as "nan" (its truncation is no integer it equals); infinities and
// values beyond 64 bits take the decimal form ("inf", "-inf", "1e20" in full).
int FormatReal(char* out, size_t size, double d) {
    if (std::isnan(d)) return std::snprintf(out, size, "nan");
    int64_t whole = RealToInt64(d);
    if (static_cast<double>(whole) == d) return std::snprintf(out, size, "%" PRId64, whole);
    return std::snprintf(out, size, "%.2f", d);
}

void AppendArray(char** cursor, char** buffer, int* capacity, const RValue* v) {
    Append(cursor, buffer, capacity, "{ ");
    const RefDynamicArrayOfRValue* record = v->pRefArray;
    if (record != nullptr && CanEnter(record)) {
        TextPathScope open(record);
        for (int32_t r = 0; r < record->m_length; ++r) {
            const DynamicArrayOfRValue& row = record->m_Array[r];
            Append(cursor, buffer, capacity, "{ ");
            for (int32_t c = 0; c < row.length; ++c) {
                if (c != 0) Append(cursor, buffer, capacity, ",");
                STRING_RValue(cursor, buffer, capacity, &row.arr[c]);
            }
            Append(cursor, buffer, capacity, " }, ");
        }
    }
    Append(cursor, buffer, capacity, " }");
}

void AppendObject(char** cursor, char** buffer, int* capacity, const RValue* v) {
    ZQObjectBase* object = v->pObj;
    if (object == nullptr) {
        Append(cursor, buffer, capacity, "null");
        return;
    }
    if (g_pfnObjectToString == nullptr || !CanEnter(object)) return;
    TextPathScope open(object);
    RValue result = RValue_Undefined();
    g_pfnObjectToString(object, &result);
    if (result.Kind() == VALUE_STRING && result.pRefString != nullptr && result.pRefString->Get() != nullptr)
        Append(cursor, buffer, capacity, result.pRefString->Get());
    FREE_RValue(&result);
}

} // namespace

void STRING_RValue(char** cursor, char** buffer, int* capacity, const RValue* v) {
    char number[64];
    switch (v->Kind()) {
        case VALUE_REAL: {
            int n = FormatReal(number, sizeof number, v->val);
            Append(cursor, buffer, capacity, number, static_cast<size_t>(n));
            break;
        }
        case VALUE_STRING:
            if (v->pRefString != nullptr && v->pRefString->Get() != nullptr)
                Append(cursor, buffer, capacity, v->pRefString->Get());
            break;
        case VALUE_ARRAY: AppendArray(cursor, buffer, capacity, v); break;
        case VALUE_PTR:
            std::snprintf(number, sizeof number, "%p", v->ptr);
            Append(cursor, buffer, capacity, number);
            break;
        case VALUE_UNDEFINED: Append(cursor, buffer, capacity, "undefined"); break;
        case VALUE_OBJECT: AppendObject(cursor, buffer, capacity, v); break;
        case VALUE_INT32:
            std::snprintf(number, sizeof number, "%d", v->v32);
            Append(cursor, buffer, capacity, number);
            break;
        case VALUE_INT64:
            std::snprintf(number, sizeof number, "%" PRId64, v->v64);
            Append(cursor, buffer, capacity, number);
            break;
        case VALUE_BOOL: Append(cursor, buffer, capacity, v->val == 0.0 ? "0" : "1"); break;
        case VALUE_UNSET: ZQError("STRING argument is unset"); break;
        default: break;
    }
}

char* Value_ToText(const RValue* v) {
    int capacity = 16;
    auto* buffer = static_cast<char*>(ZQ_Alloc(static_cast<size_t>(capacity)));
    if (buffer == nullptr) return nullptr;
    char* cursor = buffer;
    STRING_RValue(&cursor, &buffer, &capacity, v);
    return buffer;
}

const char* KindName(uint32_t kind) {
    switch (kind & MASK_KIND_RVALUE) {
        case VALUE_REAL: return "number";
        case VALUE_STRING: return "string";
        case VALUE_ARRAY: return "array";
        case VALUE_PTR: return "ptr";
        case VALUE_VEC3: return "vec3";
        case VALUE_UNDEFINED: return "undefined";
        case VALUE_OBJECT: return "object";
        case VALUE_INT32: return "int32";
        case VALUE_VEC4: return "vec4";
        case VALUE_VEC44: return "vec44";
        case VALUE_INT64: return "int64";
        case VALUE_ACCESSOR: return "accessor";
        case VALUE_NULL: return "null";
        case VALUE_BOOL: return "bool";
        case VALUE_ITERATOR: return "iterator";
        default: return "unknown";
    }
}

const char* KindName(const RValue* v) {
    if (v->Kind() == VALUE_OBJECT && v->pObj != nullptr && v->pObj->m_kind == OBJECT_KIND_SCRIPTREF)
        return "method";
    return KindName(v->kind);
}

int32_t HASH_RValue(const RValue* v) {
    switch (v->Kind()) {
        case VALUE_REAL: return RealToInt32(v->val);
        case VALUE_STRING: {
            if (v->pRefString == nullptr || v->pRefString->Get() == nullptr) return 0;
            const char* text = v->pRefString->Get();
            return static_cast<int32_t>(CalcCRC_string(text));
        }
        case VALUE_INT32:
        case VALUE_INT64: return static_cast<int32_t>(static_cast<uint32_t>(v->v64));
        case VALUE_ARRAY: {
            // The record lives as long as the array, so its address is a
            // stable identity; mix the high bits into the low ones.
            auto address = reinterpret_cast<uintptr_t>(v->pRefArray);
            return static_cast<int32_t>(static_cast<uint32_t>((address >> 4) ^ (address >> 32)));
        }
        case VALUE_UNDEFINED: return 0;
        case VALUE_UNSET: ZQError("HASH argument is unset"); [[fallthrough]];
        default: return static_cast<int32_t>(static_cast<uint32_t>(v->v64));
    }
}
