// The carrier meets the pile: once home and shrunk it is a waiting carrier
// again (the pile's free count goes up) and goes. One that arrives still
// shrinking flies on over the pile's position until a later collision.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "world/lifecycle/instance_life.h"

void vtl_Object_obj_transmitter_Collision_d87b8975_b144_401b_a04c_e2082facff13(CInstance* self,
                                                                               CInstance* other) {
    GameFrame frame("vtl_Object_obj_transmitter_Collision_d87b8975_b144_401b_a04c_e2082facff13");
    if (Game_Slot(self, SLOT_state) == 5 && Game_Slot(self, SLOT_scaling) == 0.25) {
        Game_SetSlotOn(OBJ_piece_pile, SLOT_num_transmitters, ARRAY_INDEX_NO_INDEX,
                       Game_GetSlotOn(OBJ_piece_pile, SLOT_num_transmitters) + 1);
        ZQVTL_instance_destroy(self, other, 0, nullptr);
    }
}
