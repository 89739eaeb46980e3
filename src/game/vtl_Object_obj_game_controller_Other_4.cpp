// The game controller's Room Start: the game music replaces whatever
// plays (again after every restart of the room).
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_game_controller_Other_4(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_game_controller_Other_4");
    Game_Call(self, other, FN_audio_stop_all);
    ZQRValue sound(0), priority(100), loop(1);
    Game_Call(self, other, FN_audio_play_sound, {&sound, &priority, &loop});
}
