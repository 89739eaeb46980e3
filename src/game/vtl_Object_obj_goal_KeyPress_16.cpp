// The board's Key Press Shift: empty.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_goal_KeyPress_16(CInstance*, CInstance*) {
    GameFrame frame("vtl_Object_obj_goal_KeyPress_16");
}
