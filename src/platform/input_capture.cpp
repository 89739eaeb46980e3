// Keyboard and mouse capture on SDL2.
//
// SDL reports a key (KEYDOWN/KEYUP, by scancode) and the text it typed
// (TEXTINPUT, UTF-8) as separate events, the key first. The key goes to the
// key arrays through the scancode table and the game's key map; the text goes
// to the keyboard string one UTF-16 unit at a time. A held key repeats only
// its key event (which moves no edge) and the text that follows a repeat is
// dropped, so holding a key gives one pressed edge and one character.
// Backspace types no text in SDL: it types the delete character 127 itself.
// Modifiers arrive as ordinary keys: a sided key (160 to 165) also holds its
// generic key (16 to 18) until neither side is held.
#include "platform/input_capture.h"

#include <SDL2/SDL.h>

#include <cstring>

#include "platform/gl_view.h"
#include "platform/key_map.h"
#include "platform/window.h"
#include "render/graphics_device.h"
#include "world/input/input_services.h"
#include "world/input/input_state.h"

SInputEvent g_InputEvents[kInputEventCount];
bool g_CursorHidden = false;
int32_t g_WindowClientX = 0;
int32_t g_WindowClientY = 0;

namespace {

constexpr int kKeyBackspace = 8;
constexpr int kCharDelete = 127;
constexpr int kCharFirst = 32;
constexpr int kCharLast = 255;
constexpr int kRestartAbove = 1022;

// A button went down since the last latch.
bool g_newMouseDown = false;
// The text after a repeated key event repeats too; it is not typed.
bool g_textSuppressed = false;
// Sided modifier keys held (160 to 165), before the key map: the generic key
// is released only when the other side is up too, and a held control key
// makes a left click a right click.
bool g_sideHeld[6] = {};
// The button bit the left button set when it went down.
uint32_t g_leftButtonBit = 1;

bool ValidKey(int key) {
    return key >= 0 && key < kIOKeyCount;
}

void Press(int key) {
    if (!ValidKey(key)) return;
    g_mac_lastkey = g_mac_curkey = key;
    if (g_mac_keysDown[key] == 0) g_mac_keysDownEdge[key] = 1;
    g_mac_keysDown[key] = 1;
}

bool SideHeld(int virtualKey) {
    return virtualKey >= 160 && virtualKey <= 165 && g_sideHeld[virtualKey - 160];
}

bool ControlHeld() {
    return SideHeld(162) || SideHeld(163);
}

void KeyDown(const SDL_KeyboardEvent& e) {
    const int virtualKey = Platform_VirtualKeyForScancode(e.keysym.scancode);
    g_textSuppressed = e.repeat != 0;
    if (virtualKey == 0) return;
    const int generic = Platform_GenericModifier(virtualKey);
    if (generic != 0 || virtualKey == 91 || virtualKey == 92) {
        // Modifiers are not remapped and type nothing.
        if (e.repeat != 0) return;
        if (generic != 0) {
            g_sideHeld[virtualKey - 160] = true;
            Press(generic);
        }
        Press(virtualKey);
        return;
    }
    const int key = IO_Keymap_Get(virtualKey);
    if (!ValidKey(key)) return;
    if (e.repeat != 0 || g_mac_keysDown[key] != 0) {
        // A key already down types nothing more.
        g_textSuppressed = true;
        g_mac_lastkey = g_mac_curkey = key;
        return;
    }
    // A key that types nothing leaves no last character; a key that types
    // one sets it with the text event that follows.
    g_mac_lastchar = 0;
    Press(key);
    if (virtualKey == kKeyBackspace) Input_AppendToIOString(kCharDelete);
}

void KeyUp(const SDL_KeyboardEvent& e) {
    g_textSuppressed = false;
    const int virtualKey = Platform_VirtualKeyForScancode(e.keysym.scancode);
    if (virtualKey == 0) return;
    const int generic = Platform_GenericModifier(virtualKey);
    if (generic != 0) {
        g_sideHeld[virtualKey - 160] = false;
        const int other = (virtualKey % 2 == 0) ? virtualKey + 1 : virtualKey - 1;
        if (!SideHeld(other)) clearkey(generic);
        clearkey(virtualKey);
        return;
    }
    if (virtualKey == 91 || virtualKey == 92) {
        clearkey(virtualKey);
        return;
    }
    const int key = IO_Keymap_Get(virtualKey);
    if (!ValidKey(key)) return;
    // A release always leaves its edge, also for a key not seen going down.
    g_mac_keysUpEdge[key] = 1;
    g_mac_keysDown[key] = 0;
    if (g_mac_curkey == key) g_mac_curkey = 0;
}

// UTF-8 to UTF-16 units: a code point above 0xFFFF is a surrogate pair,
// whose units (above 255) only clear the last character.
void TextInput(const char* text) {
    if (g_textSuppressed) return;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != 0) {
        uint32_t code = *p;
        int extra = code >= 0xF0 ? 3 : code >= 0xE0 ? 2 : code >= 0xC0 ? 1 : 0;
        if (extra > 0) code &= (0x3Fu >> extra);
        ++p;
        for (; extra > 0 && (*p & 0xC0) == 0x80; --extra, ++p) code = (code << 6) | (*p & 0x3Fu);
        if (extra > 0) code = 0xFFFD; // cut short
        if (code > 0xFFFF) {
            code -= 0x10000;
            Input_AppendToIOString(static_cast<int>(0xD800 + (code >> 10)));
            Input_AppendToIOString(static_cast<int>(0xDC00 + (code & 0x3FF)));
        } else {
            Input_AppendToIOString(static_cast<int>(code));
        }
    }
}

