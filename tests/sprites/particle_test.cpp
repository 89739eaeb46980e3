// Particle types, systems and emitters, and the update: a fixed seed
// replays a burst exactly, counts after N steps follow the lifetimes and
// streams, spawning chains are bounded per step and by the system's limit,
// and systems sit on room layers with new-generation data.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "console_capture.h"
#include "core/header_globals.h"
#include "core/random.h"
#include "error_capture.h"
#include "room/layer_manager.h"
#include "room/room.h"
#include "sprites/particle_system.h"

namespace {

class Particles : public QuietTest {
protected:
    void SetUp() override { InitRandom(2101988); }
    void TearDown() override { Particles_Reset(); }

    // A system with one particle type of the given life.
    int System() { return ParticleSystem_Create(-1, true); }
    int Type(int life) {
        int t = ParticleType_Create();
        ParticleType_Life(t, life, life);
        return t;
    }
    static const std::vector<RParticle>& Of(int ps) { return ParticleSystem_Get(ps)->particles; }
};

bool SameParticles(const std::vector<RParticle>& a, const std::vector<RParticle>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const RParticle &p = a[i], &q = b[i];
        if (p.x != q.x || p.y != q.y || p.speed != q.speed || p.direction != q.direction ||
            p.angle != q.angle || p.lifetime != q.lifetime || p.colour != q.colour || p.size != q.size ||
            p.seed != q.seed || p.startFrame != q.startFrame)
            return false;
    }
    return true;
}

// ---- types

TEST_F(Particles, TypeSlotsAreReusedAndSettersIgnoreEmptySlots) {
    EXPECT_EQ(ParticleType_Create(), 0);
    EXPECT_EQ(ParticleType_Create(), 1);
    ParticleType_Destroy(0);
    EXPECT_FALSE(ParticleType_Exists(0));
    EXPECT_EQ(ParticleType_Create(), 0);
    for (int bad : {-1, 2, 1000}) {
        ParticleType_Shape(bad, 3);
        ParticleType_Clear(bad);
        EXPECT_FALSE(ParticleType_Exists(bad));
    }
    ParticleType_Blend(1, true);
    ParticleType_Size(1, 3, 4, 0, 0);
    ParticleType_Clear(1);
    EXPECT_TRUE(ParticleType_Get(1)->additive) << "clearing keeps additive blending";
    EXPECT_EQ(ParticleType_Get(1)->sizeMin, 1.0f);
    ParticleType_Alpha2(1, 1, 0);
    EXPECT_EQ(ParticleType_Get(1)->alpha2, 0.5f);
}

TEST_F(Particles, LifeBelowItsMinimumTakesTheMinimumWithoutDrawing) {
    int t = ParticleType_Create();
    ParticleType_Life(t, 10, 5);
    RParticle p{};
    InitRandom(5);
    CreateParticle(0, 0, t, p);
    EXPECT_EQ(p.lifetime, 10);
    const uint32_t next = ZQRandom();
    // Without ranges only the seed draws a number.
    InitRandom(5);
    ZQRandom();
    EXPECT_EQ(ZQRandom(), next);
}

TEST_F(Particles, ColourModesFollowAgeAndLife) {
    int ps = System(), t = Type(10);
    ParticleType_Color3(t, 0x0000FF, 0x00FF00, 0xFF0000);
    ParticleSystem_Particles_Create(ps, 0, 0, t, 1);
    EXPECT_EQ(Of(ps)[0].colour, 0x0000FFu);
    for (int i = 0; i < 5; ++i) ParticleSystem_Update(ps);
    EXPECT_EQ(Of(ps)[0].colour, 0x00FF00u) << "mid-life is the second colour";
    ParticleType_Color_RGB(t, 10, 10, 20, 20, 30, 30);
    ParticleSystem_Particles_Create(ps, 0, 0, t, 1);
    EXPECT_EQ(Of(ps)[1].colour, 0x1E140Au);
}

// ---- reproducible bursts and regions

TEST_F(Particles, AFixedSeedReplaysABurstExactly) {
    auto burst = [this](uint32_t seed) {
        InitRandom(seed);
        int ps = System(), t = Type(0);
        ParticleType_Life(t, 20, 60);
        ParticleType_Speed(t, 1, 3, 0, 0);
        ParticleType_Direction(t, 0, 360, 0, 0);
        ParticleType_Size(t, 0.5f, 1.5f, 0, 0);
        ParticleType_Color_HSV(t, 0, 255, 100, 200, 255, 255);
        int em = ParticleSystem_Emitter_Create(ps);
        ParticleSystem_Emitter_Region(ps, em, 0, 100, 0, 50, 1, 1);
        ParticleSystem_Emitter_Burst(ps, em, t, 200);
        for (int i = 0; i < 10; ++i) ParticleSystem_Update(ps);
        std::vector<RParticle> out = Of(ps);
        Particles_Reset();
        return out;
    };
    const auto a = burst(7), b = burst(7), c = burst(8);
    ASSERT_EQ(a.size(), 200u);
    EXPECT_TRUE(SameParticles(a, b));
    EXPECT_FALSE(SameParticles(a, c));
}

