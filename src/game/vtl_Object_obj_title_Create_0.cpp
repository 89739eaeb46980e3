// The title screen's Create: the title music, looped, replaces whatever plays.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_title_Create_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_title_Create_0");
    Game_Call(self, other, FN_audio_stop_all);
    ZQRValue sound(1), priority(100), loop(1);
    Game_Call(self, other, FN_audio_play_sound, {&sound, &priority, &loop});
}
