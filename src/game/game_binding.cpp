// The binding record of the compiled game: its user variables (slot =
// record position), the built-in variables and functions its code reaches
// by name, its compiled functions in code-entry order and the call-stack
// head. The loader binds every record by name and refuses a name it cannot
// bind, so nothing here may be left unbound.
#include "game/game_code.h"
#include "game/game_functions.h"

// User variables carry their slot until the load rebinds them; built-in
// variables carry -1 and built-in functions 0 until bound by name.
SNameIdRecord g_GameVarRecords[GAME_VAR_RECORDS] = {
    {"pieces_in_play", 0},         // 0
    {"pic", 1},                    // 1
    {"my_image", 2},               // 2
    {"num_cols", 3},               // 3
    {"num_rows", 4},               // 4
    {"num_pieces", 5},             // 5
    {"num_dead", 6},               // 6
    {"pile_index_list", 7},        // 7
    {"pile_colour_list", 8},       // 8
    {"num_transmitters", 9},       // 9
    {"transmitter", 10},           // 10
    {"paused", 11},                // 11
    {"piece_colour", 12},          // 12
    {"piece_number", 13},          // 13
    {"piece_width", 14},           // 14
    {"target_x", 15},              // 15
    {"piece_height", 16},          // 16
    {"target_y", 17},              // 17
    {"my_path", 18},               // 18
    {"path_start_x", 19},          // 19
    {"path_start_y", 20},          // 20
    {"path_end_x", 21},            // 21
    {"path_end_y", 22},            // 22
    {"old_alarm", 23},             // 23
    {"state", 24},                 // 24
    {"piece_index", 25},           // 25
    {"piece_x_offset", 26},        // 26
    {"piece_y_offset", 27},        // 27
    {"alpha_delta", 28},           // 28
    {"target_scaling", 29},        // 29
    {"scaling", 30},               // 30
    {"speed_scaling", 31},         // 31
    {"disabled", 32},              // 32
    {"angle_delta", 33},           // 33
    {"my_speed", 34},              // 34
    {"piece_list", 35},            // 35
    {"dashing", 36},               // 36
    {"scale_rate", 37},            // 37
    {"max_scale", 38},             // 38
    {"old_speed", 39},             // 39
    {"old_path_speed", 40},        // 40
    {"old_image_speed", 41},       // 41
    {"my_hp", 42},                 // 42
    {"my_hp_max", 43},             // 43
    {"x_speed", 44},               // 44
    {"y_speed", 45},               // 45
    {"locked_input", 46},          // 46
    {"can_ouch", 47},              // 47
    {"facing", 48},                // 48
    {"is_dead", 49},               // 49
    {"show_hp", 50},               // 50
    {"max_speed", 51},             // 51
    {"my_fric", 52},               // 52
    {"charge", 53},                // 53
    {"can_charge", 54},            // 54
    {"t", 55},                     // 55
    {"t_delta", 56},               // 56
    {"old_friction", 57},          // 57
    {"num_enemies", 58},           // 58
    {"max_enemies", 59},           // 59
    {"windowed_mode_width", 60},   // 60
    {"cur_window_width", 61},      // 61
    {"windowed_mode_height", 62},  // 62
    {"cur_window_height", 63},     // 63
    {"aspect_ratio", 64},          // 64
    {"app_max_height", 65},        // 65
    {"int_scale", 66},             // 66
    {"int_scaled_app_height", 67}, // 67
    {"int_scaled_app_width", 68},  // 68
    {"cur_app_height", 69},        // 69
    {"cur_app_width", 70},         // 70
    {"app_max_width", 71},         // 71
    {"upscale_surf", 72},          // 72
    {"view_height", 73},           // 73
    {"view_width", 74},            // 74
    {"alarm", -1},                 // 75
    {"x", -1},                     // 76
    {"y", -1},                     // 77
    {"layer", -1},                 // 78
    {"image_alpha", -1},           // 79
    {"direction", -1},             // 80
    {"speed", -1},                 // 81
    {"image_angle", -1},           // 82
    {"image_blend", -1},           // 83
    {"path_position", -1},         // 84
    {"path_speed", -1},            // 85
    {"sprite_index", -1},          // 86
    {"image_speed", -1},           // 87
    {"image_index", -1},           // 88
    {"room_width", -1},            // 89
    {"room_height", -1},           // 90
    {"image_xscale", -1},          // 91
    {"image_yscale", -1},          // 92
    {"friction", -1},              // 93
    {"image_number", -1},          // 94
    {"view_camera", -1},           // 95
    {"application_surface", -1},   // 96
    {"os_type", -1},               // 97
};

