// The game controller's Alarm 2, set by the player's death: the room
// restarts at the end of the step.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_game_controller_Alarm_2(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_game_controller_Alarm_2");
    Game_Call(self, other, FN_room_restart);
}
