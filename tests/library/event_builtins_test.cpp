// Event, debug, alarm and variable built-ins over a small room: objects 0
// "obj_parent", 1 "obj_child" (child of 0) and 2 "obj_alone"; instances a (0),
// b (1), c (2, deactivated) and d (1, marked). User variables "hp" and
// "score" have slots; built-in variables "bx" (instance-local) and "gspeed"
// (global) are registered by the fixture.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>

#include "../world/event_fixture.h"
#include "builtin_call.h"
#include "core/builtin_variables.h"
#include "core/console.h"
#include "core/object_base.h"
#include "core/variable_names.h"
#include "core/variables.h"
#include "library/event_builtins.h"
#include "core/graphics_perf.h"
#include "room/room.h"
#include "world/datafile/game_header.h"
#include "core/run_settings.h"

namespace {

double g_gspeed = 0;

bool GV_bx(CInstance* self, int, RValue* out) {
    if (self == nullptr) return false;
    FREE_RValue(out);
    *out = RValue_Real(self->i_x);
    return true;
}
bool GV_gspeed(CInstance*, int, RValue* out) {
    FREE_RValue(out);
    *out = RValue_Real(g_gspeed);
    return true;
}
bool SV_gspeed(CInstance*, int, RValue* in) {
    g_gspeed = REAL_RValue(in);
    return true;
}

// Keeps what the release console prints.
class CapturedConsole final : public tagIConsole {
public:
    bool Create(const wchar_t*, bool) override { return true; }
    void Output(const char* format, ...) override {
        char line[4096];
        va_list args;
        va_start(args, format);
        std::vsnprintf(line, sizeof line, format, args);
        va_end(args);
        text += line;
    }
    std::string text;
};

class EventBuiltins : public ::testing::Test {
protected:
    void SetUp() override {
        g_nGlobalVariables = 4;
        g_nInstanceVariables = 4;
        Code_Variable_Init(4, 4, 0);
        Code_Variable_Find_Set("hp", VARIABLE_SCOPE_INSTANCE, 0);
        Code_Variable_Find_Set("score", VARIABLE_SCOPE_GLOBAL, 0);
        g_pGlobal = ZQObjectBase::Alloc(4, VALUE_UNSET, true);
        Variable_BuiltIn_Add("bx", GV_bx, nullptr);
        m_savedStartGlobal = g_nStartGlobalVariables;
        g_nStartGlobalVariables = 1;
        Variable_BuiltIn_Add("gspeed", GV_gspeed, SV_gspeed);

        for (const char* name : {"obj_parent", "obj_child", "obj_alone"})
            Object_Data(Object_Add())->SetName(name);
        Object_Data(1)->m_parentIndex = 0;
        Object_ResolveParents();
        m_room = std::make_unique<CRoom>();
        Run_Room = m_room.get();
        a = m_room->AddInstance(1, 0, 0);
        b = m_room->AddInstance(2, 0, 1);
        c = m_room->AddInstance(3, 0, 2);
        d = m_room->AddInstance(4, 0, 1);
        c->i_deactivated = true;
        d->i_marked = true;
        int n = 0;
        for (CInstance* i : {a, b, c, d}) i->m_slots[0] = RValue_Real(++n * 10); // hp 10, 20, 30, 40
        EventLog().clear();
    }
    void TearDown() override {
        Run_Room = nullptr;
        m_room.reset();
        g_InstanceChangeArray.Free();
        g_InstanceActivateDeactive.Free();
        Object_Init();
        ZQObjectBase::Free(g_pGlobal);
        g_pGlobal = nullptr;
        FINALIZE_Code_Variable();
        FINALIZE_Variable_Main();
        g_nGlobalVariables = g_nInstanceVariables = 0;
        g_nStartGlobalVariables = m_savedStartGlobal;
        Variable_BuiltIn_Clear();
        EventLog().clear();
    }

