// Instance life, counting and activation. Events raised here run script code
// re-entrantly, so every walk that raises events walks a snapshot taken first
// (an event may create instances, which join the lists being walked); the
// room's own lists change only between passes, through the deferred arrays.
#include "world/lifecycle/instance_life.h"

#include <cfloat>
#include <cstdio>

#include "core/arguments.h"
#include "core/collector.h"
#include "core/error.h"
#include "core/memory_manager.h"
#include "core/real_to_int.h"
#include "core/rvalue.h"
#include "core/support_output.h"
#include "core/zq_rvalue.h"
#include "room/layer_manager.h"
#include "room/room.h"
#include "world/datafile/options.h"
#include "world/instances/instance.h"
#include "world/objects/event.h"
#include "world/objects/object_type.h"

int32_t CInstance::ms_markedCount = 0;

namespace {

constexpr int kTargetSelf = -1;
constexpr int kTargetOther = -2;
constexpr int kTargetAll = -3;
constexpr int kTargetNoone = -4;
constexpr int kFirstInstanceId = 100000;

// The scratch list of the two list walkers, kept for the whole run.
CInstanceArray g_ActiveDeactiveList;

// The region of the running region command.
struct SInstanceRegion {
    bool inside;
    float left, top, right, bottom;
};
SInstanceRegion g_instanceRegion{};

// The object sets of the special region command: reals read from the first
// row of each array argument (null: the argument was not an array).
struct SObjectSet {
    double* values = nullptr;
    int32_t count = 0;
    bool present = false;
};
SObjectSet g_instanceRegionActivateSet;
SObjectSet g_instanceRegionDeactivateSet;

inline bool Live(const CInstance* instance) {
    return !instance->i_marked && !instance->i_deactivated;
}

// Instances gathered before events run. Instances are only marked while
// events run (removal happens between passes), so the pointers stay valid for
// the life of the snapshot.
class InstanceSnapshot {
public:
    InstanceSnapshot() = default;
    ~InstanceSnapshot() { m_list.Free(); }
    InstanceSnapshot(const InstanceSnapshot&) = delete;
    InstanceSnapshot& operator=(const InstanceSnapshot&) = delete;
    void Add(CInstance* instance) { m_list.Append(instance); }
    int32_t Count() const { return m_list.m_count; }
    CInstance* operator[](int32_t i) const { return m_list.m_pArray[i]; }

private:
    CInstanceArray m_list;
};

void ReportMissing(const char* prefix, int value) {
    char message[128];
    std::snprintf(message, sizeof(message), "%s%d", prefix, value);
    Error_Show_Action(message, false);
}

void RunCreationEvents(CInstance* instance) {
    Perform_Event(instance, instance, EVENT_PRE_CREATE, 0);
    Perform_Event(instance, instance, EVENT_CREATE, 0);
    instance->m_created = true;
}

// The checks every creation shares: the object exists (reported otherwise)
// and a room runs to hold the instance.
bool CanCreate(int object) {
    if (!Object_Exists(object)) {
        ReportMissing("Creating instance for non-existing object: ", object);
        return false;
    }
    if (Run_Room == nullptr) {
        Support_DebugOutput("Creating an instance of object %d while no room is running\n", object);
        return false;
    }
    return true;
}

void MarkDestroyed(CInstance* instance) {
    instance->i_marked = true;
    ++CInstance::ms_markedCount;
}

void Deactivate(CInstance* instance) {
    instance->SetDeactivated(true);
    g_InstanceActivateDeactive.Append(instance);
}

void Activate(CInstance* instance) {
    instance->SetDeactivated(false);
    g_InstanceActivateDeactive.Append(instance);
}

bool IsOfObject(const CInstance* instance, int object) {
    return instance->i_objindex == object ||
           (instance->m_pObject != nullptr && instance->m_pObject->IsDecendentOf(object));
}

// Walks the room's active list and then its deactivated list.
template <class F>
void ForEachRoomInstance(F&& visit) {
    if (Run_Room == nullptr) return;
    for (CInstance* i = Run_Room->m_pFirstActive; i != nullptr; i = i->m_pNext) visit(i);
    for (CInstance* i = Run_Room->m_pFirstDeactive; i != nullptr; i = i->m_pNext) visit(i);
}

// ---- regions

void SetRegion(float left, float top, float width, float height, bool inside) {
    g_instanceRegion = {inside, left, top, left + width, top + height};
}

const SBoundingBox& CurrentBox(CInstance* instance) {
    if (instance->m_bboxDirty) instance->Compute_BoundingBox(true);
    return instance->i_bbox;
}

// A box touching the region's edge counts as inside.
bool BoxOutside(CInstance* instance) {
    const SBoundingBox& b = CurrentBox(instance);
    const SInstanceRegion& r = g_instanceRegion;
    return static_cast<float>(b.top) > r.bottom || static_cast<float>(b.bottom) < r.top ||
           static_cast<float>(b.left) > r.right || static_cast<float>(b.right) < r.left;
}

bool Qualifies(bool outside) {
    return outside != g_instanceRegion.inside;
}

void InstanceRegionDeactivate(CInstance* instance) {
    if (Qualifies(BoxOutside(instance))) Deactivate(instance);
}

void InstanceRegionActivate(CInstance* instance) {
    bool outside;
    if (Sprite_Exists(instance->i_spriteindex) || Sprite_Exists(instance->i_maskindex)) {
        outside = BoxOutside(instance);
    } else {
        const SInstanceRegion& r = g_instanceRegion;
        outside = instance->i_y > r.bottom || instance->i_x < r.left || instance->i_x > r.right ||
                  instance->i_y < r.top;
    }
    if (Qualifies(outside)) Activate(instance);
}

bool SetNames(const SObjectSet& set, const CInstance* instance) {
    for (int32_t k = 0; k < set.count; ++k) {
        const double v = set.values[k];
        if (v == static_cast<double>(instance->i_objindex) || v == static_cast<double>(instance->i_id))
            return true;
        const int object = RealToInt32(v);
        if (static_cast<double>(object) == v && Object_Exists(object) && instance->m_pObject != nullptr &&
            instance->m_pObject->IsDecendentOf(object))
            return true;
    }
    return false;
}

void InstanceRegionDeactivateSpecial(CInstance* instance) {
    if (g_instanceRegionDeactivateSet.present && SetNames(g_instanceRegionDeactivateSet, instance)) {
        Deactivate(instance);
        return;
    }
    if (g_instanceRegionActivateSet.present && SetNames(g_instanceRegionActivateSet, instance)) return;
    InstanceRegionDeactivate(instance);
}

// Reads the first row of an array argument as reals; any other kind leaves
// the set absent.
void BuildSet(SObjectSet& set, const RValue& arg) {
    set = SObjectSet{};
    if (arg.Kind() != VALUE_ARRAY || arg.pRefArray == nullptr) return;
    set.present = true;
    const RefDynamicArrayOfRValue* record = arg.pRefArray;
    if (record->m_length <= 0 || record->m_Array == nullptr) return;
    const DynamicArrayOfRValue& row = record->m_Array[0];
    if (row.length <= 0 || row.arr == nullptr) return;
    set.values = ZQ_AllocArray<double>(static_cast<size_t>(row.length));
    if (set.values == nullptr) return;
    for (int32_t k = 0; k < row.length; ++k) {
        const RValue& v = row.arr[k];
        switch (v.Kind()) {
            case VALUE_REAL:
            case VALUE_BOOL: set.values[set.count++] = v.val; break;
            case VALUE_INT32: set.values[set.count++] = v.v32; break;
            case VALUE_INT64: set.values[set.count++] = static_cast<double>(v.v64); break;
            default: break;
        }
    }
}

void FreeSet(SObjectSet& set) {
    ZQ_Free(set.values);
    set = SObjectSet{};
}

void ReactivateSelf(CInstance* self, bool notme) {
    if (notme && self != nullptr && !self->i_marked && self->i_deactivated) Activate(self);
}

} // namespace

