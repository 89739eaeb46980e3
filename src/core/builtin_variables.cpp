// [SECTION] index: conversions, script arguments, fixed values, room and
// game control, score/lives/health, game and files, running room, legacy
// backgrounds, views, mouse and keyboard, captions, clock, events and errors,
// platform, registration tables, working directory.
//
// The global built-in variables: windows onto state other modules own (the
// running room, the input state, the run globals, the error report). Every
// getter writes its destination, releasing what it held first, so a stale
// string never survives a read. Setters convert the written value to a real
// first; integers are rint (halves to even) through the one conversion helper.
//
// No room runs while the game's global initialisation code runs (and between
// games): then the room, background and view variables read the settings of a
// fresh room and writes to them change nothing. Nothing here dereferences a
// null Run_Room.
#include "core/builtin_variables.h"

#include <sys/utsname.h>

#include <cstdio>
#include <cstring>

#include "core/arguments.h"
#include "core/builtin_services.h"
#include "core/code.h"
#include "core/console.h"
#include "core/date_time.h"
#include "core/error.h"
#include "core/file_paths.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "core/real_to_int.h"
#include "core/ref_string.h"
#include "core/run_globals.h"
#include "core/run_state.h"
#include "core/rvalue.h"
#include "core/script.h"
#include "core/timing.h"
#include "core/timing_source.h"
#include "core/utf8.h"
#include "core/variable_names.h"
#include "room/room.h"
#include "room/room_services.h"
#include "room/room_table.h"
#include "world/builtins/room_control.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/input/input_state.h"
#include "world/instances/instance.h"
#include "world/lifecycle/instance_variables.h"
#include "world/objects/event.h"

int32_t g_nStartGlobalVariables = 0;

