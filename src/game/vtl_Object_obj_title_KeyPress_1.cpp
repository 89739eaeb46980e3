// The title screen's any key: on to the how-to-play room.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_title_KeyPress_1(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_title_KeyPress_1");
    ZQRValue room(1);
    Game_Call(self, other, FN_room_goto, {&room});
}