    std::unique_ptr<CRoom> m_room;
    CInstance *a = nullptr, *b = nullptr, *c = nullptr, *d = nullptr;
    int m_savedStartGlobal = 0;
};

constexpr int kOther = 7;

TEST_F(EventBuiltins, UserEventsAreOtherSubtypesFromTen) {
    SetHandler(1, kOther, 10);
    SetHandler(0, kOther, 25);
    SetHandler(0, 3, 0);
    CallBuiltin("event_user", {0.0}, b, a);
    CallBuiltin("event_user", {15.0}, b, a); // found in the parent
    CallBuiltin("event_perform", {3.0, 0.0}, b, a);
    CallBuiltin("event_perform_object", {0.0, 3.0, 0.0}, c, nullptr);
    CallBuiltin("event_user", {0.0}, nullptr, a);    // no self: nothing
    CallBuiltin("event_user", {2147483647.0}, b, a); // past every subtype: nothing
    const std::vector<EventRecord> expected = {{b->i_id, kOther, 10, a->i_id},
                                               {b->i_id, kOther, 25, a->i_id},
                                               {b->i_id, 3, 0, a->i_id},
                                               {c->i_id, 3, 0, -1}};
    EXPECT_EQ(EventLog(), expected);
}

// The child's handler calls event_inherited: the parent's runs next, with the
// parent as the current object; the parent's own call finds no grandparent.
void InheritingHandler(CInstance* self, CInstance* other) {
    LogEvent(self, other);
    EventLog().push_back({Current_Object, -1, -1, -1});
    CallBuiltin("event_inherited", {}, self, other);
}

TEST_F(EventBuiltins, InheritedRunsTheParentsHandler) {
    SetHandler(1, 3, 0, InheritingHandler);
    SetHandler(0, 3, 0, InheritingHandler);
    CallBuiltin("event_perform", {3.0, 0.0}, b, b);
    const std::vector<EventRecord> expected = {
        {b->i_id, 3, 0, b->i_id}, {1, -1, -1, -1}, {b->i_id, 3, 0, b->i_id}, {0, -1, -1, -1}};
    EXPECT_EQ(EventLog(), expected);
    EventLog().clear();
    Current_Object = -1;
    CallBuiltin("event_inherited", {}, b, b);
    EXPECT_TRUE(EventLog().empty()) << "outside an event nothing runs";
}

TEST_F(EventBuiltins, AlarmsOfTheCallingInstance) {
    CallBuiltin("alarm_set", {3.0, 10.0}, a);
    EXPECT_EQ(CallBuiltin("alarm_get", {3.0}, a).val, 10.0);
    EXPECT_EQ(a->GetTimer(3), 10);
    CallBuiltin("alarm_set", {12.0, 5.0}, a);
    EXPECT_EQ(CallBuiltin("alarm_get", {12.0}, a).val, -1.0);
    EXPECT_EQ(CallBuiltin("alarm_get", {-1.0}, a).val, -1.0);
    EXPECT_EQ(CallBuiltin("alarm_get", {0.0}, nullptr).val, -1.0);
    CallBuiltin("alarm_set", {0.0, 5.0}, nullptr);
}

TEST_F(EventBuiltins, GlobalsByName) {
    EXPECT_EQ(CallBuiltin("variable_global_get", {ZQRValue("never_used")}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(CallBuiltin("variable_global_exists", {ZQRValue("score")}).val, 0.0);
    CallBuiltin("variable_global_set", {ZQRValue("score"), 5.0});
    EXPECT_EQ(CallBuiltin("variable_global_get", {ZQRValue("score")}).val, 5.0);
    ZQRValue exists = CallBuiltin("variable_global_exists", {ZQRValue("score")});
    EXPECT_EQ(exists.Kind(), VALUE_BOOL);
    EXPECT_EQ(exists.val, 1.0);
    CallBuiltin("variable_global_set", {ZQRValue("fresh"), ZQRValue("text")});
    EXPECT_EQ(Text(CallBuiltin("variable_global_get", {ZQRValue("fresh")})), "text")
        << "a new name is created";

    // Instance-local built-ins are not globals; global built-ins go through their accessors.
    EXPECT_EQ(CallBuiltin("variable_global_get", {ZQRValue("bx")}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(CallBuiltin("variable_global_exists", {ZQRValue("bx")}).val, 0.0);
    CallBuiltin("variable_global_set", {ZQRValue("bx"), 9.0});
    g_gspeed = 30;
    EXPECT_EQ(CallBuiltin("variable_global_get", {ZQRValue("gspeed")}).val, 30.0);
    CallBuiltin("variable_global_set", {ZQRValue("gspeed"), 60.0});
    EXPECT_EQ(g_gspeed, 60.0);
    EXPECT_EQ(CallBuiltin("variable_global_exists", {ZQRValue("gspeed")}).val, 1.0);
}

TEST_F(EventBuiltins, InstancesByIdAndTargets) {
    EXPECT_EQ(CallBuiltin("variable_instance_get", {static_cast<double>(b->i_id), ZQRValue("hp")}).val, 20.0);
    EXPECT_EQ(CallBuiltin("variable_instance_get", {static_cast<double>(b->i_id), ZQRValue("bx")}).val, 2.0);
    EXPECT_EQ(CallBuiltin("variable_instance_get", {-1.0, ZQRValue("hp")}, b).Kind(), VALUE_UNDEFINED)
        << "self is not an instance id";
    EXPECT_EQ(CallBuiltin("variable_instance_get", {1.0, ZQRValue("hp")}).Kind(), VALUE_UNDEFINED)
        << "nor is an object index";
    EXPECT_EQ(
        CallBuiltin("variable_instance_get", {static_cast<double>(a->i_id), ZQRValue("nothing")}).Kind(),
        VALUE_UNDEFINED);

    CallBuiltin("variable_instance_set", {static_cast<double>(a->i_id), ZQRValue("hp"), 99.0});
    EXPECT_EQ(a->m_slots[0].val, 99.0);
    CallBuiltin("variable_instance_set", {static_cast<double>(a->i_id), ZQRValue("mana"), 7.0});
    EXPECT_EQ(CallBuiltin("variable_instance_get", {static_cast<double>(a->i_id), ZQRValue("mana")}).val,
              7.0);
    EXPECT_EQ(CallBuiltin("variable_instance_get", {static_cast<double>(b->i_id), ZQRValue("mana")}).Kind(),
              VALUE_UNDEFINED);
    CallBuiltin("variable_instance_set", {-3.0, ZQRValue("hp"), 1.0});
    EXPECT_EQ(b->m_slots[0].val, 20.0) << "a target is not an id";

    struct Case {
        double target;
        const char* name;
        bool expected;
    };
    const Case cases[] = {
        {1, "hp", true},                             // b
        {2, "hp", false},                            // only c, deactivated
        {-3, "mana", true},                          // a, through the room
        {1, "mana", false},                          //
        {-1, "hp", true},                            // self
        {static_cast<double>(d->i_id), "hp", false}, // marked
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.target << " " << k.name);
        EXPECT_EQ(CallBuiltin("variable_instance_exists", {k.target, ZQRValue(k.name)}, a).val,
                  k.expected ? 1 : 0);
    }
}

TEST_F(EventBuiltins, NamesOfOnDemandVariables) {
    ZQRValue none = CallBuiltin("variable_instance_get_names", {static_cast<double>(a->i_id)});
    ASSERT_EQ(none.Kind(), VALUE_ARRAY);
    EXPECT_EQ(CallBuiltin("array_length_1d", {none}).val, 0.0) << "slot-array variables are not listed";
    EXPECT_EQ(CallBuiltin("array_length_1d", {CallBuiltin("variable_instance_get_names", {5.0})}).val, 0.0);

    // Names added at run time are known to the newer variable layout.
    g_subFunctionsOption = true;
    int mana = Code_Variable_FindAlloc_Slot_From_Name(a, "mana");
    int unsetName = Code_Variable_FindAlloc_Slot_From_Name(a, "unset_one");
    *a->InternalGetZQVar(mana) = RValue_Real(3);
    a->InternalGetZQVar(unsetName);
    ZQRValue names = CallBuiltin("variable_instance_get_names", {static_cast<double>(a->i_id)});
    ASSERT_EQ(CallBuiltin("array_length_1d", {names}).val, 1.0);
    EXPECT_EQ(Text(CallBuiltin("array_get", {names, 0.0})), "mana");
    g_subFunctionsOption = false;
}

TEST_F(EventBuiltins, DebugOutputAndSwitches) {
    CapturedConsole console;
    tagIConsole* saved = rel_csol;
    rel_csol = &console;
    CallBuiltin("show_debug_message", {3.5});
    CallBuiltin("show_debug_message", {3.0});
    CallBuiltin("show_debug_message", {ZQRValue("%s %n")}); // data, never a format
    rel_csol = saved;
    EXPECT_EQ(console.text, "3.50\n3\n%s %n\n");

    int32_t flags = GraphicsPerf::ms_DisplayFlags;
    CallBuiltin("show_debug_overlay", {Bool(true)});
    EXPECT_EQ(GraphicsPerf::ms_DisplayFlags & 2, 2);
    CallBuiltin("show_debug_overlay", {Bool(false)});
    EXPECT_EQ(GraphicsPerf::ms_DisplayFlags & 2, 0);
    GraphicsPerf::ms_DisplayFlags = flags;

    CallBuiltin("debug_event", {ZQRValue("VMTraceOnPlease")});
    EXPECT_TRUE(g_fVMDebug) << "names match as prefixes";
    CallBuiltin("debug_event", {ZQRValue("VMTraceOff")});
    EXPECT_FALSE(g_fVMDebug);
    CallBuiltin("debug_event", {ZQRValue("VMBadRefsIgnore")});
    EXPECT_TRUE(g_fJSIgnoreBadRefs);
    CallBuiltin("debug_event", {ZQRValue("VMBadRefsCrash")});
    EXPECT_FALSE(g_fJSIgnoreBadRefs);
    CallBuiltin("debug_event", {ZQRValue("DumpMeAnything %s")});
    CallBuiltin("debug_event", {ZQRValue("VMTrace")});
    EXPECT_FALSE(g_fVMDebug) << "a shorter name matches nothing";
}

} // namespace
