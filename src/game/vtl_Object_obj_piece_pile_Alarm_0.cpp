// The pile's Alarm 0, the launch tick every 30 steps: while pieces are left and
// a carrier is free, a carrier leaves on the layer "Actors" with the next piece
// of the sending order, its place on the board's 8-pixel grid (centred on the
// board; an odd width puts the grid half a piece off) and the two ends of the
// path. The piece count is taken again at every tick, so a piece returned by a
// knock-down is sent at a later tick.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "game/game_math.h"

void vtl_Object_obj_piece_pile_Alarm_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_piece_pile_Alarm_0");
    if (Game_Slot(self, SLOT_num_pieces) > 0 && Game_Slot(self, SLOT_num_transmitters) > 0) {
        ZQRValue x = Game_Get(self, VAR_x), y = Game_Get(self, VAR_y), layer("Actors"),
                 object(OBJ_transmitter);
        const ZQRValue t = Game_Call(self, other, FN_instance_create_layer, {&x, &y, &layer, &object});
        ZQRValue indexList = Game_Slot(self, SLOT_pile_index_list);
        ZQRValue colourList = Game_Slot(self, SLOT_pile_colour_list);
        ZQRValue first = 0;
        ZQRValue idx = Game_Call(self, other, FN_ds_list_find_value, {&indexList, &first});
        const ZQRValue colour = Game_Call(self, other, FN_ds_list_find_value, {&colourList, &idx});
        Game_Call(self, other, FN_ds_list_delete, {&indexList, &first});
        const ZQRValue px = idx % Game_Slot(self, SLOT_num_cols);
        const ZQRValue py = Game_Div(idx, Game_Slot(self, SLOT_num_cols));

        for (GameWith with(self, other, t.ToInt32()); with.Next();) {
            CInstance* me = with.Self();
            CInstance* pile = with.Other();
            Game_Slot(me, SLOT_piece_colour) = colour;
            Game_Slot(me, SLOT_piece_number) = idx;
            Game_Slot(me, SLOT_target_x) =
                Game_GetOn(OBJ_goal, VAR_x) -
                Game_Slot(pile, SLOT_num_cols) / 2 * Game_Slot(pile, SLOT_piece_width) +
                px * Game_Slot(pile, SLOT_piece_width) + 8;
            Game_Slot(me, SLOT_target_y) =
                Game_GetOn(OBJ_goal, VAR_y) -
                Game_Slot(pile, SLOT_num_rows) / 2 * Game_Slot(pile, SLOT_piece_height) +
                py * Game_Slot(pile, SLOT_piece_height) + 8;
            ZQRValue path = Game_Slot(pile, SLOT_my_path);
            const ZQRValue n = Game_Call(me, pile, FN_path_get_number, {&path});
            ZQRValue start = 0, last = n - 1;
            Game_Slot(me, SLOT_path_start_x) = Game_Call(me, pile, FN_path_get_point_x, {&path, &start});
            Game_Slot(me, SLOT_path_start_y) = Game_Call(me, pile, FN_path_get_point_y, {&path, &start});
            Game_Slot(me, SLOT_path_end_x) = Game_Call(me, pile, FN_path_get_point_x, {&path, &last});
            Game_Slot(me, SLOT_path_end_y) = Game_Call(me, pile, FN_path_get_point_y, {&path, &last});
        }
        Game_Global(SLOT_pieces_in_play) += 1;
        Game_Slot(self, SLOT_num_transmitters) -= ZQRValue(1);
    }
    ZQRValue indexList = Game_Slot(self, SLOT_pile_index_list);
    Game_Slot(self, SLOT_num_pieces) = Game_Call(self, other, FN_ds_list_size, {&indexList});
    Game_Set(self, VAR_alarm, 0, 30);
}
