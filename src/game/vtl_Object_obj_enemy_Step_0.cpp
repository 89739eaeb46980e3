// The enemy's Step. Dying: drift on the built-in motion, spin, shrink and
// fade over the last 15 steps of Alarm 0. Alive and neither winding up,
// charging nor resting: head at 2 for the nearest targetable instance
// (stand when there is none), or, ready to charge and nearer than 128
// pixels, start a 20-step wind-up aimed at where the target is now.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "library/math_builtins.h"

namespace {

// near.v for a built-in variable of an instance id.
ZQRValue GetOf(const ZQRValue& target, int var) {
    ZQRValue value;
    Variable_GetValue(target.ToInt32(), g_GameVarRecords[var].id, ARRAY_INDEX_NO_INDEX, &value);
    return value;
}

void Dying(CInstance* self) {
    const ZQRValue delta = Game_Slot(self, SLOT_angle_delta);
    Game_Set(self, VAR_direction, ARRAY_INDEX_NO_INDEX, Game_Get(self, VAR_direction) + delta);
    Game_Set(self, VAR_speed, ARRAY_INDEX_NO_INDEX, Game_Get(self, VAR_speed) - 0.05);
    Game_Set(self, VAR_image_angle, ARRAY_INDEX_NO_INDEX, Game_Get(self, VAR_image_angle) + delta * 2);
    Game_Slot(self, SLOT_scaling) -= ZQRValue(0.0166666666666667);
    const ZQRValue left = Game_Get(self, VAR_alarm, 0);
    if (left <= 15.0) Game_Set(self, VAR_image_alpha, ARRAY_INDEX_NO_INDEX, left / 15);
}

} // namespace

void vtl_Object_obj_enemy_Step_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_enemy_Step_0");
    if (Game_Slot(self, SLOT_paused).IsTrue()) return;
    if (Game_Slot(self, SLOT_is_dead).IsTrue()) {
        Dying(self);
        return;
    }
    if (Game_Slot(self, SLOT_charge).IsTrue()) return;
    if (Game_Slot(self, SLOT_can_ouch).ToInt32() < 1) return;

    ZQRValue x = Game_Get(self, VAR_x), y = Game_Get(self, VAR_y), targetable(CLS_targetable);
    const ZQRValue near = Game_Call(self, other, FN_instance_nearest, {&x, &y, &targetable});
    if (near == -4) {
        Game_Set(self, VAR_speed, ARRAY_INDEX_NO_INDEX, 0);
        return;
    }
    ZQRValue nearX = GetOf(near, VAR_x), nearY = GetOf(near, VAR_y);
    if (Game_Slot(self, SLOT_can_charge).ToInt32() >= 1 &&
        Game_Call(self, other, FN_point_distance, {&x, &y, &nearX, &nearY}) < 128.0) {
        Game_Set(self, VAR_direction, ARRAY_INDEX_NO_INDEX,
                 static_cast<double>(ZQVTL_point_direction(
                     static_cast<float>(x.ToReal()), static_cast<float>(y.ToReal()),
                     static_cast<float>(nearX.ToReal()), static_cast<float>(nearY.ToReal()))));
        Game_Slot(self, SLOT_can_charge) = 0;
        Game_Slot(self, SLOT_charge) = 1;
        Game_Set(self, VAR_alarm, 1, 20);
        return;
    }
    ZQRValue chase(2);
    Game_Call(self, other, FN_move_towards_point, {&nearX, &nearY, &chase});
}
