// The enemy's Alarm 0, the end of dying: a wreck at its last position.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "world/lifecycle/instance_life.h"

void vtl_Object_obj_enemy_Alarm_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_enemy_Alarm_0");
    ZQVTL_instance_destroy(self, other, 0, nullptr);
    ZQRValue x = Game_Get(self, VAR_x), y = Game_Get(self, VAR_y);
    ZQRValue layer("Tiles"), object(OBJ_crash);
    Game_Call(self, other, FN_instance_create_layer, {&x, &y, &layer, &object});
}
