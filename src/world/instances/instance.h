// Instances: one live instance of an object type, a script object whose
// slots hold the game's instance variables, plus the built-in state the
// built-in variables read and write (identity, object, sprite and image,
// motion, box, alarms, path, timeline, depth, layer, flags and list links).
// Also the id table, the creation counter and the deferred-change arrays.
#pragma once

#include <cstdint>

#include "core/hash.h"
#include "core/object_base.h"
#include "world/instances/sprite_services.h"

class CObjectVT;
class CCode;
class CRoom;
class IBuffer;

inline constexpr int INSTANCE_ALARM_COUNT = 12;

// Who owns a CInstance, at each point of its life:
// - Made by a room (its stored instances, or a create built-in through
//   CRoom::AddInstance): the room that lists it, in its active list or, once
//   deactivated, its deactivated list. Only CRoom::Remove deletes it: the
//   removal pass after it is marked, or the room's clear and destructor.
//   Everything else holds a borrowed pointer that dies with that removal: the
//   id table (CInstance::Find), the object type's instance lists, the
//   collision tree, the deferred-change arrays, the event and "with" walks.
// - Carried to the next room (persistent, world/run/room_transitions.cpp):
//   the original stays the old room's and is removed with it; the detached
//   copy is owned by the carried list until the next room's start hands its
//   state to an instance of that room and deletes the copy (or
//   Run_FreeCarriedInstances deletes it). A copy is in no room, no object
//   list and not in the id table.
// - On a layer: a layer's instance element holds the id and a borrowed
//   pointer; the element never deletes the instance, and removing the element
//   with its instance destroys it through the room (DoDestroy, then removal).
// - At shut-down: FINALIZE_Instance_Class deletes every instance still in the
//   id table, the ones no room removed; at that point the id table is the
//   owner of whatever it still holds.
class CInstance : public ZQObjectBase {
public:
    // An instance of `objectIndex` at (x, y) with the given id: a registered
    // script object of the instance kind with a slot array of
    // g_nInstanceVariables values, all unset, and the record's defaults.
    // With `addToLists` it joins its object type's instance lists. Entering
    // the id table and a room's list is the room's work.
    CInstance(float x, float y, int id, int objectIndex, bool addToLists);
    // Leaves the object type's lists, the id table and the deferred arrays.
    ~CInstance() override;

    // ---- object, sprite, mask (instance.cpp)
    // Assigns the object type and takes its defaults; -1 is stored as 0.
    void SetObjectIndex(int objectIndex, bool addToLists);
    // The run-time object change: takes the new type's defaults at once and
    // queues the instance for RelinkObjectTypes between passes.
    void ChangeObjectIndex(int objectIndex);
    // Moves the instance from the pending type's lists into its current
    // type's, and to its depth place in the running room's active list.
    void RelinkObjectTypes();
    void SetSpriteIndex(int sprite);
    void Set_MaskIndex(int mask);
    // The sprite's frame count, 0 without a sprite.
    int GetImageNumber() const;
    void SetDeactivated(bool flag) { i_deactivated = flag; }
    // Alarm i, -1 outside 0..11; writes outside are ignored.
    int GetTimer(int i) const { return i >= 0 && i < INSTANCE_ALARM_COUNT ? i_timer[i] : -1; }
    void SetTimer(int i, int value) {
        if (i >= 0 && i < INSTANCE_ALARM_COUNT) i_timer[i] = value;
    }
    // Stores the id; with `updateTable` the id table follows.
    void SetID(int id, bool updateTable);
    // Copies another instance's state into this one (see the .cpp).
    void Assign(CInstance* source, bool addToLists);

    // ---- saved games (instance_serialise.cpp)
    void Serialise(IBuffer* buffer);
    // Reads a piece written by Serialise. Untrusted: a short or damaged piece,
    // an unknown object or sprite fails with a message and changes nothing.
    bool DeSerialise(IBuffer* buffer, bool addToLists);

    // ---- motion and paths (instance_motion.cpp)
    void SetPosition(float x, float y);
    void SetImageScaleX(float v);
    void SetImageScaleY(float v);
    void SetImageAngle(float v);
    void SetDirection(float d);
    void SetSpeed(float s);
    void SetHspeed(float v);
    void SetVspeed(float v);
    void AddTo_Speed(float direction, float amount);
    void Compute_Speed1();
    void Compute_Speed2();
    void Adapt_Speed();
    void SetPathPosition(float p);
    void SetPathPositionPrevious(float p);
    void SetPathSpeed(float v) { i_pathspeed = v; }
    void Assign_Path(int path, float speed, float scale, float orientation, bool relative, int endAction);
    bool Adapt_Path();

    // ---- box and collision tests (instance_collision.cpp)
    void Compute_BoundingBox(bool updateTree);
    bool Collision_Point(float x, float y, bool precise);
    bool Collision_Rectangle(float x1, float y1, float x2, float y2, bool precise);
    bool Collision_Ellipse(float x1, float y1, float x2, float y2, bool precise);
    bool Collision_Line(float x1, float y1, float x2, float y2, bool precise);
    bool Collision_Instance(CInstance* other, bool precise);
    // The sprite collisions use: the mask when set, else the sprite; or null.
    CSprite* CollisionSprite() const;
    // The notice that the box may have moved: the box is recomputed on its
    // next use, and under fast collision the instance is queued for re-filing
    // in the instance tree (instance_tree.cpp).
    void CollisionMarkDirty();

