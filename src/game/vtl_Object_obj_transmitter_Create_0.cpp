// The carrier's Create: small, transparent and fading in over 30 steps; the
// pile sets the piece, its place and the path's ends right after.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_transmitter_Create_0(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_transmitter_Create_0");
    Game_Slot(self, SLOT_state) = 0;
    for (int slot : {SLOT_piece_index, SLOT_piece_number, SLOT_piece_colour, SLOT_target_x, SLOT_target_y,
                     SLOT_path_start_x, SLOT_path_start_y, SLOT_path_end_x, SLOT_path_end_y,
                     SLOT_piece_x_offset, SLOT_piece_y_offset})
        Game_Slot(self, slot) = 0;
    Game_Set(self, VAR_image_alpha, ARRAY_INDEX_NO_INDEX, 0);
    Game_Slot(self, SLOT_alpha_delta) = 0.0333333333333333;
    Game_Slot(self, SLOT_target_scaling) = 0.25;
    Game_Slot(self, SLOT_scaling) = 0.25;
    Game_Slot(self, SLOT_speed_scaling) = Game_Slot(self, SLOT_scaling);
    Game_Slot(self, SLOT_paused) = 0;
    Game_Slot(self, SLOT_disabled) = 0;
    Game_Slot(self, SLOT_angle_delta) = 0;
}
