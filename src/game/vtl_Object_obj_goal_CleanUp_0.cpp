// The board's Clean Up: its list goes with it.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_goal_CleanUp_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_goal_CleanUp_0");
    ZQRValue pieces = Game_Slot(self, SLOT_piece_list);
    Game_Call(self, other, FN_ds_list_destroy, {&pieces});
}
