// Registration of the maths and miscellaneous built-ins. A built-in's id is
// its index in the function table, so the order of the rows below is the
// order of the ids that compiled code and saved data rely on: change it only
// by appending. Each family keeps its handlers in a table by script name;
// this file says which name comes when and with how many arguments.
//
// [SECTION] InitMathFunctions order
// [SECTION] InitMiscFunctions order
// [SECTION] handler lookup and registration
#include <cstring>

#include "core/console.h"
#include "core/support_output.h"
#include "library/library_builtins.h"
#include "library/resource_builtins.h"
#include "world/datafile/game_header.h"

namespace {

// ---------------------------------------------------------------------------
// [SECTION] InitMathFunctions order

const LibraryOrderRow kMathOrder[] = {
    {"is_bool", 1},
    {"is_real", 1},
    {"is_string", 1},
    {"is_array", 1},
    {"is_undefined", 1},
    {"is_int32", 1},
    {"is_int64", 1},
    {"is_ptr", 1},
    {"is_vec3", 1},
    {"is_vec4", 1},
    {"is_matrix", 1},
    {"typeof", 1},
    {"array_length_1d", 1},
    {"array_length_2d", 2},
    {"array_height_2d", 1},
    {"array_get", 2},
    {"array_set", 3},
    {"array_set_pre", 3},
    {"array_set_post", 3},
    {"array_get_2D", 3},
    {"array_set_2D", 4},
    {"array_set_2D_pre", 4},
    {"array_set_2D_post", 4},
    {"array_equals", 2},
    {"array_create", -1},
    {"array_copy", 5},
    {"random", 1},
    {"random_range", 2},
    {"irandom", 1},
    {"irandom_range", 2},
    {"random_use_old_version", 1},
    {"random_set_seed", 1},
    {"random_get_seed", 0},
    {"randomize", 0},
    {"randomise", 0},
    {"abs", 1},
    {"round", 1},
    {"floor", 1},
    {"ceil", 1},
    {"sign", 1},
    {"frac", 1},
    {"sqrt", 1},
    {"sqr", 1},
    {"exp", 1},
    {"ln", 1},
    {"log2", 1},
    {"log10", 1},
    {"sin", 1},
    {"cos", 1},
    {"tan", 1},
    {"arcsin", 1},
    {"arccos", 1},
    {"arctan", 1},
    {"arctan2", 2},
    {"dsin", 1},
    {"dcos", 1},
    {"dtan", 1},
    {"darcsin", 1},
    {"darccos", 1},
    {"darctan", 1},
    {"darctan2", 2},
    {"degtorad", 1},
    {"radtodeg", 1},
    {"power", 2},
    {"logn", 2},
    {"min", -1},
    {"max", -1},
    {"min3", 3},
    {"max3", 3},
    {"mean", -1},
    {"median", -1},
    {"choose", -1},
    {"clamp", 3},
    {"lerp", 3},
    {"real", 1},
    {"string", 1},
    {"int64", 1},
    {"ptr", 1},
    {"string_format", 3},
    {"chr", 1},
    {"ansi_char", 1},
    {"ord", 1},
    {"string_length", 1},
    {"string_pos", 2},
    {"string_copy", 3},
    {"string_char_at", 2},
    {"string_ord_at", 2},
    {"string_byte_length", 1},
    {"string_byte_at", 2},
    {"string_set_byte_at", 3},
    {"string_delete", 3},
    {"string_insert", 3},
    {"string_lower", 1},
    {"string_upper", 1},
    {"string_repeat", 2},
    {"string_letters", 1},
    {"string_digits", 1},
    {"string_lettersdigits", 1},
    {"string_replace", 3},
    {"string_replace_all", 3},
    {"string_count", 2},
    {"string_hash_to_newline", 1},
    {"point_distance", 4},
    {"point_direction", 4},
    {"lengthdir_x", 2},
    {"lengthdir_y", 2},
    {"point_distance_3d", 6},
    {"dot_product", 4},
    {"dot_product_normalised", 4},
    {"dot_product_normalized", 4},
    {"dot_product_3d", 6},
    {"dot_product_3d_normalised", 6},
    {"dot_product_3d_normalized", 6},
    {"math_set_epsilon", 1},
    {"math_get_epsilon", 0},
    {"angle_difference", 2},
};
static_assert(sizeof(kMathOrder) / sizeof(kMathOrder[0]) == 116, "InitMathFunctions registers 116 built-ins");

// ---------------------------------------------------------------------------
// [SECTION] InitMiscFunctions order

// The native extension calls, left out when g_SteamWorkshop is set.
constexpr size_t kExternalFirst = 4;
constexpr size_t kExternalCount = 21;

const LibraryOrderRow kMiscOrder[] = {
    {"event_inherited", 0},
    {"event_perform", 2},
    {"event_user", 1},
    {"event_perform_object", 3},
    {"external_define", -1},
    {"external_call", -1},
    {"external_free", 1},
    {"external_define0", 3},
    {"external_call0", 1},
    {"external_define1", 4},
    {"external_call1", 2},
    {"external_define2", 5},
    {"external_call2", 3},
    {"external_define3", 6},
    {"external_call3", 4},
    {"external_define4", 7},
    {"external_call4", 5},
    {"external_define5", 3},
    {"external_call5", 6},
    {"external_define6", 3},
    {"external_call6", 7},
    {"external_define7", 3},
    {"external_call7", 8},
    {"external_define8", 3},
    {"external_call8", 9},
    {"window_handle", 0},
    {"window_device", 0},
    {"show_debug_message", 1},
    {"show_debug_overlay", 1},
    {"debug_event", 1},
    {"debug_get_callstack", 0},
    {"set_program_priority", 1},
    {"set_application_title", 1},
    {"alarm_set", 2},
    {"alarm_get", 1},
    {"variable_global_exists", 1},
    {"variable_global_get", 1},
    {"variable_global_set", 2},
    {"variable_instance_exists", 2},
    {"variable_instance_get", 2},
    {"variable_instance_set", 3},
    {"variable_instance_get_names", 1},
    {"clipboard_has_text", 0},
    {"clipboard_set_text", 1},
    {"clipboard_get_text", 0},
    {"date_current_datetime", 0},
    {"date_current_date", 0},
    {"date_current_time", 0},
    {"date_create_datetime", 6},
    {"date_create_date", 3},
    {"date_create_time", 3},
    {"date_valid_datetime", 6},
    {"date_valid_date", 3},
    {"date_valid_time", 3},
    {"date_inc_year", 2},
    {"date_inc_month", 2},
    {"date_inc_week", 2},
    {"date_inc_day", 2},
    {"date_inc_hour", 2},
    {"date_inc_minute", 2},
    {"date_inc_second", 2},
    {"date_get_year", 1},
    {"date_get_month", 1},
    {"date_get_week", 1},
    {"date_get_day", 1},
    {"date_get_hour", 1},
    {"date_get_minute", 1},
    {"date_get_second", 1},
    {"date_get_weekday", 1},
    {"date_get_day_of_year", 1},
    {"date_get_hour_of_year", 1},
    {"date_get_minute_of_year", 1},
    {"date_get_second_of_year", 1},
    {"date_year_span", 2},
    {"date_month_span", 2},
    {"date_week_span", 2},
    {"date_day_span", 2},
    {"date_hour_span", 2},
    {"date_minute_span", 2},
    {"date_second_span", 2},
    {"date_compare_datetime", 2},
    {"date_compare_date", 2},
    {"date_compare_time", 2},
    {"date_date_of", 1},
    {"date_time_of", 1},
    {"date_datetime_string", 1},
    {"date_date_string", 1},
    {"date_time_string", 1},
    {"date_days_in_month", 1},
    {"date_days_in_year", 1},
    {"date_leap_year", 1},
    {"date_is_today", 1},
    {"date_set_timezone", 1},
    {"date_get_timezone", 0},
    {"game_set_speed", 2},
    {"game_get_speed", 1},
};
static_assert(sizeof(kMiscOrder) / sizeof(kMiscOrder[0]) == 96, "InitMiscFunctions registers 96 built-ins");

// ---------------------------------------------------------------------------
// [SECTION] handler lookup and registration

TRoutine FindIn(std::span<const LibraryBuiltinRow> rows, const char* name) {
    for (const LibraryBuiltinRow& row : rows)
        if (std::strcmp(row.name, name) == 0) return row.routine;
    return nullptr;
}

void Register(std::span<const LibraryOrderRow> rows, const char* registrar) {
    for (const LibraryOrderRow& row : rows) {
        TRoutine routine = LibraryBuiltin_Find(row.name);
        // Every row has a handler (the tests check it); a missing one would
        // still take its id so that every later built-in keeps its own.
        if (routine == nullptr) Support_DebugOutput("%s: no handler for %s\n", registrar, row.name);
        Function_Add(row.name, routine, row.argc, false);
    }
}

} // namespace

