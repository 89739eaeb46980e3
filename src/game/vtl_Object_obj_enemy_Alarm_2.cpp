// The enemy's Alarm 2, the end of the charge's fast part: harmless again,
// slowing from 4 to rest.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_enemy_Alarm_2(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_enemy_Alarm_2");
    Game_Slot(self, SLOT_dashing) = 0;
    Game_Set(self, VAR_speed, ARRAY_INDEX_NO_INDEX, 4);
    Game_Set(self, VAR_alarm, 3, 30);
}
