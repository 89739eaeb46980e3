// Collision queries over the instance lists and over the instance tree. The
// tree searches keep their state in file statics (a callback gets only the
// instance and a context), so tree queries must not be nested; no callback
// runs script code.
#include "world/collision/collision_queries.h"

#include <algorithm>

#include "core/arguments.h"
#include "core/object_base.h"
#include "core/real_to_int.h"
#include "core/rvalue.h"
#include "room/room.h"
#include "world/datafile/options.h"
#include "world/instances/instance.h"
#include "world/instances/instance_tree.h"
#include "world/objects/object_type.h"

namespace {

constexpr int kTargetAll = -3;
constexpr int kTargetNoone = -4;
constexpr int kFirstInstanceId = 100000;

enum class Shape { Point, Rectangle, Ellipse, Line };

// The state of the running tree query.
int s_isMeetingObjectInd = 0;
CInstance* s_instancePtr = nullptr;
bool s_result = false;
int s_positionMeetingX = 0;
int s_positionMeetingY = 0;

struct SQueryContext {
    double x1, y1, x2, y2;
    bool precise;
    bool notme;
    CInstance* self;
};

// A search edge: the coordinate truncated toward zero and moved a pixel
// outward, kept inside 32 bits (huge and NaN coordinates included).
int WidenedEdge(float v, int outward) {
    const int64_t e = RealToInt64(v) + outward;
    return static_cast<int>(std::clamp<int64_t>(e, INT32_MIN, INT32_MAX));
}

bool Live(const CInstance* instance) {
    return !instance->i_marked && !instance->i_deactivated;
}

bool ShapeTest(CInstance* instance, Shape shape, float x1, float y1, float x2, float y2, bool precise) {
    switch (shape) {
        case Shape::Point: return instance->Collision_Point(x1, y1, precise);
        case Shape::Rectangle: return instance->Collision_Rectangle(x1, y1, x2, y2, precise);
        case Shape::Ellipse: return instance->Collision_Ellipse(x1, y1, x2, y2, precise);
        case Shape::Line: return instance->Collision_Line(x1, y1, x2, y2, precise);
    }
    return false;
}

// The list walk shared by the four shape queries: all of the room, an
// object's inclusive list in the order instances joined it, or one id.
CInstance* ListShapeQuery(CInstance* self, Shape shape, float x1, float y1, float x2, float y2, int target,
                          bool precise, bool notme) {
    if (target == kTargetAll) {
        if (Run_Room == nullptr) return nullptr;
        for (CInstance* i = Run_Room->m_pFirstActive; i != nullptr; i = i->m_pNext) {
            if (!Live(i) || (notme && i == self)) continue;
            if (ShapeTest(i, shape, x1, y1, x2, y2, precise)) return i;
        }
        return nullptr;
    }
    if (target >= 0 && target < kFirstInstanceId) {
        CObjectVT* type = Object_Data(target);
        if (type == nullptr) return nullptr;
        for (SInstanceNode* n = type->m_InstancesRecursive.m_pFirst; n != nullptr; n = n->m_pNext) {
            CInstance* i = n->m_pInstance;
            if (i == nullptr) break;
            if (!Live(i) || (notme && i == self)) continue;
            if (ShapeTest(i, shape, x1, y1, x2, y2, precise)) return i;
        }
        return nullptr;
    }
    if (target >= kFirstInstanceId) {
        if (notme && self != nullptr && self->i_id == target) return nullptr;
        CInstance* i = CInstance::Find(target);
        if (i == nullptr || !Live(i)) return nullptr;
        return ShapeTest(i, shape, x1, y1, x2, y2, precise) ? i : nullptr;
    }
    return nullptr;
}

// The filters every tree callback shares: a live instance object matching
// the target (-3 all, an object or a descendant of it, or one id).
bool MatchesTarget(CInstance* instance, int target) {
    if (!Live(instance) || instance->m_kind != OBJECT_KIND_INSTANCE) return false;
    if (target == kTargetAll) return true;
    if (target >= kFirstInstanceId) return instance->i_id == target;
    if (target >= 0)
        return instance->i_objindex == target ||
               (instance->m_pObject != nullptr && instance->m_pObject->IsDecendentOf(target));
    return false;
}

bool collisionResultCollisionRect(CInstance* instance, void* context) {
    const SQueryContext* q = static_cast<SQueryContext*>(context);
    if (!MatchesTarget(instance, s_isMeetingObjectInd) || (q->notme && instance == q->self)) return true;
    if (!instance->Collision_Rectangle(static_cast<float>(q->x1), static_cast<float>(q->y1),
                                       static_cast<float>(q->x2), static_cast<float>(q->y2), q->precise))
        return true;
    s_instancePtr = instance;
    return false;
}

bool collisionResultCollisionLine(CInstance* instance, void* context) {
    const SQueryContext* q = static_cast<SQueryContext*>(context);
    if (!MatchesTarget(instance, s_isMeetingObjectInd) || (q->notme && instance == q->self)) return true;
    if (!instance->Collision_Line(static_cast<float>(q->x1), static_cast<float>(q->y1),
                                  static_cast<float>(q->x2), static_cast<float>(q->y2), q->precise))
        return true;
    s_instancePtr = instance;
    return false;
}

bool collisionResultInstancePlace(CInstance* instance, void* context) {
    CInstance* self = static_cast<CInstance*>(context);
    if (instance == self || !MatchesTarget(instance, s_isMeetingObjectInd)) return true;
    if (!instance->Collision_Instance(self, true)) return true;
    s_instancePtr = instance;
    return false;
}

template <bool SolidOnly>
bool collisionResultFreeOrEmpty(CInstance* instance, void* context) {
    CInstance* self = static_cast<CInstance*>(context);
    if (CollisionIsRemoved(instance) || !Live(instance) || instance->m_kind != OBJECT_KIND_INSTANCE ||
        instance->i_id == self->i_id)
        return true;
    if (SolidOnly && !instance->i_solid) return true;
    if (!instance->Collision_Instance(self, true)) return true;
    s_result = false;
    return false;
}

bool collisionResultPM(CInstance* instance, void*) {
    if (CollisionIsRemoved(instance) || !MatchesTarget(instance, s_isMeetingObjectInd)) return true;
    if (!instance->Collision_Point(static_cast<float>(s_positionMeetingX),
                                   static_cast<float>(s_positionMeetingY), true))
        return true;
    s_result = true;
    return false;
}

// The tree path is taken for all, or for an object with at least as many
// instances as the tree is deep; ids and the option off walk the lists.
bool UseTree(int target, bool* missing) {
    *missing = false;
    CObjectVT* object = nullptr;
    const int how = ShouldUseFastCollision(target, &object);
    if (how == -1) *missing = true;
    return how == 1;
}

CInstanceTree::Rect SelfSearchRect(CInstance* self) {
    if (self->m_bboxDirty) self->Compute_BoundingBox(true);
    return InstanceTreeRect(self->i_bbox);
}

// Moves self to a trial position for the life of the object and back again.
class TrialPosition {
public:
    TrialPosition(CInstance* self, float x, float y) : m_self(self), m_x(self->i_x), m_y(self->i_y) {
        self->SetPosition(x, y);
    }
    ~TrialPosition() { m_self->SetPosition(m_x, m_y); }
    TrialPosition(const TrialPosition&) = delete;
    TrialPosition& operator=(const TrialPosition&) = delete;

private:
    CInstance* m_self;
    float m_x, m_y;
};

} // namespace

