// The particle type table, its setters, and the making and colouring of one
// particle. Random numbers come from the runtime's one generator, in a fixed
// order, so a seed replays the same particles.
#include "sprites/particle_type.h"

#include <algorithm>

#include "core/random.h"
#include "core/real_to_int.h"
#include "render/colour.h"
#include "sprites/particle_services.h"

bool types_created = false;

namespace {

std::vector<std::unique_ptr<RParticleType>> g_types;

// A value from [min, max]: a random number is drawn only when max > min.
float Pick(float min, float max) {
    if (!(max > min)) return min;
    return static_cast<float>(min + (static_cast<double>(max) - min) * fZQRandom(1.0));
}

int PickInt(int min, int max) {
    if (max <= min) return min;
    return RealToInt32(min + (static_cast<double>(max) - min) * fZQRandom(1.0));
}

} // namespace

int ParticleType_Create() {
    for (size_t i = 0; i < g_types.size(); ++i) {
        if (!g_types[i]) {
            g_types[i] = std::make_unique<RParticleType>();
            return static_cast<int>(i);
        }
    }
    g_types.push_back(std::make_unique<RParticleType>());
    return static_cast<int>(g_types.size() - 1);
}

RParticleType* ParticleType_Get(int index) {
    if (index < 0 || static_cast<size_t>(index) >= g_types.size()) return nullptr;
    return g_types[static_cast<size_t>(index)].get();
}

bool ParticleType_Exists(int index) {
    return ParticleType_Get(index) != nullptr;
}

int ParticleType_Count() {
    return static_cast<int>(g_types.size());
}

void ParticleType_Clear(int index) {
    if (RParticleType* t = ParticleType_Get(index)) {
        bool additive = t->additive;
        *t = RParticleType{};
        t->additive = additive;
    }
}

void ParticleType_Destroy(int index) {
    if (ParticleType_Get(index) != nullptr) g_types[static_cast<size_t>(index)].reset();
}

void ParticleType_DestroyAll() {
    g_types.clear();
    g_types.shrink_to_fit();
    types_created = false;
}

// ---- setters

#define WITH_TYPE(index)                                                                                     \
    RParticleType* t = ParticleType_Get(index);                                                              \
    if (t == nullptr) return

void ParticleType_Shape(int index, int shape) {
    WITH_TYPE(index);
    t->shape = shape;
    t->sprite = -1;
}

void ParticleType_Sprite(int index, int sprite, bool animate, bool stretch, bool random) {
    WITH_TYPE(index);
    t->sprite = sprite;
    t->animate = animate;
    t->stretch = stretch;
    t->randomFrame = random;
}

void ParticleType_Size(int index, float min, float max, float incr, float wiggle) {
    WITH_TYPE(index);
    t->sizeMin = min, t->sizeMax = max, t->sizeIncr = incr, t->sizeWiggle = wiggle;
}

void ParticleType_Scale(int index, float xscale, float yscale) {
    WITH_TYPE(index);
    t->xscale = xscale, t->yscale = yscale;
}

void ParticleType_Life(int index, int min, int max) {
    WITH_TYPE(index);
    t->lifeMin = min, t->lifeMax = max;
}

void ParticleType_Step(int index, int number, int type) {
    WITH_TYPE(index);
    t->stepNumber = number, t->stepType = type;
}

void ParticleType_Death(int index, int number, int type) {
    WITH_TYPE(index);
    t->deathNumber = number, t->deathType = type;
}

void ParticleType_Speed(int index, float min, float max, float incr, float wiggle) {
    WITH_TYPE(index);
    t->speedMin = min, t->speedMax = max, t->speedIncr = incr, t->speedWiggle = wiggle;
}

void ParticleType_Direction(int index, float min, float max, float incr, float wiggle) {
    WITH_TYPE(index);
    t->dirMin = min, t->dirMax = max, t->dirIncr = incr, t->dirWiggle = wiggle;
}

void ParticleType_Orientation(int index, float min, float max, float incr, float wiggle, bool relative) {
    WITH_TYPE(index);
    t->angMin = min, t->angMax = max, t->angIncr = incr, t->angWiggle = wiggle;
    t->angRelative = relative;
}

void ParticleType_Gravity(int index, float amount, float direction) {
    WITH_TYPE(index);
    t->gravityAmount = amount, t->gravityDirection = direction;
}

void ParticleType_Color1(int index, int colour) {
    WITH_TYPE(index);
    t->colourMode = 0;
    t->colour[0] = colour;
}

void ParticleType_Color2(int index, int c1, int c2) {
    WITH_TYPE(index);
    t->colourMode = 1;
    t->colour[0] = c1, t->colour[1] = c2;
}

