// Object types: the templates instances are made from (flags, sprite, mask,
// depth, parent, physics settings and the event handlers by type and
// subtype), their two instance lists (own instances, and the inclusive list
// of its own and its descendants' instances), the object table loaded from
// the "OBJT" chunk, the per-event object lists and collision pairs, and the
// iterator every "with"-style operation visits instances through.
#pragma once

#include <cstdint>

class CEvent;
class CInstance;
class ImageReader;

// Event types 0 .. EVENT_TYPE_COUNT - 1 (see world/objects/event.h for their meaning).
inline constexpr int EVENT_TYPE_COUNT = 15;
// Subtypes the per-event lists hold (every key code, mouse and other subtype).
inline constexpr int EVENT_SUBTYPE_COUNT = 256;

// One node of an instance list (memory-manager block).
struct SInstanceNode {
    SInstanceNode* m_pNext;
    SInstanceNode* m_pPrev;
    CInstance* m_pInstance;
};

// A doubly linked list of instance nodes; new nodes go at the tail. The list
// owns its nodes, never the instances.
struct SInstanceList {
    SInstanceNode* m_pFirst = nullptr;
    SInstanceNode* m_pLast = nullptr;
    int32_t m_count = 0;

    SInstanceList() = default;
    ~SInstanceList() { Clear(); }
    SInstanceList(const SInstanceList&) = delete;
    SInstanceList& operator=(const SInstanceList&) = delete;

    // False when out of memory (the list is unchanged).
    bool Append(CInstance* instance);
    // Unlinks the first node holding the instance; false when there is none.
    bool Remove(CInstance* instance);
    // Frees every node.
    void Clear();
};

// Object type flags.
enum : uint32_t {
    OBJECT_FLAG_SOLID = 1u << 0,
    OBJECT_FLAG_VISIBLE = 1u << 1,
    OBJECT_FLAG_PERSISTENT = 1u << 2,
    OBJECT_FLAG_HAS_COLLISION = 1u << 3, // set when the collision pairs are built
    OBJECT_FLAG_COLLISIONS = 1u << 4,
    OBJECT_FLAGS_DEFAULT = OBJECT_FLAG_VISIBLE | OBJECT_FLAG_COLLISIONS,
};

// An object type. Parents are linked by index; `m_pParent` is the resolved
// parent (null when the parent index names no object). Event handlers are
// owned: `m_events[type]` holds `m_eventCount[type]` entries by subtype,
// each null or a handler.
class CObjectVT {
public:
    explicit CObjectVT(int index);
    ~CObjectVT();
    CObjectVT(const CObjectVT&) = delete;
    CObjectVT& operator=(const CObjectVT&) = delete;

    // Back to a fresh type: default flags, no sprite, mask or parent, depth
    // 0, no name, no handlers, empty instance lists (the instances
    // themselves are not touched). Physics settings stay.
    void Clear();
    // Replaces the name with a copy (no name for null or empty text).
    void SetName(const char* name);
    // Replaces the name with `name` itself (a memory-manager block, now owned).
    void SetNameRef(char* name);

    // Fills the type from its "OBJT" record at the reader's position (format
    // version `version`). Violations throw GameDataError; the type may then
    // be partly filled and is to be discarded. `objectSlots` bounds the
    // collision subtypes (other objects' indices).
    void LoadFromChunk(ImageReader& record, int version, int objectSlots);
    // Compiles every handler with the current-event globals set; always true.
    bool Compile();

    // The type's own defined handler, or null. A type outside 0..14 or a
    // negative subtype reports "Invalid event argument" as a fatal error.
    CEvent* GetEventDirect(int type, int subtype) const;
    // The handler with parent inheritance and the collision-parent rule.
    CEvent* GetEventRecursive(int type, int subtype) const;
    // Whether the type or an ancestor defines the event (no collision-parent
    // rule, no argument report).
    bool HasEventRecursive(int type, int subtype) const;
    // The entry for (type, subtype), made empty (undefined) when missing;
    // null for a type outside 0..14, a negative subtype or out of memory.
    CEvent* ZQCreateEvent(int type, int subtype);

    // Appends the instance to the own list, then to the inclusive list of this
    // type and of every ancestor.
    void AddInstance(CInstance* instance);
    // Removes the first node holding the instance from the own list and from
    // the inclusive list of this type and of every ancestor.
    void RemoveInstance(CInstance* instance);
    void ClearInstanceInfo();
    // True when `index` is the parent's index, the grandparent's, and so on.
    // The walk ends at an index that is negative or names no object, and after
    // as many steps as there are objects, so a parent cycle cannot hang it.
    bool IsDecendentOf(int index) const;