namespace {

// The Other events raised when lives or health run out.
constexpr int kOtherNoMoreLives = 6;
constexpr int kOtherNoMoreHealth = 9;

// [SECTION] conversions

inline bool Put(RValue* out, double d) {
    FREE_RValue(out);
    *out = RValue_Real(d);
    return true;
}

// A string value holding a copy of the text (null reads as the empty text).
inline bool PutText(RValue* out, const char* text) {
    ZQCreateString(out, text != nullptr ? text : "");
    return true;
}

inline double X(RValue* in) {
    return REAL_RValue(in);
}

inline int32_t Rint(RValue* in) {
    return RealRoundToInt32(REAL_RValue(in));
}

// rint into 32 bits, wrapped: colours above 0x7FFFFFFF keep their bits.
inline uint32_t RintWrapped(RValue* in) {
    return static_cast<uint32_t>(RealRoundToInt64(REAL_RValue(in)));
}

inline bool Flag(RValue* in) {
    return Rint(in) > 0;
}

// The text of a string value, or null for any other kind.
inline const char* StringText(const RValue* in) {
    if (in->Kind() != VALUE_STRING || in->pRefString == nullptr) return nullptr;
    return in->pRefString->Get();
}

// Replaces a held string record with the written value's record (one
// reference added). Only strings are taken: false, nothing changed, else.
bool ReplaceRecord(RefString** held, RValue* in) {
    if (in->Kind() != VALUE_STRING) return false;
    RefString* record = in->pRefString;
    if (record != nullptr) record->Inc();
    if (*held != nullptr) (*held)->Dec();
    *held = record;
    return true;
}

inline bool PutRecord(RValue* out, const RefString* record) {
    return PutText(out, record != nullptr ? record->Get() : nullptr);
}

// Indexed slots: an index outside 0-7 (the no-index marker included) is 0.
inline int Slot(int index) {
    return index >= 0 && index < 8 ? index : 0;
}

// [SECTION] script arguments

// The running call's argument i, or null when the call supplied fewer.
inline RValue* ArgumentAt(int i) {
    return Argument != nullptr && i >= 0 && i < g_ArgumentCount ? &Argument[i] : nullptr;
}

bool GV_argument_relative(CInstance*, int, RValue* out) {
    return Put(out, Code_Main_GET_Argument_Relative() ? 1.0 : 0.0);
}

bool GV_argument(CInstance*, int index, RValue* out) {
    FREE_RValue(out);
    const RValue* arg = ArgumentAt(index);
    if (arg == nullptr) {
        Error_Show_Action("illegal access of argument, argument is not provided to script", true);
        return false;
    }
    COPY_RValue(out, arg);
    return true;
}

// The whole value replaces argument i (0-15, else 0). The vector holds exactly
// the values the call supplied: an argument the call did not supply is not
// written (that slot does not exist).
bool SV_argument(CInstance*, int index, RValue* in) {
    RValue* arg = ArgumentAt(index >= 0 && index < 16 ? index : 0);
    if (arg == nullptr) return false;
    if (arg == in) return true;
    RValue copy;
    COPY_RValue(&copy, in);
    FREE_RValue(arg);
    RValue_MoveInto(arg, &copy);
    return true;
}

template <int N>
bool GV_argumentN(CInstance*, int index, RValue* out) {
    RValue* arg = ArgumentAt(N);
    if (arg == nullptr) {
        FREE_RValue(out);
        return true; // undefined
    }
    GET_RValue(out, arg, index);
    return true;
}

template <int N>
bool SV_argumentN(CInstance*, int index, RValue* in) {
    RValue* arg = ArgumentAt(N);
    if (arg == nullptr) return false;
    SET_RValue(arg, in, index);
    return true;
}

bool GV_argument_count(CInstance*, int, RValue* out) {
    return Put(out, Argument != nullptr ? g_ArgumentCount : 0);
}

// [SECTION] fixed values

bool GV_debug_mode(CInstance*, int, RValue* out) {
    return Put(out, g_pZQHeader != nullptr && (g_pZQHeader[0] & 1) == 0 ? 1.0 : 0.0);
}

bool PutPointer(RValue* out, intptr_t pointer) {
    FREE_RValue(out);
    out->ptr = reinterpret_cast<void*>(pointer);
    out->flags = 0;
    out->kind = VALUE_PTR;
    return true;
}
bool GV_pointer_invalid(CInstance*, int, RValue* out) {
    return PutPointer(out, -1);
}
bool GV_pointer_null(CInstance*, int, RValue* out) {
    return PutPointer(out, 0);
}
bool GV_undefined(CInstance*, int, RValue* out) {
    FREE_RValue(out);
    return true;
}
bool GV_secure_mode(CInstance*, int, RValue* out) {
    return Put(out, 0.0);
}
bool GV_transition_steps(CInstance*, int, RValue* out) {
    return Put(out, 0.0);
}
bool SV_transition_steps(CInstance*, int, RValue*) {
    return true;
}
bool GV_game_guid(CInstance*, int, RValue* out) {
    return PutText(out, "");
}

// [SECTION] room and game control

bool GV_room(CInstance*, int, RValue* out) {
    return Put(out, Current_Room);
}
bool SV_room(CInstance*, int, RValue* in) {
    Command_GotoRoom(Rint(in));
    return true;
}
bool GV_room_first(CInstance*, int, RValue* out) {
    return Put(out, Room_First());
}
bool GV_room_last(CInstance*, int, RValue* out) {
    return Put(out, Room_Last());
}

// Transitions are not drawn: the kind always reads 0 again.
bool GV_transition_kind(CInstance*, int, RValue* out) {
    return Put(out, Transition_Kind);
}
bool SV_transition_kind(CInstance*, int, RValue* in) {
    Transition_Kind = Rint(in);
    dbg_csol->Output("BUG: Room transitions don't function well - setting to 0 - look at Variable_BuiltIn "
                     "SV_TransitionKind() .\n");
    Transition_Kind = 0;
    return true;
}

// [SECTION] score, lives, health

bool GV_score(CInstance*, int, RValue* out) {
    return Put(out, Score);
}
bool SV_score(CInstance*, int, RValue* in) {
    Score = Rint(in);
    return true;
}

// Store first, then test: the events already see the new value, and they run
// once per crossing from above 0 to 0 or less.
bool GV_lives(CInstance*, int, RValue* out) {
    return Put(out, Lives);
}
bool SV_lives(CInstance*, int, RValue* in) {
    const int32_t old = Lives;
    Lives = Rint(in);
    if (old > 0 && Lives <= 0) Perform_Event_All(EVENT_OTHER, kOtherNoMoreLives);
    return true;
}
bool GV_health(CInstance*, int, RValue* out) {
    return Put(out, Health);
}
bool SV_health(CInstance*, int, RValue* in) {
    const double old = Health;
    Health = X(in);
    if (old > 0.0 && !(Health > 0.0)) Perform_Event_All(EVENT_OTHER, kOtherNoMoreHealth);
    return true;
}

// [SECTION] game and files

bool GV_game_id(CInstance*, int, RValue* out) {
    return Put(out, Game_Id);
}
bool GV_game_display_name(CInstance*, int, RValue* out) {
    return PutText(out, g_pGameDisplayName != nullptr ? g_pGameDisplayName : "Made with Vantor: Forlan");
}
bool GV_game_project_name(CInstance*, int, RValue* out) {
    return PutText(out, g_pGameProjectName);
}
bool GV_game_save_id(CInstance*, int, RValue* out) {
    return PutText(out, GetSavePrePend());
}
bool GV_working_directory(CInstance*, int, RValue* out) {
    return PutText(out, g_pWorkingDirectory);
}
bool GV_temp_directory(CInstance*, int, RValue* out) {
    char* dir = File_TempDir();
    PutText(out, dir);
    ZQ_Free(dir);
    return true;
}
bool GV_program_directory(CInstance*, int, RValue* out) {
    char* dir = ExtractFilePath(GetExeName());
    if (dir != nullptr) {
        const size_t length = std::strlen(dir);
        if (length > 0 && (dir[length - 1] == '/' || dir[length - 1] == '\\')) dir[length - 1] = '\0';
    }
    PutText(out, dir);
    ZQ_Free(dir);
    return true;
}
bool GV_application_surface(CInstance*, int, RValue* out) {
    return Put(out, g_ApplicationSurface);
}
bool GV_font_texture_page_size(CInstance*, int, RValue* out) {
    return Put(out, g_nFontTextureSize);
}
bool SV_font_texture_page_size(CInstance*, int, RValue* in) {
    g_nFontTextureSize = static_cast<int32_t>(ZQGetInt64(in, 0));
    return true;
}

// [SECTION] running room

// The settings of a fresh room, read while no room runs.
struct SRoomDefaults {
    int32_t width = 640;
    int32_t height = 480;
    int32_t speed = 30;
    bool persistent = false;
    uint32_t colour = 0xC0C0C0;
    bool showColour = true;
    bool enableViews = false;
};
constexpr SRoomDefaults kNoRoom;

bool GV_instance_count(CInstance*, int, RValue* out) {
    return Put(out, Run_Room != nullptr ? Run_Room->m_activeCount : 0);
}

// A walk from the head of the active list: the list has no index, and a
// cached position could not tell whether the list changed since.
// Scripts read instance_id[0], [1], ... in a loop: the last position read
// is remembered, so reading on from it walks only the gap while no active
// list has changed, and a loop over all instances stays linear.
struct SInstanceIdCursor {
    const CRoom* room = nullptr;
    uint32_t stamp = 0;
    int index = 0;
    CInstance* at = nullptr;
} g_InstanceIdCursor;

bool GV_instance_id(CInstance*, int index, RValue* out) {
    CRoom* room = Run_Room;
    if (room == nullptr || index < 0 || index >= room->m_activeCount) return Put(out, -4.0);
    SInstanceIdCursor& c = g_InstanceIdCursor;
    CInstance* instance = room->m_pFirstActive;
    int i = 0;
    if (c.room == room && c.stamp == CRoom::ms_activeListStamp && c.at != nullptr && c.index <= index) {
        instance = c.at;
        i = c.index;
    }
    for (; i < index && instance != nullptr; ++i) instance = instance->m_pNext;
    if (instance == nullptr) return Put(out, -4.0);
    c = {room, CRoom::ms_activeListStamp, index, instance};
    return Put(out, instance->i_id);
}

bool GV_room_width(CInstance*, int, RValue* out) {
    return Put(out, Run_Room != nullptr ? Run_Room->m_width : kNoRoom.width);
}
bool SV_room_width(CInstance*, int, RValue* in) {
    if (Run_Room != nullptr) Run_Room->m_width = Rint(in);
    return true;
}
bool GV_room_height(CInstance*, int, RValue* out) {
    return Put(out, Run_Room != nullptr ? Run_Room->m_height : kNoRoom.height);
}
bool SV_room_height(CInstance*, int, RValue* in) {
    if (Run_Room != nullptr) Run_Room->m_height = Rint(in);
    return true;
}
bool GV_room_caption(CInstance*, int, RValue* out) {
    return PutText(out, Run_Room != nullptr ? Run_Room->m_pCaption : nullptr);
}
bool SV_room_caption(CInstance*, int, RValue* in) {
    if (Run_Room == nullptr) return true;
    const char* text = StringText(in);
    char* copy = text != nullptr && text[0] != '\0' ? ZQStrDup(text) : nullptr;
    ZQ_Free(Run_Room->m_pCaption);
    Run_Room->m_pCaption = copy;
    return true;
}

// New-generation data paces by the game clock, older data by the room speed.
bool GV_room_speed(CInstance*, int, RValue* out) {
    if (g_isNimbar) return Put(out, g_GameTimer.GetFPS());
    return Put(out, Run_Room != nullptr ? Run_Room->m_speed : kNoRoom.speed);
}
// The value is tested rounded and stored rounded: storing it truncated would
// let 0.6 pass the test and leave a speed of 0 to divide by.
bool SV_room_speed(CInstance*, int, RValue* in) {
    const double x = X(in);
    const int32_t n = RealRoundToInt32(x);
    // NaN and out-of-range values round to INT32_MIN, so they are refused too.
    if (n <= 0) {
        Error_Show("Trying to set the room speed to a value <= 0.", false);
        return false;
    }
    if (g_isNimbar)
        g_GameTimer.SetFrameRate(x);
    else if (Run_Room != nullptr)
        Run_Room->m_speed = n;
    return true;
}
bool GV_room_persistent(CInstance*, int, RValue* out) {
    return Put(out, (Run_Room != nullptr ? Run_Room->m_persistent : kNoRoom.persistent) ? 1.0 : 0.0);
}
bool SV_room_persistent(CInstance*, int, RValue* in) {
    if (Run_Room != nullptr) Run_Room->m_persistent = Flag(in);
    return true;
}

// [SECTION] legacy backgrounds

bool GV_background_color(CInstance*, int, RValue* out) {
    return Put(out, Run_Room != nullptr ? static_cast<uint32_t>(Run_Room->m_colour) : kNoRoom.colour);
}
bool SV_background_color(CInstance*, int, RValue* in) {
    if (Run_Room != nullptr) Run_Room->m_colour = static_cast<int32_t>(RintWrapped(in));
    return true;
}
bool GV_background_showcolor(CInstance*, int, RValue* out) {
    return Put(out, (Run_Room != nullptr ? Run_Room->m_showColour : kNoRoom.showColour) ? 1.0 : 0.0);
}
bool SV_background_showcolor(CInstance*, int, RValue* in) {
    if (Run_Room != nullptr) Run_Room->m_showColour = Flag(in);
    return true;
}

// The slot a read sees: the running room's, or a fresh slot with no room.
const CBackVT& BackRead(int index) {
    static const CBackVT kNoBackground{};
    return Run_Room != nullptr ? Run_Room->m_backgrounds[Slot(index)] : kNoBackground;
}
// The slot a write changes, or null with no room.
CBackVT* BackWrite(int index) {
    return Run_Room != nullptr ? &Run_Room->m_backgrounds[Slot(index)] : nullptr;
}

#define ZQ_BACK_FIELD(name, field, read, write)                                                              \
    bool GV_##name(CInstance*, int index, RValue* out) {                                                     \
        return Put(out, read(BackRead(index).field));                                                        \
    }                                                                                                        \
    bool SV_##name(CInstance*, int index, RValue* in) {                                                      \
        if (CBackVT* back = BackWrite(index)) back->field = write(in);                                       \
        return true;                                                                                         \
    }

