// Particle systems and their emitters. A system owns its living particles in
// one contiguous table (slots below the count, in creation order) and a
// table of emitters; systems live in a global table by index. With
// new-generation data every system is also an element of a room layer,
// through which the room's draw pass draws it.
//
// Bounds that scripts cannot lift: a system holds at most
// kParticleSystemMaxParticles particles (creation, bursts and spawning beyond
// that are cut to what fits, with one line on the debug console), so a
// script's count or a spawning chain cannot exhaust memory.
#pragma once

#include <cstdint>
#include <vector>

#include "sprites/particle_type.h"

inline constexpr int kParticleSystemMaxParticles = 1 << 18;

struct RParticleEmitter {
    bool exists = false;
    int32_t number = 0; // per step; negative n: one with probability 1/|n|
    float xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    int32_t distribution = 0; // 0 linear, 1 gaussian, 2 inverse gaussian
    int32_t shape = 0;        // 0 rectangle, 1 ellipse, 2 diamond, 3 line
    int32_t streamType = 0;
};

struct RParticleSystem {
    std::vector<RParticle> particles; // size() is the particle count
    std::vector<RParticleEmitter> emitters;
    bool oldToNew = true;
    float depth = 0;
    float x = 0, y = 0;
    bool automaticUpdate = true;
    bool automaticDraw = true;
    int32_t elementId = -1;
    int32_t layerId = -1;
    bool destroyAtRoomEnd = false;
};

// ---- systems
int ParticleSystem_Create(int layer, bool persistent);
bool ParticleSystem_Exists(int ps);
// The system record, or null.
RParticleSystem* ParticleSystem_Get(int ps);
// The number of slots (in use or not).
int ParticleSystem_Count();
int ParticleSystem_GetLayer(int ps);
void ParticleSystem_Clear(int ps);
void ParticleSystem_Destroy(int ps);
void ParticleSystem_DestroyAll();
void ParticleSystem_DrawOrder(int ps, bool oldToNew);
void ParticleSystem_Position(int ps, float x, float y);
void ParticleSystem_AutomaticUpdate(int ps, bool on);
void ParticleSystem_AutomaticDraw(int ps, bool on);
void ParticleSystem_Depth(int ps, float depth);
void ParticleSystem_Layer(int ps, int layer);

// ---- particles
void ParticleSystem_Particles_Create(int ps, float x, float y, int type, int n);
void ParticleSystem_Particles_Create_Color(int ps, float x, float y, int type, int colour, int n);
void ParticleSystem_Particles_Clear(int ps);
int ParticleSystem_Particles_Count(int ps);

// ---- emitters
int ParticleSystem_Emitter_Create(int ps);
bool ParticleSystem_Emitter_Exists(int ps, int em);
void ParticleSystem_Emitter_Clear(int ps, int em);
void ParticleSystem_Emitter_Destroy(int ps, int em);
void ParticleSystem_Emitter_DestroyAll(int ps);
void ParticleSystem_Emitter_Region(int ps, int em, float xmin, float xmax, float ymin, float ymax, int shape,
                                   int distribution);
void ParticleSystem_Emitter_Burst(int ps, int em, int type, int n);
void ParticleSystem_Emitter_Stream(int ps, int em, int type, int number);

// A position in [lo, hi] by distribution (0 linear, 1 gaussian, 2 inverse
// gaussian).
float MyRandom(float lo, float hi, int distribution);

// ---- room changes (new-generation data only)
void ParticleSystem_AddAllToLayers();
void ParticleSystem_RemoveAllFromLayers();

// ---- update (particle_update.cpp)
// Every system with automatic update, in index order (the step's particle pass).
void ParticleSystem_UpdateAll();
// Ages, spawns, moves and reshapes the particles, then runs the streams.
// Particles spawned during the update are not aged by it, so one update of a
// self-spawning chain adds a bounded number of particles.
void ParticleSystem_Update(int ps);

// True with probability 1 / m (m >= 1): an integer random below m is 0.
bool ChanceOne(int64_t m);
// The debug-console line for particles a full system could not take.
void ReportFull(int64_t dropped, int64_t asked);

// Adds up to n particles of a type at (x, y) to the system (no checks of the
// type; the count is cut to what the system may still hold, silently).
// Returns the number added.
int ParticleSystem_AddParticles(RParticleSystem& system, float x, float y, int type, int64_t n);

// ---- start and end
void INITIALIZE_Particle_Main();
void FINALIZE_Particle_Main();
// Every type and system gone, the effect systems and shape tables back to
// their start values (tests).
void Particles_Reset();
