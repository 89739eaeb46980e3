// init_enums(): left from enumeration declarations; does nothing and gives 0.
#include "game/game_code.h"
#include "game/game_functions.h"

ZQRValue& vtl_Script_init_enums(CInstance*, CInstance*, ZQRValue& result, int, ZQRValue**) {
    GameFrame frame("vtl_Script_init_enums");
    result = 0.0;
    return result;
}
