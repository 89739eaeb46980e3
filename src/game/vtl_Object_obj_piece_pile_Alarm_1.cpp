// The pile's Alarm 1: a knocked-down carrier is replaced.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_piece_pile_Alarm_1(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_piece_pile_Alarm_1");
    Game_Slot(self, SLOT_num_dead) -= ZQRValue(1);
    Game_Slot(self, SLOT_num_transmitters) += 1;
}
