// What every compiled function of the game shares: the binding record's
// variable and function records (by position), and the few inline helpers
// through which the functions reach their own variables, the globals,
// built-in variables, built-in functions and "with" blocks. Record ids are
// read at every access, so the functions always see what the load bound.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "core/call_gates.h"
#include "core/code.h"
#include "core/stack_trace.h"
#include "core/variables.h"
#include "core/zq_rvalue.h"
#include "world/instances/instance.h"
#include "world/lifecycle/with_iterator.h"

// User variable slots (records 0 to 74 of g_Vars): 0 and 1 global, the rest
// instance variables; one slot number names the same variable in every object.
enum GameSlot : int {
    SLOT_pieces_in_play = 0,
    SLOT_pic = 1,
    SLOT_my_image = 2,
    SLOT_num_cols,
    SLOT_num_rows,
    SLOT_num_pieces,
    SLOT_num_dead,
    SLOT_pile_index_list,
    SLOT_pile_colour_list,
    SLOT_num_transmitters,
    SLOT_transmitter,
    SLOT_paused,
    SLOT_piece_colour,
    SLOT_piece_number,
    SLOT_piece_width,
    SLOT_target_x,
    SLOT_piece_height,
    SLOT_target_y,
    SLOT_my_path,
    SLOT_path_start_x,
    SLOT_path_start_y,
    SLOT_path_end_x,
    SLOT_path_end_y,
    SLOT_old_alarm,
    SLOT_state,
    SLOT_piece_index,
    SLOT_piece_x_offset,
    SLOT_piece_y_offset,
    SLOT_alpha_delta,
    SLOT_target_scaling,
    SLOT_scaling,
    SLOT_speed_scaling,
    SLOT_disabled,
    SLOT_angle_delta,
    SLOT_my_speed,
    SLOT_piece_list,
    SLOT_dashing,
    SLOT_scale_rate,
    SLOT_max_scale,
    SLOT_old_speed,
    SLOT_old_path_speed,
    SLOT_old_image_speed,
    SLOT_my_hp,
    SLOT_my_hp_max,
    SLOT_x_speed,
    SLOT_y_speed,
    SLOT_locked_input,
    SLOT_can_ouch,
    SLOT_facing,
    SLOT_is_dead,
    SLOT_show_hp,
    SLOT_max_speed,
    SLOT_my_fric,
    SLOT_charge,
    SLOT_can_charge,
    SLOT_t,
    SLOT_t_delta,
    SLOT_old_friction,
    SLOT_num_enemies,
    SLOT_max_enemies,
    SLOT_windowed_mode_width,
    SLOT_cur_window_width,
    SLOT_windowed_mode_height,
    SLOT_cur_window_height,
    SLOT_aspect_ratio,
    SLOT_app_max_height,
    SLOT_int_scale,
    SLOT_int_scaled_app_height,
    SLOT_int_scaled_app_width,
    SLOT_cur_app_height,
    SLOT_cur_app_width,
    SLOT_app_max_width,
    SLOT_upscale_surf,
    SLOT_view_height,
    SLOT_view_width,
    GAME_USER_SLOTS // 75
};
static_assert(GAME_USER_SLOTS == 75);

// Built-in variable records, 75 to 97 of g_Vars.
enum GameBuiltInVar : int {
    VAR_alarm = GAME_USER_SLOTS,
    VAR_x,
    VAR_y,
    VAR_layer,
    VAR_image_alpha,
    VAR_direction,
    VAR_speed,
    VAR_image_angle,
    VAR_image_blend,
    VAR_path_position,
    VAR_path_speed,
    VAR_sprite_index,
    VAR_image_speed,
    VAR_image_index,
    VAR_room_width,
    VAR_room_height,
    VAR_image_xscale,
    VAR_image_yscale,
    VAR_friction,
    VAR_image_number,
    VAR_view_camera,
    VAR_application_surface,
    VAR_os_type,
    GAME_VAR_RECORDS // 98
};
static_assert(GAME_VAR_RECORDS == 98);

