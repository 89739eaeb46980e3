// The window scaler's Alarm 0, a step after F: the window's size for the
// mode now requested (the display's in full screen), the sizes, the view
// and the GUI layer again. Here the window is resized five steps later
// (Alarm 1); other platforms resize it at once. The scaler's surface, freed
// by the display reset, is made again by the next Pre-Draw.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "game/game_scaler.h"

void vtl_Object_obj_scaler_Alarm_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_scaler_Alarm_0");
    if (Game_Call(self, other, FN_window_get_fullscreen).IsTrue()) {
        Game_Slot(self, SLOT_cur_window_width) = Game_Call(self, other, FN_display_get_width);
        Game_Slot(self, SLOT_cur_window_height) = Game_Call(self, other, FN_display_get_height);
    } else {
        Game_Slot(self, SLOT_cur_window_width) = Game_Slot(self, SLOT_windowed_mode_width);
        Game_Slot(self, SLOT_cur_window_height) = Game_Slot(self, SLOT_windowed_mode_height);
    }
    Game_ScalerSizes(self, other);
    Game_ScalerView(self, other);
    Game_Call(self, other, FN_display_set_gui_maximise);
    switch (Game_Get(self, VAR_os_type).ToInt32()) {
        case 0:
        case 6: {
            ZQRValue width = Game_Slot(self, SLOT_cur_window_width),
                     height = Game_Slot(self, SLOT_cur_window_height);
            Game_Call(self, other, FN_window_set_size, {&width, &height});
            Game_Set(self, VAR_alarm, 1, 2);
            break;
        }
        case 1: Game_Set(self, VAR_alarm, 1, 5); break;
        default: break;
    }
}
