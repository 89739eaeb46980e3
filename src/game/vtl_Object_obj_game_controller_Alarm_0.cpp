// The game controller's Alarm 0: one enemy on a random point of the room's
// border (side 0 top, 1 bottom, 2 left, 3 right; corners included). The
// alarm is re-armed by the Step, not here.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "library/random_builtins.h"

void vtl_Object_obj_game_controller_Alarm_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_game_controller_Alarm_0");
    const ZQRValue side = ZQVTL_irandom(3);
    ZQRValue x, y;
    switch (side.ToInt32()) {
        case 0:
            x = ZQVTL_irandom(Game_Get(self, VAR_room_width).ToInt32());
            y = 0;
            break;
        case 1:
            x = ZQVTL_irandom(Game_Get(self, VAR_room_width).ToInt32());
            y = Game_Get(self, VAR_room_height);
            break;
        case 2:
            x = 0;
            y = ZQVTL_irandom(Game_Get(self, VAR_room_height).ToInt32());
            break;
        case 3:
            x = Game_Get(self, VAR_room_width);
            y = ZQVTL_irandom(Game_Get(self, VAR_room_height).ToInt32());
            break;
        default: return;
    }
    ZQRValue layer("Enemies"), object(OBJ_enemy);
    Game_Call(self, other, FN_instance_create_layer, {&x, &y, &layer, &object});
}
