// Event handlers and their dispatch: loading a handler's code entry, the
// inherited lookup that also reports which object held the handler, and
// running it with the current-event globals saved, set and restored.
#include "world/objects/event.h"

#include "core/code.h"
#include "core/error.h"
#include "core/game_image.h"
#include "core/run_state.h"
#include "core/rvalue.h"
#include "core/script.h"
#include "room/room.h"
#include "world/instances/instance.h"
#include "world/objects/object_type.h"
#include "world/objects/timeline.h"

namespace {

// The dispatches running now, shared by both object dispatch operations.
int32_t g_EventNesting = 0;

constexpr char kNestingMessage[] =
    "PerformEvent recursion depth failure - check for infinite loops, check objects for parenting";

// The first defined handler of the type or an ancestor, with the object that
// held it. Parent objects mirror the parent indices, so the walk follows
// them; a parent cycle ends after as many steps as there are slots.
inline CEvent* ChainEvent(const CObjectVT* type, int t, int subtype, int* found) {
    for (int32_t steps = 0; type != nullptr && steps <= g_ObjectNumber; type = type->m_pParent, ++steps) {
        if (subtype < type->m_eventCount[t]) {
            CEvent* event = type->m_events[t][subtype];
            if (event != nullptr && event->m_defined) {
                *found = type->m_index;
                return event;
            }
        }
    }
    return nullptr;
}

// An instance's own persistent flag (taken from its type when it was made,
// changeable by scripts afterwards).
bool InstancePersistent(const CInstance* instance) {
    return instance != nullptr && instance->i_persistent;
}

// While a room change is pending only these events run.
bool RunsDuringRoomChange(int type) {
    return type == EVENT_CREATE || type == EVENT_DESTROY || type == EVENT_ALARM || type == EVENT_OTHER ||
           type == EVENT_PRE_CREATE;
}

// The type of an object index; an instance's own type is at hand without
// a table lookup.
inline const CObjectVT* TypeOf(const CInstance* self, int objectIndex) {
    if (self != nullptr && self->m_pObject != nullptr && self->m_pObject->m_index == objectIndex)
        return self->m_pObject;
    return Object_Data(objectIndex);
}

CEvent* FindFrom(const CObjectVT* object, int objectIndex, int type, int subtype, int* found);

void Dispatch(CInstance* self, CInstance* other, int objectIndex, int type, int subtype) {
    int found = objectIndex;
    CEvent* event = FindFrom(TypeOf(self, objectIndex), objectIndex, type, subtype, &found);
    if (event == nullptr) return;
    if (g_EventNesting++ >= EVENT_MAX_NESTING) {
        Error_Show_Action(kNestingMessage, true);
    } else {
        const int32_t savedObject = Current_Object;
        const int32_t savedType = Current_Event_Type;
        const int32_t savedNumber = Current_Event_Number;
        Current_Object = found;
        Current_Event_Type = type;
        Current_Event_Number = subtype;
        event->Execute(self, other);
        Current_Object = savedObject;
        Current_Event_Type = savedType;
        Current_Event_Number = savedNumber;
    }
    --g_EventNesting;
}

} // namespace

// ---------------------------------------------------------------------------
// Handlers.

CEvent::~CEvent() {
    delete m_pCode;
}

// Handler data: {action count (not read), offset of the action record}; the
// code index is the word at byte 32 of the action record. A handler without
// an action record is defined and runs nothing.
bool CEvent::LoadFromChunk(ImageReader& handler) {
    handler.U32();
    const uint32_t actionOffset = handler.U32();
    int32_t codeIndex = -1;
    if (actionOffset != 0) {
        ImageReader action = handler.At(actionOffset);
        action.Skip(32);
        const size_t at = action.Position();
        codeIndex = action.S32();
        Code_CheckIndex(action, codeIndex, at, "an action");
    }
    delete m_pCode;
    m_pCode = nullptr;
    m_defined = true;
    if (actionOffset != 0) m_pCode = new CCode(codeIndex, false);
    return true;
}

bool CEvent::Execute(CInstance* self, CInstance* other) {
    const bool relative = Code_Main_GET_Argument_Relative();
    Code_Main_SET_Argument_Relative(0);
    RValue scratch = RValue_Undefined();
    const bool result = Code_Execute_Special(self, other, m_pCode, &scratch);
    FREE_RValue(&scratch);
    Code_Main_SET_Argument_Relative(relative ? 1 : 0);
    return result;
}

