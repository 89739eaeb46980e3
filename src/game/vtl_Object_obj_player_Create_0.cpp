// The player's Create: at rest, facing right, free to steer and be hurt.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_player_Create_0(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_player_Create_0");
    Game_Slot(self, SLOT_x_speed) = 0;
    Game_Slot(self, SLOT_y_speed) = 0;
    Game_Slot(self, SLOT_dashing) = 0;
    Game_Slot(self, SLOT_locked_input) = 0;
    Game_Slot(self, SLOT_can_ouch) = 1;
    Game_Slot(self, SLOT_facing) = 0;
    Game_Slot(self, SLOT_paused) = 0;
    Game_Slot(self, SLOT_is_dead) = 0;
    Game_Slot(self, SLOT_scaling) = 1;
    Game_Slot(self, SLOT_angle_delta) = 0;
    Game_Slot(self, SLOT_show_hp) = 0;
}