// Window points to device pixels: the drawable may be larger than the window
// (high-density displays), so the position is scaled by their ratio.
void UpdateMousePos(uint32_t windowId, int x, int y) {
    SDL_Window* window = SDL_GetWindowFromID(windowId);
    if (window == nullptr && ZQGLView::Main() != nullptr) window = ZQGLView::Main()->Window();
    int w = 0, h = 0;
    if (window != nullptr) SDL_GetWindowSize(window, &w, &h);
    if (w > 0 && h > 0) {
        g_MouseX = static_cast<int32_t>(static_cast<int64_t>(g_DeviceWidth) * x / w);
        g_MouseY = static_cast<int32_t>(static_cast<int64_t>(g_DeviceHeight) * y / h);
    }
    g_WindowClientX = g_WindowClientY = 0;
}

void MouseButton(const SDL_MouseButtonEvent& e) {
    const bool down = e.type == SDL_MOUSEBUTTONDOWN;
    uint32_t bit = 0;
    if (e.button == SDL_BUTTON_LEFT) {
        // A control-click is the right button, up to its release even when
        // control goes up first, so that no button bit is left behind.
        if (down) g_leftButtonBit = ControlHeld() ? 2u : 1u;
        bit = g_leftButtonBit;
    } else if (e.button == SDL_BUTTON_RIGHT) {
        bit = 2u;
    } else {
        return; // other buttons are not handled
    }
    UpdateMousePos(e.windowID, e.x, e.y);
    if (down) {
        g_DoMouseButton |= bit;
        g_newMouseDown = true;
    } else {
        g_DoMouseButton &= ~bit;
        g_newMouseDown = false;
    }
}

void MouseWheel(const SDL_MouseWheelEvent& e) {
    const int dy = e.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.y : e.y;
    if (dy > 0) g_MouseWheelUp = 1;
    if (dy < 0) g_MouseWheelDown = 1;
}

} // namespace

bool Input_HandleEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN: KeyDown(event.key); return true;
        case SDL_KEYUP: KeyUp(event.key); return true;
        case SDL_TEXTINPUT: TextInput(event.text.text); return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: MouseButton(event.button); return true;
        case SDL_MOUSEMOTION:
            UpdateMousePos(event.motion.windowID, event.motion.x, event.motion.y);
            return true;
        case SDL_MOUSEWHEEL: MouseWheel(event.wheel); return true;
        default: return false;
    }
}

// A "(" is typed like any other character. The count is kept inside the
// buffer whatever a caller left in it.
void Input_AppendToIOString(int character) {
    if (character < kCharFirst || character > kCharLast) {
        g_mac_lastchar = 0;
        return;
    }
    g_mac_lastchar = character;
    int count = g_IO_String_Curr < 0 ? 0 : g_IO_String_Curr > kIOStringMax ? kIOStringMax : g_IO_String_Curr;
    if (count > kRestartAbove) {
        const uint16_t last = g_mac_IO_String[count - 1];
        std::memset(g_mac_IO_String, 0, sizeof g_mac_IO_String);
        g_mac_IO_String[0] = last;
        count = 1;
    }
    if (character == kCharDelete) {
        if (count > 0) --count;
    } else {
        g_mac_IO_String[count++] = static_cast<uint16_t>(character);
    }
    g_mac_IO_String[count] = 0;
    g_IO_String_Curr = count;
}

void Input_UpdateEvents() {
    SInputEvent& first = g_InputEvents[0];
    first.flags = g_DoMouseButton != 0 ? (0x80000002u | (g_newMouseDown ? 1u : 0u)) : 0u;
    first.x = g_MouseX;
    first.y = g_MouseY;
    g_newMouseDown = false;
}

void FakeKeyDown(int key) {
    Press(IO_Keymap_Get(key));
}

void FakeKeyUp(int key) {
    const int k = IO_Keymap_Get(key);
    if (!ValidKey(k)) return;
    g_mac_keysUpEdge[k] = 1;
    g_mac_keysDown[k] = 0;
}

void clearkey(int key) {
    if (!ValidKey(key)) return;
    if (g_mac_keysDown[key] != 0) g_mac_keysUpEdge[key] = 1;
    g_mac_keysDown[key] = 0;
    if (g_mac_curkey == key) g_mac_curkey = 0;
}

void Input_ClearKeys() {
    std::memset(g_mac_keysDown, 0, sizeof g_mac_keysDown);
    std::memset(g_mac_keysDownEdge, 0, sizeof g_mac_keysDownEdge);
    std::memset(g_mac_keysUpEdge, 0, sizeof g_mac_keysUpEdge);
}

void HideMouseCursor() {
    if (g_CursorHidden) return;
    SDL_ShowCursor(SDL_DISABLE);
    g_CursorHidden = true;
}

void ShowMouseCursor() {
    if (!g_CursorHidden) return;
    SDL_ShowCursor(SDL_ENABLE);
    g_CursorHidden = false;
}

void Input_MouseEntered() {
    if (g_CursorHidden || gMainWindowCursor == -1)
        HideMouseCursor();
    else
        ShowMouseCursor();
}

void InputEvents_Clear() {
    std::memset(g_InputEvents, 0, sizeof g_InputEvents);
}

void InputCapture_Reset() {
    InputEvents_Clear();
    Input_ClearKeys();
    g_DoMouseButton = 0;
    g_MouseWheelUp = g_MouseWheelDown = 0;
    g_CursorHidden = false;
    g_WindowClientX = g_WindowClientY = 0;
    g_newMouseDown = false;
    g_textSuppressed = false;
    std::memset(g_sideHeld, 0, sizeof g_sideHeld);
    g_leftButtonBit = 1;
}
