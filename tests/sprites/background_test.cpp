// Backgrounds and tilesets: "BGND" records from writer-made data files (the
// tileset fields by version and generation, damaged records refused whole),
// the table's operations, images from files sniffed by their first bytes,
// and backgrounds drawn on the headless context and probed pixel by pixel.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "background_chunk.h"
#include "console_capture.h"
#include "core/header_globals.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "game_data_writer.h"
#include "gl_device_fixture.h"
#include "header_chunk.h"
#include "image_fixtures.h"
#include "render/bitmap32.h"
#include "render/image_decode.h"
#include "render/page_entry.h"
#include "render/texture_draw.h"
#include "render/view.h"
#include "room/room_services.h"
#include "sprites/background.h"
#include "sprites/background_table.h"
#include "temp_path.h"
#include "texture_chunks.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"

namespace {

// RGBA pixels (0xAABBGGRR words) as a PNG.
std::vector<uint8_t> Png(int width, int height, const std::vector<uint32_t>& pixels) {
    uint8_t* out = nullptr;
    size_t length = 0;
    EXPECT_TRUE(PNG_EncodeRGBA(pixels.data(), width, height, &out, &length));
    std::vector<uint8_t> png(out, out + length);
    ZQ_Free(out);
    return png;
}

// A 4 × 4 page whose quadrants are red, green (top) and blue, white
// (bottom); entry 0 is the whole page, entry 1 its bottom-right quadrant
// trimmed out of a 4 × 4 image at offset (2, 2).
wad::TexturePagesFields Pages() {
    std::vector<uint32_t> rgba(16);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            rgba[y * 4 + x] =
                y < 2 ? (x < 2 ? 0xFF0000FFu : 0xFF00FF00u) : (x < 2 ? 0xFFFF0000u : 0xFFFFFFFFu);
    wad::TexturePagesFields f;
    f.pages = {wad::TexturePageFields{0, 0, Png(4, 4, rgba)}};
    wad::PageEntryFields whole;
    whole.width = whole.height = whole.cropWidth = whole.cropHeight = 4;
    whole.untrimmedWidth = whole.untrimmedHeight = 4;
    wad::PageEntryFields corner = whole;
    corner.x = corner.y = 2;
    corner.width = corner.height = corner.cropWidth = corner.cropHeight = 2;
    corner.xOffset = corner.yOffset = 2;
    f.entries = {whole, corner};
    return f;
}

wad::BackgroundFields Tileset() {
    wad::BackgroundFields b;
    b.name = "ts_ground";
    b.entryLabel = wad::PageEntryLabel("TPAG", 0);
    b.tileWidth = 2;
    b.tileHeight = 3;
    b.borderX = 1;
    b.borderY = 4;
    b.columns = 5;
    b.framesPerTile = 2;
    b.tileCount = 3;
    b.frameTime = 250000;
    b.tiles = {0, 0, 1, 2, 3, 4};
    return b;
}

std::vector<uint8_t> File(const std::vector<std::optional<wad::BackgroundFields>>& backgrounds,
                          int editorMajor = 2, const wad::TexturePagesFields& pages = Pages()) {
    wad::GameDataWriter w;
    wad::HeaderFields header;
    header.editorMajor = editorMajor;
    wad::WriteHeader(w, header);
    wad::TexturePagesFields layout = pages;
    layout.newerLayout = editorMajor > 1;
    wad::WriteTexturePages(w, layout);
    wad::WriteBackgrounds(w, backgrounds);
    return w.Build();
}

bool Load(std::vector<uint8_t>& image) {
    Header_Reset();
    return GetResolution(image.data(), image.size()) && LoadGameData(image.data(), image.size());
}

// ---- records and the table, without drawing

class BackgroundRecords : public QuietTest {
protected:
    void TearDown() override { Background_Free(); }
    std::vector<uint8_t> image;
};

TEST_F(BackgroundRecords, TilesetFieldsAndTileDataByVersionAndGeneration) {
    wad::BackgroundFields v1 = Tileset();
    v1.name = "bg_old_record";
    v1.version = 1;
    wad::BackgroundFields bare;
    bare.name = "bg_bare";
    image = File({Tileset(), v1, std::nullopt, bare});
    ASSERT_TRUE(Load(image)) << GameData_LastError();
    ASSERT_EQ(Background_Number(), 4);

    const CBackground* t = Background_Data(0);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetWidth(), 4);
    EXPECT_EQ(t->GetHeight(), 4);
    EXPECT_EQ(t->GetTPE(), TPageEntry_AtOffset(wad::WordAt(image, wad::ChunkPayload(image, "TPAG") + 4)));
    EXPECT_FALSE(t->OwnsTPE());
    EXPECT_EQ(t->GetBitmap(), nullptr);
    EXPECT_EQ(t->TileWidth(), 2);
    EXPECT_EQ(t->TileHeight(), 3);
    EXPECT_EQ(t->BorderX(), 1);
    EXPECT_EQ(t->BorderY(), 4);
    EXPECT_EQ(t->Columns(), 5);
    EXPECT_EQ(t->FrameTime(), 250000);
    // Entry f + frames × t: tile 1 shows 1 then 2, tile 2 shows 3 then 4.
    EXPECT_EQ(t->TileImage(1, 0), 1u);
    EXPECT_EQ(t->TileImage(1, 1), 2u);
    EXPECT_EQ(t->TileImage(2, 1), 4u);
    EXPECT_EQ(t->TileImage(3, 0), 0u) << "outside the tile data: the empty tile";
    EXPECT_EQ(t->TileImage(0, 2), 0u);
    int frames = 0;
    double frameTime = 0;
    EXPECT_TRUE(Room_TilesetAnimation(0, &frames, &frameTime));
    EXPECT_EQ(frames, 2);
    EXPECT_EQ(frameTime, 250000.0);

