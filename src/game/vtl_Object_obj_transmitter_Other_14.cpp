// The carrier's user event 4 (pause): hold the removal timer, the flight, the
// path and the animation; a second pause keeps the first one's saved values.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_transmitter_Other_14(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_transmitter_Other_14");
    if (Game_Slot(self, SLOT_paused).IsTrue()) return;
    Game_SetElement(self, SLOT_old_alarm, 0, Game_Get(self, VAR_alarm, 0));
    Game_Slot(self, SLOT_old_speed) = Game_Get(self, VAR_speed);
    Game_Slot(self, SLOT_old_path_speed) = Game_Get(self, VAR_path_speed);
    Game_Slot(self, SLOT_old_image_speed) = Game_Get(self, VAR_image_speed);
    Game_Slot(self, SLOT_paused) = 1;
    Game_Set(self, VAR_alarm, 0, -1);
    Game_Set(self, VAR_speed, ARRAY_INDEX_NO_INDEX, 0);
    Game_Set(self, VAR_path_speed, ARRAY_INDEX_NO_INDEX, 0);
    Game_Set(self, VAR_image_speed, ARRAY_INDEX_NO_INDEX, 0);
}
