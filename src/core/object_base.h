// Script objects: the base of every script-visible object (the global
// object, instances, the object runtime's objects, callable references),
// its variables by slot or by on-demand map, the global slot table that
// names objects for the collector, and the free list that recycles them.
#pragma once

#include <cstdint>

#include "core/hash_map.h"
#include "core/rvalue.h"

class CInstance;
class CScript;

// What an object is to the script object runtime.
enum : int32_t {
    OBJECT_KIND_PLAIN = 0,
    OBJECT_KIND_INSTANCE = 1,
    OBJECT_KIND_ACCESSOR = 2,  // property descriptor
    OBJECT_KIND_SCRIPTREF = 3, // callable reference
};

// Object flags.
inline constexpr uint32_t OBJECT_FLAG_EXTENSIBLE = 1; // new members may be added
inline constexpr uint32_t OBJECT_FLAG_DISPOSED = 2;   // "dispose" ran while the object was unreachable

// A built-in's signature (the function table's `TRoutine`), repeated here so
// that callable references need not include the table.
using TObjectRoutine = void (*)(RValue& result, CInstance* self, CInstance* other, int argc, RValue* args);

// The variable map of objects without a slot array: slot number to a value
// cell from the variable-cell pool.
using ZQVarMap = CHashMap<int, RValue*, 3>;

// The base of every script object.
//
// Variables live either in the slot array (one value per slot, `m_slotCount`
// of them; compiled code indexes it directly) or, when an object has no slot
// array, in `m_pVarMap`, which makes a 16-byte cell per slot on first use.
// Objects made by Alloc are registered in g_slotObjects; their slot id is the
// collector's name for them. Released objects wait on ms_pFreeList (slot id
// -1, no variables) until Alloc hands them out again.
class ZQObjectBase {
public:
    // Constructs an object with `slotCount` slots whose variables will start
    // as `initialKind`. Allocates no slot array and does not register.
    explicit ZQObjectBase(uint32_t slotCount = 0, uint32_t initialKind = VALUE_UNSET);
    // Releases every variable (slot values and map cells), the map, the slot
    // array and the debug records. Owned pointer values delete through it.
    virtual ~ZQObjectBase();
    ZQObjectBase(const ZQObjectBase&) = delete;
    ZQObjectBase& operator=(const ZQObjectBase&) = delete;

    // The map cell of `slot`, made on demand with the object's initial kind.
    // Compiled code calls it for objects without a slot array.
    virtual RValue* InternalGetZQVarRef(int slot);

    // A registered object, reused from the free list when possible.
    // `allocSlots` gives it a zero-filled slot array of `slotCount` values
    // (their kind words set to `initialKind` unless that is undefined).
    static ZQObjectBase* Alloc(uint32_t slotCount, uint32_t initialKind, bool allocSlots);
    // Releases an object: a callable reference is unregistered and deleted;
    // any other object runs its "dispose" member first when it has one (see
    // the .cpp), is unregistered, loses its variables and joins the free list.
    static void Free(ZQObjectBase* object);
    // Releases every variable of the object. Map cells go to `list` (with
    // `tail` recording the first cell pushed) or, without a list, back to the
    // variable-cell pool. The collector's thread passes its own list.
    static void FreeVars(ZQObjectBase* object, RValue** list = nullptr, RValue** tail = nullptr);
    // Deletes every object on the free list (end of the run).
    static void FreeAll();
    // The object's callable "dispose" member, or a value of kind unset when it
    // has none or is not eligible (not plain, has a slot array, already disposed).
    static RValue GetDispose(ZQObjectBase* object);

    // The map cell of `slot` (the same as InternalGetZQVarRef).
    RValue* InternalGetZQVar(int slot);
    // The value of `slot` wherever it lives; null for a negative slot. A slot
    // array shorter than the slot grows to hold it, so every registered name
    // has a place.
    RValue* GetSlotValue(int slot);
    // Replaces this object's map with copies of the source's map values (the
    // slot array is not copied); any map this object had is released first.
    void AssignVars(ZQObjectBase* source);
    // The named variable's value; null when the name has no slot.
    RValue* FindValue(const char* name);
    // The named variable's value, registering the name when it is new.
    RValue* FindOrAllocValue(const char* name);
    bool IsExtensible() const { return (m_flags & OBJECT_FLAG_EXTENSIBLE) != 0; }

    // Set a named member when the object is extensible: the value's previous
    // contents are released, the new one stored with the flags word.
    void Add(const char* name, ZQObjectBase* object, uint32_t flags);
    void Add(const char* name, bool value, uint32_t flags);
    void Add(const char* name, int value, uint32_t flags);
    void Add(const char* name, double value, uint32_t flags);
    void Add(const char* name, const char* text, uint32_t flags);
    void Add(const char* name, void* pointer, uint32_t flags);
    void Add(const char* name, const RValue& value, uint32_t flags);

