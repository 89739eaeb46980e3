// The waiting carrier's Pre-Draw: it faces where it flies.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_transmitter_waiting_Draw_76(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_transmitter_waiting_Draw_76");
    Game_Set(self, VAR_image_angle, ARRAY_INDEX_NO_INDEX, Game_Get(self, VAR_direction));
}
