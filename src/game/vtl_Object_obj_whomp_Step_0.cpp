// The impact burst's Step (never paused: it lives through the hit-stop its
// impact started): grow towards max_scale.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "game/game_math.h"

void vtl_Object_obj_whomp_Step_0(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_whomp_Step_0");
    Game_Set(self, VAR_image_xscale, ARRAY_INDEX_NO_INDEX,
             Game_Min(Game_Get(self, VAR_image_xscale) + Game_Slot(self, SLOT_scale_rate),
                      Game_Slot(self, SLOT_max_scale)));
    Game_Set(self, VAR_image_yscale, ARRAY_INDEX_NO_INDEX,
             Game_Min(Game_Get(self, VAR_image_yscale) + Game_Slot(self, SLOT_scale_rate),
                      Game_Slot(self, SLOT_max_scale)));
}
