// The carrier's Step, while not paused: scale towards the target size by 0.02,
// ease the free-flight speed, fade in, then fly by state (0 to the path, 1
// along it, 2 to the board and place the piece, 3 back to the path's end, 4
// back along it, 5 into the pile, 6 tumbling after a knock-down). A point is
// reached when it is closer than one step's flight: the carrier is never
// snapped onto it; only path starts place it on the path's end points.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "game/game_math.h"

void vtl_Object_obj_transmitter_Step_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_transmitter_Step_0");
    if (Game_Slot(self, SLOT_paused).IsTrue()) return;

    ZQRValue& scaling = Game_Slot(self, SLOT_scaling);
    if (scaling < Game_Slot(self, SLOT_target_scaling))
        scaling = Game_Min(scaling + 0.02, Game_Slot(self, SLOT_target_scaling));
    else if (scaling > Game_Slot(self, SLOT_target_scaling))
        scaling = Game_Max(scaling - 0.02, Game_Slot(self, SLOT_target_scaling));

    if (Game_Slot(self, SLOT_scaling) == 1 || Game_Slot(self, SLOT_scaling) == 0.25) {
        Game_Slot(self, SLOT_speed_scaling) = Game_Slot(self, SLOT_scaling);
    } else {
        ZQRValue base = (Game_Slot(self, SLOT_scaling) - 0.25) / 0.75, two = 2;
        Game_Slot(self, SLOT_speed_scaling) = Game_Call(self, other, FN_power, {&base, &two}) * 0.75 + 0.25;
    }

    if (!(Game_Slot(self, SLOT_state) == 6) && Game_Get(self, VAR_image_alpha) < 1)
        Game_Set(self, VAR_image_alpha, ARRAY_INDEX_NO_INDEX,
                 Game_Min(Game_Get(self, VAR_image_alpha) + Game_Slot(self, SLOT_alpha_delta), 1));

    ZQRValue v = Game_Slot(self, SLOT_my_speed) * Game_Slot(self, SLOT_speed_scaling);
    // Closer to (px, py) than one step's flight.
    auto arrived = [&](int slotX, int slotY) {
        ZQRValue x = Game_Get(self, VAR_x), y = Game_Get(self, VAR_y);
        ZQRValue px = Game_Slot(self, slotX), py = Game_Slot(self, slotY);
        return Game_Call(self, other, FN_point_distance, {&x, &y, &px, &py}) < v;
    };
    auto moveTowards = [&](ZQRValue px, ZQRValue py) {
        Game_Call(self, other, FN_move_towards_point, {&px, &py, &v});
    };
    ZQRValue zero = 0, one = 1;

    switch (Game_Slot(self, SLOT_state).ToInt32()) {
        case 0:
            if (arrived(SLOT_path_start_x, SLOT_path_start_y)) {
                Game_Slot(self, SLOT_state) = 1;
                ZQRValue path = Game_GetSlotOn(OBJ_piece_pile, SLOT_my_path);
                Game_Call(self, other, FN_path_start, {&path, &v, &zero, &one});
                Game_Slot(self, SLOT_target_scaling) = 1;
            } else {
                moveTowards(Game_Slot(self, SLOT_path_start_x), Game_Slot(self, SLOT_path_start_y));
            }
            break;
        case 1:
            Game_Set(self, VAR_path_speed, ARRAY_INDEX_NO_INDEX,
                     Game_Slot(self, SLOT_my_speed) * Game_Slot(self, SLOT_scaling));
            break;
        case 2:
            if (arrived(SLOT_target_x, SLOT_target_y)) {
                Game_Slot(self, SLOT_state) = 3;
                ZQRValue pieces = Game_GetSlotOn(OBJ_goal, SLOT_piece_list);
                ZQRValue number = Game_Slot(self, SLOT_piece_number);
                if (Game_Call(self, other, FN_ds_list_find_index, {&pieces, &number}) == -1) {
                    ZQRValue tx = Game_Slot(self, SLOT_target_x), ty = Game_Slot(self, SLOT_target_y);
                    ZQRValue layer("Tiles"), object(OBJ_piece);
                    const ZQRValue p =
                        Game_Call(self, other, FN_instance_create_layer, {&tx, &ty, &layer, &object});
                    Game_SetOn(p.ToInt32(), VAR_image_blend, ARRAY_INDEX_NO_INDEX,
                               Game_Slot(self, SLOT_piece_colour));
                    Game_Call(self, other, FN_ds_list_add, {&pieces, &number});
                    Game_Global(SLOT_pieces_in_play) -= ZQRValue(1);
                }
            } else {
                moveTowards(Game_Slot(self, SLOT_target_x), Game_Slot(self, SLOT_target_y));
            }
            break;
        case 3:
            if (arrived(SLOT_path_end_x, SLOT_path_end_y)) {
                Game_Slot(self, SLOT_state) = 4;
                ZQRValue path = Game_GetSlotOn(OBJ_piece_pile, SLOT_my_path);
                ZQRValue back = -v;
                Game_Call(self, other, FN_path_start, {&path, &back, &zero, &one});
                Game_Set(self, VAR_path_position, ARRAY_INDEX_NO_INDEX, 1);
                Game_Slot(self, SLOT_target_scaling) = 1;
            } else {
                moveTowards(Game_Slot(self, SLOT_path_end_x), Game_Slot(self, SLOT_path_end_y));
            }
            break;
        case 4:
            Game_Set(self, VAR_path_speed, ARRAY_INDEX_NO_INDEX,
                     -Game_Slot(self, SLOT_my_speed) * Game_Slot(self, SLOT_scaling));
            break;
        case 5: moveTowards(Game_GetOn(OBJ_piece_pile, VAR_x), Game_GetOn(OBJ_piece_pile, VAR_y)); break;
        case 6: {
            const ZQRValue spin = Game_Slot(self, SLOT_angle_delta);
            Game_Set(self, VAR_direction, ARRAY_INDEX_NO_INDEX, Game_Get(self, VAR_direction) + spin);
            Game_Set(self, VAR_speed, ARRAY_INDEX_NO_INDEX, Game_Get(self, VAR_speed) - 0.05);
            Game_Set(self, VAR_image_angle, ARRAY_INDEX_NO_INDEX, Game_Get(self, VAR_image_angle) + spin * 2);
            if (Game_Get(self, VAR_alarm, 0) <= 15)
                Game_Set(self, VAR_image_alpha, ARRAY_INDEX_NO_INDEX, Game_Get(self, VAR_alarm, 0) / 15);
            break;
        }
        default: break;
    }
}
