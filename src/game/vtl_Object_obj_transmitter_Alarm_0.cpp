// The carrier's Alarm 0, 60 steps after a knock-down: it goes, leaving a small
// white effect below the instances.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "world/lifecycle/instance_life.h"

void vtl_Object_obj_transmitter_Alarm_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_transmitter_Alarm_0");
    ZQVTL_instance_destroy(self, other, 0, nullptr);
    ZQRValue kind = 7, x = Game_Get(self, VAR_x), y = Game_Get(self, VAR_y), size = 0, colour = 0xFFFFFF;
    Game_Call(self, other, FN_effect_create_below, {&kind, &x, &y, &size, &colour});
}
