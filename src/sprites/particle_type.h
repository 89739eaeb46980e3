// Particle types and the particle record. A type is the set of ranges and
// rates every particle of it is made from and lives by; types live in one
// table by index, and particles name their type by index, so a change to a
// type shows on its living particles from the next step on. A destroyed
// type's slot is reused by the next create: particles still naming it take
// the new type (nothing ever reads a freed type; lookups go through the
// table).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct RParticleType {
    int32_t sprite = -1; // -1 draws the shape
    bool animate = true;
    bool stretch = false;
    bool randomFrame = false;
    int32_t shape = 0;
    float sizeMin = 1, sizeMax = 1, sizeIncr = 0, sizeWiggle = 0;
    float xscale = 1, yscale = 1;
    int32_t lifeMin = 100, lifeMax = 100;
    int32_t deathType = 0, deathNumber = 0;
    int32_t stepType = 0, stepNumber = 0;
    float speedMin = 0, speedMax = 0, speedIncr = 0, speedWiggle = 0;
    float dirMin = 0, dirMax = 0, dirIncr = 0, dirWiggle = 0;
    float gravityAmount = 0, gravityDirection = 270;
    float angMin = 0, angMax = 0, angIncr = 0, angWiggle = 0;
    bool angRelative = false;
    // 0 one colour, 1 two, 2 three, 3 RGB ranges, 4 HSV ranges, 5 random mix.
    int32_t colourMode = 0;
    // Modes 0-2 and 5: colours 1 to 3; modes 3 and 4: red (hue) min, max,
    // green (saturation) min, max, blue (value) min, max.
    int32_t colour[6] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0, 0, 0};
    float alpha1 = 1, alpha2 = 1, alpha3 = 1;
    bool additive = false;
};

// One particle, kept by value in its system's contiguous table.
struct RParticle {
    bool alive;
    int32_t type;
    int32_t age;
    int32_t lifetime;
    float x, y;
    float xprevious, yprevious;
    float speed, direction, angle;
    uint32_t colour; // 0xBBGGRR
    float alpha;
    float size;
    int32_t startFrame;
    int32_t seed; // 0..99999: the phase of the wiggles
};

// Set once the built-in effects have made their types.
extern bool types_created;

int ParticleType_Create();
bool ParticleType_Exists(int index);
// The type record, or null when the index holds none.
RParticleType* ParticleType_Get(int index);
// The number of slots (in use or not).
int ParticleType_Count();
void ParticleType_Clear(int index);
void ParticleType_Destroy(int index);
void ParticleType_DestroyAll();

// Setters: each does nothing for an index that holds no type.
void ParticleType_Shape(int index, int shape);
void ParticleType_Sprite(int index, int sprite, bool animate, bool stretch, bool random);
void ParticleType_Size(int index, float min, float max, float incr, float wiggle);
void ParticleType_Scale(int index, float xscale, float yscale);
void ParticleType_Life(int index, int min, int max);
void ParticleType_Step(int index, int number, int type);
void ParticleType_Death(int index, int number, int type);
void ParticleType_Speed(int index, float min, float max, float incr, float wiggle);
void ParticleType_Direction(int index, float min, float max, float incr, float wiggle);
void ParticleType_Orientation(int index, float min, float max, float incr, float wiggle, bool relative);
void ParticleType_Gravity(int index, float amount, float direction);
void ParticleType_Color1(int index, int colour);
void ParticleType_Color2(int index, int c1, int c2);
void ParticleType_Color3(int index, int c1, int c2, int c3);
void ParticleType_Color_Mix(int index, int c1, int c2);
void ParticleType_Color_RGB(int index, int rmin, int rmax, int gmin, int gmax, int bmin, int bmax);
void ParticleType_Color_HSV(int index, int hmin, int hmax, int smin, int smax, int vmin, int vmax);
void ParticleType_Alpha1(int index, float a);
void ParticleType_Alpha2(int index, float a1, float a2);
void ParticleType_Alpha3(int index, float a1, float a2, float a3);
void ParticleType_Blend(int index, bool additive);

// Fills a particle at (x, y) from the type, drawing its random numbers in a
// fixed order (speed, direction, angle, life, colour, size, frame, seed) so
// that one seed replays the same particles. Leaves the record unchanged for
// an index that holds no type.
void CreateParticle(float x, float y, int type, RParticle& particle);
// The particle's colour from its type, age and lifetime.
void Compute_Color(RParticle& particle);
void Compute_Color(RParticle& particle, const RParticleType& type);
