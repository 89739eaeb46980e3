// Movement commands. Every "is this place free" question goes to the
// collision queries (solid instances only, or all instances); a step of
// length d in direction a moves by (d cos a, -d sin a), y growing downwards.
#include "world/motion/movement_commands.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/arguments.h"
#include "core/random.h"
#include "core/real_to_int.h"
#include "core/rvalue.h"
#include "room/room.h"
#include "world/collision/collision_queries.h"
#include "world/instances/instance.h"
#include "world/objects/object_type.h"

namespace {

constexpr float kDegToRad = 0.017453292f;
constexpr int kDefaultSteps = 1000;
constexpr float kFarAway = 1000000.0f;

bool Free(CInstance* instance, float x, float y, bool all) {
    return all ? Command_IsEmpty(instance, x, y) : Command_IsFree(instance, x, y);
}

const SBoundingBox& CurrentBox(CInstance* instance) {
    if (instance->m_bboxDirty) instance->Compute_BoundingBox(true);
    return instance->i_bbox;
}

bool HasSpriteOrMask(const CInstance* instance) {
    return Sprite_Exists(instance->i_spriteindex) || Sprite_Exists(instance->i_maskindex);
}

// One random coordinate in [low, high): an empty range (the box as wide as
// the room) leaves only `low`, and a reversed one (the box wider than the
// room) draws from its magnitude, as the generator's modulus does.
int64_t RandomIn(int32_t low, int32_t high) {
    const int64_t span = static_cast<int64_t>(high) - low;
    const int bound = static_cast<int>(std::clamp<int64_t>(span, -INT32_MAX, INT32_MAX));
    return static_cast<int64_t>(low) + ZQRandom(bound);
}

int64_t SnapDown(int64_t v, int snap) {
    if (snap < 1) return v;
    int64_t q = v / snap;
    if (v % snap != 0 && v < 0) --q; // floor, not truncation
    return q * snap;
}

// The number of contact steps worth testing one by one. All obstacles lie in
// the union U of the other instances' boxes; the instance moves in a straight
// line, so once its box has left U (widened by a margin for the edge rounding)
// it never meets anything again. Steps past that point are all free. Returns
// `steps` when it is already small or nothing limits it.
int64_t StepsWorthTesting(CInstance* self, double c, double s, int64_t steps, bool all) {
    if (steps <= kDefaultSteps || Run_Room == nullptr) return steps;
    bool any = false;
    double ul = 0, ut = 0, ur = 0, ub = 0;
    for (CInstance* i = Run_Room->m_pFirstActive; i != nullptr; i = i->m_pNext) {
        if (i == self || i->i_marked || i->i_deactivated || (!all && !i->i_solid)) continue;
        const SBoundingBox& b = CurrentBox(i);
        if (!any) {
            ul = b.left, ut = b.top, ur = b.right, ub = b.bottom;
            any = true;
        } else {
            ul = std::min<double>(ul, b.left), ut = std::min<double>(ut, b.top);
            ur = std::max<double>(ur, b.right), ub = std::max<double>(ub, b.bottom);
        }
    }
    if (!any) return 0;
    const SBoundingBox& box = CurrentBox(self);
    constexpr double kMargin = 2.0;
    // Last k at which the moving interval [lo + k*v, hi + k*v] can still meet [ulo, uhi].
    auto lastMeeting = [&](double lo, double hi, double ulo, double uhi, double v) {
        if (std::fabs(v) < 1e-9)
            return (hi + kMargin >= ulo && lo - kMargin <= uhi) ? std::numeric_limits<double>::infinity()
                                                                : -1.0;
        return v > 0 ? (uhi + kMargin - lo) / v : (ulo - kMargin - hi) / v;
    };
    const double kx = lastMeeting(box.left, box.right, ul, ur, c);
    const double ky = lastMeeting(box.top, box.bottom, ut, ub, -s);
    const double last = std::min(kx, ky);
    if (!(last < static_cast<double>(steps))) return steps;
    return last < 0 ? 0 : static_cast<int64_t>(last) + 1;
}

int64_t StepCount(float maxDistance) {
    if (!(maxDistance > 0.0f)) return kDefaultSteps;
    const int64_t n = RealRoundToInt64(maxDistance);
    return n < 0 ? std::numeric_limits<int64_t>::max() : n; // beyond 64 bits: unbounded
}

} // namespace

