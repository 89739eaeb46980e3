// The enemy touching the player: a dashing player kills it. Any wind-up or
// charge is cancelled at once; the enemy is flung at 6 away from the player
// without friction, spins, and is removed 60 steps after the 10-step
// hit-stop. Killed while a hit-stop already holds it (a second kill in the
// same freeze), the death goes into the values its pause saved, because the
// resume writes those back: otherwise it would never be removed, would keep
// counting toward the controller's limit and could charge on.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "library/math_builtins.h"
#include "library/random_builtins.h"

void vtl_Object_obj_enemy_Collision_17fff1ef_b712_4961_a9c2_7ed4af689341(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_enemy_Collision_17fff1ef_b712_4961_a9c2_7ed4af689341");
    if (Game_Slot(other, SLOT_dashing).ToInt32() < 1) return;
    if (Game_Slot(self, SLOT_is_dead).IsTrue()) return;
    if (Game_Slot(self, SLOT_can_ouch).ToInt32() < 1) return;

    const ZQRValue x = Game_Get(self, VAR_x), y = Game_Get(self, VAR_y);
    const ZQRValue otherX = Game_Get(other, VAR_x), otherY = Game_Get(other, VAR_y);
    Game_Set(self, VAR_direction, ARRAY_INDEX_NO_INDEX,
             static_cast<double>(ZQVTL_point_direction(
                 static_cast<float>(otherX.ToReal()), static_cast<float>(otherY.ToReal()),
                 static_cast<float>(x.ToReal()), static_cast<float>(y.ToReal()))));
    Game_Slot(self, SLOT_my_hp) -= ZQRValue(1);
    Game_Slot(self, SLOT_dashing) = 0;
    Game_Slot(self, SLOT_charge) = 0;
    for (int i = 1; i <= 4; ++i) Game_Set(self, VAR_alarm, i, -1);

    ZQRValue midX = (x + otherX) / 2, midY = (y + otherY) / 2;
    ZQRValue layer = Game_Get(self, VAR_layer), burstObject(OBJ_whomp);
    const ZQRValue burst =
        Game_Call(self, other, FN_instance_create_layer, {&midX, &midY, &layer, &burstObject});
    ZQRValue sound(2), priority(1), loop(0);
    Game_Call(self, other, FN_audio_play_sound, {&sound, &priority, &loop});
    Game_Slot(self, SLOT_can_ouch) = 0;

    ZQRValue left(-5), right(5), spin;
    ZQRValue* sides[] = {&left, &right};
    Game_Slot(self, SLOT_angle_delta) = ZQVTL_choose(spin, 2, sides);
    Game_Slot(self, SLOT_is_dead) = 1;
    if (Game_Slot(self, SLOT_paused).IsTrue()) {
        // Held: the resume brings the death in; until then it stands still.
        Game_SetElement(self, SLOT_old_alarm, 0, 60);
        for (int i = 1; i <= 5; ++i) Game_SetElement(self, SLOT_old_alarm, i, -1);
        Game_Slot(self, SLOT_old_friction) = 0;
        Game_Slot(self, SLOT_old_speed) = 6;
    } else {
        Game_Set(self, VAR_alarm, 0, 60);
        Game_Set(self, VAR_alarm, 5, -1);
        Game_Set(self, VAR_friction, ARRAY_INDEX_NO_INDEX, 0);
        Game_Set(self, VAR_speed, ARRAY_INDEX_NO_INDEX, 6);
    }
    ZQRValue steps(10), result;
    ZQRValue* args[] = {&steps};
    vtl_Script_temp_pause(self, other, result, 1, args);
    Game_SetOn(burst.ToInt32(), VAR_alarm, 0, 10);
}
