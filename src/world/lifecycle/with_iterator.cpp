// "with" iteration: selecting the instances of a target into a fixed array
// and visiting it backwards, so "all" visits the last instance of the room's
// active list first.
#include "world/lifecycle/with_iterator.h"

#include "core/memory_manager.h"
#include "room/room.h"
#include "world/instances/instance.h"
#include "world/objects/object_type.h"

namespace {

// The gathering list: candidates in the order met, repeats included; the
// de-duplication runs once at the end and keeps each instance's latest
// position (the intrusive list the gathering is modelled on moves a repeat to
// the tail). Stamps make the pass linear.
CInstanceArray s_gathered;
CInstanceArray s_unique;
uint32_t s_stamp = 0;

inline bool Selectable(const CInstance* instance) {
    return instance != nullptr && !instance->i_marked && !instance->i_deactivated;
}

void AddOwnIndexFrom(const CInstanceArray& list, const CObjectVT* type) {
    for (int32_t i = 0; i < list.m_count; ++i) {
        CInstance* instance = list.m_pArray[i];
        if (Selectable(instance) && instance->i_objindex == type->m_index) s_gathered.Append(instance);
    }
}

// Builds the iterator's array from `instances` (count > 0): the null entry,
// then every instance but the last. The last becomes self.
bool MakeArray(SWithIterator* it, CInstance* const* instances, int32_t count) {
    CInstance** array = ZQ_AllocArray<CInstance*>(static_cast<size_t>(count));
    if (array == nullptr) return false;
    array[0] = nullptr;
    for (int32_t i = 0; i + 1 < count; ++i) array[i + 1] = instances[i];
    it->m_pInstances = array;
    it->m_pCursor = array + count;
    return true;
}

bool MakeSingle(SWithIterator* it) {
    CInstance** array = ZQ_AllocArray<CInstance*>(1);
    if (array == nullptr) return false;
    array[0] = nullptr;
    it->m_pInstances = array;
    it->m_pCursor = array + 1;
    return true;
}

} // namespace

void WithGather_Begin() {
    s_gathered.Clear();
}

void AddActiveInstances(CObjectVT* type) {
    if (type == nullptr) return;
    for (SInstanceNode* node = type->m_InstancesRecursive.m_pFirst; node != nullptr; node = node->m_pNext)
        if (Selectable(node->m_pInstance)) s_gathered.Append(node->m_pInstance);
}

void AddChangingInstances(CObjectVT* type) {
    if (type != nullptr) AddOwnIndexFrom(g_InstanceChangeArray, type);
}

void AddDeactivatingInstances(CObjectVT* type) {
    if (type != nullptr) AddOwnIndexFrom(g_InstanceActivateDeactive, type);
}

CInstance* const* WithGather_Result(int32_t* count) {
    if (++s_stamp == 0) { // wrapped: old stamps could collide
        for (int32_t i = 0; i < s_gathered.m_count; ++i) s_gathered.m_pArray[i]->m_withStamp = 0;
        s_stamp = 1;
    }
    s_unique.Clear();
    for (int32_t i = s_gathered.m_count; i-- > 0;) {
        CInstance* instance = s_gathered.m_pArray[i];
        if (instance->m_withStamp == s_stamp) continue;
        instance->m_withStamp = s_stamp;
        s_unique.Append(instance);
    }
    // Collected from the back: reverse into gathering order.
    for (int32_t i = 0, j = s_unique.m_count - 1; i < j; ++i, --j) {
        CInstance* t = s_unique.m_pArray[i];
        s_unique.m_pArray[i] = s_unique.m_pArray[j];
        s_unique.m_pArray[j] = t;
    }
    *count = s_unique.m_count;
    return s_unique.m_pArray;
}

void FINALIZE_With_Iterator() {
    s_gathered.Free();
    s_unique.Free();
}

int ZQVTL_NewWithIterator(SWithIterator* it, ZQObjectBase** self, ZQObjectBase** other, int target) {
    it->m_pOriginalSelf = *self;
    it->m_pOriginalOther = *other;
    it->m_pInstances = it->m_pCursor = nullptr;

    if (target == -1 || target == -6 || target == -2) {
        if (!MakeSingle(it)) return 0;
        if (target == -2) *self = it->m_pOriginalOther;
        *other = it->m_pOriginalSelf;
        return 1;
    }
    if (target == -4 || target == -5 || target == -7) return -1;
    if (target < -7) return 0;

    if (target == -3) {
        if (Run_Room == nullptr) return 0;
        WithGather_Begin();
        for (CInstance* i = Run_Room->m_pFirstActive; i != nullptr; i = i->m_pNext)
            if (Selectable(i)) s_gathered.Append(i);
        const int32_t count = s_gathered.m_count;
        if (count == 0 || !MakeArray(it, s_gathered.m_pArray, count)) return 0;
        *self = s_gathered.m_pArray[count - 1];
        *other = it->m_pOriginalSelf;
        return count;
    }

    if (target >= 100000) {
        CInstance* instance = CInstance::Find(target);
        if (!Selectable(instance) || !MakeSingle(it)) return 0;
        *self = instance;
        *other = it->m_pOriginalSelf;
        return 1;
    }

    CObjectVT* type = Object_Data(target);
    if (type == nullptr) return 0;
    WithGather_Begin();
    AddActiveInstances(type);
    AddChangingInstances(type);
    AddDeactivatingInstances(type);
    int32_t count = 0;
    CInstance* const* gathered = WithGather_Result(&count);
    if (count == 0 || !MakeArray(it, gathered, count)) return 0;
    *self = gathered[count - 1];
    *other = it->m_pOriginalSelf;
    return count;
}

bool ZQVTL_WithIteratorNext(SWithIterator* it, ZQObjectBase** self, ZQObjectBase** /*other*/) {
    if (it->m_pInstances == nullptr || it->m_pCursor == it->m_pInstances) return false;
    --it->m_pCursor;
    CInstance* next = *it->m_pCursor;
    if (next == nullptr) return false;
    *self = next;
    return true;
}

void ZQVTL_DeleteWithIterator(SWithIterator* it, ZQObjectBase** self, ZQObjectBase** other) {
    ZQ_Free(it->m_pInstances);
    it->m_pInstances = it->m_pCursor = nullptr;
    *self = it->m_pOriginalSelf;
    *other = it->m_pOriginalOther;
}
