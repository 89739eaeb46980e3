// The global built-in variables of the mouse and the keyboard: windows onto
// the input state.
#include "core/builtin_services.h"
#include "core/builtin_variable_access.h"
#include "core/utf8.h"
#include "world/input/input_state.h"

using namespace builtin_vars;

bool GV_mouse_x(CInstance*, int, RValue* out) {
    return Put(out, GR_Window_Views_Mouse_Get_X(0));
}
bool GV_mouse_y(CInstance*, int, RValue* out) {
    return Put(out, GR_Window_Views_Mouse_Get_Y(0));
}
bool GV_mouse_button(CInstance*, int, RValue* out) {
    return Put(out, IO_Button_Current_Get(0));
}
bool SV_mouse_button(CInstance*, int, RValue* in) {
    IO_Button_Current_Set(Rint(in), 0);
    return true;
}
bool GV_mouse_lastbutton(CInstance*, int, RValue* out) {
    return Put(out, IO_Button_Last_Get(0));
}
bool SV_mouse_lastbutton(CInstance*, int, RValue* in) {
    IO_Button_Last_Set(Rint(in), 0);
    return true;
}
bool GV_keyboard_key(CInstance*, int, RValue* out) {
    return Put(out, IO_Key_Current_Get());
}
bool SV_keyboard_key(CInstance*, int, RValue* in) {
    IO_Key_Current_Set(Rint(in));
    return true;
}
bool GV_keyboard_lastkey(CInstance*, int, RValue* out) {
    return Put(out, IO_Key_Last_Get());
}
bool SV_keyboard_lastkey(CInstance*, int, RValue* in) {
    IO_Key_Last_Set(Rint(in));
    return true;
}
bool GV_keyboard_lastchar(CInstance*, int, RValue* out) {
    char text[4] = {};
    char* cursor = text;
    utf8_add_char(&cursor, static_cast<uint16_t>(IO_Char_Last_Get()));
    *cursor = '\0';
    return PutText(out, text);
}
// Only the first byte of a string is taken; other kinds change nothing.
bool SV_keyboard_lastchar(CInstance*, int, RValue* in) {
    const char* text = StringText(in);
    if (text != nullptr && text[0] != '\0') IO_Char_Last_Set(text[0]);
    return true;
}
bool GV_keyboard_string(CInstance*, int, RValue* out) {
    return PutText(out, IO_String_Get());
}
bool SV_keyboard_string(CInstance*, int, RValue* in) {
    IO_String_Set(StringText(in));
    return true;
}