    // Fields, in the order the runtime lays them out.
    RValue* m_slots = nullptr;              // slot array, or null
    ZQObjectBase* m_pNextObject = nullptr;  // link while on a free list
    ZQObjectBase* m_pOuterObject = nullptr; // a call frame's bound scope (bytecode)
    void* m_pCreationTrace = nullptr;       // debug record (bytecode debugging only)
    void* m_pCreationCallStack = nullptr;   // debug record (bytecode debugging only)
    ZQObjectBase* m_pPrototype = nullptr;   // property lookup continues here
    int32_t m_slotCount = 0;
    uint32_t m_flags = OBJECT_FLAG_EXTENSIBLE;
    int32_t m_slotCapacity = 0;
    uint32_t m_textVisitMark = 0;
    uint32_t m_visitCounter = 0; // the collector's epoch at the last visit
    int32_t m_generation = 0;    // 0 to 3
    uint32_t m_creationEpoch = 0;
    const char* m_className = nullptr;
    int32_t m_slotId = -1; // index in g_slotObjects, or -1
    int32_t m_kind = OBJECT_KIND_PLAIN;
    // The object runtime's property callbacks (null until it sets them).
    void* m_pfnGetOwnProperty = nullptr;
    void* m_pfnDeleteProperty = nullptr;
    void* m_pfnDefineOwnProperty = nullptr;
    uint32_t m_initialKind = VALUE_UNSET; // kind word of every new variable
    ZQVarMap* m_pVarMap = nullptr;

    static ZQObjectBase* ms_pFreeList;
    // The collector's mark epoch, raised at the start of every collection.
    static uint32_t ms_currentCounter;

    // Enters the object in g_slotObjects (slot id -1 when the table cannot
    // take it) and starts it in generation 0 at the current epoch.
    void Register();
    // Takes the object out of g_slotObjects; slot id -1, generation 0.
    void Unregister();
    // Makes the slot array hold at least `count` values. New values are zero
    // bytes with the object's initial kind (unless that is undefined); values
    // that move keep their arrays' owners. False when out of memory.
    bool GrowSlots(int32_t count);

private:
    // The value a named member is written to, or null (not extensible, no slot).
    RValue* MemberForAdd(const char* name);
    void ReleaseMap(RValue** list, RValue** tail);
};

// A callable reference: a script or a built-in, with the scope and self it
// was bound to. Created registered; released by deletion, never pooled.
class CScriptRef : public ZQObjectBase {
public:
    CScriptRef(uint32_t slotCount, uint32_t initialKind);
    ~CScriptRef() override;

    CScript* m_callScript = nullptr;    // the script to run, or null
    TObjectRoutine m_callCpp = nullptr; // the built-in to call, or null
    RValue m_scope;                     // bound scope (kind unset when none)
    RValue m_boundThis;                 // bound self (kind unset when none)
};

// The object slot table: slot id to object. The next search for a free entry
// starts where the last one ended, and releasing an entry moves the start back
// to it, so allocation after release finds its entry at once.
template <typename T>
struct ZQSlot {
    T** m_pObjects = nullptr;
    int32_t m_capacity = 0;
    int32_t m_count = 0;       // registered objects
    int32_t m_searchStart = 0; // where the next search begins

    ~ZQSlot() { Destroy(); }

    // Stores the object in a free entry and returns its index (-1 when the
    // table could not grow). The table grows by half once every entry is taken.
    int32_t Alloc(T* object) {
        if (m_pObjects == nullptr && !Resize(kInitialCapacity)) return -1;
        if (m_count >= m_capacity && !Resize(m_capacity + m_capacity / 2)) return -1;
        int32_t index = m_searchStart;
        for (int32_t probe = 0; probe < m_capacity; ++probe, ++index) {
            if (index >= m_capacity) index = 0;
            if (m_pObjects[index] == nullptr) {
                m_pObjects[index] = object;
                m_searchStart = index;
                ++m_count;
                return index;
            }
        }
        return -1;
    }

    // Clears entry `index` when it holds `object`; anything else is left alone.
    void Free(int32_t index, const T* object) {
        if (index < 0 || index >= m_capacity || m_pObjects[index] != object) return;
        m_pObjects[index] = nullptr;
        if (index < m_searchStart) m_searchStart = index;
        --m_count;
    }

    T* Get(int32_t index) const { return index >= 0 && index < m_capacity ? m_pObjects[index] : nullptr; }

    void Destroy() {
        ZQ_Free(m_pObjects);
        m_pObjects = nullptr;
        m_capacity = m_count = m_searchStart = 0;
    }

    static constexpr int32_t kInitialCapacity = 128;

private:
    bool Resize(int32_t capacity) {
        T** grown = ZQ_ReAllocArray<T*>(m_pObjects, static_cast<size_t>(capacity));
        if (grown == nullptr) return false;
        m_pObjects = grown;
        m_capacity = capacity;
        return true;
    }
};
extern ZQSlot<ZQObjectBase> g_slotObjects;

// The number of instance-variable slots the game declares (set while the game
// data loads); objects made for compiled code are sized by it.
extern int32_t g_nInstanceVariables;

// Seams to the variable-name registry and the script object runtime. Each may
// be null: then no name has a slot and no object has a "dispose" member.
struct ObjectHooks {
    // Slot of a variable name for this object, or -1 when the name is unknown.
    int (*findSlot)(ZQObjectBase* object, const char* name);
    // The same, registering an unknown name.
    int (*findAllocSlot)(ZQObjectBase* object, const char* name);
    // Property lookup through the prototype chain; `out` stays unset when the
    // object has no such property.
    void (*getProperty)(ZQObjectBase* object, RValue* out, const char* name);
    // Calls a callable value with the object as self and other.
    void (*callValue)(ZQObjectBase* self, RValue* result, RValue* function, int argc, RValue* args);
};
extern ObjectHooks g_ObjectHooks;