// ---------------------------------------------------------------------------
// Lookup and dispatch.

namespace {

// The object's chain first; only then, for a collision, the other object's
// ancestors from the nearest, each tried against the whole chain again.
CEvent* FindFrom(const CObjectVT* object, int objectIndex, int type, int subtype, int* found) {
    *found = objectIndex;
    if (type < 0 || type >= EVENT_TYPE_COUNT || subtype < 0) {
        Error_Show_Action("Invalid event argument", true);
        return nullptr;
    }
    if (object == nullptr) return nullptr;
    if (CEvent* event = ChainEvent(object, type, subtype, found)) return event;
    if (type != EVENT_COLLISION) return nullptr;
    const CObjectVT* other = Object_Data(subtype);
    if (other == nullptr) return nullptr;
    int32_t steps = 0;
    for (int32_t a = other->m_parentIndex; a >= 0 && steps <= g_ObjectNumber; ++steps) {
        const CObjectVT* ancestor = Object_Data(a);
        if (ancestor == nullptr) break;
        if (CEvent* event = ChainEvent(object, EVENT_COLLISION, a, found)) return event;
        a = ancestor->m_parentIndex;
    }
    *found = objectIndex;
    return nullptr;
}

} // namespace

CEvent* Find_Event(int objectIndex, int type, int subtype, int* found) {
    int ignored = 0;
    return FindFrom(Object_Data(objectIndex), objectIndex, type, subtype,
                    found != nullptr ? found : &ignored);
}

void Perform_Event_Object(CInstance* self, CInstance* other, int objectIndex, int type, int subtype) {
    if (type == EVENT_CLEANUP) {
        if (Code_Error_Occured) return;
    } else if (New_Room != ROOM_NONE) {
        const bool persistent = InstancePersistent(self) || (Run_Room != nullptr && Run_Room->m_persistent);
        if (!persistent || !RunsDuringRoomChange(type)) return;
    }
    Dispatch(self, other, objectIndex, type, subtype);
}

void Perform_Event_Object_ASync(CInstance* self, CInstance* other, int objectIndex, int type, int subtype) {
    Dispatch(self, other, objectIndex, type, subtype);
}

void Perform_Event(CInstance* self, CInstance* other, int type, int subtype) {
    if (self == nullptr) return;
    Perform_Event_Object(self, other, self->i_objindex, type, subtype);
}

// The next instance is read before each dispatch: the handler may destroy
// the instance it runs on (it is only marked) or create new ones.
void Perform_Event_All(int type, int subtype) {
    if (New_Room != ROOM_NONE || Run_Room == nullptr) return;
    for (CInstance* instance = Run_Room->m_pFirstActive; instance != nullptr;) {
        CInstance* next = instance->m_pNext;
        if (!instance->i_marked && !instance->i_deactivated)
            Perform_Event_Object(instance, instance, instance->i_objindex, type, subtype);
        instance = next;
    }
}

void Perform_Event_TimeLine(CInstance* self, CInstance* other, int timeline, int moment) {
    if (New_Room != ROOM_NONE) return;
    const CTimeLine* line = TimeLine_Data(timeline);
    if (line == nullptr || moment < 0 || moment >= line->GetCount()) return;
    const TimeLineEntry entry = line->GetEvent(moment);
    if (entry == 0) return;
    const int32_t savedObject = Current_Object;
    const int32_t savedType = Current_Event_Type;
    const int32_t savedNumber = Current_Event_Number;
    Current_Object = timeline;
    Current_Event_Type = EVENT_TYPE_TIMELINE;
    Current_Event_Number = line->GetStep(moment);
    if (TimeLine_EntryIsScript(entry)) {
        Script_Perform(static_cast<int>(entry >> 1), self, other, 0, nullptr, nullptr);
    } else {
        reinterpret_cast<CEvent*>(entry)->Execute(self, other);
    }
    Current_Object = savedObject;
    Current_Event_Type = savedType;
    Current_Event_Number = savedNumber;
}

int32_t Event_NestingDepth() {
    return g_EventNesting;
}

void Event_InstallErrorNames() {
    g_ErrorHooks.eventName = Get_Event_Name;
    g_ErrorHooks.objectName = Object_Name;
    g_ErrorHooks.timelineName = TimeLine_Name;
}

void FINALIZE_Event_Action() {}
