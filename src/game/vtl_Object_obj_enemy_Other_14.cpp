// The enemy's user event 4 (pause): hold alarms 0 to 5, the built-in motion
// and its friction once; a second pause keeps the first saved state.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_enemy_Other_14(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_enemy_Other_14");
    if (Game_Slot(self, SLOT_paused).IsTrue()) return;
    for (int i = 0; i < 6; ++i) {
        Game_SetElement(self, SLOT_old_alarm, i, Game_Get(self, VAR_alarm, i));
        Game_Set(self, VAR_alarm, i, -1);
    }
    Game_Slot(self, SLOT_old_speed) = Game_Get(self, VAR_speed);
    Game_Slot(self, SLOT_old_image_speed) = Game_Get(self, VAR_image_speed);
    Game_Slot(self, SLOT_old_friction) = Game_Get(self, VAR_friction);
    Game_Slot(self, SLOT_paused) = 1;
    Game_Set(self, VAR_speed, ARRAY_INDEX_NO_INDEX, 0);
    Game_Set(self, VAR_image_speed, ARRAY_INDEX_NO_INDEX, 0);
    Game_Set(self, VAR_friction, ARRAY_INDEX_NO_INDEX, 0);
}
