// Stand-ins for sprites, backgrounds and tilesets, fonts and text, and
// particles, until the module is built: each accepts its call and does nothing,
// or answers "none" (or succeeds where the caller would otherwise stop). The
// module deletes each stand-in as it defines the real function; the build
// refuses a function defined both here and in the module
// (tools/check_duplicates.sh). Sprites are a table the caller installs
// (Sprite_SeamInstall): the instances, the step's playback and the room's frame
// counts all answer from it.
#include "core/builtin_services.h"
#include "render/surface_services.h"
#include "room/room_services.h"
#include "sprites/font_sprite_services.h"
#include "world/datafile/game_data_services.h"
#include "world/instances/sprite_services.h"
#include "world/run/startup_services.h"
#include "world/step/step_services.h"

// ---- asked for through core/builtin_services.h

// Resource tables not loaded yet: no such resource.
int Sprite_Find(const char*) {
    return -1;
}

// ---- asked for through world/datafile/game_data_services.h

void Sprite_Init() {}

void Sprite_Load(ImageReader&) {}

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

void Sprite_InitTextures() {}

void Part_CreateTextures() {}

void Particle_AddAllToLayers() {}

void Particle_RemoveAllFromLayers() {}

void FINALIZE_Particle_Main() {}

void FINALIZE_Sprite_Class() {}

void FINALIZE_Sprite_Main() {}

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

int Room_SpriteFrameCount(int sprite) {
    const CSprite* data = Sprite_Data(sprite);
    return data != nullptr ? data->m_numb : 0;
}

// ---- asked for through sprites/font_sprite_services.h: until the sprite
// table is built every sprite is missing, so sprite fonts are empty.

bool SpriteFont_Source(int, SpriteFontSource*) {
    return false;
}

void SpriteFont_FrameExtent(int, int, int*, int*) {}

bool SpriteFont_DrawFrame(int, int, float, float, float, float, float, const uint32_t (&)[4], float) {
    return false;
}