inline double ReadFlag(bool b) {
    return b ? 1.0 : 0.0;
}
inline double ReadNumber(double d) {
    return d;
}
inline float WriteReal(RValue* in) {
    return static_cast<float>(X(in));
}

ZQ_BACK_FIELD(background_visible, visible, ReadFlag, Flag)
ZQ_BACK_FIELD(background_foreground, foreground, ReadFlag, Flag)
ZQ_BACK_FIELD(background_index, index, ReadNumber, Rint)
ZQ_BACK_FIELD(background_x, x, ReadNumber, WriteReal)
ZQ_BACK_FIELD(background_y, y, ReadNumber, WriteReal)
ZQ_BACK_FIELD(background_htiled, htiled, ReadFlag, Flag)
ZQ_BACK_FIELD(background_vtiled, vtiled, ReadFlag, Flag)
ZQ_BACK_FIELD(background_xscale, xscale, ReadNumber, WriteReal)
ZQ_BACK_FIELD(background_yscale, yscale, ReadNumber, WriteReal)
ZQ_BACK_FIELD(background_hspeed, hspeed, ReadNumber, WriteReal)
ZQ_BACK_FIELD(background_vspeed, vspeed, ReadNumber, WriteReal)
ZQ_BACK_FIELD(background_blend, blend, ReadNumber, RintWrapped)
ZQ_BACK_FIELD(background_alpha, alpha, ReadNumber, WriteReal)

