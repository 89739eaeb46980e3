// Stand-ins for the game's compiled events that later work builds (the
// pile, carriers, player, enemies, board, effects and window scaler): each
// does nothing, so the binding record is complete and every code entry
// binds to a function of its own name. Each goes as its real file lands;
// the build refuses a function defined both here and in its own file
// (tools/check_duplicates.sh).
#include "game/game_functions.h"

void vtl_Object_obj_piece_pile_Create_0(CInstance*, CInstance*) {}
void vtl_Object_obj_piece_pile_Alarm_0(CInstance*, CInstance*) {}
void vtl_Object_obj_piece_pile_Alarm_1(CInstance*, CInstance*) {}
void vtl_Object_obj_piece_pile_Step_0(CInstance*, CInstance*) {}
void vtl_Object_obj_piece_pile_Other_14(CInstance*, CInstance*) {}
void vtl_Object_obj_piece_pile_Other_15(CInstance*, CInstance*) {}
void vtl_Object_obj_piece_pile_Draw_64(CInstance*, CInstance*) {}
void vtl_Object_obj_piece_pile_Draw_76(CInstance*, CInstance*) {}
void vtl_Object_obj_piece_pile_Draw_0(CInstance*, CInstance*) {}
void vtl_Object_obj_piece_pile_CleanUp_0(CInstance*, CInstance*) {}
void vtl_Object_obj_piece_pile_PreCreate_0(CInstance*, CInstance*) {}
void vtl_Object_obj_transmitter_Create_0(CInstance*, CInstance*) {}
void vtl_Object_obj_transmitter_Alarm_0(CInstance*, CInstance*) {}
void vtl_Object_obj_transmitter_Step_0(CInstance*, CInstance*) {}
void vtl_Object_obj_transmitter_Step_2(CInstance*, CInstance*) {}
void vtl_Object_obj_transmitter_Collision_d87b8975_b144_401b_a04c_e2082facff13(CInstance*, CInstance*) {}
void vtl_Object_obj_transmitter_Collision_e655244c_e3e8_4015_b4e2_e28b26361cea(CInstance*, CInstance*) {}
void vtl_Object_obj_transmitter_Other_8(CInstance*, CInstance*) {}
void vtl_Object_obj_transmitter_Other_14(CInstance*, CInstance*) {}
void vtl_Object_obj_transmitter_Other_15(CInstance*, CInstance*) {}
void vtl_Object_obj_transmitter_Draw_0(CInstance*, CInstance*) {}
void vtl_Object_obj_transmitter_Draw_76(CInstance*, CInstance*) {}
void vtl_Object_obj_transmitter_PreCreate_0(CInstance*, CInstance*) {}
void vtl_Object_obj_piece_Create_0(CInstance*, CInstance*) {}
void vtl_Object_obj_piece_PreCreate_0(CInstance*, CInstance*) {}
void vtl_Object_obj_goal_Create_0(CInstance*, CInstance*) {}
void vtl_Object_obj_goal_Alarm_0(CInstance*, CInstance*) {}
void vtl_Object_obj_goal_Step_0(CInstance*, CInstance*) {}
void vtl_Object_obj_goal_Draw_64(CInstance*, CInstance*) {}
void vtl_Object_obj_goal_KeyPress_16(CInstance*, CInstance*) {}
void vtl_Object_obj_goal_CleanUp_0(CInstance*, CInstance*) {}
void vtl_Object_obj_goal_PreCreate_0(CInstance*, CInstance*) {}
void vtl_Object_obj_piece_effect_Create_0(CInstance*, CInstance*) {}
void vtl_Object_obj_piece_effect_Alarm_0(CInstance*, CInstance*) {}
void vtl_Object_obj_piece_effect_Step_0(CInstance*, CInstance*) {}
void vtl_Object_obj_piece_effect_Other_14(CInstance*, CInstance*) {}
void vtl_Object_obj_piece_effect_Other_15(CInstance*, CInstance*) {}
void vtl_Object_obj_piece_effect_Draw_0(CInstance*, CInstance*) {}
void vtl_Object_obj_piece_effect_PreCreate_0(CInstance*, CInstance*) {}
void vtl_Object_obj_whomp_Create_0(CInstance*, CInstance*) {}
void vtl_Object_obj_whomp_Alarm_0(CInstance*, CInstance*) {}
void vtl_Object_obj_whomp_Step_0(CInstance*, CInstance*) {}
void vtl_Object_obj_whomp_PreCreate_0(CInstance*, CInstance*) {}
void vtl_Object_obj_crash_Create_0(CInstance*, CInstance*) {}
void vtl_Object_obj_crash_Other_7(CInstance*, CInstance*) {}
void vtl_Object_obj_crash_PreCreate_0(CInstance*, CInstance*) {}
void vtl_Object_obj_transmitter_waiting_Create_0(CInstance*, CInstance*) {}
void vtl_Object_obj_transmitter_waiting_Step_0(CInstance*, CInstance*) {}
void vtl_Object_obj_transmitter_waiting_Draw_76(CInstance*, CInstance*) {}
void vtl_Object_obj_transmitter_waiting_Draw_0(CInstance*, CInstance*) {}
void vtl_Object_obj_transmitter_waiting_PreCreate_0(CInstance*, CInstance*) {}
