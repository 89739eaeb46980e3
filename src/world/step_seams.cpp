// Answers for the modules the main loop and the step call that do not exist
// yet: each accepts its call and does nothing, or answers "none".
#include "world/step_services.h"

void DoGenerationalGC() {}
void Check_LoadGameState() {}
void UpdateTarvoFunctions() {}
void ProcessNetworking() {}
void Steam_Process() {}
void HandleKeyboard() {}
void HandleJoystick() {}
void HandleMouse() {}
bool Physics_UpdateRoomWorld(CRoom*, int, bool) {
    return false;
}
void ParticleSystem_UpdateAll() {}
void Draw_Room() {}
bool Sprite_PlaybackSpeed(int, float*, int*) {
    return false;
}
bool Camera_ViewQuad(int, float*) {
    return false;
}

void Sound_Tick() {}
void Graphics_PartialReset() {}
void Graphics_FullReset() {}
void GR_D3D_Start_Frame() {}
void GR_D3D_Finish_Frame(bool) {}
void IO_Render() {}
void GamePadRestart() {}
void TickDebugger() {}
void Run_Terminate() {}

void Push_DispatchEvents() {}
void ProcessVTLCallbacks() {}
