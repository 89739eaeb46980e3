// The game's compiled scripts and events, in code-entry order. Each is
// defined in a file of its own named after it (scripts take a result and
// arguments, events only self and other).
#pragma once

#include "core/zq_rvalue.h"

class CInstance;

ZQRValue& vtl_Script_init_enums(CInstance* self, CInstance* other, ZQRValue& result, int argc,
                                ZQRValue** args);
ZQRValue& vtl_Script_soft_clamp(CInstance* self, CInstance* other, ZQRValue& result, int argc,
                                ZQRValue** args);
ZQRValue& vtl_Script_soft_max(CInstance* self, CInstance* other, ZQRValue& result, int argc, ZQRValue** args);
ZQRValue& vtl_Script_soft_min(CInstance* self, CInstance* other, ZQRValue& result, int argc, ZQRValue** args);
ZQRValue& vtl_Script_temp_pause(CInstance* self, CInstance* other, ZQRValue& result, int argc,
                                ZQRValue** args);
ZQRValue& vtl_Script_pulse(CInstance* self, CInstance* other, ZQRValue& result, int argc, ZQRValue** args);
void vtl_Object_obj_piece_pile_Create_0(CInstance* self, CInstance* other);
void vtl_Object_obj_piece_pile_Alarm_0(CInstance* self, CInstance* other);
void vtl_Object_obj_piece_pile_Alarm_1(CInstance* self, CInstance* other);
void vtl_Object_obj_piece_pile_Step_0(CInstance* self, CInstance* other);
void vtl_Object_obj_piece_pile_Other_14(CInstance* self, CInstance* other);
void vtl_Object_obj_piece_pile_Other_15(CInstance* self, CInstance* other);
void vtl_Object_obj_piece_pile_Draw_64(CInstance* self, CInstance* other);
void vtl_Object_obj_piece_pile_Draw_76(CInstance* self, CInstance* other);
void vtl_Object_obj_piece_pile_Draw_0(CInstance* self, CInstance* other);
void vtl_Object_obj_piece_pile_CleanUp_0(CInstance* self, CInstance* other);
void vtl_Object_obj_piece_pile_PreCreate_0(CInstance* self, CInstance* other);
void vtl_Object_obj_transmitter_Create_0(CInstance* self, CInstance* other);
void vtl_Object_obj_transmitter_Alarm_0(CInstance* self, CInstance* other);
void vtl_Object_obj_transmitter_Step_0(CInstance* self, CInstance* other);
void vtl_Object_obj_transmitter_Step_2(CInstance* self, CInstance* other);
void vtl_Object_obj_transmitter_Collision_d87b8975_b144_401b_a04c_e2082facff13(CInstance* self,
                                                                               CInstance* other);
void vtl_Object_obj_transmitter_Collision_e655244c_e3e8_4015_b4e2_e28b26361cea(CInstance* self,
                                                                               CInstance* other);