std::span<const LibraryOrderRow> MathFunctions_Order() {
    return kMathOrder;
}

std::span<const LibraryOrderRow> MiscFunctions_Order() {
    return kMiscOrder;
}

TRoutine LibraryBuiltin_Find(const char* name) {
    for (auto family :
         {MathBuiltins, StringBuiltins, ArrayBuiltins, RandomBuiltins, EventBuiltins, DateBuiltins,
          ExternalBuiltins, PlatformBuiltins, VMBuiltins, SpriteResourceBuiltins, SoundResourceBuiltins,
          PathResourceBuiltins, ObjectResourceBuiltins, AssetResourceBuiltins})
        if (TRoutine routine = FindIn(family(), name)) return routine;
    return nullptr;
}

void InitMathFunctions() {
    Register(kMathOrder, "InitMathFunctions");
}

// The external-call decision is taken now, after the command line and the
// header have set g_SteamWorkshop.
void InitMiscFunctions() {
    std::span<const LibraryOrderRow> rows = kMiscOrder;
    if (!g_SteamWorkshop) {
        Register(rows, "InitMiscFunctions");
        return;
    }
    Register(rows.first(kExternalFirst), "InitMiscFunctions");
    Register(rows.subspan(kExternalFirst + kExternalCount), "InitMiscFunctions");
}
