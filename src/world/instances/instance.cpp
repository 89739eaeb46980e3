// Instances: construction and destruction, object, sprite and mask changes,
// the deferred object change and its re-linking, ids, copying, the id table
// and the deferred-change arrays.
#include "world/instances/instance.h"

#include <cstring>

#include "core/header_globals.h"
#include "core/memory_manager.h"
#include "core/real_to_int.h"
#include "world/instances/instance_tree.h"
#include "world/objects/object_defaults.h"
#include "world/objects/object_type.h"

CInstanceArray g_InstanceChangeArray;
CInstanceArray g_InstanceActivateDeactive;
CInstanceArray g_InstanceChangeDepth;
int64_t CInstance::ms_CurrentCreateCounter = 0;

Hash<CInstance>& CInstance::ID2Instance() {
    // Never destroyed by a static destructor: it does not own the instances.
    static Hash<CInstance>* table = new Hash<CInstance>(512);
    return *table;
}

// Object assignment comes before the defaults, so the defaults of the record
// (image index 0 in particular) win over what the sprite change did.
CInstance::CInstance(float x, float y, int id, int objectIndex, bool addToLists)
    : ZQObjectBase(0, VALUE_UNSET), m_createCounter(ms_CurrentCreateCounter), i_id(id), i_x(x), i_y(y),
      i_xstart(x), i_ystart(y), i_xprevious(x), i_yprevious(y) {
    m_kind = OBJECT_KIND_INSTANCE;
    for (int32_t& alarm : i_timer) alarm = -1;
    // Compiled code indexes the slot array directly, so an instance always has
    // one when the game declares instance variables.
    if (g_nInstanceVariables > 0) GrowSlots(g_nInstanceVariables);
    Register();
    SetObjectIndex(objectIndex, addToLists);
    i_imageindex = 0.0f;
}

CInstance::~CInstance() {
    CollisionRemove(this);
    LeaveLists();
    // Its own entry, wherever it stands: a room copy enters its instances
    // under the ids of the originals, and the table keeps both.
    ID2Instance().DeleteElement(static_cast<uint32_t>(i_id), this);
    g_InstanceChangeArray.Remove(this);
    g_InstanceActivateDeactive.Remove(this);
    g_InstanceChangeDepth.Remove(this);
}

void CInstance::LeaveLists() {
    if (m_listedIndex >= 0) {
        CObjectVT* listed = Object_Data(m_listedIndex);
        if (listed != nullptr) listed->RemoveInstance(this);
        m_listedIndex = -1;
    }
}

void CInstance::JoinLists() {
    if (m_listedIndex >= 0 || m_pObject == nullptr) return;
    m_pObject->AddInstance(this);
    m_listedIndex = i_objindex;
}

void CInstance::TakeTypeDefaults(bool takeDepth) {
    SObjectDefaults defaults;
    Object_GetDefaults(m_pObject, &defaults);
    i_maskindex = defaults.mask;
    if (takeDepth) i_depth = defaults.depth;
    i_solid = (defaults.flags & OBJECT_FLAG_SOLID) != 0;
    i_visible = (defaults.flags & OBJECT_FLAG_VISIBLE) != 0;
    i_persistent = (defaults.flags & OBJECT_FLAG_PERSISTENT) != 0;
    SetSpriteIndex(defaults.sprite);
    CollisionMarkDirty();
}

// Object -1 is stored as 0 (scripts read 0), but it names no type: it is
// never looked up as object 0, so the instance stays without object.
void CInstance::SetObjectIndex(int objectIndex, bool addToLists) {
    LeaveLists();
    const bool none = objectIndex == -1;
    i_objindex = none ? 0 : objectIndex;
    m_pObject = none ? nullptr : Object_Data(objectIndex);
    if (m_pObject == nullptr) {
        i_visible = i_solid = i_persistent = false;
        m_bboxDirty = false;
        return;
    }
    if (addToLists) {
        m_pObject->AddInstance(this);
        m_listedIndex = objectIndex;
    }
    TakeTypeDefaults(true);
}

// The instance stays in the old type's lists until RelinkObjectTypes, so a
// pass walking those lists is not disturbed by the change; m_listedIndex
// keeps naming that old type (the pending object) until then.
void CInstance::ChangeObjectIndex(int objectIndex) {
    g_InstanceChangeArray.Append(this);
    i_objindex = objectIndex;
    m_pObject = Object_Data(objectIndex);
    if (m_pObject == nullptr) {
        CollisionMarkDirty();
        return;
    }
    TakeTypeDefaults(!g_isNimbar);
    if (!g_isNimbar) g_InstanceChangeDepth.AppendOnce(this);
}

void CInstance::SetSpriteIndex(int sprite) {
    i_spriteindex = sprite;
    const CSprite* data = Sprite_Data(sprite);
    const int frames = data != nullptr ? data->m_numb : 0;
    if (RealToInt32(i_imageindex) >= frames) i_imageindex = 0.0f;
    CollisionMarkDirty();
}

void CInstance::Set_MaskIndex(int mask) {
    if (mask == i_maskindex) return;
    i_maskindex = mask;
    CollisionMarkDirty();
}

