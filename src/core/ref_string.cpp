// String records and the string makers: text blocks come from the memory
// manager, the small records themselves from the ordinary heap.
#include "core/ref_string.h"

#include <cstring>

#include "core/memory_manager.h"
#include "core/rvalue.h"

namespace {

// A memory-manager copy of `length` bytes plus a zero; null when out of memory.
char* CopyBytes(const char* bytes, size_t length) {
    auto* block = static_cast<char*>(ZQ_AllocNoClear(length + 1));
    if (block == nullptr) return nullptr;
    if (length != 0) std::memcpy(block, bytes, length);
    block[length] = '\0';
    return block;
}

int32_t ClampLength(size_t length) {
    return length > INT32_MAX ? INT32_MAX : static_cast<int32_t>(length);
}

} // namespace

RefString* RefString::Create(const char* text) {
    if (text == nullptr) return Adopt(nullptr);
    return Create(text, std::strlen(text));
}

RefString* RefString::Create(const char* bytes, size_t length) {
    return Adopt(CopyBytes(bytes, length));
}

RefString* RefString::Adopt(char* block) {
    auto* record = new RefString;
    record->m_thing = block;
    record->m_refCount = 1;
    record->m_size = block != nullptr ? ClampLength(std::strlen(block)) : 0;
    return record;
}

void RefString::Dec() {
    if (--m_refCount > 0) return;
    ZQ_Free(const_cast<char*>(m_thing));
    delete this;
}

char* ZQStrNDup(const char* bytes, size_t length) {
    return CopyBytes(bytes, length);
}

char* ZQStrDup(const char* text) {
    if (text == nullptr) return nullptr;
    return CopyBytes(text, std::strlen(text));
}

RValue* ZQCreateString(RValue* v, const char* text) {
    FREE_RValue(v);
    return ZQSetString(v, text);
}

RValue* ZQSetString(RValue* v, const char* text) {
    v->pRefString = RefString::Create(text);
    v->kind = VALUE_STRING;
    return v;
}

RValue* ZQSetStringBytes(RValue* v, const char* bytes, size_t length) {
    v->pRefString = RefString::Create(bytes, length);
    v->kind = VALUE_STRING;
    return v;
}

RValue* ZQCreateString(RValue* v, RefString* record) {
    if (record != nullptr) record->Inc();
    FREE_RValue(v);
    v->pRefString = record;
    v->kind = VALUE_STRING;
    return v;
}

RValue* ZQSetString(RValue* v, RefString* record) {
    if (record != nullptr) record->Inc();
    v->pRefString = record;
    v->kind = VALUE_STRING;
    return v;
}
