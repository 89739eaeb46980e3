// The global built-in variables: registration order and ids, the getters and
// setters over a running room and with no room at all, script arguments and
// their bounds, room_speed, the lives and health events, strings, the
// platform's values and the working directory.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/builtin_services.h"
#include "core/builtin_variables.h"
#include "core/code.h"
#include "core/error.h"
#include "core/file_paths.h"
#include "core/header_globals.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"
#include "core/run_globals.h"
#include "core/run_state.h"
#include "core/rvalue.h"
#include "core/script.h"
#include "core/timing_source.h"
#include "core/variable_names.h"
#include "error_capture.h"
#include "room/room.h"
#include "world/datafile/game_file.h"
#include "world/input/input_state.h"
#include "world/instances/instance.h"
#include "world/objects/event.h"
#include "world/objects/object_type.h"

namespace {

// The global names in registration order, then the platform's; "=" marks a
// name that can be written.
const char* const kGlobalNames[] = {
    "argument_relative",
    "=argument",
    "=argument0",
    "=argument1",
    "=argument2",
    "=argument3",
    "=argument4",
    "=argument5",
    "=argument6",
    "=argument7",
    "=argument8",
    "=argument9",
    "=argument10",
    "=argument11",
    "=argument12",
    "=argument13",
    "=argument14",
    "=argument15",
    "argument_count",
    "debug_mode",
    "pointer_invalid",
    "pointer_null",
    "undefined",
    "=room",
    "room_first",
    "room_last",
    "=transition_kind",
    "=transition_steps",
    "=score",
    "=lives",
    "=health",
    "game_id",
    "game_guid",
    "game_display_name",
    "game_project_name",
    "game_save_id",
    "working_directory",
    "temp_directory",
    "program_directory",
    "instance_count",
    "instance_id",
    "=room_width",
    "=room_height",
    "=room_caption",
    "=room_speed",
    "=room_persistent",
    "=background_color",
    "=background_showcolor",
    "=background_colour",
    "=background_showcolour",
    "=background_visible",
    "=background_foreground",
    "=background_index",
    "=background_x",
    "=background_y",
    "background_width",
    "background_height",
    "=background_htiled",
    "=background_vtiled",
    "=background_xscale",
    "=background_yscale",
    "=background_hspeed",
    "=background_vspeed",
    "=background_blend",
    "=background_alpha",
    "=view_enabled",
    "view_current",
    "=view_visible",
    "=view_xview",
    "=view_yview",
    "=view_wview",
    "=view_hview",
    "=view_xport",
    "=view_yport",
    "=view_wport",
    "=view_hport",
    "=view_angle",
    "=view_hborder",
    "=view_vborder",
    "=view_hspeed",
    "=view_vspeed",
    "=view_object",
    "=view_surface_id",
    "=view_camera",
    "mouse_x",
    "mouse_y",
    "=mouse_button",
    "=mouse_lastbutton",
    "=keyboard_key",
    "=keyboard_lastkey",
    "=keyboard_lastchar",
    "=keyboard_string",
    "=cursor_sprite",
    "=show_score",
    "=show_lives",
    "=show_health",
    "=caption_score",
    "=caption_lives",
    "=caption_health",
    "fps",
    "fps_real",
    "current_time",
    "current_year",
    "current_month",
    "current_day",
    "current_weekday",
    "current_hour",
    "current_minute",
    "current_second",
    "event_type",
    "event_number",
    "event_object",
    "event_action",
    "secure_mode",
    "=error_occurred",
    "=error_last",
    "application_surface",
    "=font_texture_page_size",
    // The platform's.
    "os_type",
    "os_device",
    "os_version",
    "os_browser",
    "browser_width",
    "browser_height",
};

constexpr int kNoIndex = ARRAY_INDEX_NO_INDEX;

// Records the Other events it runs with the lives and health it saw.
struct SeenEvent {
    int subtype;
    int32_t lives;
    double health;
};
std::vector<SeenEvent> g_seen;
void RecordOther(CInstance*, CInstance*) {
    g_seen.push_back({Current_Event_Number, Lives, Health});
}
const SCompiledFunction kRecordOther = {"record_other", nullptr, RecordOther};

class GlobalBuiltIns : public ::testing::Test {
protected:
    void SetUp() override {
        INITIALIZE_Variable_BuiltIn();
        m_room = std::make_unique<CRoom>();
        Run_Room = m_room.get();
        m_saved = {Score, Lives, Health, Cursor_Sprite, Transition_Kind, Current_Room};
        g_seen.clear();
    }
    void TearDown() override {
        Run_Room = nullptr;
        m_room.reset();
        FINALIZE_Instance_Class();
        Object_Init();
        room_maxid = 100000;
        Argument = nullptr;
        g_ArgumentCount = 0;
        Score = m_saved.score;
        Lives = m_saved.lives;
        Health = m_saved.health;
        Cursor_Sprite = m_saved.cursor;
        Transition_Kind = m_saved.transition;
        Current_Room = m_saved.room;
        Display_Error_Occurred = false;
        New_Room = ROOM_NONE;
        g_isNimbar = false;
        Variable_BuiltIn_Clear();
    }

