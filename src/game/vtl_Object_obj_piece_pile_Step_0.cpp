// The pile's Step: while not paused, arm the replacement timer when carriers are
// down and none is pending. A timer that fired this step still reads 0 here,
// so further replacements come 121 steps apart.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_piece_pile_Step_0(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_piece_pile_Step_0");
    if (Game_Slot(self, SLOT_paused).IsTrue()) return;
    if (Game_Slot(self, SLOT_num_dead) > 0 && Game_Get(self, VAR_alarm, 1) == -1)
        Game_Set(self, VAR_alarm, 1, 120);
}
