// pulse(value, start, end): a ramp falling from 1 at start to 0 at end, 0
// outside [start, end].
#include "game/game_code.h"
#include "game/game_functions.h"

ZQRValue& vtl_Script_pulse(CInstance*, CInstance*, ZQRValue& result, int argc, ZQRValue** args) {
    GameFrame frame("vtl_Script_pulse");
    result = 0.0;
    const ZQRValue value = Game_Argument(argc, args, 0);
    const ZQRValue start = Game_Argument(argc, args, 1);
    const ZQRValue end = Game_Argument(argc, args, 2);
    if (value < start)
        result = 0.0;
    else if (value <= end)
        result = 1 - (value - start) / (end - start);
    else
        result = 0.0;
    return result;
}