int ShouldUseFastCollision(int target, CObjectVT** object) {
    *object = nullptr;
    if (target >= kFirstInstanceId || !option_use_fast_collision) return 2;
    if (target == kTargetAll) return 1;
    *object = target >= 0 ? Object_Data(target) : nullptr;
    if (*object == nullptr) return -1;
    const int depth = g_tree != nullptr ? g_tree->m_root->m_level : 0;
    return (*object)->m_InstancesRecursive.m_count >= depth ? 1 : 2;
}

CInstance* Command_CollisionPoint(CInstance* self, float x, float y, int target, bool precise, bool notme) {
    return ListShapeQuery(self, Shape::Point, x, y, x, y, target, precise, notme);
}

CInstance* Command_CollisionEllipse(CInstance* self, float x1, float y1, float x2, float y2, int target,
                                    bool precise, bool notme) {
    return ListShapeQuery(self, Shape::Ellipse, x1, y1, x2, y2, target, precise, notme);
}

// Rectangle and line queries share one path. Over the lists each shape gets
// its exact test; over the tree the candidates are the boxes meeting the
// query's own box widened by a pixel (truncating a fractional or negative
// corner toward zero, or a line through truncated end points, would miss boxes
// the exact test accepts), and each candidate is given the exact test.
static CInstance* ShapeQuery(CInstance* self, Shape shape, float x1, float y1, float x2, float y2, int target,
                             bool precise, bool notme) {
    bool missing = false;
    if (!UseTree(target, &missing))
        return missing ? nullptr : ListShapeQuery(self, shape, x1, y1, x2, y2, target, precise, notme);
    UpdateTree();
    s_instancePtr = nullptr;
    s_isMeetingObjectInd = target;
    if (g_tree == nullptr) return nullptr;
    CInstanceTree::Rect rect;
    rect.m_min[0] = WidenedEdge(std::min(x1, x2), -1);
    rect.m_max[0] = WidenedEdge(std::max(x1, x2), 1);
    rect.m_min[1] = WidenedEdge(std::min(y1, y2), -1);
    rect.m_max[1] = WidenedEdge(std::max(y1, y2), 1);
    SQueryContext q{x1, y1, x2, y2, precise, notme, self};
    int found = 0;
    CInstanceTree::Search(g_tree->m_root, &rect, &found,
                          shape == Shape::Line ? collisionResultCollisionLine : collisionResultCollisionRect,
                          &q);
    return s_instancePtr;
}

