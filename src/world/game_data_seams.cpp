// Answers for the modules the game data file's walks call that do not exist
// yet: each accepts its call and does nothing. A module that is built removes
// its own lines here.
#include "core/code.h"
#include "core/console.h"
#include "world/game_data_services.h"
#include "world/game_image.h"

void Sound_Init() {}
void Sprite_Init() {}
void Background_Init() {}
void Font_Init() {}

void Extension_Load(ImageReader&) {}
void Sound_Load(ImageReader&) {}
void Audio_Load(ImageReader&) {}
void AudioGroup_Load(ImageReader&) {}
void Sprite_Load(ImageReader&) {}
void Background_Load(ImageReader&) {}
void Font_Load(ImageReader&) {}
void Texture_Load(ImageReader&) {}
void Audio_WAVs(ImageReader&) {}
void Sound_WAVs(ImageReader&) {}
void EmbeddedImages_Load(ImageReader&) {}

bool Audio_NewSystem() {
    return true;
}

// The game's compiled code fills the record; until it is linked in, the
// record stays empty (no compiled variables, functions or code).
void InitLLVM(SLLVMVars*) {}
void Platform_ShowMessage(const char* text) {
    rel_csol->Output("%s\n", text);
}

void JS_InitRuntime() {}
void JS_SetupResources() {}
void Camera_ResetForLoad() {}
void Particle_EmbeddedImagesSetup() {}
void GR_Window_Set_Color(uint32_t) {}