SNameIdRecord g_GameFuncRecords[GAME_FUNC_RECORDS] = {
    {"event_user", 0},                      // 0
    {"sprite_get_width", 0},                // 1
    {"sprite_get_height", 0},               // 2
    {"ds_list_create", 0},                  // 3
    {"surface_create", 0},                  // 4
    {"ds_list_add", 0},                     // 5
    {"surface_getpixel", 0},                // 6
    {"ds_list_shuffle", 0},                 // 7
    {"instance_create_layer", 0},           // 8
    {"surface_free", 0},                    // 9
    {"ds_list_find_value", 0},              // 10
    {"ds_list_delete", 0},                  // 11
    {"path_get_number", 0},                 // 12
    {"path_get_point_x", 0},                // 13
    {"path_get_point_y", 0},                // 14
    {"ds_list_size", 0},                    // 15
    {"ds_list_destroy", 0},                 // 16
    {"event_inherited", 0},                 // 17
    {"effect_create_below", 0},             // 18
    {"power", 0},                           // 19
    {"point_distance", 0},                  // 20
    {"path_start", 0},                      // 21
    {"move_towards_point", 0},              // 22
    {"ds_list_find_index", 0},              // 23
    {"path_end", 0},                        // 24
    {"audio_play_sound", 0},                // 25
    {"keyboard_check_pressed", 0},          // 26
    {"clamp", 0},                           // 27
    {"draw_healthbar", 0},                  // 28
    {"instance_nearest", 0},                // 29
    {"room_goto", 0},                       // 30
    {"randomize", 0},                       // 31
    {"room_restart", 0},                    // 32
    {"audio_stop_all", 0},                  // 33
    {"application_surface_draw_enable", 0}, // 34
    {"floor", 0},                           // 35
    {"display_set_gui_maximise", 0},        // 36
    {"window_set_size", 0},                 // 37
    {"window_get_fullscreen", 0},           // 38
    {"display_get_width", 0},               // 39
    {"display_get_height", 0},              // 40
    {"camera_set_view_size", 0},            // 41
    {"camera_set_view_pos", 0},             // 42
    {"surface_resize", 0},                  // 43
    {"window_center", 0},                   // 44
    {"surface_exists", 0},                  // 45
    {"gpu_set_colorwriteenable", 0},        // 46
    {"draw_clear", 0},                      // 47
    {"draw_surface_ext", 0},                // 48
    {"gpu_set_texfilter", 0},               // 49
    {"draw_surface", 0},                    // 50
    {"draw_text", 0},                       // 51
    {"string", 0},                          // 52
    {"surface_get_width", 0},               // 53
    {"surface_get_height", 0},              // 54
    {"window_get_width", 0},                // 55
    {"window_get_height", 0},               // 56
    {"window_set_fullscreen", 0},           // 57
};

