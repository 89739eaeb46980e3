// What the game data file's walks call in other modules: table set-up,
// chunk loaders and the settings the header hands on. Every chunk loader
// takes an ImageReader over its payload (position = payload start, limit =
// payload end); offsets it meets are resolved through that reader.
//
// A module that is not built yet answers through its stand-ins in its own
// folder (src/<module>/stand_ins.cpp), one definition per function; the
// module deletes each as it defines the real one.
#pragma once

#include <cstdint>

class ImageReader;

// Table resets, in the order the second walk calls them.
void Sound_Init();
void Sprite_Init();
void Background_Init();
void Path_Init();
void Script_Init();
void Font_Init();
void TimeLine_Init();
void Object_Init();
void Room_Init();
void Option_Init();
void Language_Init();
// The data file's texture pages: their textures freed, their names forgotten.
void TexturePages_Init();

// Chunk loaders of the second walk.
void Option_Load(ImageReader& chunk);
void Language_Load(ImageReader& chunk);
void Extension_Load(ImageReader& chunk);
void Sound_Load(ImageReader& chunk);
void Audio_Load(ImageReader& chunk);
void AudioGroup_Load(ImageReader& chunk);
void Sprite_Load(ImageReader& chunk);
void Background_Load(ImageReader& chunk);
void Path_Load(ImageReader& chunk);
void Script_Load(ImageReader& chunk);
void Shader_Load(ImageReader& chunk);
void Font_Load(ImageReader& chunk);
void TimeLine_Load(ImageReader& chunk);
void Object_Load(ImageReader& chunk);
void Room_Load(ImageReader& chunk);
void Texture_Load(ImageReader& chunk);
void Audio_WAVs(ImageReader& chunk);
void Sound_WAVs(ImageReader& chunk);
void EmbeddedImages_Load(ImageReader& chunk);
void FUNC_Load(ImageReader& chunk);
void Code_Patch(ImageReader& chunk);
// First walk: the variable chunk.
void VARI_Load(ImageReader& chunk);

// Whether sounds load through the newer audio system.
bool Audio_NewSystem();

// Binding of the compiled game's names: before the walk (variables and the
// global object) and after it (variable and function names).
void Code_BindBeforeLoad();
void Code_BindAfterLoad();

// Start-up services around reading the file: the compiled game's record,
// "options.ini" beside the data file (hands it to input, files, sound and
// platform set-up), the debug-information file, and the platform's message box.
void Code_LoadCompiledRecord();
void GameIni_Load(const char* path);
void DebugInfo_Load(const char* path);
void Platform_ShowMessage(const char* text);

// Header settings handed on.
void InitVTLFunctions();
void Room_Set_maxid(int id);
void Room_Set_maxtileid(int id);
void Room_LoadOrder(ImageReader& header, int version);
void JS_InitRuntime();
void JS_SetupResources();
void Camera_ResetForLoad();
void Particle_EmbeddedImagesSetup();

// The options hand the window colour (the colour drawn outside the views) to
// the renderer.
void GR_Window_Set_Color(uint32_t colour);
