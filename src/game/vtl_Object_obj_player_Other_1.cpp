// The player's Intersect Boundary: its origin is held inside the room (the
// sprite may stick out around it).
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_player_Other_1(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_player_Other_1");
    ZQRValue zero(0);
    ZQRValue x = Game_Get(self, VAR_x), width = Game_Get(self, VAR_room_width);
    Game_Set(self, VAR_x, ARRAY_INDEX_NO_INDEX, Game_Call(self, other, FN_clamp, {&x, &zero, &width}));
    ZQRValue y = Game_Get(self, VAR_y), height = Game_Get(self, VAR_room_height);
    Game_Set(self, VAR_y, ARRAY_INDEX_NO_INDEX, Game_Call(self, other, FN_clamp, {&y, &zero, &height}));
}
