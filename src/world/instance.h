// Instances: one live instance of an object type, a script object whose
// slots hold the game's instance variables. This record holds identity,
// object, position, the destruction and deactivation flags and the room-list
// links; the built-in state (sprite, motion, alarms, paths) joins it with the
// instance module. Also the id table and the deferred instance-list arrays.
#pragma once

#include <cstdint>

#include "core/hash.h"
#include "core/object_base.h"

class CObjectVT;

class CInstance : public ZQObjectBase {
public:
    // An instance of `objectIndex` at (x, y) with the given id: a registered
    // script object of the instance kind with a slot array of
    // g_nInstanceVariables values, all unset. With `addToLists` it joins its
    // object type's instance lists. Entering the id table and a room's list
    // is the room's work.
    CInstance(float x, float y, int id, int objectIndex, bool addToLists);
    // Leaves the object type's lists and the id table.
    ~CInstance() override;

    // Assigns the object type; with `addToLists` the instance joins its lists.
    void SetObjectIndex(int objectIndex, bool addToLists);

    bool i_marked = false;      // destroyed, waiting for removal from the room
    bool i_deactivated = false; // deactivated
    int32_t i_id;
    int32_t i_objindex = -1;
    CObjectVT* m_pObject = nullptr; // the type whose lists hold the instance, or null
    float i_x;
    float i_y;
    float i_depth = 0.0f;
    CInstance* m_pNext = nullptr; // links in the room's active or deactivated list
    CInstance* m_pPrev = nullptr;

    // The id table: instance id to instance (512 buckets).
    static Hash<CInstance>& ID2Instance();
    // The instance with that id, or null.
    static CInstance* Find(int id) { return ID2Instance().Find(static_cast<uint32_t>(id)); }
};

// A growable array of instances waiting for a deferred list change.
struct CInstanceArray {
    CInstance** m_pArray = nullptr;
    int32_t m_count = 0;
    int32_t m_capacity = 0;

    // Appends, doubling the capacity when full; false when out of memory.
    bool Append(CInstance* instance);
    // Removes every entry that holds the instance.
    void Remove(CInstance* instance);
    void Clear() { m_count = 0; }
    void Free();
};

// Instances whose object changed during a pass, and instances waiting for
// activation or deactivation; the step empties both between passes.
extern CInstanceArray g_InstanceChangeArray;
extern CInstanceArray g_InstanceActivateDeactive;
