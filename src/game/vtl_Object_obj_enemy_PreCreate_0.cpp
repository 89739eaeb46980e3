// The enemy's Pre-Create: one hit point, so every hit it takes is fatal.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_enemy_PreCreate_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_enemy_PreCreate_0");
    Game_Call(self, other, FN_event_inherited);
    Game_Slot(self, SLOT_my_hp) = 1;
    Game_Slot(self, SLOT_my_hp_max) = 1;
}
