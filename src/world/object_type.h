// Object types as far as instances and variable targets need them: the type
// by index with its name and parent, its two instance lists (own instances,
// and the inclusive list of its own and its descendants' instances), and the
// object table. Loading types from the data file and their events come with
// the object-type module.
#pragma once

#include <cstdint>

class CInstance;

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

// An object type. Parents are linked by index; `m_pParent` is the resolved
// parent (null when the parent index names no object).
class CObjectVT {
public:
    explicit CObjectVT(int index);
    ~CObjectVT();
    CObjectVT(const CObjectVT&) = delete;
    CObjectVT& operator=(const CObjectVT&) = delete;

    // Replaces the name with a copy (no name for null or empty text).
    void SetName(const char* name);
    // Appends the instance to the own list, then to the inclusive list of this
    // type and of every ancestor.
    void AddInstance(CInstance* instance);
    // Removes the first node holding the instance from the own list and from
    // the inclusive list of this type and of every ancestor.
    void RemoveInstance(CInstance* instance);
    // True when `index` is the parent's index, the grandparent's, and so on.
    // The walk ends at an index that is negative or names no object, and after
    // as many steps as there are objects, so a parent cycle cannot hang it.
    bool IsDecendentOf(int index) const;

    char* m_pName = nullptr;
    int32_t m_index;
    int32_t m_parentIndex = -1;
    CObjectVT* m_pParent = nullptr;
    SInstanceList m_Instances;          // own instances, in creation order
    SInstanceList m_InstancesRecursive; // own and descendants' instances
};

// The number of object slots (valid indices are below it).
extern int32_t g_ObjectNumber;

// Empties the object table (every type destroyed) and sets the count to 0.
void Object_Init();
void FINALIZE_Object_Main();
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
// Links every type whose parent index names an object to that object.
void Object_ResolveParents();
