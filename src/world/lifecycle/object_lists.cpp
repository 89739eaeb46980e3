// The per-event object lists (which object types handle each event, so the
// step's passes visit only those), the collision pairs, and the iterator
// that visits the instances a "with"-style target designates.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "core/memory_manager.h"
#include "room/room.h"
#include "world/datafile/options.h"
#include "world/instances/instance.h"
#include "world/objects/event.h"
#include "world/objects/object_type.h"

int32_t* obj_has_event[EVENT_TYPE_COUNT][EVENT_SUBTYPE_COUNT] = {};
int32_t obj_numb_event[EVENT_TYPE_COUNT][EVENT_SUBTYPE_COUNT] = {};
SCollisionPair* obj_col_pairs = nullptr;
int32_t obj_col_numb = 0;

namespace {

int32_t g_hasEventCapacity[EVENT_TYPE_COUNT][EVENT_SUBTYPE_COUNT] = {};
int32_t g_pairCapacity = 0;

// The event types with lists and the last subtype each list covers. Key
// events cover every key code: keys above 128 raise their events too.
struct ListedEvent {
    int type;
    int lastSubtype;
};
constexpr ListedEvent kListedEvents[] = {
    {EVENT_CREATE, 0},     {EVENT_DESTROY, 0},      {EVENT_ALARM, 12},    {EVENT_STEP, 16},
    {EVENT_KEYBOARD, 255}, {EVENT_MOUSE, 128},      {EVENT_OTHER, 128},   {EVENT_DRAW, 0},
    {EVENT_KEYPRESS, 255}, {EVENT_KEYRELEASE, 255}, {EVENT_GESTURE, 128}, {EVENT_PRE_CREATE, 0},
};

// Appends an object index to one list, doubling its capacity when full.
void AppendHandler(int type, int subtype, int32_t index) {
    int32_t& count = obj_numb_event[type][subtype];
    int32_t& capacity = g_hasEventCapacity[type][subtype];
    if (count == capacity) {
        const int32_t grown = capacity < 4 ? 4 : capacity * 2;
        int32_t* array = ZQ_ReAllocArray<int32_t>(obj_has_event[type][subtype], static_cast<size_t>(grown));
        if (array == nullptr) throw std::bad_alloc();
        obj_has_event[type][subtype] = array;
        capacity = grown;
    }
    obj_has_event[type][subtype][count++] = index;
}

void AppendPair(const SCollisionPair& pair) {
    if (obj_col_numb == g_pairCapacity) {
        const int32_t grown = g_pairCapacity < 8 ? 8 : g_pairCapacity * 2;
        auto* pairs = ZQ_ReAllocArray<SCollisionPair>(obj_col_pairs, static_cast<size_t>(grown));
        if (pairs == nullptr) throw std::bad_alloc();
        obj_col_pairs = pairs;
        g_pairCapacity = grown;
    }
    obj_col_pairs[obj_col_numb++] = pair;
}

// The indices of the object types that exist, ascending. A file may declare
// millions of empty slots: the lists are built from the types alone, so the
// empty slots are looked at once, here.
std::vector<int32_t> ExistingTypes() {
    std::vector<int32_t> existing;
    for (int32_t i = 0; i < g_ObjectNumber; ++i)
        if (Object_Data(i) != nullptr) existing.push_back(i);
    return existing;
}

// One past the highest collision subtype that `type` or an ancestor has a
// handler slot for: a handler for an index where no type exists can only
// be one of these.
int32_t CollisionSlots(const CObjectVT* type) {
    int32_t slots = 0;
    for (int32_t steps = 0; type != nullptr && steps <= g_ObjectNumber; type = type->m_pParent, ++steps)
        slots = std::max(slots, type->m_eventCount[EVENT_COLLISION]);
    return std::min(slots, g_ObjectNumber);
}

// Pairs are unordered: (i, p) is skipped when (p, i) was made before. The
// pair list is rebuilt in place, so a rebuild reuses the previous array.
// The other object p of a pair is an existing type, or an index without one
// that a handler of i's names; p ascends for each i.
void BuildCollisionPairs(const std::vector<int32_t>& existing) {
    obj_col_numb = 0;
    if (g_ObjectNumber <= 0) return;
    bool allPhysics = true;
    for (int32_t i : existing) {
        if (!Object_Data(i)->m_physicsObject) {
            allPhysics = false;
            break;
        }
    }
    const bool flagsOnly = !allPhysics && option_use_fast_collision;
    auto visit = [&](int32_t i, CObjectVT* type, int32_t p) {
        if (type->GetEventRecursive(EVENT_COLLISION, p) == nullptr) return;
        CObjectVT* other = Object_Data(p);
        type->m_flags |= OBJECT_FLAG_HAS_COLLISION;
        if (other != nullptr) other->m_flags |= OBJECT_FLAG_HAS_COLLISION;
        if (flagsOnly) return;
        if (p < i && other != nullptr && other->GetEventRecursive(EVENT_COLLISION, i) != nullptr) return;
        AppendPair({i, p, type, other, true});
    };
    for (int32_t i : existing) {
        CObjectVT* type = Object_Data(i);
        const int32_t slots = CollisionSlots(type);
        for (int32_t p = 0; p < slots; ++p) visit(i, type, p);
        for (auto p = std::lower_bound(existing.begin(), existing.end(), slots); p != existing.end(); ++p)
            visit(i, type, *p);
    }
}

} // namespace

