// The wreck's Create: half size; its animation runs at its sprite's speed.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_crash_Create_0(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_crash_Create_0");
    Game_Set(self, VAR_image_xscale, ARRAY_INDEX_NO_INDEX, 0.5);
    Game_Set(self, VAR_image_yscale, ARRAY_INDEX_NO_INDEX, 0.5);
}
