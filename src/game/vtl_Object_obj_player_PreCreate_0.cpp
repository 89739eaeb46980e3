// The player's Pre-Create: the targetable class's own (nothing), then ten
// hit points, a friction of 0.2 and a steering limit of 4 per axis.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_player_PreCreate_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_player_PreCreate_0");
    Game_Call(self, other, FN_event_inherited);
    Game_Slot(self, SLOT_my_hp) = 10;
    Game_Slot(self, SLOT_my_hp_max) = 10;
    Game_Slot(self, SLOT_my_fric) = 0.2;
    Game_Slot(self, SLOT_max_speed) = 4;
}
