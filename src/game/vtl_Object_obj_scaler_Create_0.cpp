// The window scaler's Create: the runtime stops drawing the application
// surface itself (Post-Draw copies it scaled), the sizes for the windowed
// mode, the GUI layer over the whole window, the window sized, and resized
// and centred again two steps later.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "game/game_scaler.h"

void vtl_Object_obj_scaler_Create_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_scaler_Create_0");
    ZQRValue off(0);
    Game_Call(self, other, FN_application_surface_draw_enable, {&off});
    Game_Slot(self, SLOT_cur_window_width) = Game_Slot(self, SLOT_windowed_mode_width);
    Game_Slot(self, SLOT_cur_window_height) = Game_Slot(self, SLOT_windowed_mode_height);
    Game_ScalerSizes(self, other);
    Game_Slot(self, SLOT_upscale_surf) = -1;
    Game_Call(self, other, FN_display_set_gui_maximise);
    ZQRValue width = Game_Slot(self, SLOT_cur_window_width), height = Game_Slot(self, SLOT_cur_window_height);
    Game_Call(self, other, FN_window_set_size, {&width, &height});
    Game_Set(self, VAR_alarm, 1, 2);
}