// Built-in function records, 0 to 57 of g_Funcs.
enum GameFunction : int {
    FN_event_user,
    FN_sprite_get_width,
    FN_sprite_get_height,
    FN_ds_list_create,
    FN_surface_create,
    FN_ds_list_add,
    FN_surface_getpixel,
    FN_ds_list_shuffle,
    FN_instance_create_layer,
    FN_surface_free,
    FN_ds_list_find_value,
    FN_ds_list_delete,
    FN_path_get_number,
    FN_path_get_point_x,
    FN_path_get_point_y,
    FN_ds_list_size,
    FN_ds_list_destroy,
    FN_event_inherited,
    FN_effect_create_below,
    FN_power,
    FN_point_distance,
    FN_path_start,
    FN_move_towards_point,
    FN_ds_list_find_index,
    FN_path_end,
    FN_audio_play_sound,
    FN_keyboard_check_pressed,
    FN_clamp,
    FN_draw_healthbar,
    FN_instance_nearest,
    FN_room_goto,
    FN_randomize,
    FN_room_restart,
    FN_audio_stop_all,
    FN_application_surface_draw_enable,
    FN_floor,
    FN_display_set_gui_maximise,
    FN_window_set_size,
    FN_window_get_fullscreen,
    FN_display_get_width,
    FN_display_get_height,
    FN_camera_set_view_size,
    FN_camera_set_view_pos,
    FN_surface_resize,
    FN_window_center,
    FN_surface_exists,
    FN_gpu_set_colorwriteenable,
    FN_draw_clear,
    FN_draw_surface_ext,
    FN_gpu_set_texfilter,
    FN_draw_surface,
    FN_draw_text,
    FN_string,
    FN_surface_get_width,
    FN_surface_get_height,
    FN_window_get_width,
    FN_window_get_height,
    FN_window_set_fullscreen,
    GAME_FUNC_RECORDS // 58
};
static_assert(GAME_FUNC_RECORDS == 58);

// Object indices of the game data file.
enum GameObject : int {
    OBJ_piece_pile = 0,
    OBJ_transmitter = 1,
    OBJ_player = 2,
    OBJ_enemy = 3,
    OBJ_piece = 4,
    OBJ_goal = 5,
    OBJ_game_controller = 6,
    OBJ_piece_effect = 7,
    OBJ_whomp = 8,
    CLS_targetable = 9,
    OBJ_crash = 10,
    OBJ_transmitter_waiting = 11,
    OBJ_title = 12,
    OBJ_how = 13,
    OBJ_scaler = 14,
    OBJ_win = 15,
    GAME_OBJECTS // 16
};

// The "with" target that selects every live instance.
inline constexpr int WITH_ALL = -3;
// The number of compiled code entries.
inline constexpr int GAME_CODE_ENTRIES = 117;

// The records the binding record lists (game_binding.cpp).
extern SNameIdRecord g_GameVarRecords[GAME_VAR_RECORDS];
extern SNameIdRecord g_GameFuncRecords[GAME_FUNC_RECORDS];
// The compiled functions in code-entry order.
extern const SCompiledFunction g_VTLFuncs[GAME_CODE_ENTRIES];

// User variable slot `slot` of `object`: its slot array entry, or the cell
// the object makes on demand when it keeps its variables in a map.
inline ZQRValue& Game_Slot(ZQObjectBase* object, int slot) {
    if (object->m_slots != nullptr && slot < object->m_slotCount)
        return ZQRValue::From(object->m_slots[slot]);
    return ZQRValue::From(*object->InternalGetZQVarRef(slot));
}
inline ZQRValue& Game_Global(int slot) {
    return Game_Slot(g_pGlobal, slot);
}

// Argument i of a script, copied; one the caller did not pass reads as
// undefined rather than past the caller's array.
inline ZQRValue Game_Argument(int argc, ZQRValue** args, int i) {
    if (i >= argc || args == nullptr || args[i] == nullptr) return ZQRValue();
    return *args[i];
}

