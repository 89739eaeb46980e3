// The instance's piece of a saved game: its built-in state in a fixed order
// of 32-bit fields, then its variable slots in the value format.
#include <cstring>
#include <initializer_list>

#include "core/buffer.h"
#include "core/console.h"
#include "core/error.h"
#include "core/memory_manager.h"
#include "core/real_to_int.h"
#include "core/rvalue.h"
#include "world/instances/instance.h"
#include "world/objects/object_type.h"

namespace {

void Put(IBuffer* buffer, eBuffer_Type type, double value) {
    RValue v = RValue_Real(value);
    buffer->Write(type, &v);
}
void PutS32(IBuffer* buffer, int32_t n) {
    Put(buffer, eBuffer_S32, n);
}
void PutBool(IBuffer* buffer, bool b) {
    Put(buffer, eBuffer_S32, b ? 1 : 0);
}
void PutF32(IBuffer* buffer, float f) {
    Put(buffer, eBuffer_F32, f);
}

// Reads fields in order; the first failure sticks, so a reader can read a
// whole record and check once.
struct SPieceReader {
    IBuffer* buffer;
    bool ok = true;

    double Get(eBuffer_Type type) {
        if (!ok) return 0.0;
        RValue v = RValue_Real(0.0);
        if (buffer->Read(type, &v) != 0) {
            ok = false;
            return 0.0;
        }
        return REAL_RValue(&v);
    }
    int32_t S32() { return RealToInt32(Get(eBuffer_S32)); }
    uint32_t U32() { return RealToUint32Wrapped(Get(eBuffer_U32)); }
    bool Bool() { return S32() != 0; }
    float F32() { return static_cast<float>(Get(eBuffer_F32)); }
};

bool SpriteIndexValid(int32_t index) {
    return index == -1 || Sprite_Exists(index);
}

} // namespace

// An instance without object writes -1, so reading it back gives an instance
// without object again rather than one of object 0.
void CInstance::Serialise(IBuffer* buffer) {
    if (m_bboxDirty) Compute_BoundingBox(true);
    PutS32(buffer, i_id);
    PutBool(buffer, i_deactivated);
    PutS32(buffer, m_pObject != nullptr ? i_objindex : -1);
    PutS32(buffer, i_spriteindex);
    for (float f : {i_imageindex, i_imagespeed, i_imagescalex, i_imagescaley, i_imageangle, i_imagealpha})
        PutF32(buffer, f);
    Put(buffer, eBuffer_U32, i_imageblend);
    PutS32(buffer, i_maskindex);
    PutF32(buffer, i_depth);
    PutBool(buffer, i_precise);
    for (float f : {i_x, i_y, i_xstart, i_ystart, i_xprevious, i_yprevious, i_direction, i_speed, i_friction,
                    i_gravitydir, i_gravity, i_hspeed, i_vspeed})
        PutF32(buffer, f);
    for (int32_t n : {i_bbox.left, i_bbox.right, i_bbox.top, i_bbox.bottom}) PutS32(buffer, n);
    for (bool b : {i_visible, i_solid, i_persistent}) PutBool(buffer, b);
    for (int32_t alarm : i_timer) PutS32(buffer, alarm);
    PutBool(buffer, i_marked);
    PutS32(buffer, i_pathindex);
    for (float f : {i_pathposition, i_pathpositionprevious, i_pathspeed, i_pathscale, i_pathorientation})
        PutF32(buffer, f);
    PutS32(buffer, i_pathend);
    PutF32(buffer, i_pathxstart);
    PutF32(buffer, i_pathystart);
    PutS32(buffer, i_timelineindex);
    for (float f : {i_timelineprevposition, i_timelineposition, i_timelinespeed}) PutF32(buffer, f);
    for (bool b : {i_timelinerunning, i_timelineloop, m_outsideRoom}) PutBool(buffer, b);
    PutS32(buffer, m_layerID);
    if (m_slots != nullptr) {
        PutS32(buffer, g_nInstanceVariables);
        const RValue unset = RValue_Undefined();
        for (int32_t i = 0; i < g_nInstanceVariables; ++i)
            (i < m_slotCount ? &m_slots[i] : &unset)->Serialise(buffer);
    }
}

