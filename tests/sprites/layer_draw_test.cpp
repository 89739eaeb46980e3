// The layer walk on Mesa: layers from the highest depth down with invisible
// ones skipped, elements in list order, instances through their sprites up
// to the first deactivated one, backgrounds tiled, stretched or filling the
// target, begin and end scripts around each layer at its depth, and a whole
// layered room against its golden frame.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "code_chunks.h"
#include "core/code.h"
#include "core/collector.h"
#include "core/run_state.h"
#include "core/script.h"
#include "core/zq_rvalue.h"
#include "gl_device_fixture.h"
#include "golden_frame.h"
#include "layer_scene.h"
#include "object_chunk.h"
#include "render/bitmap32.h"
#include "render/legacy_3d.h"
#include "render/texture_draw.h"
#include "render/user_shader.h"
#include "render/vertex_batch.h"
#include "render/view.h"
#include "shader_chunk.h"
#include "sprites/background_table.h"
#include "sprites/layer_draw.h"
#include "sprites/tilemap_draw.h"
#include "world/datafile/code_binding.h"
#include "world/instances/instance.h"

namespace {

// What each layer script saw when it ran.
struct ScriptCall {
    int script;
    int object, type, subtype;
    CInstance* self;
    float depth;
    int pendingVertices;
    Shader* shader;
};
std::vector<ScriptCall> g_calls;

ZQRValue& Record(int script, CInstance* self, ZQRValue& result) {
    g_calls.push_back({script, Current_Object, Current_Event_Type, Current_Event_Number, self, GR_Depth,
                       g_CurrentVertexCount, g_NextActiveUserShader});
    return result;
}

// The Draw event of obj_drawn: the cyan sprite where the instance stands.
int g_drawEventSprite = -1;
std::vector<CInstance*> g_drawEvents;

const SCompiledFunction kScripts[] = {
    {"scr_begin",
     [](CInstance* self, CInstance*, ZQRValue& r, int, ZQRValue**) -> ZQRValue& {
         return Record(0, self, r);
     },
     nullptr},
    {"scr_end",
     [](CInstance* self, CInstance*, ZQRValue& r, int, ZQRValue**) -> ZQRValue& {
         return Record(1, self, r);
     },
     nullptr},
    {"vtl_Object_obj_drawn_Draw_0", nullptr,
     [](CInstance* self, CInstance*) {
         g_drawEvents.push_back(self);
         Sprite_Data(g_drawEventSprite)->Draw(0, self->i_x, self->i_y, 1, 1, 0, 0xFFFFFF, 1);
     }},
};

void AddScripts(wad::GameDataWriter& w) {
    wad::ScriptFields begin, end;
    begin.name = "scr_begin";
    begin.codeIndex = 0;
    end.name = "scr_end";
    end.codeIndex = 1;
    wad::WriteScripts(w, {begin, end});
    wad::ObjectFields drawn;
    drawn.name = "obj_drawn";
    drawn.events.resize(9);
    drawn.events[8] = {{0, 2}};
    wad::WriteObjects(w, {drawn}, 15);
    // A shader that paints whatever it draws magenta.
    wad::WriteShaders(w, {wad::ShaderFields{"sh_magenta",
                                            1,
                                            R"(#version 120
attribute vec3 in_Position;
uniform mat4 vt_Matrices[5];
void main() { gl_Position = vt_Matrices[4] * vec4(in_Position, 1.0); }
)",
                                            R"(#version 120
void main() { gl_FragColor = vec4(1.0, 0.0, 1.0, 1.0); }
)",
                                            {"in_Position"}}});
}

class LayersOnScreen : public GLDeviceTest {
protected:
    void SetUp() override {
        GLDeviceTest::SetUp();
        g_calls.clear();
        g_drawEvents.clear();
        Code_LoadCompiledRecord([](SLLVMVars* v) {
            v->nCodeEntries = 3;
            v->pCodeFunctions = kScripts;
        });
        ASSERT_TRUE(file.Load()) << GameData_LastError();
        ASSERT_TRUE(Script_Prepare());
        ASSERT_TRUE(g_isNimbar) << "layer depths reach the vertices";
        red = SolidSprite(16, 16, kRed);
        green = SolidSprite(16, 16, kGreen);
        blue = SolidSprite(16, 16, kBlue);
        white = SolidSprite(32, 32, kWhite);
        yellow = SolidSprite(8, 8, kYellow);
        cyan = SolidSprite(8, 8, kCyan);
    }
    void TearDown() override {
        Sprite_Free();
        Background_Free();
        Code_LoadCompiledRecord(nullptr);
        GLDeviceTest::TearDown();
    }

