// The pile's Clean Up: its two lists go with it.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_piece_pile_CleanUp_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_piece_pile_CleanUp_0");
    ZQRValue indexList = Game_Slot(self, SLOT_pile_index_list);
    Game_Call(self, other, FN_ds_list_destroy, {&indexList});
    ZQRValue colourList = Game_Slot(self, SLOT_pile_colour_list);
    Game_Call(self, other, FN_ds_list_destroy, {&colourList});
}
