// Shared scene for the step tests: the instance scene (fake sprites, object
// types, a running room) plus events whose compiled code logs each call
// {event type, subtype, instance id} and runs an optional per-test action.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "core/code.h"
#include "core/run_state.h"
#include "instance_fixture.h"
#include "world/instances/instance.h"
#include "world/objects/event.h"
#include "world/objects/object_type.h"
#include "world/step/step.h"

struct LoggedEvent {
    int type;
    int subtype;
    int id;
    bool operator==(const LoggedEvent& o) const {
        return type == o.type && subtype == o.subtype && id == o.id;
    }
};

inline std::ostream& operator<<(std::ostream& out, const LoggedEvent& e) {
    return out << "{" << e.type << ", " << e.subtype << ", " << e.id << "}";
}

class StepScene : public InstanceScene {
protected:
    void SetUp() override {
        InstanceScene::SetUp();
        Log().clear();
        Action() = nullptr;
        New_Room = ROOM_NONE;
    }

    void TearDown() override {
        Action() = nullptr;
        Step_SetObserver(nullptr);
        New_Room = ROOM_NONE;
        g_DoResizeEvent = false;
        g_InstanceChangeArray.Clear();
        g_InstanceChangeDepth.Clear();
        g_InstanceActivateDeactive.Clear();
        FINALIZE_Object_Lists();
        InstanceScene::TearDown();
    }

    static std::vector<LoggedEvent>& Log() {
        static std::vector<LoggedEvent> log;
        return log;
    }
    // Runs inside every logged event after it is logged.
    static std::function<void(CInstance* self, int type, int subtype)>& Action() {
        static std::function<void(CInstance*, int, int)> action;
        return action;
    }

    static void Logger(CInstance* self, CInstance*) {
        const int type = Current_Event_Type, subtype = Current_Event_Number;
        Log().push_back({type, subtype, self != nullptr ? self->i_id : -1});
        if (Action()) Action()(self, type, subtype);
    }

    // Gives object type `object` a handler for (type, subtype) that logs.
    // Call Create_Object_Lists() once the handlers are in place.
    static void GiveEvent(int object, int type, int subtype) {
        static const SCompiledFunction kLogger = {"logger", nullptr, &StepScene::Logger};
        CEvent* event = Object_Data(object)->ZQCreateEvent(type, subtype);
        ASSERT_NE(event, nullptr);
        delete event->m_pCode;
        event->m_pCode = new CCode(-1, false);
        event->m_pCode->m_pFunc = &kLogger;
        event->m_defined = true;
    }

    CInstance* Add(float x, float y, int object) { return m_room->AddInstance(x, y, object); }

    // The ids of the room's active list, head first.
    std::vector<int> ActiveIds() const {
        std::vector<int> ids;
        for (CInstance* i = m_room->m_pFirstActive; i != nullptr; i = i->m_pNext) ids.push_back(i->i_id);
        return ids;
    }
};
