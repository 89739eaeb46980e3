// The passes of the step that raise the runtime's own events: Begin Step,
// Step and End Step, the twelve alarms, the Other events of leaving the
// room, touching its boundary, leaving a view and touching a view's
// boundary, and the moments of running timelines.
#pragma once

#include <cstdint>

// Subtypes of the Step event.
inline constexpr int STEP_NORMAL = 0;
inline constexpr int STEP_BEGIN = 1;
inline constexpr int STEP_END = 2;

// Subtypes of the Other event raised by the passes.
inline constexpr int OTHER_OUTSIDE_ROOM = 0;
inline constexpr int OTHER_BOUNDARY = 1;
inline constexpr int OTHER_ANIMATION_END = 7;
inline constexpr int OTHER_PATH_END = 8;
inline constexpr int OTHER_OUTSIDE_VIEW0 = 40;
inline constexpr int OTHER_BOUNDARY_VIEW0 = 50;

// Step events of the given subtype (STEP_NORMAL, STEP_BEGIN, STEP_END).
void HandleStep(int subtype);
// Counts down the alarms of instances whose object handles them and raises
// those that reach 0.
void HandleAlarm();
// Outside room, boundary, outside view and view boundary events.
void HandleOther();
// The moments that the running timelines pass this step.
void HandleTimeLine();

// Calls fn(instance) for every instance an event raising visits: the
// instances of each object listed as handling (type, subtype), in ascending
// object index and creation order, that are neither marked nor deactivated
// and existed when the raising began. Takes one reading of the creation
// counter (and advances it), so instances created by fn are not visited.
template <typename Fn>
void Event_ForEachListed(int type, int subtype, Fn&& fn);
// The same walk with a creation-counter reading taken by the caller, for
// sub-passes that share one reading.
template <typename Fn>
void Event_ForEachListedUpTo(int type, int subtype, int64_t limit, Fn&& fn);

// ---------------------------------------------------------------------------
// The template's body: the event passes are hot, so the walk is inlined.

#include "world/instances/instance.h"
#include "world/objects/object_type.h"

// Each listed object's own instances are walked: an object inherits its
// parent's handlers and is listed itself, so walking the parent's inclusive
// list as well would raise the event twice on a child's instances. The
// successor is read before the call: fn may mark the instance or create new
// ones (appended at the tail, stamped after the limit), while removal from
// the lists happens only between passes.
template <typename Fn>
void Event_ForEachListedUpTo(int type, int subtype, int64_t limit, Fn&& fn) {
    const int32_t count = obj_numb_event[type][subtype];
    const int32_t* objects = obj_has_event[type][subtype];
    for (int32_t k = 0; k < count; ++k) {
        CObjectVT* object = Object_Data(objects[k]);
        if (object == nullptr) continue;
        for (SInstanceNode* node = object->m_Instances.m_pFirst; node != nullptr;) {
            SInstanceNode* next = node->m_pNext;
            CInstance* instance = node->m_pInstance;
            if (!instance->i_marked && !instance->i_deactivated && instance->m_createCounter <= limit)
                fn(instance);
            node = next;
        }
    }
}

template <typename Fn>
void Event_ForEachListed(int type, int subtype, Fn&& fn) {
    Event_ForEachListedUpTo(type, subtype, CInstance::ms_CurrentCreateCounter++, static_cast<Fn&&>(fn));
}