    void StartFrame(bool blend = false) {
        GR_D3D_Start_Frame();
        Graphics::Clear(0, 1.0f, 0, eClear_Colour);
        // As the room's drawing does: the view over the whole target, and
        // culling against it.
        GR_D3D_Set_View_Area(0, 0, kSize, kSize, 0);
        DirtyRoomExtents();
        g_States.SetRenderState(eRS_BlendEnable, blend ? 1 : 0);
    }
    void DrawAndFinish() {
        tagZQRECT rect{0, 0, kSize, kSize};
        DrawRoomLayers(&rect);
        GR_D3D_Finish_Frame(true);
    }
    uint32_t Pixel(int x, int yFromTop) {
        uint32_t p = 0;
        glReadPixels(x, kSize - 1 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &p);
        return p;
    }

    // An instance of `object` (none by default) showing `sprite` at (x, y),
    // placed on `layer` after its other elements.
    CInstance* Instance(CLayer* layer, int sprite, float x, float y, int object = -1) {
        CInstance* i = scene.room.AddInstance(x, y, object);
        CLayerManager::RemoveInstance(&scene.room, i);
        i->i_spriteindex = sprite;
        i->i_visible = true;
        CLayerInstanceElement* e = CLayerManager::GetNewInstanceElement();
        e->m_instanceID = i->i_id;
        e->m_pInstance = i;
        scene.Append(layer, e);
        return i;
    }

    CLayerBackgroundElement* Background(CLayer* layer, int sprite, uint32_t blend, float alpha) {
        CLayerBackgroundElement* e = CLayerManager::GetNewBackgroundElement();
        e->m_pBackground = static_cast<CBackVT2*>(ZQ_Alloc(sizeof(CBackVT2)));
        *e->m_pBackground = CBackVT2{
            true, false, sprite, false, false, 1, 1, false, static_cast<int32_t>(blend), alpha, 0, 0, 0};
        scene.Append(layer, e);
        return e;
    }

    TilesetFile file{AddScripts};
    LayerRoom scene;
    int red = -1, green = -1, blue = -1, white = -1, yellow = -1, cyan = -1;
};

// Depth 100 first, -100 last, so the lowest depth is on top; within a layer
// the list order; an invisible layer draws nothing; an old tilemap's visible
// tiles draw from sprites.
TEST_F(LayersOnScreen, HighestDepthFirstThenListOrder) {
    scene.Sprite(scene.Layer(-100), blue, 16, 16);
    scene.Sprite(scene.Layer(100), red, 0, 0);
    CLayer* middle = scene.Layer(0);
    scene.Sprite(middle, green, 8, 8);
    scene.Sprite(middle, yellow, 12, 12);
    CLayer* hidden = scene.Layer(-200);
    hidden->m_visible = false;
    scene.Sprite(hidden, white, 0, 0);
    CLayerOldTilemapElement* old = CLayerManager::GetNewOldTilemapElement();
    CTileSlab* slab = CLayerManager::GetNewTileSlab();
    slab->tiles[0] = RTile{};
    slab->tiles[0].x = 24;
    slab->tiles[0].background = cyan;
    slab->tiles[0].width = slab->tiles[0].height = 8;
    slab->tiles[1] = slab->tiles[0];
    slab->tiles[1].y = 24;
    slab->tiles[1].visible = false;
    slab->count = 2;
    old->m_slabs.PushBack(slab);
    scene.Append(middle, old);

    StartFrame();
    DrawAndFinish();
    EXPECT_EQ(Pixel(2, 2), kRed);
    EXPECT_EQ(Pixel(9, 9), kGreen);
    EXPECT_EQ(Pixel(14, 14), kYellow) << "after green in the list";
    EXPECT_EQ(Pixel(20, 20), kBlue) << "depth -100 over depth 0";
    EXPECT_EQ(Pixel(22, 9), kGreen);
    EXPECT_EQ(Pixel(28, 4), kCyan);
    EXPECT_EQ(Pixel(2, 30), 0u) << "nothing of the invisible layer";
    EXPECT_EQ(Pixel(28, 28), kBlue) << "the invisible old tile";
}

// Instances draw their sprites (scaled ones through the full draw); an
// invisible one is skipped; the first deactivated one ends its layer, so
// the sprite after it is not drawn, while the next layer still is.
TEST_F(LayersOnScreen, InstancesUpToTheFirstDeactivatedOne) {
    CLayer* layer = scene.Layer(0);
    Instance(layer, yellow, 0, 0);
    CInstance* scaled = Instance(layer, cyan, 16, 0);
    scaled->i_imagescalex = scaled->i_imagescaley = 2;
    scaled->i_imageblend = 0xFF0000; // blue as a script colour: cyan becomes blue
    Instance(layer, cyan, 0, 16)->i_visible = false;
    Instance(layer, cyan, 16, 16)->i_deactivated = true;
    scene.Sprite(layer, red, 16, 16);
    scene.Sprite(scene.Layer(-10), cyan, 0, 24);

    StartFrame();
    DrawAndFinish();
    EXPECT_EQ(Pixel(2, 2), kYellow);
    EXPECT_EQ(Pixel(30, 14), kBlue);
    EXPECT_EQ(Pixel(4, 18), 0u) << "invisible";
    EXPECT_EQ(Pixel(20, 20), 0u) << "neither the deactivated instance nor what follows it";
    EXPECT_EQ(Pixel(4, 28), kCyan) << "the next layer";
}

