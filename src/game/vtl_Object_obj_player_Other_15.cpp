// The player's user event 5 (resume): the held alarms and motion run on.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_player_Other_15(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_player_Other_15");
    Game_Slot(self, SLOT_paused) = 0;
    for (int i = 0; i < 4; ++i) Game_Set(self, VAR_alarm, i, Game_GetElement(self, SLOT_old_alarm, i));
    Game_Set(self, VAR_speed, ARRAY_INDEX_NO_INDEX, Game_Slot(self, SLOT_old_speed));
    Game_Set(self, VAR_image_speed, ARRAY_INDEX_NO_INDEX, Game_Slot(self, SLOT_old_image_speed));
}
