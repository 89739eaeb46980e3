// The win screen's Draw: the assembled picture (global `pic`), frame 0,
// with its origin at (20, 20), 32 times enlarged, untinted and opaque.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "library/drawing_sprite_builtins.h"

void vtl_Object_obj_win_Draw_0(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_win_Draw_0");
    ZQVTL_draw_sprite_ext(self, Game_Global(SLOT_pic).ToInt32(), 0, 20, 20, 32, 32, 0, 0xFFFFFF, 1);
}
