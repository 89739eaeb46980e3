// The falling piece's Step, while not paused: it slows by a fifteenth of a
// pixel, shrinks by 0.025 and turns each step, and fades over its last 15.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_piece_effect_Step_0(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_piece_effect_Step_0");
    if (Game_Slot(self, SLOT_paused).IsTrue()) return;
    Game_Set(self, VAR_speed, ARRAY_INDEX_NO_INDEX, Game_Get(self, VAR_speed) - 0.0666666666666667);
    Game_Slot(self, SLOT_scaling) -= ZQRValue(0.025);
    Game_Set(self, VAR_image_angle, ARRAY_INDEX_NO_INDEX,
             Game_Get(self, VAR_image_angle) + Game_Slot(self, SLOT_angle_delta));
    if (Game_Get(self, VAR_alarm, 0) <= 15)
        Game_Set(self, VAR_image_alpha, ARRAY_INDEX_NO_INDEX, Game_Get(self, VAR_alarm, 0) / 15);
}
