// What the start-up sequence, game preparation and room changes call in
// modules that are not built yet: initialisers, built-in registrars,
// finalisers and the few services a room change or the game's start and end
// use. Each is answered by a stand-in in its module's folder
// (src/<module>/stand_ins.cpp) that does nothing (or succeeds); the module
// deletes the stand-in as it defines the function itself.
#pragma once

#include <cstdint>

class CInstance;
class CRoom;
class IniFile;

// ---- module initialisers (run by Init)
void RomDisk_Init();
void INITIALIZE_Graphics_Draw();
void INITIALIZE_Graphics_Window();
void INITIALIZE_Particle_Main();
void INITIALIZE_Sound_DirectX();
void INITIALIZE_Score();
void CameraManager_SetupVTLFunctions();

// ---- built-in registrars (run by InitVTLFunctions, after the header)
void HighScore_InitLoad();
void InitMathFunctions();
void InitGraphicFunctions();
void InitActionFunctions();
void InitFileFunctions();
void InitResourceFunctions();
void InitInteractionFunctions();
void Init3DFunctions();
void InitParticlesFunctions();
void InitMiscFunctions();
void InitSoundFunctions();
void InitPhysicsFunctions();
void InitGamepadFunctions();
void InitBufferFunctions();
void InitBufferVertexFunctions();
void InitNetworkingFunctions();
void InitShaderFunctions();
void InitVertexFormats();
void InitSteamFunctions();
void InitPushFunctions();
void InitTarvoFunctions();
void InitMetroFunctions();
void LayerManager_InitLayerFunctions();

// ---- the second start pass
// False when the graphics device cannot start.
bool GR_D3D_Init();
void GR_D3D_End();
bool DisplaySet();
void Graphics_EndInit();
void Background_InitTextures();
void Sprite_InitTextures();
void Font_InitTextures();
void Part_CreateTextures();
void Debug_InitRemoteInterface();
void VM_Init();
void VM_Quit();

// ---- game preparation
bool Extension_Prepare();
bool Sound_Prepare();
void Sound_SystemInit();
void Audio_Prepare();
// Hands "options.ini" to the input, file-service and sound settings.
void IO_Setup(IniFile* ini);
void Sound_Setup(IniFile* ini);
// The application's display name, copyright and allowed orientations.
void PropagateGameName(const char* name);
void PropagateCopyright(const char* text);
void Platform_RestrictOrientation(bool landscape, bool portrait, bool landscapeFlipped, bool portraitFlipped);

// ---- game start, room changes and game end
bool Extension_Initialise();
bool Extension_Finalise();
// 0 shows the window's cursor, -1 hides it.
void Platform_SetCursor(int cursor);
void Texture_SetInterpolation(bool interpolate);
void Draw_SetInitialColour();
void Effects_Clear();
void Camera_StartRoom(CRoom* room);
void Camera_EndRoom(CRoom* room);
void Particle_AddAllToLayers();
void Particle_RemoveAllFromLayers();
void Room_SizeDrawing();
void DeleteAllVirtualKeys();
void Instance_RebuildPhysicsBody(CInstance* instance, CRoom* room);
void Audio_StopAll();
void Text_ResetDefaults();
void RenderState_Reset();
void Collector_FullCollect();
void Debug_AddTag(const char* text);
// True when the run waits for the debugger before entering its first room.
bool Debugger_WaitsForConnection();
// Reads a saved game into the running game; false when it cannot.
bool SaveGame_Load(const char* name);

// ---- end of game hooks and finalisers (run by EndOfGame and Quit)
void SND_End();
void Profiler_ProfileDump();
void Profiler_Clean();
void QuitTarvoFunctions();
void QuitNetworkingFunctions();
void Steam_Shutdown();
void FINALIZE_Score();
void FINALIZE_Motion_Grid();
void FINALIZE_Particle_Main();
void FINALIZE_Sprite_Class();
void FINALIZE_Sprite_Main();
void FINALIZE_VertexFormats();
void FINALIZE_Graphics_Display();
void FINALIZE_Background();
void FINALIZE_Graphics_Texture();
void FINALIZE_Font_Main();
void FINALIZE_Graphics_Text();
void FINALIZE_Function_File();
void FINALIZE_Sound();