TEST_F(Particles, RegionsKeepTheirShape) {
    int ps = System(), t = Type(100);
    struct Case {
        int shape, distribution;
    };
    for (Case c : {Case{1, 0}, Case{1, 1}, Case{2, 0}, Case{2, 2}, Case{3, 0}, Case{3, 2}}) {
        ParticleSystem_Particles_Clear(ps);
        int em = ParticleSystem_Emitter_Create(ps);
        ParticleSystem_Emitter_Region(ps, em, 10, 50, 20, 60, c.shape, c.distribution);
        ParticleSystem_Emitter_Burst(ps, em, t, 500);
        ASSERT_EQ(Of(ps).size(), 500u);
        for (const RParticle& p : Of(ps)) {
            const float u = (p.x - 10) / 40, v = (p.y - 20) / 40;
            if (c.shape == 1) {
                EXPECT_LE((u - 0.5f) * (u - 0.5f) + (v - 0.5f) * (v - 0.5f), 0.2501f);
            } else if (c.shape == 2) {
                EXPECT_LE(std::fabs(u - 0.5f) + std::fabs(v - 0.5f), 0.5001f);
            } else {
                EXPECT_NEAR(p.y - 20, p.x - 10, 1e-3) << "on the diagonal";
            }
        }
        ParticleSystem_Emitter_Destroy(ps, em);
    }
}

TEST_F(Particles, ANegativeBurstMakesOneParticleByChance) {
    int ps = System(), t = Type(1000);
    int em = ParticleSystem_Emitter_Create(ps);
    for (int i = 0; i < 4000; ++i) ParticleSystem_Emitter_Burst(ps, em, t, -4);
    EXPECT_GT(Of(ps).size(), 850u);
    EXPECT_LT(Of(ps).size(), 1150u);
    ParticleSystem_Emitter_Burst(ps, em, t, INT32_MIN); // |n| does not overflow
}

TEST_F(Particles, EmitterSlotsAreReused) {
    int ps = System();
    EXPECT_EQ(ParticleSystem_Emitter_Create(ps), 0);
    EXPECT_EQ(ParticleSystem_Emitter_Create(ps), 1);
    EXPECT_EQ(ParticleSystem_Emitter_Create(ps), 2);
    ParticleSystem_Emitter_Destroy(ps, 1);
    EXPECT_FALSE(ParticleSystem_Emitter_Exists(ps, 1));
    EXPECT_EQ(ParticleSystem_Emitter_Create(ps), 1);
    EXPECT_EQ(ParticleSystem_Emitter_Create(-1), -1);
    ParticleSystem_Emitter_Stream(ps, 9, 0, 1);
    EXPECT_NE(std::strstr(console.Text(), "part_emitter_stream :: specified emitter does not exist"),
              nullptr);
}

// ---- update

TEST_F(Particles, CountsAfterNStepsFollowLifeAndStream) {
    struct Case {
        int steps;
        size_t count;
    };
    for (Case c : {Case{1, 5}, Case{5, 25}, Case{10, 50}, Case{30, 50}}) {
        Particles_Reset();
        int ps = System(), t = Type(10);
        int em = ParticleSystem_Emitter_Create(ps);
        ParticleSystem_Emitter_Region(ps, em, 0, 10, 0, 10, 0, 0);
        ParticleSystem_Emitter_Stream(ps, em, t, 5);
        for (int i = 0; i < c.steps; ++i) ParticleSystem_UpdateAll();
        EXPECT_EQ(Of(ps).size(), c.count) << c.steps << " steps";
    }
}

TEST_F(Particles, AutomaticUpdateOffFreezesASystem) {
    int ps = System(), t = Type(2);
    ParticleSystem_Particles_Create(ps, 0, 0, t, 3);
    ParticleSystem_AutomaticUpdate(ps, false);
    for (int i = 0; i < 5; ++i) ParticleSystem_UpdateAll();
    EXPECT_EQ(ParticleSystem_Particles_Count(ps), 3);
    ParticleSystem_Update(ps);
    ParticleSystem_Update(ps);
    EXPECT_EQ(ParticleSystem_Particles_Count(ps), 0);
}

