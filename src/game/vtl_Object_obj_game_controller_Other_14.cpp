// The game controller's user event 4 (pause): hold the spawn alarm. It does
// not test `paused`, so a second pause saves -1 over the held alarm and the
// Step arms a fresh 240 after resuming.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_game_controller_Other_14(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_game_controller_Other_14");
    Game_SetElement(self, SLOT_old_alarm, 0, Game_Get(self, VAR_alarm, 0));
    Game_Slot(self, SLOT_paused) = 1;
    Game_Set(self, VAR_alarm, 0, -1);
}
