// Placeholders for the modules the start-up sequence, game preparation and
// room changes call before they exist (see world/startup_services.h): each
// does nothing, and the ones that answer succeed.
#include "world/startup_services.h"

void RomDisk_Init() {}
void INITIALIZE_PlatformSpecific() {}
void INITIALIZE_Graphics_Draw() {}
void INITIALIZE_Graphics_Window() {}
void INITIALIZE_Particle_Main() {}
void INITIALIZE_Sound_DirectX() {}
void INITIALIZE_Score() {}
void CameraManager_SetupVTLFunctions() {}
void HighScore_InitLoad() {}
void InitGraphicFunctions() {}
void InitActionFunctions() {}
void InitFileFunctions() {}
void InitResourceFunctions() {}
void InitInteractionFunctions() {}
void Init3DFunctions() {}
void InitParticlesFunctions() {}
void InitSoundFunctions() {}
void InitPhysicsFunctions() {}
void InitGamepadFunctions() {}
void InitBufferFunctions() {}
void InitBufferVertexFunctions() {}
void InitNetworkingFunctions() {}
void InitShaderFunctions() {}
void InitVertexFormats() {}
void InitSteamFunctions() {}
void InitPushFunctions() {}
void InitTarvoFunctions() {}
void InitMetroFunctions() {}
void LayerManager_InitLayerFunctions() {}
bool GR_D3D_Init() {
    return true;
}
void GR_D3D_End() {}
void DisplaySet() {}
void Graphics_EndInit() {}
void Background_InitTextures() {}
void Sprite_InitTextures() {}
void Font_InitTextures() {}
void Part_CreateTextures() {}
void Debug_InitRemoteInterface() {}
void VM_Init() {}
void VM_Quit() {}
bool Extension_Prepare() {
    return true;
}
bool Sound_Prepare() {
    return true;
}
void Sound_SystemInit() {}
void Audio_Prepare() {}
void IO_Setup(IniFile*) {}
void Sound_Setup(IniFile*) {}
void Platform_RestrictOrientation(bool, bool, bool, bool) {}
bool Extension_Initialise() {
    return true;
}
bool Extension_Finalise() {
    return true;
}
void Platform_SetCursor(int) {}
void Texture_SetInterpolation(bool) {}
void Draw_SetInitialColour() {}
void Effects_Clear() {}
void Camera_StartRoom(CRoom*) {}
void Camera_EndRoom(CRoom*) {}
void Particle_AddAllToLayers() {}
void Particle_RemoveAllFromLayers() {}
void Room_SizeDrawing() {}
void DeleteAllVirtualKeys() {}
void Instance_RebuildPhysicsBody(CInstance*, CRoom*) {}
void Audio_StopAll() {}
void Text_ResetDefaults() {}
void Collector_FullCollect() {}
void Debug_AddTag(const char*) {}
bool Debugger_WaitsForConnection() {
    return false;
}
bool SaveGame_Load(const char*) {
    return false;
}
void SND_End() {}
void Profiler_ProfileDump() {}
void Profiler_Clean() {}
void QuitTarvoFunctions() {}
void QuitNetworkingFunctions() {}
void Steam_Shutdown() {}
void FINALIZE_Score() {}
void FINALIZE_Code_Main() {}
void FINALIZE_Motion_Grid() {}
void FINALIZE_Particle_Main() {}
void FINALIZE_Sprite_Class() {}
void FINALIZE_Sprite_Main() {}
void FINALIZE_VertexFormats() {}
void FINALIZE_Graphics_Display() {}
void FINALIZE_Background() {}
void FINALIZE_Graphics_Texture() {}
void FINALIZE_Font_Main() {}
void FINALIZE_Graphics_Text() {}
void FINALIZE_Function_File() {}
void FINALIZE_Sound() {}
void FINALIZE_PlatformSpecific() {}
