// The enemy's Alarm 1, the end of the wind-up: the charge's fast part, 16
// pixels a step along the direction fixed when the wind-up began.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_enemy_Alarm_1(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_enemy_Alarm_1");
    Game_Set(self, VAR_speed, ARRAY_INDEX_NO_INDEX, 16);
    Game_Slot(self, SLOT_dashing) = 1;
    Game_Set(self, VAR_alarm, 2, 10);
    ZQRValue sound(3), priority(1), loop(0);
    Game_Call(self, other, FN_audio_play_sound, {&sound, &priority, &loop});
}
