// soft_max(value, step, high): value + step unless that passes high, then
// value unchanged.
#include "game/game_code.h"
#include "game/game_functions.h"

ZQRValue& vtl_Script_soft_max(CInstance*, CInstance*, ZQRValue& result, int argc, ZQRValue** args) {
    GameFrame frame("vtl_Script_soft_max");
    result = 0.0;
    const ZQRValue value = Game_Argument(argc, args, 0);
    const ZQRValue step = Game_Argument(argc, args, 1);
    const ZQRValue high = Game_Argument(argc, args, 2);
    ZQRValue moved = value + step;
    if (moved > high)
        result = value;
    else
        result = moved;
    return result;
}
