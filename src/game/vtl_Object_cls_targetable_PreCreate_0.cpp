// The targetable class's Pre-Create: the class has no parent and no
// behaviour; it exists so that enemies find carriers and the player as its
// instances.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_cls_targetable_PreCreate_0(CInstance* self, CInstance* other) {
    GameFrame frame("vtl_Object_cls_targetable_PreCreate_0");
    Game_Call(self, other, FN_event_inherited);
}
