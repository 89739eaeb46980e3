// The pile's Draw GUI: empty.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_piece_pile_Draw_64(CInstance*, CInstance*) {
    GameFrame frame("vtl_Object_obj_piece_pile_Draw_64");
}
