// The enemy's Alarm 3, the end of the rest: chasing resumes; the cooldown
// runs 60 more steps.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_enemy_Alarm_3(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_enemy_Alarm_3");
    Game_Slot(self, SLOT_charge) = 0;
    Game_Set(self, VAR_alarm, 4, 60);
}
