// The impact burst's Create: frame 2 of its sprite, still.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_whomp_Create_0(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_whomp_Create_0");
    Game_Set(self, VAR_image_speed, ARRAY_INDEX_NO_INDEX, 0);
    Game_Set(self, VAR_image_index, ARRAY_INDEX_NO_INDEX, 2);
}