bool GV_background_width(CInstance*, int index, RValue* out) {
    int width = 0, height = 0;
    if (!Room_BackgroundSize(BackRead(index).index, &width, &height)) width = 0;
    return Put(out, width);
}
bool GV_background_height(CInstance*, int index, RValue* out) {
    int width = 0, height = 0;
    if (!Room_BackgroundSize(BackRead(index).index, &width, &height)) height = 0;
    return Put(out, height);
}

// [SECTION] views

bool GV_view_enabled(CInstance*, int, RValue* out) {
    return Put(out, (Run_Room != nullptr ? Run_Room->m_enableViews : kNoRoom.enableViews) ? 1.0 : 0.0);
}
bool SV_view_enabled(CInstance*, int, RValue* in) {
    if (Run_Room != nullptr) Run_Room->m_enableViews = Flag(in);
    return true;
}
bool GV_view_current(CInstance*, int, RValue* out) {
    return Put(out, Current_View);
}

const CViewVT& ViewRead(int index) {
    static const CViewVT kNoView = [] {
        CViewVT view;
        view.Clear();
        return view;
    }();
    return Run_Room != nullptr ? Run_Room->m_views[Slot(index)] : kNoView;
}
CViewVT* ViewWrite(int index) {
    return Run_Room != nullptr ? &Run_Room->m_views[Slot(index)] : nullptr;
}

