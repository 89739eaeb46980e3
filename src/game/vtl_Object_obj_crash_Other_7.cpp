// The wreck's Animation End: played once, it goes.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "world/lifecycle/instance_life.h"

void vtl_Object_obj_crash_Other_7(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_crash_Other_7");
    ZQVTL_instance_destroy(self, other, 0, nullptr);
}
