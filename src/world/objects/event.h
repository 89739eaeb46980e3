// Events: the handler record (one code entry), finding a handler with
// parent inheritance, dispatching it with the current-event globals set
// (pending room changes, Clean Up and the nesting limit), timeline moments,
// and the readable names of events and keys that error reports print.
#pragma once

#include <cstdint>

class CCode;
class CInstance;
class ImageReader;

// Event types.
enum : int32_t {
    EVENT_CREATE = 0,
    EVENT_DESTROY = 1,
    EVENT_ALARM = 2,
    EVENT_STEP = 3,
    EVENT_COLLISION = 4,
    EVENT_KEYBOARD = 5,
    EVENT_MOUSE = 6,
    EVENT_OTHER = 7,
    EVENT_DRAW = 8,
    EVENT_KEYPRESS = 9,
    EVENT_KEYRELEASE = 10,
    EVENT_CLEANUP = 12,
    EVENT_GESTURE = 13,
    EVENT_PRE_CREATE = 14,
};

// User event n is Other subtype EVENT_OTHER_USER0 + n.
inline constexpr int32_t EVENT_OTHER_USER0 = 10;

// The dispatches that may be nested; the next one is refused.
inline constexpr int32_t EVENT_MAX_NESTING = 32;

// One event handler: a code entry, owned. Only handlers that loaded their
// code from the data file are "defined"; lookups pass over the others.
class CEvent {
public:
    CEvent() = default;
    virtual ~CEvent();
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    // Loads the handler from its data {action count, action record offset}
    // at the reader's position: the code index is word 8 of the action
    // record. Marks the handler defined. Throws GameDataError when the data
    // or the action record lies outside the image.
    bool LoadFromChunk(ImageReader& handler);
    bool Compile() { return true; }
    void Clear() {}
    static void Free(CEvent* event) { delete event; }
    // Runs the code for self and other with the relative flag cleared.
    bool Execute(CInstance* self, CInstance* other);

    CCode* m_pCode = nullptr;
    bool m_defined = false;
};

// The handler for (type, subtype) of an object with inheritance, or null;
// `found` receives the object whose table held it.
CEvent* Find_Event(int objectIndex, int type, int subtype, int* found);

// Runs the event for `objectIndex` on self and other, unless suppressed:
// Clean Up runs only when no error has occurred; while a room change is
// pending only Create, Destroy, Alarm, Other and Pre-Create run, and only
// for a persistent instance or in a persistent room.
void Perform_Event_Object(CInstance* self, CInstance* other, int objectIndex, int type, int subtype);
// The same without the suppression rules (asynchronous and network events).
void Perform_Event_Object_ASync(CInstance* self, CInstance* other, int objectIndex, int type, int subtype);
// Perform_Event_Object with self's object (nothing when self is null).
void Perform_Event(CInstance* self, CInstance* other, int type, int subtype);
// Raises the event on every live instance of the room (none while a room
// change is pending).
void Perform_Event_All(int type, int subtype);
// Runs moment `moment` of timeline `timeline` (none while a room change is
// pending): a script moment runs its script, an event moment its handler.
void Perform_Event_TimeLine(CInstance* self, CInstance* other, int timeline, int moment);

// The dispatches running now (0 outside any event).
int32_t Event_NestingDepth();

// Readable names. Each returns a buffer shared by its kind of call, valid
// until the next call of that kind (or a constant text).
const char* Get_Event_Name(int type, int subtype);
const char* Get_Event_Name_Short(int type, int subtype);
const char* KeyToStr(int key);

// Installs the event, object and timeline names into the error report.
void Event_InstallErrorNames();
void FINALIZE_Event_Action();
