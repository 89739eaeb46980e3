// The enemy's Alarm 4, the end of the cooldown: it may wind up again.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_enemy_Alarm_4(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_enemy_Alarm_4");
    Game_Slot(self, SLOT_can_charge) = 1;
}
