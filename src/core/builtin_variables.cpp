// [SECTION] index: script arguments, fixed values, room and game control,
// game and files, cursor, captions, clock, errors, platform, registration
// tables.
//
// The global built-in variables: windows onto state other modules own (the
// run globals, the error report, the clock). The registration table fixes
// every variable's id; the routines that read the running room, the input
// state or the run's events live beside that state (their list:
// core/builtin_variable_access.h).
#include "core/builtin_variables.h"

#include <sys/utsname.h>

#include <cstdio>
#include <cstring>

#include "core/arguments.h"
#include "core/builtin_services.h"
#include "core/builtin_variable_access.h"
#include "core/code.h"
#include "core/console.h"
#include "core/date_time.h"
#include "core/error.h"
#include "core/file_paths.h"
#include "core/header_globals.h"
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

int32_t g_nStartGlobalVariables = 0;

namespace {

using namespace builtin_vars;

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

// [SECTION] cursor

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

// [SECTION] errors

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
    return Put(out, OS_TYPE_RUNTIME);
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