int CInstance::GetImageNumber() const {
    const CSprite* data = Sprite_Data(i_spriteindex);
    return data != nullptr ? data->m_numb : 0;
}

void CInstance::SetID(int id, bool updateTable) {
    if (!updateTable) {
        i_id = id;
        return;
    }
    Hash<CInstance>& table = ID2Instance();
    if (table.Find(static_cast<uint32_t>(i_id)) == this)
        table.Delete(static_cast<uint32_t>(i_id), eDelete_Keep);
    i_id = id;
    table.Insert(static_cast<uint32_t>(id), this);
}

// Everything an instance copy takes, except the room-list links, the list
// depth and the path start point. Variables: the map entry by entry and, for
// instances with slot arrays, each slot value (a slot-array instance keeps
// its variables there, so copying only the map would lose them).
void CInstance::Assign(CInstance* source, bool addToLists) {
    if (source == nullptr || source == this) return;
    LeaveLists();
    m_carriedOver = false;
    i_id = source->i_id;
    i_spriteindex = source->i_spriteindex;
    i_imageindex = source->i_imageindex;
    i_imagespeed = source->i_imagespeed;
    i_imagescalex = source->i_imagescalex;
    i_imagescaley = source->i_imagescaley;
    i_imageangle = source->i_imageangle;
    i_imagealpha = source->i_imagealpha;
    i_imageblend = source->i_imageblend;
    i_maskindex = source->i_maskindex;
    i_depth = source->i_depth;
    i_precise = source->i_precise;
    i_x = source->i_x;
    i_y = source->i_y;
    i_xstart = source->i_xstart;
    i_ystart = source->i_ystart;
    i_xprevious = source->i_xprevious;
    i_yprevious = source->i_yprevious;
    i_direction = source->i_direction;
    i_speed = source->i_speed;
    i_friction = source->i_friction;
    i_gravitydir = source->i_gravitydir;
    i_gravity = source->i_gravity;
    i_hspeed = source->i_hspeed;
    i_vspeed = source->i_vspeed;
    m_bboxDirty = source->m_bboxDirty;
    if (m_bboxDirty) CollisionMarkDirty();
    i_bbox = source->i_bbox;
    i_visible = source->i_visible;
    i_solid = source->i_solid;
    i_persistent = source->i_persistent;
    i_objindex = source->i_objindex;
    m_pObject = source->m_pObject;
    if (m_pObject != nullptr && addToLists) {
        m_pObject->AddInstance(this);
        m_listedIndex = i_objindex;
    }
    std::memcpy(i_timer, source->i_timer, sizeof(i_timer));
    i_marked = source->i_marked;
    i_deactivated = source->i_deactivated;
    i_pathindex = source->i_pathindex;
    i_pathposition = source->i_pathposition;
    i_pathpositionprevious = source->i_pathpositionprevious;
    i_pathspeed = source->i_pathspeed;
    i_pathscale = source->i_pathscale;
    i_pathorientation = source->i_pathorientation;
    i_pathend = source->i_pathend;
    i_timelineindex = source->i_timelineindex;
    i_timelineprevposition = source->i_timelineprevposition;
    i_timelineposition = source->i_timelineposition;
    i_timelinespeed = source->i_timelinespeed;
    i_timelinerunning = source->i_timelinerunning;
    i_timelineloop = source->i_timelineloop;
    m_outsideRoom = source->m_outsideRoom;
    m_pCreationCode = source->m_pCreationCode;
    m_pPreCreationCode = source->m_pPreCreationCode;
    m_layerID = source->m_layerID;
    AssignVars(source);
    if (m_slots != nullptr && source->m_slots != nullptr) {
        const int32_t n = m_slotCount < source->m_slotCount ? m_slotCount : source->m_slotCount;
        for (int32_t i = 0; i < n; ++i) COPY_RValue(&m_slots[i], &source->m_slots[i]);
    }
}

void FINALIZE_Instance_Class() {
    Hash<CInstance>& table = CInstance::ID2Instance();
    // Each destructor looks itself up in the table; empty it first.
    CInstance** all =
        table.Count() > 0 ? ZQ_AllocArray<CInstance*>(static_cast<size_t>(table.Count())) : nullptr;
    int32_t n = 0;
    if (all != nullptr) table.ForEach([&](uint32_t, CInstance* instance) { all[n++] = instance; });
    table.Clear(eDelete_Keep);
    for (int32_t i = 0; i < n; ++i) delete all[i];
    ZQ_Free(all);
    g_InstanceChangeArray.Free();
    g_InstanceActivateDeactive.Free();
    g_InstanceChangeDepth.Free();
}

// ---------------------------------------------------------------------------
// Deferred-change arrays.

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

bool CInstanceArray::Contains(const CInstance* instance) const {
    for (int32_t i = 0; i < m_count; ++i)
        if (m_pArray[i] == instance) return true;
    return false;
}

bool CInstanceArray::AppendOnce(CInstance* instance) {
    return Contains(instance) || Append(instance);
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
