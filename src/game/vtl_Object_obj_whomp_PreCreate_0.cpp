// The impact burst's Pre-Create: it grows by 0.5 a step up to twice its size
// unless its creator says otherwise.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_whomp_PreCreate_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_whomp_PreCreate_0");
    Game_Call(self, other, FN_event_inherited);
    Game_Slot(self, SLOT_max_scale) = 2;
    Game_Slot(self, SLOT_scale_rate) = 0.5;
}
