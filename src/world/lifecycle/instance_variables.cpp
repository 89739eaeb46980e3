// [SECTION] index: conversions, position and motion, identity/flags/alarms/
// depth, bounding box, sprite and image, path and timeline, run-wide values,
// layer, physics, registration table.
//
// The instance built-in variables. Every getter writes its destination, a
// failing one included (it leaves undefined), so no stale value reaches a
// script. Setters convert the written value to a real first; fields held in
// single precision store it narrowed.
#include "world/lifecycle/instance_variables.h"

#include <cfloat>
#include <cmath>
#include <string>

#include "core/error.h"
#include "core/real_to_int.h"
#include "core/rvalue.h"
#include "core/variable_names.h"
#include "room/layer_manager.h"
#include "room/room.h"
#include "core/game_image.h"
#include "world/instances/instance.h"
#include "world/objects/object_type.h"

int32_t g_HTTP_AsyncLoad = -1;
int32_t g_Generic_EventData = -1;
int64_t g_VTL_DeltaTime = 0;

namespace {

// [SECTION] conversions

inline bool Put(RValue* out, double d) {
    FREE_RValue(out);
    *out = RValue_Real(d);
    return true;
}

inline bool Fail(RValue* out) {
    FREE_RValue(out);
    *out = RValue_Undefined();
    return false;
}

inline double V(RValue* in) {
    return REAL_RValue(in);
}

// The written value narrowed to single precision; values beyond the float
// range become infinities (a plain cast of those is undefined).
inline float VF(RValue* in) {
    const double d = REAL_RValue(in);
    if (d > FLT_MAX) return INFINITY;
    if (d < -FLT_MAX) return -INFINITY;
    return static_cast<float>(d);
}

// rint(vf): vf widened again and rounded, halves to even.
inline int32_t RintVF(RValue* in) {
    return RealRoundToInt32(VF(in));
}

inline int AlarmIndex(int i) {
    return i >= 0 && i < INSTANCE_ALARM_COUNT ? i : 0;
}

// Getters and setters of a float field stored as vf.
#define ZQ_FLOAT_FIELD(name, field)                                                                          \
    bool GV_##name(CInstance* self, int, RValue* out) {                                                      \
        return self != nullptr ? Put(out, self->field) : Fail(out);                                          \
    }                                                                                                        \
    bool SV_##name(CInstance* self, int, RValue* in) {                                                       \
        if (self == nullptr) return false;                                                                   \
        self->field = VF(in);                                                                                \
        return true;                                                                                         \
    }
// Getters and setters going through an operation taking vf.
#define ZQ_FLOAT_OP(name, field, op)                                                                         \
    bool GV_##name(CInstance* self, int, RValue* out) {                                                      \
        return self != nullptr ? Put(out, self->field) : Fail(out);                                          \
    }                                                                                                        \
    bool SV_##name(CInstance* self, int, RValue* in) {                                                       \
        if (self == nullptr) return false;                                                                   \
        self->op(VF(in));                                                                                    \
        return true;                                                                                         \
    }
#define ZQ_GETTER(name, expr)                                                                                \
    bool GV_##name(CInstance* self, int, RValue* out) {                                                      \
        return self != nullptr ? Put(out, (expr)) : Fail(out);                                               \
    }

// [SECTION] position and motion

ZQ_GETTER(x, self->i_x)
bool SV_x(CInstance* self, int, RValue* in) {
    if (self == nullptr) return false;
    self->SetPosition(VF(in), self->i_y);
    return true;
}
ZQ_GETTER(y, self->i_y)
bool SV_y(CInstance* self, int, RValue* in) {
    if (self == nullptr) return false;
    self->SetPosition(self->i_x, VF(in));
    return true;
}
ZQ_FLOAT_FIELD(xprevious, i_xprevious)
ZQ_FLOAT_FIELD(yprevious, i_yprevious)
ZQ_FLOAT_FIELD(xstart, i_xstart)
ZQ_FLOAT_FIELD(ystart, i_ystart)
ZQ_FLOAT_OP(hspeed, i_hspeed, SetHspeed)
ZQ_FLOAT_OP(vspeed, i_vspeed, SetVspeed)
ZQ_FLOAT_OP(direction, i_direction, SetDirection)
ZQ_FLOAT_OP(speed, i_speed, SetSpeed)
ZQ_FLOAT_FIELD(friction, i_friction)
ZQ_FLOAT_FIELD(gravity, i_gravity)
ZQ_FLOAT_FIELD(gravity_direction, i_gravitydir)

// [SECTION] identity, flags, alarms, depth

ZQ_GETTER(object_index, self->i_objindex)
ZQ_GETTER(id, self->i_id)

