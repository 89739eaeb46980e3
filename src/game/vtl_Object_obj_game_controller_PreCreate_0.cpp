// The game controller's Pre-Create: at most four enemies alive at a time.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_game_controller_PreCreate_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_game_controller_PreCreate_0");
    Game_Call(self, other, FN_event_inherited);
    Game_Slot(self, SLOT_max_enemies) = 4;
}