#define ZQ_VIEW_FIELD(name, field, read, write)                                                              \
    bool GV_##name(CInstance*, int index, RValue* out) {                                                     \
        return Put(out, read(ViewRead(index).field));                                                        \
    }                                                                                                        \
    bool SV_##name(CInstance*, int index, RValue* in) {                                                      \
        if (CViewVT* view = ViewWrite(index)) view->field = write(in);                                       \
        return true;                                                                                         \
    }

ZQ_VIEW_FIELD(view_visible, visible, ReadFlag, Flag)
ZQ_VIEW_FIELD(view_xview, xview, ReadNumber, WriteReal)
ZQ_VIEW_FIELD(view_yview, yview, ReadNumber, WriteReal)
ZQ_VIEW_FIELD(view_wview, wview, ReadNumber, WriteReal)
ZQ_VIEW_FIELD(view_hview, hview, ReadNumber, WriteReal)
ZQ_VIEW_FIELD(view_xport, xport, ReadNumber, Rint)
ZQ_VIEW_FIELD(view_yport, yport, ReadNumber, Rint)
ZQ_VIEW_FIELD(view_wport, wport, ReadNumber, Rint)
ZQ_VIEW_FIELD(view_hport, hport, ReadNumber, Rint)
ZQ_VIEW_FIELD(view_angle, angle, ReadNumber, WriteReal)
ZQ_VIEW_FIELD(view_hborder, hborder, ReadNumber, Rint)
ZQ_VIEW_FIELD(view_vborder, vborder, ReadNumber, Rint)
ZQ_VIEW_FIELD(view_hspeed, hspeed, ReadNumber, Rint)
ZQ_VIEW_FIELD(view_vspeed, vspeed, ReadNumber, Rint)
ZQ_VIEW_FIELD(view_object, follow, ReadNumber, Rint)
ZQ_VIEW_FIELD(view_surface_id, surface, ReadNumber, Rint)
ZQ_VIEW_FIELD(view_camera, camera, ReadNumber, Rint)

// [SECTION] mouse and keyboard

bool GV_mouse_x(CInstance*, int, RValue* out) {
    return Put(out, GR_Window_Views_Mouse_Get_X(0));
}
bool GV_mouse_y(CInstance*, int, RValue* out) {
    return Put(out, GR_Window_Views_Mouse_Get_Y(0));
}
bool GV_mouse_button(CInstance*, int, RValue* out) {
    return Put(out, IO_Button_Current_Get(0));
}
bool SV_mouse_button(CInstance*, int, RValue* in) {
    IO_Button_Current_Set(Rint(in), 0);
    return true;
}
bool GV_mouse_lastbutton(CInstance*, int, RValue* out) {
    return Put(out, IO_Button_Last_Get(0));
}
bool SV_mouse_lastbutton(CInstance*, int, RValue* in) {
    IO_Button_Last_Set(Rint(in), 0);
    return true;
}
bool GV_keyboard_key(CInstance*, int, RValue* out) {
    return Put(out, IO_Key_Current_Get());
}
bool SV_keyboard_key(CInstance*, int, RValue* in) {
    IO_Key_Current_Set(Rint(in));
    return true;
}
bool GV_keyboard_lastkey(CInstance*, int, RValue* out) {
    return Put(out, IO_Key_Last_Get());
}
bool SV_keyboard_lastkey(CInstance*, int, RValue* in) {
    IO_Key_Last_Set(Rint(in));
    return true;
}
bool GV_keyboard_lastchar(CInstance*, int, RValue* out) {
    char text[4] = {};
    char* cursor = text;
    utf8_add_char(&cursor, static_cast<uint16_t>(IO_Char_Last_Get()));
    *cursor = '\0';
    return PutText(out, text);
}
// Only the first byte of a string is taken; other kinds change nothing.
bool SV_keyboard_lastchar(CInstance*, int, RValue* in) {
    const char* text = StringText(in);
    if (text != nullptr && text[0] != '\0') IO_Char_Last_Set(text[0]);
    return true;
}
bool GV_keyboard_string(CInstance*, int, RValue* out) {
    return PutText(out, IO_String_Get());
}
bool SV_keyboard_string(CInstance*, int, RValue* in) {
    IO_String_Set(StringText(in));
    return true;
}
bool GV_cursor_sprite(CInstance*, int, RValue* out) {
    return Put(out, Cursor_Sprite);
}
bool SV_cursor_sprite(CInstance*, int, RValue* in) {
    Cursor_Sprite = Rint(in);
    return true;
}

