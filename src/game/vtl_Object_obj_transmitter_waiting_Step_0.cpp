// The waiting carrier's Step (also during a hit-stop): within 2 pixels of its
// point it picks the next one within 75 pixels of the pile on each axis.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "game/game_math.h"

void vtl_Object_obj_transmitter_waiting_Step_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_transmitter_waiting_Step_0");
    ZQRValue x = Game_Get(self, VAR_x), y = Game_Get(self, VAR_y);
    ZQRValue tx = Game_Slot(self, SLOT_target_x), ty = Game_Slot(self, SLOT_target_y);
    if (!(Game_Call(self, other, FN_point_distance, {&x, &y, &tx, &ty}) < 2)) return;
    const double px = Game_GetOn(OBJ_piece_pile, VAR_x).ToReal();
    Game_Slot(self, SLOT_target_x) = ZQVTL_random_range(px - 75, px + 75);
    const double py = Game_GetOn(OBJ_piece_pile, VAR_y).ToReal();
    Game_Slot(self, SLOT_target_y) = ZQVTL_random_range(py - 75, py + 75);
    tx = Game_Slot(self, SLOT_target_x);
    ty = Game_Slot(self, SLOT_target_y);
    ZQRValue speed = 0.5;
    Game_Call(self, other, FN_move_towards_point, {&tx, &ty, &speed});
}
