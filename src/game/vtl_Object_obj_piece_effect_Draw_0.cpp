// The falling piece's Draw: always frame 0, at its own scale, turned, tinted
// with the piece's colour and faded.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "library/drawing_sprite_builtins.h"

void vtl_Object_obj_piece_effect_Draw_0(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_piece_effect_Draw_0");
    const float scaling = static_cast<float>(Game_Slot(self, SLOT_scaling).ToReal());
    ZQVTL_draw_sprite_ext(self, Game_Get(self, VAR_sprite_index).ToInt32(), 0,
                          static_cast<float>(Game_Get(self, VAR_x).ToReal()),
                          static_cast<float>(Game_Get(self, VAR_y).ToReal()), scaling, scaling,
                          static_cast<float>(Game_Get(self, VAR_image_angle).ToReal()),
                          static_cast<uint32_t>(Game_Get(self, VAR_image_blend).ToInt64()),
                          static_cast<float>(Game_Get(self, VAR_image_alpha).ToReal()));
}
