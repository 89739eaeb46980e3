// The enemy's Alarm 5: never armed; bound so that the object has the event.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_enemy_Alarm_5(CInstance*, CInstance*) {
    GameFrame frame("vtl_Object_obj_enemy_Alarm_5");
}
