// The array builders and the text conversion of the drawing built-ins.
#include "library/drawing_helpers.h"

#include <cstdarg>
#include <cstring>

#include "core/memory_manager.h"
#include "core/ref_string.h"

namespace {

// Makes `result` an array of one row of `count` undefined elements and
// returns the row's elements (null when out of memory or count is 0).
RValue* OneRow(RValue* result, int count) {
    result->kind = VALUE_UNDEFINED;
    result->flags = 0;
    result->v64 = 0;
    if (count < 0) count = 0;
    RefDynamicArrayOfRValue* record = ARRAY_RefAlloc(result);
    if (record == nullptr) return nullptr;
    record->m_Array = ZQ_AllocArray<DynamicArrayOfRValue>(1);
    RValue* elements = count > 0 ? ZQ_AllocArray<RValue>(static_cast<size_t>(count)) : nullptr;
    if (record->m_Array == nullptr || (count > 0 && elements == nullptr)) {
        ZQ_Free(elements);
        ZQ_Free(record->m_Array);
        ZQ_Free(record);
        return nullptr;
    }
    record->m_length = 1;
    record->m_Array[0].length = count;
    record->m_Array[0].arr = elements;
    for (int i = 0; i < count; ++i) {
        elements[i].v64 = 0;
        elements[i].flags = 0;
        elements[i].kind = VALUE_UNDEFINED;
    }
    result->pRefArray = record;
    result->kind = VALUE_ARRAY;
    return elements;
}

} // namespace

void CreateArray(RValue* result, int count, ...) {
    RValue* elements = OneRow(result, count);
    if (elements == nullptr) return;
    va_list args;
    va_start(args, count);
    for (int i = 0; i < count; ++i) elements[i] = RValue_Real(va_arg(args, double));
    va_end(args);
}

void CreateArrayValOrString(RValue* result, int count, ...) {
    RValue* elements = OneRow(result, count);
    if (elements == nullptr) return;
    va_list args;
    va_start(args, count);
    for (int i = 0; i < count; ++i) {
        const double number = va_arg(args, double);
        const char* text = va_arg(args, const char*);
        if (text == nullptr)
            elements[i] = RValue_Real(number);
        else
            ZQSetString(&elements[i], text);
    }
    va_end(args);
}

void GetTextFromArg(const RValue* value, int capacity, char** out) {
    *out = nullptr;
    if (capacity < 1) capacity = 1;
    auto* buffer = static_cast<char*>(ZQ_Alloc(static_cast<size_t>(capacity)));
    if (buffer == nullptr) return;
    buffer[0] = '\0';
    char* cursor = buffer;
    if (value != nullptr) STRING_RValue(&cursor, &buffer, &capacity, value);
    const size_t used = static_cast<size_t>(cursor - buffer) + 1;
    if (used < static_cast<size_t>(capacity)) {
        if (auto* trimmed = static_cast<char*>(ZQ_ReAlloc(buffer, used))) buffer = trimmed;
    }
    *out = buffer;
}