// An object with a Draw event draws itself: its sprite is not drawn for it.
TEST_F(LayersOnScreen, DrawEventTakesThePlaceOfTheSprite) {
    g_drawEventSprite = cyan;
    CInstance* self = Instance(scene.Layer(0), red, 8, 8, 0);
    StartFrame();
    DrawAndFinish();
    ASSERT_EQ(g_drawEvents.size(), 1u);
    EXPECT_EQ(g_drawEvents[0], self);
    EXPECT_EQ(Pixel(10, 10), kCyan);
    EXPECT_EQ(Pixel(20, 20), 0u) << "no red sprite beyond the event's cyan one";
}

// A layer's shader is set before its begin script and reset after its end
// script; the layers without one draw as they are.
TEST_F(LayersOnScreen, LayerShaderFramesItsElements) {
    ASSERT_NE(GetShader(0), nullptr);
    ASSERT_TRUE(GetShader(0)->compiled) << GetShader(0)->errorText;
    CInstance scriptSelf(0, 0, 0, -1, false);
    CLayerManager::m_pScriptInstance = &scriptSelf;
    CLayer* shaded = scene.Layer(10);
    shaded->m_shader = 0;
    shaded->m_beginScript = 0;
    shaded->m_endScript = 1;
    scene.Sprite(shaded, yellow, 0, 0);
    scene.Sprite(scene.Layer(0), yellow, 16, 16);
    StartFrame();
    DrawAndFinish();
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[0].shader, GetShader(0));
    EXPECT_EQ(g_calls[1].shader, GetShader(0));
    EXPECT_EQ(g_NextActiveUserShader, nullptr);
    EXPECT_EQ(Pixel(4, 4), kMagenta);
    EXPECT_EQ(Pixel(20, 20), kYellow);
}

// Without a sprite a background covers the whole target with its colour and
// alpha, wherever the view looks, and leaves the matrices and render states
// as they were.
TEST_F(LayersOnScreen, BackgroundWithoutSpriteFillsTheTarget) {
    Background(scene.Layer(0), -1, 0x336699, 0.5f);
    StartFrame();
    GR_D3D_Set_View_Area(1000, -500, 7, 90, 30);
    float before[3][16], after[3][16];
    for (int m = 0; m < 3; ++m) Graphics::GetMatrix(m, before[m]);
    const int depth = g_States.StackDepth();
    DrawAndFinish();
    for (int m = 0; m < 3; ++m) Graphics::GetMatrix(m, after[m]);
    EXPECT_EQ(std::memcmp(before, after, sizeof before), 0);
    EXPECT_EQ(g_States.StackDepth(), depth);
    for (auto [x, y] :
         {std::pair{0, 0}, std::pair{31, 0}, std::pair{16, 16}, std::pair{0, 31}, std::pair{31, 31}})
        EXPECT_EQ(Pixel(x, y), 0x7F336699u) << x << ", " << y;
}

// With a sprite: tiled from the layer's offset with the sprite's origin
// taken as its corner (and given back afterwards), or stretched over the room.
TEST_F(LayersOnScreen, BackgroundSpriteTiledOrStretched) {
    Sprite_Data(yellow)->m_xorigin = Sprite_Data(yellow)->m_yorigin = 3;
    CLayer* layer = scene.Layer(0);
    layer->m_xoffset = 4;
    layer->m_yoffset = 6;
    CLayerBackgroundElement* e = Background(layer, yellow, 0xFFFFFF, 1);
    e->m_pBackground->htiled = true;
    StartFrame();
    DrawAndFinish();
    EXPECT_EQ(Sprite_Data(yellow)->m_xorigin, 3);
    EXPECT_EQ(Pixel(0, 6), kYellow) << "tiled to the left of the offset";
    EXPECT_EQ(Pixel(31, 13), kYellow);
    EXPECT_EQ(Pixel(10, 5), 0u);
    EXPECT_EQ(Pixel(10, 14), 0u) << "not tiled vertically";

    e->m_pBackground->stretch = true;
    layer->m_xoffset = layer->m_yoffset = 0;
    StartFrame();
    DrawAndFinish();
    for (auto [x, y] : {std::pair{0, 0}, std::pair{31, 31}, std::pair{5, 27}})
        EXPECT_EQ(Pixel(x, y), kYellow);
}

