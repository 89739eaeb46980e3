// The input state of one step (keys, mouse buttons, wheel, pointer and the
// keyboard string), the platform copy it is latched from once per step, the key
// map, and the accessors the input built-ins and the game step use.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr int kIOKeyCount = 256;
inline constexpr int kIOMouseDevices = 10;
inline constexpr int kIOMouseButtons = 3; // 1 left, 2 right, 3 middle
inline constexpr int kIOStringMax = 1024; // characters; one more code holds the terminator

// ---------------------------------------------------------------------------
// The state the step reads. Flags are bytes holding 0 or 1.
extern uint8_t _IO_KeyDown[kIOKeyCount];
extern uint8_t _IO_KeyPressed[kIOKeyCount];  // went down since the previous latch
extern uint8_t _IO_KeyReleased[kIOKeyCount]; // went up since the previous latch
extern int32_t _IO_LastKey;
extern int32_t _IO_CurrentKey;
extern uint16_t _IO_LastChar;
extern uint16_t _IO_InputString[kIOStringMax + 1];
extern int32_t _IO_KeyMap[kIOKeyCount];
// Per device; button b of device d is flag 3·d + b − 1.
extern int32_t _IO_LastButton[kIOMouseDevices];
extern int32_t _IO_CurrentButton[kIOMouseDevices];
extern uint8_t _IO_ButtonDown[kIOMouseDevices * kIOMouseButtons];
extern uint8_t _IO_ButtonPressed[kIOMouseDevices * kIOMouseButtons];
extern uint8_t _IO_ButtonReleased[kIOMouseDevices * kIOMouseButtons];
extern uint8_t _IO_WheelUp[kIOMouseDevices];
extern uint8_t _IO_WheelDown[kIOMouseDevices];
// Pointer per device in drawable pixels; this platform feeds device 0 only.
extern int32_t g_MousePosX[kIOMouseDevices];
extern int32_t g_MousePosY[kIOMouseDevices];
extern uint32_t g_DoMouseButton_Last;
extern uint32_t g_IOFrameCount;
// Reserved bytes carried in every input record.
extern uint8_t g_IO_MousePos[8];

// ---------------------------------------------------------------------------
// The platform copy: the platform's event handlers write it between steps
// (key codes already through the key map), the latch reads and partly resets it.
extern uint8_t g_mac_keysDown[kIOKeyCount];
extern uint8_t g_mac_keysDownEdge[kIOKeyCount];
extern uint8_t g_mac_keysUpEdge[kIOKeyCount];
extern int32_t g_mac_curkey;
extern int32_t g_mac_lastkey;
extern int32_t g_mac_lastchar;
extern uint16_t g_mac_IO_String[kIOStringMax + 1];
extern int32_t g_IO_String_Curr; // write position in g_mac_IO_String
extern uint32_t g_DoMouseButton; // bit 0 left, bit 1 right
extern int32_t g_MouseX;
extern int32_t g_MouseY;
extern uint8_t g_MouseWheelUp;
extern uint8_t g_MouseWheelDown;

// ---------------------------------------------------------------------------
// Life cycle.

// Second start pass: clears the input, resets the key map, opens the input
// record file for "-record" or "-playback", creates the virtual-key table.
void IO_Init();
// The step's input latch: clears the edge flags, then reads one record when
// playing back, else copies the platform input, polls the gamepads and merges
// the virtual keys; then appends the state when recording.
void IO_Start_Step();
// End of the game: gamepads, the record file and the virtual keys.
void IO_Quit();

// Empties the keyboard string (both copies), the key state and device 0's
// buttons and wheel. Keys and buttons the platform still holds come back as
// held at the next latch.
void IO_Clear();
void IO_String_Clear();
void IO_Key_Clear_All();
void IO_Button_Clear_All(int device);
// The live half of the latch (platform copy, gamepads, virtual keys).
void IO_Update();
// The platform copy into the state.
void IO_UpdateM();

// ---------------------------------------------------------------------------
// Keyboard: getters answer false or 0 for codes outside 0 to 255.
bool IO_Key_Down(int key);
bool IO_Key_Pressed(int key);
bool IO_Key_Released(int key);
void IO_Key_Clear(int key);
int IO_Key_Last_Get();
int IO_Key_Current_Get();
// The last key now, and the current key 0 from the next latch on.
void IO_Key_Last_Set(int key);
// Only for 0 to 255; the next latch replaces it with the platform's current key.
void IO_Key_Current_Set(int key);
unsigned IO_Char_Last_Get();
// A signed 8-bit character, widened with its sign (0xE9 gives 0xFFE9).
void IO_Char_Last_Set(char c);
// The keyboard string as UTF-8, in a buffer of this module that the next call
// overwrites.
const char* IO_String_Get();
// Up to 1024 characters of a UTF-8 text into both copies; null empties them.
// Characters beyond 16 bits and malformed bytes become U+FFFD.
void IO_String_Set(const char* utf8);

// The key map, applied by the platform to every key code it records. Targets
// are 0 to 255: the platform indexes its 256-entry arrays with them.
int IO_Keymap_Get(int key); // any code outside 0 to 255 comes back unchanged
int cIO_Keymap_Get(int key);
void IO_Keymap_Set(int key, int target); // ignored unless both are 0 to 255
void IO_Keymap_Clear();                  // the identity map

// Mouse: button 1 to 3, device 0 to 9; getters answer 0 and setters do
// nothing outside these ranges.
bool IO_Button_Down(int button, int device);
bool IO_Button_Pressed(int button, int device);
bool IO_Button_Released(int button, int device);
void IO_Button_Clear(int button, int device);
int IO_Button_Last_Get(int device);
int IO_Button_Current_Get(int device);
void IO_Button_Last_Set(int button, int device);
void IO_Button_Current_Set(int button, int device);
bool IO_Wheel_Up(int device);
bool IO_Wheel_Down(int device);

// Request handlers acting on a rising edge (first false, second true): a
// profile of the next frame; switching the bytecode interpreter on or off.
void ProfileFrameRequest(bool first, bool second);
void VMFlipRequest(bool first, bool second);
void IO_Init_TForm();