TEST_F(Particles, SpawnedParticlesWaitForTheNextUpdate) {
    int ps = System(), parent = Type(1), child = Type(5);
    ParticleType_Death(parent, 3, child);
    ParticleSystem_Particles_Create(ps, 4, 5, parent, 1);
    ParticleSystem_Update(ps);
    ASSERT_EQ(Of(ps).size(), 3u);
    for (const RParticle& p : Of(ps)) {
        EXPECT_EQ(p.type, child);
        EXPECT_EQ(p.age, 0) << "not aged in the pass that made it";
        EXPECT_EQ(p.x, 4.0f);
    }
}

TEST_F(Particles, ASelfSpawningDeathChainIsBoundedPerStepAndBySystem) {
    int ps = System(), t = Type(1);
    ParticleType_Death(t, 2, t);
    ParticleSystem_Particles_Create(ps, 0, 0, t, 1);
    for (size_t expected : {2u, 4u, 8u, 16u}) {
        ParticleSystem_Update(ps);
        EXPECT_EQ(Of(ps).size(), expected);
    }
    for (int i = 0; i < 20; ++i) ParticleSystem_Update(ps);
    // The dying particles hold their slots until the table is packed, so a
    // chain at the limit settles between half the limit and the limit.
    EXPECT_LE(Of(ps).size(), static_cast<size_t>(kParticleSystemMaxParticles));
    EXPECT_GE(Of(ps).size(), static_cast<size_t>(kParticleSystemMaxParticles / 2));
    EXPECT_NE(std::strstr(console.Text(), "particle system full"), nullptr);
}

TEST_F(Particles, AStepTypeOfItsOwnTypeIsRefusedEachStep) {
    ErrorCapture errors;
    int ps = System(), t = Type(100);
    ParticleType_Step(t, 1, t);
    ParticleSystem_Particles_Create(ps, 0, 0, t, 2);
    ParticleSystem_Update(ps);
    EXPECT_EQ(Of(ps).size(), 2u);
    int shown = 0;
    for (const std::string& s : errors.Shown())
        shown += s.find("a particle cannot spawn another of the same type") != std::string::npos;
    EXPECT_EQ(shown, 2);
}

TEST_F(Particles, AbsurdCountsAreCutToTheSystemLimit) {
    int ps = System(), t = Type(100);
    int em = ParticleSystem_Emitter_Create(ps);
    ParticleSystem_Emitter_Burst(ps, em, t, 2000000000);
    EXPECT_EQ(ParticleSystem_Particles_Count(ps), kParticleSystemMaxParticles);
    ParticleSystem_Particles_Create(ps, 0, 0, t, 2000000000);
    EXPECT_EQ(ParticleSystem_Particles_Count(ps), kParticleSystemMaxParticles);
    EXPECT_NE(std::strstr(console.Text(), "particle system full"), nullptr);
    ParticleSystem_Particles_Clear(ps);
    ParticleSystem_Particles_Create(ps, 0, 0, t, 0);
    ParticleSystem_Particles_Create(ps, 0, 0, t, -5);
    ParticleSystem_Particles_Create(ps, 0, 0, 77, 5);
    ParticleSystem_Particles_Create(77, 0, 0, t, 5);
    EXPECT_EQ(ParticleSystem_Particles_Count(ps), 0);
    EXPECT_NE(std::strstr(console.Text(), "part_particles_create :: particle type does not exist!"), nullptr);
    EXPECT_NE(std::strstr(console.Text(), "part_particles_create :: particle system does not exist!"),
              nullptr);
}

TEST_F(Particles, ADestroyedTypesParticlesAgeAndDieThenTakeAReusedIndex) {
    int ps = System(), t = Type(3);
    ParticleType_Speed(t, 2, 2, 0, 0);
    ParticleSystem_Particles_Create(ps, 0, 0, t, 1);
    ParticleType_Destroy(t);
    ParticleSystem_Update(ps);
    EXPECT_EQ(Of(ps)[0].age, 1);
    EXPECT_EQ(Of(ps)[0].x, 0.0f) << "no longer moves";
    int again = Type(100);
    ASSERT_EQ(again, t);
    ParticleType_Speed(again, 5, 5, 0, 0);
    ParticleSystem_Update(ps);
    EXPECT_EQ(Of(ps)[0].x, 2.0f) << "the reused index moves it with the new type's rates, its own speed";
    ParticleSystem_Update(ps);
    EXPECT_TRUE(Of(ps).empty()) << "its lifetime was fixed when it was made";
}

