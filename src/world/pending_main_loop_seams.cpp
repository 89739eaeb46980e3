// Placeholders until the main loop lands: the run does nothing per frame.
#include "world/main_loop.h"

int64_t MainLoop_Process() {
    return 60;
}
void Run_Start() {}
void Run_Stop() {}
void Run_Pause() {}
void Run_Step() {}
void SingleStep() {}
void MainLoop_Init() {}
void INITIALIZE_Main() {}
void FINALIZE_Run_Main() {}
