// The pile's Draw: itself, then the first num_transmitters waiting carriers in
// creation order, each as it stands (their own Draw event is empty, so these
// are the only ones seen).
#include "game/game_code.h"
#include "game/game_functions.h"
#include "library/drawing_sprite_builtins.h"

void vtl_Object_obj_piece_pile_Draw_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_piece_pile_Draw_0");
    ZQVTL_draw_self(self);
    for (ZQRValue i = 0; i < Game_Slot(self, SLOT_num_transmitters); ++i) {
        const ZQRValue waiting = Game_GetElement(self, SLOT_transmitter, i.ToInt32());
        for (GameWith with(self, other, waiting.ToInt32()); with.Next();) ZQVTL_draw_self(with.Self());
    }
}