// ---------------------------------------------------------------------------
// Creation.

CInstance* Command_Create(int object, float x, float y) {
    if (!CanCreate(object)) return nullptr;
    CInstance* instance = Run_Room->AddInstance(x, y, object);
    RunCreationEvents(instance);
    return instance;
}

CInstance* Command_Create_Depth(int object, float x, float y, int depth) {
    if (!CanCreate(object)) return nullptr;
    CInstance* instance = Run_Room->AddInstance(x, y, depth, object);
    RunCreationEvents(instance);
    return instance;
}

CInstance* Command_Create_Layer(int object, float x, float y, int layerId) {
    if (!CanCreate(object)) return nullptr;
    CLayer* layer = CLayerManager::GetLayerFromID(Run_Room, layerId);
    if (layer == nullptr) {
        Support_DebugOutput("Specified layer does not exist\n");
        return nullptr;
    }
    CInstance* instance = Run_Room->AddInstance(x, y, layer, object);
    if (instance != nullptr) RunCreationEvents(instance);
    return instance;
}

CInstance* Command_Create_Layer(int object, float x, float y, const char* layerName) {
    if (!CanCreate(object)) return nullptr;
    CLayer* layer = CLayerManager::GetLayerFromName(Run_Room, layerName != nullptr ? layerName : "");
    if (layer == nullptr) {
        ZQError("instance_create_layer :: specified layer \"%s\" does not exist",
                layerName != nullptr ? layerName : "");
        return nullptr;
    }
    CInstance* instance = Run_Room->AddInstance(x, y, layer, object);
    if (instance != nullptr) RunCreationEvents(instance);
    return instance;
}

