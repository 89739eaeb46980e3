// The falling piece's user event 5 (resume). A piece made during a hit-stop
// (a carrier knocked down while everything is frozen) was never paused and
// has nothing saved: reading its saved timer would stop the game with an
// error, and it is already running, so only a paused piece resumes.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_piece_effect_Other_15(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_piece_effect_Other_15");
    if (!Game_Slot(self, SLOT_paused).IsTrue()) return;
    Game_Slot(self, SLOT_paused) = 0;
    Game_Set(self, VAR_alarm, 0, Game_GetElement(self, SLOT_old_alarm, 0));
    Game_Set(self, VAR_speed, ARRAY_INDEX_NO_INDEX, Game_Slot(self, SLOT_old_speed));
}
