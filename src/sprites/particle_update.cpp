// One step of a particle system: life (ageing, spawning, packing the table),
// motion, shape, then the emitter streams. The table is walked by index
// throughout: spawning may move it.
#include <algorithm>
#include <cmath>

#include "core/error.h"
#include "sprites/particle_system.h"
#include "world/step/step_services.h"

namespace {

constexpr float kDegToRad = 0.017453292f;

// A wiggle phase folded to a triangle over [0, 2], shifted to [-1, 1].
inline float Fold(float w) {
    if (w > 2.0f) w = 4.0f - w;
    return w - 1.0f;
}

// n particles of a type at (x, y); a negative n makes one with probability
// 1/|n|. Returns the number the system's bound refused.
int64_t Spawn(RParticleSystem& s, float x, float y, int type, int n) {
    int64_t count = n;
    if (count < 0) count = ChanceOne(-count) ? 1 : 0;
    if (count < 1) return 0;
    return count - ParticleSystem_AddParticles(s, x, y, type, count);
}

// Only the particles alive when the pass begins are aged and spawn: what
// they spawn waits for the next update. Without that, a type that spawns
// itself at death with a life of one step would spawn for ever within one
// pass.
void HandleLife(RParticleSystem& s) {
    const size_t count = s.particles.size();
    int64_t dropped = 0, asked = 0;
    for (size_t i = 0; i < count; ++i) {
        RParticle& p = s.particles[i];
        p.age += 1;
        const RParticleType* t = ParticleType_Get(p.type);
        if (p.age >= p.lifetime) {
            p.alive = false;
            if (t != nullptr && t->deathNumber != 0) {
                asked += t->deathNumber > 0 ? t->deathNumber : 1;
                dropped += Spawn(s, p.x, p.y, t->deathType, t->deathNumber);
            }
            continue;
        }
        if (t == nullptr || t->stepNumber == 0) continue;
        if (t->stepType == p.type) {
            Error_Show_Action("Error: a particle cannot spawn another of the same type", false);
            continue;
        }
        const float x = p.x, y = p.y; // p may move when the table grows
        asked += t->stepNumber > 0 ? t->stepNumber : 1;
        dropped += Spawn(s, x, y, t->stepType, t->stepNumber);
    }
    if (dropped > 0) ReportFull(dropped, asked);
    // Pack the living particles to the front, keeping their order.
    auto end =
        std::remove_if(s.particles.begin(), s.particles.end(), [](const RParticle& p) { return !p.alive; });
    s.particles.erase(end, s.particles.end());
}

// The motion pass is the hot path: the gravity's components are worked out
// once per run of particles of one type, and the move reuses the velocity
// when no direction wiggle turns it.
void HandleMotion(RParticleSystem& s) {
    const RParticleType* last = nullptr;
    int lastIndex = -1;
    float gx = 0, gy = 0;
    for (RParticle& p : s.particles) {
        if (p.type != lastIndex) {
            lastIndex = p.type;
            last = ParticleType_Get(p.type);
            if (last != nullptr && last->gravityAmount != 0.0f) {
                gx = last->gravityAmount * std::cos(last->gravityDirection * kDegToRad);
                gy = last->gravityAmount * std::sin(last->gravityDirection * kDegToRad);
            }
        }
        const RParticleType* t = last;
        if (t == nullptr) continue;
        p.xprevious = p.x;
        p.yprevious = p.y;
        p.speed = std::max(p.speed + t->speedIncr, 0.0f);
        p.direction += t->dirIncr;
        p.angle += t->angIncr;
        float w1 = 0, w2 = 0;
        if (t->speedWiggle != 0.0f || t->dirWiggle != 0.0f) {
            const int64_t age = p.age, seed = p.seed;
            w1 = Fold(static_cast<float>((age + 3 * seed) % 24) / 6.0f);
            w2 = Fold(static_cast<float>((age + 4 * seed) % 20) * 0.2f);
        }
        if (t->gravityAmount != 0.0f) {
            const float r = p.direction * kDegToRad;
            const float vx = p.speed * std::cos(r) + gx;
            const float vy = -(p.speed * std::sin(r) + gy);
            if (vx == 0.0f) {
                p.direction = vy > 0.0f ? 270.0f : 90.0f;
            } else {
                float d = std::atan2(-vy, vx) / kDegToRad;
                if (d < 0.0f) d += 360.0f;
                if (d >= 360.0f) d -= 360.0f;
                p.direction = d;
            }
            p.speed = std::sqrt(vx * vx + vy * vy);
            if (t->dirWiggle == 0.0f && p.speed > 0.0f) {
                // The direction of (vx, vy) is the direction just stored.
                const float k = (p.speed + w2 * t->speedWiggle) / p.speed;
                p.x = p.xprevious + k * vx;
                p.y = p.yprevious + k * vy;
                continue;
            }
        }
        const float r = (p.direction + w1 * t->dirWiggle) * kDegToRad;
        const float step = p.speed + w2 * t->speedWiggle;
        p.x = p.xprevious + step * std::cos(r);
        p.y = p.yprevious - step * std::sin(r);
    }
}

void HandleShape(RParticleSystem& s) {
    for (RParticle& p : s.particles) {
        const RParticleType* t = ParticleType_Get(p.type);
        if (t == nullptr) continue;
        p.size = std::max(p.size + t->sizeIncr, 0.0f);
        if (t->colourMode == 1 || t->colourMode == 2) Compute_Color(p, *t);
        const float k =
            p.lifetime < 1 ? 1.0f : 2.0f * static_cast<float>(p.age) / static_cast<float>(p.lifetime);
        p.alpha = k < 1.0f ? (1.0f - k) * t->alpha1 + k * t->alpha2
                           : (2.0f - k) * t->alpha2 + (k - 1.0f) * t->alpha3;
    }
}

} // namespace

void ParticleSystem_Update(int ps) {
    RParticleSystem* s = ParticleSystem_Get(ps);
    if (s == nullptr) return;
    HandleLife(*s);
    HandleMotion(*s);
    HandleShape(*s);
    for (size_t em = 0; em < s->emitters.size(); ++em) {
        const RParticleEmitter& e = s->emitters[em];
        if (e.exists && e.number != 0)
            ParticleSystem_Emitter_Burst(ps, static_cast<int>(em), e.streamType, e.number);
    }
}

void ParticleSystem_UpdateAll() {
    for (int ps = 0; ps < ParticleSystem_Count(); ++ps) {
        const RParticleSystem* s = ParticleSystem_Get(ps);
        if (s != nullptr && s->automaticUpdate) ParticleSystem_Update(ps);
    }
}
