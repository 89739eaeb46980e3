// Object types: instance lists, ancestry and the object table (a chained
// table of 512 buckets keyed by object index).
#include "world/object_type.h"

#include <cstdio>
#include <cstring>

#include "core/hash.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"

int32_t g_ObjectNumber = 0;

namespace {

// Made on first use and never destroyed by a static destructor: instances
// still alive at exit point into it.
Hash<CObjectVT>& ObjectTable() {
    static Hash<CObjectVT>* table = new Hash<CObjectVT>(512);
    return *table;
}

} // namespace

// ---------------------------------------------------------------------------
// Instance lists.

bool SInstanceList::Append(CInstance* instance) {
    auto* node = static_cast<SInstanceNode*>(ZQ_AllocNoClear(sizeof(SInstanceNode)));
    if (node == nullptr) return false;
    *node = {nullptr, m_pLast, instance};
    if (m_pLast != nullptr)
        m_pLast->m_pNext = node;
    else
        m_pFirst = node;
    m_pLast = node;
    ++m_count;
    return true;
}

bool SInstanceList::Remove(CInstance* instance) {
    for (SInstanceNode* node = m_pFirst; node != nullptr; node = node->m_pNext) {
        if (node->m_pInstance != instance) continue;
        if (node->m_pPrev != nullptr)
            node->m_pPrev->m_pNext = node->m_pNext;
        else
            m_pFirst = node->m_pNext;
        if (node->m_pNext != nullptr)
            node->m_pNext->m_pPrev = node->m_pPrev;
        else
            m_pLast = node->m_pPrev;
        ZQ_Free(node);
        --m_count;
        return true;
    }
    return false;
}

void SInstanceList::Clear() {
    SInstanceNode* node = m_pFirst;
    while (node != nullptr) {
        SInstanceNode* next = node->m_pNext;
        ZQ_Free(node);
        node = next;
    }
    m_pFirst = m_pLast = nullptr;
    m_count = 0;
}

// ---------------------------------------------------------------------------
// Object types.

CObjectVT::CObjectVT(int index) : m_index(index) {}

CObjectVT::~CObjectVT() {
    ZQ_Free(m_pName);
}

void CObjectVT::SetName(const char* name) {
    ZQ_Free(m_pName);
    m_pName = name != nullptr && name[0] != '\0' ? ZQStrDup(name) : nullptr;
}

// The parent chain is walked by pointer; a chain longer than the table has
// a cycle, and the walk stops there.
void CObjectVT::AddInstance(CInstance* instance) {
    m_Instances.Append(instance);
    int32_t steps = 0;
    for (CObjectVT* type = this; type != nullptr && steps <= g_ObjectNumber; type = type->m_pParent, ++steps)
        type->m_InstancesRecursive.Append(instance);
}

void CObjectVT::RemoveInstance(CInstance* instance) {
    m_Instances.Remove(instance);
    int32_t steps = 0;
    for (CObjectVT* type = this; type != nullptr && steps <= g_ObjectNumber; type = type->m_pParent, ++steps)
        type->m_InstancesRecursive.Remove(instance);
}

bool CObjectVT::IsDecendentOf(int index) const {
    int32_t parent = m_parentIndex;
    for (int32_t steps = 0; parent >= 0 && steps <= g_ObjectNumber; ++steps) {
        if (parent == index) return true;
        const CObjectVT* type = Object_Data(parent);
        if (type == nullptr) return false;
        parent = type->m_parentIndex;
    }
    return false;
}

// ---------------------------------------------------------------------------
// The table.

void Object_Init() {
    ObjectTable().Clear(eDelete_Delete);
    g_ObjectNumber = 0;
}

void FINALIZE_Object_Main() {
    Object_Init();
}

CObjectVT* Object_Data(int index) {
    if (index < 0) return nullptr;
    return ObjectTable().Find(static_cast<uint32_t>(index));
}

bool Object_Exists(int index) {
    return Object_Data(index) != nullptr;
}

const char* Object_Name(int index) {
    const CObjectVT* type = Object_Data(index);
    return type != nullptr && type->m_pName != nullptr ? type->m_pName : "<undefined>";
}

int Object_Find(const char* name) {
    if (name == nullptr) return -1;
    int found = -1;
    ObjectTable().ForEach([&](uint32_t, CObjectVT* type) {
        if (found < 0 && type != nullptr && type->m_pName != nullptr && std::strcmp(type->m_pName, name) == 0)
            found = type->m_index;
    });
    return found;
}

int Object_Add() {
    int index = g_ObjectNumber;
    auto* type = new CObjectVT(index);
    char name[32];
    std::snprintf(name, sizeof name, "__newobject%d", index);
    type->SetName(name);
    if (!ObjectTable().Insert(static_cast<uint32_t>(index), type)) {
        delete type;
        return -1;
    }
    ++g_ObjectNumber;
    return index;
}

void Object_ResolveParents() {
    ObjectTable().ForEach([](uint32_t, CObjectVT* type) {
        if (type == nullptr) return;
        type->m_pParent =
            type->m_parentIndex >= 0 && type->m_parentIndex < 100000 && type->m_parentIndex != type->m_index
                ? Object_Data(type->m_parentIndex)
                : nullptr;
    });
}