bool GV_alarm(CInstance* self, int index, RValue* out) {
    return self != nullptr ? Put(out, self->GetTimer(AlarmIndex(index))) : Fail(out);
}
bool SV_alarm(CInstance* self, int index, RValue* in) {
    if (self == nullptr) return false;
    self->SetTimer(AlarmIndex(index), RintVF(in));
    return true;
}

#define ZQ_FLAG(name, field)                                                                                 \
    ZQ_GETTER(name, self->field ? 1.0 : 0.0)                                                                 \
    bool SV_##name(CInstance* self, int, RValue* in) {                                                       \
        if (self == nullptr) return false;                                                                   \
        self->field = RintVF(in) != 0;                                                                       \
        return true;                                                                                         \
    }
ZQ_FLAG(solid, i_solid)
ZQ_FLAG(visible, i_visible)
ZQ_FLAG(persistent, i_persistent)

// A changed depth waits, once, on the depth re-sort list; the step moves the
// instance between passes; the layer structure follows at once.
ZQ_GETTER(depth, self->i_depth)
bool SV_depth(CInstance* self, int, RValue* in) {
    if (self == nullptr) return false;
    const float vf = VF(in);
    if (vf == self->i_depth || std::isnan(vf) || std::isnan(self->i_depth)) return true;
    self->i_depth = vf;
    if (Run_Room != nullptr) CLayerManager::ChangeInstanceDepth(Run_Room, self);
    g_InstanceChangeDepth.AppendOnce(self);
    return true;
}

// [SECTION] bounding box

#define ZQ_BBOX(name, edge)                                                                                  \
    bool GV_##name(CInstance* self, int, RValue* out) {                                                      \
        if (self == nullptr) return Fail(out);                                                               \
        if (self->m_bboxDirty) self->Compute_BoundingBox(true);                                              \
        return Put(out, self->i_bbox.edge);                                                                  \
    }
ZQ_BBOX(bbox_left, left)
ZQ_BBOX(bbox_right, right)
ZQ_BBOX(bbox_top, top)
ZQ_BBOX(bbox_bottom, bottom)

// [SECTION] sprite and image

ZQ_GETTER(sprite_index, self->i_spriteindex)
bool SV_sprite_index(CInstance* self, int, RValue* in) {
    if (self == nullptr) return false;
    self->SetSpriteIndex(INT32_RValue(in));
    return true;
}
ZQ_FLOAT_FIELD(image_index, i_imageindex)
ZQ_GETTER(image_single, self->i_imagespeed != 0.0f ? -1.0 : static_cast<double>(self->i_imageindex))
bool SV_image_single(CInstance* self, int, RValue* in) {
    if (self == nullptr) return false;
    if (V(in) >= 0.0) {
        self->i_imageindex = VF(in);
        self->i_imagespeed = 0.0f;
    } else {
        self->i_imagespeed = 1.0f;
    }
    return true;
}
ZQ_GETTER(image_number, self->GetImageNumber())

// Sprite measures scaled by the image scale, multiplied in single precision.
float SpriteMeasure(const CInstance* self, int32_t CSprite::*measure, float scale) {
    if (!Sprite_Exists(self->i_spriteindex)) return 0.0f;
    return static_cast<float>(Sprite_Data(self->i_spriteindex)->*measure) * scale;
}
ZQ_GETTER(sprite_width, SpriteMeasure(self, &CSprite::m_width, self->i_imagescalex))
ZQ_GETTER(sprite_height, SpriteMeasure(self, &CSprite::m_height, self->i_imagescaley))
ZQ_GETTER(sprite_xoffset, SpriteMeasure(self, &CSprite::m_xorigin, self->i_imagescalex))
ZQ_GETTER(sprite_yoffset, SpriteMeasure(self, &CSprite::m_yorigin, self->i_imagescaley))
ZQ_FLOAT_OP(image_xscale, i_imagescalex, SetImageScaleX)
ZQ_FLOAT_OP(image_yscale, i_imagescaley, SetImageScaleY)
ZQ_FLOAT_OP(image_angle, i_imageangle, SetImageAngle)
ZQ_FLOAT_FIELD(image_alpha, i_imagealpha)
ZQ_GETTER(image_blend, self->i_imageblend)
bool SV_image_blend(CInstance* self, int, RValue* in) {
    if (self == nullptr) return false;
    // Wrapped into 32 bits, so -1 is 0xFFFFFFFF.
    self->i_imageblend = static_cast<uint32_t>(RealRoundToInt64(VF(in)));
    return true;
}
ZQ_FLOAT_FIELD(image_speed, i_imagespeed)
ZQ_GETTER(mask_index, self->i_maskindex)
bool SV_mask_index(CInstance* self, int, RValue* in) {
    if (self == nullptr) return false;
    self->Set_MaskIndex(RintVF(in));
    return true;
}

