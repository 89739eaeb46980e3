// Stand-ins for sprites, backgrounds and tilesets, fonts and text, and
// particles, until the module is built: each accepts its call and does nothing,
// or answers "none" (or succeeds where the caller would otherwise stop). The
// module deletes each stand-in as it defines the real function; the build
// refuses a function defined both here and in the module
// (tools/check_duplicates.sh).
#include "core/function_table.h"
#include "core/support_output.h"
#include "render/surface_services.h"
#include "world/datafile/game_data_services.h"
#include "world/run/startup_services.h"
#include "world/step/step_services.h"

// ---- asked for through world/datafile/game_data_services.h

void Particle_EmbeddedImagesSetup() {}

// ---- asked for through world/run/startup_services.h

void INITIALIZE_Particle_Main() {}

namespace {

// Answers undefined, as a particle built-in this runtime does not carry yet.
void F_ParticlesMissing(RValue&, CInstance*, CInstance*, int, RValue*) {
    Support_DebugOutput("%s not implemented\n",
                        g_pFunction != nullptr ? g_pFunction->f_name : "particle built-in");
}

} // namespace

// Only the particle built-in the game's compiled code binds to by name, so
// that the game loads until the real registrar takes this one's place.
void InitParticlesFunctions() {
    Function_Add("effect_create_below", F_ParticlesMissing, 5, false);
}

void Part_CreateTextures() {}

void Particle_AddAllToLayers() {}

void Particle_RemoveAllFromLayers() {}

void FINALIZE_Particle_Main() {}

void FINALIZE_Sprite_Class() {}

// ---- asked for through world/step/step_services.h

void ParticleSystem_UpdateAll() {}
