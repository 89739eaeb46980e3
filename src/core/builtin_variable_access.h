// What the global built-in variables' routines share: the conversions every
// getter and setter uses, and the routines that live beside the state they
// read, above the core, while the registration table that fixes their ids
// stays in core/builtin_variables.cpp.
//
// Every getter writes its destination, releasing what it held first, so a
// stale string never survives a read. Setters convert the written value to a
// real first; integers are rint (halves to even) through the one conversion
// helper.
#pragma once

#include <cstdint>

#include "core/real_to_int.h"
#include "core/ref_string.h"
#include "core/rvalue.h"

class CInstance;

namespace builtin_vars {

inline bool Put(RValue* out, double d) {
    FREE_RValue(out);
    *out = RValue_Real(d);
    return true;
}

// A string value holding a copy of the text (null reads as the empty text).
inline bool PutText(RValue* out, const char* text) {
    ZQCreateString(out, text != nullptr ? text : "");
    return true;
}

inline double X(RValue* in) {
    return REAL_RValue(in);
}

inline int32_t Rint(RValue* in) {
    return RealRoundToInt32(REAL_RValue(in));
}

// rint into 32 bits, wrapped: colours above 0x7FFFFFFF keep their bits.
inline uint32_t RintWrapped(RValue* in) {
    return static_cast<uint32_t>(RealRoundToInt64(REAL_RValue(in)));
}

inline bool Flag(RValue* in) {
    return Rint(in) > 0;
}

// The text of a string value, or null for any other kind.
inline const char* StringText(const RValue* in) {
    if (in->Kind() != VALUE_STRING || in->pRefString == nullptr) return nullptr;
    return in->pRefString->Get();
}

// Replaces a held string record with the written value's record (one
// reference added). Only strings are taken: false, nothing changed, else.
inline bool ReplaceRecord(RefString** held, RValue* in) {
    if (in->Kind() != VALUE_STRING) return false;
    RefString* record = in->pRefString;
    if (record != nullptr) record->Inc();
    if (*held != nullptr) (*held)->Dec();
    *held = record;
    return true;
}

inline bool PutRecord(RValue* out, const RefString* record) {
    return PutText(out, record != nullptr ? record->Get() : nullptr);
}

// Indexed slots: an index outside 0-7 (the no-index marker included) is 0.
inline int Slot(int index) {
    return index >= 0 && index < 8 ? index : 0;
}

} // namespace builtin_vars

