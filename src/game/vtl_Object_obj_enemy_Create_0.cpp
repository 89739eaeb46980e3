// The enemy's Create: chasing, ready to charge, slowed by the built-in
// friction of 0.2 a step.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_enemy_Create_0(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_enemy_Create_0");
    Game_Slot(self, SLOT_dashing) = 0;
    Game_Slot(self, SLOT_is_dead) = 0;
    Game_Slot(self, SLOT_scaling) = 1;
    Game_Slot(self, SLOT_paused) = 0;
    Game_Slot(self, SLOT_charge) = 0;
    Game_Slot(self, SLOT_can_charge) = 1;
    Game_Slot(self, SLOT_can_ouch) = 1;
    Game_Set(self, VAR_friction, ARRAY_INDEX_NO_INDEX, 0.2);
}
