// The pile's Create: one of the four pictures, sampled pixel by pixel through a
// surface into a colour per piece (piece n is column n mod width, row n div
// width), the sending order shuffled, and thirty waiting carriers made around
// the pile. The sampling draws outside the draw events, which surfaces allow
// whenever graphics are open; without graphics the surface is refused and the
// colours read as the built-ins answer for a missing surface.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "game/game_math.h"
#include "library/drawing_sprite_builtins.h"
#include "render/surface.h"

void vtl_Object_obj_piece_pile_Create_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_piece_pile_Create_0");
    Game_Slot(self, SLOT_my_image) = Game_Choose({11, 10, 12, 15});
    ZQRValue image = Game_Slot(self, SLOT_my_image);
    Game_Slot(self, SLOT_num_cols) = Game_Call(self, other, FN_sprite_get_width, {&image});
    Game_Slot(self, SLOT_num_rows) = Game_Call(self, other, FN_sprite_get_height, {&image});
    Game_Slot(self, SLOT_num_pieces) = Game_Slot(self, SLOT_num_cols) * Game_Slot(self, SLOT_num_rows);
    Game_Slot(self, SLOT_num_dead) = 0;
    Game_Slot(self, SLOT_pile_index_list) = Game_Call(self, other, FN_ds_list_create);
    Game_Slot(self, SLOT_pile_colour_list) = Game_Call(self, other, FN_ds_list_create);

    ZQRValue cols = Game_Slot(self, SLOT_num_cols), rows = Game_Slot(self, SLOT_num_rows);
    ZQRValue surf = Game_Call(self, other, FN_surface_create, {&cols, &rows});
    ZQVTL_surface_set_target(surf.ToInt32());
    ZQVTL_draw_sprite(self, image.ToInt32(), 0, 0, 0);
    ZQVTL_surface_reset_target();

    for (ZQRValue i = 0; i < Game_Slot(self, SLOT_num_pieces); ++i) {
        ZQRValue indexList = Game_Slot(self, SLOT_pile_index_list);
        Game_Call(self, other, FN_ds_list_add, {&indexList, &i});
        ZQRValue px = i % Game_Slot(self, SLOT_num_cols);
        ZQRValue py = Game_Div(i, Game_Slot(self, SLOT_num_cols));
        ZQRValue colour = Game_Call(self, other, FN_surface_getpixel, {&surf, &px, &py});
        ZQRValue colourList = Game_Slot(self, SLOT_pile_colour_list);
        Game_Call(self, other, FN_ds_list_add, {&colourList, &colour});
    }
    ZQRValue indexList = Game_Slot(self, SLOT_pile_index_list);
    Game_Call(self, other, FN_ds_list_shuffle, {&indexList});

    for (ZQRValue i = 0; i < Game_Slot(self, SLOT_num_transmitters); ++i) {
        ZQRValue x = Game_Get(self, VAR_x), y = Game_Get(self, VAR_y), layer = Game_Get(self, VAR_layer);
        ZQRValue object(OBJ_transmitter_waiting);
        Game_SetElement(self, SLOT_transmitter, i.ToInt32(),
                        Game_Call(self, other, FN_instance_create_layer, {&x, &y, &layer, &object}));
    }

    Game_Call(self, other, FN_surface_free, {&surf});
    Game_Global(SLOT_pieces_in_play) = 0;
    Game_Set(self, VAR_alarm, 0, 30);
    Game_Slot(self, SLOT_paused) = 0;
}
