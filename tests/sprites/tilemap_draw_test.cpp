// Tilemaps: cell bits (mirror, flip, rotate, the masks) drawn on Mesa by the
// fast path and the general path alike, animation frames wrapping either
// way, scrolled layers, single tiles; hostile cell words that must draw and
// read nothing; and the fast path's culling and runs counted on the
// recording device layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "../render/recording_gl_layer.h"
#include "core/real_to_int.h"
#include "gl_device_fixture.h"
#include "layer_scene.h"
#include "render/bitmap32.h"
#include "render/legacy_3d.h"
#include "render/page_entry.h"
#include "render/texture_table.h"
#include "render/vertex_batch.h"
#include "render/view.h"
#include "sprites/background.h"
#include "sprites/background_table.h"
#include "sprites/layer_draw.h"
#include "sprites/tilemap_draw.h"

namespace {

constexpr uint32_t M = kTileMirror, F = kTileFlip, R = kTileRotate;

// What image 1 shows at (x, y) of a cell drawn with `bits`: mirror, then
// flip, then a quarter turn clockwise.
uint32_t Expected(uint32_t bits, int x, int y) {
    if ((bits & R) != 0) {
        const int sx = y, sy = 7 - x;
        x = sx;
        y = sy;
    }
    if ((bits & F) != 0) y = 7 - y;
    if ((bits & M) != 0) x = 7 - x;
    return TileImagePixel(1, x, y);
}

class TilemapOnScreen : public GLDeviceTest {
protected:
    void SetUp() override {
        GLDeviceTest::SetUp();
        ASSERT_TRUE(file.Load()) << GameData_LastError();
    }
    void TearDown() override {
        Sprite_Free();
        Background_Free();
        GLDeviceTest::TearDown();
    }