// The copy takes the caller's whole state; only its fresh id is its own.
CInstance* Command_InstanceCopy(CInstance* self, bool performEvent) {
    if (self == nullptr || Run_Room == nullptr) return nullptr;
    CInstance* copy =
        Run_Room->AddInstance(self->i_x, self->i_y, self->m_pObject != nullptr ? self->i_objindex : -1);
    const int id = copy->i_id;
    copy->Assign(self, true);
    copy->SetID(id, false);
    g_InstanceChangeDepth.AppendOnce(copy);
    if (performEvent) RunCreationEvents(copy);
    return copy;
}

// ---------------------------------------------------------------------------
// Destruction and change.

// An instance already marked (destroyed without its event) is not destroyed
// again: its events would run after it left play, and it would be counted twice.
void Command_Destroy(CInstance* instance) {
    if (instance == nullptr || instance->m_destroying || instance->i_marked) return;
    instance->m_destroying = true;
    Perform_Event(instance, instance, EVENT_DESTROY, 0);
    Perform_Event(instance, instance, EVENT_CLEANUP, 0);
    MarkDestroyed(instance);
}

void DoDestroy(CInstance* instance, bool runDestroyEvent) {
    if (instance == nullptr || !Live(instance)) return;
    if (runDestroyEvent) {
        Command_Destroy(instance);
        return;
    }
    Perform_Event(instance, instance, EVENT_CLEANUP, 0);
    if (!instance->i_marked) MarkDestroyed(instance);
}

// A Destroy event that creates an instance of the destroyed object would
// otherwise extend the very list being walked, and destroying would never end.
void DoInstanceDestroy(CInstance* self, CInstance* other, int target, bool runDestroyEvent) {
    InstanceSnapshot targets;
    for (WithObjIterator it(target, self, other, false); *it != nullptr; it.Next())
        if (Live(*it)) targets.Add(*it);
    for (int32_t k = 0; k < targets.Count(); ++k) DoDestroy(targets[k], runDestroyEvent);
}

void Command_DestroyAt(float x, float y) {
    if (Run_Room == nullptr) return;
    InstanceSnapshot list;
    for (CInstance* i = Run_Room->m_pFirstActive; i != nullptr; i = i->m_pNext) list.Add(i);
    for (int32_t k = 0; k < list.Count(); ++k) {
        CInstance* i = list[k];
        if (!i->m_destroying && i->Collision_Point(x, y, true)) Command_Destroy(i);
    }
}

void Command_Change(CInstance* instance, int object, bool runEvents) {
    if (!Object_Exists(object)) {
        ReportMissing("Asking to change into non-existing object: ", object);
        return;
    }
    if (instance == nullptr || instance->i_objindex == object) return;
    if (runEvents && !instance->m_destroying) {
        Perform_Event(instance, instance, EVENT_DESTROY, 0);
        Perform_Event(instance, instance, EVENT_CLEANUP, 0);
    }
    instance->ChangeObjectIndex(object);
    if (runEvents) {
        Perform_Event(instance, instance, EVENT_PRE_CREATE, 0);
        Perform_Event(instance, instance, EVENT_CREATE, 0);
    }
}

