// The registration of the game built-ins. The order below is the order of
// their ids, which compiled code and saved data depend on: change it only by
// appending. Each module keeps its routines in a table by script name; this
// file only says which name comes when, with its argument count and flag.
//
// [SECTION] registration order
// [SECTION] routine lookup and registration
#include "world/builtins/game_builtins.h"

#include <cstring>

#include "core/header_globals.h"
#include "core/support_output.h"
#include "world/builtins/game_builtin_services.h"
#include "world/builtins/room_control.h"
#include "world/collision/collision_queries.h"
#include "world/collision/geometry_tests.h"
#include "world/lifecycle/instance_life.h"
#include "world/motion/movement_commands.h"

namespace {

// ---------------------------------------------------------------------------
// [SECTION] registration order

constexpr bool F = false; // registration flag clear
constexpr bool T = true;  // registration flag set

const GameBuiltinEntry kOrder[] = {
    {"move_random", 2, F},
    {"place_free", 2, F},
    {"place_empty", 2, F},
    {"place_meeting", 3, F},
    {"place_snapped", 2, F},
    {"move_snap", 2, F},
    {"move_towards_point", 3, F},
    {"move_contact", 1, F},
    {"move_contact_solid", 2, F},
    {"move_contact_all", 2, F},
    {"move_outside_solid", 2, F},
    {"move_outside_all", 2, F},
    {"move_bounce", 1, F},
    {"move_bounce_solid", 1, F},
    {"move_bounce_all", 1, F},
    {"move_wrap", 3, F},
    {"motion_set", 2, F},
    {"motion_add", 2, F},
    {"distance_to_point", 2, F},
    {"distance_to_object", 1, F},
    {"path_start", 4, F},
    {"path_end", 0, F},
    {"mp_linear_step", 4, F},
    {"mp_linear_path", 5, T},
    {"mp_linear_step_object", 4, F},
    {"mp_linear_path_object", 5, T},
    {"mp_potential_settings", 4, F},
    {"mp_potential_step", 4, F},
    {"mp_potential_path", 6, T},
    {"mp_potential_step_object", 4, F},
    {"mp_potential_path_object", 6, T},
    {"mp_grid_create", 6, T},
    {"mp_grid_destroy", 1, T},
    {"mp_grid_clear_all", 1, T},
    {"mp_grid_clear_cell", 3, T},
    {"mp_grid_clear_rectangle", 5, T},
    {"mp_grid_add_cell", 3, T},
    {"mp_grid_get_cell", 3, T},
    {"mp_grid_add_rectangle", 5, T},
    {"mp_grid_add_instances", 3, T},
    {"mp_grid_path", 7, T},
    {"mp_grid_draw", 1, T},
    {"mp_grid_to_ds_grid", 2, T},
    {"collision_point", 5, F},
    {"collision_rectangle", 7, F},
    {"collision_circle", 6, F},
    {"collision_ellipse", 7, F},
    {"collision_line", 7, F},
    {"instance_find", 2, F},
    {"instance_exists", 1, F},
    {"instance_number", 1, F},
    {"instance_position", 3, F},
    {"instance_nearest", 3, F},
    {"instance_furthest", 3, F},
    {"instance_place", 3, F},
    {"instance_create", 3, F},
    {"instance_create_depth", 4, F},
    {"instance_create_layer", 4, F},
    {"instance_copy", 1, F},
    {"instance_change", 2, F},
    {"instance_destroy", -1, F},
    {"instance_sprite", 1, F},
    {"position_empty", 2, F},
    {"position_meeting", 3, F},
    {"position_destroy", 2, F},
    {"position_change", 4, F},
    {"instance_id_get", 1, F},
    {"instance_deactivate_all", 1, F},
    {"instance_deactivate_object", 1, F},
    {"instance_deactivate_region", 6, F},
    {"instance_activate_all", 0, F},
    {"instance_activate_object", 1, F},
    {"instance_activate_region", 5, F},
    {"instance_deactivate_region_special", 8, F},
    {"room_goto", 1, F},
    {"room_goto_previous", 0, F},
    {"room_goto_next", 0, F},
    {"room_previous", 1, F},
    {"room_next", 1, F},
    {"room_restart", 0, F},
    {"game_end", 0, F},
    {"game_restart", 0, F},
    {"game_load", 1, F},
    {"game_save", 1, F},
    {"game_save_buffer", 1, F},
    {"game_load_buffer", 1, F},
    {"transition_define", 2, T},
    {"transition_exists", 1, T},
    {"sleep", 1, F},
    {"point_in_rectangle", 6, T},
    {"point_in_triangle", 8, T},
    {"point_in_circle", 5, T},
    {"rectangle_in_rectangle", 8, T},
    {"rectangle_in_triangle", 10, T},
    {"rectangle_in_circle", 7, T},
};
static_assert(sizeof(kOrder) / sizeof(kOrder[0]) == 95, "the game registers 95 built-ins");

// ---------------------------------------------------------------------------
// [SECTION] routine lookup and registration

template <class Row>
TRoutine FindIn(std::span<const Row> rows, const char* name) {
    for (const Row& row : rows)
        if (std::strcmp(row.name, name) == 0) return row.routine;
    return nullptr;
}

// The routine registered for a name: each module's table is asked in turn.
TRoutine RoutineFor(const char* name) {
    if (TRoutine r = FindIn(CollisionQuery_Builtins(), name)) return r;
    if (TRoutine r = FindIn(InstanceLife_Builtins(), name)) return r;
    if (TRoutine r = FindIn(MovementCommands_Builtins(), name)) return r;
    if (TRoutine r = FindIn(MotionPlanning_Builtins(), name)) return r;
    if (TRoutine r = FindIn(RoomControl_Builtins(), name)) return r;
    return FindIn(GeometryTests_Builtins(), name);
}

} // namespace

std::span<const GameBuiltinEntry> GameBuiltins_Order() {
    return kOrder;
}

void InitGameFunctions() {
    for (const GameBuiltinEntry& entry : kOrder) {
        if (g_isNimbar && std::strcmp(entry.name, "instance_create") == 0) continue;
        TRoutine routine = RoutineFor(entry.name);
        // Every name of the order has a routine (the tests check it); a
        // missing one would shift every later id, so it is reported loudly.
        if (routine == nullptr) Support_DebugOutput("InitGameFunctions: no routine for %s\n", entry.name);
        Function_Add(entry.name, routine, entry.argc, entry.flag);
    }
}
