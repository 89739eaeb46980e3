// Golden frames: writer-made games whose first room is drawn by the frame's
// draw pass on Mesa's software renderer and compared, pixel by pixel, with
// PNGs committed in tests/sprites/golden/ (each channel within 2, for
// llvmpipe's rounding). Each room is one entry of kRooms; a new room needs an
// entry and its PNG, made on purpose with tools/update_golden.sh (which runs
// this test with ZQ_UPDATE_GOLDEN=1: the frames are written, not compared).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "../world/event_fixture.h"
#include "background_chunk.h"
#include "console_capture.h"
#include "core/header_globals.h"
#include "core/memory_manager.h"
#include "core/run_globals.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "headless_gl.h"
#include "object_chunk.h"
#include "render/draw_primitives.h"
#include "render/gl_api.h"
#include "render/gl_layer.h"
#include "render/graphics_device.h"
#include "render/image_decode.h"
#include "render/render_state.h"
#include "render/surface.h"
#include "render/texture.h"
#include "render/texture_table.h"
#include "render/window_views.h"
#include "room/room.h"
#include "room/room_table.h"
#include "room_chunk.h"
#include "sprite_chunk.h"
#include "texture_chunks.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/input/input_state.h"
#include "world/instances/instance.h"
#include "world/objects/object_type.h"
#include "world/step/step_services.h"

namespace {

constexpr int kWidth = 64, kHeight = 48;
constexpr int kTolerance = 2;

// ---- the games' shared art: one 64 × 64 page

constexpr uint32_t kRed = 0xFF0000FF, kGreen = 0xFF00FF00, kBlue = 0xFFFF0000, kYellow = 0xFF00FFFF,
                   kMagenta = 0xFFFF00FF, kDark = 0xFF404040, kLight = 0xFF909090;

struct PageImage {
    int x, y, w, h;
};
// Sprites 0-2 (red, green, blue squares), backgrounds 0 (a checker) and 1
// (a tile sheet: yellow left half, magenta right half).
constexpr PageImage kImages[] = {
    {0, 0, 8, 8}, {8, 0, 8, 8}, {16, 0, 8, 8}, {0, 16, 16, 16}, {16, 16, 16, 16}};

std::vector<uint8_t> PagePng() {
    std::vector<uint32_t> page(64 * 64, 0);
    auto fill = [&](int x0, int y0, int w, int h, const std::function<uint32_t(int, int)>& colour) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) page[static_cast<size_t>((y0 + y) * 64 + x0 + x)] = colour(x, y);
    };
    fill(0, 0, 8, 8, [](int, int) { return kRed; });
    fill(8, 0, 8, 8, [](int, int) { return kGreen; });
    fill(16, 0, 8, 8, [](int, int) { return kBlue; });
    fill(0, 16, 16, 16, [](int x, int y) { return ((x / 8 + y / 8) % 2) != 0 ? kLight : kDark; });
    fill(16, 16, 16, 16, [](int x, int) { return x < 8 ? kYellow : kMagenta; });
    uint8_t* png = nullptr;
    size_t length = 0;
    EXPECT_TRUE(PNG_EncodeRGBA(page.data(), 64, 64, &png, &length));
    std::vector<uint8_t> out(png, png + length);
    ZQ_Free(png);
    return out;
}

enum Object { kObjRed, kObjGreen, kObjBlue, kObjPainter, kObjectCount };

