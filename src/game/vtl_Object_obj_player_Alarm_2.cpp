// The player's Alarm 2, the end of dying: a wreck where the player was, and
// the controller restarts the room 120 steps later. x and y stay readable
// after the instance is marked destroyed.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "world/lifecycle/instance_life.h"

void vtl_Object_obj_player_Alarm_2(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_player_Alarm_2");
    ZQVTL_instance_destroy(self, other, 0, nullptr);
    ZQRValue x = Game_Get(self, VAR_x), y = Game_Get(self, VAR_y);
    ZQRValue layer("Tiles"), object(OBJ_crash);
    Game_Call(self, other, FN_instance_create_layer, {&x, &y, &layer, &object});
    Game_SetOn(OBJ_game_controller, VAR_alarm, 2, 120);
}
