// The application surface's own drawing to the window, switched by the game:
// a game that scales the picture itself (copying the application surface in
// its Post-Draw) turns it off, or the runtime would draw the unscaled
// surface over the game's picture at the end of every frame.
#include "core/arguments.h"
#include "core/run_globals.h"
#include "platform/platform_builtins.h"

// On when the argument is above 0.5; the result is left as the call gate
// prepared it.
void F_VTLApplicationSurfaceDrawEnable(RValue&, CInstance*, CInstance*, int, RValue* args) {
    g_Application_Surface_Autodraw = ZQGetReal(args, 0) > 0.5;
}