// A game with the shared art, the objects and one room; the window is
// `windowW` × `windowH`. Old-generation data draws rooms without layers;
// new-generation data (rooms with a layer list, cameras) asks for
// `newGeneration`.
std::vector<uint8_t> Game(const wad::RoomFields& room, int windowW = kWidth, int windowH = kHeight,
                          bool newGeneration = false) {
    wad::GameDataWriter w;
    wad::HeaderFields header;
    header.editorMajor = newGeneration ? 2 : 1;
    header.windowWidth = windowW;
    header.windowHeight = windowH;
    header.roomOrder = {0};
    wad::WriteHeader(w, header);
    wad::TexturePagesFields pages;
    pages.newerLayout = newGeneration;
    pages.pages = {wad::TexturePageFields{0, 0, PagePng()}};
    for (const PageImage& image : kImages) {
        wad::PageEntryFields e;
        e.x = static_cast<int16_t>(image.x);
        e.y = static_cast<int16_t>(image.y);
        e.width = e.cropWidth = e.untrimmedWidth = static_cast<int16_t>(image.w);
        e.height = e.cropHeight = e.untrimmedHeight = static_cast<int16_t>(image.h);
        pages.entries.push_back(e);
    }
    wad::WriteTexturePages(w, pages);
    std::vector<std::optional<wad::SpriteFields>> sprites;
    for (int i = 0; i < 3; ++i) {
        wad::SpriteFields s;
        s.name = "spr_" + std::to_string(i);
        s.width = s.height = 8;
        s.right = s.bottom = 7;
        s.newGeneration = newGeneration;
        s.pageEntries = {wad::PageEntryLabel("TPAG", static_cast<size_t>(i))};
        sprites.push_back(s);
    }
    wad::WriteSprites(w, sprites);
    std::vector<std::optional<wad::BackgroundFields>> backgrounds;
    for (int i = 0; i < 2; ++i) {
        wad::BackgroundFields b;
        b.name = "bg_" + std::to_string(i);
        b.entryLabel = wad::PageEntryLabel("TPAG", static_cast<size_t>(3 + i));
        backgrounds.push_back(b);
    }
    wad::WriteBackgrounds(w, backgrounds);
    auto object = [](const char* name, uint32_t sprite, int32_t depth) {
        wad::ObjectFields o;
        o.name = name;
        o.spriteWord = sprite;
        o.depth = depth;
        return o;
    };
    wad::WriteObjects(w,
                      {object("obj_red", 0, 0), object("obj_green", 1, -10), object("obj_blue", 2, 10),
                       object("obj_painter", 0xFFFFFFFFu, 0)},
                      header.version);
    wad::WriteRooms(w, {room});
    return w.Build();
}

wad::RoomInstanceFields Instance(int object, int x, int y, int id) {
    wad::RoomInstanceFields i;
    i.object = object;
    i.x = x;
    i.y = y;
    i.id = 100001 + id;
    return i;
}

// ---- the painter's events: a cyan square where it stands, and a GUI frame

void PainterDraw(CInstance* self, CInstance*) {
    ZQVTL_draw_set_colour(0xFFFF00);
    ZQVTL_draw_rectangle(self->i_x, self->i_y, self->i_x + 11, self->i_y + 11, false);
}

void PainterGUI(CInstance*, CInstance*) {
    ZQVTL_draw_set_colour(0xFFFFFF);
    ZQVTL_draw_rectangle(40, 30, 59, 43, false);
    ZQVTL_draw_set_colour(0x0000FF);
    ZQVTL_draw_rectangle(42, 32, 57, 41, true);
}

// ---- the rooms

struct GoldenRoom {
    const char* name;
    std::function<std::vector<uint8_t>()> game;
    // Run after the game is loaded and before the frame (handlers, settings).
    std::function<void()> prepare;
};