CInstance* Command_CollisionRectangle(CInstance* self, float x1, float y1, float x2, float y2, int target,
                                      bool precise, bool notme) {
    return ShapeQuery(self, Shape::Rectangle, x1, y1, x2, y2, target, precise, notme);
}

CInstance* Command_CollisionLine(CInstance* self, float x1, float y1, float x2, float y2, int target,
                                 bool precise, bool notme) {
    return ShapeQuery(self, Shape::Line, x1, y1, x2, y2, target, precise, notme);
}

CInstance* Command_InstancePosition(float x, float y, int target) {
    return ListShapeQuery(nullptr, Shape::Point, x, y, x, y, target, true, false);
}

CInstance* Command_InstancePlace(CInstance* self, float x, float y, int target) {
    if (self == nullptr) return nullptr;
    bool missing = false;
    const bool tree = UseTree(target, &missing);
    if (missing) return nullptr;
    TrialPosition trial(self, x, y);
    if (tree) {
        UpdateTree();
        s_isMeetingObjectInd = target;
        s_instancePtr = nullptr;
        if (g_tree == nullptr) return nullptr;
        const CInstanceTree::Rect rect = SelfSearchRect(self);
        int found = 0;
        CInstanceTree::Search(g_tree->m_root, &rect, &found, collisionResultInstancePlace, self);
        return s_instancePtr;
    }
    if (target == kTargetAll) {
        if (Run_Room == nullptr) return nullptr;
        for (CInstance* i = Run_Room->m_pFirstActive; i != nullptr; i = i->m_pNext)
            if (Live(i) && i->Collision_Instance(self, true)) return i;
    } else if (target >= 0 && target < kFirstInstanceId) {
        CObjectVT* type = Object_Data(target);
        if (type == nullptr) return nullptr;
        for (SInstanceNode* n = type->m_InstancesRecursive.m_pFirst; n != nullptr; n = n->m_pNext) {
            CInstance* i = n->m_pInstance;
            if (i == nullptr) break;
            if (Live(i) && i->Collision_Instance(self, true)) return i;
        }
    } else if (target >= kFirstInstanceId) {
        CInstance* i = CInstance::Find(target);
        if (i != nullptr && Live(i) && i->Collision_Instance(self, true)) return i;
    }
    return nullptr;
}

