// The enemy's Pre-Draw: the default drawing points it where it moves or
// aims (while dying, turning with the spin) at its scale.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_enemy_Draw_76(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_enemy_Draw_76");
    Game_Set(self, VAR_image_angle, ARRAY_INDEX_NO_INDEX, Game_Get(self, VAR_direction));
    Game_Set(self, VAR_image_xscale, ARRAY_INDEX_NO_INDEX, Game_Slot(self, SLOT_scaling));
    Game_Set(self, VAR_image_yscale, ARRAY_INDEX_NO_INDEX, Game_Slot(self, SLOT_scaling));
}
