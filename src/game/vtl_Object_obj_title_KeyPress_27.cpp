// The title screen's Escape does nothing: the object has the event so
// that Escape is answered here and nowhere else.
#include "game/game_code.h"
#include "game/game_functions.h"

void vtl_Object_obj_title_KeyPress_27(CInstance*, CInstance*) {
    GameFrame frame("vtl_Object_obj_title_KeyPress_27");
}