// Everything is read into a scratch record first and applied only when the
// whole piece has been read and checked, so a damaged piece changes nothing.
// Stored values beyond the instance's slots are read and dropped, so the
// buffer position still ends after the last of them.
bool CInstance::DeSerialise(IBuffer* buffer, bool addToLists) {
    SPieceReader in{buffer};
    const int32_t id = in.S32();
    const bool deactivated = in.Bool();
    const int32_t object = in.S32();
    const int32_t sprite = in.S32();
    float image[6];
    for (float& f : image) f = in.F32();
    const uint32_t blend = in.U32();
    const int32_t mask = in.S32();
    const float depth = in.F32();
    const bool precise = in.Bool();
    float motion[13];
    for (float& f : motion) f = in.F32();
    SBoundingBox box;
    box.left = in.S32();
    box.right = in.S32();
    box.top = in.S32();
    box.bottom = in.S32();
    bool flags[3];
    for (bool& b : flags) b = in.Bool();
    int32_t alarms[INSTANCE_ALARM_COUNT];
    for (int32_t& alarm : alarms) alarm = in.S32();
    const bool marked = in.Bool();
    const int32_t path = in.S32();
    float pathValues[5];
    for (float& f : pathValues) f = in.F32();
    const int32_t pathEnd = in.S32();
    const float pathXStart = in.F32();
    const float pathYStart = in.F32();
    const int32_t timeline = in.S32();
    float timelineValues[3];
    for (float& f : timelineValues) f = in.F32();
    bool timelineFlags[3];
    for (bool& b : timelineFlags) b = in.Bool();
    const int32_t layer = in.S32();
    if (!in.ok) {
        Error_Show("Saved instance is truncated", false);
        return false;
    }
    if (object < -1 || (object >= 0 && !Object_Exists(object))) {
        Error_Show("Saved instance names an object that does not exist", false);
        return false;
    }
    if (!SpriteIndexValid(sprite) || !SpriteIndexValid(mask)) {
        Error_Show("Saved instance names a sprite that does not exist", false);
        return false;
    }

    RValue* values = nullptr;
    int32_t kept = 0;
    if (m_slots != nullptr) {
        const int32_t stored = in.S32();
        // Every stored value takes at least its 4-byte kind word.
        if (!in.ok || stored < 0 || stored > (buffer->Size() - buffer->Tell()) / 4) {
            Error_Show("Saved instance variables are damaged", false);
            return false;
        }
        if (stored != g_nInstanceVariables)
            dbg_csol->Output("WARNING! game_load variable mismatch - unpredictable results!\n");
        kept = stored < m_slotCount ? stored : m_slotCount;
        values = kept > 0 ? ZQ_AllocArray<RValue>(static_cast<size_t>(kept)) : nullptr;
        if (kept > 0 && values == nullptr) return false;
        for (int32_t i = 0; i < kept; ++i) values[i] = RValue_Undefined();
        bool ok = true;
        for (int32_t i = 0; ok && i < stored; ++i) {
            RValue surplus = RValue_Undefined();
            RValue* target = i < kept ? &values[i] : &surplus;
            ok = target->DeSerialise(buffer);
            if (target == &surplus) FREE_RValue(&surplus);
        }
        if (!ok) {
            for (int32_t i = 0; i < kept; ++i) FREE_RValue(&values[i]);
            ZQ_Free(values);
            Error_Show("Saved instance variables are damaged", false);
            return false;
        }
    }

    i_id = id;
    i_deactivated = deactivated;
    SetObjectIndex(object, addToLists && !deactivated);
    i_spriteindex = sprite;
    i_imageindex = image[0];
    i_imagespeed = image[1];
    i_imagescalex = image[2];
    i_imagescaley = image[3];
    i_imageangle = image[4];
    i_imagealpha = image[5];
    i_imageblend = blend;
    i_maskindex = mask;
    i_depth = depth;
    i_precise = precise;
    float* const motionFields[13] = {&i_x,         &i_y,         &i_xstart, &i_ystart,   &i_xprevious,
                                     &i_yprevious, &i_direction, &i_speed,  &i_friction, &i_gravitydir,
                                     &i_gravity,   &i_hspeed,    &i_vspeed};
    for (int i = 0; i < 13; ++i) *motionFields[i] = motion[i];
    i_bbox = box;
    m_bboxDirty = false;
    i_visible = flags[0];
    i_solid = flags[1];
    i_persistent = flags[2];
    std::memcpy(i_timer, alarms, sizeof(i_timer));
    i_marked = marked;
    i_pathindex = path;
    i_pathposition = pathValues[0];
    i_pathpositionprevious = pathValues[1];
    i_pathspeed = pathValues[2];
    i_pathscale = pathValues[3];
    i_pathorientation = pathValues[4];
    i_pathend = pathEnd;
    i_pathxstart = pathXStart;
    i_pathystart = pathYStart;
    i_timelineindex = timeline;
    i_timelineprevposition = timelineValues[0];
    i_timelineposition = timelineValues[1];
    i_timelinespeed = timelineValues[2];
    i_timelinerunning = timelineFlags[0];
    i_timelineloop = timelineFlags[1];
    m_outsideRoom = timelineFlags[2];
    m_layerID = layer;
    for (int32_t i = 0; i < kept; ++i) {
        FREE_RValue(&m_slots[i]);
        RValue_MoveInto(&m_slots[i], &values[i]);
    }
    ZQ_Free(values);
    return true;
}