    void StartFrame() {
        GR_D3D_Start_Frame();
        Graphics::Clear(0, 1.0f, 0, eClear_Colour);
        // As the room's drawing does: the view over the whole target, and
        // culling against it.
        GR_D3D_Set_View_Area(0, 0, kSize, kSize, 0);
        DirtyRoomExtents();
        g_States.SetRenderState(eRS_BlendEnable, 0);
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

    TilesetFile file;
    LayerRoom scene;
};

// Every combination of the three bits on image 1, then cells that draw
// nothing: an empty index with high bits, a tile index the tileset lacks,
// and the largest index; bit 31 is masked off by the element's mask. The
// trimmed tileset takes the general path and must agree pixel for pixel.
TEST_F(TilemapOnScreen, CellBitsOnBothPaths) {
    const std::vector<uint32_t> cells = {1,          1 | M,     1 | F,      1 | R,         //
                                         1 | M | F,  1 | M | R, 1 | F | R,  1 | M | F | R, //
                                         0xF0000000, 2,         0x7FFFF,    4,             //
                                         3,          0,         0x80000001, 0x7FFFF | M | R};
    const std::vector<uint32_t> expectNothing = {8, 10, 11, 13, 15};
    for (int tileset : {kFastTileset, kTrimmedTileset}) {
        SCOPED_TRACE(tileset == kFastTileset ? "fast path" : "general path");
        scene.room.Clear();
        scene.Tilemap(scene.Layer(0), tileset, 4, 4, cells);
        StartFrame();
        DrawAndFinish();
        for (int cell = 0; cell < 16; ++cell) {
            const int cx = cell % 4 * kTile, cy = cell / 4 * kTile;
            for (auto [x, y] : {std::pair{2, 2}, std::pair{5, 2}, std::pair{2, 5}, std::pair{5, 5}}) {
                uint32_t want = 0;
                if (cell < 8) want = Expected(cells[cell], x, y);
                if (cell == 9) want = kYellow;
                if (cell == 12) want = kCyan;
                if (cell == 14) want = TileImagePixel(1, x, y);
                EXPECT_EQ(Pixel(cx + x, cy + y), want)
                    << std::hex << "cell " << std::dec << cell << " at " << x << ", " << y;
            }
        }
    }
}

TEST_F(TilemapOnScreen, TheGlobalMaskDrawsTurnedCellsPlain) {
    CLayerManager::m_TiledataMask = 0x0FFFFFFF;
    scene.Tilemap(scene.Layer(0), kFastTileset, 2, 1, {1 | M | F | R, 1 | R});
    StartFrame();
    DrawAndFinish();
    for (int cx : {0, kTile}) {
        EXPECT_EQ(Pixel(cx + 2, 2), kRed);
        EXPECT_EQ(Pixel(cx + 5, 5), kWhite);
    }
}

// Tile 2 shows yellow in frame 0 and cyan in frame 1; any frame wraps into
// the two, negative ones included, and a NaN frame counts as a frame.
TEST_F(TilemapOnScreen, AnimationFramesWrapEitherWay) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::pair<float, uint32_t> cases[] = {{0, kYellow},  {1, kCyan},     {2, kYellow},
                                                {3.9f, kCyan}, {-1, kCyan},    {-2, kYellow},
                                                {-3, kCyan},   {nan, kYellow}, {1e30f, kYellow}};
    for (auto [frame, want] : cases) {
        SCOPED_TRACE(frame);
        scene.room.Clear();
        scene.Tilemap(scene.Layer(0), kFastTileset, 1, 1, {2})->m_frame = frame;
        StartFrame();
        DrawAndFinish();
        EXPECT_EQ(Pixel(3, 3), want);
    }
    // A single tile takes its frame as an integer, wrapped the same way.
    const std::pair<int, uint32_t> tiles[] = {
        {1, kCyan}, {-1, kCyan}, {-4, kYellow}, {std::numeric_limits<int>::min(), kYellow}};
    for (auto [frame, want] : tiles) {
        SCOPED_TRACE(frame);
        StartFrame();
        tagZQRECT rect{0, 0, kSize, kSize};
        DrawTile(&rect, Background_Data(kTrimmedTileset), 2, frame, 8, 8, 0);
        DrawTile(&rect, Background_Data(kFastTileset), 2 | M, frame, 16, 16, 0);
        Graphics::Flush();
        GR_D3D_Finish_Frame(true);
        EXPECT_EQ(Pixel(10, 10), want);
        EXPECT_EQ(Pixel(20, 20), want);
    }
}

// A layer scrolled left and down moves its tilemap and its tiles; a tile
// element whose own position lies outside the view but whose scrolled one
// lies inside is drawn.
TEST_F(TilemapOnScreen, ScrolledLayersDrawWhereTheScrollingTakesThem) {
    CLayer* layer = scene.Layer(0);
    layer->m_xoffset = -16;
    layer->m_yoffset = 8;
    scene.Tilemap(layer, kFastTileset, 6, 1, {2, 2, 1, 2, 2, 3});
    CLayer* tiles = scene.Layer(-1);
    tiles->m_xoffset = -40;
    tiles->m_yoffset = 8;
    CLayerTileElement* tile = CLayerManager::GetNewTileElement();
    tile->m_visible = true;
    tile->m_background = SolidSprite(8, 8, kRed);
    tile->m_x = 64;
    tile->m_y = 8;
    tile->m_width = tile->m_height = 8;
    scene.Append(tiles, tile);
    StartFrame();
    DrawAndFinish();
    EXPECT_EQ(Pixel(2, 2), 0u) << "the rows moved down";
    EXPECT_EQ(Pixel(2, 10), kRed) << "column 2, image 1";
    EXPECT_EQ(Pixel(6, 14), kWhite);
    EXPECT_EQ(Pixel(12, 12), kYellow);
    EXPECT_EQ(Pixel(28, 12), kCyan);
    EXPECT_EQ(Pixel(26, 20), kRed) << "the tile at 64 scrolled to 24";
}

// ---- on the recording device layer: the fast path's vertices counted

struct V24 {
    float x, y, z;
    uint32_t colour;
    float u, v;
};

class TilemapCulling : public QuietTest {
protected:
    void SetUp() override {
        QuietTest::SetUp();
        ASSERT_TRUE(file.Load()) << GameData_LastError();
        device = std::make_unique<RecordingGLLayer>();
        Batch_Empty();
        g_numVertexBatches = 0;
    }
    void TearDown() override {
        Batch_Empty();
        device.reset();
        Background_Free();
        QuietTest::TearDown();
    }

    // The pending vertices (nothing flushed yet).
    std::vector<V24> Pending() {
        const auto* v = reinterpret_cast<const V24*>(Batch_Vertices());
        return {v, v + g_CurrentVertexCount};
    }

    CLayerTilemapElement* Map(int width, int height, uint32_t cell) {
        return scene.Tilemap(layer, kFastTileset, width, height,
                             std::vector<uint32_t>(static_cast<size_t>(width) * height, cell));
    }

