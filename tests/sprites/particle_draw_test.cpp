// Drawing particle systems: quads of the runtime's shape textures in draw
// order and at the system's offset, additive blending switched per type
// (one batch more per switch) and normal blending after the system, and the
// two effect systems placed below and above the instances.
#include <gtest/gtest.h>

#include <vector>

#include "batch_capture.h"
#include "console_capture.h"
#include "core/header_globals.h"
#include "core/random.h"
#include "gl_device_fixture.h"
#include "render/gl_api.h"
#include "render/gl_layer.h"
#include "render/graphics_device.h"
#include "render/render_state.h"
#include "render/texture_draw.h"
#include "render/texture_table.h"
#include "render/vertex_batch.h"
#include "render/view.h"
#include "room/layer_manager.h"
#include "room/room.h"
#include "sprite_fixture.h"
#include "sprites/effects.h"
#include "sprites/particle_draw.h"
#include "sprites/particle_system.h"
#include "sprites/sprite_table.h"
#include "world/run/main_loop.h"

namespace {

class ParticleDrawing : public QuietTest {
protected:
    void SetUp() override {
        InitRandom(1);
        g_States.Reset();
        Part_CreateTextures();
        ps = ParticleSystem_Create(-1, true);
    }
    void TearDown() override {
        Batch_Empty();
        CSprite::ms_ignoreCull = false;
        Sprite_Free();
        Particles_Reset();
        TextureTable_Reset();
        g_States.Reset();
    }
    // A type of a shape that lives long and stands still.
    int Type(int shape, bool additive) {
        int t = ParticleType_Create();
        ParticleType_Shape(t, shape);
        ParticleType_Blend(t, additive);
        return t;
    }
    // Draws the system and flushes; the batches it took.
    int Draw() {
        ParticleSystem_Draw(ps);
        Graphics::Flush();
        return layer.batches;
    }

