// The pile's user event 4 (pause): hold the launch and replacement timers; a
// second pause keeps the first one's saved timers.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_piece_pile_Other_14(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_piece_pile_Other_14");
    if (Game_Slot(self, SLOT_paused).IsTrue()) return;
    Game_SetElement(self, SLOT_old_alarm, 0, Game_Get(self, VAR_alarm, 0));
    Game_SetElement(self, SLOT_old_alarm, 1, Game_Get(self, VAR_alarm, 1));
    Game_Slot(self, SLOT_paused) = 1;
    Game_Set(self, VAR_alarm, 0, -1);
    Game_Set(self, VAR_alarm, 1, -1);
}
