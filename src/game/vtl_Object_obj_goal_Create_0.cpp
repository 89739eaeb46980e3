// The board's Create: an empty list of placed piece numbers.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_goal_Create_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_goal_Create_0");
    Game_Slot(self, SLOT_piece_list) = Game_Call(self, other, FN_ds_list_create);
    Game_Slot(self, SLOT_num_pieces) = 0;
}