// [SECTION] path and timeline

ZQ_GETTER(path_index, self->i_pathindex)
ZQ_FLOAT_OP(path_position, i_pathposition, SetPathPosition)
ZQ_FLOAT_OP(path_positionprevious, i_pathpositionprevious, SetPathPositionPrevious)
ZQ_FLOAT_OP(path_speed, i_pathspeed, SetPathSpeed)
ZQ_FLOAT_FIELD(path_scale, i_pathscale)
ZQ_FLOAT_FIELD(path_orientation, i_pathorientation)
ZQ_GETTER(path_endaction, self->i_pathend)
bool SV_path_endaction(CInstance* self, int, RValue* in) {
    if (self == nullptr) return false;
    self->i_pathend = RintVF(in);
    return true;
}
ZQ_GETTER(timeline_index, self->i_timelineindex)
bool SV_timeline_index(CInstance* self, int, RValue* in) {
    if (self == nullptr) return false;
    self->i_timelineindex = RintVF(in);
    return true;
}
ZQ_FLOAT_FIELD(timeline_position, i_timelineposition)
ZQ_FLOAT_FIELD(timeline_speed, i_timelinespeed)
// Unlike solid, rounded in double precision and set only above 0.
#define ZQ_TIMELINE_FLAG(name, field)                                                                        \
    ZQ_GETTER(name, self->field ? 1.0 : 0.0)                                                                 \
    bool SV_##name(CInstance* self, int, RValue* in) {                                                       \
        if (self == nullptr) return false;                                                                   \
        self->field = RealRoundToInt64(V(in)) > 0;                                                           \
        return true;                                                                                         \
    }
ZQ_TIMELINE_FLAG(timeline_running, i_timelinerunning)
ZQ_TIMELINE_FLAG(timeline_loop, i_timelineloop)

// [SECTION] run-wide values

bool GV_async_load(CInstance*, int, RValue* out) {
    return Put(out, g_HTTP_AsyncLoad);
}
bool GV_event_data(CInstance*, int, RValue* out) {
    return Put(out, g_Generic_EventData);
}
// The display's anti-aliasing levels; none until the renderer reports them.
bool GV_display_aa(CInstance*, int, RValue* out) {
    return Put(out, 0.0);
}
bool GV_delta_time(CInstance*, int, RValue* out) {
    return Put(out, static_cast<double>(g_VTL_DeltaTime));
}
bool GV_webgl_enabled(CInstance*, int, RValue* out) {
    return Put(out, 1.0);
}

// [SECTION] layer

// The layer id reads only while the instance stands on a layer the running
// room has and that layer is not one made at run time for a depth.
bool GV_layer(CInstance* self, int, RValue* out) {
    if (self == nullptr) return Fail(out);
    double id = -1.0;
    if (self->m_onLayer && Run_Room != nullptr) {
        const CLayer* layer = CLayerManager::GetLayerFromID(Run_Room, self->m_layerID);
        if (layer != nullptr && !layer->m_dynamic) id = self->m_layerID;
    }
    return Put(out, id);
}
// Moves the instance to the layer of that id, taking the layer's depth; with
// no such layer it stays on none with the id recorded and its depth kept.
bool SV_layer(CInstance* self, int, RValue* in) {
    if (self == nullptr) return false;
    if (Run_Room != nullptr) CLayerManager::RemoveInstance(Run_Room, self);
    self->m_layerID = RealToInt32(V(in));
    if (Run_Room == nullptr) return true;
    if (CLayer* layer = CLayerManager::GetLayerFromID(Run_Room, self->m_layerID))
        CLayerManager::AddInstanceToLayer(Run_Room, layer, self);
    return true;
}

// [SECTION] physics

// No room has a physics world yet and no instance a body: every getter fails
// (leaving undefined) and every setter raises its error, the world check
// before the body check where the setter needs the world.
bool GV_phy(CInstance*, int, RValue* out) {
    return Fail(out);
}
bool SV_phy_world(CInstance* self, int, RValue*) {
    if (self == nullptr) return false;
    ZQError("Can not set any physics properties as physics has not been in this room.");
    return false;
}
bool SV_phy_body(CInstance* self, int, RValue*) {
    if (self == nullptr) return false;
    ZQError("Can not set the physics property for object \"%s\", as physics have not been enabled for this "
            "object.",
            GameData_Printable(Object_Name(self->i_objindex)).c_str());
    return false;
}

// [SECTION] registration table

