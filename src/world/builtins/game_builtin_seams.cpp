// Placeholders until saved games, the renderer's read-back and motion planning
// land: each request is refused with a clear line on the debug console, and
// the motion-planning built-ins are registered under their names (so every
// later built-in keeps its id) and report that they are not available yet.
#include "core/function_table.h"
#include "core/rvalue.h"
#include "core/support_output.h"
#include "world/builtins/game_builtin_services.h"

bool Command_SaveGame(const char* filename) {
    Support_DebugOutput("game_save(%s): saved games are not available yet\n",
                        filename != nullptr ? filename : "");
    return false;
}
bool Command_SaveGame(int buffer) {
    Support_DebugOutput("game_save_buffer(%d): saved games are not available yet\n", buffer);
    return false;
}
bool Command_LoadGame(const char* filename) {
    Support_DebugOutput("game_load(%s): saved games are not available yet\n",
                        filename != nullptr ? filename : "");
    return false;
}
bool Command_LoadGame(int buffer) {
    Support_DebugOutput("game_load_buffer(%d): saved games are not available yet\n", buffer);
    return false;
}

int GR_Window_Get_Region_Width() {
    return 0;
}
int GR_Window_Get_Region_Height() {
    return 0;
}
uint32_t* Graphics::GrabScreenRect(int, int, int, int, int* outW, int* outH) {
    if (outW != nullptr) *outW = 0;
    if (outH != nullptr) *outH = 0;
    return nullptr;
}
bool WritePNG32(const char*, const uint32_t*, int, int) {
    return false;
}

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