// Sprites at three depths over a background strip, a legacy tile at the
// depth of the red square (drawn after it, below the green one), a scaled
// half-transparent sprite, and a foreground.
std::vector<uint8_t> DepthsGame() {
    wad::RoomFields room;
    room.width = kWidth;
    room.height = kHeight;
    room.colour = 0x602010;
    wad::RoomBackgroundFields strip;
    strip.visible = 1;
    strip.index = 0;
    strip.y = 32;
    strip.vtiled = 0;
    wad::RoomBackgroundFields front;
    front.visible = 1;
    front.foreground = 1;
    front.index = 1;
    front.x = 44;
    front.y = 24;
    front.htiled = front.vtiled = 0;
    room.backgrounds = std::vector<wad::RoomBackgroundFields>{strip, front};
    wad::RoomInstanceFields scaled = Instance(kObjRed, 30, 6, 4);
    scaled.xscale = 2.0f;
    scaled.yscale = 1.5f;
    scaled.colour = 0x80FFFFFF;
    room.instances = std::vector<wad::RoomInstanceFields>{
        Instance(kObjGreen, 16, 16, 0), Instance(kObjRed, 12, 12, 1), Instance(kObjBlue, 8, 8, 2), scaled};
    wad::RoomTileFields tile;
    tile.background = 1;
    tile.left = tile.top = 0;
    tile.width = tile.height = 8;
    tile.x = 14;
    tile.y = 6;
    tile.depth = 0;
    tile.id = 10000001;
    wad::RoomTileFields hidden = tile; // beyond the room: culled
    hidden.x = 200;
    hidden.id = 10000002;
    room.tiles = std::vector<wad::RoomTileFields>{tile, hidden};
    return Game(room);
}

// Two views side by side on a 64 × 32 application surface, letterboxed into
// the 64 × 48 window: the left shows the room's left corner, the right a
// part 64 pixels further on; the blue square between them shows in neither.
std::vector<uint8_t> TwoViewsGame() {
    wad::RoomFields room;
    room.width = 128;
    room.height = kHeight;
    room.colour = 0x204020;
    room.flags = 0x3; // views, clear the view background
    wad::RoomViewFields left;
    left.visible = 1;
    left.xview = left.yview = 0;
    left.wview = left.wport = 32;
    left.hview = left.hport = 32;
    left.xport = left.yport = 0;
    wad::RoomViewFields right = left;
    right.xview = 64;
    right.xport = 32;
    room.views = std::vector<wad::RoomViewFields>{left, right};
    room.instances = std::vector<wad::RoomInstanceFields>{
        Instance(kObjRed, 8, 8, 0), Instance(kObjGreen, 76, 20, 1), Instance(kObjBlue, 40, 8, 2)};
    return Game(room, kWidth, 32);
}

// An instance drawn by its own draw event, one by its sprite, a frame drawn
// by the GUI event in window pixels, and the cursor sprite over it all.
std::vector<uint8_t> GuiGame() {
    wad::RoomFields room;
    room.width = kWidth;
    room.height = kHeight;
    room.colour = 0x303030;
    room.instances =
        std::vector<wad::RoomInstanceFields>{Instance(kObjPainter, 6, 6, 0), Instance(kObjGreen, 24, 10, 1)};
    return Game(room);
}

const GoldenRoom kRooms[] = {
    {"depths", DepthsGame, [] {}},
    {"two_views", TwoViewsGame, [] { g_KeepAspectRatio = true; }},
    {"gui", GuiGame,
     [] {
         SetHandler(kObjPainter, EVENT_DRAW, 0, PainterDraw);
         SetHandler(kObjPainter, EVENT_DRAW, 64, PainterGUI);
         // The cursor sprite, after the GUI, at the pointer.
         Cursor_Sprite = 2;
         g_MousePosX[0] = 54;
         g_MousePosY[0] = 4;
     }},
};

void PrintTo(const GoldenRoom& room, std::ostream* out) {
    *out << room.name;
}

// ---- the frame

std::string GoldenPath(const std::string& name) {
    return std::string(ZQ_SOURCE_DIR) + "/tests/sprites/golden/" + name + ".png";
}