namespace {

template <bool SolidOnly>
bool FreeOrEmpty(CInstance* self, float x, float y) {
    if (self == nullptr) return true;
    TrialPosition trial(self, x, y);
    if (!option_use_fast_collision) {
        if (Run_Room == nullptr) return true;
        for (CInstance* i = Run_Room->m_pFirstActive; i != nullptr; i = i->m_pNext) {
            // Deactivated instances are out of play on both paths.
            if ((SolidOnly && !i->i_solid) || i->i_deactivated) continue;
            if (i->Collision_Instance(self, true)) return false;
        }
        return true;
    }
    UpdateTree();
    s_result = true;
    if (g_tree == nullptr) return true;
    const CInstanceTree::Rect rect = SelfSearchRect(self);
    int found = 0;
    CInstanceTree::Search(g_tree->m_root, &rect, &found, collisionResultFreeOrEmpty<SolidOnly>, self);
    return s_result;
}

} // namespace

bool Command_IsFree(CInstance* self, float x, float y) {
    return FreeOrEmpty<true>(self, x, y);
}

bool Command_IsEmpty(CInstance* self, float x, float y) {
    return FreeOrEmpty<false>(self, x, y);
}

bool Command_IsMeeting(CInstance* self, int target, float x, float y) {
    return Command_InstancePlace(self, x, y, target) != nullptr;
}

bool Command_ObjectAt(float x, float y, int target) {
    return Command_InstancePosition(x, y, target) != nullptr;
}

namespace {

// -1 and -2 name the calling and the other instance when they exist.
int ResolveSelfOther(int target, CInstance* self, CInstance* other) {
    if (target == -1 && self != nullptr) return self->i_id;
    if (target == -2 && other != nullptr) return other->i_id;
    return target;
}

} // namespace

bool ZQVTL_place_free(CInstance* self, float x, float y) {
    return Command_IsFree(self, x, y);
}

bool ZQVTL_position_meeting(CInstance* self, CInstance* other, float x, float y, int target) {
    target = ResolveSelfOther(target, self, other);
    CObjectVT* object = nullptr;
    const int how = ShouldUseFastCollision(target, &object);
    if (how == 2) return Command_ObjectAt(x, y, target);
    if (how != 1) return false;
    UpdateTree();
    s_positionMeetingX = RealToInt32(x);
    s_positionMeetingY = RealToInt32(y);
    s_result = false;
    s_isMeetingObjectInd = target;
    if (g_tree == nullptr) return false;
    CInstanceTree::Rect rect{{s_positionMeetingX, s_positionMeetingY},
                             {s_positionMeetingX, s_positionMeetingY}};
    int found = 0;
    CInstanceTree::Search(g_tree->m_root, &rect, &found, collisionResultPM, nullptr);
    return s_result;
}

// ---- built-ins

