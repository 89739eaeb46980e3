// The carrier meets an enemy: a dashing enemy knocks down a carrier at full
// size. A piece still held (states 0 to 2) goes back to the end of the pile's
// sending order; a falling piece drops in any case, a burst shows midway, the
// carrier tumbles away from the enemy and is removed 60 steps later. The
// pile replaces it after its own timer.
//
// A knock-down during a hit-stop (collisions still run while everything is
// frozen) writes the removal timer and the tumbling speed into the saved
// values the resume restores, and leaves the carrier still until then: set
// directly, the resume would overwrite them and the carrier, faded out,
// would never be removed.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "game/game_math.h"

void vtl_Object_obj_transmitter_Collision_e655244c_e3e8_4015_b4e2_e28b26361cea(CInstance* self,
                                                                               CInstance* other) {
    GameFrame frame("vtl_Object_obj_transmitter_Collision_e655244c_e3e8_4015_b4e2_e28b26361cea");
    if (Game_Slot(other, SLOT_dashing).ToInt32() < 1) return;
    if (!(Game_Slot(self, SLOT_scaling) == 1) || Game_Slot(self, SLOT_state) == 6) return;

    if (Game_Slot(self, SLOT_state) <= 2) {
        ZQRValue indexList = Game_GetSlotOn(OBJ_piece_pile, SLOT_pile_index_list);
        ZQRValue number = Game_Slot(self, SLOT_piece_number);
        Game_Call(self, other, FN_ds_list_add, {&indexList, &number});
        Game_Global(SLOT_pieces_in_play) -= ZQRValue(1);
    }
    Game_SetSlotOn(OBJ_piece_pile, SLOT_num_dead, ARRAY_INDEX_NO_INDEX,
                   Game_GetSlotOn(OBJ_piece_pile, SLOT_num_dead) + 1);
    Game_Slot(self, SLOT_state) = 6;
    Game_Set(self, VAR_sprite_index, ARRAY_INDEX_NO_INDEX, 14);

    {
        ZQRValue ex = Game_Get(self, VAR_x) + Game_Slot(self, SLOT_piece_x_offset);
        ZQRValue ey = Game_Get(self, VAR_y) + Game_Slot(self, SLOT_piece_y_offset);
        ZQRValue layer = Game_Get(self, VAR_layer), object(OBJ_piece_effect);
        const int e = Game_Call(self, other, FN_instance_create_layer, {&ex, &ey, &layer, &object}).ToInt32();
        Game_SetOn(e, VAR_image_angle, ARRAY_INDEX_NO_INDEX, Game_Get(self, VAR_image_angle));
        Game_SetOn(e, VAR_image_blend, ARRAY_INDEX_NO_INDEX, Game_Slot(self, SLOT_piece_colour));
        Game_SetOn(e, VAR_direction, ARRAY_INDEX_NO_INDEX, Game_Get(self, VAR_direction));
        Game_SetOn(e, VAR_speed, ARRAY_INDEX_NO_INDEX, Game_Slot(self, SLOT_my_speed));
    }
    {
        ZQRValue wx = (Game_Get(self, VAR_x) + Game_Get(other, VAR_x)) / 2;
        ZQRValue wy = (Game_Get(self, VAR_y) + Game_Get(other, VAR_y)) / 2;
        ZQRValue layer = Game_Get(self, VAR_layer), object(OBJ_whomp);
        const int w = Game_Call(self, other, FN_instance_create_layer, {&wx, &wy, &layer, &object}).ToInt32();
        Game_SetSlotOn(w, SLOT_scale_rate, ARRAY_INDEX_NO_INDEX, 0.25);
        Game_SetSlotOn(w, SLOT_max_scale, ARRAY_INDEX_NO_INDEX, 1);
        Game_SetOn(w, VAR_alarm, 0, 10);
    }

    Game_Slot(self, SLOT_angle_delta) = Game_Choose({-5, 5});
    Game_Set(self, VAR_direction, ARRAY_INDEX_NO_INDEX,
             static_cast<double>(ZQVTL_point_direction(static_cast<float>(Game_Get(other, VAR_x).ToReal()),
                                                       static_cast<float>(Game_Get(other, VAR_y).ToReal()),
                                                       static_cast<float>(Game_Get(self, VAR_x).ToReal()),
                                                       static_cast<float>(Game_Get(self, VAR_y).ToReal()))));
    Game_Call(self, other, FN_path_end);
    if (Game_Slot(self, SLOT_paused).IsTrue()) {
        Game_SetElement(self, SLOT_old_alarm, 0, 60);
        Game_Slot(self, SLOT_old_speed) = Game_Slot(self, SLOT_my_speed);
        Game_Slot(self, SLOT_old_path_speed) = 0;
        Game_Set(self, VAR_speed, ARRAY_INDEX_NO_INDEX, 0);
    } else {
        Game_Set(self, VAR_speed, ARRAY_INDEX_NO_INDEX, Game_Slot(self, SLOT_my_speed));
        Game_Set(self, VAR_alarm, 0, 60);
    }
    Game_Slot(self, SLOT_target_scaling) = 0.25;

    ZQRValue sound = 2, priority = 1, loop = 0;
    Game_Call(self, other, FN_audio_play_sound, {&sound, &priority, &loop});
}
