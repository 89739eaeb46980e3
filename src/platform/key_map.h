// The fixed translation of SDL scancodes (physical key positions) to the
// engine's virtual key codes, which follow the Windows numbering: 8
// backspace, 13 return, 16 to 18 the generic modifiers, 37 to 40 the
// arrows, 48 to 57 the digits, 65 to 90 the letters, 96 to 111 the keypad,
// 112 to 135 the function keys, 160 to 165 the sided modifiers and the
// punctuation keys above 185.
#pragma once

// The virtual key of a scancode, or 0 for a key the engine has no code for.
// Always 0 to 255, so the answer indexes the 256-entry key arrays safely.
int Platform_VirtualKeyForScancode(int scancode);

// The generic modifier (16 shift, 17 control, 18 alt) a sided modifier key
// (160 to 165) also presses; 0 for any other key, the Windows keys included.
int Platform_GenericModifier(int virtualKey);