void Command_MoveRandom(CInstance* instance, int hsnap, int vsnap) {
    if (instance == nullptr || Run_Room == nullptr) return;
    int32_t xmin = 0, xmax = Run_Room->m_width, ymin = 0, ymax = Run_Room->m_height;
    if (HasSpriteOrMask(instance)) {
        const SBoundingBox& b = CurrentBox(instance);
        const double x = instance->i_x, y = instance->i_y;
        xmin = RealRoundToInt32(x - b.left);
        xmax = RealRoundToInt32(Run_Room->m_width + x - b.right);
        ymin = RealRoundToInt32(y - b.top);
        ymax = RealRoundToInt32(Run_Room->m_height + y - b.bottom);
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int64_t X = SnapDown(RandomIn(xmin, xmax), hsnap);
        const int64_t Y = SnapDown(RandomIn(ymin, ymax), vsnap);
        const auto fx = static_cast<float>(X), fy = static_cast<float>(Y);
        if (Command_IsFree(instance, fx, fy)) {
            instance->SetPosition(fx, fy);
            return;
        }
    }
}

bool Command_PlaceSnapped(const CInstance* instance, double hsnap, double vsnap) {
    if (instance == nullptr) return true;
    const double x = instance->i_x, y = instance->i_y;
    if (hsnap > 0 && std::fabs(x - std::nearbyint(x / hsnap) * hsnap) >= 0.001) return false;
    if (vsnap > 0 && std::fabs(y - std::nearbyint(y / vsnap) * vsnap) >= 0.001) return false;
    return true;
}

void Command_Snap(CInstance* instance, float hsnap, float vsnap) {
    if (instance == nullptr) return;
    float x = instance->i_x, y = instance->i_y;
    if (hsnap > 0.0f) x = std::nearbyint(x / hsnap) * hsnap;
    if (vsnap > 0.0f) y = std::nearbyint(y / vsnap) * vsnap;
    instance->SetPosition(x, y);
}

void Command_MoveTowards(CInstance* instance, float x, float y, float speed) {
    if (instance == nullptr) return;
    instance->SetHspeed(x - instance->i_x);
    instance->SetVspeed(y - instance->i_y);
    instance->SetSpeed(speed);
}

// Only from a free place: step while the next place is free. A huge distance
// with nothing left ahead jumps the remaining free steps at once.
void Command_MoveContact(CInstance* instance, float direction, float maxDistance, bool all) {
    if (instance == nullptr) return;
    const float c = std::cos(direction * kDegToRad), s = std::sin(direction * kDegToRad);
    if (!std::isfinite(c) || !std::isfinite(s)) return;
    if (!Free(instance, instance->i_x, instance->i_y, all)) return;
    const int64_t steps = StepCount(maxDistance);
    const int64_t tested = StepsWorthTesting(instance, c, s, steps, all);
    for (int64_t k = 0; k < tested; ++k) {
        const float x = instance->i_x + c, y = instance->i_y - s;
        if (!Free(instance, x, y, all)) return;
        instance->SetPosition(x, y);
    }
    if (tested < steps) {
        const double rest = static_cast<double>(steps - tested);
        instance->SetPosition(static_cast<float>(instance->i_x + rest * c),
                              static_cast<float>(instance->i_y - rest * s));
    }
}

// Only from a place that is not free: step until the place is free. Once the
// box has left every other box the place is free, so the loop ends by then
// whatever the distance.
void Command_MoveOutside(CInstance* instance, float direction, float maxDistance, bool all) {
    if (instance == nullptr) return;
    const float c = std::cos(direction * kDegToRad), s = std::sin(direction * kDegToRad);
    if (!std::isfinite(c) || !std::isfinite(s)) return;
    if (Free(instance, instance->i_x, instance->i_y, all)) return;
    const int64_t steps = StepCount(maxDistance);
    for (int64_t k = 0; k < steps; ++k) {
        instance->SetPosition(instance->i_x + c, instance->i_y - s);
        if (Free(instance, instance->i_x, instance->i_y, all)) return;
    }
}

void Command_Bounce(CInstance* instance, bool advanced, bool all) {
    if (instance == nullptr) return;
    bool collided = false;
    if (!Free(instance, instance->i_x, instance->i_y, all)) {
        instance->SetPosition(instance->i_xprevious, instance->i_yprevious);
        collided = true;
    }
    const float x = instance->i_x, y = instance->i_y;
    if (!advanced) {
        const float h = instance->i_hspeed, v = instance->i_vspeed;
        const bool f1 = Free(instance, x + h, y, all);
        const bool f2 = Free(instance, x, y + v, all);
        if (!f1 && !f2) {
            instance->SetHspeed(-h);
            instance->SetVspeed(-v);
        } else if (!f1) {
            instance->SetHspeed(-h);
        } else if (!f2) {
            instance->SetVspeed(-v);
        } else if (!Free(instance, x + h, y + v, all)) {
            instance->SetHspeed(-h);
            instance->SetVspeed(-v);
        }
        return;
    }
    const int d = static_cast<int>(
                      std::clamp<int64_t>(RealRoundToInt64(instance->i_direction * 0.1), -1000000, 1000000)) *
                  10;
    const double speed = instance->i_speed;
    auto freeAt = [&](int angle) {
        const double radians = static_cast<float>(static_cast<float>(angle) * kDegToRad);
        return Free(instance, static_cast<float>(x + std::cos(radians) * speed),
                    static_cast<float>(y - std::sin(radians) * speed), all);
    };
    int a1 = d;
    for (int k = 0; k < 35; ++k) {
        a1 -= 10;
        if (freeAt(a1)) break;
        collided = true;
    }
    int a2 = d;
    bool upFree = false;
    for (int k = 0; k < 35; ++k) {
        a2 += 10;
        if (freeAt(a2)) {
            upFree = true;
            break;
        }
        collided = true;
    }
    if (upFree && !collided) return;
    instance->SetDirection(static_cast<float>((180 - d) + a1 + a2));
}

