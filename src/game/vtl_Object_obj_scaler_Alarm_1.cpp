// The window scaler's Alarm 1: here the window takes its size now, then on
// every platform it is centred on the display.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_scaler_Alarm_1(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_scaler_Alarm_1");
    if (Game_Get(self, VAR_os_type) == 1) {
        ZQRValue width = Game_Slot(self, SLOT_cur_window_width),
                 height = Game_Slot(self, SLOT_cur_window_height);
        Game_Call(self, other, FN_window_set_size, {&width, &height});
    }
    Game_Call(self, other, FN_window_center);
}
