// The win screen's any key: leave in the next step's alarm pass (a second
// press only re-arms the one step).
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_win_KeyPress_1(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_win_KeyPress_1");
    Game_Set(self, VAR_alarm, 0, 1);
}
