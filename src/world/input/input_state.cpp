// The input state: the per-step latch from the platform copy, clearing, the
// key map and the accessors. Everything lives in fixed arrays; the latch
// allocates nothing.
#include "world/input/input_state.h"

#include <cstring>
#include <utf8proc.h>

#include "core/console.h"
#include "core/run_settings.h"
#include "world/input/input_recording.h"
#include "world/input/input_services.h"

uint8_t _IO_KeyDown[kIOKeyCount];
uint8_t _IO_KeyPressed[kIOKeyCount];
uint8_t _IO_KeyReleased[kIOKeyCount];
int32_t _IO_LastKey = 0;
int32_t _IO_CurrentKey = 0;
uint16_t _IO_LastChar = 0;
uint16_t _IO_InputString[kIOStringMax + 1];
int32_t _IO_KeyMap[kIOKeyCount];
int32_t _IO_LastButton[kIOMouseDevices];
int32_t _IO_CurrentButton[kIOMouseDevices];
uint8_t _IO_ButtonDown[kIOMouseDevices * kIOMouseButtons];
uint8_t _IO_ButtonPressed[kIOMouseDevices * kIOMouseButtons];
uint8_t _IO_ButtonReleased[kIOMouseDevices * kIOMouseButtons];
uint8_t _IO_WheelUp[kIOMouseDevices];
uint8_t _IO_WheelDown[kIOMouseDevices];
int32_t g_MousePosX[kIOMouseDevices];
int32_t g_MousePosY[kIOMouseDevices];
uint32_t g_DoMouseButton_Last = 0;
uint32_t g_IOFrameCount = 0;
uint8_t g_IO_MousePos[8];

uint8_t g_mac_keysDown[kIOKeyCount];
uint8_t g_mac_keysDownEdge[kIOKeyCount];
uint8_t g_mac_keysUpEdge[kIOKeyCount];
int32_t g_mac_curkey = 0;
int32_t g_mac_lastkey = 0;
int32_t g_mac_lastchar = 0;
uint16_t g_mac_IO_String[kIOStringMax + 1];
int32_t g_IO_String_Curr = 0;
uint32_t g_DoMouseButton = 0;
int32_t g_MouseX = 0;
int32_t g_MouseY = 0;
uint8_t g_MouseWheelUp = 0;
uint8_t g_MouseWheelDown = 0;

namespace {

bool ValidKey(int key) {
    return key >= 0 && key < kIOKeyCount;
}

bool ValidDevice(int device) {
    return device >= 0 && device < kIOMouseDevices;
}

// The flag index of a button of a device, or -1 when either is out of range.
int ButtonIndex(int button, int device) {
    if (button < 1 || button > kIOMouseButtons || !ValidDevice(device)) return -1;
    return device * kIOMouseButtons + button - 1;
}

// The keyboard string as UTF-8: at most three bytes per 16-bit code.
char g_stringUtf8[kIOStringMax * 3 + 1];

} // namespace

// ---------------------------------------------------------------------------
// Life cycle

void IO_Init() {
    IO_Clear();
    InputEvents_Clear();
    IO_Keymap_Clear();
    IO_Record_Open();
    VirtualKeys_EnsureTable();
}

void IO_Start_Step() {
    ++g_IOFrameCount;
    std::memset(_IO_KeyPressed, 0, sizeof _IO_KeyPressed);
    std::memset(_IO_KeyReleased, 0, sizeof _IO_KeyReleased);
    std::memset(_IO_ButtonPressed, 0, sizeof _IO_ButtonPressed);
    std::memset(_IO_ButtonReleased, 0, sizeof _IO_ButtonReleased);
    std::memset(_IO_WheelUp, 0, sizeof _IO_WheelUp);
    std::memset(_IO_WheelDown, 0, sizeof _IO_WheelDown);
    // Playing back replaces the platform input altogether, even after the file
    // has ended: a replay never mixes in what the keyboard does meanwhile.
    if (g_IO_Playback)
        IO_Playback_Step();
    else
        IO_Update();
    if (g_IO_Record) IO_Record_Step();
}

void IO_Quit() {
    GamepadQuitM();
    IO_Record_Close();
    VirtualKeys_FreeTable();
}

void IO_Update() {
    IO_UpdateM();
    GamepadUpdateM();
    ProcessVirtualKeys();
}

