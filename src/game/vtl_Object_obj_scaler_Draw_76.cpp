// The window scaler's Pre-Draw: its surface, made again after a display
// reset freed it, at the scaled picture's size.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_scaler_Draw_76(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_scaler_Draw_76");
    ZQRValue surface = Game_Slot(self, SLOT_upscale_surf);
    if (Game_Call(self, other, FN_surface_exists, {&surface}).IsTrue()) return;
    ZQRValue width = Game_Slot(self, SLOT_int_scaled_app_width),
             height = Game_Slot(self, SLOT_int_scaled_app_height);
    Game_Slot(self, SLOT_upscale_surf) = Game_Call(self, other, FN_surface_create, {&width, &height});
}
