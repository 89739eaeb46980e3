// The window scaler's Room Start: every room's first camera and the
// application surface from the last size computation.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "game/game_scaler.h"

void vtl_Object_obj_scaler_Other_4(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_scaler_Other_4");
    Game_ScalerView(self, other);
}