const SBuiltInVariableRow kInstanceBuiltIns[INSTANCE_BUILTIN_COUNT] = {
    ZQ_VAR_RW(x),
    ZQ_VAR_RW(y),
    ZQ_VAR_RW(xprevious),
    ZQ_VAR_RW(yprevious),
    ZQ_VAR_RW(xstart),
    ZQ_VAR_RW(ystart),
    ZQ_VAR_RW(hspeed),
    ZQ_VAR_RW(vspeed),
    ZQ_VAR_RW(direction),
    ZQ_VAR_RW(speed),
    ZQ_VAR_RW(friction),
    ZQ_VAR_RW(gravity),
    ZQ_VAR_RW(gravity_direction),
    ZQ_VAR_RO(object_index),
    ZQ_VAR_RO(id),
    ZQ_VAR_RW(alarm),
    ZQ_VAR_RW(solid),
    ZQ_VAR_RW(visible),
    ZQ_VAR_RW(persistent),
    ZQ_VAR_RW(depth),
    ZQ_VAR_RO(bbox_left),
    ZQ_VAR_RO(bbox_right),
    ZQ_VAR_RO(bbox_top),
    ZQ_VAR_RO(bbox_bottom),
    ZQ_VAR_RW(sprite_index),
    ZQ_VAR_RW(image_index),
    ZQ_VAR_RW(image_single),
    ZQ_VAR_RO(image_number),
    ZQ_VAR_RO(sprite_width),
    ZQ_VAR_RO(sprite_height),
    ZQ_VAR_RO(sprite_xoffset),
    ZQ_VAR_RO(sprite_yoffset),
    ZQ_VAR_RW(image_xscale),
    ZQ_VAR_RW(image_yscale),
    ZQ_VAR_RW(image_angle),
    ZQ_VAR_RW(image_alpha),
    ZQ_VAR_RW(image_blend),
    ZQ_VAR_RW(image_speed),
    ZQ_VAR_RW(mask_index),
    ZQ_VAR_RO(path_index),
    ZQ_VAR_RW(path_position),
    ZQ_VAR_RW(path_positionprevious),
    ZQ_VAR_RW(path_speed),
    ZQ_VAR_RW(path_scale),
    ZQ_VAR_RW(path_orientation),
    ZQ_VAR_RW(path_endaction),
    ZQ_VAR_RW(timeline_index),
    ZQ_VAR_RW(timeline_position),
    ZQ_VAR_RW(timeline_speed),
    ZQ_VAR_RW(timeline_running),
    ZQ_VAR_RW(timeline_loop),
    ZQ_VAR_RO(async_load),
    ZQ_VAR_RO(event_data),
    {"phy_rotation", GV_phy, SV_phy_body},
    {"phy_position_x", GV_phy, SV_phy_world},
    {"phy_position_y", GV_phy, SV_phy_world},
    {"phy_angular_velocity", GV_phy, SV_phy_body},
    {"phy_linear_velocity_x", GV_phy, SV_phy_world},
    {"phy_linear_velocity_y", GV_phy, SV_phy_world},
    {"phy_speed_x", GV_phy, SV_phy_world},
    {"phy_speed_y", GV_phy, SV_phy_world},
    {"phy_angular_damping", GV_phy, SV_phy_body},
    {"phy_linear_damping", GV_phy, SV_phy_body},
    {"phy_bullet", GV_phy, SV_phy_body},
    {"phy_fixed_rotation", GV_phy, SV_phy_body},
    {"phy_active", GV_phy, SV_phy_body},
    {"phy_mass", GV_phy, nullptr},
    {"phy_inertia", GV_phy, nullptr},
    {"phy_com_x", GV_phy, nullptr},
    {"phy_com_y", GV_phy, nullptr},
    {"phy_speed", GV_phy, nullptr},
    {"phy_dynamic", GV_phy, nullptr},
    {"phy_kinematic", GV_phy, nullptr},
    {"phy_sleeping", GV_phy, nullptr},
    {"phy_position_xprevious", GV_phy, nullptr},
    {"phy_position_yprevious", GV_phy, nullptr},
    {"phy_collision_points", GV_phy, nullptr},
    {"phy_collision_x", GV_phy, nullptr},
    {"phy_collision_y", GV_phy, nullptr},
    {"phy_col_normal_x", GV_phy, nullptr},
    {"phy_col_normal_y", GV_phy, nullptr},
    ZQ_VAR_RO(display_aa),
    ZQ_VAR_RO(delta_time),
    ZQ_VAR_RO(webgl_enabled),
    ZQ_VAR_RW(layer),
};

} // namespace

void InitLocalVariables() {
    for (const SBuiltInVariableRow& entry : kInstanceBuiltIns)
        Variable_BuiltIn_Add(entry.name, entry.get, entry.set);
}
