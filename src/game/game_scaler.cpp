#include "game/game_scaler.h"

#include "game/game_code.h"

void Game_ScalerSizes(CInstance* self, CInstance* other) {
    Game_Slot(self, SLOT_aspect_ratio) =
        Game_Slot(self, SLOT_cur_window_width) / Game_Slot(self, SLOT_cur_window_height);
    const ZQRValue aspect = Game_Slot(self, SLOT_aspect_ratio);
    const ZQRValue maxWidth = Game_Slot(self, SLOT_app_max_width),
                   maxHeight = Game_Slot(self, SLOT_app_max_height);
    if (aspect <= 1.0) {
        ZQRValue fit = Game_Slot(self, SLOT_cur_window_height) / maxHeight;
        Game_Slot(self, SLOT_int_scale) = Game_Call(self, other, FN_floor, {&fit});
    } else {
        ZQRValue fit = Game_Slot(self, SLOT_cur_window_width) / maxWidth;
        Game_Slot(self, SLOT_int_scale) = Game_Call(self, other, FN_floor, {&fit});
    }
    // A window smaller than the design area would ask for a surface of size 0.
    if (Game_Slot(self, SLOT_int_scale) < 1.0) Game_Slot(self, SLOT_int_scale) = 1;
    const ZQRValue scale = Game_Slot(self, SLOT_int_scale);
    if (aspect <= 1.0) {
        Game_Slot(self, SLOT_int_scaled_app_height) = maxHeight * scale;
        Game_Slot(self, SLOT_int_scaled_app_width) = Game_Slot(self, SLOT_int_scaled_app_height) * aspect;
        Game_Slot(self, SLOT_cur_app_height) = maxHeight;
        Game_Slot(self, SLOT_cur_app_width) = maxHeight * aspect;
    } else {
        Game_Slot(self, SLOT_int_scaled_app_width) = maxWidth * scale;
        Game_Slot(self, SLOT_int_scaled_app_height) = Game_Slot(self, SLOT_int_scaled_app_width) / aspect;
        Game_Slot(self, SLOT_cur_app_width) = maxWidth;
        Game_Slot(self, SLOT_cur_app_height) = maxWidth / aspect;
    }
}

void Game_ScalerView(CInstance* self, CInstance* other) {
    const ZQRValue aspect = Game_Slot(self, SLOT_aspect_ratio);
    if (aspect <= 1.0) {
        Game_Slot(self, SLOT_view_height) = Game_Slot(self, SLOT_windowed_mode_height);
        Game_Slot(self, SLOT_view_width) = Game_Slot(self, SLOT_view_height) * aspect;
    } else {
        Game_Slot(self, SLOT_view_width) = Game_Slot(self, SLOT_windowed_mode_width);
        Game_Slot(self, SLOT_view_height) = Game_Slot(self, SLOT_view_width) / aspect;
    }
    ZQRValue camera = Game_Get(self, VAR_view_camera, 0);
    ZQRValue width = Game_Slot(self, SLOT_view_width), height = Game_Slot(self, SLOT_view_height);
    Game_Call(self, other, FN_camera_set_view_size, {&camera, &width, &height});
    ZQRValue left = (Game_Get(self, VAR_room_width) - Game_Slot(self, SLOT_cur_app_width)) / 2;
    ZQRValue top = (Game_Get(self, VAR_room_height) - Game_Slot(self, SLOT_cur_app_height)) / 2;
    Game_Call(self, other, FN_camera_set_view_pos, {&camera, &left, &top});
    ZQRValue surface = Game_Get(self, VAR_application_surface);
    Game_Call(self, other, FN_surface_resize, {&surface, &width, &height});
}
