// The window scaler's F: request the other window mode (made by the display
// reset at the next frame) and recompute the sizes one step later.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_scaler_KeyPress_70(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_scaler_KeyPress_70");
    ZQRValue full(Game_Call(self, other, FN_window_get_fullscreen).IsTrue() ? 0 : 1);
    Game_Call(self, other, FN_window_set_fullscreen, {&full});
    Game_Set(self, VAR_alarm, 0, 1);
}
