// Script objects: construction, the slot table, allocation from and release
// to the free list, variables by slot array or on-demand map, named members
// and the "dispose" protocol.
//
// Invariants: a registered object is the entry g_slotObjects[m_slotId]; an
// object on ms_pFreeList is unregistered and holds no variables; the slot
// array, when there is one, holds m_slotCount values and has room for
// m_slotCapacity, the values past m_slotCount being zero bytes.
#include "core/object_base.h"

#include <typeinfo>

#include "core/collector.h"
#include "core/js_convert.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"

ZQObjectBase* ZQObjectBase::ms_pFreeList = nullptr;
uint32_t ZQObjectBase::ms_currentCounter = 0;
ZQSlot<ZQObjectBase> g_slotObjects;
int32_t g_nInstanceVariables = 0;
ObjectHooks g_ObjectHooks = {};

namespace {

RValue UnsetValue() {
    RValue v;
    v.v64 = 0;
    v.flags = 0;
    v.kind = VALUE_UNSET;
    return v;
}

// Releases a value and leaves it undefined (flags 0, kind 5, payload 0).
void ReleaseToUndefined(RValue* v) {
    FREE_RValue(v);
}

// Where writes go when no variable cell can be had (out of memory): the
// caller gets a valid value that nothing else reads.
RValue* SinkCell() {
    static RValue sink = RValue_Undefined();
    FREE_RValue(&sink);
    return &sink;
}

// The head of the free list that Alloc may reuse. Only plain objects are
// reused: anything else that reached the list (a callable reference released
// by a collection) is deleted through its own destructor.
ZQObjectBase* TakeFromFreeList() {
    while (ZQObjectBase* head = ZQObjectBase::ms_pFreeList) {
        ZQObjectBase::ms_pFreeList = head->m_pNextObject;
        head->m_pNextObject = nullptr;
        if (typeid(*head) == typeid(ZQObjectBase)) return head;
        delete head;
    }
    return nullptr;
}

} // namespace

// ---------------------------------------------------------------------------
// Construction, registration, destruction.

ZQObjectBase::ZQObjectBase(uint32_t slotCount, uint32_t initialKind)
    : m_slotCount(static_cast<int32_t>(slotCount)), m_visitCounter(ms_currentCounter),
      m_creationEpoch(ms_currentCounter), m_initialKind(initialKind) {}

ZQObjectBase::~ZQObjectBase() {
    // A registered object that is deleted must not stay in the table, where
    // the collector would find it.
    Unregister();
    if (m_slots != nullptr) {
        for (int32_t i = 0; i < m_slotCount; ++i) ReleaseToUndefined(&m_slots[i]);
        ZQ_Free(m_slots);
        m_slots = nullptr;
    }
    ReleaseMap(nullptr, nullptr);
    ZQ_Free(m_pCreationTrace);
    ZQ_Free(m_pCreationCallStack);
}

void ZQObjectBase::Register() {
    if (m_slotId < 0) m_slotId = g_slotObjects.Alloc(this);
    m_generation = 0;
    m_creationEpoch = ms_currentCounter;
}

void ZQObjectBase::Unregister() {
    if (m_slotId >= 0) g_slotObjects.Free(m_slotId, this);
    m_slotId = -1;
    m_generation = 0;
}

CScriptRef::CScriptRef(uint32_t slotCount, uint32_t initialKind)
    : ZQObjectBase(slotCount, initialKind), m_scope(UnsetValue()), m_boundThis(UnsetValue()) {
    m_kind = OBJECT_KIND_SCRIPTREF;
    Register();
}

CScriptRef::~CScriptRef() {
    FREE_RValue(&m_scope);
    FREE_RValue(&m_boundThis);
}

// ---------------------------------------------------------------------------
// Allocation and release.

ZQObjectBase* ZQObjectBase::Alloc(uint32_t slotCount, uint32_t initialKind, bool allocSlots) {
    ZQObjectBase* object = TakeFromFreeList();
    if (object != nullptr) {
        // Release left no variables; what a previous life set must not leak
        // into this one (a disposed or sealed object would stay so).
        FreeVars(object);
        object->m_kind = OBJECT_KIND_PLAIN;
        object->m_flags = OBJECT_FLAG_EXTENSIBLE;
        object->m_initialKind = initialKind;
        object->m_pPrototype = nullptr;
        object->m_className = nullptr;
        object->m_pOuterObject = nullptr;
        object->m_pfnGetOwnProperty = nullptr;
        object->m_pfnDeleteProperty = nullptr;
        object->m_pfnDefineOwnProperty = nullptr;
    } else {
        object = new ZQObjectBase(slotCount, initialKind);
    }
    object->m_slotCount = 0;
    if (!allocSlots || slotCount == 0 || !object->GrowSlots(static_cast<int32_t>(slotCount)))
        object->m_slotCount = static_cast<int32_t>(slotCount);
    object->Register();
    return object;
}