    // ---- fields
    bool m_bboxDirty = true;
    bool i_visible = false;
    bool i_solid = false;
    bool i_persistent = false;
    bool i_marked = false;      // destroyed, waiting for removal from the room
    bool i_deactivated = false; // deactivated
    bool m_destroying = false;  // its Destroy event has started
    bool m_carriedOver = false; // brought in from the previous room
    bool m_created = false;     // its Create event has run
    int64_t m_createCounter = 0;
    int32_t i_id;
    int32_t i_objindex = 0;
    CObjectVT* m_pObject = nullptr; // the type (null: no object)
    // The index of the type whose lists hold the instance (-1 none). Lists are
    // left through the table, so a type table emptied first is never touched.
    int32_t m_listedIndex = -1;
    void* m_pPhysicsObject = nullptr;    // physics body (none until physics exists)
    void* m_pSkeletonInstance = nullptr; // skeleton state (none until skeletons exist)
    int32_t i_spriteindex = -1;
    float i_imageindex = 0.0f;
    float i_imagespeed = 1.0f;
    float i_imagescalex = 1.0f;
    float i_imagescaley = 1.0f;
    float i_imageangle = 0.0f;
    float i_imagealpha = 1.0f;
    uint32_t i_imageblend = 0xFFFFFF;
    int32_t i_maskindex = -1;
    bool i_precise = false;
    float i_x;
    float i_y;
    float i_xstart;
    float i_ystart;
    float i_xprevious;
    float i_yprevious;
    float i_direction = 0.0f;
    float i_speed = 0.0f;
    float i_friction = 0.0f;
    float i_gravitydir = 270.0f;
    float i_gravity = 0.0f;
    float i_hspeed = 0.0f;
    float i_vspeed = 0.0f;
    SBoundingBox i_bbox;
    int32_t i_timer[INSTANCE_ALARM_COUNT];
    int32_t i_pathindex = -1;
    float i_pathposition = 0.0f;
    float i_pathpositionprevious = 0.0f;
    float i_pathspeed = 0.0f;
    float i_pathscale = 1.0f;
    float i_pathorientation = 0.0f;
    int32_t i_pathend = 0;
    float i_pathxstart = 0.0f;
    float i_pathystart = 0.0f;
    int32_t i_timelineindex = -1;
    float i_timelineprevposition = 0.0f;
    float i_timelineposition = 0.0f;
    float i_timelinespeed = 1.0f;
    bool i_timelinerunning = false;
    bool i_timelineloop = false;
    bool m_outsideRoom = false;
    CCode* m_pCreationCode = nullptr;
    CCode* m_pPreCreationCode = nullptr;
    int32_t m_mouseState = 2;
    int32_t m_layerID = -1;
    bool m_onLayer = false;
    CInstance* m_pNext = nullptr; // links in the room's active or deactivated list
    CInstance* m_pPrev = nullptr;
    float i_depth = 0.0f;
    float m_listDepth = 0.0f; // depth at which it was last placed in the room list
    uint32_t m_withStamp = 0; // "with" gathering's de-duplication mark
    // Links in the instance tree's queue of boxes to re-file (instance_tree.cpp).
    CInstance* m_pTreeDirtyNext = nullptr;
    CInstance* m_pTreeDirtyPrev = nullptr;
    bool m_treeDirtyQueued = false;
    bool m_inTree = false; // false: certainly not filed in the instance tree
    // Links in the collision pass's list of instances to test (collision_pass.cpp)
    // and the pass number at which the instance was last tested.
    CInstance* m_pCollisionTestNext = nullptr;
    CInstance* m_pCollisionTestPrev = nullptr;
    bool m_collisionTestQueued = false;
    int32_t m_collisionTestStamp = -1;

    // The id table: instance id to instance (512 buckets).
    static Hash<CInstance>& ID2Instance();
    // The instance with that id, or null.
    static CInstance* Find(int id) { return ID2Instance().Find(static_cast<uint32_t>(id)); }
    // Advanced by the step passes; new instances record it.
    static int64_t ms_CurrentCreateCounter;
    // Instances marked for removal since the room last removed its marked
    // instances (instance_life.cpp); the room's removal resets it.
    static int32_t ms_markedCount;

    // Takes the instance out of its object's instance lists (deactivation),
    // and puts it back (activation); each does nothing when already done.
    void LeaveLists();
    void JoinLists();

private:
    void ComputeBox();
    void TakeTypeDefaults(bool takeDepth);
};

// Destroys every instance left in the id table and empties it.
void FINALIZE_Instance_Class();

// Destroys an instance: with the flag the Destroy event, then the Clean Up
// event and the mark for removal (the room frees it at its next removal
// pass). Defined with the instance life (lifecycle/instance_life.cpp).
void DoDestroy(CInstance* instance, bool runDestroyEvent);

// A growable array of instances waiting for a deferred list change.
struct CInstanceArray {
    CInstance** m_pArray = nullptr;
    int32_t m_count = 0;
    int32_t m_capacity = 0;

    // Appends, doubling the capacity when full; false when out of memory.
    bool Append(CInstance* instance);
    // Appends unless already present.
    bool AppendOnce(CInstance* instance);
    bool Contains(const CInstance* instance) const;
    // Removes every entry that holds the instance.
    void Remove(CInstance* instance);
    void Clear() { m_count = 0; }
    void Free();
};

// Instances whose object changed during a pass, instances waiting for
// activation or deactivation, and instances waiting for a depth re-sort; the
// step empties them between passes.
extern CInstanceArray g_InstanceChangeArray;
extern CInstanceArray g_InstanceActivateDeactive;
extern CInstanceArray g_InstanceChangeDepth;
