// The falling piece's Create: a spin either way, full size, 30 steps to live.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "game/game_math.h"

void vtl_Object_obj_piece_effect_Create_0(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_piece_effect_Create_0");
    Game_Slot(self, SLOT_angle_delta) = Game_Choose({-5, 5});
    Game_Slot(self, SLOT_scaling) = 1;
    Game_Set(self, VAR_alarm, 0, 30);
    Game_Slot(self, SLOT_paused) = 0;
}