    const CBackground* old = Background_Data(1);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->TileCount(), 0);
    EXPECT_EQ(old->FramesPerTile(), 0);
    EXPECT_EQ(old->TileWidth(), 0);
    EXPECT_EQ(old->GetWidth(), 4);

    EXPECT_FALSE(Background_Exists(2));
    EXPECT_STREQ(Background_Name(2), "<undefined>");
    int w = -1, h = -1;
    EXPECT_FALSE(Room_BackgroundSize(2, &w, &h));
    EXPECT_FALSE(Room_TilesetAnimation(2, &frames, &frameTime));
    EXPECT_TRUE(Room_BackgroundSize(3, &w, &h));
    EXPECT_EQ(w, 0) << "no page entry: no size";

    EXPECT_EQ(Background_Find("ts_ground"), 0);
    EXPECT_EQ(Background_Find("bg_bare"), 3);
    EXPECT_EQ(Background_Find("BG_BARE"), -1);
    EXPECT_EQ(Background_Find(nullptr), -1);
}

TEST_F(BackgroundRecords, OldGenerationDataReadsNoTilesetFields) {
    image = File({Tileset()}, 1);
    ASSERT_TRUE(Load(image)) << GameData_LastError();
    ASSERT_FALSE(g_isNimbar);
    const CBackground* t = Background_Data(0);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->TileCount(), 0);
    EXPECT_EQ(t->TileImage(1, 0), 0u);
    EXPECT_EQ(t->GetWidth(), 4);
}