void ZQObjectBase::Free(ZQObjectBase* object) {
    if (object == nullptr) return;
    if (object->m_kind == OBJECT_KIND_SCRIPTREF) {
        delete object; // the destructor unregisters it
        return;
    }
    // A plain object's "dispose" member runs once. It is script code and may
    // store the object somewhere reachable; with the collector on, the object
    // therefore stays registered and the collector releases it once it finds
    // it unreachable (the disposed bit keeps dispose from running again).
    RValue dispose = GetDispose(object);
    if (dispose.Kind() != VALUE_UNSET) {
        object->m_flags |= OBJECT_FLAG_DISPOSED;
        RValue result = RValue_Undefined();
        if (g_ObjectHooks.callValue != nullptr)
            g_ObjectHooks.callValue(object, &result, &dispose, 0, nullptr);
        FREE_RValue(&result);
        FREE_RValue(&dispose);
        if (g_fJSGarbageCollection && object->m_slotId >= 0) return;
    }
    object->Unregister();
    object->m_className = nullptr;
    object->m_pPrototype = nullptr;
    FreeVars(object);
    object->m_pNextObject = ms_pFreeList;
    ms_pFreeList = object;
    object->m_pOuterObject = nullptr;
}

void ZQObjectBase::FreeVars(ZQObjectBase* object, RValue** list, RValue** tail) {
    if (object == nullptr) return;
    if (RValue* slots = object->m_slots) {
        int32_t count = object->m_slotCount;
        object->m_slots = nullptr;
        object->m_slotCapacity = 0;
        object->m_slotCount = 0;
        for (int32_t i = 0; i < count; ++i) ReleaseToUndefined(&slots[i]);
        ZQ_Free(slots);
    }
    object->ReleaseMap(list, tail);
    object->m_pPrototype = nullptr;
}

void ZQObjectBase::ReleaseMap(RValue** list, RValue** tail) {
    // Detach first: releasing a value may run destructors that look at this object.
    ZQVarMap* map = m_pVarMap;
    if (map == nullptr) return;
    m_pVarMap = nullptr;
    map->ForEach([list, tail](int, RValue*& cell) {
        ReleaseToUndefined(cell);
        FreeRValue(cell, list, tail);
    });
    delete map;
}

void ZQObjectBase::FreeAll() {
    while (ZQObjectBase* object = ms_pFreeList) {
        ms_pFreeList = object->m_pNextObject;
        object->m_pNextObject = nullptr;
        delete object;
    }
}

RValue ZQObjectBase::GetDispose(ZQObjectBase* object) {
    RValue dispose = UnsetValue();
    if (object == nullptr || object->m_kind != OBJECT_KIND_PLAIN || object->m_slots != nullptr ||
        (object->m_flags & OBJECT_FLAG_DISPOSED) != 0 || g_ObjectHooks.getProperty == nullptr)
        return dispose;
    g_ObjectHooks.getProperty(object, &dispose, "dispose");
    if (dispose.Kind() == VALUE_OBJECT && JS_IsCallable_Object(dispose.pObj)) return dispose;
    FREE_RValue(&dispose);
    return UnsetValue();
}

// ---------------------------------------------------------------------------
// Variables.

bool ZQObjectBase::GrowSlots(int32_t count) {
    if (count <= m_slotCount && m_slots != nullptr) return true;
    if (count > m_slotCapacity || m_slots == nullptr) {
        int32_t capacity = m_slotCapacity + m_slotCapacity / 2;
        if (capacity < count) capacity = count;
        RValue* old = m_slots;
        auto oldAddress = reinterpret_cast<uintptr_t>(old);
        RValue* grown = ZQ_ReAllocArray<RValue>(old, static_cast<size_t>(capacity));
        if (grown == nullptr) return false;
        if (old != nullptr && grown != old) {
            // Arrays owned by slot values follow them to the new block.
            for (int32_t i = 0; i < m_slotCount; ++i) {
                RValue* v = &grown[i];
                if (v->Kind() == VALUE_ARRAY && v->pRefArray != nullptr &&
                    reinterpret_cast<uintptr_t>(v->pRefArray->m_Owner) == oldAddress + i * sizeof(RValue))
                    v->pRefArray->m_Owner = v;
            }
        }
        m_slots = grown;
        m_slotCapacity = capacity;
    }
    if (m_initialKind != VALUE_UNDEFINED)
        for (int32_t i = m_slotCount; i < count; ++i) m_slots[i].kind = m_initialKind;
    m_slotCount = count;
    return true;
}

