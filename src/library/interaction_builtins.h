// The interaction built-ins: dialogs, the legacy splash and message-window
// settings, highscores, keyboard and mouse queries, the key map, clearing of
// input, and the stubs for joysticks, number lock and pins.
#pragma once

#include <cstdint>

#include "core/function_table.h"
#include "render/window_settings.h"

// The title of every dialog (render/window_settings.h, the window caption):
// set to a copy of the game's display name at registration.

// The stored splash settings (nothing on this platform shows a splash).
extern char* splash_opt_caption;
extern bool splash_opt_fullscreen, splash_opt_showborder, splash_opt_adapt, splash_opt_ontop,
    splash_opt_inmain;
extern int32_t splash_opt_width, splash_opt_height;
extern uint32_t splash_opt_backcol;
extern double splash_opt_scale;
extern bool splash_opt_showcursor, splash_opt_modal, splash_opt_stop_key, splash_opt_stop_mouse;
extern bool g_fDoubleClickAsMbRight;

// Registers the built-ins in their fixed order (the joystick ones only for
// old-generation data, the gesture ones last for new-generation data).
void InitInteractionFunctions();
// Back to the initial settings, freeing the caption copies (tests).
void Interaction_Reset();

// The button tests of one mouse device (buttons -1 any, 0 none, 1 to 3),
// shared with the platform's per-device mouse built-ins.
void F_CheckMouseButton_Common(RValue& result, CInstance* self, CInstance* other, int button, int device);
void F_CheckMouseButtonPressed_Common(RValue& result, CInstance* self, CInstance* other, int button,
                                      int device);
void F_CheckMouseButtonReleased_Common(RValue& result, CInstance* self, CInstance* other, int button,
                                       int device);

// The direct forms compiled scripts call: 1 or 0 by keyboard_check's rule on
// the held flags.
int ZQVTL_keyboard_check(int key);
int ZQVTL_keyboard_check_direct(int key);
