// Placeholders until the main loop lands: the run does nothing per frame,
// but starting it enters the first room, so a start-up can be run whole.
#include "world/main_loop.h"

#include "world/room_transitions.h"
#include "world/run_globals.h"

int64_t MainLoop_Process() {
    return 60;
}
void Run_Start() {
    if (!Run_Running) {
        Run_Running = true;
        StartGame();
    }
    Run_Running = true;
    Run_Paused = false;
}
void Run_Stop() {}
void Run_Pause() {}
void Run_Step() {}
void SingleStep() {}
void MainLoop_Init() {}
void INITIALIZE_Main() {}
void FINALIZE_Run_Main() {
    Run_FreeCarriedInstances();
}