namespace {

void SetInstance(RValue& result, const CInstance* found) {
    ZQSetResultReal(result, found != nullptr ? found->i_id : kTargetNoone);
}

void F_CollisionPoint(RValue& result, CInstance* self, CInstance*, int, RValue* args) {
    SetInstance(result, Command_CollisionPoint(self, ZQGetFloat(args, 0), ZQGetFloat(args, 1),
                                               ZQGetInt32(args, 2), ZQGetBool(args, 3), ZQGetBool(args, 4)));
}

void F_CollisionRectangle(RValue& result, CInstance* self, CInstance*, int, RValue* args) {
    SetInstance(result,
                Command_CollisionRectangle(self, ZQGetFloat(args, 0), ZQGetFloat(args, 1),
                                           ZQGetFloat(args, 2), ZQGetFloat(args, 3), ZQGetInt32(args, 4),
                                           ZQGetBool(args, 5), ZQGetBool(args, 6)));
}

void F_CollisionCircle(RValue& result, CInstance* self, CInstance*, int, RValue* args) {
    const float x = ZQGetFloat(args, 0), y = ZQGetFloat(args, 1), r = ZQGetFloat(args, 2);
    SetInstance(result, Command_CollisionEllipse(self, x - r, y - r, x + r, y + r, ZQGetInt32(args, 3),
                                                 ZQGetBool(args, 4), ZQGetBool(args, 5)));
}

void F_CollisionEllipse(RValue& result, CInstance* self, CInstance*, int, RValue* args) {
    SetInstance(result,
                Command_CollisionEllipse(self, ZQGetFloat(args, 0), ZQGetFloat(args, 1), ZQGetFloat(args, 2),
                                         ZQGetFloat(args, 3), ZQGetInt32(args, 4), ZQGetBool(args, 5),
                                         ZQGetBool(args, 6)));
}

void F_CollisionLine(RValue& result, CInstance* self, CInstance*, int, RValue* args) {
    SetInstance(result, Command_CollisionLine(self, ZQGetFloat(args, 0), ZQGetFloat(args, 1),
                                              ZQGetFloat(args, 2), ZQGetFloat(args, 3), ZQGetInt32(args, 4),
                                              ZQGetBool(args, 5), ZQGetBool(args, 6)));
}

void F_InstancePosition(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    SetInstance(result,
                Command_InstancePosition(ZQGetFloat(args, 0), ZQGetFloat(args, 1), ZQGetInt32(args, 2)));
}

void F_InstancePlace(RValue& result, CInstance* self, CInstance*, int, RValue* args) {
    SetInstance(result,
                Command_InstancePlace(self, ZQGetFloat(args, 0), ZQGetFloat(args, 1), ZQGetInt32(args, 2)));
}

void F_PlaceFree(RValue& result, CInstance* self, CInstance*, int, RValue* args) {
    ZQSetResultReal(result, Command_IsFree(self, ZQGetFloat(args, 0), ZQGetFloat(args, 1)) ? 1.0 : 0.0);
}

void F_PlaceEmpty(RValue& result, CInstance* self, CInstance*, int, RValue* args) {
    ZQSetResultReal(result, Command_IsEmpty(self, ZQGetFloat(args, 0), ZQGetFloat(args, 1)) ? 1.0 : 0.0);
}

void F_PlaceMeeting(RValue& result, CInstance* self, CInstance* other, int, RValue* args) {
    const int target = ResolveSelfOther(ZQGetInt32(args, 2), self, other);
    const bool meeting =
        target != kTargetNoone && Command_IsMeeting(self, target, ZQGetFloat(args, 0), ZQGetFloat(args, 1));
    ZQSetResultReal(result, meeting ? 1.0 : 0.0);
}

void F_PositionEmpty(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    ZQSetResultReal(result,
                    Command_ObjectAt(ZQGetFloat(args, 0), ZQGetFloat(args, 1), kTargetAll) ? 0.0 : 1.0);
}

void F_PositionMeeting(RValue& result, CInstance* self, CInstance* other, int, RValue* args) {
    const bool meeting =
        ZQVTL_position_meeting(self, other, ZQGetFloat(args, 0), ZQGetFloat(args, 1), ZQGetInt32(args, 2));
    result.kind = VALUE_BOOL;
    result.flags = 0;
    result.val = meeting ? 1.0 : 0.0;
}

const CollisionBuiltinRow kCollisionBuiltins[] = {
    {"collision_point", F_CollisionPoint, 5},   {"collision_rectangle", F_CollisionRectangle, 7},
    {"collision_circle", F_CollisionCircle, 6}, {"collision_ellipse", F_CollisionEllipse, 7},
    {"collision_line", F_CollisionLine, 7},     {"instance_position", F_InstancePosition, 3},
    {"instance_place", F_InstancePlace, 3},     {"place_free", F_PlaceFree, 2},
    {"place_empty", F_PlaceEmpty, 2},           {"place_meeting", F_PlaceMeeting, 3},
    {"position_empty", F_PositionEmpty, 2},     {"position_meeting", F_PositionMeeting, 3},
};

} // namespace

std::span<const CollisionBuiltinRow> CollisionQuery_Builtins() {
    return kCollisionBuiltins;
}
