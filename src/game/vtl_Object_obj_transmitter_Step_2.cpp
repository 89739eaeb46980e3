// The carrier's End Step, while not paused: the held piece hangs 30 pixels
// along the flight direction.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "game/game_math.h"

void vtl_Object_obj_transmitter_Step_2(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_transmitter_Step_2");
    if (Game_Slot(self, SLOT_paused).IsTrue()) return;
    const float direction = static_cast<float>(Game_Get(self, VAR_direction).ToReal());
    Game_Slot(self, SLOT_piece_x_offset) = static_cast<double>(ZQVTL_lengthdir_x(30, direction));
    Game_Slot(self, SLOT_piece_y_offset) = static_cast<double>(ZQVTL_lengthdir_y(30, direction));
}