// [SECTION] captions

bool GV_show_score(CInstance*, int, RValue* out) {
    return Put(out, Score_ShowCaption ? 1.0 : 0.0);
}
bool SV_show_score(CInstance*, int, RValue* in) {
    Score_ShowCaption = Flag(in);
    Score_ShowCaptionSet = true;
    return true;
}
bool GV_show_lives(CInstance*, int, RValue* out) {
    return Put(out, Lives_ShowCaption ? 1.0 : 0.0);
}
bool SV_show_lives(CInstance*, int, RValue* in) {
    Lives_ShowCaption = Flag(in);
    return true;
}
bool GV_show_health(CInstance*, int, RValue* out) {
    return Put(out, Health_ShowCaption ? 1.0 : 0.0);
}
bool SV_show_health(CInstance*, int, RValue* in) {
    Health_ShowCaption = Flag(in);
    return true;
}

// A caption holds the written string's record; a value that is not a string
// is refused (false) and leaves the caption as it was. No caption reads "".
bool GV_caption_score(CInstance*, int, RValue* out) {
    return PutRecord(out, Score_Caption);
}
bool SV_caption_score(CInstance*, int, RValue* in) {
    return ReplaceRecord(&Score_Caption, in);
}
bool GV_caption_lives(CInstance*, int, RValue* out) {
    return PutRecord(out, Lives_Caption);
}
bool SV_caption_lives(CInstance*, int, RValue* in) {
    return ReplaceRecord(&Lives_Caption, in);
}
bool GV_caption_health(CInstance*, int, RValue* out) {
    return PutRecord(out, Health_Caption);
}
bool SV_caption_health(CInstance*, int, RValue* in) {
    return ReplaceRecord(&Health_Caption, in);
}

// [SECTION] clock

bool GV_fps(CInstance*, int, RValue* out) {
    return Put(out, Fps);
}
bool GV_fps_real(CInstance*, int, RValue* out) {
    return Put(out, g_curRoomFPS);
}
bool GV_current_time(CInstance*, int, RValue* out) {
    return Put(out, static_cast<double>(Timing_Time() / 1000));
}

#define ZQ_CALENDAR(name, expr)                                                                              \
    bool GV_##name(CInstance*, int, RValue* out) {                                                           \
        const struct tm now = CurrentTimeToTM();                                                             \
        return Put(out, (expr));                                                                             \
    }
ZQ_CALENDAR(current_year, now.tm_year + 1900)
ZQ_CALENDAR(current_month, now.tm_mon + 1)
ZQ_CALENDAR(current_day, now.tm_mday)
ZQ_CALENDAR(current_weekday, now.tm_wday)
ZQ_CALENDAR(current_hour, now.tm_hour)
ZQ_CALENDAR(current_minute, now.tm_min)
ZQ_CALENDAR(current_second, now.tm_sec)

// [SECTION] events and errors

bool GV_event_type(CInstance*, int, RValue* out) {
    return Put(out, Current_Event_Type);
}
bool GV_event_number(CInstance*, int, RValue* out) {
    return Put(out, Current_Event_Number);
}
bool GV_event_object(CInstance*, int, RValue* out) {
    return Put(out, Current_Object);
}
bool GV_event_action(CInstance*, int, RValue* out) {
    return Put(out, Current_Action_Index);
}
bool GV_error_occurred(CInstance*, int, RValue* out) {
    return Put(out, Display_Error_Occurred ? 1.0 : 0.0);
}
bool SV_error_occurred(CInstance*, int, RValue* in) {
    Display_Error_Occurred = !(X(in) < 0.5);
    return true;
}
bool GV_error_last(CInstance*, int, RValue* out) {
    return PutRecord(out, Display_Error_Message);
}
// As the captions: only a string replaces the message.
bool SV_error_last(CInstance*, int, RValue* in) {
    return ReplaceRecord(&Display_Error_Message, in);
}

// [SECTION] platform

