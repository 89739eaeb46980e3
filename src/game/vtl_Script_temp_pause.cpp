// temp_pause(steps): the hit-stop. Every live instance gets user event 4
// (pause); the controller's alarm 1 sends user event 5 (resume) after
// `steps` steps. Instances made later in the pause are not paused.
#include "game/game_code.h"
#include "game/game_functions.h"

ZQRValue& vtl_Script_temp_pause(CInstance* self, CInstance* other, ZQRValue& result, int argc,
                                ZQRValue** args) {
    GameFrame frame("vtl_Script_temp_pause");
    result = 0.0;
    const ZQRValue steps = Game_Argument(argc, args, 0);
    for (GameWith with(self, other, WITH_ALL); with.Next();) {
        ZQRValue four(4);
        Game_Call(with.Self(), with.Other(), FN_event_user, {&four});
    }
    Game_SetOn(OBJ_game_controller, VAR_alarm, 1, steps);
    return result;
}