    BatchCapture layer;
    int ps = -1;
};

TEST_F(ParticleDrawing, TheEmbeddedShapesAndTheFlatTextureAre64Square) {
    for (int i = 0; i <= kParticleShapeCount; ++i) {
        const TextureEntry* e = GR_Texture_Entry(g_ParticleTextures[i]);
        ASSERT_NE(e, nullptr) << i;
        EXPECT_TRUE(e->inUse && e->texture != nullptr) << i;
        EXPECT_EQ(e->width, 64) << i;
        EXPECT_EQ(e->height, 64) << i;
    }
    Part_FreeTextures();
    EXPECT_EQ(g_ParticleTextures[0], -1);
}

TEST_F(ParticleDrawing, ShapesAreQuadsAtTheSystemOffsetInDrawOrder) {
    int t = Type(1, false);
    ParticleSystem_Particles_Create_Color(ps, 10.7f, 20.2f, t, 0x0000FF, 1);
    ParticleSystem_Particles_Create_Color(ps, 50, 60, t, 0x00FF00, 1);
    ParticleSystem_Position(ps, 100, 0);
    EXPECT_EQ(Draw(), 1);
    ASSERT_EQ(layer.vertices.size(), 12u);
    // Corners at ±32 around the truncated position; the colour word carries
    // the alpha byte.
    EXPECT_EQ(layer.vertices[0].x, 110.0f - 32);
    EXPECT_EQ(layer.vertices[0].y, 20.0f - 32);
    EXPECT_EQ(layer.vertices[2].x, 110.0f + 32);
    EXPECT_EQ(layer.vertices[2].y, 20.0f + 32);
    EXPECT_EQ(layer.vertices[0].colour, 0xFF0000FFu);
    EXPECT_EQ(layer.vertices[6].colour, 0xFF00FF00u);

    layer.vertices.clear();
    ParticleSystem_DrawOrder(ps, false);
    Draw();
    ASSERT_EQ(layer.vertices.size(), 12u);
    EXPECT_EQ(layer.vertices[0].colour, 0xFF00FF00u) << "new to old puts the newest underneath";
}

TEST_F(ParticleDrawing, BlendSwitchesShowAsBatchesAndNormalBlendingFollows) {
    int normal = Type(1, false), additive = Type(1, true);
    struct Case {
        std::vector<int> types;
        int batches;
    };
    for (const Case& c : {Case{{normal, normal, normal}, 1}, Case{{additive, additive}, 1},
                          Case{{normal, additive}, 2}, Case{{normal, additive, normal, additive}, 4}}) {
        ParticleSystem_Particles_Clear(ps);
        for (int type : c.types) ParticleSystem_Particles_Create(ps, 0, 0, type, 1);
        layer.batches = 0;
        EXPECT_EQ(Draw(), c.batches) << c.types.size() << " particles";
        EXPECT_EQ(g_States.GetRenderState(eRS_DestBlend), 6u) << "normal blending after the system";
    }
}

TEST_F(ParticleDrawing, WhatEndsOrSkipsASystemsDrawing) {
    int good = Type(1, false), gone = Type(1, false), bad = Type(20, false);
    ParticleSystem_Particles_Create(ps, 0, 0, good, 1);
    ParticleSystem_Particles_Create(ps, 0, 0, gone, 1);
    ParticleSystem_Particles_Create(ps, 0, 0, good, 1);
    ParticleType_Destroy(gone);
    Draw();
    EXPECT_EQ(layer.vertices.size(), 12u) << "a particle of a destroyed type is skipped";
    layer.vertices.clear();
    ParticleSystem_Particles_Create(ps, 0, 0, bad, 1);
    ParticleSystem_Particles_Create(ps, 0, 0, good, 1);
    Draw();
    EXPECT_EQ(layer.vertices.size(), 12u) << "a shape past the last ends the system's drawing";
    layer.vertices.clear();
    ParticleSystem_AutomaticDraw(ps, false);
    ParticleSystem_AutoDraw(ps);
    Graphics::Flush();
    EXPECT_TRUE(layer.vertices.empty());
}

TEST_F(ParticleDrawing, SpriteFramesFollowAgeOrStretchOverTheLife) {
    auto sprite = std::make_unique<CSprite>();
    sprite->m_width = sprite->m_height = 4;
    sprite->m_numb = 4;
    for (int f = 0; f < 4; ++f)
        sprite->m_bitmaps.push_back(MakeFrame(4, 4, [](int, int) { return 0xFFFFFFFFu; }));
    sprite->InitTexture();
    sprite->InitLocalTPE();
    const CSprite* drawn = sprite.get();
    const int index = Sprite_AddRecord(std::move(sprite));
    CSprite::ms_ignoreCull = true;
    int t = ParticleType_Create();
    ParticleType_Life(t, 8, 8);
    ParticleType_Sprite(t, index, true, false, false);
    ParticleSystem_Particles_Create(ps, 0, 0, t, 1);
    ParticleSystem_Update(ps);
    ParticleSystem_Update(ps);
    struct Case {
        bool animate, stretch;
        int frame;
    };
    for (Case c : {Case{false, false, 0}, Case{true, false, 2}, Case{true, true, 1}}) {
        ParticleType_Sprite(t, index, c.animate, c.stretch, false);
        layer.textures.clear();
        Draw();
        ASSERT_EQ(layer.textures.size(), 6u);
        EXPECT_EQ(layer.textures[0], GR_Texture_Get_Surface(drawn->m_textures[static_cast<size_t>(c.frame)]))
            << "frame " << c.frame;
    }
}

TEST_F(ParticleDrawing, LegacyDepthsWalkFromTheDeepest) {
    int a = ParticleSystem_Create(-1, true), b = ParticleSystem_Create(-1, true);
    ParticleSystem_Depth(ps, 10);
    ParticleSystem_Depth(a, -5);
    ParticleSystem_Depth(b, 10);
    std::vector<float> walk;
    for (float d = ParticleSystem_LargestDepth(); d > kParticleNoDepth; d = ParticleSystem_NextDepth(d))
        walk.push_back(d);
    EXPECT_EQ(walk, (std::vector<float>{10, -5}));
    ParticleSystem_AutomaticDraw(a, false);
    EXPECT_EQ(ParticleSystem_NextDepth(10), kParticleNoDepth);
}

// ---- the built-in effects

class Effects : public QuietTest {
protected:
    void SetUp() override {
        InitRandom(3);
        m_room = std::make_unique<CRoom>();
        m_room->m_speed = 30;
        m_room->m_width = 500;
        m_room->m_height = 300;
        Run_Room = m_room.get();
    }
    void TearDown() override {
        Particles_Reset();
        CLayerManager::CleanRoomLayers(m_room.get());
        Run_Room = nullptr;
        m_room.reset();
        g_isNimbar = false;
        Fps = 0;
    }
    static const std::vector<RParticle>& Of(int ps) { return ParticleSystem_Get(ps)->particles; }
    std::unique_ptr<CRoom> m_room;
};

TEST_F(Effects, BelowAndAboveSystemsStandBehindAndBeforeTheInstances) {
    Effect_Create(true, 12, 0, 0, 1, 0);
    ASSERT_TRUE(ParticleSystem_Exists(ps_below));
    ASSERT_TRUE(ParticleSystem_Exists(ps_above));
    EXPECT_TRUE(types_created);
    EXPECT_EQ(ParticleType_Count(), 35);
    EXPECT_EQ(ParticleSystem_Particles_Count(ps_below) + ParticleSystem_Particles_Count(ps_above), 0);
    EXPECT_EQ(ParticleSystem_Get(ps_below)->depth, 100000.0f);
    EXPECT_EQ(ParticleSystem_Get(ps_above)->depth, -100000.0f);
    // Legacy drawing walks the deepest first: below, then (instances), then above.
    EXPECT_EQ(ParticleSystem_LargestDepth(), 100000.0f);
    EXPECT_EQ(ParticleSystem_NextDepth(0), -100000.0f);

    Particles_Reset();
    g_isNimbar = true;
    Effect_Create(false, 6, 10, 10, 0, 0xFF);
    CLayer* below = nullptr;
    CLayer* above = nullptr;
    CLayerManager::GetElementFromID(Run_Room, ParticleSystem_Get(ps_below)->elementId, &below);
    CLayerManager::GetElementFromID(Run_Room, ParticleSystem_Get(ps_above)->elementId, &above);
    ASSERT_NE(below, nullptr);
    ASSERT_NE(above, nullptr);
    EXPECT_EQ(below->m_depth, 50);
    EXPECT_EQ(above->m_depth, -15000);
    EXPECT_EQ(ParticleSystem_Particles_Count(ps_above), 1);
    Effect_Clear();
    EXPECT_EQ(ParticleSystem_Particles_Count(ps_above), 0);
}

TEST_F(Effects, SpeedFactorScalesSpeedsAndLives) {
    struct Case {
        int roomSpeed, fps;
        float f;
    };
    for (Case c : {Case{30, 60, 1.0f}, Case{60, 60, 0.5f}, Case{60, 40, 0.75f}, Case{60, 55, 0.5f}}) {
        m_room->m_speed = c.roomSpeed;
        Fps = c.fps;
        EXPECT_FLOAT_EQ(Effect_SpeedFactor(), c.f) << c.roomSpeed << "/" << c.fps;
    }
    m_room->m_speed = 60;
    Fps = 60;
    Effect_Create(false, 0, 100, 100, 0, 0x123456);
    ASSERT_EQ(Of(ps_above).size(), 21u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(Of(ps_above)[i].speed, 1.0f);
        EXPECT_GE(Of(ps_above)[i].lifetime, 20);
        EXPECT_LT(Of(ps_above)[i].lifetime, 30);
        EXPECT_EQ(Of(ps_above)[i].colour, 0x123456u);
    }
    EXPECT_EQ(Of(ps_above)[20].colour, 0u) << "the core is black";
}

TEST_F(Effects, SizesAndWeather) {
    Effect_Create(false, 6, 0, 0, 0, 0);
    Effect_Create(false, 6, 0, 0, 2, 0);
    Effect_Create(false, 6, 0, 0, 5, 0);
    ASSERT_EQ(Of(ps_above).size(), 3u);
    EXPECT_FLOAT_EQ(Of(ps_above)[0].size, 0.4f) << "the small star's maximum is below its minimum";
    EXPECT_FLOAT_EQ(Of(ps_above)[1].size, 1.2f);
    EXPECT_FLOAT_EQ(Of(ps_above)[2].size, 0.75f) << "any other size is medium";
    Effect_Clear();

    Effect_Create(true, 10, -999, -999, 2, 0);
    ASSERT_EQ(Of(ps_below).size(), 9u);
    for (const RParticle& p : Of(ps_below)) {
        EXPECT_GE(p.x, 0.0f);
        EXPECT_LT(p.x, 600.0f);
        EXPECT_GE(p.y, -30.0f);
        EXPECT_LT(p.y, -10.0f);
        EXPECT_EQ(p.lifetime, 60) << "room height × 0.2";
    }
}

} // namespace