void vtl_Object_obj_transmitter_Other_8(CInstance* self, CInstance* other);
void vtl_Object_obj_transmitter_Other_14(CInstance* self, CInstance* other);
void vtl_Object_obj_transmitter_Other_15(CInstance* self, CInstance* other);
void vtl_Object_obj_transmitter_Draw_0(CInstance* self, CInstance* other);
void vtl_Object_obj_transmitter_Draw_76(CInstance* self, CInstance* other);
void vtl_Object_obj_transmitter_PreCreate_0(CInstance* self, CInstance* other);
void vtl_Object_obj_player_Create_0(CInstance* self, CInstance* other);
void vtl_Object_obj_player_Alarm_0(CInstance* self, CInstance* other);
void vtl_Object_obj_player_Alarm_1(CInstance* self, CInstance* other);
void vtl_Object_obj_player_Alarm_2(CInstance* self, CInstance* other);
void vtl_Object_obj_player_Alarm_3(CInstance* self, CInstance* other);
void vtl_Object_obj_player_Step_0(CInstance* self, CInstance* other);
void vtl_Object_obj_player_Collision_e655244c_e3e8_4015_b4e2_e28b26361cea(CInstance* self, CInstance* other);
void vtl_Object_obj_player_Other_14(CInstance* self, CInstance* other);
void vtl_Object_obj_player_Other_15(CInstance* self, CInstance* other);
void vtl_Object_obj_player_Other_1(CInstance* self, CInstance* other);
void vtl_Object_obj_player_Draw_76(CInstance* self, CInstance* other);
void vtl_Object_obj_player_Draw_73(CInstance* self, CInstance* other);
void vtl_Object_obj_player_PreCreate_0(CInstance* self, CInstance* other);
void vtl_Object_obj_enemy_Create_0(CInstance* self, CInstance* other);
void vtl_Object_obj_enemy_Alarm_0(CInstance* self, CInstance* other);
void vtl_Object_obj_enemy_Alarm_1(CInstance* self, CInstance* other);
void vtl_Object_obj_enemy_Alarm_2(CInstance* self, CInstance* other);
void vtl_Object_obj_enemy_Alarm_3(CInstance* self, CInstance* other);
void vtl_Object_obj_enemy_Alarm_4(CInstance* self, CInstance* other);
void vtl_Object_obj_enemy_Alarm_5(CInstance* self, CInstance* other);
void vtl_Object_obj_enemy_Step_0(CInstance* self, CInstance* other);
void vtl_Object_obj_enemy_Step_1(CInstance* self, CInstance* other);
void vtl_Object_obj_enemy_Collision_17fff1ef_b712_4961_a9c2_7ed4af689341(CInstance* self, CInstance* other);
void vtl_Object_obj_enemy_Other_14(CInstance* self, CInstance* other);
void vtl_Object_obj_enemy_Other_15(CInstance* self, CInstance* other);
void vtl_Object_obj_enemy_Other_1(CInstance* self, CInstance* other);
void vtl_Object_obj_enemy_Draw_76(CInstance* self, CInstance* other);
void vtl_Object_obj_enemy_PreCreate_0(CInstance* self, CInstance* other);
void vtl_Object_obj_piece_Create_0(CInstance* self, CInstance* other);
void vtl_Object_obj_piece_PreCreate_0(CInstance* self, CInstance* other);
void vtl_Object_obj_goal_Create_0(CInstance* self, CInstance* other);
void vtl_Object_obj_goal_Alarm_0(CInstance* self, CInstance* other);
void vtl_Object_obj_goal_Step_0(CInstance* self, CInstance* other);
void vtl_Object_obj_goal_Draw_64(CInstance* self, CInstance* other);
void vtl_Object_obj_goal_KeyPress_16(CInstance* self, CInstance* other);
void vtl_Object_obj_goal_CleanUp_0(CInstance* self, CInstance* other);
void vtl_Object_obj_goal_PreCreate_0(CInstance* self, CInstance* other);
void vtl_Object_obj_game_controller_Create_0(CInstance* self, CInstance* other);
void vtl_Object_obj_game_controller_Alarm_0(CInstance* self, CInstance* other);
void vtl_Object_obj_game_controller_Alarm_1(CInstance* self, CInstance* other);
void vtl_Object_obj_game_controller_Alarm_2(CInstance* self, CInstance* other);
void vtl_Object_obj_game_controller_Step_0(CInstance* self, CInstance* other);
void vtl_Object_obj_game_controller_Other_14(CInstance* self, CInstance* other);
void vtl_Object_obj_game_controller_Other_15(CInstance* self, CInstance* other);
void vtl_Object_obj_game_controller_Other_4(CInstance* self, CInstance* other);
void vtl_Object_obj_game_controller_KeyPress_27(CInstance* self, CInstance* other);
void vtl_Object_obj_game_controller_PreCreate_0(CInstance* self, CInstance* other);
void vtl_Object_obj_piece_effect_Create_0(CInstance* self, CInstance* other);
void vtl_Object_obj_piece_effect_Alarm_0(CInstance* self, CInstance* other);
void vtl_Object_obj_piece_effect_Step_0(CInstance* self, CInstance* other);
void vtl_Object_obj_piece_effect_Other_14(CInstance* self, CInstance* other);
void vtl_Object_obj_piece_effect_Other_15(CInstance* self, CInstance* other);
void vtl_Object_obj_piece_effect_Draw_0(CInstance* self, CInstance* other);
void vtl_Object_obj_piece_effect_PreCreate_0(CInstance* self, CInstance* other);
void vtl_Object_obj_whomp_Create_0(CInstance* self, CInstance* other);
void vtl_Object_obj_whomp_Alarm_0(CInstance* self, CInstance* other);
void vtl_Object_obj_whomp_Step_0(CInstance* self, CInstance* other);
void vtl_Object_obj_whomp_PreCreate_0(CInstance* self, CInstance* other);
void vtl_Object_cls_targetable_PreCreate_0(CInstance* self, CInstance* other);
void vtl_Object_obj_crash_Create_0(CInstance* self, CInstance* other);
void vtl_Object_obj_crash_Other_7(CInstance* self, CInstance* other);
void vtl_Object_obj_crash_PreCreate_0(CInstance* self, CInstance* other);
void vtl_Object_obj_transmitter_waiting_Create_0(CInstance* self, CInstance* other);
void vtl_Object_obj_transmitter_waiting_Step_0(CInstance* self, CInstance* other);
void vtl_Object_obj_transmitter_waiting_Draw_76(CInstance* self, CInstance* other);
void vtl_Object_obj_transmitter_waiting_Draw_0(CInstance* self, CInstance* other);
void vtl_Object_obj_transmitter_waiting_PreCreate_0(CInstance* self, CInstance* other);
void vtl_Object_obj_title_Create_0(CInstance* self, CInstance* other);
void vtl_Object_obj_title_KeyPress_1(CInstance* self, CInstance* other);
void vtl_Object_obj_title_KeyPress_27(CInstance* self, CInstance* other);
void vtl_Object_obj_title_PreCreate_0(CInstance* self, CInstance* other);
void vtl_Object_obj_how_KeyPress_1(CInstance* self, CInstance* other);
void vtl_Object_obj_how_PreCreate_0(CInstance* self, CInstance* other);
void vtl_Object_obj_scaler_Create_0(CInstance* self, CInstance* other);
void vtl_Object_obj_scaler_Alarm_0(CInstance* self, CInstance* other);
void vtl_Object_obj_scaler_Alarm_1(CInstance* self, CInstance* other);
void vtl_Object_obj_scaler_Other_4(CInstance* self, CInstance* other);
void vtl_Object_obj_scaler_Draw_76(CInstance* self, CInstance* other);
void vtl_Object_obj_scaler_Draw_77(CInstance* self, CInstance* other);
void vtl_Object_obj_scaler_Draw_64(CInstance* self, CInstance* other);
void vtl_Object_obj_scaler_KeyPress_70(CInstance* self, CInstance* other);
void vtl_Object_obj_scaler_CleanUp_0(CInstance* self, CInstance* other);
void vtl_Object_obj_scaler_PreCreate_0(CInstance* self, CInstance* other);
void vtl_Object_obj_win_Create_0(CInstance* self, CInstance* other);
void vtl_Object_obj_win_Alarm_0(CInstance* self, CInstance* other);
void vtl_Object_obj_win_Draw_0(CInstance* self, CInstance* other);
void vtl_Object_obj_win_KeyPress_1(CInstance* self, CInstance* other);
void vtl_Object_obj_win_PreCreate_0(CInstance* self, CInstance* other);
