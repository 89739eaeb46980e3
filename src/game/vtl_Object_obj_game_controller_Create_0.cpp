// The game controller's Create: a fresh random sequence each run, not
// paused, and the first enemy in the room's first step.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_game_controller_Create_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_game_controller_Create_0");
    Game_Call(self, other, FN_randomize);
    Game_Slot(self, SLOT_paused) = 0;
    Game_Set(self, VAR_alarm, 0, 1);
}