// Begin and end scripts run around each layer's elements, with the layer as
// the running object in the Draw event, as the script instance, at the
// layer's depth (or the forced one); the running event is restored after.
TEST_F(LayersOnScreen, LayerScriptsFrameTheLayerAtItsDepth) {
    CInstance scriptSelf(0, 0, 0, -1, false);
    CLayerManager::m_pScriptInstance = &scriptSelf;
    CLayer* back = scene.Layer(100);
    back->m_beginScript = 0;
    back->m_endScript = 1;
    scene.Sprite(back, red, 0, 0);
    CLayer* front = scene.Layer(-50);
    front->m_beginScript = 0;
    scene.Sprite(front, green, 0, 0);
    Current_Object = 77;
    Current_Event_Type = 3;
    Current_Event_Number = 2;

    StartFrame();
    DrawAndFinish();
    ASSERT_EQ(g_calls.size(), 3u);
    const ScriptCall& b = g_calls[0];
    EXPECT_EQ(b.script, 0);
    EXPECT_EQ(b.object, back->m_id);
    EXPECT_EQ(b.type, 8);
    EXPECT_EQ(b.subtype, 0);
    EXPECT_EQ(b.self, &scriptSelf);
    EXPECT_EQ(b.depth, 100);
    EXPECT_EQ(g_calls[1].script, 1);
    EXPECT_EQ(g_calls[1].pendingVertices, b.pendingVertices + 6) << "the layer's sprite between its scripts";
    EXPECT_EQ(g_calls[2].object, front->m_id);
    EXPECT_EQ(g_calls[2].depth, -50);
    EXPECT_EQ(Current_Object, 77);
    EXPECT_EQ(Current_Event_Type, 3);
    EXPECT_EQ(Current_Event_Number, 2);

    g_calls.clear();
    CLayerManager::m_ForceDepth = true;
    CLayerManager::m_ForcedDepth = 7;
    StartFrame();
    DrawAndFinish();
    ASSERT_EQ(g_calls.size(), 3u);
    for (const ScriptCall& c : g_calls) EXPECT_EQ(c.depth, 7);

    // Without an instance to run them as, the scripts do not run.
    g_calls.clear();
    CLayerManager::m_pScriptInstance = nullptr;
    StartFrame();
    DrawAndFinish();
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(Pixel(2, 2), kGreen);
}

// A room of every drawn kind at once: a colour fill at the back, a scrolled
// tilemap with turned cells, a tiled background sprite, sprites at two
// depths (one turned, one half transparent), an instance and a tile.
TEST_F(LayersOnScreen, LayeredRoomGoldenFrame) {
    Background(scene.Layer(1000), -1, 0x402010, 1);
    CLayer* tiles = scene.Layer(500);
    tiles->m_xoffset = -3;
    tiles->m_yoffset = 5;
    scene.Tilemap(tiles, kFastTileset, 5, 3,
                  {1, 1 | kTileMirror, 2, 1 | kTileRotate, 3, //
                   0, 1 | kTileFlip | kTileRotate, 3, 0, 1,   //
                   2, 3, 1 | kTileMirror | kTileFlip, 2, 0});
    CLayer* strip = scene.Layer(400);
    strip->m_yoffset = 28;
    Background(strip, cyan, 0xFFFFFF, 1)->m_pBackground->htiled = true;
    CLayer* sprites = scene.Layer(0);
    CLayerSpriteElement* turned = scene.Sprite(sprites, yellow, 16, 8);
    turned->m_angle = 45;
    turned->m_xscale = 1.5f;
    CInstance* i = Instance(sprites, green, 20, 18);
    i->i_imagescalex = 0.5f;
    CLayerTileElement* tile = CLayerManager::GetNewTileElement();
    tile->m_visible = true;
    tile->m_background = red;
    tile->m_left = tile->m_top = 4;
    tile->m_width = tile->m_height = 6;
    tile->m_x = 2;
    tile->m_y = 22;
    scene.Append(sprites, tile);
    CLayerSpriteElement* glass = scene.Sprite(scene.Layer(-100), white, 12, 12);
    glass->m_alpha = 0.5f;
    glass->m_blend = 0xFF8080;

    StartFrame(true);
    tagZQRECT rect{0, 0, kSize, kSize};
    DrawRoomLayers(&rect);
    GR_D3D_Finish_Frame(true);
    EXPECT_TRUE(MatchesGolden(ReadFrame(kSize, kSize), kSize, kSize, "layered_room.png"));
}

} // namespace