// The kernel release packed as the system version is: major << 24 |
// minor << 12 | patch ("6.1.0-18-amd64" gives 0x06001000).
double LinuxVersion() {
    struct utsname names {};
    if (uname(&names) != 0) return 0.0;
    unsigned major = 0, minor = 0, patch = 0;
    if (std::sscanf(names.release, "%u.%u.%u", &major, &minor, &patch) < 1) return 0.0;
    return static_cast<double>(((major & 0xFFu) << 24) | ((minor & 0xFFFu) << 12) | (patch & 0xFFFu));
}

bool GV_os_type(CInstance*, int, RValue* out) {
    return Put(out, OS_TYPE_LINUX);
}
bool GV_os_device(CInstance*, int, RValue* out) {
    return Put(out, -1.0);
}
bool GV_os_version(CInstance*, int, RValue* out) {
    static const double version = LinuxVersion();
    return Put(out, version);
}
bool GV_os_browser(CInstance*, int, RValue* out) {
    return Put(out, -1.0);
}
bool GV_browser_width(CInstance*, int, RValue* out) {
    return Put(out, Platform_WindowWidth());
}
bool GV_browser_height(CInstance*, int, RValue* out) {
    return Put(out, Platform_WindowHeight());
}

// [SECTION] registration tables

#define ZQ_ARG(n)                                                                                            \
    { "argument" #n, GV_argumentN<n>, SV_argumentN<n> }

// The order fixes the ids (g_nStartGlobalVariables + position).
const SBuiltInVariableRow kGlobalBuiltIns[GLOBAL_BUILTIN_COUNT] = {
    ZQ_VAR_RO(argument_relative),
    ZQ_VAR_RW(argument),
    ZQ_ARG(0),
    ZQ_ARG(1),
    ZQ_ARG(2),
    ZQ_ARG(3),
    ZQ_ARG(4),
    ZQ_ARG(5),
    ZQ_ARG(6),
    ZQ_ARG(7),
    ZQ_ARG(8),
    ZQ_ARG(9),
    ZQ_ARG(10),
    ZQ_ARG(11),
    ZQ_ARG(12),
    ZQ_ARG(13),
    ZQ_ARG(14),
    ZQ_ARG(15),
    ZQ_VAR_RO(argument_count),
    ZQ_VAR_RO(debug_mode),
    ZQ_VAR_RO(pointer_invalid),
    ZQ_VAR_RO(pointer_null),
    ZQ_VAR_RO(undefined),
    ZQ_VAR_RW(room),
    ZQ_VAR_RO(room_first),
    ZQ_VAR_RO(room_last),
    ZQ_VAR_RW(transition_kind),
    ZQ_VAR_RW(transition_steps),
    ZQ_VAR_RW(score),
    ZQ_VAR_RW(lives),
    ZQ_VAR_RW(health),
    ZQ_VAR_RO(game_id),
    ZQ_VAR_RO(game_guid),
    ZQ_VAR_RO(game_display_name),
    ZQ_VAR_RO(game_project_name),
    ZQ_VAR_RO(game_save_id),
    ZQ_VAR_RO(working_directory),
    ZQ_VAR_RO(temp_directory),
    ZQ_VAR_RO(program_directory),
    ZQ_VAR_RO(instance_count),
    ZQ_VAR_RO(instance_id),
    ZQ_VAR_RW(room_width),
    ZQ_VAR_RW(room_height),
    ZQ_VAR_RW(room_caption),
    ZQ_VAR_RW(room_speed),
    ZQ_VAR_RW(room_persistent),
    ZQ_VAR_RW(background_color),
    ZQ_VAR_RW(background_showcolor),
    {"background_colour", GV_background_color, SV_background_color},
    {"background_showcolour", GV_background_showcolor, SV_background_showcolor},
    ZQ_VAR_RW(background_visible),
    ZQ_VAR_RW(background_foreground),
    ZQ_VAR_RW(background_index),
    ZQ_VAR_RW(background_x),
    ZQ_VAR_RW(background_y),
    ZQ_VAR_RO(background_width),
    ZQ_VAR_RO(background_height),
    ZQ_VAR_RW(background_htiled),
    ZQ_VAR_RW(background_vtiled),
    ZQ_VAR_RW(background_xscale),
    ZQ_VAR_RW(background_yscale),
    ZQ_VAR_RW(background_hspeed),
    ZQ_VAR_RW(background_vspeed),
    ZQ_VAR_RW(background_blend),
    ZQ_VAR_RW(background_alpha),
    ZQ_VAR_RW(view_enabled),
    ZQ_VAR_RO(view_current),
    ZQ_VAR_RW(view_visible),
    ZQ_VAR_RW(view_xview),
    ZQ_VAR_RW(view_yview),
    ZQ_VAR_RW(view_wview),
    ZQ_VAR_RW(view_hview),
    ZQ_VAR_RW(view_xport),
    ZQ_VAR_RW(view_yport),
    ZQ_VAR_RW(view_wport),
    ZQ_VAR_RW(view_hport),
    ZQ_VAR_RW(view_angle),
    ZQ_VAR_RW(view_hborder),
    ZQ_VAR_RW(view_vborder),
    ZQ_VAR_RW(view_hspeed),
    ZQ_VAR_RW(view_vspeed),
    ZQ_VAR_RW(view_object),
    ZQ_VAR_RW(view_surface_id),
    ZQ_VAR_RW(view_camera),
    ZQ_VAR_RO(mouse_x),
    ZQ_VAR_RO(mouse_y),
    ZQ_VAR_RW(mouse_button),
    ZQ_VAR_RW(mouse_lastbutton),
    ZQ_VAR_RW(keyboard_key),
    ZQ_VAR_RW(keyboard_lastkey),
    ZQ_VAR_RW(keyboard_lastchar),
    ZQ_VAR_RW(keyboard_string),
    ZQ_VAR_RW(cursor_sprite),
    ZQ_VAR_RW(show_score),
    ZQ_VAR_RW(show_lives),
    ZQ_VAR_RW(show_health),
    ZQ_VAR_RW(caption_score),
    ZQ_VAR_RW(caption_lives),
    ZQ_VAR_RW(caption_health),
    ZQ_VAR_RO(fps),
    ZQ_VAR_RO(fps_real),
    ZQ_VAR_RO(current_time),
    ZQ_VAR_RO(current_year),
    ZQ_VAR_RO(current_month),
    ZQ_VAR_RO(current_day),
    ZQ_VAR_RO(current_weekday),
    ZQ_VAR_RO(current_hour),
    ZQ_VAR_RO(current_minute),
    ZQ_VAR_RO(current_second),
    ZQ_VAR_RO(event_type),
    ZQ_VAR_RO(event_number),
    ZQ_VAR_RO(event_object),
    ZQ_VAR_RO(event_action),
    ZQ_VAR_RO(secure_mode),
    ZQ_VAR_RW(error_occurred),
    ZQ_VAR_RW(error_last),
    ZQ_VAR_RO(application_surface),
    ZQ_VAR_RW(font_texture_page_size),
};

const SBuiltInVariableRow kPlatformBuiltIns[PLATFORM_BUILTIN_COUNT] = {
    ZQ_VAR_RO(os_type),    ZQ_VAR_RO(os_device),     ZQ_VAR_RO(os_version),
    ZQ_VAR_RO(os_browser), ZQ_VAR_RO(browser_width), ZQ_VAR_RO(browser_height),
};

} // namespace

