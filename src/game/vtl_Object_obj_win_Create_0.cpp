// The win screen's Create: back to the title after 600 steps.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_win_Create_0(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_win_Create_0");
    Game_Set(self, VAR_alarm, 0, 600);
}
