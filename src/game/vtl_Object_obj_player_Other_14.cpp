// The player's user event 4 (pause): hold alarms 0 to 3 and the built-in
// motion once; a second pause keeps the first saved state. x_speed and
// y_speed are not saved: the Step, which does nothing while paused, applies
// them again afterwards.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_player_Other_14(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_player_Other_14");
    if (Game_Slot(self, SLOT_paused).IsTrue()) return;
    for (int i = 0; i < 4; ++i) Game_SetElement(self, SLOT_old_alarm, i, Game_Get(self, VAR_alarm, i));
    Game_Slot(self, SLOT_old_speed) = Game_Get(self, VAR_speed);
    Game_Slot(self, SLOT_old_image_speed) = Game_Get(self, VAR_image_speed);
    Game_Slot(self, SLOT_paused) = 1;
    for (int i = 0; i < 4; ++i) Game_Set(self, VAR_alarm, i, -1);
    Game_Set(self, VAR_speed, ARRAY_INDEX_NO_INDEX, 0);
    Game_Set(self, VAR_image_speed, ARRAY_INDEX_NO_INDEX, 0);
}