void InitTarvoBuiltInVariables() {
    for (const SBuiltInVariableRow& entry : kPlatformBuiltIns)
        Variable_BuiltIn_Add(entry.name, entry.get, entry.set);
}

void InitGlobalVariables() {
    g_nStartGlobalVariables = builtin_numb;
    for (const SBuiltInVariableRow& entry : kGlobalBuiltIns)
        Variable_BuiltIn_Add(entry.name, entry.get, entry.set);
    InitTarvoBuiltInVariables();
}

// Starts from an empty table, so a second run of the initialisers gives the
// same ids again.
void INITIALIZE_Variable_BuiltIn() {
    Variable_BuiltIn_Clear();
    InitLocalVariables();
    InitGlobalVariables();
}

// [SECTION] working directory

// The game file's folder, with its separator, made once: later calls (the
// loader calls this before and after locating the file) keep the first.
void SetWorkingDirectory() {
    if (g_pWorkingDirectory != nullptr) return;
    const char* path = g_pGameFileName != nullptr ? g_pGameFileName : "";
    const char* separator = std::strrchr(path, '/');
    if (separator == nullptr) separator = std::strrchr(path, '\\');
    if (separator == nullptr) {
        LoadSave_SetWorkingDirectory("");
        return;
    }
    const size_t length = static_cast<size_t>(separator - path) + 1;
    char* dir = static_cast<char*>(ZQ_Alloc(length + 1));
    if (dir == nullptr) return;
    std::memcpy(dir, path, length);
    dir[length] = '\0';
    LoadSave_SetWorkingDirectory(dir);
    ZQ_Free(dir);
    static const char kRule[] = "#########################################################################\n";
    init_csol->Output("%s", kRule);
    init_csol->Output("####!!!!$$$$$$ pwd - %s\n", g_pWorkingDirectory);
    init_csol->Output("%s", kRule);
}