void Command_MoveWrap(CInstance* instance, bool horizontal, bool vertical, float margin) {
    if (instance == nullptr || Run_Room == nullptr) return;
    const float w = static_cast<float>(Run_Room->m_width), h = static_cast<float>(Run_Room->m_height);
    float x = instance->i_x, y = instance->i_y;
    if (horizontal) {
        if (x < -margin) x = x + margin + margin + w;
        if (x > w + margin) x = x - 2.0f * margin - w;
    }
    if (vertical) {
        if (y < -margin) y = y + margin + margin + h;
        if (y > h + margin) y = y - 2.0f * margin - h;
    }
    instance->SetPosition(x, y);
}

void Command_Wrap(CInstance* instance, bool horizontal, bool vertical) {
    if (instance == nullptr || Run_Room == nullptr) return;
    const CSprite* sprite = Sprite_Data(instance->i_spriteindex);
    const float width =
        sprite != nullptr ? static_cast<float>(RealToInt32(sprite->m_width * instance->i_imagescalex)) : 0.0f;
    const float height = sprite != nullptr
                             ? static_cast<float>(RealToInt32(sprite->m_height * instance->i_imagescaley))
                             : 0.0f;
    const float w = static_cast<float>(Run_Room->m_width), h = static_cast<float>(Run_Room->m_height);
    float x = instance->i_x, y = instance->i_y;
    if (horizontal) {
        if (instance->i_hspeed < 0.0f && x < 0.0f) x = x + width + w;
        if (instance->i_hspeed > 0.0f && x >= w) x = x - width - w;
    }
    if (vertical) {
        if (instance->i_vspeed < 0.0f && y < 0.0f) y = y + height + h;
        if (instance->i_vspeed > 0.0f && y >= h) y = y - height - h;
    }
    instance->SetPosition(x, y);
}

double Command_DistanceToPoint(CInstance* instance, double x, double y) {
    if (instance == nullptr) return 0.0;
    const SBoundingBox& b = CurrentBox(instance);
    const double dx = x < b.left ? x - b.left : (x > b.right ? x - b.right : 0.0);
    const double dy = y < b.top ? y - b.top : (y > b.bottom ? y - b.bottom : 0.0);
    return std::sqrt(dx * dx + dy * dy);
}

float FindDist(CInstance* a, CInstance* b) {
    if (a == nullptr || a == b || a->i_marked || a->i_deactivated || b == nullptr) return kFarAway;
    const SBoundingBox ba = CurrentBox(a);
    const SBoundingBox& bb = CurrentBox(b);
    // In 64 bits: edges far apart must not overflow.
    const int64_t dx = ba.right < bb.left ? static_cast<int64_t>(ba.right) - bb.left
                                          : std::max<int64_t>(static_cast<int64_t>(ba.left) - bb.right, 0);
    const int64_t dy = ba.bottom < bb.top ? static_cast<int64_t>(ba.bottom) - bb.top
                                          : std::max<int64_t>(static_cast<int64_t>(ba.top) - bb.bottom, 0);
    const auto fx = static_cast<float>(dx), fy = static_cast<float>(dy);
    return std::sqrt(fx * fx + fy * fy);
}

double Command_DistanceToObject(CInstance* self, CInstance* other, int target) {
    float best = kFarAway;
    for (WithObjIterator it(target, self, other, false); *it != nullptr; it.Next()) {
        CInstance* i = *it;
        if (i->i_marked || i->i_deactivated) continue;
        best = std::min(best, FindDist(i, self));
    }
    return best;
}

void ZQVTL_move_snap(CInstance* instance, float hsnap, float vsnap) {
    Command_Snap(instance, hsnap, vsnap);
}

void ZQVTL_motion_set(CInstance* instance, float direction, float speed) {
    if (instance == nullptr) return;
    instance->SetDirection(direction);
    instance->SetSpeed(speed);
}

// ---------------------------------------------------------------------------
// Built-ins.

