// soft_clamp(value, step, low, high): value + step when it stays within
// [low, high], else value unchanged: a step that would leave the range is
// refused whole, not cut at the limit.
#include "game/game_code.h"
#include "game/game_functions.h"

ZQRValue& vtl_Script_soft_clamp(CInstance*, CInstance*, ZQRValue& result, int argc, ZQRValue** args) {
    GameFrame frame("vtl_Script_soft_clamp");
    result = 0.0;
    const ZQRValue value = Game_Argument(argc, args, 0);
    const ZQRValue step = Game_Argument(argc, args, 1);
    const ZQRValue low = Game_Argument(argc, args, 2);
    const ZQRValue high = Game_Argument(argc, args, 3);
    ZQRValue moved = value + step;
    if (moved < low)
        result = value;
    else if (moved > high)
        result = value;
    else
        result = moved;
    return result;
}