void ParticleType_Color3(int index, int c1, int c2, int c3) {
    WITH_TYPE(index);
    t->colourMode = 2;
    t->colour[0] = c1, t->colour[1] = c2, t->colour[2] = c3;
}

void ParticleType_Color_Mix(int index, int c1, int c2) {
    WITH_TYPE(index);
    t->colourMode = 5;
    t->colour[0] = c1, t->colour[1] = c2;
}

void ParticleType_Color_RGB(int index, int rmin, int rmax, int gmin, int gmax, int bmin, int bmax) {
    WITH_TYPE(index);
    t->colourMode = 3;
    t->colour[0] = rmin, t->colour[1] = rmax, t->colour[2] = gmin;
    t->colour[3] = gmax, t->colour[4] = bmin, t->colour[5] = bmax;
}

void ParticleType_Color_HSV(int index, int hmin, int hmax, int smin, int smax, int vmin, int vmax) {
    WITH_TYPE(index);
    t->colourMode = 4;
    t->colour[0] = hmin, t->colour[1] = hmax, t->colour[2] = smin;
    t->colour[3] = smax, t->colour[4] = vmin, t->colour[5] = vmax;
}

void ParticleType_Alpha1(int index, float a) {
    WITH_TYPE(index);
    t->alpha1 = t->alpha2 = t->alpha3 = a;
}

void ParticleType_Alpha2(int index, float a1, float a2) {
    WITH_TYPE(index);
    t->alpha1 = a1, t->alpha2 = (a1 + a2) / 2, t->alpha3 = a2;
}

void ParticleType_Alpha3(int index, float a1, float a2, float a3) {
    WITH_TYPE(index);
    t->alpha1 = a1, t->alpha2 = a2, t->alpha3 = a3;
}

void ParticleType_Blend(int index, bool additive) {
    WITH_TYPE(index);
    t->additive = additive;
}

#undef WITH_TYPE

// ---- particles

void Compute_Color(RParticle& p, const RParticleType& t) {
    const uint32_t c[3] = {static_cast<uint32_t>(t.colour[0]), static_cast<uint32_t>(t.colour[1]),
                           static_cast<uint32_t>(t.colour[2])};
    if (p.age < 1 || p.lifetime < 1) {
        switch (t.colourMode) {
            case 3: {
                int r = PickInt(t.colour[0], t.colour[1]);
                int g = PickInt(t.colour[2], t.colour[3]);
                int b = PickInt(t.colour[4], t.colour[5]);
                p.colour = static_cast<uint32_t>(r & 0xFF) | static_cast<uint32_t>(g & 0xFF) << 8 |
                           static_cast<uint32_t>(b & 0xFF) << 16;
                break;
            }
            case 4: {
                int h = PickInt(t.colour[0], t.colour[1]);
                int s = PickInt(t.colour[2], t.colour[3]);
                int v = PickInt(t.colour[4], t.colour[5]);
                p.colour = Particle_HSVColour(h, s, v);
                break;
            }
            case 5: p.colour = GR_Color_Merge(c[0], c[1], static_cast<float>(fZQRandom(1.0))); break;
            default: p.colour = c[0]; break;
        }
        return;
    }
    float age = static_cast<float>(p.age), life = static_cast<float>(p.lifetime);
    if (t.colourMode == 1) {
        p.colour = GR_Color_Merge(c[0], c[1], std::min(age / life, 1.0f));
    } else if (t.colourMode == 2) {
        float k = std::min(2.0f * age / life, 2.0f);
        p.colour = k >= 1.0f ? GR_Color_Merge(c[1], c[2], k - 1.0f) : GR_Color_Merge(c[0], c[1], k);
    }
}

void Compute_Color(RParticle& p) {
    if (const RParticleType* t = ParticleType_Get(p.type)) Compute_Color(p, *t);
}

void CreateParticle(float x, float y, int type, RParticle& p) {
    const RParticleType* t = ParticleType_Get(type);
    if (t == nullptr) return;
    p.alive = true;
    p.type = type;
    p.x = p.xprevious = x;
    p.y = p.yprevious = y;
    p.speed = Pick(t->speedMin, t->speedMax);
    p.direction = Pick(t->dirMin, t->dirMax);
    p.angle = Pick(t->angMin, t->angMax);
    p.lifetime =
        t->lifeMax > t->lifeMin
            ? RealToInt32(t->lifeMin + (static_cast<double>(t->lifeMax) - t->lifeMin) * fZQRandom(1.0))
            : t->lifeMin;
    p.age = 0;
    Compute_Color(p, *t);
    p.alpha = t->alpha1;
    p.size = Pick(t->sizeMin, t->sizeMax);
    p.startFrame = t->randomFrame ? ZQRandom(10000) : 0;
    p.seed = ZQRandom(100000);
}
