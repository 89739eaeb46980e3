// The carrier's Draw: the held piece (states 0 to 2) 30 pixels ahead at the
// carrier's scale, tinted with its colour, then the carrier over it.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "library/drawing_sprite_builtins.h"

void vtl_Object_obj_transmitter_Draw_0(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_transmitter_Draw_0");
    const float scaling = static_cast<float>(Game_Slot(self, SLOT_scaling).ToReal());
    const float x = static_cast<float>(Game_Get(self, VAR_x).ToReal());
    const float y = static_cast<float>(Game_Get(self, VAR_y).ToReal());
    const float angle = static_cast<float>(Game_Get(self, VAR_image_angle).ToReal());
    const float alpha = static_cast<float>(Game_Get(self, VAR_image_alpha).ToReal());
    if (Game_Slot(self, SLOT_state) <= 2) {
        const float ox = static_cast<float>(Game_Slot(self, SLOT_piece_x_offset).ToReal());
        const float oy = static_cast<float>(Game_Slot(self, SLOT_piece_y_offset).ToReal());
        ZQVTL_draw_sprite_ext(self, 7, 0, x + ox * scaling, y + oy * scaling, scaling, scaling, angle + 90,
                              static_cast<uint32_t>(Game_Slot(self, SLOT_piece_colour).ToInt64()), alpha);
    }
    ZQVTL_draw_sprite_ext(self, Game_Get(self, VAR_sprite_index).ToInt32(),
                          Game_Get(self, VAR_image_index).ToInt32(), x, y, scaling, scaling, angle, 0xFFFFFF,
                          alpha);
}
