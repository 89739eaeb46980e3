// Instances: construction as script objects, object assignment, the id
// table and the deferred-change arrays.
#include "world/instance.h"

#include "core/memory_manager.h"
#include "world/object_type.h"

CInstanceArray g_InstanceChangeArray;
CInstanceArray g_InstanceActivateDeactive;

Hash<CInstance>& CInstance::ID2Instance() {
    // Never destroyed by a static destructor: it does not own the instances.
    static Hash<CInstance>* table = new Hash<CInstance>(512);
    return *table;
}

CInstance::CInstance(float x, float y, int id, int objectIndex, bool addToLists)
    : ZQObjectBase(0, VALUE_UNSET), i_id(id), i_x(x), i_y(y) {
    m_kind = OBJECT_KIND_INSTANCE;
    // Compiled code indexes the slot array directly, so an instance always has
    // one when the game declares instance variables.
    if (g_nInstanceVariables > 0) GrowSlots(g_nInstanceVariables);
    Register();
    SetObjectIndex(objectIndex, addToLists);
}

CInstance::~CInstance() {
    if (m_pObject != nullptr) m_pObject->RemoveInstance(this);
    Hash<CInstance>& table = ID2Instance();
    if (table.Find(static_cast<uint32_t>(i_id)) == this)
        table.Delete(static_cast<uint32_t>(i_id), eDelete_Keep);
    g_InstanceChangeArray.Remove(this);
    g_InstanceActivateDeactive.Remove(this);
}

void CInstance::SetObjectIndex(int objectIndex, bool addToLists) {
    if (m_pObject != nullptr) m_pObject->RemoveInstance(this);
    i_objindex = objectIndex;
    m_pObject = nullptr;
    CObjectVT* type = Object_Data(objectIndex);
    if (type != nullptr && addToLists) {
        type->AddInstance(this);
        m_pObject = type;
    }
}

bool CInstanceArray::Append(CInstance* instance) {
    if (m_count == m_capacity) {
        int32_t capacity = m_capacity == 0 ? 16 : m_capacity * 2;
        CInstance** grown = ZQ_ReAllocArray<CInstance*>(m_pArray, static_cast<size_t>(capacity));
        if (grown == nullptr) return false;
        m_pArray = grown;
        m_capacity = capacity;
    }
    m_pArray[m_count++] = instance;
    return true;
}

void CInstanceArray::Remove(CInstance* instance) {
    int32_t kept = 0;
    for (int32_t i = 0; i < m_count; ++i)
        if (m_pArray[i] != instance) m_pArray[kept++] = m_pArray[i];
    m_count = kept;
}

void CInstanceArray::Free() {
    ZQ_Free(m_pArray);
    m_pArray = nullptr;
    m_count = m_capacity = 0;
}
