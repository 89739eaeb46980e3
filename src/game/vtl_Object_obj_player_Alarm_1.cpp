// The player's Alarm 1: steering and dashing come back, and so does being hurt.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_player_Alarm_1(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_player_Alarm_1");
    Game_Slot(self, SLOT_locked_input) = 0;
    Game_Slot(self, SLOT_can_ouch) = 1;
}