// Built-in variable `var` (a GameBuiltInVar) of self; index is an array
// index or ARRAY_INDEX_NO_INDEX.
inline ZQRValue Game_Get(CInstance* self, int var, int index = ARRAY_INDEX_NO_INDEX) {
    ZQRValue value;
    Variable_GetValue_Direct(self, g_GameVarRecords[var].id, index, &value);
    return value;
}
inline void Game_Set(CInstance* self, int var, int index, ZQRValue value) {
    Variable_SetValue_Direct(self, g_GameVarRecords[var].id, index, &value);
}
// Element `index` of self's user array variable in slot `slot` (through the
// record's bound id, which names the slot).
inline ZQRValue Game_GetElement(CInstance* self, int slot, int index) {
    ZQRValue value;
    Variable_GetValue_Direct(self, g_GameVarRecords[slot].id, index, &value);
    return value;
}
inline void Game_SetElement(CInstance* self, int slot, int index, ZQRValue value) {
    Variable_SetValue_Direct(self, g_GameVarRecords[slot].id, index, &value);
}

// obj.v = value for a built-in variable of another target (an object index
// writes every live instance of it).
inline void Game_SetOn(int target, int var, int index, ZQRValue value) {
    Variable_SetValue(target, g_GameVarRecords[var].id, index, &value);
}

// obj.v for a built-in variable of another target (an object index reads
// its first live instance, an instance id that instance); a target that
// finds no instance reads as undefined.
inline ZQRValue Game_GetOn(int target, int var, int index = ARRAY_INDEX_NO_INDEX) {
    ZQRValue value;
    Variable_GetValue(target, g_GameVarRecords[var].id, index, &value);
    return value;
}
// obj.v for a user variable of another target, by its slot number (the
// compiled constant, not a bound id), read and written as the built-in
// forms above.
inline ZQRValue Game_GetSlotOn(int target, int slot, int index = ARRAY_INDEX_NO_INDEX) {
    ZQRValue value;
    ZQVTL_Variable_GetValue(target, slot, index, &value);
    return value;
}
inline void Game_SetSlotOn(int target, int slot, int index, ZQRValue value) {
    ZQVTL_Variable_SetValue(target, slot, index, &value);
}

// Calls built-in function record `fn` (a GameFunction) through the function
// table with the given arguments; the result is a fresh value each call.
inline ZQRValue Game_Call(CInstance* self, CInstance* other, int fn,
                          std::initializer_list<ZQRValue*> args = {}) {
    ZQRValue result;
    ZQVTL_CallLegacyFunction(self, other, result, static_cast<int>(args.size()), g_GameFuncRecords[fn].id,
                             const_cast<ZQRValue**>(args.begin()));
    return result;
}

// A "with" block: construct it, run the body while Next() is true, and the
// destructor puts self and other back, also when the body ends by exception.
//     for (GameWith with(self, other, target); with.Next();) body(with.Self(), with.Other());
class GameWith {
public:
    GameWith(CInstance* self, CInstance* other, int target) : m_self(self), m_other(other) {
        m_count = ZQVTL_NewWithIterator(&m_it, &m_self, &m_other, target);
    }
    ~GameWith() { ZQVTL_DeleteWithIterator(&m_it, &m_self, &m_other); }
    GameWith(const GameWith&) = delete;
    GameWith& operator=(const GameWith&) = delete;

    // True while there is an instance to visit (the first call starts at the
    // first one the iterator selected).
    bool Next() {
        if (!m_started) {
            m_started = true;
            return m_count > 0;
        }
        return ZQVTL_WithIteratorNext(&m_it, &m_self, &m_other);
    }
    CInstance* Self() const { return static_cast<CInstance*>(m_self); }
    CInstance* Other() const { return static_cast<CInstance*>(m_other); }

private:
    SWithIterator m_it;
    ZQObjectBase* m_self;
    ZQObjectBase* m_other;
    int m_count = 0;
    bool m_started = false;
};

// The stack frame every compiled function opens on entry: linked in front
// of the head, reporting line 1 (the compiled code records no other line),
// unlinked on every exit.
struct GameFrame : SZQStackTrace {
    explicit GameFrame(const char* name) : SZQStackTrace(name, 1) {}
};
