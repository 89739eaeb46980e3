// The game controller's Alarm 1: the end of a hit-stop; every live
// instance resumes (user event 5).
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_game_controller_Alarm_1(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_game_controller_Alarm_1");
    for (GameWith with(self, other, WITH_ALL); with.Next();) {
        ZQRValue five(5);
        Game_Call(with.Self(), with.Other(), FN_event_user, {&five});
    }
}
