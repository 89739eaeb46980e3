// The pile's user event 5 (resume): the held timers run on.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_piece_pile_Other_15(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_piece_pile_Other_15");
    Game_Slot(self, SLOT_paused) = 0;
    Game_Set(self, VAR_alarm, 0, Game_GetElement(self, SLOT_old_alarm, 0));
    Game_Set(self, VAR_alarm, 1, Game_GetElement(self, SLOT_old_alarm, 1));
}