// Buttons 1 and 2 of device 0 follow bits 0 and 1 of the platform's button
// word; an edge against the word of the previous latch is a press or a
// release. Wheel up wins over wheel down when both happened since then. Key
// edges are taken and reset, so a key that went down and up between two
// latches is pressed and released in one step without being held.
void IO_UpdateM() {
    g_MousePosX[0] = g_MouseX;
    g_MousePosY[0] = g_MouseY;

    const uint32_t buttons = g_DoMouseButton;
    for (int button = 1; button <= 2; ++button) {
        const uint32_t bit = 1u << (button - 1);
        const int index = button - 1; // device 0
        const bool down = (buttons & bit) != 0;
        _IO_ButtonDown[index] = down ? 1 : 0;
        if ((buttons & bit) != (g_DoMouseButton_Last & bit)) {
            if (down)
                _IO_ButtonPressed[index] = 1;
            else
                _IO_ButtonReleased[index] = 1;
        }
    }

    _IO_WheelUp[0] = g_MouseWheelUp != 0 ? 1 : 0;
    if (g_MouseWheelUp == 0) _IO_WheelDown[0] = g_MouseWheelDown != 0 ? 1 : 0;
    g_MouseWheelUp = g_MouseWheelDown = 0;

    std::memcpy(_IO_InputString, g_mac_IO_String, sizeof _IO_InputString);
    _IO_InputString[kIOStringMax] = 0;
    _IO_LastChar = static_cast<uint16_t>(g_mac_lastchar);
    g_DoMouseButton_Last = buttons;

    _IO_CurrentKey = g_mac_curkey;
    _IO_LastKey = g_mac_lastkey;
    for (int key = 0; key < kIOKeyCount; ++key) {
        _IO_KeyDown[key] = g_mac_keysDown[key] != 0 ? 1 : 0;
        _IO_KeyPressed[key] = g_mac_keysDownEdge[key] != 0 ? 1 : 0;
        _IO_KeyReleased[key] = g_mac_keysUpEdge[key] != 0 ? 1 : 0;
    }
    std::memset(g_mac_keysDownEdge, 0, sizeof g_mac_keysDownEdge);
    std::memset(g_mac_keysUpEdge, 0, sizeof g_mac_keysUpEdge);
}

// ---------------------------------------------------------------------------
// Clearing

void IO_Clear() {
    IO_String_Clear();
    IO_Key_Clear_All();
    IO_Button_Clear_All(0);
}

void IO_String_Clear() {
    std::memset(_IO_InputString, 0, sizeof _IO_InputString);
    std::memset(g_mac_IO_String, 0, sizeof g_mac_IO_String);
    g_IO_String_Curr = 0;
}

// The platform's last character is cleared with the last key: otherwise the
// next latch would bring back a character typed before the clear.
void IO_Key_Clear_All() {
    _IO_LastKey = _IO_CurrentKey = 0;
    _IO_LastChar = 0;
    g_mac_lastkey = g_mac_curkey = 0;
    g_mac_lastchar = 0;
    std::memset(_IO_KeyDown, 0, sizeof _IO_KeyDown);
    std::memset(_IO_KeyPressed, 0, sizeof _IO_KeyPressed);
    std::memset(_IO_KeyReleased, 0, sizeof _IO_KeyReleased);
}

void IO_Button_Clear_All(int device) {
    if (!ValidDevice(device)) return;
    _IO_LastButton[device] = _IO_CurrentButton[device] = 0;
    for (int button = 1; button <= kIOMouseButtons; ++button) IO_Button_Clear(button, device);
    _IO_WheelUp[device] = _IO_WheelDown[device] = 0;
}

// ---------------------------------------------------------------------------
// Keyboard

bool IO_Key_Down(int key) {
    return ValidKey(key) && _IO_KeyDown[key] != 0;
}
bool IO_Key_Pressed(int key) {
    return ValidKey(key) && _IO_KeyPressed[key] != 0;
}
bool IO_Key_Released(int key) {
    return ValidKey(key) && _IO_KeyReleased[key] != 0;
}
void IO_Key_Clear(int key) {
    if (!ValidKey(key)) return;
    _IO_KeyDown[key] = _IO_KeyPressed[key] = _IO_KeyReleased[key] = 0;
}
int IO_Key_Last_Get() {
    return _IO_LastKey;
}
int IO_Key_Current_Get() {
    return _IO_CurrentKey;
}
void IO_Key_Last_Set(int key) {
    _IO_LastKey = g_mac_lastkey = key;
    g_mac_curkey = 0;
}
void IO_Key_Current_Set(int key) {
    if (ValidKey(key)) _IO_CurrentKey = key;
}
unsigned IO_Char_Last_Get() {
    return _IO_LastChar;
}
void IO_Char_Last_Set(char c) {
    const int32_t widened = static_cast<signed char>(c);
    _IO_LastChar = static_cast<uint16_t>(widened);
    g_mac_lastchar = widened;
}