    bool IsSolid() const { return (m_flags & OBJECT_FLAG_SOLID) != 0; }
    bool IsVisible() const { return (m_flags & OBJECT_FLAG_VISIBLE) != 0; }
    bool IsPersistent() const { return (m_flags & OBJECT_FLAG_PERSISTENT) != 0; }

    uint32_t m_flags = OBJECT_FLAGS_DEFAULT;
    int32_t m_spriteIndex = -1;
    int32_t m_depth = 0;
    int32_t m_parentIndex = -1;
    int32_t m_maskIndex = -1;
    char* m_pName = nullptr;
    int32_t m_index;

    // Physics settings.
    bool m_physicsObject = false;
    bool m_physicsSensor = false;
    int32_t m_physicsShape = 0; // 0 circle, 1 and 2 polygon
    int32_t m_physicsGroup = 0;
    float m_physicsDensity = 0.0f;
    float m_physicsRestitution = 0.0f;
    float m_physicsLinearDamping = 0.0f;
    float m_physicsAngularDamping = 0.0f;
    float m_physicsFriction = 0.0f;
    bool m_physicsAwake = false;
    bool m_physicsKinematic = false;
    int32_t m_physicsShapeVerticesCount = 0;
    float* m_pPhysicsShapeVertices = nullptr; // x, y pairs (memory-manager block)

    CObjectVT* m_pParent = nullptr;
    CEvent** m_events[EVENT_TYPE_COUNT] = {};
    int32_t m_eventCount[EVENT_TYPE_COUNT] = {};
    SInstanceList m_Instances;          // own instances, in creation order
    SInstanceList m_InstancesRecursive; // own and descendants' instances

private:
    void FreeEvents();
    // The entry for a loaded handler, the array grown with null entries.
    CEvent* LoadedEvent(int type, int subtype);
};

// The number of object slots (valid indices are below it).
extern int32_t g_ObjectNumber;

// Empties the object table (every type destroyed) and sets the count to 0.
void Object_Init();
void FINALIZE_Object_Main();
void FINALIZE_Object_Class();
// Loads the "OBJT" chunk: a slot count, one file offset per slot (0: no type
// there) and the records. A damaged chunk throws GameDataError naming it and
// leaves the table as it was.
void Object_Load(ImageReader& chunk);
// Compiles every type (printing the progress on the start-up console) and
// resolves parents again; false at the first failure.
bool Object_Prepare();
// True when the table holds a type for the index.
bool Object_Exists(int index);
// The type of an index, or null.
CObjectVT* Object_Data(int index);
// The type's name, or "<undefined>" when there is no such type or no name.
const char* Object_Name(int index);
// The index of the first type in table order whose name equals `name`, or -1.
int Object_Find(const char* name);
// A new type with the next index, named "__newobject" and the index; returns the index.
int Object_Add();
// Removes and destroys the type (the slot count stays); types whose parent
// it was lose their parent object.
void Object_Delete(int index);
// Empties every type's instance lists (before a saved game is applied).
void Object_ClearAllInstanceInfo();
// Links every type whose parent index names an object to that object.
void Object_ResolveParents();

// ---------------------------------------------------------------------------
// Per-event object lists and collision pairs.

// The object indices that handle (type, subtype), ascending, and their count.
extern int32_t* obj_has_event[EVENT_TYPE_COUNT][EVENT_SUBTYPE_COUNT];
extern int32_t obj_numb_event[EVENT_TYPE_COUNT][EVENT_SUBTYPE_COUNT];

// One pair of object types with a collision event between them.
struct SCollisionPair {
    int32_t m_first;
    int32_t m_second;
    CObjectVT* m_pFirst;
    CObjectVT* m_pSecond;
    bool m_active;
};
extern SCollisionPair* obj_col_pairs;
extern int32_t obj_col_numb;

// Builds the per-event lists and the collision pairs (game start, and after
// object types change at run time).
void Create_Object_Lists();
void FINALIZE_Object_Lists();

// ---------------------------------------------------------------------------
// Visiting the instances a target designates: -3 all instances of the room,
// -2 other, -1 self, an object index (its inclusive list, then instances
// waiting to change to it, then pending activations, then with
// `includeDeactivated` deactivated instances of it and its descendants), or
// an instance id (100000 and above). Use: for (; *it; it.Next()) ...
class WithObjIterator {
public:
    WithObjIterator(int target, CInstance* self, CInstance* other, bool includeDeactivated);

    // The current instance, or null when the iteration is over.
    CInstance* operator*();
    void Next();

private:
    SInstanceNode* m_pNode = nullptr;
    CInstance* m_pAll = nullptr;
    CInstance* m_pDeactive = nullptr;
    CObjectVT* m_pObject = nullptr;
    CInstance* m_pSingle = nullptr;
    int32_t m_target;
    int32_t m_stage = -1;
    int32_t m_index = 0;
    bool m_includeDeactivated;
    bool m_deactiveStarted = false;
};
