// The how-to-play screen's any key (a new press, not a key held from the
// title): into the game room.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_how_KeyPress_1(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_how_KeyPress_1");
    ZQRValue room(2);
    Game_Call(self, other, FN_room_goto, {&room});
}
