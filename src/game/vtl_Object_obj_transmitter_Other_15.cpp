// The carrier's user event 5 (resume): the held values come back.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_transmitter_Other_15(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_transmitter_Other_15");
    Game_Slot(self, SLOT_paused) = 0;
    Game_Set(self, VAR_alarm, 0, Game_GetElement(self, SLOT_old_alarm, 0));
    Game_Set(self, VAR_speed, ARRAY_INDEX_NO_INDEX, Game_Slot(self, SLOT_old_speed));
    Game_Set(self, VAR_path_speed, ARRAY_INDEX_NO_INDEX, Game_Slot(self, SLOT_old_path_speed));
    Game_Set(self, VAR_image_speed, ARRAY_INDEX_NO_INDEX, Game_Slot(self, SLOT_old_image_speed));
}
