// Writer-made tilesets and hand-built rooms with layers for the layer and
// tilemap drawing tests.
//
// The tileset page is 40 × 10: four 8 × 8 tile images with a one-pixel
// magenta border round each (so a coordinate off by the border shows).
// Image 0 is transparent, image 1 has red, green (top) and blue, white
// (bottom) quadrants, image 2 is yellow, image 3 cyan. Tileset 0 draws from
// the whole page; tileset 1 from an entry marked trimmed (its crop height
// one short) at the same scale, so it takes the general path and must draw
// the same picture. Both have two frames per tile: tile 1 shows image 1,
// tile 2 animates yellow then cyan, tile 3 is cyan.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "background_chunk.h"
#include "core/header_globals.h"
#include "core/memory_manager.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "render/bitmap32.h"
#include "render/image_decode.h"
#include "room/layer.h"
#include "room/layer_manager.h"
#include "room/room.h"
#include "sprite_fixture.h"
#include "sprites/sprite_table.h"
#include "texture_chunks.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"

// Vertex colours and read-back pixels as 0xAABBGGRR.
inline constexpr uint32_t kRed = 0xFF0000FFu, kGreen = 0xFF00FF00u, kBlue = 0xFFFF0000u, kWhite = 0xFFFFFFFFu;
inline constexpr uint32_t kYellow = 0xFF00FFFFu, kCyan = 0xFFFFFF00u, kMagenta = 0xFFFF00FFu;

inline constexpr int kTile = 8;
inline constexpr int kFastTileset = 0, kTrimmedTileset = 1;

// The colour of image `n`'s pixel (x, y) inside its 8 × 8 tile.
inline uint32_t TileImagePixel(int n, int x, int y) {
    switch (n) {
        case 1: return y < 4 ? (x < 4 ? kRed : kGreen) : (x < 4 ? kBlue : kWhite);
        case 2: return kYellow;
        case 3: return kCyan;
        default: return 0;
    }
}

class TilesetFile {
public:
    // `more` adds chunks of its own after the backgrounds.
    explicit TilesetFile(const std::function<void(wad::GameDataWriter&)>& more = {}) {
        std::vector<uint32_t> rgba(40 * 10, kMagenta);
        for (int n = 0; n < 4; ++n)
            for (int y = 0; y < kTile; ++y)
                for (int x = 0; x < kTile; ++x) rgba[(y + 1) * 40 + n * 10 + 1 + x] = TileImagePixel(n, x, y);
        uint8_t* png = nullptr;
        size_t length = 0;
        EXPECT_TRUE(PNG_EncodeRGBA(rgba.data(), 40, 10, &png, &length));
        wad::TexturePagesFields pages;
        pages.pages = {wad::TexturePageFields{0, 0, std::vector<uint8_t>(png, png + length)}};
        ZQ_Free(png);
        pages.newerLayout = true;
        wad::PageEntryFields whole;
        whole.width = whole.cropWidth = whole.untrimmedWidth = 40;
        whole.height = whole.cropHeight = whole.untrimmedHeight = 10;
        wad::PageEntryFields trimmed = whole;
        trimmed.cropHeight = 9;
        pages.entries = {whole, trimmed};

        wad::GameDataWriter w;
        wad::HeaderFields header;
        header.editorMajor = 2;
        header.version = 15; // scripts name their code entries
        wad::WriteHeader(w, header);
        wad::WriteTexturePages(w, pages);
        wad::BackgroundFields t;
        t.name = "ts_test";
        t.entryLabel = wad::PageEntryLabel("TPAG", 0);
        t.tileWidth = t.tileHeight = kTile;
        t.borderX = t.borderY = 1;
        t.columns = 4;
        t.framesPerTile = 2;
        t.tileCount = 4;
        t.tiles = {0, 0, 1, 1, 2, 3, 3, 3};
        wad::BackgroundFields u = t;
        u.name = "ts_trimmed";
        u.entryLabel = wad::PageEntryLabel("TPAG", 1);
        wad::WriteBackgrounds(w, {t, u});
        if (more) more(w);
        m_image = w.Build();
    }

    // Loads the file; the tilesets are backgrounds 0 and 1.
    bool Load() {
        Header_Reset();
        return GetResolution(m_image.data(), m_image.size()) && LoadGameData(m_image.data(), m_image.size());
    }

private:
    std::vector<uint8_t> m_image;
};

// A room made the running room for the test, with helpers that add layers
// and elements the way the data does.
class LayerRoom {
public:
    LayerRoom() {
        m_previous = Run_Room;
        Run_Room = &room;
        room.m_width = room.m_height = 32;
    }
    ~LayerRoom() {
        room.Clear();
        Run_Room = m_previous;
    }
    LayerRoom(const LayerRoom&) = delete;
    LayerRoom& operator=(const LayerRoom&) = delete;

    CLayer* Layer(int depth) { return CLayerManager::AddLayer(&room, depth, nullptr); }

    // A W × H tilemap of `tileset` with the given cells (row by row).
    CLayerTilemapElement* Tilemap(CLayer* layer, int tileset, int width, int height,
                                  const std::vector<uint32_t>& cells) {
        CLayerTilemapElement* e = CLayerManager::GetNewTilemapElement();
        e->m_tileset = tileset;
        e->m_width = width;
        e->m_height = height;
        e->m_pCells = ZQ_AllocArray<uint32_t>(static_cast<size_t>(width) * static_cast<size_t>(height));
        std::memcpy(e->m_pCells, cells.data(), cells.size() * sizeof(uint32_t));
        Append(layer, e);
        return e;
    }

    CLayerSpriteElement* Sprite(CLayer* layer, int sprite, float x, float y) {
        CLayerSpriteElement* e = CLayerManager::GetNewSpriteElement();
        e->m_sprite = sprite;
        e->m_x = x;
        e->m_y = y;
        Append(layer, e);
        return e;
    }

    // Elements are drawn in list order: each new one goes to the end.
    void Append(CLayer* layer, CLayerElementBase* e) {
        CLayerManager::AddNewElement(&room, layer, e, false);
        layer->m_elements.Unlink(e);
        layer->m_elements.PushBack(e);
    }

    CRoom room;

private:
    CRoom* m_previous = nullptr;
};

// A run-time sprite of one w × h frame of a single colour (0xAABBGGRR),
// origin at its top left; its index.
inline int SolidSprite(int w, int h, uint32_t abgr) {
    auto sprite = std::make_unique<CSprite>();
    sprite->m_width = w;
    sprite->m_height = h;
    sprite->m_numb = 1;
    // Frame bitmaps hold 0xAARRGGBB.
    const uint32_t argb = (abgr & 0xFF00FF00u) | (abgr >> 16 & 0xFF) | (abgr & 0xFF) << 16;
    sprite->m_bitmaps.push_back(MakeFrame(w, h, [argb](int, int) { return argb; }));
    sprite->ComputeCullRadius();
    sprite->InitTexture();
    return Sprite_AddRecord(std::move(sprite));
}
