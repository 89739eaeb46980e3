// Stand-ins for the general built-in library, the interaction passes and motion
// planning, until the module is built: each accepts its call and does nothing,
// or answers "none" (or succeeds where the caller would otherwise stop). The
// module deletes each stand-in as it defines the real function; the build
// refuses a function defined both here and in the module
// (tools/check_duplicates.sh).
#include "core/support_output.h"
#include "world/builtins/game_builtin_services.h"
#include "world/run/startup_services.h"
#include "world/step/step_services.h"

// ---- asked for through world/builtins/game_builtin_services.h

namespace {

// Answers undefined, as a built-in this platform does not carry yet.
void F_MotionPlanningMissing(RValue&, CInstance*, CInstance*, int, RValue*) {
    Support_DebugOutput("%s not implemented\n",
                        g_pFunction != nullptr ? g_pFunction->f_name : "motion planning");
}

const GameBuiltinRow kMotionPlanning[] = {
    {"mp_linear_step", F_MotionPlanningMissing},
    {"mp_linear_path", F_MotionPlanningMissing},
    {"mp_linear_step_object", F_MotionPlanningMissing},
    {"mp_linear_path_object", F_MotionPlanningMissing},
    {"mp_potential_settings", F_MotionPlanningMissing},
    {"mp_potential_step", F_MotionPlanningMissing},
    {"mp_potential_path", F_MotionPlanningMissing},
    {"mp_potential_step_object", F_MotionPlanningMissing},
    {"mp_potential_path_object", F_MotionPlanningMissing},
    {"mp_grid_create", F_MotionPlanningMissing},
    {"mp_grid_destroy", F_MotionPlanningMissing},
    {"mp_grid_clear_all", F_MotionPlanningMissing},
    {"mp_grid_clear_cell", F_MotionPlanningMissing},
    {"mp_grid_clear_rectangle", F_MotionPlanningMissing},
    {"mp_grid_add_cell", F_MotionPlanningMissing},
    {"mp_grid_get_cell", F_MotionPlanningMissing},
    {"mp_grid_add_rectangle", F_MotionPlanningMissing},
    {"mp_grid_add_instances", F_MotionPlanningMissing},
    {"mp_grid_path", F_MotionPlanningMissing},
    {"mp_grid_draw", F_MotionPlanningMissing},
    {"mp_grid_to_ds_grid", F_MotionPlanningMissing},
};

} // namespace

std::span<const GameBuiltinRow> MotionPlanning_Builtins() {
    return kMotionPlanning;
}

// ---- asked for through world/run/startup_services.h

void InitActionFunctions() {}

void InitBufferFunctions() {}

void LayerManager_InitLayerFunctions() {}

void FINALIZE_Motion_Grid() {}

// ---- asked for through world/step/step_services.h

void HandleJoystick() {}

void HandleGestures() {}

// ---- asked for through library/interaction_services.h

void AddGestureFunctions() {}