const SCompiledFunction g_VTLFuncs[GAME_CODE_ENTRIES] = {
    {"vtl_Script_init_enums", vtl_Script_init_enums, nullptr},                                 // 0
    {"vtl_Script_soft_clamp", vtl_Script_soft_clamp, nullptr},                                 // 1
    {"vtl_Script_soft_max", vtl_Script_soft_max, nullptr},                                     // 2
    {"vtl_Script_soft_min", vtl_Script_soft_min, nullptr},                                     // 3
    {"vtl_Script_temp_pause", vtl_Script_temp_pause, nullptr},                                 // 4
    {"vtl_Script_pulse", vtl_Script_pulse, nullptr},                                           // 5
    {"vtl_Object_obj_piece_pile_Create_0", nullptr, vtl_Object_obj_piece_pile_Create_0},       // 6
    {"vtl_Object_obj_piece_pile_Alarm_0", nullptr, vtl_Object_obj_piece_pile_Alarm_0},         // 7
    {"vtl_Object_obj_piece_pile_Alarm_1", nullptr, vtl_Object_obj_piece_pile_Alarm_1},         // 8
    {"vtl_Object_obj_piece_pile_Step_0", nullptr, vtl_Object_obj_piece_pile_Step_0},           // 9
    {"vtl_Object_obj_piece_pile_Other_14", nullptr, vtl_Object_obj_piece_pile_Other_14},       // 10
    {"vtl_Object_obj_piece_pile_Other_15", nullptr, vtl_Object_obj_piece_pile_Other_15},       // 11
    {"vtl_Object_obj_piece_pile_Draw_64", nullptr, vtl_Object_obj_piece_pile_Draw_64},         // 12
    {"vtl_Object_obj_piece_pile_Draw_76", nullptr, vtl_Object_obj_piece_pile_Draw_76},         // 13
    {"vtl_Object_obj_piece_pile_Draw_0", nullptr, vtl_Object_obj_piece_pile_Draw_0},           // 14
    {"vtl_Object_obj_piece_pile_CleanUp_0", nullptr, vtl_Object_obj_piece_pile_CleanUp_0},     // 15
    {"vtl_Object_obj_piece_pile_PreCreate_0", nullptr, vtl_Object_obj_piece_pile_PreCreate_0}, // 16
    {"vtl_Object_obj_transmitter_Create_0", nullptr, vtl_Object_obj_transmitter_Create_0},     // 17
    {"vtl_Object_obj_transmitter_Alarm_0", nullptr, vtl_Object_obj_transmitter_Alarm_0},       // 18
    {"vtl_Object_obj_transmitter_Step_0", nullptr, vtl_Object_obj_transmitter_Step_0},         // 19
    {"vtl_Object_obj_transmitter_Step_2", nullptr, vtl_Object_obj_transmitter_Step_2},         // 20
    {"vtl_Object_obj_transmitter_Collision_d87b8975_b144_401b_a04c_e2082facff13", nullptr,
     vtl_Object_obj_transmitter_Collision_d87b8975_b144_401b_a04c_e2082facff13}, // 21
    {"vtl_Object_obj_transmitter_Collision_e655244c_e3e8_4015_b4e2_e28b26361cea", nullptr,
     vtl_Object_obj_transmitter_Collision_e655244c_e3e8_4015_b4e2_e28b26361cea},                 // 22
    {"vtl_Object_obj_transmitter_Other_8", nullptr, vtl_Object_obj_transmitter_Other_8},         // 23
    {"vtl_Object_obj_transmitter_Other_14", nullptr, vtl_Object_obj_transmitter_Other_14},       // 24
    {"vtl_Object_obj_transmitter_Other_15", nullptr, vtl_Object_obj_transmitter_Other_15},       // 25
    {"vtl_Object_obj_transmitter_Draw_0", nullptr, vtl_Object_obj_transmitter_Draw_0},           // 26
    {"vtl_Object_obj_transmitter_Draw_76", nullptr, vtl_Object_obj_transmitter_Draw_76},         // 27
    {"vtl_Object_obj_transmitter_PreCreate_0", nullptr, vtl_Object_obj_transmitter_PreCreate_0}, // 28
    {"vtl_Object_obj_player_Create_0", nullptr, vtl_Object_obj_player_Create_0},                 // 29
    {"vtl_Object_obj_player_Alarm_0", nullptr, vtl_Object_obj_player_Alarm_0},                   // 30
    {"vtl_Object_obj_player_Alarm_1", nullptr, vtl_Object_obj_player_Alarm_1},                   // 31
    {"vtl_Object_obj_player_Alarm_2", nullptr, vtl_Object_obj_player_Alarm_2},                   // 32
    {"vtl_Object_obj_player_Alarm_3", nullptr, vtl_Object_obj_player_Alarm_3},                   // 33
    {"vtl_Object_obj_player_Step_0", nullptr, vtl_Object_obj_player_Step_0},                     // 34
    {"vtl_Object_obj_player_Collision_e655244c_e3e8_4015_b4e2_e28b26361cea", nullptr,
     vtl_Object_obj_player_Collision_e655244c_e3e8_4015_b4e2_e28b26361cea},            // 35
    {"vtl_Object_obj_player_Other_14", nullptr, vtl_Object_obj_player_Other_14},       // 36
    {"vtl_Object_obj_player_Other_15", nullptr, vtl_Object_obj_player_Other_15},       // 37
    {"vtl_Object_obj_player_Other_1", nullptr, vtl_Object_obj_player_Other_1},         // 38
    {"vtl_Object_obj_player_Draw_76", nullptr, vtl_Object_obj_player_Draw_76},         // 39
    {"vtl_Object_obj_player_Draw_73", nullptr, vtl_Object_obj_player_Draw_73},         // 40
    {"vtl_Object_obj_player_PreCreate_0", nullptr, vtl_Object_obj_player_PreCreate_0}, // 41
    {"vtl_Object_obj_enemy_Create_0", nullptr, vtl_Object_obj_enemy_Create_0},         // 42
    {"vtl_Object_obj_enemy_Alarm_0", nullptr, vtl_Object_obj_enemy_Alarm_0},           // 43
    {"vtl_Object_obj_enemy_Alarm_1", nullptr, vtl_Object_obj_enemy_Alarm_1},           // 44
    {"vtl_Object_obj_enemy_Alarm_2", nullptr, vtl_Object_obj_enemy_Alarm_2},           // 45
    {"vtl_Object_obj_enemy_Alarm_3", nullptr, vtl_Object_obj_enemy_Alarm_3},           // 46
    {"vtl_Object_obj_enemy_Alarm_4", nullptr, vtl_Object_obj_enemy_Alarm_4},           // 47
    {"vtl_Object_obj_enemy_Alarm_5", nullptr, vtl_Object_obj_enemy_Alarm_5},           // 48
    {"vtl_Object_obj_enemy_Step_0", nullptr, vtl_Object_obj_enemy_Step_0},             // 49
    {"vtl_Object_obj_enemy_Step_1", nullptr, vtl_Object_obj_enemy_Step_1},             // 50
    {"vtl_Object_obj_enemy_Collision_17fff1ef_b712_4961_a9c2_7ed4af689341", nullptr,
     vtl_Object_obj_enemy_Collision_17fff1ef_b712_4961_a9c2_7ed4af689341},                               // 51
    {"vtl_Object_obj_enemy_Other_14", nullptr, vtl_Object_obj_enemy_Other_14},                           // 52
    {"vtl_Object_obj_enemy_Other_15", nullptr, vtl_Object_obj_enemy_Other_15},                           // 53
    {"vtl_Object_obj_enemy_Other_1", nullptr, vtl_Object_obj_enemy_Other_1},                             // 54
    {"vtl_Object_obj_enemy_Draw_76", nullptr, vtl_Object_obj_enemy_Draw_76},                             // 55
    {"vtl_Object_obj_enemy_PreCreate_0", nullptr, vtl_Object_obj_enemy_PreCreate_0},                     // 56
    {"vtl_Object_obj_piece_Create_0", nullptr, vtl_Object_obj_piece_Create_0},                           // 57
    {"vtl_Object_obj_piece_PreCreate_0", nullptr, vtl_Object_obj_piece_PreCreate_0},                     // 58
    {"vtl_Object_obj_goal_Create_0", nullptr, vtl_Object_obj_goal_Create_0},                             // 59
    {"vtl_Object_obj_goal_Alarm_0", nullptr, vtl_Object_obj_goal_Alarm_0},                               // 60
    {"vtl_Object_obj_goal_Step_0", nullptr, vtl_Object_obj_goal_Step_0},                                 // 61
    {"vtl_Object_obj_goal_Draw_64", nullptr, vtl_Object_obj_goal_Draw_64},                               // 62
    {"vtl_Object_obj_goal_KeyPress_16", nullptr, vtl_Object_obj_goal_KeyPress_16},                       // 63
    {"vtl_Object_obj_goal_CleanUp_0", nullptr, vtl_Object_obj_goal_CleanUp_0},                           // 64
    {"vtl_Object_obj_goal_PreCreate_0", nullptr, vtl_Object_obj_goal_PreCreate_0},                       // 65
    {"vtl_Object_obj_game_controller_Create_0", nullptr, vtl_Object_obj_game_controller_Create_0},       // 66
    {"vtl_Object_obj_game_controller_Alarm_0", nullptr, vtl_Object_obj_game_controller_Alarm_0},         // 67
    {"vtl_Object_obj_game_controller_Alarm_1", nullptr, vtl_Object_obj_game_controller_Alarm_1},         // 68
    {"vtl_Object_obj_game_controller_Alarm_2", nullptr, vtl_Object_obj_game_controller_Alarm_2},         // 69
    {"vtl_Object_obj_game_controller_Step_0", nullptr, vtl_Object_obj_game_controller_Step_0},           // 70
    {"vtl_Object_obj_game_controller_Other_14", nullptr, vtl_Object_obj_game_controller_Other_14},       // 71
    {"vtl_Object_obj_game_controller_Other_15", nullptr, vtl_Object_obj_game_controller_Other_15},       // 72
    {"vtl_Object_obj_game_controller_Other_4", nullptr, vtl_Object_obj_game_controller_Other_4},         // 73
    {"vtl_Object_obj_game_controller_KeyPress_27", nullptr, vtl_Object_obj_game_controller_KeyPress_27}, // 74
    {"vtl_Object_obj_game_controller_PreCreate_0", nullptr, vtl_Object_obj_game_controller_PreCreate_0}, // 75
    {"vtl_Object_obj_piece_effect_Create_0", nullptr, vtl_Object_obj_piece_effect_Create_0},             // 76
    {"vtl_Object_obj_piece_effect_Alarm_0", nullptr, vtl_Object_obj_piece_effect_Alarm_0},               // 77
    {"vtl_Object_obj_piece_effect_Step_0", nullptr, vtl_Object_obj_piece_effect_Step_0},                 // 78
    {"vtl_Object_obj_piece_effect_Other_14", nullptr, vtl_Object_obj_piece_effect_Other_14},             // 79
    {"vtl_Object_obj_piece_effect_Other_15", nullptr, vtl_Object_obj_piece_effect_Other_15},             // 80
    {"vtl_Object_obj_piece_effect_Draw_0", nullptr, vtl_Object_obj_piece_effect_Draw_0},                 // 81
    {"vtl_Object_obj_piece_effect_PreCreate_0", nullptr, vtl_Object_obj_piece_effect_PreCreate_0},       // 82
    {"vtl_Object_obj_whomp_Create_0", nullptr, vtl_Object_obj_whomp_Create_0},                           // 83
    {"vtl_Object_obj_whomp_Alarm_0", nullptr, vtl_Object_obj_whomp_Alarm_0},                             // 84
    {"vtl_Object_obj_whomp_Step_0", nullptr, vtl_Object_obj_whomp_Step_0},                               // 85
    {"vtl_Object_obj_whomp_PreCreate_0", nullptr, vtl_Object_obj_whomp_PreCreate_0},                     // 86
    {"vtl_Object_cls_targetable_PreCreate_0", nullptr, vtl_Object_cls_targetable_PreCreate_0},           // 87
    {"vtl_Object_obj_crash_Create_0", nullptr, vtl_Object_obj_crash_Create_0},                           // 88
    {"vtl_Object_obj_crash_Other_7", nullptr, vtl_Object_obj_crash_Other_7},                             // 89
    {"vtl_Object_obj_crash_PreCreate_0", nullptr, vtl_Object_obj_crash_PreCreate_0},                     // 90
    {"vtl_Object_obj_transmitter_waiting_Create_0", nullptr,
     vtl_Object_obj_transmitter_waiting_Create_0},                                                       // 91
    {"vtl_Object_obj_transmitter_waiting_Step_0", nullptr, vtl_Object_obj_transmitter_waiting_Step_0},   // 92
    {"vtl_Object_obj_transmitter_waiting_Draw_76", nullptr, vtl_Object_obj_transmitter_waiting_Draw_76}, // 93
    {"vtl_Object_obj_transmitter_waiting_Draw_0", nullptr, vtl_Object_obj_transmitter_waiting_Draw_0},   // 94
    {"vtl_Object_obj_transmitter_waiting_PreCreate_0", nullptr,
     vtl_Object_obj_transmitter_waiting_PreCreate_0},                                  // 95
    {"vtl_Object_obj_title_Create_0", nullptr, vtl_Object_obj_title_Create_0},         // 96
    {"vtl_Object_obj_title_KeyPress_1", nullptr, vtl_Object_obj_title_KeyPress_1},     // 97
    {"vtl_Object_obj_title_KeyPress_27", nullptr, vtl_Object_obj_title_KeyPress_27},   // 98
    {"vtl_Object_obj_title_PreCreate_0", nullptr, vtl_Object_obj_title_PreCreate_0},   // 99
    {"vtl_Object_obj_how_KeyPress_1", nullptr, vtl_Object_obj_how_KeyPress_1},         // 100
    {"vtl_Object_obj_how_PreCreate_0", nullptr, vtl_Object_obj_how_PreCreate_0},       // 101
    {"vtl_Object_obj_scaler_Create_0", nullptr, vtl_Object_obj_scaler_Create_0},       // 102
    {"vtl_Object_obj_scaler_Alarm_0", nullptr, vtl_Object_obj_scaler_Alarm_0},         // 103
    {"vtl_Object_obj_scaler_Alarm_1", nullptr, vtl_Object_obj_scaler_Alarm_1},         // 104
    {"vtl_Object_obj_scaler_Other_4", nullptr, vtl_Object_obj_scaler_Other_4},         // 105
    {"vtl_Object_obj_scaler_Draw_76", nullptr, vtl_Object_obj_scaler_Draw_76},         // 106
    {"vtl_Object_obj_scaler_Draw_77", nullptr, vtl_Object_obj_scaler_Draw_77},         // 107
    {"vtl_Object_obj_scaler_Draw_64", nullptr, vtl_Object_obj_scaler_Draw_64},         // 108
    {"vtl_Object_obj_scaler_KeyPress_70", nullptr, vtl_Object_obj_scaler_KeyPress_70}, // 109
    {"vtl_Object_obj_scaler_CleanUp_0", nullptr, vtl_Object_obj_scaler_CleanUp_0},     // 110
    {"vtl_Object_obj_scaler_PreCreate_0", nullptr, vtl_Object_obj_scaler_PreCreate_0}, // 111
    {"vtl_Object_obj_win_Create_0", nullptr, vtl_Object_obj_win_Create_0},             // 112
    {"vtl_Object_obj_win_Alarm_0", nullptr, vtl_Object_obj_win_Alarm_0},               // 113
    {"vtl_Object_obj_win_Draw_0", nullptr, vtl_Object_obj_win_Draw_0},                 // 114
    {"vtl_Object_obj_win_KeyPress_1", nullptr, vtl_Object_obj_win_KeyPress_1},         // 115
    {"vtl_Object_obj_win_PreCreate_0", nullptr, vtl_Object_obj_win_PreCreate_0},       // 116
};

namespace {

// The pointer lists the record hands over, each ended by a null pointer.
SNameIdRecord* g_Vars[GAME_VAR_RECORDS + 1];
SNameIdRecord* g_Funcs[GAME_FUNC_RECORDS + 1];

} // namespace

void InitLLVM(SLLVMVars* vars) {
    for (int i = 0; i < GAME_VAR_RECORDS; ++i) g_Vars[i] = &g_GameVarRecords[i];
    g_Vars[GAME_VAR_RECORDS] = nullptr;
    for (int i = 0; i < GAME_FUNC_RECORDS; ++i) g_Funcs[i] = &g_GameFuncRecords[i];
    g_Funcs[GAME_FUNC_RECORDS] = nullptr;

    vars->pWAD = nullptr; // the data file comes from the bundle or the save area
    vars->nWADFileLength = 3218520;
    vars->nGlobalVariables = GAME_USER_SLOTS;
    vars->nInstanceVariables = GAME_USER_SLOTS;
    vars->nCodeEntries = GAME_CODE_ENTRIES;
    vars->ppVars = g_Vars;
    vars->ppFuncs = g_Funcs;
    vars->pCodeFunctions = g_VTLFuncs;
    vars->ppStackTraceHead = &SZQStackTrace::s_pStart;
}
