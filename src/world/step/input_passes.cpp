// The keyboard and mouse passes. Every raising takes its own reading of the
// creation counter, so an instance created by one raising's events takes
// part in the raisings after it within the same pass.
#include "world/step/input_passes.h"

#include <initializer_list>

#include "core/builtin_services.h"
#include "core/header_globals.h"
#include "world/input/input_state.h"
#include "world/objects/event.h"
#include "world/step/event_passes.h"
#include "world/step/step_services.h"

int32_t mousex = 0;
int32_t mousey = 0;
bool g_Visible = true;

void InputPasses_Reset() {
    mousex = 0;
    mousey = 0;
    g_Visible = true;
}

namespace {

void RaiseOnAll(int type, int subtype) {
    Event_ForEachListed(type, subtype, [type, subtype](CInstance* i) { Perform_Event(i, i, type, subtype); });
}

// Subtypes of button b (0 left, 1 right, 2 middle).
constexpr int kHeld = 0, kPressed = 4, kReleased = 7, kGlobHeld = 50, kGlobPressed = 53, kGlobReleased = 56;

void HeldBlock() {
    bool any = false;
    for (int b = 0; b < 3; ++b) {
        if (!IO_Button_Down(b + 1, 0) && !IO_Button_Pressed(b + 1, 0)) continue;
        any = true;
        HandleButton(kHeld + b);
        HandleMouseGlobal(kGlobHeld + b);
    }
    if (!any) HandleButton(MOUSE_NO_BUTTON);
}

// The mouse-over state word: bits 0-1 the current answer (1 over, 2 not),
// bits 2-3 the previous answer exclusive-or the current one.
constexpr int32_t kOver = 1, kNotOver = 2, kEntered = 5, kLeft = 10;

} // namespace

void HandleKey(int key) {
    RaiseOnAll(EVENT_KEYBOARD, key);
}

void HandleKeyPress(int key) {
    RaiseOnAll(EVENT_KEYPRESS, key);
}

void HandleKeyRelease(int key) {
    RaiseOnAll(EVENT_KEYRELEASE, key);
}

void HandleMouseGlobal(int subtype) {
    RaiseOnAll(EVENT_MOUSE, subtype);
}

void HandleButton(int subtype) {
    const float x = static_cast<float>(mousex), y = static_cast<float>(mousey);
    Event_ForEachListed(EVENT_MOUSE, subtype, [subtype, x, y](CInstance* i) {
        if (i->Collision_Point(x, y, true)) Perform_Event(i, i, EVENT_MOUSE, subtype);
    });
}

// Codes 0 to 7 are never raised by number: 0 and 1 stand for no key and any
// key, raised after the keys every step.
void HandleKeyboard() {
    bool held = false, pressed = false, released = false;
    for (int k = 8; k < kIOKeyCount; ++k) {
        if (_IO_KeyDown[k] != 0 || _IO_KeyPressed[k] != 0) {
            HandleKey(k);
            held = true;
            if (_IO_KeyPressed[k] != 0) {
                HandleKeyPress(k);
                pressed = true;
            }
        }
        if (_IO_KeyReleased[k] != 0) {
            HandleKeyRelease(k);
            released = true;
        }
    }
    HandleKey(held ? 1 : 0);
    HandleKeyPress(pressed ? 1 : 0);
    HandleKeyRelease(released ? 1 : 0);
}

// The update phase stamps each instance it checks with its own reading, so
// an instance whose object has both events is checked once; the stamp only
// moves back a creation number that lies below the reading anyway.
void HandleEnter() {
    const int64_t s1 = CInstance::ms_CurrentCreateCounter++;
    const float x = static_cast<float>(mousex), y = static_cast<float>(mousey);
    for (int subtype : {MOUSE_ENTER, MOUSE_LEAVE}) {
        Event_ForEachListedUpTo(EVENT_MOUSE, subtype, s1, [s1, x, y](CInstance* i) {
            if (i->m_createCounter >= s1) return;
            i->m_createCounter = s1;
            const int32_t now = i->Collision_Point(x, y, true) ? kOver : kNotOver;
            i->m_mouseState = (((i->m_mouseState & 3) ^ now) << 2) | now;
        });
    }
    Event_ForEachListed(EVENT_MOUSE, MOUSE_ENTER, [](CInstance* i) {
        if ((i->m_mouseState & kEntered) == kEntered) Perform_Event(i, i, EVENT_MOUSE, MOUSE_ENTER);
    });
    Event_ForEachListed(EVENT_MOUSE, MOUSE_LEAVE, [](CInstance* i) {
        if ((i->m_mouseState & kLeft) == kLeft) Perform_Event(i, i, EVENT_MOUSE, MOUSE_LEAVE);
    });
}

// Gamepads are served by the platform's gamepad built-ins: no joystick
// events are raised.
void HandleMouse() {
    if (!g_Visible) return;
    HandleGestures();
    mousex = GR_Window_Views_Mouse_Get_X(0);
    mousey = GR_Window_Views_Mouse_Get_Y(0);
    // Old data raises the held events before the pressed ones, new data after.
    if (!g_isNimbar) HeldBlock();
    for (int b = 0; b < 3; ++b) {
        if (!IO_Button_Pressed(b + 1, 0)) continue;
        HandleButton(kPressed + b);
        HandleMouseGlobal(MOUSE_ANY_PRESSED);
        HandleMouseGlobal(kGlobPressed + b);
    }
    if (g_isNimbar) HeldBlock();
    for (int b = 0; b < 3; ++b) {
        if (!IO_Button_Released(b + 1, 0)) continue;
        HandleButton(kReleased + b);
        HandleMouseGlobal(MOUSE_ANY_RELEASED);
        HandleMouseGlobal(kGlobReleased + b);
    }
    HandleEnter();
    if (IO_Wheel_Up(0)) HandleMouseGlobal(MOUSE_WHEEL_UP);
    if (IO_Wheel_Down(0)) HandleMouseGlobal(MOUSE_WHEEL_DOWN);
}
