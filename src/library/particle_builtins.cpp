// The 64 particle built-ins: types, systems, particles, emitters and the
// built-in effects. A built-in's id is its index in the function table, so
// the rows of kParticleOrder stand in registration order: change it only by
// appending. The colour spellings share the handler of the color spelling.
//
// [SECTION] handlers: types
// [SECTION] handlers: systems, particles, emitters, effects
// [SECTION] registration order
#include <iterator>

#include "core/arguments.h"
#include "core/function_table.h"
#include "library/colour.h"
#include "library/particle_builtins.h"
#include "room/layer_manager.h"
#include "sprites/effects.h"
#include "sprites/particle_draw.h"
#include "sprites/particle_services.h"
#include "sprites/particle_system.h"
#include "world/run/startup_services.h"

uint32_t Particle_HSVColour(int hue, int saturation, int value) {
    return Color_HSVToColor(Color_HSV(hue, saturation, value));
}

namespace {

#define BUILTIN(name)                                                                                        \
    void name([[maybe_unused]] RValue& result, CInstance*, CInstance*, [[maybe_unused]] int argc,            \
              [[maybe_unused]] RValue* args)

inline int32_t I(const RValue* args, int i) {
    return ZQGetInt32(args, i);
}
inline float F(const RValue* args, int i) {
    return ZQGetFloat(args, i);
}
inline bool B(const RValue* args, int i) {
    return ZQGetBool(args, i);
}

// ---------------------------------------------------------------------------
// [SECTION] handlers: types

BUILTIN(F_PartTypeCreate) {
    ZQSetResultReal(result, ParticleType_Create());
}
BUILTIN(F_PartTypeDestroy) {
    ParticleType_Destroy(I(args, 0));
}
BUILTIN(F_PartTypeExists) {
    ZQSetResultReal(result, ParticleType_Exists(I(args, 0)) ? 1 : 0);
}
BUILTIN(F_PartTypeClear) {
    ParticleType_Clear(I(args, 0));
}
BUILTIN(F_PartTypeShape) {
    ParticleType_Shape(I(args, 0), I(args, 1));
}
BUILTIN(F_PartTypeSprite) {
    ParticleType_Sprite(I(args, 0), I(args, 1), B(args, 2), B(args, 3), B(args, 4));
}
BUILTIN(F_PartTypeSize) {
    ParticleType_Size(I(args, 0), F(args, 1), F(args, 2), F(args, 3), F(args, 4));
}
BUILTIN(F_PartTypeScale) {
    ParticleType_Scale(I(args, 0), F(args, 1), F(args, 2));
}
BUILTIN(F_PartTypeLife) {
    ParticleType_Life(I(args, 0), I(args, 1), I(args, 2));
}
BUILTIN(F_PartTypeStep) {
    ParticleType_Step(I(args, 0), I(args, 1), I(args, 2));
}
BUILTIN(F_PartTypeDeath) {
    ParticleType_Death(I(args, 0), I(args, 1), I(args, 2));
}
BUILTIN(F_PartTypeSpeed) {
    ParticleType_Speed(I(args, 0), F(args, 1), F(args, 2), F(args, 3), F(args, 4));
}
BUILTIN(F_PartTypeDirection) {
    ParticleType_Direction(I(args, 0), F(args, 1), F(args, 2), F(args, 3), F(args, 4));
}
BUILTIN(F_PartTypeOrientation) {
    ParticleType_Orientation(I(args, 0), F(args, 1), F(args, 2), F(args, 3), F(args, 4), B(args, 5));
}
BUILTIN(F_PartTypeGravity) {
    ParticleType_Gravity(I(args, 0), F(args, 1), F(args, 2));
}
BUILTIN(F_PartTypeColorMix) {
    ParticleType_Color_Mix(I(args, 0), I(args, 1), I(args, 2));
}
BUILTIN(F_PartTypeColorRGB) {
    ParticleType_Color_RGB(I(args, 0), I(args, 1), I(args, 2), I(args, 3), I(args, 4), I(args, 5),
                           I(args, 6));
}
BUILTIN(F_PartTypeColorHSV) {
    ParticleType_Color_HSV(I(args, 0), I(args, 1), I(args, 2), I(args, 3), I(args, 4), I(args, 5),
                           I(args, 6));
}
BUILTIN(F_PartTypeColor1) {
    ParticleType_Color1(I(args, 0), I(args, 1));
}
BUILTIN(F_PartTypeColor2) {
    ParticleType_Color2(I(args, 0), I(args, 1), I(args, 2));
}
BUILTIN(F_PartTypeColor3) {
    ParticleType_Color3(I(args, 0), I(args, 1), I(args, 2), I(args, 3));
}
BUILTIN(F_PartTypeAlpha1) {
    ParticleType_Alpha1(I(args, 0), F(args, 1));
}
BUILTIN(F_PartTypeAlpha2) {
    ParticleType_Alpha2(I(args, 0), F(args, 1), F(args, 2));
}
BUILTIN(F_PartTypeAlpha3) {
    ParticleType_Alpha3(I(args, 0), F(args, 1), F(args, 2), F(args, 3));
}
BUILTIN(F_PartTypeBlend) {
    ParticleType_Blend(I(args, 0), B(args, 1));
}

// ---------------------------------------------------------------------------
// [SECTION] handlers: systems, particles, emitters, effects

// The layer an argument names in the target room: a string by name, anything
// else by id; null when there is none.
CLayer* LayerArgument(RValue* args, int i) {
    CRoom* room = CLayerManager::GetTargetRoomObj();
    if (args[i].Kind() == VALUE_STRING) return CLayerManager::GetLayerFromName(room, ZQGetString(args, i));
    return CLayerManager::GetLayerFromID(room, I(args, i));
}

BUILTIN(F_PartSystemCreate) {
    ZQSetResultReal(result, ParticleSystem_Create(-1, true));
}
BUILTIN(F_PartSystemDestroy) {
    ParticleSystem_Destroy(I(args, 0));
}
BUILTIN(F_PartSystemExists) {
    ZQSetResultReal(result, ParticleSystem_Exists(I(args, 0)) ? 1 : 0);
}
BUILTIN(F_PartSystemClear) {
    ParticleSystem_Clear(I(args, 0));
}
BUILTIN(F_PartSystemDrawOrder) {
    ParticleSystem_DrawOrder(I(args, 0), B(args, 1));
}
BUILTIN(F_PartSystemDepth) {
    ParticleSystem_Depth(I(args, 0), F(args, 1));
}
BUILTIN(F_PartSystemPosition) {
    ParticleSystem_Position(I(args, 0), F(args, 1), F(args, 2));
}
BUILTIN(F_PartSystemAutomaticUpdate) {
    ParticleSystem_AutomaticUpdate(I(args, 0), B(args, 1));
}
BUILTIN(F_PartSystemAutomaticDraw) {
    ParticleSystem_AutomaticDraw(I(args, 0), B(args, 1));
}
BUILTIN(F_PartSystemUpdate) {
    ParticleSystem_Update(I(args, 0));
}
BUILTIN(F_PartSystemDrawit) {
    ParticleSystem_Draw(I(args, 0));
}
BUILTIN(F_PartSystemCreateLayer) {
    ZQSetResultReal(result, -1);
    CLayer* layer = LayerArgument(args, 0);
    if (layer == nullptr) return;
    const bool persistent = argc > 1 && B(args, 1);
    ZQSetResultReal(result, ParticleSystem_Create(layer->m_id, persistent));
}
BUILTIN(F_PartSystemGetLayer) {
    ZQSetResultReal(result, ParticleSystem_GetLayer(I(args, 0)));
}
BUILTIN(F_PartSystemLayer) {
    ZQSetResultReal(result, -1);
    const int ps = I(args, 0);
    CLayer* layer = LayerArgument(args, 1);
    if (layer != nullptr) ParticleSystem_Layer(ps, layer->m_id);
}
BUILTIN(F_PartParticlesCreate) {
    ParticleSystem_Particles_Create(I(args, 0), F(args, 1), F(args, 2), I(args, 3), I(args, 4));
}
BUILTIN(F_PartParticlesCreateColor) {
    ParticleSystem_Particles_Create_Color(I(args, 0), F(args, 1), F(args, 2), I(args, 3), I(args, 4),
                                          I(args, 5));
}
BUILTIN(F_PartParticlesClear) {
    ParticleSystem_Particles_Clear(I(args, 0));
}
BUILTIN(F_PartParticlesCount) {
    ZQSetResultReal(result, ParticleSystem_Particles_Count(I(args, 0)));
}
BUILTIN(F_PartEmitterCreate) {
    ZQSetResultReal(result, ParticleSystem_Emitter_Create(I(args, 0)));
}
BUILTIN(F_PartEmitterDestroy) {
    ParticleSystem_Emitter_Destroy(I(args, 0), I(args, 1));
}
BUILTIN(F_PartEmitterDestroyAll) {
    ParticleSystem_Emitter_DestroyAll(I(args, 0));
}
BUILTIN(F_PartEmitterExists) {
    ZQSetResultReal(result, ParticleSystem_Emitter_Exists(I(args, 0), I(args, 1)) ? 1 : 0);
}
BUILTIN(F_PartEmitterClear) {
    ParticleSystem_Emitter_Clear(I(args, 0), I(args, 1));
}
BUILTIN(F_PartEmitterRegion) {
    ParticleSystem_Emitter_Region(I(args, 0), I(args, 1), F(args, 2), F(args, 3), F(args, 4), F(args, 5),
                                  I(args, 6), I(args, 7));
}
BUILTIN(F_PartEmitterBurst) {
    ParticleSystem_Emitter_Burst(I(args, 0), I(args, 1), I(args, 2), I(args, 3));
}
BUILTIN(F_PartEmitterStream) {
    ParticleSystem_Emitter_Stream(I(args, 0), I(args, 1), I(args, 2), I(args, 3));
}
BUILTIN(F_EffectCreateBelow) {
    Effect_Create(true, I(args, 0), F(args, 1), F(args, 2), I(args, 3), I(args, 4));
}
BUILTIN(F_EffectCreateAbove) {
    Effect_Create(false, I(args, 0), F(args, 1), F(args, 2), I(args, 3), I(args, 4));
}
BUILTIN(F_EffectClear) {
    Effect_Clear();
}

#undef BUILTIN

// ---------------------------------------------------------------------------
// [SECTION] registration order

const ParticleBuiltinRow kParticleOrder[] = {
    {"part_type_create", 0, F_PartTypeCreate},
    {"part_type_destroy", 1, F_PartTypeDestroy},
    {"part_type_exists", 1, F_PartTypeExists},
    {"part_type_clear", 1, F_PartTypeClear},
    {"part_type_shape", 2, F_PartTypeShape},
    {"part_type_sprite", 5, F_PartTypeSprite},
    {"part_type_size", 5, F_PartTypeSize},
    {"part_type_scale", 3, F_PartTypeScale},
    {"part_type_life", 3, F_PartTypeLife},
    {"part_type_step", 3, F_PartTypeStep},
    {"part_type_death", 3, F_PartTypeDeath},
    {"part_type_speed", 5, F_PartTypeSpeed},
    {"part_type_direction", 5, F_PartTypeDirection},
    {"part_type_orientation", 6, F_PartTypeOrientation},
    {"part_type_gravity", 3, F_PartTypeGravity},
    {"part_type_color_mix", 3, F_PartTypeColorMix},
    {"part_type_color_rgb", 7, F_PartTypeColorRGB},
    {"part_type_color_hsv", 7, F_PartTypeColorHSV},
    {"part_type_color1", 2, F_PartTypeColor1},
    {"part_type_color2", 3, F_PartTypeColor2},
    {"part_type_color3", 4, F_PartTypeColor3},
    {"part_type_color", 4, F_PartTypeColor3},
    {"part_type_colour_mix", 3, F_PartTypeColorMix},
    {"part_type_colour_rgb", 7, F_PartTypeColorRGB},
    {"part_type_colour_hsv", 7, F_PartTypeColorHSV},
    {"part_type_colour1", 2, F_PartTypeColor1},
    {"part_type_colour2", 3, F_PartTypeColor2},
    {"part_type_colour3", 4, F_PartTypeColor3},
    {"part_type_colour", 4, F_PartTypeColor3},
    {"part_type_alpha1", 2, F_PartTypeAlpha1},
    {"part_type_alpha2", 3, F_PartTypeAlpha2},
    {"part_type_alpha3", 4, F_PartTypeAlpha3},
    {"part_type_alpha", 4, F_PartTypeAlpha3},
    {"part_type_blend", 2, F_PartTypeBlend},
    {"part_system_create", 0, F_PartSystemCreate},
    {"part_system_destroy", 1, F_PartSystemDestroy},
    {"part_system_exists", 1, F_PartSystemExists},
    {"part_system_clear", 1, F_PartSystemClear},
    {"part_system_draw_order", 2, F_PartSystemDrawOrder},
    {"part_system_depth", 2, F_PartSystemDepth},
    {"part_system_position", 3, F_PartSystemPosition},
    {"part_system_automatic_update", 2, F_PartSystemAutomaticUpdate},
    {"part_system_automatic_draw", 2, F_PartSystemAutomaticDraw},
    {"part_system_update", 1, F_PartSystemUpdate},
    {"part_system_drawit", 1, F_PartSystemDrawit},
    {"part_system_create_layer", 2, F_PartSystemCreateLayer},
    {"part_system_get_layer", 1, F_PartSystemGetLayer},
    {"part_system_layer", 2, F_PartSystemLayer},
    {"part_particles_create", 5, F_PartParticlesCreate},
    {"part_particles_create_color", 6, F_PartParticlesCreateColor},
    {"part_particles_create_colour", 6, F_PartParticlesCreateColor},
    {"part_particles_clear", 1, F_PartParticlesClear},
    {"part_particles_count", 1, F_PartParticlesCount},
    {"part_emitter_create", 1, F_PartEmitterCreate},
    {"part_emitter_destroy", 2, F_PartEmitterDestroy},
    {"part_emitter_destroy_all", 1, F_PartEmitterDestroyAll},
    {"part_emitter_exists", 2, F_PartEmitterExists},
    {"part_emitter_clear", 2, F_PartEmitterClear},
    {"part_emitter_region", 8, F_PartEmitterRegion},
    {"part_emitter_burst", 4, F_PartEmitterBurst},
    {"part_emitter_stream", 4, F_PartEmitterStream},
    {"effect_create_below", 5, F_EffectCreateBelow},
    {"effect_create_above", 5, F_EffectCreateAbove},
    {"effect_clear", 0, F_EffectClear},
};
static_assert(std::size(kParticleOrder) == 64, "InitParticlesFunctions registers 64 built-ins");

} // namespace

std::span<const ParticleBuiltinRow> ParticleFunctions_Order() {
    return kParticleOrder;
}

void InitParticlesFunctions() {
    for (const ParticleBuiltinRow& row : kParticleOrder) Function_Add(row.name, row.routine, row.argc, false);
}
