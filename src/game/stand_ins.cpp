// Stand-ins for the game's compiled events that later work builds (the
// pile, carriers, player, enemies, board, effects and window scaler): each
// does nothing, so the binding record is complete and every code entry
// binds to a function of its own name. Each goes as its real file lands;
// the build refuses a function defined both here and in its own file
// (tools/check_duplicates.sh).
#include "game/game_functions.h"

void vtl_Object_obj_player_Create_0(CInstance*, CInstance*) {}
void vtl_Object_obj_player_Alarm_0(CInstance*, CInstance*) {}
void vtl_Object_obj_player_Alarm_1(CInstance*, CInstance*) {}
void vtl_Object_obj_player_Alarm_2(CInstance*, CInstance*) {}
void vtl_Object_obj_player_Alarm_3(CInstance*, CInstance*) {}
void vtl_Object_obj_player_Step_0(CInstance*, CInstance*) {}
void vtl_Object_obj_player_Collision_e655244c_e3e8_4015_b4e2_e28b26361cea(CInstance*, CInstance*) {}
void vtl_Object_obj_player_Other_14(CInstance*, CInstance*) {}
void vtl_Object_obj_player_Other_15(CInstance*, CInstance*) {}
void vtl_Object_obj_player_Other_1(CInstance*, CInstance*) {}
void vtl_Object_obj_player_Draw_76(CInstance*, CInstance*) {}
void vtl_Object_obj_player_Draw_73(CInstance*, CInstance*) {}
void vtl_Object_obj_player_PreCreate_0(CInstance*, CInstance*) {}
void vtl_Object_obj_enemy_Create_0(CInstance*, CInstance*) {}
void vtl_Object_obj_enemy_Alarm_0(CInstance*, CInstance*) {}
void vtl_Object_obj_enemy_Alarm_1(CInstance*, CInstance*) {}
void vtl_Object_obj_enemy_Alarm_2(CInstance*, CInstance*) {}
void vtl_Object_obj_enemy_Alarm_3(CInstance*, CInstance*) {}
void vtl_Object_obj_enemy_Alarm_4(CInstance*, CInstance*) {}
void vtl_Object_obj_enemy_Alarm_5(CInstance*, CInstance*) {}
void vtl_Object_obj_enemy_Step_0(CInstance*, CInstance*) {}
void vtl_Object_obj_enemy_Step_1(CInstance*, CInstance*) {}
void vtl_Object_obj_enemy_Collision_17fff1ef_b712_4961_a9c2_7ed4af689341(CInstance*, CInstance*) {}
void vtl_Object_obj_enemy_Other_14(CInstance*, CInstance*) {}
void vtl_Object_obj_enemy_Other_15(CInstance*, CInstance*) {}
void vtl_Object_obj_enemy_Other_1(CInstance*, CInstance*) {}
void vtl_Object_obj_enemy_Draw_76(CInstance*, CInstance*) {}
void vtl_Object_obj_enemy_PreCreate_0(CInstance*, CInstance*) {}
void vtl_Object_obj_scaler_Create_0(CInstance*, CInstance*) {}
void vtl_Object_obj_scaler_Alarm_0(CInstance*, CInstance*) {}
void vtl_Object_obj_scaler_Alarm_1(CInstance*, CInstance*) {}
void vtl_Object_obj_scaler_Other_4(CInstance*, CInstance*) {}
void vtl_Object_obj_scaler_Draw_76(CInstance*, CInstance*) {}
void vtl_Object_obj_scaler_Draw_77(CInstance*, CInstance*) {}
void vtl_Object_obj_scaler_Draw_64(CInstance*, CInstance*) {}
void vtl_Object_obj_scaler_KeyPress_70(CInstance*, CInstance*) {}
void vtl_Object_obj_scaler_CleanUp_0(CInstance*, CInstance*) {}
void vtl_Object_obj_scaler_PreCreate_0(CInstance*, CInstance*) {}
