// Keyboard and mouse capture: SDL's key, text, button, motion and wheel
// events become the raw input state that the step's input latch copies
// (world/input/input_state.h, the platform copy): key arrays and edges, the
// keyboard string, the mouse position in device pixels, the button bits and
// the wheel flags. Also the pointer-event records, the fake keys the keyboard
// built-ins press, and the system cursor.
#pragma once

#include <cstdint>

union SDL_Event;

// A pointer-event record: the state (top bit: a pointer is down and not yet
// consumed), x and y in device pixels, and two words nobody reads here.
struct SInputEvent {
    uint32_t flags;
    int32_t x;
    int32_t y;
    int32_t reserved[2];
};
inline constexpr int kInputEventCount = 128;
extern SInputEvent g_InputEvents[kInputEventCount];

// Set while the system cursor is hidden over the window.
extern bool g_CursorHidden;
// Both 0: the view fills the window, so client and window coordinates agree.
extern int32_t g_WindowClientX, g_WindowClientY;

// Applies one SDL event to the raw input state; false for an event that is
// no input (window, quit, ...), which the caller handles.
bool Input_HandleEvent(const SDL_Event& event);

// The keyboard string's editor: characters 32 to 255 only (others clear the
// last character), 127 deletes the last character (nothing on an empty
// string), and a string of more than 1022 characters restarts from its last
// one before the new character goes in.
void Input_AppendToIOString(int character);

// The per-frame latch (start of every running tick): pointer record 0 takes
// 0x80000002 (bit 0 set when a button went down since the previous latch)
// while a button is held, else 0, and the mouse position.
void Input_UpdateEvents();

// Key presses and releases from outside the event stream. Codes outside 0
// to 255 (after the key map) are ignored.
void FakeKeyDown(int key); // through the key map, then pressed
void FakeKeyUp(int key);   // through the key map; the current key stays
void clearkey(int key);    // released as by the keyboard, no key map
// Zeroes the three key arrays (the message window's close).
void Input_ClearKeys();

// The system cursor over the window; the calls never nest.
void HideMouseCursor();
void ShowMouseCursor();
// The pointer entered the window: hidden when it was hidden or the game
// chose no cursor (-1), shown otherwise.
void Input_MouseEntered();

// Puts the module's state back as the program started.
void InputCapture_Reset();
