// The impact burst's Alarm 0, set by its creator: it goes.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "world/lifecycle/instance_life.h"

void vtl_Object_obj_whomp_Alarm_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_whomp_Alarm_0");
    ZQVTL_instance_destroy(self, other, 0, nullptr);
}