// The running room, its backgrounds and views (room/room_variables.cpp).
bool GV_room_first(CInstance* self, int index, RValue* value);
bool GV_room_last(CInstance* self, int index, RValue* value);
bool GV_instance_count(CInstance* self, int index, RValue* value);
bool GV_instance_id(CInstance* self, int index, RValue* value);
bool GV_room_width(CInstance* self, int index, RValue* value);
bool SV_room_width(CInstance* self, int index, RValue* value);
bool GV_room_height(CInstance* self, int index, RValue* value);
bool SV_room_height(CInstance* self, int index, RValue* value);
bool GV_room_caption(CInstance* self, int index, RValue* value);
bool SV_room_caption(CInstance* self, int index, RValue* value);
bool GV_room_speed(CInstance* self, int index, RValue* value);
bool SV_room_speed(CInstance* self, int index, RValue* value);
bool GV_room_persistent(CInstance* self, int index, RValue* value);
bool SV_room_persistent(CInstance* self, int index, RValue* value);
bool GV_background_color(CInstance* self, int index, RValue* value);
bool SV_background_color(CInstance* self, int index, RValue* value);
bool GV_background_showcolor(CInstance* self, int index, RValue* value);
bool SV_background_showcolor(CInstance* self, int index, RValue* value);
bool GV_background_width(CInstance* self, int index, RValue* value);
bool GV_background_height(CInstance* self, int index, RValue* value);
bool GV_view_enabled(CInstance* self, int index, RValue* value);
bool SV_view_enabled(CInstance* self, int index, RValue* value);
bool GV_view_current(CInstance* self, int index, RValue* value);
bool GV_background_visible(CInstance* self, int index, RValue* value);
bool SV_background_visible(CInstance* self, int index, RValue* value);
bool GV_background_foreground(CInstance* self, int index, RValue* value);
bool SV_background_foreground(CInstance* self, int index, RValue* value);
bool GV_background_index(CInstance* self, int index, RValue* value);
bool SV_background_index(CInstance* self, int index, RValue* value);
bool GV_background_x(CInstance* self, int index, RValue* value);
bool SV_background_x(CInstance* self, int index, RValue* value);
bool GV_background_y(CInstance* self, int index, RValue* value);
bool SV_background_y(CInstance* self, int index, RValue* value);
bool GV_background_htiled(CInstance* self, int index, RValue* value);
bool SV_background_htiled(CInstance* self, int index, RValue* value);
bool GV_background_vtiled(CInstance* self, int index, RValue* value);
bool SV_background_vtiled(CInstance* self, int index, RValue* value);
bool GV_background_xscale(CInstance* self, int index, RValue* value);
bool SV_background_xscale(CInstance* self, int index, RValue* value);
bool GV_background_yscale(CInstance* self, int index, RValue* value);
bool SV_background_yscale(CInstance* self, int index, RValue* value);
bool GV_background_hspeed(CInstance* self, int index, RValue* value);
bool SV_background_hspeed(CInstance* self, int index, RValue* value);
bool GV_background_vspeed(CInstance* self, int index, RValue* value);
bool SV_background_vspeed(CInstance* self, int index, RValue* value);
bool GV_background_blend(CInstance* self, int index, RValue* value);
bool SV_background_blend(CInstance* self, int index, RValue* value);
bool GV_background_alpha(CInstance* self, int index, RValue* value);
bool SV_background_alpha(CInstance* self, int index, RValue* value);
bool GV_view_visible(CInstance* self, int index, RValue* value);
bool SV_view_visible(CInstance* self, int index, RValue* value);
bool GV_view_xview(CInstance* self, int index, RValue* value);
bool SV_view_xview(CInstance* self, int index, RValue* value);
bool GV_view_yview(CInstance* self, int index, RValue* value);
bool SV_view_yview(CInstance* self, int index, RValue* value);
bool GV_view_wview(CInstance* self, int index, RValue* value);
bool SV_view_wview(CInstance* self, int index, RValue* value);
bool GV_view_hview(CInstance* self, int index, RValue* value);
bool SV_view_hview(CInstance* self, int index, RValue* value);
bool GV_view_xport(CInstance* self, int index, RValue* value);
bool SV_view_xport(CInstance* self, int index, RValue* value);
bool GV_view_yport(CInstance* self, int index, RValue* value);
bool SV_view_yport(CInstance* self, int index, RValue* value);
bool GV_view_wport(CInstance* self, int index, RValue* value);
bool SV_view_wport(CInstance* self, int index, RValue* value);
bool GV_view_hport(CInstance* self, int index, RValue* value);
bool SV_view_hport(CInstance* self, int index, RValue* value);
bool GV_view_angle(CInstance* self, int index, RValue* value);
bool SV_view_angle(CInstance* self, int index, RValue* value);
bool GV_view_hborder(CInstance* self, int index, RValue* value);
bool SV_view_hborder(CInstance* self, int index, RValue* value);
bool GV_view_vborder(CInstance* self, int index, RValue* value);
bool SV_view_vborder(CInstance* self, int index, RValue* value);
bool GV_view_hspeed(CInstance* self, int index, RValue* value);
bool SV_view_hspeed(CInstance* self, int index, RValue* value);
bool GV_view_vspeed(CInstance* self, int index, RValue* value);
bool SV_view_vspeed(CInstance* self, int index, RValue* value);
bool GV_view_object(CInstance* self, int index, RValue* value);
bool SV_view_object(CInstance* self, int index, RValue* value);
bool GV_view_surface_id(CInstance* self, int index, RValue* value);
bool SV_view_surface_id(CInstance* self, int index, RValue* value);
bool GV_view_camera(CInstance* self, int index, RValue* value);
bool SV_view_camera(CInstance* self, int index, RValue* value);

// Mouse and keyboard (world/input/input_variables.cpp).
bool GV_mouse_x(CInstance* self, int index, RValue* value);
bool GV_mouse_y(CInstance* self, int index, RValue* value);
bool GV_mouse_button(CInstance* self, int index, RValue* value);
bool SV_mouse_button(CInstance* self, int index, RValue* value);
bool GV_mouse_lastbutton(CInstance* self, int index, RValue* value);
bool SV_mouse_lastbutton(CInstance* self, int index, RValue* value);
bool GV_keyboard_key(CInstance* self, int index, RValue* value);
bool SV_keyboard_key(CInstance* self, int index, RValue* value);
bool GV_keyboard_lastkey(CInstance* self, int index, RValue* value);
bool SV_keyboard_lastkey(CInstance* self, int index, RValue* value);
bool GV_keyboard_lastchar(CInstance* self, int index, RValue* value);
bool SV_keyboard_lastchar(CInstance* self, int index, RValue* value);
bool GV_keyboard_string(CInstance* self, int index, RValue* value);
bool SV_keyboard_string(CInstance* self, int index, RValue* value);

// The run: debug mode, room changes, score, lives, health, frame rate and the running event
// (world/run/run_variables.cpp).
bool GV_debug_mode(CInstance* self, int index, RValue* value);
bool GV_room(CInstance* self, int index, RValue* value);
bool SV_room(CInstance* self, int index, RValue* value);
bool GV_score(CInstance* self, int index, RValue* value);
bool SV_score(CInstance* self, int index, RValue* value);
bool GV_lives(CInstance* self, int index, RValue* value);
bool SV_lives(CInstance* self, int index, RValue* value);
bool GV_health(CInstance* self, int index, RValue* value);
bool SV_health(CInstance* self, int index, RValue* value);
bool GV_fps(CInstance* self, int index, RValue* value);
bool GV_event_type(CInstance* self, int index, RValue* value);
bool GV_event_number(CInstance* self, int index, RValue* value);
bool GV_event_object(CInstance* self, int index, RValue* value);
bool GV_event_action(CInstance* self, int index, RValue* value);
