// The waiting carrier's Create: a quarter size, scattered within 75 pixels of
// the pile on each axis, and flying at 0.5 pixels a step to a first point
// within 75 pixels of where it landed (so up to 150 from the pile).
#include "game/game_code.h"
#include "game/game_functions.h"
#include "game/game_math.h"

void vtl_Object_obj_transmitter_waiting_Create_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_transmitter_waiting_Create_0");
    Game_Set(self, VAR_image_xscale, ARRAY_INDEX_NO_INDEX, 0.25);
    Game_Set(self, VAR_image_yscale, ARRAY_INDEX_NO_INDEX, 0.25);
    const double x0 = Game_Get(self, VAR_x).ToReal();
    Game_Set(self, VAR_x, ARRAY_INDEX_NO_INDEX, ZQVTL_random_range(x0 - 75, x0 + 75));
    const double y0 = Game_Get(self, VAR_y).ToReal();
    Game_Set(self, VAR_y, ARRAY_INDEX_NO_INDEX, ZQVTL_random_range(y0 - 75, y0 + 75));
    const double x = Game_Get(self, VAR_x).ToReal(), y = Game_Get(self, VAR_y).ToReal();
    Game_Slot(self, SLOT_target_x) = ZQVTL_random_range(x - 75, x + 75);
    Game_Slot(self, SLOT_target_y) = ZQVTL_random_range(y - 75, y + 75);
    ZQRValue tx = Game_Slot(self, SLOT_target_x), ty = Game_Slot(self, SLOT_target_y), speed = 0.5;
    Game_Call(self, other, FN_move_towards_point, {&tx, &ty, &speed});
}
