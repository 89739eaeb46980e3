// The keyboard, joystick and mouse passes of the step: they turn the input
// state latched at the start of the step into Keyboard, Key Press, Key
// Release and Mouse events, raised with each instance as self and other.
#pragma once

#include <cstdint>

// Mouse event subtypes that the passes raise by number.
inline constexpr int MOUSE_NO_BUTTON = 3;
inline constexpr int MOUSE_ENTER = 10;
inline constexpr int MOUSE_LEAVE = 11;
inline constexpr int MOUSE_ANY_PRESSED = 12;
inline constexpr int MOUSE_ANY_RELEASED = 13;
inline constexpr int MOUSE_WHEEL_UP = 60;
inline constexpr int MOUSE_WHEEL_DOWN = 61;

// The mouse in room coordinates for this step's mouse pass.
extern int32_t mousex;
extern int32_t mousey;
// Whether the window is shown; the mouse pass runs only while it is.
extern bool g_Visible;

// Keyboard (type 5), Key Press (9) or Key Release (10) event `key` on every
// listed instance.
void HandleKey(int key);
void HandleKeyPress(int key);
void HandleKeyRelease(int key);
// Mouse event `subtype` on every listed instance.
void HandleMouseGlobal(int subtype);
// Mouse event `subtype` on the listed instances under (mousex, mousey).
void HandleButton(int subtype);
// Updates the mouse-over state of the instances whose objects have Mouse
// Enter or Mouse Leave and raises those events on the changes.
void HandleEnter();

void InputPasses_Reset();
