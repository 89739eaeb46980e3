// The carrier's Pre-Create: the targetable class's, then full speed 4 and
// three hit points (which its own events never use).
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_transmitter_PreCreate_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_transmitter_PreCreate_0");
    Game_Call(self, other, FN_event_inherited);
    Game_Slot(self, SLOT_my_speed) = 4;
    Game_Slot(self, SLOT_my_hp) = 3;
    Game_Slot(self, SLOT_my_hp_max) = 3;
}
