// Drawing particle systems, and the fourteen particle shapes they draw with.
//
// The room's draw pass draws a system through its layer element with
// ParticleSystem_AutoDraw(index) (new-generation data), or, with legacy
// data, interleaved with the instances by depth: walk the depths from
// ParticleSystem_LargestDepth() down with ParticleSystem_NextDepth(d) and
// draw each with ParticleSystem_DrawDepth(d). Every draw appends to the
// vertex batch in the current render state and leaves normal blending on.
#pragma once

#include <cstdint>

struct ZQTPageEntry;

inline constexpr int kParticleShapeCount = 14;
inline constexpr float kParticleNoDepth = -1e9f;

// The shape images of the data file's embedded images (null where it has
// none), and the runtime's own shape textures: 0-13 the shapes, 14 the flat
// white texture (texture ids, -1 until made).
extern ZQTPageEntry* g_ParticleImages[kParticleShapeCount];
extern int32_t g_ParticleTextures[kParticleShapeCount + 1];

// Draws system `index` whatever its automatic-draw flag says; nothing for an
// index that holds no system.
void ParticleSystem_Draw(int index);
// Draws it only when automatic drawing is on (the layer element's drawing).
void ParticleSystem_AutoDraw(int index);
float ParticleSystem_LargestDepth();
float ParticleSystem_NextDepth(float depth);
void ParticleSystem_DrawDepth(float depth);

// The shape textures from the runtime's embedded images (after the
// graphics device is up), and the data file's shape images (after the
// embedded images are loaded).
void Part_CreateTextures();
void Part_SetupEmbeddedImages();
void Particle_EmbeddedImagesSetup();
void Part_FreeTextures();
// The shape tables emptied, without touching textures (tests).
void ParticleDraw_Reset();