RValue* ZQObjectBase::InternalGetZQVarRef(int slot) {
    return InternalGetZQVar(slot);
}

RValue* ZQObjectBase::InternalGetZQVar(int slot) {
    if (m_pVarMap == nullptr) m_pVarMap = new ZQVarMap();
    if (RValue** found = m_pVarMap->Find(slot)) return *found;
    RValue* cell = GetRValue();
    if (cell == nullptr) return SinkCell();
    cell->v64 = 0;
    cell->flags = 0;
    cell->kind = m_initialKind;
    m_pVarMap->Insert(slot, cell);
    return cell;
}

RValue* ZQObjectBase::GetSlotValue(int slot) {
    if (slot < 0) return nullptr;
    if (m_slots == nullptr) return InternalGetZQVar(slot);
    if (slot >= m_slotCount && !GrowSlots(slot + 1)) return SinkCell();
    return &m_slots[slot];
}

void ZQObjectBase::AssignVars(ZQObjectBase* source) {
    if (source == nullptr || source == this || source->m_pVarMap == nullptr) return;
    ReleaseMap(nullptr, nullptr);
    m_pVarMap = new ZQVarMap();
    ContextStackScope context(this);
    source->m_pVarMap->ForEach([this](int slot, RValue*& from) {
        RValue* cell = GetRValue();
        if (cell == nullptr) return;
        COPY_RValue(cell, from);
        m_pVarMap->Insert(slot, cell);
    });
}

RValue* ZQObjectBase::FindValue(const char* name) {
    if (g_ObjectHooks.findSlot == nullptr || name == nullptr) return nullptr;
    int slot = g_ObjectHooks.findSlot(this, name);
    if (slot < 0) return nullptr;
    if (m_slots != nullptr) return slot < m_slotCount ? &m_slots[slot] : nullptr;
    return InternalGetZQVar(slot);
}

RValue* ZQObjectBase::FindOrAllocValue(const char* name) {
    if (g_ObjectHooks.findAllocSlot == nullptr || name == nullptr) return nullptr;
    return GetSlotValue(g_ObjectHooks.findAllocSlot(this, name));
}

// ---------------------------------------------------------------------------
// Named members.

RValue* ZQObjectBase::MemberForAdd(const char* name) {
    if (!IsExtensible()) return nullptr;
    RValue* member = FindOrAllocValue(name);
    if (member != nullptr) FREE_RValue(member);
    return member;
}

void ZQObjectBase::Add(const char* name, ZQObjectBase* object, uint32_t flags) {
    RValue* member = MemberForAdd(name);
    if (member == nullptr) return;
    member->pObj = object;
    member->kind = VALUE_OBJECT;
    member->flags = flags;
    DeterminePotentialRoot(this, object);
}

void ZQObjectBase::Add(const char* name, bool value, uint32_t flags) {
    RValue* member = MemberForAdd(name);
    if (member == nullptr) return;
    member->val = value ? 1.0 : 0.0;
    member->kind = VALUE_BOOL;
    member->flags = flags;
}

void ZQObjectBase::Add(const char* name, int value, uint32_t flags) {
    Add(name, static_cast<double>(value), flags);
}

void ZQObjectBase::Add(const char* name, double value, uint32_t flags) {
    RValue* member = MemberForAdd(name);
    if (member == nullptr) return;
    member->val = value;
    member->kind = VALUE_REAL;
    member->flags = flags;
}

void ZQObjectBase::Add(const char* name, const char* text, uint32_t flags) {
    RValue* member = MemberForAdd(name);
    if (member == nullptr) return;
    ZQSetString(member, text);
    member->flags = flags;
}

void ZQObjectBase::Add(const char* name, void* pointer, uint32_t flags) {
    RValue* member = MemberForAdd(name);
    if (member == nullptr) return;
    member->ptr = pointer;
    member->kind = VALUE_PTR;
    member->flags = flags;
}

void ZQObjectBase::Add(const char* name, const RValue& value, uint32_t flags) {
    if (!IsExtensible()) return;
    // Copy first: the source may live in this object's own slot array, which
    // finding a new member's place can move, or be the member itself.
    RValue copy;
    {
        ContextStackScope context(this);
        COPY_RValue(&copy, &value);
    }
    RValue* member = MemberForAdd(name);
    if (member == nullptr) {
        FREE_RValue(&copy);
        return;
    }
    RValue_MoveInto(member, &copy);
    member->flags = flags;
}