    TilesetFile file;
    LayerRoom scene;
    CLayer* layer = scene.Layer(0);
    std::unique_ptr<RecordingGLLayer> device;
};

// A 100 × 100 map through a 64 × 64 area with 8-pixel tiles: 9 × 9 cells,
// the partial column and row beyond the area included; scrolled, the same
// count, starting at the cell under the area's corner.
TEST_F(TilemapCulling, OnlyTheCellsUnderTheAreaAreWritten) {
    CLayerTilemapElement* map = Map(100, 100, 3);
    tagZQRECT rect{0, 0, 64, 64};
    struct Case {
        float xoffset, yoffset;
        float left, top; // of the first quad
        int columns, rows;
    };
    for (const Case& c : {Case{0, 0, 0, 0, 9, 9}, Case{-100, -36, -4, -4, 9, 9},
                          Case{-100.5f, 0.25f, -4.5f, 0.25f, 9, 9}, Case{40, 16, 40, 16, 4, 7}}) {
        SCOPED_TRACE(c.xoffset);
        layer->m_xoffset = c.xoffset;
        layer->m_yoffset = c.yoffset;
        Batch_Empty();
        DrawLayerTilemapElement(&rect, layer, map, 0, 0, 0);
        const std::vector<V24> v = Pending();
        const int columns = c.columns, rows = c.rows;
        ASSERT_EQ(v.size(), static_cast<size_t>(columns * rows * 6));
        EXPECT_FLOAT_EQ(v[0].x, c.left);
        EXPECT_FLOAT_EQ(v[0].y, c.top);
        EXPECT_FLOAT_EQ(v.back().x, c.left + columns * kTile);
        EXPECT_FLOAT_EQ(v.back().y, c.top + rows * kTile);
    }
    // Scrolled wholly out of the area: nothing.
    layer->m_xoffset = -800;
    Batch_Empty();
    DrawLayerTilemapElement(&rect, layer, map, 0, 0, 0);
    EXPECT_EQ(g_CurrentVertexCount, 0);
}

// Quads go in runs as large as the batch takes: a map of 200 × 200 visible
// cells is 15 batches, the last one holding the remainder, and empty cells
// leave no unused quads behind.
TEST_F(TilemapCulling, QuadsGoInRunsAsLargeAsTheBatch) {
    CLayerTilemapElement* map = Map(200, 200, 3);
    for (int i = 0; i < 200; ++i) map->m_pCells[i * 200 + 7] = 0;
    tagZQRECT rect{0, 0, 1599, 1599};
    DrawLayerTilemapElement(&rect, layer, map, 0, 0, 0);
    const int quads = 200 * 199, perRun = Graphics::GetMaxDynamicVertexCount() / 6;
    EXPECT_EQ(g_numVertexBatches, quads / perRun);
    EXPECT_EQ(g_CurrentVertexCount, quads % perRun * 6);
    device->Take();
    DrawRoomLayers(&rect);
    const std::vector<std::string> calls = device->Take();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "batch"), quads / perRun + 2)
        << "one more for the remainder, and the closing flush of the layers";
}

// Cell words a script or a saved game may hold: indices past the tileset's
// tiles, all bits set, with frames anywhere. They draw nothing on either
// path and read nothing outside the frame table (ASan watches).
TEST_F(TilemapCulling, HostileCellsDrawNothing) {
    const std::vector<uint32_t> hostile = {4,          5,          0x7FFFF,    0xFFFFFFFF,
                                           0x7FFFFFFF, 0x0007FFFE, 0x40000004, 0xFFF80000};
    tagZQRECT rect{0, 0, 640, 480};
    for (int tileset : {kFastTileset, kTrimmedTileset}) {
        for (float frame : {0.0f, 1.0f, -7.0f, 3e9f}) {
            SCOPED_TRACE(frame);
            scene.room.Clear();
            layer = scene.Layer(0);
            scene.Tilemap(layer, tileset, 8, 1, hostile)->m_frame = frame;
            Batch_Empty();
            DrawRoomLayers(&rect);
            EXPECT_EQ(g_numVertexBatches, 0);
            for (uint32_t cell : hostile)
                DrawTile(&rect, Background_Data(tileset), cell, RealToInt32(frame), 0, 0, 0);
            EXPECT_EQ(g_CurrentVertexCount, 0);
        }
    }
}

TEST_F(TilemapCulling, TilesetTextureCoordinates) {
    Texture* texture = nullptr;
    float uBase, vBase, tileU, tileV, stepU, stepV, scaleX, scaleY;
    bool simple;
    CalcLayerTilemapParams(Background_Data(kFastTileset), &texture, uBase, vBase, tileU, tileV, stepU, stepV,
                           scaleX, scaleY, simple);
    const ZQTPageEntry* entry = Background_Data(kFastTileset)->GetTPE();
    const TextureEntry* page = GR_Texture_Entry(entry->page);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(texture, page->texture);
    EXPECT_TRUE(simple);
    EXPECT_FLOAT_EQ(scaleX, 1);
    EXPECT_FLOAT_EQ(tileU, 8 * page->invWidth);
    EXPECT_FLOAT_EQ(tileV, 8 * page->invHeight);
    EXPECT_FLOAT_EQ(uBase, page->invWidth);
    EXPECT_FLOAT_EQ(stepU, 10 * page->invWidth);
    EXPECT_FLOAT_EQ(stepV, 10 * page->invHeight);

    CalcLayerTilemapParams(Background_Data(kTrimmedTileset), &texture, uBase, vBase, tileU, tileV, stepU,
                           stepV, scaleX, scaleY, simple);
    EXPECT_EQ(texture, page->texture);
    EXPECT_FALSE(simple);
    EXPECT_FLOAT_EQ(scaleX, 1);
    EXPECT_FLOAT_EQ(scaleY, 1);

    CalcLayerTilemapParams(nullptr, &texture, uBase, vBase, tileU, tileV, stepU, stepV, scaleX, scaleY,
                           simple);
    EXPECT_EQ(texture, nullptr);
}

} // namespace