void Command_ChangeAt(float x, float y, int object, bool runEvents) {
    if (!Object_Exists(object)) {
        ReportMissing("Asking to change into non-existing object: ", object);
        return;
    }
    if (Run_Room == nullptr) return;
    InstanceSnapshot list;
    for (CInstance* i = Run_Room->m_pFirstActive; i != nullptr; i = i->m_pNext) list.Add(i);
    for (int32_t k = 0; k < list.Count(); ++k)
        if (list[k]->Collision_Point(x, y, true)) Command_Change(list[k], object, runEvents);
}

// The sprite change itself resets an image index past the new frame count and
// queues the box (and, under fast collision, the tree entry).
void Command_SetSprite(CInstance* instance, int sprite) {
    if (!Sprite_Exists(sprite)) {
        ReportMissing("Setting instance to non-existing sprite: ", sprite);
        return;
    }
    if (instance != nullptr) instance->SetSpriteIndex(sprite);
}

// ---------------------------------------------------------------------------
// Counting and finding.

int Command_InstanceNumber(int target) {
    int count = 0;
    if (target == kTargetAll) {
        if (Run_Room == nullptr) return 0;
        for (CInstance* i = Run_Room->m_pFirstActive; i != nullptr; i = i->m_pNext) count += Live(i) ? 1 : 0;
    } else if (target >= 0 && target < kFirstInstanceId) {
        CObjectVT* type = Object_Data(target);
        if (type == nullptr) return 0;
        for (SInstanceNode* n = type->m_InstancesRecursive.m_pFirst;
             n != nullptr && n->m_pInstance != nullptr; n = n->m_pNext)
            count += Live(n->m_pInstance) ? 1 : 0;
        // Instances changed into the object this pass are not in its lists yet.
        for (int32_t k = 0; k < g_InstanceChangeArray.m_count; ++k) {
            const CInstance* i = g_InstanceChangeArray.m_pArray[k];
            count += (i->i_objindex == target && Live(i)) ? 1 : 0;
        }
    } else if (target >= kFirstInstanceId) {
        const CInstance* i = CInstance::Find(target);
        count = (i != nullptr && Live(i)) ? 1 : 0;
    }
    return count;
}

namespace {

// Nearest keeps the first of equal distances: it starts from the largest float
// and takes only strictly smaller ones; furthest starts from -1 and takes only
// strictly larger ones.
template <bool Nearest>
CInstance* Extreme(float x, float y, int target) {
    CInstance* best = nullptr;
    float bestDistance = Nearest ? FLT_MAX : -1.0f;
    auto consider = [&](CInstance* i) {
        if (!Live(i)) return;
        const float dx = i->i_x - x, dy = i->i_y - y;
        const float d = dx * dx + dy * dy;
        if (Nearest ? d < bestDistance : d > bestDistance) {
            bestDistance = d;
            best = i;
        }
    };
    if (target == kTargetAll) {
        if (Run_Room == nullptr) return nullptr;
        for (CInstance* i = Run_Room->m_pFirstActive; i != nullptr; i = i->m_pNext) consider(i);
    } else if (target >= 0 && target < kFirstInstanceId) {
        CObjectVT* type = Object_Data(target);
        if (type == nullptr) return nullptr;
        for (SInstanceNode* n = type->m_InstancesRecursive.m_pFirst;
             n != nullptr && n->m_pInstance != nullptr; n = n->m_pNext)
            consider(n->m_pInstance);
    }
    return best;
}

} // namespace

CInstance* Command_InstanceNearest(float x, float y, int target) {
    return Extreme<true>(x, y, target);
}

CInstance* Command_InstanceFurthest(float x, float y, int target) {
    return Extreme<false>(x, y, target);
}

CInstance* Command_InstanceFind(CInstance* self, CInstance* other, int target, int n) {
    if (n < 0) return nullptr;
    int seen = 0;
    for (WithObjIterator it(target, self, other, false); *it != nullptr; it.Next()) {
        if (!Live(*it)) continue;
        if (seen++ == n) return *it;
    }
    return nullptr;
}

bool Command_InstanceExists(CInstance* self, CInstance* other, int target) {
    for (WithObjIterator it(target, self, other, false); *it != nullptr; it.Next())
        if (Live(*it)) return true;
    return false;
}

// ---------------------------------------------------------------------------
// Activation.

CInstanceArray& GetActiveList(TInstanceCallback callback) {
    g_ActiveDeactiveList.Clear();
    ForEachRoomInstance([&](CInstance* i) {
        if (!Live(i)) return;
        if (callback != nullptr)
            callback(i);
        else
            g_ActiveDeactiveList.Append(i);
    });
    return g_ActiveDeactiveList;
}