// Each 16-bit code as one code point; a lone surrogate half has none and is
// written as U+FFFD.
const char* IO_String_Get() {
    auto* out = reinterpret_cast<utf8proc_uint8_t*>(g_stringUtf8);
    for (int i = 0; i < kIOStringMax && _IO_InputString[i] != 0; ++i) {
        utf8proc_int32_t code = _IO_InputString[i];
        if (code >= 0xD800 && code <= 0xDFFF) code = 0xFFFD;
        out += utf8proc_encode_char(code, out);
    }
    *out = 0;
    return g_stringUtf8;
}

void IO_String_Set(const char* utf8) {
    int count = 0;
    if (utf8 != nullptr) {
        const auto* p = reinterpret_cast<const utf8proc_uint8_t*>(utf8);
        while (*p != 0 && count < kIOStringMax) {
            utf8proc_int32_t code;
            utf8proc_ssize_t used = utf8proc_iterate(p, -1, &code);
            if (used <= 0) {
                code = 0xFFFD;
                used = 1;
            }
            _IO_InputString[count++] = code > 0xFFFF ? 0xFFFD : static_cast<uint16_t>(code);
            p += used;
        }
    }
    std::memset(_IO_InputString + count, 0, sizeof(uint16_t) * static_cast<size_t>(kIOStringMax + 1 - count));
    g_IO_String_Curr = count;
    std::memcpy(g_mac_IO_String, _IO_InputString, sizeof g_mac_IO_String);
}

int IO_Keymap_Get(int key) {
    return ValidKey(key) ? _IO_KeyMap[key] : key;
}
int cIO_Keymap_Get(int key) {
    return IO_Keymap_Get(key);
}
void IO_Keymap_Set(int key, int target) {
    if (ValidKey(key) && ValidKey(target)) _IO_KeyMap[key] = target;
}
void IO_Keymap_Clear() {
    for (int key = 0; key < kIOKeyCount; ++key) _IO_KeyMap[key] = key;
}

// ---------------------------------------------------------------------------
// Mouse

bool IO_Button_Down(int button, int device) {
    int i = ButtonIndex(button, device);
    return i >= 0 && _IO_ButtonDown[i] != 0;
}
bool IO_Button_Pressed(int button, int device) {
    int i = ButtonIndex(button, device);
    return i >= 0 && _IO_ButtonPressed[i] != 0;
}
bool IO_Button_Released(int button, int device) {
    int i = ButtonIndex(button, device);
    return i >= 0 && _IO_ButtonReleased[i] != 0;
}
void IO_Button_Clear(int button, int device) {
    int i = ButtonIndex(button, device);
    if (i >= 0) _IO_ButtonDown[i] = _IO_ButtonPressed[i] = _IO_ButtonReleased[i] = 0;
}
int IO_Button_Last_Get(int device) {
    return ValidDevice(device) ? _IO_LastButton[device] : 0;
}
int IO_Button_Current_Get(int device) {
    return ValidDevice(device) ? _IO_CurrentButton[device] : 0;
}
void IO_Button_Last_Set(int button, int device) {
    if (ButtonIndex(button, device) >= 0) _IO_LastButton[device] = button;
}
void IO_Button_Current_Set(int button, int device) {
    if (ButtonIndex(button, device) >= 0) _IO_CurrentButton[device] = button;
}
bool IO_Wheel_Up(int device) {
    return ValidDevice(device) && _IO_WheelUp[device] != 0;
}
bool IO_Wheel_Down(int device) {
    return ValidDevice(device) && _IO_WheelDown[device] != 0;
}

// ---------------------------------------------------------------------------
// Requests

void ProfileFrameRequest(bool first, bool second) {
    if (!first && second) g_ProfileFrameRequested = true;
}

void VMFlipRequest(bool first, bool second) {
    if (first || !second) return;
    dbg_csol->Output(g_fVMUse ? "VM DISABLED\n" : "VM ENABLED\n");
    g_fVMUse = !g_fVMUse;
}

void IO_Init_TForm() {}
