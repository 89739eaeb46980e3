// The player's Draw End: after a hit, a 32 x 4 health bar whose top is 38
// pixels above the origin, filled to the share of hit points left.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_player_Draw_73(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_player_Draw_73");
    if (!Game_Slot(self, SLOT_show_hp).IsTrue()) return;
    const ZQRValue x = Game_Get(self, VAR_x), y = Game_Get(self, VAR_y);
    ZQRValue x1 = x - 16, y1 = y - 38, x2 = x + 16, y2 = y - 34;
    ZQRValue amount = Game_Slot(self, SLOT_my_hp) / Game_Slot(self, SLOT_my_hp_max) * 100;
    ZQRValue back(13419951), bar(10853506), zero(0), one(1);
    Game_Call(self, other, FN_draw_healthbar,
              {&x1, &y1, &x2, &y2, &amount, &back, &bar, &bar, &zero, &one, &one});
}
