// The window scaler's Draw GUI: three lines of sizes at the window's
// top-left: the scaler's surface, the camera's view, the window.
#include "game/game_code.h"
#include "game/game_functions.h"

namespace {

void SizeLine(CInstance* self, CInstance* other, int y, ZQRValue width, ZQRValue height) {
    ZQRValue text = Game_Call(self, other, FN_string, {&width});
    ZQRValue separator(", ");
    text = text + separator;
    text = text + Game_Call(self, other, FN_string, {&height});
    ZQRValue left(0), top(y);
    Game_Call(self, other, FN_draw_text, {&left, &top, &text});
}

} // namespace

void vtl_Object_obj_scaler_Draw_64(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_scaler_Draw_64");
    ZQRValue surface = Game_Slot(self, SLOT_upscale_surf);
    SizeLine(self, other, 0, Game_Call(self, other, FN_surface_get_width, {&surface}),
             Game_Call(self, other, FN_surface_get_height, {&surface}));
    SizeLine(self, other, 16, Game_Slot(self, SLOT_view_width), Game_Slot(self, SLOT_view_height));
    SizeLine(self, other, 32, Game_Call(self, other, FN_window_get_width),
             Game_Call(self, other, FN_window_get_height));
}
