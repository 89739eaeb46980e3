// The window scaler's Pre-Create: the game's 640 x 360 design area and the
// 1280 x 720 windowed-mode window.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_scaler_PreCreate_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_scaler_PreCreate_0");
    Game_Call(self, other, FN_event_inherited);
    Game_Slot(self, SLOT_app_max_width) = 640;
    Game_Slot(self, SLOT_app_max_height) = 360;
    Game_Slot(self, SLOT_windowed_mode_width) = 1280;
    Game_Slot(self, SLOT_windowed_mode_height) = 720;
}
