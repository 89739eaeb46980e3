// The player touching an enemy (raised every step they overlap). Only a
// charging enemy hurts, only a player that is neither dashing, still
// recovering from a hit nor dead: one hit point, an impact burst midway,
// then either knockback at 6 away from the enemy with a 7-step hit-stop, or
// at zero hit points dying with a 10-step hit-stop. The alarms set before
// temp_pause are held by the player's own pause; the burst's alarm is set
// after it, so the burst goes as the hit-stop ends.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "library/math_builtins.h"

namespace {

void HitStop(CInstance* self, CInstance* other, int steps) {
    ZQRValue count(steps);
    ZQRValue* args[] = {&count};
    ZQRValue result;
    vtl_Script_temp_pause(self, other, result, 1, args);
}

} // namespace

void vtl_Object_obj_player_Collision_e655244c_e3e8_4015_b4e2_e28b26361cea(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_player_Collision_e655244c_e3e8_4015_b4e2_e28b26361cea");
    if (Game_Slot(self, SLOT_dashing).IsTrue()) return;
    if (Game_Slot(other, SLOT_dashing).ToInt32() < 1) return;
    if (Game_Slot(self, SLOT_can_ouch).ToInt32() < 1) return;
    if (Game_Slot(self, SLOT_is_dead).IsTrue()) return;

    Game_Slot(self, SLOT_locked_input) = 1;
    Game_Slot(self, SLOT_can_ouch) = 0;
    const ZQRValue x = Game_Get(self, VAR_x), y = Game_Get(self, VAR_y);
    const ZQRValue otherX = Game_Get(other, VAR_x), otherY = Game_Get(other, VAR_y);
    ZQRValue midX = (x + otherX) / 2, midY = (y + otherY) / 2;
    ZQRValue layer = Game_Get(self, VAR_layer), burstObject(OBJ_whomp);
    const ZQRValue burst =
        Game_Call(self, other, FN_instance_create_layer, {&midX, &midY, &layer, &burstObject});
    ZQRValue sound(2), priority(1), loop(0);
    Game_Call(self, other, FN_audio_play_sound, {&sound, &priority, &loop});
    Game_Slot(self, SLOT_show_hp) = 1;
    Game_Set(self, VAR_alarm, 3, 120);
    Game_Slot(self, SLOT_my_hp) -= ZQRValue(1);

    if (Game_Slot(self, SLOT_my_hp) <= 0.0) {
        Game_Set(self, VAR_alarm, 2, 60);
        HitStop(self, other, 10);
        Game_SetOn(burst.ToInt32(), VAR_alarm, 0, 10);
        Game_Slot(self, SLOT_angle_delta) = 5;
        Game_Slot(self, SLOT_is_dead) = 1;
        return;
    }
    const float away =
        ZQVTL_point_direction(static_cast<float>(otherX.ToReal()), static_cast<float>(otherY.ToReal()),
                              static_cast<float>(x.ToReal()), static_cast<float>(y.ToReal()));
    Game_Slot(self, SLOT_x_speed) = static_cast<double>(ZQVTL_lengthdir_x(6, away));
    Game_Slot(self, SLOT_y_speed) = static_cast<double>(ZQVTL_lengthdir_y(6, away));
    Game_Set(self, VAR_alarm, 1, 30);
    HitStop(self, other, 7);
    Game_SetOn(burst.ToInt32(), VAR_alarm, 0, 7);
}
