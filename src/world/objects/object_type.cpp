// Object types: instance lists, ancestry, event tables and their lookups,
// the "OBJT" chunk and the object table (a chained table of 512 buckets
// keyed by object index).
#include "world/objects/object_type.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "core/code.h"
#include "core/console.h"
#include "core/error.h"
#include "core/game_image.h"
#include "core/hash.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"
#include "core/run_state.h"
#include "world/datafile/game_data_services.h"
#include "world/datafile/game_header.h"
#include "world/instances/instance.h"
#include "world/objects/event.h"

int32_t g_ObjectNumber = 0;

namespace {

// Made on first use and never destroyed by a static destructor: instances
// still alive at exit point into it.
Hash<CObjectVT>& ObjectTable() {
    static Hash<CObjectVT>* table = new Hash<CObjectVT>(512);
    return *table;
}

// Parent indices at or above this are instance ids, never objects.
constexpr int32_t kParentLimit = 100000;

// Types, names, handlers and their code entries made for one "OBJT" chunk
// add up to at most the load budget: records are reached by offset, so a
// small file could otherwise name one large record from every slot, or give
// one type a collision handler for the last of a million slots.

bool ValidEventArguments(int type, int subtype) {
    if (type >= 0 && type < EVENT_TYPE_COUNT && subtype >= 0) return true;
    Error_Show_Action("Invalid event argument", true);
    return false;
}

// The type's own defined handler; arguments already checked.
inline CEvent* OwnEvent(const CObjectVT* type, int t, int subtype) {
    if (subtype >= type->m_eventCount[t]) return nullptr;
    CEvent* event = type->m_events[t][subtype];
    return event != nullptr && event->m_defined ? event : nullptr;
}

// The first defined handler of the type or an ancestor. Parent objects
// always mirror the parent indices (see Object_ResolveParents), so the walk
// follows them; a parent cycle ends after as many steps as there are slots.
inline CEvent* ChainEvent(const CObjectVT* type, int t, int subtype) {
    for (int32_t steps = 0; type != nullptr && steps <= g_ObjectNumber; type = type->m_pParent, ++steps) {
        if (CEvent* event = OwnEvent(type, t, subtype)) return event;
    }
    return nullptr;
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
    Clear();
    ZQ_Free(m_pPhysicsShapeVertices);
}

void CObjectVT::FreeEvents() {
    for (int t = 0; t < EVENT_TYPE_COUNT; ++t) {
        for (int32_t s = 0; s < m_eventCount[t]; ++s) delete m_events[t][s];
        ZQ_Free(m_events[t]);
        m_events[t] = nullptr;
        m_eventCount[t] = 0;
    }
}

void CObjectVT::Clear() {
    m_flags = OBJECT_FLAGS_DEFAULT;
    m_spriteIndex = -1;
    m_depth = 0;
    m_parentIndex = -1;
    m_pParent = nullptr;
    m_maskIndex = -1;
    ZQ_Free(m_pName);
    m_pName = nullptr;
    FreeEvents();
    ClearInstanceInfo();
}

void CObjectVT::SetName(const char* name) {
    ZQ_Free(m_pName);
    m_pName = name != nullptr && name[0] != '\0' ? ZQStrDup(name) : nullptr;
}

void CObjectVT::SetNameRef(char* name) {
    ZQ_Free(m_pName);
    m_pName = name;
}

bool CObjectVT::Compile() {
    for (int t = 0; t < EVENT_TYPE_COUNT; ++t) {
        for (int32_t s = 0; s < m_eventCount[t]; ++s) {
            if (m_events[t][s] == nullptr) continue;
            Current_Event_Type = t;
            Current_Event_Number = s;
            m_events[t][s]->Compile();
        }
    }
    return true;
}

CEvent* CObjectVT::GetEventDirect(int type, int subtype) const {
    if (!ValidEventArguments(type, subtype)) return nullptr;
    return OwnEvent(this, type, subtype);
}

// The nearest ancestor of the other object decides first; for each of them
// this type's nearest ancestor with a matching handler wins.
CEvent* CObjectVT::GetEventRecursive(int type, int subtype) const {
    if (!ValidEventArguments(type, subtype)) return nullptr;
    if (CEvent* event = ChainEvent(this, type, subtype)) return event;
    if (type != EVENT_COLLISION) return nullptr;
    const CObjectVT* other = Object_Data(subtype);
    if (other == nullptr) return nullptr;
    int32_t steps = 0;
    for (int32_t a = other->m_parentIndex; a >= 0 && steps <= g_ObjectNumber; ++steps) {
        const CObjectVT* ancestor = Object_Data(a);
        if (ancestor == nullptr) break;
        if (CEvent* event = ChainEvent(this, EVENT_COLLISION, a)) return event;
        a = ancestor->m_parentIndex;
    }
    return nullptr;
}

bool CObjectVT::HasEventRecursive(int type, int subtype) const {
    if (type < 0 || type >= EVENT_TYPE_COUNT || subtype < 0) return false;
    return ChainEvent(this, type, subtype) != nullptr;
}

CEvent* CObjectVT::ZQCreateEvent(int type, int subtype) {
    if (type < 0 || type >= EVENT_TYPE_COUNT || subtype < 0 || subtype == INT32_MAX) return nullptr;
    if (subtype >= m_eventCount[type]) {
        const int32_t count = subtype + 1;
        CEvent** grown = ZQ_ReAllocArray<CEvent*>(m_events[type], static_cast<size_t>(count));
        if (grown == nullptr) return nullptr;
        for (int32_t s = m_eventCount[type]; s < count; ++s) grown[s] = nullptr;
        m_events[type] = grown;
        for (int32_t s = m_eventCount[type]; s < count; ++s) grown[s] = new CEvent();
        m_eventCount[type] = count;
    }
    if (m_events[type][subtype] == nullptr) m_events[type][subtype] = new CEvent();
    return m_events[type][subtype];
}

// Loading grows the array with empty entries: only the subtypes the record
// names get handlers.
CEvent* CObjectVT::LoadedEvent(int type, int subtype) {
    if (subtype >= m_eventCount[type]) {
        const int32_t count = subtype + 1;
        CEvent** grown = ZQ_ReAllocArray<CEvent*>(m_events[type], static_cast<size_t>(count));
        if (grown == nullptr) throw std::bad_alloc();
        for (int32_t s = m_eventCount[type]; s < count; ++s) grown[s] = nullptr;
        m_events[type] = grown;
        m_eventCount[type] = count;
    }
    if (m_events[type][subtype] == nullptr) m_events[type][subtype] = new CEvent();
    return m_events[type][subtype];
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

void CObjectVT::ClearInstanceInfo() {
    m_Instances.Clear();
    m_InstancesRecursive.Clear();
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
// The "OBJT" record.

namespace {

// Sprite words with bits 28 to 30 clear hold the index in their low 31 bits
// (bit 31 is a marker); any other word is the index itself, signed.
int32_t SpriteFromWord(uint32_t word) {
    if ((word & 0x70000000u) == 0) return static_cast<int32_t>(word & 0x7FFFFFFFu);
    return static_cast<int32_t>(word);
}

} // namespace

// Fields, then (version 6 on) the physics block with its shape points, then
// the event table list: a count of event types (at most 15) and one list
// offset per type; each list is a count and that many offsets of event
// records {subtype, handler data}. Subtypes are checked before any array
// grows: a collision subtype names an object slot, every other one fits the
// per-event lists.
void CObjectVT::LoadFromChunk(ImageReader& record, int version, int objectSlots) {
    const char* name = record.StringAt();
    SetName(name);
    m_spriteIndex = SpriteFromWord(record.U32());
    const bool visible = record.U32() != 0;
    const bool solid = record.U32() != 0;
    m_depth = record.S32();
    const bool persistent = record.U32() != 0;
    m_parentIndex = record.S32();
    m_maskIndex = record.S32();
    m_flags = OBJECT_FLAG_COLLISIONS | (visible ? OBJECT_FLAG_VISIBLE : 0u) |
              (solid ? OBJECT_FLAG_SOLID : 0u) | (persistent ? OBJECT_FLAG_PERSISTENT : 0u);

    m_physicsObject = false;
    m_physicsShapeVerticesCount = 0;
    ZQ_Free(m_pPhysicsShapeVertices);
    m_pPhysicsShapeVertices = nullptr;
    if (version >= 6) {
        m_physicsObject = record.U32() != 0;
        m_physicsSensor = record.U32() != 0;
        m_physicsShape = record.S32();
        m_physicsDensity = record.F32();
        m_physicsRestitution = record.F32();
        m_physicsGroup = record.S32();
        m_physicsLinearDamping = record.F32();
        m_physicsAngularDamping = record.F32();
        const uint32_t points = record.U32();
        if (version >= 9) {
            m_physicsFriction = record.F32();
            m_physicsAwake = record.U32() != 0;
            m_physicsKinematic = record.U32() != 0;
        } else {
            m_physicsFriction = 0.2f;
            m_physicsAwake = true;
            m_physicsKinematic = false;
        }
        if (points > INT32_MAX / 2 || points > record.Remaining() / 8)
            record.Fail("shape point count is too large");
        if (points > 0) {
            m_pPhysicsShapeVertices = ZQ_AllocArray<float>(2 * static_cast<size_t>(points));
            if (m_pPhysicsShapeVertices == nullptr) throw std::bad_alloc();
            for (uint32_t i = 0; i < 2 * points; ++i) m_pPhysicsShapeVertices[i] = record.F32();
        }
        m_physicsShapeVerticesCount = static_cast<int32_t>(points);
    }

    const uint32_t types = record.U32();
    if (types > EVENT_TYPE_COUNT) record.Fail("more than 15 event types");
    for (uint32_t t = 0; t < types; ++t) {
        const uint32_t listOffset = record.U32();
        if (listOffset == 0) continue;
        ImageReader list = record.At(listOffset);
        const uint32_t count = list.Count(4);
        for (uint32_t e = 0; e < count; ++e) {
            ImageReader event = record.At(list.U32());
            const int32_t subtype = event.S32();
            const int32_t limit = t == EVENT_COLLISION ? objectSlots : EVENT_SUBTYPE_COUNT;
            if (subtype < 0 || subtype >= limit) record.Fail("event subtype out of range");
            CEvent* handler = LoadedEvent(static_cast<int>(t), subtype);
            handler->LoadFromChunk(event);
        }
    }
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

void FINALIZE_Object_Class() {}

namespace {

// What one type costs in memory beyond its record, for the load budget.
size_t TypeFootprint(const CObjectVT& type) {
    size_t bytes = sizeof(CObjectVT) + (type.m_pName != nullptr ? std::strlen(type.m_pName) + 1 : 0) +
                   8 * static_cast<size_t>(type.m_physicsShapeVerticesCount);
    for (int t = 0; t < EVENT_TYPE_COUNT; ++t) {
        bytes += sizeof(CEvent*) * static_cast<size_t>(type.m_eventCount[t]);
        for (int32_t s = 0; s < type.m_eventCount[t]; ++s)
            if (const CEvent* event = type.m_events[t][s])
                bytes += sizeof(CEvent) + (event->m_pCode != nullptr ? sizeof(CCode) : 0);
    }
    return bytes;
}

} // namespace

// Every record is read into types held aside; the table is replaced only
// when the whole chunk has been read, so a damaged chunk changes nothing.
void Object_Load(ImageReader& chunk) {
    const uint32_t n = chunk.Count(4);
    if (n >= static_cast<uint32_t>(kParentLimit) * 100) chunk.Fail("object count is too large");
    const int32_t slots = static_cast<int32_t>(n);
    std::vector<std::unique_ptr<CObjectVT>> types;
    const size_t budget = GameData_LoadBudget(chunk.ImageLength());
    size_t used = 0;
    for (int32_t i = 0; i < slots; ++i) {
        const uint32_t offset = chunk.U32();
        if (offset == 0) continue;
        ImageReader record = chunk.At(offset);
        auto type = std::make_unique<CObjectVT>(i);
        type->LoadFromChunk(record, g_wadVersion, slots);
        used += TypeFootprint(*type);
        if (used > budget)
            GameData_Fail(
                chunk.Chunk(),
                "object %d at offset %u: the object types add up to more than the %zu bytes a file of "
                "this size may load",
                i, offset, budget);
        types.push_back(std::move(type));
    }
    Object_Init();
    for (auto& type : types) {
        const auto key = static_cast<uint32_t>(type->m_index);
        if (!ObjectTable().Insert(key, type.get())) throw std::bad_alloc();
        type.release();
    }
    g_ObjectNumber = slots;
    Object_ResolveParents();
}

bool Object_Prepare() {
    init_csol->Output("Preparing %d objects:\n", g_ObjectNumber);
    bool ok = true;
    for (int32_t i = 0; i < g_ObjectNumber && ok; ++i) {
        CObjectVT* type = Object_Data(i);
        if (type == nullptr) continue;
        init_csol->Output("\tObjects %d: %s\n", i, Object_Name(i));
        Current_Object = i;
        ok = type->Compile();
    }
    if (!ok) return false;
    Object_ResolveParents();
    return true;
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
    if (g_ObjectNumber == INT32_MAX) return -1;
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

// Children keep their parent index but must not keep a pointer to the
// destroyed type; the per-event lists and pairs may name it too and are
// rebuilt by the caller (Create_Object_Lists) after run-time changes.
void Object_Delete(int index) {
    CObjectVT* type = Object_Data(index);
    if (type == nullptr) return;
    // Its instances leave every inclusive list now: they no longer reach the
    // type to do so when they are destroyed.
    while (type->m_Instances.m_pFirst != nullptr) {
        CInstance* instance = type->m_Instances.m_pFirst->m_pInstance;
        type->RemoveInstance(instance);
        if (instance != nullptr && instance->m_pObject == type) instance->m_pObject = nullptr;
    }
    ObjectTable().Delete(static_cast<uint32_t>(index), eDelete_Keep);
    delete type;
    Object_ResolveParents();
}

void Object_ClearAllInstanceInfo() {
    ObjectTable().ForEach([](uint32_t, CObjectVT* type) {
        if (type != nullptr) type->ClearInstanceInfo();
    });
}

void Object_ResolveParents() {
    ObjectTable().ForEach([](uint32_t, CObjectVT* type) {
        if (type == nullptr) return;
        type->m_pParent = type->m_parentIndex >= 0 && type->m_parentIndex < kParentLimit &&
                                  type->m_parentIndex != type->m_index
                              ? Object_Data(type->m_parentIndex)
                              : nullptr;
    });
}
