// The player's Alarm 3: the health bar goes 120 steps after the last hit.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_player_Alarm_3(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_player_Alarm_3");
    Game_Slot(self, SLOT_show_hp) = 0;
}
