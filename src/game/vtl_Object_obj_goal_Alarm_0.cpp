// The board's Alarm 0: the picture is complete; the win room shows it.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_goal_Alarm_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_goal_Alarm_0");
    Game_Global(SLOT_pic) = Game_GetSlotOn(OBJ_piece_pile, SLOT_my_image);
    ZQRValue room = 3;
    Game_Call(self, other, FN_room_goto, {&room});
}
