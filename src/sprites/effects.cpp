// The built-in effects. Each call first sets the type it uses (sizes, speeds
// and gravity times the speed factor f, lifetimes k / f rounded half to
// even), then creates its particles in the colour given.
#include "sprites/effects.h"

#include "core/header_globals.h"
#include "core/random.h"
#include "core/real_to_int.h"
#include "core/timing_source.h"
#include "room/room.h"
#include "sprites/particle_system.h"
#include "world/run/main_loop.h"
#include "world/run/startup_services.h"

int32_t ps_below = -1;
int32_t ps_above = -1;

namespace {

// The types, created once in this order (35 in all).
struct EffectTypes {
    int explosion[6]; // burst and core of each size: size × 2 (+ 1 for the core)
    int ring[3], ellipse[3], firework[3], smoke[3], smokeup[3], star[3], spark[3], flare[3], cloud[3];
    int rain, snow;
};
EffectTypes g_pt;

void CreateTypes() {
    for (int& t : g_pt.explosion) t = ParticleType_Create();
    for (int* group : {g_pt.ring, g_pt.ellipse, g_pt.firework, g_pt.smoke, g_pt.smokeup, g_pt.star,
                       g_pt.spark, g_pt.flare, g_pt.cloud})
        for (int i = 0; i < 3; ++i) group[i] = ParticleType_Create();
    g_pt.rain = ParticleType_Create();
    g_pt.snow = ParticleType_Create();
    types_created = true;
}

int EnsureSystem(int32_t& ps, float nimbarDepth, float legacyDepth) {
    if (!ParticleSystem_Exists(ps)) {
        ps = ParticleSystem_Create(-1, true);
        ParticleSystem_Depth(ps, g_isNimbar ? nimbarDepth : legacyDepth);
    }
    return ps;
}

void CheckSystems() {
    EnsureSystem(ps_below, 50.0f, 100000.0f);
    EnsureSystem(ps_above, -15000.0f, -100000.0f);
    if (!types_created) CreateTypes();
}

struct Maker {
    int ps;
    float f;
    int colour;