TEST_F(Particles, GravityPullsAndWigglesLeaveTheStoredMotion) {
    int ps = System(), t = Type(100);
    ParticleType_Gravity(t, 0.5f, 270);
    ParticleSystem_Particles_Create(ps, 10, 10, t, 1);
    ParticleSystem_Update(ps);
    EXPECT_NEAR(Of(ps)[0].speed, 0.5f, 1e-6);
    EXPECT_EQ(Of(ps)[0].direction, 270.0f);
    EXPECT_NEAR(Of(ps)[0].y, 10.5f, 1e-5);
    ParticleSystem_Update(ps);
    EXPECT_NEAR(Of(ps)[0].speed, 1.0f, 1e-6);

    int w = Type(100);
    ParticleType_Speed(w, 2, 2, 0, 1);
    ParticleType_Direction(w, 0, 0, 0, 30);
    ParticleSystem_Particles_Create(ps, 0, 0, w, 1);
    ParticleSystem_Update(ps);
    EXPECT_EQ(Of(ps)[1].speed, 2.0f);
    EXPECT_EQ(Of(ps)[1].direction, 0.0f);
}

TEST_F(Particles, AlphaRunsThroughItsThreePoints) {
    int ps = System(), t = Type(10);
    ParticleType_Alpha3(t, 1, 0.5f, 0);
    ParticleSystem_Particles_Create(ps, 0, 0, t, 1);
    for (int i = 0; i < 5; ++i) ParticleSystem_Update(ps);
    EXPECT_NEAR(Of(ps)[0].alpha, 0.5f, 1e-6);
    for (int i = 0; i < 4; ++i) ParticleSystem_Update(ps);
    EXPECT_NEAR(Of(ps)[0].alpha, 0.1f, 1e-6);
}

// ---- systems on room layers (new-generation data)

class ParticleLayers : public Particles {
protected:
    void SetUp() override {
        Particles::SetUp();
        g_isNimbar = true;
        m_room = std::make_unique<CRoom>();
        Run_Room = m_room.get();
        m_layer = CLayerManager::AddLayer(Run_Room, 300, "sparks");
    }
    void TearDown() override {
        Particles::TearDown();
        CLayerManager::CleanRoomLayers(m_room.get());
        Run_Room = nullptr;
        m_room.reset();
        g_isNimbar = false;
    }
    // The layer that holds system ps's element, or null.
    CLayer* LayerOf(int ps) {
        CLayer* layer = nullptr;
        CLayerManager::GetElementFromID(Run_Room, ParticleSystem_Get(ps)->elementId, &layer);
        return layer;
    }

    std::unique_ptr<CRoom> m_room;
    CLayer* m_layer = nullptr;
};

TEST_F(ParticleLayers, SystemsAreElementsOfTheirLayers) {
    int onDepth = ParticleSystem_Create(-1, true);
    int onLayer = ParticleSystem_Create(m_layer->m_id, false);
    EXPECT_EQ(ParticleSystem_Create(9999, true), -1) << "no such layer";
    ASSERT_NE(LayerOf(onDepth), nullptr);
    EXPECT_EQ(LayerOf(onDepth)->m_depth, 0);
    EXPECT_EQ(LayerOf(onLayer), m_layer);
    EXPECT_EQ(ParticleSystem_GetLayer(onLayer), m_layer->m_id);
    EXPECT_EQ(ParticleSystem_Get(onLayer)->depth, 300.0f);
    auto* e = static_cast<CLayerParticleElement*>(
        CLayerManager::GetElementFromID(Run_Room, ParticleSystem_Get(onLayer)->elementId));
    EXPECT_EQ(e->m_systemID, onLayer);

    ParticleSystem_Depth(onDepth, -40);
    EXPECT_EQ(LayerOf(onDepth)->m_depth, -40);
    ParticleSystem_Layer(onDepth, m_layer->m_id);
    EXPECT_EQ(LayerOf(onDepth), m_layer);

    ParticleSystem_Clear(onDepth);
    EXPECT_EQ(ParticleSystem_Get(onDepth)->elementId, -1) << "not drawn until put on a layer again";
}

TEST_F(ParticleLayers, RoomEndDestroysOnlyTheSystemsThatDoNotPersist) {
    int keeps = ParticleSystem_Create(-1, true);
    int goes = ParticleSystem_Create(m_layer->m_id, false);
    ParticleSystem_RemoveAllFromLayers();
    EXPECT_TRUE(ParticleSystem_Exists(keeps));
    EXPECT_FALSE(ParticleSystem_Exists(goes));
    EXPECT_EQ(ParticleSystem_Get(keeps)->elementId, -1);
    ParticleSystem_AddAllToLayers();
    ASSERT_NE(LayerOf(keeps), nullptr);
    EXPECT_EQ(LayerOf(keeps)->m_depth, 0);
}

} // namespace
