// The win screen's Alarm 0: back to the title room.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_win_Alarm_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_win_Alarm_0");
    ZQRValue room(0);
    Game_Call(self, other, FN_room_goto, {&room});
}
