// The game controller's Step: while not paused, arm the spawn alarm for
// 240 steps when fewer than max_enemies enemies live and no spawn is
// pending. An alarm that fired this step still reads 0 here, so spawns come
// 241 steps apart.
#include "game/game_code.h"
#include "game/game_functions.h"
#include "world/lifecycle/instance_life.h"

void vtl_Object_obj_game_controller_Step_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_obj_game_controller_Step_0");
    if (Game_Slot(self, SLOT_paused).IsTrue()) return;
    Game_Slot(self, SLOT_num_enemies) = ZQVTL_instance_number(self, other, OBJ_enemy);
    if (Game_Slot(self, SLOT_num_enemies) < Game_Slot(self, SLOT_max_enemies) &&
        Game_Get(self, VAR_alarm, 0) == -1)
        Game_Set(self, VAR_alarm, 0, 240);
}
