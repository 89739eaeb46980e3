// The player's Step. Dying: drift on the built-in motion, spin, shrink and
// fade over the last 15 steps of Alarm 2. Alive: W, A, S and D turn the
// facing (not while locked), Space starts a dash along it, friction takes
// each axis's share of my_fric off the velocity, the keys accelerate by 1
// along the facing (a step past the limit is refused whole), then the
// player moves. Directions and the friction's shares are single precision,
// so a held key runs a saw-tooth a few billionths under the limit.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "library/interaction_builtins.h"
#include "library/math_builtins.h"

namespace {

// One axis of the friction: stopped at zero when the remaining speed is
// below the share (by more than twice the tolerance), else reduced by it
// unless the reduced speed would still pass 6 (a dash keeps its speed).
ZQRValue Slowed(CInstance* self, CInstance* other, const ZQRValue& speed, float share) {
    const double magnitude = ZQVTL_abs(speed.ToReal());
    const double friction = ZQVTL_abs(static_cast<double>(share));
    if (magnitude - friction < -2 * g_VTLMathEpsilon) return ZQRValue(0);
    ZQRValue value(magnitude), step(-friction), low(0), high(6);
    ZQRValue* args[] = {&value, &step, &low, &high};
    ZQRValue clamped;
    vtl_Script_soft_clamp(self, other, clamped, 4, args);
    return ZQVTL_sign(speed.ToReal()) * clamped;
}

// One axis of the acceleration by `push` (a component of the unit facing).
ZQRValue Accelerated(CInstance* self, CInstance* other, const ZQRValue& speed, double push, double limit) {
    ZQRValue value(speed), step(push), bound(push > g_VTLMathEpsilon ? limit : -limit);
    ZQRValue* args[] = {&value, &step, &bound};
    ZQRValue result;
    if (push > g_VTLMathEpsilon) return vtl_Script_soft_max(self, other, result, 3, args);
    if (-push > g_VTLMathEpsilon) return vtl_Script_soft_min(self, other, result, 3, args);
    return speed;
}

void Dying(CInstance* self) {
    const ZQRValue delta = Game_Slot(self, SLOT_angle_delta);
    Game_Set(self, VAR_direction, ARRAY_INDEX_NO_INDEX, Game_Get(self, VAR_direction) + delta);
    Game_Set(self, VAR_speed, ARRAY_INDEX_NO_INDEX, Game_Get(self, VAR_speed) - 0.05);
    Game_Set(self, VAR_image_angle, ARRAY_INDEX_NO_INDEX, Game_Get(self, VAR_image_angle) + delta * 2);
    Game_Slot(self, SLOT_scaling) -= ZQRValue(0.0166666666666667);
    const ZQRValue left = Game_Get(self, VAR_alarm, 2);
    if (left <= 15.0) Game_Set(self, VAR_image_alpha, ARRAY_INDEX_NO_INDEX, left / 15);
}

} // namespace

void vtl_Object_obj_player_Step_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_player_Step_0");
    if (Game_Slot(self, SLOT_paused).IsTrue()) return;
    if (Game_Slot(self, SLOT_is_dead).IsTrue()) {
        Dying(self);
        return;
    }

    const int h = ZQVTL_keyboard_check(68) - ZQVTL_keyboard_check(65);
    const int v = ZQVTL_keyboard_check(83) - ZQVTL_keyboard_check(87);
    double dx = 0, dy = 0;
    if (h != 0 || v != 0) {
        if (!Game_Slot(self, SLOT_locked_input).IsTrue())
            Game_Slot(self, SLOT_facing) = static_cast<double>(
                ZQVTL_point_direction(0, 0, static_cast<float>(h), static_cast<float>(v)));
        const float facing = static_cast<float>(Game_Slot(self, SLOT_facing).ToReal());
        dx = ZQVTL_lengthdir_x(1, facing);
        dy = ZQVTL_lengthdir_y(1, facing);
    }

    if (!Game_Slot(self, SLOT_locked_input).IsTrue()) {
        ZQRValue space(32);
        if (Game_Call(self, other, FN_keyboard_check_pressed, {&space}).IsTrue()) {
            Game_Slot(self, SLOT_locked_input) = 1;
            const float length = static_cast<float>((Game_Slot(self, SLOT_max_speed) * 4).ToReal());
            const float facing = static_cast<float>(Game_Slot(self, SLOT_facing).ToReal());
            Game_Slot(self, SLOT_x_speed) = static_cast<double>(ZQVTL_lengthdir_x(length, facing));
            Game_Slot(self, SLOT_y_speed) = static_cast<double>(ZQVTL_lengthdir_y(length, facing));
            Game_Slot(self, SLOT_dashing) = 1;
            ZQRValue sound(3), priority(1), loop(0);
            Game_Call(self, other, FN_audio_play_sound, {&sound, &priority, &loop});
            Game_Set(self, VAR_alarm, 0, 10);
        }
    }

    const float direction =
        ZQVTL_point_direction(0, 0, static_cast<float>(Game_Slot(self, SLOT_x_speed).ToReal()),
                              static_cast<float>(Game_Slot(self, SLOT_y_speed).ToReal()));
    const float friction = static_cast<float>(Game_Slot(self, SLOT_my_fric).ToReal());
    const float fx = ZQVTL_lengthdir_x(friction, direction);
    const float fy = ZQVTL_lengthdir_y(friction, direction);
    Game_Slot(self, SLOT_x_speed) = Slowed(self, other, Game_Slot(self, SLOT_x_speed), fx);
    Game_Slot(self, SLOT_y_speed) = Slowed(self, other, Game_Slot(self, SLOT_y_speed), fy);

    if (!Game_Slot(self, SLOT_locked_input).IsTrue()) {
        const double limit = Game_Slot(self, SLOT_max_speed).ToReal();
        Game_Slot(self, SLOT_x_speed) = Accelerated(self, other, Game_Slot(self, SLOT_x_speed), dx, limit);
        Game_Slot(self, SLOT_y_speed) = Accelerated(self, other, Game_Slot(self, SLOT_y_speed), dy, limit);
    }

    Game_Set(self, VAR_x, ARRAY_INDEX_NO_INDEX, Game_Get(self, VAR_x) + Game_Slot(self, SLOT_x_speed));
    Game_Set(self, VAR_y, ARRAY_INDEX_NO_INDEX, Game_Get(self, VAR_y) + Game_Slot(self, SLOT_y_speed));
}