// For each listed (type, subtype): the existing objects that handle it,
// with inheritance, in ascending index. Collision events have no lists
// (their pairs stand for them); the counts of every other subtype are zero.
void Create_Object_Lists() {
    const std::vector<int32_t> existing = ExistingTypes();
    for (const ListedEvent& listed : kListedEvents) {
        std::memset(obj_numb_event[listed.type], 0, sizeof obj_numb_event[listed.type]);
        if (listed.type == EVENT_KEYBOARD)
            std::memset(obj_numb_event[EVENT_COLLISION], 0, sizeof obj_numb_event[EVENT_COLLISION]);
        for (int subtype = 0; subtype <= listed.lastSubtype; ++subtype) {
            for (int32_t i : existing) {
                if (Object_Data(i)->GetEventRecursive(listed.type, subtype) != nullptr)
                    AppendHandler(listed.type, subtype, i);
            }
        }
    }
    BuildCollisionPairs(existing);
}

void FINALIZE_Object_Lists() {
    for (int t = 0; t < EVENT_TYPE_COUNT; ++t) {
        for (int s = 0; s < EVENT_SUBTYPE_COUNT; ++s) {
            ZQ_Free(obj_has_event[t][s]);
            obj_has_event[t][s] = nullptr;
            obj_numb_event[t][s] = 0;
            g_hasEventCapacity[t][s] = 0;
        }
    }
    ZQ_Free(obj_col_pairs);
    obj_col_pairs = nullptr;
    obj_col_numb = 0;
    g_pairCapacity = 0;
}

// ---------------------------------------------------------------------------
// The iterator. Stages: -2 the room's active list, -1 one instance, 0 the
// type's inclusive list, 1 pending object changes, 2 pending activations,
// 3 deactivated instances, 4 the end.

namespace {
constexpr int32_t kStageAll = -2;
constexpr int32_t kStageSingle = -1;
constexpr int32_t kStageList = 0;
constexpr int32_t kStageChanges = 1;
constexpr int32_t kStageActivations = 2;
constexpr int32_t kStageDeactivated = 3;
constexpr int32_t kStageEnd = 4;
constexpr int32_t kTargetAll = -3;
constexpr int32_t kTargetOther = -2;
constexpr int32_t kTargetSelf = -1;
constexpr int32_t kFirstInstanceId = 100000;
} // namespace

WithObjIterator::WithObjIterator(int target, CInstance* self, CInstance* other, bool includeDeactivated)
    : m_target(target), m_includeDeactivated(includeDeactivated) {
    if (target == kTargetAll) {
        m_pAll = Run_Room != nullptr ? Run_Room->m_pFirstActive : nullptr;
        m_stage = kStageAll;
    } else if (target == kTargetOther) {
        m_pSingle = other;
    } else if (target == kTargetSelf) {
        m_pSingle = self;
    } else if (target >= kFirstInstanceId) {
        m_pSingle = CInstance::Find(target);
    } else {
        m_stage = kStageList;
        m_pObject = Object_Data(target);
        if (m_pObject == nullptr) {
            m_stage = kStageEnd;
            return;
        }
        m_pNode = m_pObject->m_InstancesRecursive.m_pFirst;
        if (m_pNode == nullptr || m_pNode->m_pInstance == nullptr) m_stage = kStageChanges;
    }
}

CInstance* WithObjIterator::operator*() {
    for (;;) {
        switch (m_stage) {
            case kStageAll: return m_pAll;
            case kStageSingle: return m_pSingle;
            case kStageList: return m_pNode != nullptr ? m_pNode->m_pInstance : nullptr;
            case kStageChanges:
            case kStageActivations: {
                const CInstanceArray& pending =
                    m_stage == kStageChanges ? g_InstanceChangeArray : g_InstanceActivateDeactive;
                for (; m_index < pending.m_count; ++m_index) {
                    CInstance* instance = pending.m_pArray[m_index];
                    if (instance != nullptr && instance->i_objindex == m_target) return instance;
                }
                m_index = 0;
                if (m_stage == kStageChanges) {
                    m_stage = kStageActivations;
                } else {
                    m_stage = m_includeDeactivated ? kStageDeactivated : kStageEnd;
                }
                continue;
            }
            case kStageDeactivated:
                if (!m_deactiveStarted) {
                    m_pDeactive = Run_Room != nullptr ? Run_Room->m_pFirstDeactive : nullptr;
                    m_deactiveStarted = true;
                }
                for (; m_pDeactive != nullptr; m_pDeactive = m_pDeactive->m_pNext) {
                    if (m_pDeactive->i_objindex == m_target) return m_pDeactive;
                    const CObjectVT* type = Object_Data(m_pDeactive->i_objindex);
                    if (type != nullptr && type->IsDecendentOf(m_target)) return m_pDeactive;
                }
                return nullptr;
            default: return nullptr;
        }
    }
}

void WithObjIterator::Next() {
    switch (m_stage) {
        case kStageAll:
            if (m_pAll != nullptr) m_pAll = m_pAll->m_pNext;
            break;
        case kStageSingle: m_pSingle = nullptr; break;
        case kStageList:
            if (m_pNode != nullptr) m_pNode = m_pNode->m_pNext;
            if (m_pNode == nullptr || m_pNode->m_pInstance == nullptr) {
                m_stage = kStageChanges;
                m_index = 0;
            }
            break;
        case kStageChanges:
        case kStageActivations: ++m_index; break;
        case kStageDeactivated:
            if (m_pDeactive != nullptr) m_pDeactive = m_pDeactive->m_pNext;
            break;
        default: break;
    }
}
