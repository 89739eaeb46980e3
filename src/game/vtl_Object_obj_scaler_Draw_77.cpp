// The window scaler's Post-Draw: the application surface's top-left part
// (the shown part of the room) copied int_scale times enlarged into the
// scaler's surface on black, which is then drawn at the window's top-left
// with linear filtering. Alpha is not written on the way, so the picture
// stays opaque.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "render/surface.h"

void vtl_Object_obj_scaler_Draw_77(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_scaler_Draw_77");
    ZQRValue on(1), off(0);
    Game_Call(self, other, FN_gpu_set_colorwriteenable, {&on, &on, &on, &off});
    ZQVTL_surface_set_target(Game_Slot(self, SLOT_upscale_surf).ToInt32());
    ZQRValue black(0);
    Game_Call(self, other, FN_draw_clear, {&black});
    ZQRValue app = Game_Get(self, VAR_application_surface), zero(0);
    ZQRValue scale = Game_Slot(self, SLOT_int_scale), white(16777215);
    Game_Call(self, other, FN_draw_surface_ext, {&app, &zero, &zero, &scale, &scale, &zero, &white, &on});
    ZQVTL_surface_reset_target();
    Game_Call(self, other, FN_gpu_set_texfilter, {&on});
    ZQRValue surface = Game_Slot(self, SLOT_upscale_surf);
    Game_Call(self, other, FN_draw_surface, {&surface, &zero, &zero});
    Game_Call(self, other, FN_gpu_set_colorwriteenable, {&on, &on, &on, &on});
    Game_Call(self, other, FN_gpu_set_texfilter, {&off});
}
