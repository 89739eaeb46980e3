// The falling piece's Pre-Create.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_piece_effect_PreCreate_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_piece_effect_PreCreate_0");
    Game_Call(self, other, FN_event_inherited);
}
