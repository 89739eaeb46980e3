// The main loop: one call per timer tick runs a frame (pacing, sound tick,
// one step, the pending room change) and answers the frame rate to aim at;
// starting, stopping, pausing and single-stepping the run.
#pragma once

#include <cstdint>

int64_t MainLoop_Process();
void Run_Start();
void Run_Stop();
void Run_Pause();
void Run_Step();
void SingleStep();
void MainLoop_Init();
void INITIALIZE_Main();
void FINALIZE_Run_Main();