TEST_F(BackgroundRecords, DamagedRecordsAreRefusedWhole) {
    struct Case {
        const char* what;
        std::function<void(wad::BackgroundFields&)> damage;
    };
    const Case cases[] = {
        {"tile data cut short", [](wad::BackgroundFields& b) { b.tiles.resize(5); }},
        {"negative tile count", [](wad::BackgroundFields& b) { b.tileCount = -1; }},
        {"negative frames", [](wad::BackgroundFields& b) { b.framesPerTile = -2; }},
        {"count × frames beyond 32 bits",
         [](wad::BackgroundFields& b) { b.tileCount = b.framesPerTile = 0x10000; }},
        {"entry that is no page entry", [](wad::BackgroundFields& b) { b.entryLabel = "BGND.0"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        wad::BackgroundFields good = Tileset();
        good.name = "bg_good";
        wad::BackgroundFields bad = Tileset();
        c.damage(bad);
        image = File({good, bad});
        EXPECT_FALSE(Load(image));
        EXPECT_NE(std::strstr(GameData_LastError(), "BGND"), nullptr) << GameData_LastError();
        EXPECT_EQ(Background_Number(), 0) << "nothing of the chunk stays";
    }
}

TEST_F(BackgroundRecords, NamesBeyondTheLoadBudgetAreRefused) {
    // One long name from every record: a small file naming far more text
    // than it holds.
    wad::BackgroundFields b;
    b.name = std::string(100000, 'n');
    b.version = 1;
    image = File(std::vector<std::optional<wad::BackgroundFields>>(100, b));
    ASSERT_LT(image.size(), size_t{200000}) << "the name is stored once";
    EXPECT_FALSE(Load(image));
    EXPECT_NE(std::strstr(GameData_LastError(), "names add up"), nullptr) << GameData_LastError();
    EXPECT_EQ(Background_Number(), 0);
}

TEST_F(BackgroundRecords, TableOperationsKeepIndexes) {
    wad::BackgroundFields second = Tileset();
    second.name = "bg_second";
    image = File({Tileset(), second});
    ASSERT_TRUE(Load(image)) << GameData_LastError();

    EXPECT_TRUE(Background_Delete(0));
    EXPECT_FALSE(Background_Exists(0));
    EXPECT_FALSE(Background_Delete(0));
    EXPECT_EQ(Background_Number(), 2);
    EXPECT_EQ(Background_Find("ts_ground"), -1);

    EXPECT_FALSE(Background_Assign(0, 0)) << "the source is gone";
    EXPECT_FALSE(Background_Assign(5, 1));
    EXPECT_TRUE(Background_Assign(0, 1)) << "an empty index gets a new background";
    ASSERT_TRUE(Background_Exists(0));
    EXPECT_STREQ(Background_Name(0), "__newbackground0");
    EXPECT_EQ(Background_Data(0)->GetTPE(), Background_Data(1)->GetTPE()) << "a data-image entry is shared";
    EXPECT_EQ(Background_Data(0)->TileCount(), 0) << "tileset fields are not copied";
    EXPECT_TRUE(Background_Assign(1, 1)) << "itself: nothing changes";
    EXPECT_EQ(Background_Data(1)->GetWidth(), 4);

    EXPECT_EQ(Background_AddEmpty(), 2);
    EXPECT_STREQ(Background_Name(2), "__newbackground2");
    EXPECT_EQ(Background_Duplicate(7), -1);
}

TEST_F(BackgroundRecords, FilesAreSniffedByTheirFirstBytes) {
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"JPEG signature cut short", std::string("\xFF\xD8", 2)},
        {"three PNG bytes", std::string("\x89PN", 3)},
        {"GIF7 is no GIF8", "GIF7a-------"},
        {"text", "hello, world"},
        {"PNG signature, nothing after", std::string("\x89PNG", 4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConsoleCapture capture;
        CBackground b;
        EXPECT_FALSE(b.LoadFromFileData("pic.bin", reinterpret_cast<const uint8_t*>(c.bytes.data()),
                                        c.bytes.size(), false, false, false, false));
        const std::string text = capture.Text();
        EXPECT_NE(text.find("Failed to decode background data in pic.bin\n"), std::string::npos) << text;
        EXPECT_EQ(b.GetTextureId(), -1);
    }
}

TEST_F(BackgroundRecords, MissingFilesAndURLsAddNothing) {
    EXPECT_EQ(Background_Add(nullptr, false, false, false), -1);
    EXPECT_EQ(Background_Add("no_such_background.png", false, false, false), -1);
    EXPECT_EQ(Background_Add("https://example.com/a.png", true, false, true), -1) << "no HTTP service";
    EXPECT_EQ(Background_Number(), 0);
    EXPECT_EQ(Background_AddEmpty(), 0);
    EXPECT_FALSE(Background_Replace(0, "no_such_background.png", false, false, false));
    EXPECT_FALSE(Background_Replace(1, "x.png", false, false, false));
    EXPECT_FALSE(Background_Replace(0, nullptr, false, false, false));
    EXPECT_FALSE(Background_Replace_Alpha(0, "http://example.com/a.png", false));
}

TEST_F(BackgroundRecords, NoScaleToDivideByReadsNothingBack) {
    // Stored pixels drawn smaller than they are stored (a scale of 0), and
    // none stored at all.
    for (int16_t width : {int16_t{4}, int16_t{0}}) {
        SCOPED_TRACE(width);
        wad::TexturePagesFields pages = Pages();
        pages.entries[0]->width = width;
        pages.entries[0]->cropWidth = 2;
        wad::BackgroundFields b;
        b.entryLabel = wad::PageEntryLabel("TPAG", 0);
        image = File({b}, 2, pages);
        ASSERT_TRUE(Load(image)) << GameData_LastError();
        CBackground copy;
        copy.Assign(Background_Data(0));
        EXPECT_FALSE(copy.GenerateBitmapData());
        EXPECT_EQ(copy.GetBitmap(), nullptr);
        EXPECT_EQ(Background_Duplicate(0), 1) << "the copy is made, without a bitmap";
    }
}

// ---- drawing on Mesa

class BackgroundOnScreen : public GLDeviceTest {
protected:
    void TearDown() override {
        Background_Free();
        MAX_TEXTURE_SIZE = m_maxTexture;
        GLDeviceTest::TearDown();
    }

    // The pixel at (x, y) from the top left as 0xAABBGGRR.
    uint32_t Pixel(int x, int yFromTop) {
        uint32_t p = 0;
        glReadPixels(x, kSize - 1 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &p);
        return p;
    }

    void StartFrame() {
        GR_D3D_Start_Frame();
        Graphics::Clear(0, 1.0f, 0, eClear_Colour);
        g_States.SetRenderState(eRS_BlendEnable, 0);
    }

    std::vector<uint8_t> image;
    int m_maxTexture = MAX_TEXTURE_SIZE;
};

constexpr uint32_t kRed = 0xFF0000FFu, kGreen = 0xFF00FF00u, kBlue = 0xFFFF0000u, kWhite = 0xFFFFFFFFu;

TEST_F(BackgroundOnScreen, WriterMadeBackgroundDrawsItsPageRegion) {
    wad::BackgroundFields corner;
    corner.name = "bg_corner";
    corner.entryLabel = wad::PageEntryLabel("TPAG", 1);
    image = File({Tileset(), corner});
    ASSERT_TRUE(Load(image)) << GameData_LastError();
    Background_InitTextures();
    const CBackground* whole = Background_Data(0);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(whole->GetTextureId(), -1) << "a data background has no texture of its own";

    StartFrame();
    ASSERT_TRUE(whole->Draw(0, 0, 2, 2, 0, 0xFFFFFF, 1));
    // The trimmed corner, stretched to 8 × 8 from (16, 16): its 4 × 4
    // untrimmed image at scale 2, of which only the stored quarter shows.
    ASSERT_TRUE(Background_Data(1)->DrawStretched(16, 16, 8, 8, 0xFFFFFF, 1));
    EXPECT_FALSE(Background_Data(1)->DrawStretched(16, 16, 0, 8, 0xFFFFFF, 1));
    GR_D3D_Finish_Frame(true);
    EXPECT_EQ(Pixel(1, 1), kRed);
    EXPECT_EQ(Pixel(6, 1), kGreen);
    EXPECT_EQ(Pixel(1, 6), kBlue);
    EXPECT_EQ(Pixel(7, 7), kWhite);
    EXPECT_EQ(Pixel(8, 8), 0u);
    EXPECT_EQ(Pixel(19, 19), 0u) << "the trimmed part stays empty";
    EXPECT_EQ(Pixel(21, 21), kWhite);
    EXPECT_EQ(Pixel(24, 24), 0u);
}

TEST_F(BackgroundOnScreen, BackgroundsFromImageFilesOfEachKind) {
    // Left half red, right half blue, 4 × 2: PNG and GIF exactly, JPEG near.
    std::vector<uint32_t> rgba = {kRed, kRed, kBlue, kBlue, kRed, kRed, kBlue, kBlue};
    GifSpec gif;
    gif.screenWidth = gif.width = 4;
    gif.screenHeight = gif.height = 2;
    gif.globalMap = {255, 0, 0, 0, 0, 255};
    gif.indices = {0, 0, 1, 1, 0, 0, 1, 1};
    std::vector<uint8_t> samples;
    for (int i = 0; i < 8; ++i) {
        const bool red = i % 4 < 2;
        samples.insert(samples.end(), {uint8_t(red ? 255 : 0), 0, uint8_t(red ? 0 : 255)});
    }
    struct Case {
        const char* file;
        std::vector<uint8_t> bytes;
        int tolerance;
    };
    const Case cases[] = {{"bg_test.png", Png(4, 2, rgba), 0},
                          {"bg_test.gif", MakeGif(gif), 0},
                          {"bg_test.jpg", MakeJpeg(4, 2, 3, samples), 60}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string folder = TestTempPath("backgrounds");
        std::filesystem::create_directories(folder);
        LoadSave_SetGameName((folder + "/game.ios").c_str());
        LoadSave_SetWorkingDirectory((folder + "/").c_str());
        std::ofstream(folder + "/" + c.file, std::ios::binary)
            .write(reinterpret_cast<const char*>(c.bytes.data()),
                   static_cast<std::streamsize>(c.bytes.size()));
        const int index = Background_Add(c.file, false, false, false);
        std::filesystem::remove_all(folder);
        ASSERT_GE(index, 0) << console.Text();
        const CBackground* b = Background_Data(index);
        EXPECT_EQ(b->GetWidth(), 4);
        EXPECT_EQ(b->GetHeight(), 2);
        ASSERT_NE(b->GetBitmap(), nullptr);
        EXPECT_TRUE(b->OwnsTPE());
        EXPECT_EQ(b->GetTPE()->page, b->GetTextureId());
        EXPECT_NE(TPageEntry_Handle(b->GetTPE()), -1) << "scripts can name its entry";

        StartFrame();
        ASSERT_TRUE(b->Draw(0, 0, 4, 4, 0, 0xFFFFFF, 1));
        GR_D3D_Finish_Frame(true);
        for (auto [x, y, want] : {std::tuple{2, 2, kRed}, std::tuple{14, 6, kBlue}}) {
            const uint32_t got = Pixel(x, y);
            for (int shift = 0; shift < 32; shift += 8)
                EXPECT_NEAR(int(got >> shift & 0xFF), int(want >> shift & 0xFF), c.tolerance)
                    << std::hex << got << " at " << std::dec << x << ", " << y;
        }
        EXPECT_EQ(Pixel(17, 2), 0u);
    }
}

TEST_F(BackgroundOnScreen, OversizedImageBecomesTheClampedPlaceholder) {
    MAX_TEXTURE_SIZE = 4;
    std::vector<uint32_t> rgba(8 * 2, kRed);
    std::vector<uint8_t> png = Png(8, 2, rgba);
    CBackground b;
    ASSERT_TRUE(b.LoadFromFileData("big.png", png.data(), png.size(), true, false, false, false));
    EXPECT_NE(std::strstr(console.Text(), "Error creating background: image width or height exceeds maximum "
                                          "texture size of 4\n"),
              nullptr);
    EXPECT_EQ(b.GetWidth(), 4);
    EXPECT_EQ(b.GetHeight(), 2);
    ASSERT_NE(b.GetBitmap(), nullptr);
    EXPECT_EQ(b.GetBitmap()->Pixels()[0], 0xFF0000FFu);
    EXPECT_EQ(b.GetBitmap()->Pixels()[7], 0xFF0000FFu) << "not keyed away by the transparent flag";
}

TEST_F(BackgroundOnScreen, DuplicateReadsTheImageBackFromItsPage) {
    wad::BackgroundFields corner;
    corner.name = "bg_corner";
    corner.entryLabel = wad::PageEntryLabel("TPAG", 1);
    image = File({corner});
    ASSERT_TRUE(Load(image)) << GameData_LastError();
    Background_InitTextures();

    const int copy = Background_Duplicate(0);
    ASSERT_EQ(copy, 1);
    const CBackground* d = Background_Data(copy);
    ASSERT_NE(d->GetBitmap(), nullptr);
    EXPECT_TRUE(d->OwnsTPE());
    EXPECT_GE(d->GetTextureId(), 0);
    EXPECT_EQ(d->GetTPE()->untrimmedWidth, Background_Data(0)->GetTPE()->untrimmedWidth);
    EXPECT_EQ(d->GetTPE()->untrimmedHeight, 4);
    // The stored white quarter lands where trimming took it from.
    const uint32_t* p = d->GetBitmap()->Pixels();
    EXPECT_EQ(p[0] >> 24, 0u) << "trimmed: transparent";
    EXPECT_EQ(p[3 * 4 + 3], 0xFFFFFFFFu);
    EXPECT_FALSE(Background_Data(copy)->GetBitmap() == nullptr);

    StartFrame();
    ASSERT_TRUE(d->DrawPart(2, 2, 2, 2, 0, 0, 3, 3, 0xFFFFFF, 1));
    GR_D3D_Finish_Frame(true);
    EXPECT_EQ(Pixel(1, 1), kWhite);
    EXPECT_EQ(Pixel(6, 6), 0u);
}

} // namespace

namespace {

TEST_F(BackgroundOnScreen, ColoursReplacementsAndAlphaFromAnother) {
    const int index = Background_AddEmpty();
    ASSERT_TRUE(Background_Data(index)->CreateColor(2, 2, 0x0000FF, false)); // script red
    CBackground gradient;
    ASSERT_TRUE(gradient.CreateGradient(4, 1, 0xFF0000, 0xFF0000, 0, false)); // script blue
    CBackground empty;
    empty.SetAlphaFromBackground(&gradient);
    EXPECT_NE(std::strstr(console.Text(), "Both bitmaps need to be duplicated first\n"), nullptr);

    // A replacement from a file into an empty index makes the background.
    const std::string folder = TestTempPath("replace");
    std::filesystem::create_directories(folder);
    LoadSave_SetGameName((folder + "/game.ios").c_str());
    LoadSave_SetWorkingDirectory((folder + "/").c_str());
    const std::vector<uint8_t> png = Png(1, 1, {kGreen});
    std::ofstream(folder + "/green.png", std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    const int slot = Background_AddEmpty();
    ASSERT_TRUE(Background_Delete(slot));
    EXPECT_TRUE(Background_Replace(slot, "green.png", false, false, false));
    EXPECT_FALSE(Background_Replace(slot, "missing.png", false, false, false));
    std::ofstream(folder + "/bad.png", std::ios::binary) << "\x89PNG but nothing more";
    EXPECT_FALSE(Background_Replace(slot, "bad.png", false, false, false));
    EXPECT_NE(std::strstr(console.Text(), "Failed to decode background data in bad.png\n"), nullptr);
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(Background_Exists(slot));
    EXPECT_EQ(Background_Data(slot)->GetWidth(), 1);

    StartFrame();
    ASSERT_TRUE(Background_Data(index)->DrawSimple(0, 0));
    ASSERT_TRUE(gradient.DrawTiled(0, 4, 1, 2, true, false, 0, 0, 0, 0, 0xFFFFFF, 1));
    ASSERT_TRUE(Background_Data(slot)->DrawGeneral(0, 0, 1, 1, 30, 0, 2, 2, 0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                                   0xFFFFFF, 1));
    GR_D3D_Finish_Frame(true);
    EXPECT_EQ(Pixel(1, 1), kRed);
    EXPECT_EQ(Pixel(2, 1), 0u);
    EXPECT_EQ(Pixel(0, 5), kBlue);
    EXPECT_EQ(Pixel(29, 5), kBlue) << "tiled across the room";
    EXPECT_EQ(Pixel(0, 6), 0u) << "not tiled down";
    EXPECT_EQ(Pixel(31, 1), kGreen) << "a file that does not decode keeps the previous image";
}

} // namespace
