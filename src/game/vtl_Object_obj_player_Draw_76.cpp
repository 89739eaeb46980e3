// The player's Pre-Draw: the default drawing shows it turned to its facing
// (the dying player keeps the angle its Step spins) at its scale.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_player_Draw_76(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_player_Draw_76");
    if (!Game_Slot(self, SLOT_is_dead).IsTrue())
        Game_Set(self, VAR_image_angle, ARRAY_INDEX_NO_INDEX, Game_Slot(self, SLOT_facing));
    Game_Set(self, VAR_image_xscale, ARRAY_INDEX_NO_INDEX, Game_Slot(self, SLOT_scaling));
    Game_Set(self, VAR_image_yscale, ARRAY_INDEX_NO_INDEX, Game_Slot(self, SLOT_scaling));
}
