// Event handlers for tests without a data file: a handler is a native
// function installed on an object type, and a shared log records what ran.
#pragma once

#include <deque>
#include <vector>

#include "core/code.h"
#include "core/run_state.h"
#include "world/instances/instance.h"
#include "world/objects/event.h"
#include "world/objects/object_type.h"

// One event that ran: the instance (by id), the event type and subtype, and
// the other instance's id.
struct EventRecord {
    int self;
    int type;
    int subtype;
    int other;
    bool operator==(const EventRecord& o) const {
        return self == o.self && type == o.type && subtype == o.subtype && other == o.other;
    }
};

inline std::vector<EventRecord>& EventLog() {
    static std::vector<EventRecord> log;
    return log;
}

inline void LogEvent(CInstance* self, CInstance* other) {
    EventLog().push_back({self != nullptr ? self->i_id : -1, Current_Event_Type, Current_Event_Number,
                          other != nullptr ? other->i_id : -1});
}

// Installs `handler` (logging by default) as object `object`'s event.
inline void SetHandler(int object, int type, int subtype, TZQEvent handler = LogEvent) {
    // Each handler needs its own record: the code entry points at it.
    static std::deque<SCompiledFunction> records; // stable addresses
    const SCompiledFunction* record =
        &records.emplace_back(SCompiledFunction{"test_event", nullptr, handler});
    CEvent* event = Object_Data(object)->ZQCreateEvent(type, subtype);
    delete event->m_pCode;
    event->m_pCode = new CCode(-1, false);
    event->m_pCode->m_pFunc = record;
    event->m_defined = true;
}

// The event types alone, in order.
inline std::vector<int> LoggedTypes() {
    std::vector<int> types;
    for (const EventRecord& r : EventLog()) types.push_back(r.type);
    return types;
}
