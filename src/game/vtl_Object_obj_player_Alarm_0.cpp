// The player's Alarm 0, the end of a dash: out of it at the steering limit
// along the facing, still locked (coasting) for ten more steps.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "library/math_builtins.h"

void vtl_Object_obj_player_Alarm_0(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_player_Alarm_0");
    Game_Slot(self, SLOT_dashing) = 0;
    const float limit = static_cast<float>(Game_Slot(self, SLOT_max_speed).ToReal());
    const float facing = static_cast<float>(Game_Slot(self, SLOT_facing).ToReal());
    Game_Slot(self, SLOT_x_speed) = static_cast<double>(ZQVTL_lengthdir_x(limit, facing));
    Game_Slot(self, SLOT_y_speed) = static_cast<double>(ZQVTL_lengthdir_y(limit, facing));
    Game_Set(self, VAR_alarm, 1, 10);
}
