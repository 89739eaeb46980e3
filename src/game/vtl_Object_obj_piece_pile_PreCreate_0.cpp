// The pile's Pre-Create: thirty carriers to send, path 0 as their route and
// pieces of 8 by 8 pixels on the board.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_piece_pile_PreCreate_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_piece_pile_PreCreate_0");
    Game_Call(self, other, FN_event_inherited);
    Game_Slot(self, SLOT_num_transmitters) = 30;
    Game_Slot(self, SLOT_my_path) = 0;
    Game_Slot(self, SLOT_piece_width) = 8;
    Game_Slot(self, SLOT_piece_height) = 8;
}