    int Life(double k) const { return RealRoundToInt32(k / f); }
    void Make(float x, float y, int type, int n) const {
        ParticleSystem_Particles_Create_Color(ps, x, y, type, colour, n);
    }
};

void Explosion(const Maker& m, int s, float x, float y) {
    static const float kSize[3] = {0.1f, 0.3f, 0.4f}, kGrow[3] = {0.05f, 0.1f, 0.2f};
    static const float kSpeed[3] = {2, 4, 7}, kSlow[3] = {-0.1f, -0.18f, -0.2f};
    static const int kLife[3][2] = {{10, 15}, {12, 17}, {15, 20}};
    const int burst = g_pt.explosion[s * 2], core = g_pt.explosion[s * 2 + 1];
    ParticleType_Shape(burst, 10);
    ParticleType_Size(burst, kSize[s], kSize[s], kGrow[s] * m.f, 0);
    ParticleType_Orientation(burst, 0, 360, 0, 0, false);
    ParticleType_Direction(burst, 0, 360, 0, 0);
    ParticleType_Speed(burst, kSpeed[s] * m.f, kSpeed[s] * m.f, kSlow[s] * m.f, 0);
    ParticleType_Alpha2(burst, 0.6f, 0);
    ParticleType_Life(burst, m.Life(kLife[s][0]), m.Life(kLife[s][1]));
    m.Make(x, y, burst, 20);

    static const float kCoreGrow[3] = {0.1f, 0.2f, 0.4f};
    static const int kCoreLife[3] = {15, 17, 20};
    ParticleType_Shape(core, 10);
    ParticleType_Size(core, kSize[s], kSize[s], kCoreGrow[s] * m.f, 0);
    ParticleType_Orientation(core, 0, 360, 0, 0, false);
    ParticleType_Alpha2(core, 0.8f, 0);
    ParticleType_Life(core, m.Life(kCoreLife[s]), m.Life(kCoreLife[s]));
    ParticleSystem_Particles_Create_Color(m.ps, x, y, core, 0, 1);
}

void Ring(const Maker& m, int type, float grow, const int (&life)[2]) {
    ParticleType_Shape(type, 6);
    ParticleType_Alpha2(type, 1, 0);
    ParticleType_Size(type, 0, 0, grow * m.f, 0);
    ParticleType_Life(type, m.Life(life[0]), m.Life(life[1]));
}

void Smoke(const Maker& m, int s, int type, float x, float y, bool up) {
    static const float kSize[3][2] = {{0.2f, 0.4f}, {0.4f, 0.7f}, {0.4f, 1.0f}};
    static const int kLife[3] = {25, 30, 50}, kCount[3] = {6, 11, 16}, kHalf[3] = {5, 15, 30};
    static const float kSpeed[3][2] = {{3, 4}, {5, 6}, {6, 7}};
    ParticleType_Shape(type, 10);
    ParticleType_Size(type, kSize[s][0], kSize[s][1], -0.01f * m.f, 0);
    ParticleType_Alpha2(type, 0.4f, 0);
    ParticleType_Life(type, m.Life(kLife[s]), m.Life(kLife[s]));
    if (up) {
        ParticleType_Speed(type, kSpeed[s][0] * m.f, kSpeed[s][1] * m.f, 0, 0);
        ParticleType_Direction(type, 90, 90, 0, 0);
    }
    const int h = kHalf[s];
    for (int n = 0; n < kCount[s]; ++n) {
        const int i = ZQRandom(2 * h);
        const int j = ZQRandom(2 * h);
        m.Make(x - h + i, y - h + j, type, 1);
    }
}

// Star, spark and flare: one particle that shrinks and turns at random.
void Sparkle(const Maker& m, int s, int type, int shape, float minSize, float maxSize) {
    static const float kShrink[3] = {-0.02f, -0.03f, -0.04f};
    static const int kLife[3] = {20, 25, 30};
    ParticleType_Shape(type, shape);
    ParticleType_Size(type, minSize, maxSize, kShrink[s] * m.f, 0);
    ParticleType_Orientation(type, 0, 360, 0, 0, false);
    ParticleType_Life(type, m.Life(kLife[s]), m.Life(kLife[s]));
}

} // namespace

float Effect_SpeedFactor() {
    int sp = 0;
    if (g_isNimbar)
        sp = RealToInt32(g_GameTimer.GetFPS());
    else if (Run_Room != nullptr)
        sp = Run_Room->m_speed;
    const int m = Fps;
    if (sp >= 31 && m >= 31) {
        // The measured rate counts when the game falls well behind its speed.
        if (static_cast<double>(sp) / m >= 1.2) return 30.0f / static_cast<float>(m);
        return 30.0f / static_cast<float>(sp);
    }
    return 1.0f;
}