// ---- on Mesa

class ParticlesOnScreen : public GLDeviceTest {
protected:
    std::vector<uint8_t> Pixel(int x, int yFromTop) {
        std::vector<uint8_t> p(4);
        glReadPixels(x, kSize - 1 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        return p;
    }
    void TearDown() override {
        Particles_Reset();
        GLDeviceTest::TearDown();
    }
};

TEST_F(ParticlesOnScreen, ADiskUnderAnAdditiveSquareMixesTheirColours) {
    Part_CreateTextures();
    int ps = ParticleSystem_Create(-1, true);
    int disk = ParticleType_Create(), square = ParticleType_Create();
    ParticleType_Shape(disk, 1);
    ParticleType_Size(disk, 0.25f, 0.25f, 0, 0);
    ParticleType_Shape(square, 2);
    ParticleType_Size(square, 0.125f, 0.125f, 0, 0);
    ParticleType_Blend(square, true);
    ParticleSystem_Particles_Create_Color(ps, 16, 16, disk, 0x0000FF, 1);
    ParticleSystem_Particles_Create_Color(ps, 16, 16, square, 0x00FF00, 1);
    GR_D3D_Start_Frame();
    Graphics::Clear(0, 1.0f, 0, eClear_Colour);
    ParticleSystem_Draw(ps);
    GR_D3D_Finish_Frame(true);
    const std::vector<uint8_t> centre = Pixel(16, 16), ring = Pixel(16, 10), outside = Pixel(1, 1);
    EXPECT_GE(centre[0], 250);
    EXPECT_GE(centre[1], 250) << "the additive square adds green to the red disk";
    EXPECT_GE(ring[0], 250);
    EXPECT_LE(ring[1], 5) << "outside the square the disk stays red";
    EXPECT_LE(outside[0], 5) << "beyond the disk nothing is drawn";
}
