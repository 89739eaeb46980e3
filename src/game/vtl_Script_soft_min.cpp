// soft_min(value, step, low): value + step unless that falls below low,
// then value unchanged.
#include "game/game_code.h"
#include "game/game_functions.h"

ZQRValue& vtl_Script_soft_min(CInstance*, CInstance*, ZQRValue& result, int argc, ZQRValue** args) {
    GameFrame frame("vtl_Script_soft_min");
    result = 0.0;
    const ZQRValue value = Game_Argument(argc, args, 0);
    const ZQRValue step = Game_Argument(argc, args, 1);
    const ZQRValue low = Game_Argument(argc, args, 2);
    ZQRValue moved = value + step;
    if (moved < low)
        result = value;
    else
        result = moved;
    return result;
}