    static const RVariableRoutine& Entry(const char* name) {
        const int id = Variable_BuiltIn_Find(name);
        EXPECT_GE(id, 0) << name;
        return builtin_variables[id < 0 ? 0 : id];
    }
    // The value read (the caller releases it).
    static RValue Read(const char* name, int index = kNoIndex) {
        RValue out = RValue_Real(-12345);
        Entry(name).f_getroutine(nullptr, index, &out);
        return out;
    }
    static double Get(const char* name, int index = kNoIndex) {
        RValue out = Read(name, index);
        const double d = out.Kind() == VALUE_REAL ? out.val : NAN;
        FREE_RValue(&out);
        return d;
    }
    static std::string GetText(const char* name, int index = kNoIndex) {
        RValue out = Read(name, index);
        std::string text = out.Kind() == VALUE_STRING && out.pRefString != nullptr && out.pRefString->Get()
                               ? out.pRefString->Get()
                               : "<not a string>";
        FREE_RValue(&out);
        return text;
    }
    // Writes the value (released afterwards); the setter's answer.
    static bool Set(const char* name, RValue v, int index = kNoIndex) {
        const RVariableRoutine& e = Entry(name);
        EXPECT_TRUE(e.f_canset) << name;
        const bool ok = e.f_setroutine != nullptr && e.f_setroutine(nullptr, index, &v);
        FREE_RValue(&v);
        return ok;
    }
    static bool Set(const char* name, double d, int index = kNoIndex) {
        return Set(name, RValue_Real(d), index);
    }
    static bool Set(const char* name, const char* text, int index = kNoIndex) {
        RValue v = RValue_Undefined();
        ZQSetString(&v, text);
        return Set(name, v, index);
    }

    // An object type whose Other events 6 and 9 record themselves, and an
    // instance of it in the room.
    void AddRecordingInstance() {
        const int object = Object_Add();
        CObjectVT* type = Object_Data(object);
        for (int subtype : {6, 9}) {
            CEvent* event = type->ZQCreateEvent(EVENT_OTHER, subtype);
            event->m_pCode = new CCode(-1, false);
            event->m_pCode->m_pFunc = &kRecordOther;
            event->m_defined = true;
        }
        ASSERT_NE(m_room->AddInstance(0.0f, 0.0f, object), nullptr);
    }

