// The enemy's Begin Step: does nothing; bound so that the object has the event.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_enemy_Step_1(CInstance*, CInstance*) {
    GameFrame frame("vtl_Object_obj_enemy_Step_1");
}