CInstanceArray& GetDeactiveList(TInstanceCallback callback) {
    g_ActiveDeactiveList.Clear();
    ForEachRoomInstance([&](CInstance* i) {
        if (!i->i_deactivated || i->i_marked) return;
        if (callback != nullptr) callback(i);
        g_ActiveDeactiveList.Append(i);
    });
    return g_ActiveDeactiveList;
}

void Command_DeactivateAll(CInstance* self, bool notme) {
    CInstanceArray& list = GetActiveList(nullptr);
    for (int32_t k = 0; k < list.m_count; ++k)
        if (Live(list.m_pArray[k])) Deactivate(list.m_pArray[k]);
    if (self != nullptr && notme && !self->i_marked) Activate(self);
}

void Command_DeactivateObject(CInstance* self, CInstance* other, int target) {
    InstanceSnapshot collected;
    for (WithObjIterator it(target, self, other, false); *it != nullptr; it.Next()) {
        CInstance* i = *it;
        if (!Live(i)) continue;
        i->SetDeactivated(true);
        collected.Add(i);
    }
    for (int32_t k = 0; k < collected.Count(); ++k) g_InstanceActivateDeactive.Append(collected[k]);
}

void Command_ActivateAll() {
    CInstanceArray& list = GetDeactiveList(nullptr);
    for (int32_t k = 0; k < list.m_count; ++k) {
        CInstance* i = list.m_pArray[k];
        if (i->i_deactivated && !i->i_marked) Activate(i);
    }
}

void Command_ActivateObject(CInstance* self, CInstance* other, int target) {
    if (target == kTargetAll) {
        Command_ActivateAll();
    } else if (target == kTargetSelf || target == kTargetOther) {
        CInstance* i = target == kTargetSelf ? self : other;
        if (i != nullptr && !i->i_marked) Activate(i);
    } else if (target >= kFirstInstanceId) {
        CInstance* i = CInstance::Find(target);
        if (i != nullptr && !i->i_marked && i->i_deactivated) Activate(i);
    } else if (target >= 0) {
        ForEachRoomInstance([&](CInstance* i) {
            if (i->i_deactivated && !i->i_marked && IsOfObject(i, target)) Activate(i);
        });
    }
}

void Command_DeactivateRegion(CInstance* self, float left, float top, float width, float height, bool inside,
                              bool notme) {
    SetRegion(left, top, width, height, inside);
    GetActiveList(InstanceRegionDeactivate);
    ReactivateSelf(self, notme);
}

void Command_ActivateRegion(float left, float top, float width, float height, bool inside) {
    SetRegion(left, top, width, height, inside);
    GetDeactiveList(InstanceRegionActivate);
}

// ---------------------------------------------------------------------------
// Compiled code's direct calls.

double ZQVTL_instance_create(float x, float y, int object) {
    const CInstance* i = Command_Create(object, x, y);
    return i != nullptr ? i->i_id : -1.0;
}

void ZQVTL_instance_destroy(CInstance* self, CInstance* other, int argc, ZQRValue** args) {
    const int target = argc >= 1 && args != nullptr ? ZQGetInt32(args[0], 0) : kTargetSelf;
    const bool run = argc >= 2 && args != nullptr ? ZQGetBool(args[1], 0) : true;
    DoInstanceDestroy(self, other, target, run);
}

void ZQVTL_instance_change(CInstance* instance, int object, bool runEvents) {
    Command_Change(instance, object, runEvents);
}

bool ZQVTL_instance_exists(CInstance* self, CInstance* other, int target) {
    return Command_InstanceExists(self, other, target);
}

int ZQVTL_instance_number(CInstance* self, CInstance* other, int target) {
    if (target == kTargetSelf || target == kTargetOther) {
        const CInstance* i = target == kTargetSelf ? self : other;
        return i != nullptr && Live(i) ? 1 : 0;
    }
    return Command_InstanceNumber(target);
}

