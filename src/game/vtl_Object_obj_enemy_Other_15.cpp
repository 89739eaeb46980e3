// The enemy's user event 5 (resume): the held alarms, motion and friction
// run on (for an enemy killed while paused, the death's, which its
// collision wrote into the saved values).
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_enemy_Other_15(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_enemy_Other_15");
    Game_Slot(self, SLOT_paused) = 0;
    for (int i = 0; i < 6; ++i) Game_Set(self, VAR_alarm, i, Game_GetElement(self, SLOT_old_alarm, i));
    Game_Set(self, VAR_speed, ARRAY_INDEX_NO_INDEX, Game_Slot(self, SLOT_old_speed));
    Game_Set(self, VAR_image_speed, ARRAY_INDEX_NO_INDEX, Game_Slot(self, SLOT_old_image_speed));
    Game_Set(self, VAR_friction, ARRAY_INDEX_NO_INDEX, Game_Slot(self, SLOT_old_friction));
}
