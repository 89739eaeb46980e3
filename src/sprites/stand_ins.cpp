// Stand-ins for sprites, backgrounds and tilesets, fonts and text, and
// particles, until the module is built: each accepts its call and does nothing,
// or answers "none" (or succeeds where the caller would otherwise stop). The
// module deletes each stand-in as it defines the real function; the build
// refuses a function defined both here and in the module
// (tools/check_duplicates.sh). Sprites are a table the caller installs
// (Sprite_SeamInstall): the instances, the step's playback and the room's frame
// counts all answer from it.
#include "core/builtin_services.h"
#include "room/room_services.h"
#include "world/datafile/game_data_services.h"
#include "world/instances/sprite_services.h"
#include "world/run/startup_services.h"
#include "world/step/step_services.h"

// ---- asked for through core/builtin_services.h

int32_t g_nFontTextureSize = 1024;

// Resource tables not loaded yet: no such resource.
int Sprite_Find(const char*) {
    return -1;
}

int Background_Find(const char*) {
    return -1;
}

int Font_Find(const char*) {
    return -1;
}

// ---- asked for through world/datafile/game_data_services.h

void Sprite_Init() {}

void Background_Init() {}

void Font_Init() {}

void Sprite_Load(ImageReader&) {}

void Background_Load(ImageReader&) {}

void Font_Load(ImageReader&) {}

void EmbeddedImages_Load(ImageReader&) {}

void Particle_EmbeddedImagesSetup() {}

// ---- asked for through world/instances/sprite_services.h

namespace {
CSprite* const* s_sprites = nullptr;
int s_count = 0;
} // namespace

void Sprite_SeamInstall(CSprite* const* sprites, int count) {
    s_sprites = sprites;
    s_count = sprites != nullptr && count > 0 ? count : 0;
}

bool Sprite_Exists(int index) {
    return Sprite_Data(index) != nullptr;
}

CSprite* Sprite_Data(int index) {
    if (index < 0 || index >= s_count) return nullptr;
    return s_sprites[index];
}

// ---- asked for through world/run/startup_services.h

void INITIALIZE_Particle_Main() {}

void InitParticlesFunctions() {}

void Background_InitTextures() {}

void Sprite_InitTextures() {}

void Font_InitTextures() {}

void Part_CreateTextures() {}

void Particle_AddAllToLayers() {}

void Particle_RemoveAllFromLayers() {}

void Text_ResetDefaults() {}

void FINALIZE_Particle_Main() {}

void FINALIZE_Sprite_Class() {}

void FINALIZE_Sprite_Main() {}

void FINALIZE_Background() {}

void FINALIZE_Font_Main() {}

// ---- asked for through world/step/step_services.h

void ParticleSystem_UpdateAll() {}

// Answered from the installed table, as the instances see their sprites.
bool Sprite_PlaybackSpeed(int sprite, float* speed, int* type) {
    const CSprite* data = Sprite_Data(sprite);
    if (data == nullptr) return false;
    *speed = data->m_playbackSpeed;
    *type = data->m_playbackSpeedType;
    return true;
}

// ---- asked for through room/room_services.h

bool Room_BackgroundSize(int, int*, int*) {
    return false;
}

int Room_SpriteFrameCount(int sprite) {
    const CSprite* data = Sprite_Data(sprite);
    return data != nullptr ? data->m_numb : 0;
}

bool Room_TilesetAnimation(int, int*, double*) {
    return false;
}
