// The board's Step (it has no pause): once 100 pieces are placed, the win room
// follows 180 steps later. The count is the constant 100, not the picture's
// size.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_goal_Step_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_goal_Step_0");
    ZQRValue pieces = Game_Slot(self, SLOT_piece_list);
    Game_Slot(self, SLOT_num_pieces) = Game_Call(self, other, FN_ds_list_size, {&pieces});
    if (Game_Slot(self, SLOT_num_pieces) == 100 && Game_Get(self, VAR_alarm, 0) == -1)
        Game_Set(self, VAR_alarm, 0, 180);
}
