// Helpers that compiled code calls for texts, memory and new objects.
#include "core/compiled_support.h"

#include <cstring>

#include "core/memory_manager.h"
#include "core/object_base.h"
#include "core/rvalue.h"

void* ZQAlloc(size_t size) {
    return ZQ_AllocNoClear(size);
}

void* ZQRealloc(void* block, size_t size) {
    return ZQ_ReAlloc(block, size);
}

void ZQFree(void* block) {
    ZQ_Free(block);
}

void ZQStrFree(const char* text) {
    ZQ_Free(const_cast<char*>(text));
}

size_t ZQstrnlen(const char* text, size_t max) {
    if (text == nullptr) return 0;
    const void* zero = std::memchr(text, 0, max);
    return zero != nullptr ? static_cast<size_t>(static_cast<const char*>(zero) - text) : max;
}

char* ZQVTL_AddString(const char* a, const char* b) {
    if (a == nullptr && b == nullptr) return nullptr;
    size_t la = a != nullptr ? std::strlen(a) : 0;
    size_t lb = b != nullptr ? std::strlen(b) : 0;
    auto* block = static_cast<char*>(ZQ_AllocNoClear(la + lb + 1));
    if (block == nullptr) return nullptr;
    if (la != 0) std::memcpy(block, a, la);
    if (lb != 0) std::memcpy(block + la, b, lb);
    block[la + lb] = '\0';
    return block;
}

namespace {

uint32_t InstanceSlotCount() {
    return g_nInstanceVariables > 0 ? static_cast<uint32_t>(g_nInstanceVariables) : 0;
}

} // namespace

RValue* ZQSetInstance(RValue* v) {
    v->pObj = ZQObjectBase::Alloc(InstanceSlotCount(), VALUE_UNSET, false);
    v->kind = VALUE_OBJECT;
    return v;
}

RValue* ZQSetScriptRef(RValue* v) {
    v->pObj = new CScriptRef(InstanceSlotCount(), VALUE_UNSET);
    v->kind = VALUE_OBJECT;
    return v;
}
