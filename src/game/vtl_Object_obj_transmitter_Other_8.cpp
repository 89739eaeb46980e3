// The carrier's End of Path: at the end of the outward path it shrinks and
// heads for the board; at the start of the path, flown backwards, it shrinks
// and heads for the pile.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_transmitter_Other_8(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_transmitter_Other_8");
    switch (Game_Slot(self, SLOT_state).ToInt32()) {
        case 1:
            Game_Slot(self, SLOT_state) = 2;
            Game_Slot(self, SLOT_target_scaling) = 0.25;
            break;
        case 4:
            Game_Slot(self, SLOT_state) = 5;
            Game_Slot(self, SLOT_target_scaling) = 0.25;
            break;
        default: break;
    }
}