void Effect_Create(bool below, int kind, float x, float y, int size, int colour) {
    CheckSystems();
    if (kind < 0 || kind > 11) return;
    const int s = size == 0 ? 0 : size == 2 ? 2 : 1;
    const Maker m{below ? ps_below : ps_above, Effect_SpeedFactor(), colour};
    switch (kind) {
        case 0: Explosion(m, s, x, y); break;
        case 1: {
            static const float kGrow[3] = {0.15f, 0.25f, 0.4f};
            static const int kLife[3][2] = {{10, 12}, {13, 15}, {18, 20}};
            Ring(m, g_pt.ring[s], kGrow[s], kLife[s]);
            m.Make(x, y, g_pt.ring[s], 1);
            break;
        }
        case 2: {
            static const float kGrow[3] = {0.2f, 0.35f, 0.6f};
            static const int kLife[3][2] = {{10, 12}, {13, 15}, {18, 20}};
            const int t = g_pt.ellipse[s];
            Ring(m, t, kGrow[s], kLife[s]);
            ParticleType_Scale(t, 1, 0.5f);
            m.Make(x, y, t, 1);
            break;
        }
        case 3: {
            static const float kTop[3] = {3, 6, 8}, kGravity[3] = {0.1f, 0.15f, 0.17f};
            static const int kLife[3][2] = {{15, 25}, {20, 30}, {30, 40}}, kCount[3] = {75, 150, 250};
            const int t = g_pt.firework[1];
            ParticleType_Shape(t, 8);
            ParticleType_Size(t, 0.1f, 0.2f, 0, 0);
            ParticleType_Speed(t, 0.5f * m.f, kTop[s] * m.f, 0, 0);
            ParticleType_Direction(t, 0, 360, 0, 0);
            ParticleType_Alpha2(t, 1, 0.4f);
            ParticleType_Life(t, m.Life(kLife[s][0]), m.Life(kLife[s][1]));
            ParticleType_Gravity(t, kGravity[s] * m.f, 270);
            m.Make(x, y, t, kCount[s]);
            break;
        }
        case 4: Smoke(m, s, g_pt.smoke[s], x, y, false); break;
        case 5: Smoke(m, s, g_pt.smokeup[s], x, y, true); break;
        case 6: {
            static const float kMin[3] = {0.4f, 0.75f, 1.2f}, kMax[3] = {0.3f, 0.75f, 1.2f};
            Sparkle(m, s, g_pt.star[s], 4, kMin[s], kMax[s]);
            m.Make(x, y, g_pt.star[s], 1);
            break;
        }
        case 7:
        case 8: {
            static const float kSize[3] = {0.4f, 0.75f, 1.2f};
            const int t = kind == 7 ? g_pt.spark[s] : g_pt.flare[s];
            Sparkle(m, s, t, kind == 7 ? 9 : 8, kSize[s], kSize[s]);
            m.Make(x, y, t, 1);
            break;
        }
        case 9: {
            static const float kSize[3] = {2, 4, 8};
            const int t = g_pt.cloud[s];
            ParticleType_Shape(t, 10);
            ParticleType_Size(t, kSize[s], kSize[s], 0, 0);
            ParticleType_Scale(t, 1, 0.5f);
            ParticleType_Alpha3(t, 0, 0.3f, 0);
            ParticleType_Life(t, m.Life(100), m.Life(100));
            m.Make(x, y, t, 1);
            break;
        }
        case 10:
        case 11: {
            // Weather ignores the position: it falls over the whole room.
            const float width = Run_Room != nullptr ? static_cast<float>(Run_Room->m_width) : 0.0f;
            const float height = Run_Room != nullptr ? static_cast<float>(Run_Room->m_height) : 0.0f;
            const bool rain = kind == 10;
            const int t = rain ? g_pt.rain : g_pt.snow;
            if (rain) {
                ParticleType_Shape(t, 3);
                ParticleType_Size(t, 0.2f, 0.3f, 0, 0);
                ParticleType_Orientation(t, 0, 0, 0, 0, true);
                ParticleType_Speed(t, 7 * m.f, 7 * m.f, 0, 0);
                ParticleType_Direction(t, 260, 260, 0, 0);
                ParticleType_Alpha1(t, 0.4f);
                const int life = m.Life(height * 0.2);
                ParticleType_Life(t, life, life);
            } else {
                ParticleType_Shape(t, 13);
                ParticleType_Size(t, 0.1f, 0.25f, 0, 0);
                ParticleType_Alpha1(t, 0.6f);
                ParticleType_Orientation(t, 0, 360, 0, 0, false);
                ParticleType_Speed(t, 2.5f * m.f, 3 * m.f, 0, 0);
                ParticleType_Direction(t, 240, 300, 0, 20);
                const int life = m.Life(height * 0.5);
                ParticleType_Life(t, life, life);
            }
            static const int kRain[3] = {2, 5, 9}, kSnow[3] = {1, 3, 7};
            const int count = rain ? kRain[s] : kSnow[s];
            for (int n = 0; n < count; ++n) {
                const float px = static_cast<float>(width * 1.2 * fZQRandom(1.0)) - (rain ? 0.0f : 60.0f);
                const float py = static_cast<float>(fZQRandom(20.0)) - 30.0f;
                m.Make(px, py, t, 1);
            }
            break;
        }
        default: break;
    }
}

void Effect_Clear() {
    ParticleSystem_Particles_Clear(ps_below);
    ParticleSystem_Particles_Clear(ps_above);
}

void Effects_Clear() {
    Effect_Clear();
}

void Effects_Reset() {
    ps_below = ps_above = -1;
    g_pt = EffectTypes{};
}
