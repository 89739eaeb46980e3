// The window scaler's Clean Up: its surface goes with it.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_scaler_CleanUp_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_scaler_CleanUp_0");
    ZQRValue surface = Game_Slot(self, SLOT_upscale_surf);
    Game_Call(self, other, FN_surface_free, {&surface});
}
