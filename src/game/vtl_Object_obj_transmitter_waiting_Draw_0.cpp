// The waiting carrier's Draw: empty; the pile draws as many as it can send.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_transmitter_waiting_Draw_0(CInstance*, CInstance*) {
    GameFrame frame("vtl_Object_obj_transmitter_waiting_Draw_0");
}