namespace {

void F_MoveRandom(RValue&, CInstance* self, CInstance*, int, RValue* args) {
    Command_MoveRandom(self, ZQGetInt32(args, 0), ZQGetInt32(args, 1));
}

void F_PlaceSnapped(RValue& result, CInstance* self, CInstance*, int, RValue* args) {
    ZQSetResultReal(result, Command_PlaceSnapped(self, ZQGetReal(args, 0), ZQGetReal(args, 1)) ? 1.0 : 0.0);
}

void F_MoveSnap(RValue&, CInstance* self, CInstance*, int, RValue* args) {
    Command_Snap(self, ZQGetFloat(args, 0), ZQGetFloat(args, 1));
}

void F_MoveTowardsPoint(RValue&, CInstance* self, CInstance*, int, RValue* args) {
    Command_MoveTowards(self, ZQGetFloat(args, 0), ZQGetFloat(args, 1), ZQGetFloat(args, 2));
}

// move_contact: contact when the place is free, else outside; solid test.
void F_MoveContact(RValue&, CInstance* self, CInstance*, int, RValue* args) {
    if (self == nullptr) return;
    const float direction = ZQGetFloat(args, 0);
    if (Command_IsFree(self, self->i_x, self->i_y))
        Command_MoveContact(self, direction, -1.0f, false);
    else
        Command_MoveOutside(self, direction, -1.0f, false);
}

template <bool All>
void F_MoveContactWith(RValue&, CInstance* self, CInstance*, int, RValue* args) {
    Command_MoveContact(self, ZQGetFloat(args, 0), ZQGetFloat(args, 1), All);
}

template <bool All>
void F_MoveOutsideWith(RValue&, CInstance* self, CInstance*, int, RValue* args) {
    Command_MoveOutside(self, ZQGetFloat(args, 0), ZQGetFloat(args, 1), All);
}

template <bool All>
void F_MoveBounce(RValue&, CInstance* self, CInstance*, int, RValue* args) {
    Command_Bounce(self, ZQGetBool(args, 0), All);
}

void F_MoveWrap(RValue&, CInstance* self, CInstance*, int, RValue* args) {
    Command_MoveWrap(self, ZQGetBool(args, 0), ZQGetBool(args, 1), ZQGetFloat(args, 2));
}

void F_MotionSet(RValue&, CInstance* self, CInstance*, int, RValue* args) {
    ZQVTL_motion_set(self, ZQGetFloat(args, 0), ZQGetFloat(args, 1));
}

void F_MotionAdd(RValue&, CInstance* self, CInstance*, int, RValue* args) {
    if (self != nullptr) self->AddTo_Speed(ZQGetFloat(args, 0), ZQGetFloat(args, 1));
}

void F_DistanceToPoint(RValue& result, CInstance* self, CInstance*, int, RValue* args) {
    ZQSetResultReal(result, Command_DistanceToPoint(self, ZQGetReal(args, 0), ZQGetReal(args, 1)));
}

void F_DistanceToObject(RValue& result, CInstance* self, CInstance* other, int, RValue* args) {
    ZQSetResultReal(result, Command_DistanceToObject(self, other, ZQGetInt32(args, 0)));
}

void F_PathStart(RValue&, CInstance* self, CInstance*, int, RValue* args) {
    if (self == nullptr) return;
    self->Assign_Path(ZQGetInt32(args, 0), ZQGetFloat(args, 1), 1.0f, 0.0f, !ZQGetBool(args, 3),
                      ZQGetInt32(args, 2));
}

void F_PathEnd(RValue&, CInstance* self, CInstance*, int, RValue*) {
    if (self != nullptr) self->Assign_Path(-1, 0.0f, 1.0f, 0.0f, false, 0);
}

const GameBuiltinRow kMovementBuiltins[] = {
    {"move_random", F_MoveRandom},
    {"place_snapped", F_PlaceSnapped},
    {"move_snap", F_MoveSnap},
    {"move_towards_point", F_MoveTowardsPoint},
    {"move_contact", F_MoveContact},
    {"move_contact_solid", F_MoveContactWith<false>},
    {"move_contact_all", F_MoveContactWith<true>},
    {"move_outside_solid", F_MoveOutsideWith<false>},
    {"move_outside_all", F_MoveOutsideWith<true>},
    {"move_bounce", F_MoveBounce<false>},
    {"move_bounce_solid", F_MoveBounce<false>},
    {"move_bounce_all", F_MoveBounce<true>},
    {"move_wrap", F_MoveWrap},
    {"motion_set", F_MotionSet},
    {"motion_add", F_MotionAdd},
    {"distance_to_point", F_DistanceToPoint},
    {"distance_to_object", F_DistanceToObject},
    {"path_start", F_PathStart},
    {"path_end", F_PathEnd},
};

} // namespace

std::span<const GameBuiltinRow> MovementCommands_Builtins() {
    return kMovementBuiltins;
}