bool ZQVTL_instance_waiting_for_activation(int object) {
    for (int32_t k = 0; k < g_InstanceActivateDeactive.m_count; ++k) {
        const CInstance* i = g_InstanceActivateDeactive.m_pArray[k];
        if (Live(i) && IsOfObject(i, object)) return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Built-ins.

namespace {

void SetId(RValue& result, const CInstance* found) {
    ZQSetResultReal(result, found != nullptr ? found->i_id : kTargetNoone);
}

// With the script-object runtime on, creation and find give the instance
// itself as an object value (a null object for none).
void SetCreated(RValue& result, CInstance* instance, double none) {
    if (g_fJSGarbageCollection) {
        result.kind = VALUE_OBJECT;
        result.flags = 0;
        result.pObj = instance;
        return;
    }
    ZQSetResultReal(result, instance != nullptr ? instance->i_id : none);
}

void F_InstanceCreate(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    SetCreated(result, Command_Create(ZQGetInt32(args, 2), ZQGetFloat(args, 0), ZQGetFloat(args, 1)), -1.0);
}

void F_InstanceCreateDepth(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    SetCreated(result,
               Command_Create_Depth(ZQGetInt32(args, 3), ZQGetFloat(args, 0), ZQGetFloat(args, 1),
                                    ZQGetInt32(args, 2)),
               -1.0);
}

void F_InstanceCreateLayer(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    const int object = ZQGetInt32(args, 3);
    const float x = ZQGetFloat(args, 0), y = ZQGetFloat(args, 1);
    CInstance* made = args[2].Kind() == VALUE_STRING
                          ? Command_Create_Layer(object, x, y, ZQGetString(args, 2))
                          : Command_Create_Layer(object, x, y, ZQGetInt32(args, 2));
    SetCreated(result, made, kTargetNoone);
}

void F_InstanceCopy(RValue& result, CInstance* self, CInstance*, int, RValue* args) {
    SetId(result, Command_InstanceCopy(self, ZQGetBool(args, 0)));
}

void F_InstanceDestroy(RValue&, CInstance* self, CInstance* other, int argc, RValue* args) {
    const int target = argc >= 1 ? ZQGetInt32(args, 0) : kTargetSelf;
    const bool run = argc >= 2 ? ZQGetBool(args, 1) : true;
    DoInstanceDestroy(self, other, target, run);
}

void F_InstanceChange(RValue&, CInstance* self, CInstance*, int, RValue* args) {
    Command_Change(self, ZQGetInt32(args, 0), ZQGetBool(args, 1));
}

void F_PositionDestroy(RValue&, CInstance*, CInstance*, int, RValue* args) {
    Command_DestroyAt(ZQGetFloat(args, 0), ZQGetFloat(args, 1));
}

void F_PositionChange(RValue&, CInstance*, CInstance*, int, RValue* args) {
    Command_ChangeAt(ZQGetFloat(args, 0), ZQGetFloat(args, 1), ZQGetInt32(args, 2), ZQGetBool(args, 3));
}

void F_InstanceFind(RValue& result, CInstance* self, CInstance* other, int, RValue* args) {
    CInstance* found = Command_InstanceFind(self, other, ZQGetInt32(args, 0), ZQGetInt32(args, 1));
    SetCreated(result, found, kTargetNoone);
}

void F_InstanceExists(RValue& result, CInstance* self, CInstance* other, int, RValue* args) {
    ZQSetResultReal(result, Command_InstanceExists(self, other, ZQGetInt32(args, 0)) ? 1.0 : 0.0);
}

void F_InstanceNumber(RValue& result, CInstance* self, CInstance* other, int, RValue* args) {
    ZQSetResultReal(result, ZQVTL_instance_number(self, other, ZQGetInt32(args, 0)));
}

void F_InstanceNearest(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    SetId(result, Command_InstanceNearest(ZQGetFloat(args, 0), ZQGetFloat(args, 1), ZQGetInt32(args, 2)));
}

void F_InstanceFurthest(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    SetId(result, Command_InstanceFurthest(ZQGetFloat(args, 0), ZQGetFloat(args, 1), ZQGetInt32(args, 2)));
}

// Counts every entry of the active list, marked and deactivated ones too.
void F_InstanceIdGet(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    const int n = ZQGetInt32(args, 0);
    ZQSetResultReal(result, kTargetNoone);
    if (n < 0 || Run_Room == nullptr) return;
    int k = 0;
    for (CInstance* i = Run_Room->m_pFirstActive; i != nullptr; i = i->m_pNext, ++k) {
        if (k == n) {
            ZQSetResultReal(result, i->i_id);
            return;
        }
    }
}

void F_InstanceSprite(RValue&, CInstance* self, CInstance*, int, RValue* args) {
    Command_SetSprite(self, ZQGetInt32(args, 0));
}

void F_InstanceDeactivateAll(RValue&, CInstance* self, CInstance*, int, RValue* args) {
    Command_DeactivateAll(self, ZQGetBool(args, 0));
}

void F_InstanceDeactivateObject(RValue&, CInstance* self, CInstance* other, int, RValue* args) {
    Command_DeactivateObject(self, other, ZQGetInt32(args, 0));
}

void F_InstanceDeactivateRegion(RValue&, CInstance* self, CInstance*, int, RValue* args) {
    Command_DeactivateRegion(self, ZQGetFloat(args, 0), ZQGetFloat(args, 1), ZQGetFloat(args, 2),
                             ZQGetFloat(args, 3), ZQGetBool(args, 4), ZQGetBool(args, 5));
}

void F_InstanceActivateAll(RValue&, CInstance*, CInstance*, int, RValue*) {
    Command_ActivateAll();
}

void F_InstanceActivateObject(RValue&, CInstance* self, CInstance* other, int, RValue* args) {
    Command_ActivateObject(self, other, ZQGetInt32(args, 0));
}

void F_InstanceActivateRegion(RValue&, CInstance*, CInstance*, int, RValue* args) {
    Command_ActivateRegion(ZQGetFloat(args, 0), ZQGetFloat(args, 1), ZQGetFloat(args, 2), ZQGetFloat(args, 3),
                           ZQGetBool(args, 4));
}

void F_InstanceDeactivateRegionSpecial(RValue&, CInstance* self, CInstance*, int, RValue* args) {
    SetRegion(ZQGetFloat(args, 0), ZQGetFloat(args, 1), ZQGetFloat(args, 2), ZQGetFloat(args, 3),
              ZQGetBool(args, 4));
    const bool notme = ZQGetBool(args, 5);
    BuildSet(g_instanceRegionActivateSet, args[6]);
    BuildSet(g_instanceRegionDeactivateSet, args[7]);
    GetActiveList(InstanceRegionDeactivateSpecial);
    FreeSet(g_instanceRegionActivateSet);
    FreeSet(g_instanceRegionDeactivateSet);
    ReactivateSelf(self, notme);
}

const GameBuiltinRow kInstanceLifeBuiltins[] = {
    {"instance_find", F_InstanceFind},
    {"instance_exists", F_InstanceExists},
    {"instance_number", F_InstanceNumber},
    {"instance_nearest", F_InstanceNearest},
    {"instance_furthest", F_InstanceFurthest},
    {"instance_create", F_InstanceCreate},
    {"instance_create_depth", F_InstanceCreateDepth},
    {"instance_create_layer", F_InstanceCreateLayer},
    {"instance_copy", F_InstanceCopy},
    {"instance_change", F_InstanceChange},
    {"instance_destroy", F_InstanceDestroy},
    {"instance_sprite", F_InstanceSprite},
    {"position_destroy", F_PositionDestroy},
    {"position_change", F_PositionChange},
    {"instance_id_get", F_InstanceIdGet},
    {"instance_deactivate_all", F_InstanceDeactivateAll},
    {"instance_deactivate_object", F_InstanceDeactivateObject},
    {"instance_deactivate_region", F_InstanceDeactivateRegion},
    {"instance_activate_all", F_InstanceActivateAll},
    {"instance_activate_object", F_InstanceActivateObject},
    {"instance_activate_region", F_InstanceActivateRegion},
    {"instance_deactivate_region_special", F_InstanceDeactivateRegionSpecial},
};

} // namespace

std::span<const GameBuiltinRow> InstanceLife_Builtins() {
    return kInstanceLifeBuiltins;
}

void InstanceLife_Reset() {
    CInstance::ms_markedCount = 0;
    CInstance::ms_CurrentCreateCounter = 0;
    g_InstanceChangeArray.Clear();
    g_InstanceActivateDeactive.Clear();
    g_InstanceChangeDepth.Clear();
    g_ActiveDeactiveList.Clear();
    g_instanceRegion = {};
}

// Declared with the instance (instances/instance.h); here because it moves the
// instance within the running room's depth order.
void CInstance::RelinkObjectTypes() {
    LeaveLists();
    if (m_pObject != nullptr) {
        m_pObject->AddInstance(this);
        m_listedIndex = i_objindex;
    }
    if (i_deactivated || Run_Room == nullptr) return;
    Run_Room->MoveToDepth(this);
}