    std::unique_ptr<CRoom> m_room;
    struct {
        int32_t score, lives;
        double health;
        int32_t cursor, transition, room;
    } m_saved{};
};

TEST_F(GlobalBuiltIns, RegisteredAfterTheInstanceOnesInTheFixedOrder) {
    constexpr int kCount = static_cast<int>(sizeof kGlobalNames / sizeof kGlobalNames[0]);
    static_assert(kCount == GLOBAL_BUILTIN_COUNT + PLATFORM_BUILTIN_COUNT);
    EXPECT_EQ(g_nStartGlobalVariables, 85);
    ASSERT_EQ(builtin_numb, 85 + kCount);
    EXPECT_STREQ(builtin_variables[84].f_name, "layer");
    for (int i = 0; i < kCount; ++i) {
        const bool settable = kGlobalNames[i][0] == '=';
        const char* name = kGlobalNames[i] + (settable ? 1 : 0);
        EXPECT_STREQ(builtin_variables[85 + i].f_name, name) << "id " << 85 + i;
        EXPECT_EQ(builtin_variables[85 + i].f_canset, settable) << name;
        EXPECT_NE(builtin_variables[85 + i].f_getroutine, nullptr) << name;
    }
    EXPECT_EQ(Variable_BuiltIn_Find("os_type"), 203);
    EXPECT_EQ(Variable_BuiltIn_Find("browser_height"), 208);
    // The colour spellings share one getter and setter.
    EXPECT_EQ(Entry("background_colour").f_getroutine, Entry("background_color").f_getroutine);
    EXPECT_EQ(Entry("background_showcolour").f_setroutine, Entry("background_showcolor").f_setroutine);

    // A second initialisation gives the same table, not a longer one.
    INITIALIZE_Variable_BuiltIn();
    EXPECT_EQ(builtin_numb, 85 + kCount);
    EXPECT_EQ(Variable_BuiltIn_Find("argument"), 86);
}

// Writes and the values read back, over a running room.
TEST_F(GlobalBuiltIns, SettersStoreWhatTheGettersRead) {
    const struct {
        const char* name;
        int index;
        double written;
        const char* readName;
        int readIndex;
        double read;
    } cases[] = {
        {"room_width", kNoIndex, 321.5, "room_width", kNoIndex, 322}, // halves to even
        {"room_height", kNoIndex, 2.5, "room_height", kNoIndex, 2},   //
        {"room_persistent", kNoIndex, 0.6, "room_persistent", kNoIndex, 1},
        {"room_persistent", kNoIndex, 0.4, "room_persistent", kNoIndex, 0},
        {"score", kNoIndex, 2.5, "score", kNoIndex, 2},
        {"cursor_sprite", kNoIndex, 7, "cursor_sprite", kNoIndex, 7},
        {"background_color", kNoIndex, 4278190208.0, "background_color", kNoIndex, 4278190208.0},
        {"background_colour", kNoIndex, 255, "background_color", kNoIndex, 255},
        {"background_showcolour", kNoIndex, 0, "background_showcolor", kNoIndex, 0},
        {"background_x", 9, 5.5, "background_x", 0, 5.5}, // out of range: slot 0
        {"background_y", 3, 0.1, "background_y", 3, static_cast<double>(0.1f)},
        {"background_index", 7, 4.5, "background_index", 7, 4},
        {"background_visible", 2, 1, "background_visible", 2, 1},
        {"background_blend", 1, 4294967295.0, "background_blend", 1, 4294967295.0},
        {"view_xview", -1, 7, "view_xview", 0, 7}, // negative: view 0
        {"view_wport", 3, 100.5, "view_wport", 3, 100},
        {"view_object", 2, 100001, "view_object", 2, 100001},
        {"view_camera", 5, 3, "view_camera", 5, 3},
        {"view_enabled", kNoIndex, 1, "view_enabled", kNoIndex, 1},
        {"transition_kind", kNoIndex, 5, "transition_kind", kNoIndex, 0},
        {"transition_steps", kNoIndex, 9, "transition_steps", kNoIndex, 0},
        {"error_occurred", kNoIndex, 0.5, "error_occurred", kNoIndex, 1},
        {"error_occurred", kNoIndex, 0.49, "error_occurred", kNoIndex, 0},
        {"font_texture_page_size", kNoIndex, 2048, "font_texture_page_size", kNoIndex, 2048},
        {"keyboard_key", kNoIndex, 65, "keyboard_key", kNoIndex, 65},
        {"keyboard_lastkey", kNoIndex, 66, "keyboard_lastkey", kNoIndex, 66},
        {"mouse_button", kNoIndex, 2, "mouse_button", kNoIndex, 2},
        {"mouse_lastbutton", kNoIndex, 3, "mouse_lastbutton", kNoIndex, 3},
        {"show_lives", kNoIndex, 1, "show_lives", kNoIndex, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(Set(c.name, c.written, c.index));
        EXPECT_EQ(Get(c.readName, c.readIndex), c.read);
    }
    EXPECT_EQ(m_room->m_backgrounds[0].x, 5.5f);
    EXPECT_EQ(m_room->m_views[0].xview, 7.0f);
    EXPECT_EQ(m_room->m_views[2].follow, 100001);

    Score_ShowCaptionSet = false;
    EXPECT_TRUE(Set("show_score", 0.0));
    EXPECT_EQ(Get("show_score"), 0);
    EXPECT_TRUE(Score_ShowCaptionSet);
    Score_ShowCaption = true;
    Lives_ShowCaption = false;
    IO_Clear();
    g_nFontTextureSize = 1024;
}

TEST_F(GlobalBuiltIns, FixedAndPlatformValues) {
    const struct {
        const char* name;
        double value;
    } cases[] = {
        {"secure_mode", 0},    {"application_surface", -17899859},
        {"os_type", 1},        {"os_device", -1},
        {"os_browser", -1},    {"browser_width", 0},
        {"browser_height", 0}, {"instance_count", 0},
        {"argument_count", 0}, {"argument_relative", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(Get(c.name), c.value) << c.name;

    RValue p = Read("pointer_invalid");
    EXPECT_EQ(p.Kind(), VALUE_PTR);
    EXPECT_EQ(reinterpret_cast<intptr_t>(p.ptr), -1);
    p = Read("pointer_null");
    EXPECT_EQ(p.Kind(), VALUE_PTR);
    EXPECT_EQ(p.ptr, nullptr);
    RValue u = Read("undefined");
    EXPECT_EQ(u.Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(GetText("game_guid"), "");
    EXPECT_GT(Get("os_version"), 0);

    // program_directory: the executable's folder without its separator.
    const std::string exe = GetExeName();
    EXPECT_EQ(GetText("program_directory"), exe.substr(0, exe.rfind('/')));

    const double month = Get("current_month"), weekday = Get("current_weekday");
    EXPECT_TRUE(month >= 1 && month <= 12);
    EXPECT_TRUE(weekday >= 0 && weekday <= 6);
    EXPECT_GE(Get("current_year"), 2024);
}

// Global initialisation code runs before any room: reads give a fresh room's
// settings and writes change nothing, and nothing dereferences the null room.
TEST_F(GlobalBuiltIns, NoRoomReadsDefaultsAndIgnoresWrites) {
    Run_Room = nullptr;
    const struct {
        const char* name;
        int index;
        double value;
    } reads[] = {
        {"room_width", kNoIndex, 640},
        {"room_height", kNoIndex, 480},
        {"room_speed", kNoIndex, 30},
        {"room_persistent", kNoIndex, 0},
        {"background_color", kNoIndex, 0xC0C0C0},
        {"background_showcolor", kNoIndex, 1},
        {"background_x", 3, 0},
        {"background_xscale", 9, 1},
        {"background_index", 0, -1},
        {"background_width", 0, 0},
        {"view_enabled", kNoIndex, 0},
        {"view_wview", 2, 640},
        {"view_hport", 0, 480},
        {"view_object", 7, -1},
        {"instance_count", kNoIndex, 0},
        {"instance_id", 0, -4},
    };
    for (const auto& r : reads) EXPECT_EQ(Get(r.name, r.index), r.value) << r.name;
    EXPECT_EQ(GetText("room_caption"), "");

    for (const char* name : {"room_width", "room_height", "room_speed", "room_persistent", "background_color",
                             "background_x", "view_xview", "view_wport", "view_enabled"})
        EXPECT_TRUE(Set(name, 5.0, 0)) << name;
    EXPECT_TRUE(Set("room_caption", "title"));
    EXPECT_EQ(Get("room_width"), 640);
    EXPECT_EQ(Get("view_xview", 0), 0);
    EXPECT_EQ(GetText("room_caption"), "");
}

TEST_F(GlobalBuiltIns, InstanceIdWalksTheActiveList) {
    Object_Add();
    std::vector<int> ids;
    for (int i = 0; i < 3; ++i) ids.push_back(m_room->AddInstance(0.0f, 0.0f, 0)->i_id);
    EXPECT_EQ(Get("instance_count"), 3);
    std::vector<int> read;
    for (int i = 0; i < 3; ++i) read.push_back(static_cast<int>(Get("instance_id", i)));
    std::vector<int> listed;
    for (CInstance* p = m_room->m_pFirstActive; p != nullptr; p = p->m_pNext) listed.push_back(p->i_id);
    EXPECT_EQ(read, listed);
    EXPECT_EQ(Get("instance_id", 3), -4);
    EXPECT_EQ(Get("instance_id", -1), -4);

    // Reading on after the list changed (an instance deleted, one added at
    // the head) follows the list as it is now, not a remembered position.
    EXPECT_EQ(Get("instance_id", 1), listed[1]);
    m_room->DeleteInstance(CInstance::Find(listed[0]));
    EXPECT_EQ(Get("instance_id", 1), listed[2]);
    const int head = m_room->AddInstance(0.0f, 0.0f, -10, 0)->i_id;
    EXPECT_EQ(Get("instance_id", 0), head);
    EXPECT_EQ(Get("instance_id", 2), listed[2]);
}

TEST_F(GlobalBuiltIns, RoomSpeedStoresTheRoundedValueThatPassedTheTest) {
    ErrorCapture errors;
    EXPECT_TRUE(Set("room_speed", 0.6));
    EXPECT_EQ(m_room->m_speed, 1); // never 0, which the step would divide by
    EXPECT_TRUE(Set("room_speed", 30.7));
    EXPECT_EQ(Get("room_speed"), 31);

    for (double refused : {0.4, 0.0, -3.0, static_cast<double>(NAN)}) {
        EXPECT_FALSE(Set("room_speed", refused)) << refused;
        EXPECT_EQ(m_room->m_speed, 31);
        EXPECT_EQ(errors.LastShown(), "Trying to set the room speed to a value <= 0.");
    }

    // New-generation data: the game clock takes the unrounded rate.
    g_isNimbar = true;
    const double savedRate = g_GameTimer.GetFrameRate();
    EXPECT_TRUE(Set("room_speed", 30.7));
    EXPECT_DOUBLE_EQ(Get("room_speed"), 30.7);
    EXPECT_EQ(m_room->m_speed, 31);
    g_GameTimer.SetFrameRate(savedRate);
}

TEST_F(GlobalBuiltIns, LivesAndHealthRaiseTheirEventOncePerCrossing) {
    AddRecordingInstance();
    const struct {
        const char* name;
        double from, to;
        bool raised;
    } cases[] = {
        {"lives", 1, 0, true},    {"lives", 0, -1, false},   {"lives", 3, 0.4, true},
        {"lives", 3, 0.6, false}, {"lives", -1, 5, false},   {"health", 10, 0, true},
        {"health", 0, -5, false}, {"health", 10, NAN, true}, {"health", 10, 0.1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " to " + std::to_string(c.to));
        Lives = static_cast<int32_t>(c.from);
        Health = c.from;
        g_seen.clear();
        EXPECT_TRUE(Set(c.name, c.to));
        const int subtype = c.name[0] == 'l' ? 6 : 9;
        ASSERT_EQ(g_seen.size(), c.raised ? 1u : 0u);
        if (c.raised) {
            EXPECT_EQ(g_seen[0].subtype, subtype);
            // The event already sees the new value.
            if (subtype == 6) {
                EXPECT_LE(g_seen[0].lives, 0);
            } else {
                EXPECT_FALSE(g_seen[0].health > 0);
            }
        }
    }
}

TEST_F(GlobalBuiltIns, ArgumentsAreReadAndWrittenWithinTheCallsVector) {
    ErrorCapture errors;
    RValue args[2] = {RValue_Real(10), RValue_Undefined()};
    ZQSetString(&args[1], "two");
    Argument = args;
    g_ArgumentCount = 2;

    EXPECT_EQ(Get("argument_count"), 2);
    EXPECT_EQ(Get("argument0"), 10);
    EXPECT_EQ(GetText("argument1"), "two");
    EXPECT_EQ(Get("argument", 0), 10);
    EXPECT_EQ(GetText("argument", 1), "two");
    RValue none = Read("argument2");
    EXPECT_EQ(none.Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(errors.Count(), 0);

    RValue missing = Read("argument", 2);
    EXPECT_EQ(missing.Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(ErrorReportMessage(errors.LastShown()),
              "illegal access of argument, argument is not provided to script");
    EXPECT_TRUE(aborterror); // fatal
    aborterror = false;
    New_Room = ROOM_NONE;

    // argument[20] writes argument 0; writes past the supplied arguments are
    // refused and touch nothing.
    EXPECT_TRUE(Set("argument", 20.0, 20));
    EXPECT_EQ(args[0].val, 20);
    EXPECT_FALSE(Set("argument", 7.0, 7));
    EXPECT_FALSE(Set("argument5", 1.0));
    EXPECT_FALSE(Set("argument15", 1.0));

    // An element write makes the argument an array by the write rule.
    EXPECT_TRUE(Set("argument0", 4.0, 2));
    ASSERT_EQ(args[0].Kind(), VALUE_ARRAY);
    EXPECT_EQ(Get("argument0", 2), 4);

    // An inconsistent vector (a count without values) reads and writes nothing.
    Argument = nullptr;
    g_ArgumentCount = 3;
    EXPECT_EQ(Get("argument_count"), 0);
    EXPECT_FALSE(Set("argument1", 1.0));
    EXPECT_EQ(Read("argument1").Kind(), VALUE_UNDEFINED);
    FREE_RValue(&args[0]);
    FREE_RValue(&args[1]);
}

TEST_F(GlobalBuiltIns, StringVariablesCheckTheWrittenKind) {
    EXPECT_TRUE(Set("room_caption", "Level 1"));
    EXPECT_EQ(GetText("room_caption"), "Level 1");
    EXPECT_TRUE(Set("room_caption", 5.0)); // not a string: the caption is cleared
    EXPECT_EQ(m_room->m_pCaption, nullptr);
    EXPECT_EQ(GetText("room_caption"), "");

    RefString* savedScore = Score_Caption;
    Score_Caption = nullptr;
    EXPECT_EQ(GetText("caption_score"), "");
    EXPECT_TRUE(Set("caption_score", "Points: "));
    EXPECT_EQ(GetText("caption_score"), "Points: ");
    EXPECT_FALSE(Set("caption_score", 5.0));
    EXPECT_EQ(GetText("caption_score"), "Points: ");
    Score_Caption->Dec();
    Score_Caption = savedScore;

    EXPECT_TRUE(Set("error_last", "custom"));
    EXPECT_EQ(GetText("error_last"), "custom");
    EXPECT_FALSE(Set("error_last", 1.0));
    EXPECT_EQ(GetText("error_last"), "custom");

    IO_Clear();
    EXPECT_TRUE(Set("keyboard_lastchar", "xyz"));
    EXPECT_EQ(IO_Char_Last_Get(), static_cast<unsigned>('x'));
    EXPECT_EQ(GetText("keyboard_lastchar"), "x");
    EXPECT_TRUE(Set("keyboard_lastchar", 65.0));
    EXPECT_EQ(IO_Char_Last_Get(), static_cast<unsigned>('x'));
    EXPECT_TRUE(Set("keyboard_string", "hello"));
    EXPECT_EQ(GetText("keyboard_string"), "hello");
    EXPECT_TRUE(Set("keyboard_string", 3.0));
    EXPECT_EQ(GetText("keyboard_string"), "");
    IO_Clear();
}

TEST(WorkingDirectory, TheFirstGameFilePathSetsIt) {
    char* savedDir = g_pWorkingDirectory != nullptr ? ZQStrDup(g_pWorkingDirectory) : nullptr;
    char* savedGame = g_pGameFileName;
    const struct {
        const char* game;
        const char* dir;
    } cases[] = {
        {"/tmp/games/game.ios", "/tmp/games/"}, {"C:\\games\\game.ios", "C:\\games\\"}, {"game.ios", ""}};
    for (const auto& c : cases) {
        LoadSave_SetWorkingDirectory(nullptr);
        g_pGameFileName = ZQStrDup(c.game);
        SetWorkingDirectory();
        ASSERT_NE(g_pWorkingDirectory, nullptr) << c.game;
        EXPECT_STREQ(g_pWorkingDirectory, c.dir);
        // Later calls keep the first answer.
        ZQ_Free(g_pGameFileName);
        g_pGameFileName = ZQStrDup("/elsewhere/other.ios");
        SetWorkingDirectory();
        EXPECT_STREQ(g_pWorkingDirectory, c.dir);
        ZQ_Free(g_pGameFileName);
    }
    g_pGameFileName = savedGame;
    LoadSave_SetWorkingDirectory(savedDir);
    ZQ_Free(savedDir);
}

} // namespace