class GoldenFrame : public QuietTest, public ::testing::WithParamInterface<GoldenRoom> {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.Ok()) << gl.Error();
        Header_Reset();
    }
    void TearDown() override {
        Run_Room = nullptr;
        room_.reset();
        FINALIZE_Instance_Class();
        Object_Init();
        Room_Free();
        GR_Surface_FreeAll();
        TextureTable_Reset();
        while (Texture::ms_pFirst != nullptr) Graphics::FreeTexture(Texture::ms_pFirst);
        g_pBlankTexture = nullptr;
        GR_D3D_End();
        begin_end = 0;
        g_GraphicsInitialised = false;
        g_pGLLayer = nullptr;
        g_RenderTargetActive = 1;
        g_KeepAspectRatio = false;
        g_MousePosX[0] = g_MousePosY[0] = 0;
        g_States.Reset();
    }

    // The window after one frame, RGBA rows from the top.
    std::vector<uint8_t> Render(const GoldenRoom& golden) {
        // The device first: the pages become textures as they load.
        g_DeviceWidth = g_DisplayWidth = kWidth;
        g_DeviceHeight = g_DisplayHeight = kHeight;
        EXPECT_TRUE(GR_D3D_Init(nullptr, kWidth, kHeight, 0));
        g_States.Flush();
        image_ = golden.game();
        EXPECT_TRUE(GetResolution(image_.data(), image_.size()) && LoadGameData(image_.data(), image_.size()))
            << GameData_LastError();
        room_ = std::make_unique<CRoom>();
        room_->Assign(Room_Data(0), true);
        Run_Room = room_.get();
        golden.prepare();
        GR_D3D_Start_Frame();
        Draw_Room();
        GR_D3D_Finish_Frame(true);
        std::vector<uint8_t> bottomUp(static_cast<size_t>(kWidth * kHeight * 4));
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
        std::vector<uint8_t> rows(bottomUp.size());
        const size_t stride = kWidth * 4;
        for (int y = 0; y < kHeight; ++y)
            std::memcpy(&rows[static_cast<size_t>(y) * stride],
                        &bottomUp[static_cast<size_t>(kHeight - 1 - y) * stride], stride);
        return rows;
    }

    HeadlessGL gl{kWidth, kHeight};
    std::vector<uint8_t> image_;
    std::unique_ptr<CRoom> room_;
};

TEST_P(GoldenFrame, MatchesTheCommittedFrame) {
    const GoldenRoom& golden = GetParam();
    const std::vector<uint8_t> frame = Render(golden);
    const std::string path = GoldenPath(golden.name);
    const char* update = std::getenv("ZQ_UPDATE_GOLDEN");
    if (update != nullptr && std::strcmp(update, "1") == 0) {
        uint8_t* png = nullptr;
        size_t length = 0;
        ASSERT_TRUE(PNG_EncodeRGBA(frame.data(), kWidth, kHeight, &png, &length));
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(png), std::streamsize(length));
        ZQ_Free(png);
        std::printf("wrote %s\n", path.c_str());
        return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "no golden frame " << path << " (make it with tools/update_golden.sh)";
    const std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    PNGImage expected;
    ASSERT_TRUE(expected.Decode(data.data(), data.size(), false));
    ASSERT_EQ(expected.Width(), kWidth);
    ASSERT_EQ(expected.Height(), kHeight);
    int differing = 0;
    std::string first;
    for (int i = 0; i < kWidth * kHeight * 4; ++i) {
        if (std::abs(frame[static_cast<size_t>(i)] - expected.Pixels()[i]) <= kTolerance) continue;
        if (differing++ == 0)
            first = "pixel (" + std::to_string(i / 4 % kWidth) + ", " + std::to_string(i / 4 / kWidth) +
                    ") channel " + std::to_string(i % 4) + ": " +
                    std::to_string(frame[static_cast<size_t>(i)]) + " against " +
                    std::to_string(expected.Pixels()[i]);
    }
    EXPECT_EQ(differing, 0) << "first difference at " << first;
}

INSTANTIATE_TEST_SUITE_P(Rooms, GoldenFrame, ::testing::ValuesIn(kRooms),
                         [](const ::testing::TestParamInfo<GoldenRoom>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
