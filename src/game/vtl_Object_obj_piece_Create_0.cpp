// The placed piece's Create: one of its sprite's frames at random, chosen once.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "game/game_math.h"

void vtl_Object_obj_piece_Create_0(CInstance* self, CInstance*) {
    GameFrame frame("vtl_Object_obj_piece_Create_0");
    const ZQRValue last = Game_Get(self, VAR_image_number) - 1;
    Game_Set(self, VAR_image_index, ARRAY_INDEX_NO_INDEX, ZQVTL_irandom(last.ToInt32()));
}
