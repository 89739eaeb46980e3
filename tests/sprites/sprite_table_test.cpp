// The sprite table and run-time frames: strips cut from PNGs written in the
// test (frame count, widths, origins), background removal, smoothing and
// kept alpha, frames read back from data-file pages pixel for pixel, names
// that share a hash, and duplicate, merge, delete and failed loads keeping
// the table and its names consistent.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <zlib.h>

#include "core/builtin_services.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "core/murmur_hash.h"
#include "error_capture.h"
#include "game_data_writer.h"
#include "gl_device_fixture.h"
#include "header_chunk.h"
#include "render/bitmap32.h"
#include "render/image_decode.h"
#include "render/page_entry.h"
#include "render/platform_bitmap.h"
#include "render/read_back.h"
#include "render/render_state.h"
#include "render/texture_table.h"
#include "render/view.h"
#include "sprite_chunk.h"
#include "sprite_fixture.h"
#include "sprites/sprite_table.h"
#include "temp_path.h"
#include "texture_chunks.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/instances/sprite_services.h"
#include "world/run/startup_services.h"

namespace {

// An opaque pixel whose channels all differ and depend on (x, y), so that a
// moved, mirrored or channel-swapped pixel never passes for the right one.
uint32_t Rgba(int x, int y) { // bytes red, green, blue, alpha
    const uint32_t r = 10 + 20 * x, g = 15 + 40 * y, b = 250 - 17 * x;
    return r | g << 8 | b << 16 | 0xFFu << 24;
}

// The frame-bitmap word (0xAARRGGBB) of an RGBA pixel.
uint32_t Argb(uint32_t rgba) {
    return (rgba & 0xFF00FF00u) | (rgba >> 16 & 0xFFu) | (rgba & 0xFFu) << 16;
}

std::vector<uint8_t> Png(int width, int height, const std::vector<uint32_t>& rgba) {
    uint8_t* out = nullptr;
    size_t length = 0;
    EXPECT_TRUE(PNG_EncodeRGBA(rgba.data(), width, height, &out, &length));
    std::vector<uint8_t> png(out, out + length);
    ZQ_Free(out);
    return png;
}

std::vector<uint32_t> Pattern(int width, int height) {
    std::vector<uint32_t> rgba;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) rgba.push_back(Rgba(x, y));
    return rgba;
}

class SpriteTable : public GLDeviceTest {
protected:
    // A bundle folder and a save area of the test's own: the save area is
    // searched first, and a shared one may hold any file of the same name.
    void SetUp() override {
        GLDeviceTest::SetUp();
        m_folder = TestTempPath("sprite_table");
        std::filesystem::create_directories(m_folder);
        if (const char* xdg = std::getenv("XDG_DATA_HOME")) m_oldXdg = xdg;
        setenv("XDG_DATA_HOME", (m_folder + "/data").c_str(), 1);
        LoadSave_SetGameName((m_folder + "/game.ios").c_str());
        LoadSave_SetWorkingDirectory((m_folder + "/").c_str());
    }
    void TearDown() override {
        Sprite_Init();
        if (m_oldXdg.has_value())
            setenv("XDG_DATA_HOME", m_oldXdg->c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
        LoadSave_SetGameName(nullptr);
        LoadSave_SetWorkingDirectory(nullptr);
        std::filesystem::remove_all(m_folder);
        GLDeviceTest::TearDown();
    }

    // A bundle file of these bytes.
    void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::ofstream(m_folder + "/" + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    // A game data file with the texture pages and sprites, loaded: the
    // sprites are the table's first indexes, their frames on the pages.
    void LoadDataFile(const wad::TexturePagesFields& pages,
                      const std::vector<std::optional<wad::SpriteFields>>& sprites) {
        wad::GameDataWriter w;
        wad::WriteHeader(w, wad::HeaderFields{});
        wad::WriteTexturePages(w, pages);
        wad::WriteSprites(w, sprites);
        m_image = w.Build();
        Header_Reset();
        ASSERT_TRUE(GetResolution(m_image.data(), m_image.size()) &&
                    LoadGameData(m_image.data(), m_image.size()))
            << GameData_LastError();
    }

    // The RGBA pixels of a frame's own texture, read back from the GPU side.
    std::vector<uint32_t> TexturePixels(const CSprite& s, int frame) {
        Texture* t = GR_Texture_Get_Surface(static_cast<int>(s.GetTexture(frame)));
        if (t == nullptr) return {};
        uint32_t* p = Graphics::Texture_GrabRect(t, 0, 0, s.m_width, s.m_height);
        if (p == nullptr) return {};
        std::vector<uint32_t> out(p, p + static_cast<size_t>(s.m_width) * static_cast<size_t>(s.m_height));
        ZQ_Free(p);
        return out;
    }

    std::string m_folder;
    std::optional<std::string> m_oldXdg;
    std::vector<uint8_t> m_image;
};

// ---- strips

TEST_F(SpriteTable, StripsAreCutIntoEqualFramesWithTheirOrigins) {
    // 12 × 2: leftover columns right of the last whole frame are dropped.
    Write("strip.png", Png(12, 2, Pattern(12, 2)));
    struct Case {
        int frames, count, width;
    } cases[] = {{3, 3, 4}, {0, 1, 12}, {-2, 1, 12}, {5, 5, 2}, {12, 12, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frames);
        const int index = Sprite_Add("strip.png", c.frames, true, false, false, true, 3, -2);
        ASSERT_GE(index, 0) << console.Text();
        const CSprite& s = *Sprite_Data(index);
        EXPECT_EQ(std::string(Sprite_Name(index)), "__newsprite" + std::to_string(index));
        EXPECT_STREQ(s.m_name, Sprite_Name(index));
        EXPECT_EQ(Sprite_Find(Sprite_Name(index)), index);
        ASSERT_EQ(s.m_numb, c.count);
        ASSERT_EQ(s.m_bitmaps.size(), static_cast<size_t>(c.count));
        EXPECT_EQ(s.m_width, c.width);
        EXPECT_EQ(s.m_height, 2);
        EXPECT_EQ(s.m_xorigin, 3);
        EXPECT_EQ(s.m_yorigin, -2);
        EXPECT_FALSE(s.m_transparent);
        for (int f = 0; f < c.count; ++f) {
            const CBitmap32& b = *s.m_bitmaps[static_cast<size_t>(f)];
            ASSERT_EQ(b.GetWidth(), c.width);
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < c.width; ++x)
                    ASSERT_EQ(b.Pixels()[y * c.width + x], Argb(Rgba(f * c.width + x, y)))
                        << "frame " << f << " at " << x << ", " << y;
            // The frame's own texture holds the same pixels, red first.
            std::vector<uint32_t> want;
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < c.width; ++x) want.push_back(Rgba(f * c.width + x, y));
            EXPECT_EQ(TexturePixels(s, f), want) << "frame " << f;
            ASSERT_NE(s.FrameEntry(f), nullptr);
            EXPECT_EQ(s.FrameEntry(f)->untrimmedWidth, c.width);
        }
    }
}

TEST_F(SpriteTable, MoreFramesThanColumnsAreRefusedAndLeaveNoIndex) {
    Write("strip.png", Png(12, 2, Pattern(12, 2)));
    const int before = Sprite_Number();
    EXPECT_EQ(Sprite_Add("strip.png", 13, true, false, false, true, 0, 0), -1);
    EXPECT_EQ(Sprite_Number(), before);
    CSprite s;
    EXPECT_FALSE(s.LoadFromData(reinterpret_cast<const uint8_t*>(Pattern(12, 2).data()), 12, 2, 13, true,
                                false, false, 0, 0, true));
    EXPECT_EQ(s.m_numb, 0) << "no frames without pixels";
    EXPECT_TRUE(s.m_bitmaps.empty());
}

// ---- background removal, smoothing and alpha

TEST_F(SpriteTable, BackgroundRemovalSmoothingAndKeptAlpha) {
    // 3 × 3 of one colour but the bottom-left pixel (the key) and a
    // half-transparent top-right pixel; the key's colour also inside at (1, 0).
    const uint32_t key = 0xFF1E140Au, plain = 0xFF5080C0u, half = 0x80C08050u;
    const std::vector<uint32_t> rgba = {plain, key, half, plain, plain, plain, key, plain, plain};
    Write("keyed.png", Png(3, 3, rgba));
    auto alphas = [](const CSprite& s) {
        std::vector<int> out;
        for (int i = 0; i < 9; ++i) out.push_back(static_cast<int>(s.m_bitmaps[0]->Pixels()[i] >> 24));
        return out;
    };

    // Opaque conversion, the key's colour keyed out everywhere.
    const int keyed = Sprite_Add("keyed.png", 1, true, true, false, true, 0, 0);
    ASSERT_GE(keyed, 0);
    EXPECT_TRUE(Sprite_Data(keyed)->m_transparent);
    EXPECT_EQ(alphas(*Sprite_Data(keyed)), (std::vector<int>{255, 0, 255, 255, 255, 255, 0, 255, 255}));

    // Smoothing: each keyed pixel takes 32 from every neighbour it touches.
    const int smooth = Sprite_Add("keyed.png", 1, true, true, true, true, 0, 0);
    ASSERT_GE(smooth, 0);
    EXPECT_TRUE(Sprite_Data(smooth)->m_smooth);
    EXPECT_EQ(alphas(*Sprite_Data(smooth)), (std::vector<int>{223, 0, 223, 191, 191, 223, 0, 223, 255}));

    // Without removal the image's own alpha is kept, and smoothing changes nothing.
    const int kept = Sprite_Add("keyed.png", 1, true, false, true, true, 0, 0);
    ASSERT_GE(kept, 0);
    EXPECT_FALSE(Sprite_Data(kept)->m_transparent);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(Sprite_Data(kept)->m_bitmaps[0]->Pixels()[i], Argb(rgba[i])) << i;

    // The alpha form keys nothing either: kept alpha wins; the flag follows the request.
    const int alpha = Sprite_Add_Alpha("keyed.png", 1, true, true, 0, 0);
    ASSERT_GE(alpha, 0);
    EXPECT_TRUE(Sprite_Data(alpha)->m_transparent);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(Sprite_Data(alpha)->m_bitmaps[0]->Pixels()[i], Argb(rgba[i])) << i;
}

// ---- frames from the screen

// A frame drawn to the window, grabbed and made into a sprite comes back
// with the pixels it was drawn with.
TEST_F(SpriteTable, SpritesFromScreenshotsKeepTheirColours) {
    Write("strip.png", Png(12, 2, Pattern(12, 2)));
    const int drawn = Sprite_Add("strip.png", 3, true, false, false, true, 0, 0);
    ASSERT_GE(drawn, 0);
    g_transRoomExtents[2] = g_transRoomExtents[3] = kSize;
    g_transRoomExtentsDirty = false;
    GR_D3D_Start_Frame();
    Graphics::Clear(0, 1.0f, 0, eClear_Colour);
    g_States.SetRenderState(eRS_BlendEnable, 0);
    Sprite_Data(drawn)->Draw(1, 0, 0, 1, 1, 0, 0xFFFFFF, 1);
    Graphics::Flush();
    std::unique_ptr<IBitmap> shot = GR_D3D_Screenshot_Part(0, 0, 4, 2);
    GR_D3D_Finish_Frame(true);
    ASSERT_NE(shot, nullptr);

    for (bool keepAlpha : {true, false}) {
        const int index = Sprite_AddEmpty();
        CSprite& s = *Sprite_Data(index);
        ASSERT_TRUE(s.CreateFromBitmap(shot.get(), true, false, false, true, 0, 0, keepAlpha));
        EXPECT_STREQ(s.m_name, Sprite_Name(index)) << "the name survives";
        ASSERT_EQ(s.m_width, 4);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(s.m_bitmaps[0]->Pixels()[y * 4 + x], Argb(Rgba(4 + x, y))) << x << ", " << y;
        std::vector<uint32_t> want;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x) want.push_back(Rgba(4 + x, y));
        EXPECT_EQ(TexturePixels(s, 0), want);
    }
}

// ---- frames read back from the data file's pages

// An 8 × 8 page of the pattern. Sprite 0 (4 × 4): frame 0 the page's top-left
// 4 × 4 block; frame 1 a 2 × 3 block at (4, 0) trimmed out of 4 × 4 at offset
// (1, 1). Sprite 1 (8 × 8): one frame stored at half size, a 2 × 2 block at
// (4, 4) standing for 4 × 4 pixels at offset (2, 2).
wad::TexturePagesFields PatternPage() {
    wad::TexturePagesFields f;
    f.pages = {wad::TexturePageFields{0, 0, Png(8, 8, Pattern(8, 8))}};
    wad::PageEntryFields whole;
    whole.width = whole.height = whole.cropWidth = whole.cropHeight = 4;
    whole.untrimmedWidth = whole.untrimmedHeight = 4;
    wad::PageEntryFields trimmed = whole;
    trimmed.x = 4;
    trimmed.width = trimmed.cropWidth = 2;
    trimmed.height = trimmed.cropHeight = 3;
    trimmed.xOffset = trimmed.yOffset = 1;
    wad::PageEntryFields half;
    half.x = half.y = 4;
    half.width = half.height = 2;
    half.cropWidth = half.cropHeight = 4;
    half.xOffset = half.yOffset = 2;
    half.untrimmedWidth = half.untrimmedHeight = 8;
    f.entries = {whole, trimmed, half};
    return f;
}

std::vector<std::optional<wad::SpriteFields>> PageSprites() {
    wad::SpriteFields two;
    two.name = "spr_two";
    two.width = two.height = 4;
    two.pageEntries = {wad::PageEntryLabel("TPAG", 0), wad::PageEntryLabel("TPAG", 1)};
    wad::SpriteFields reduced;
    reduced.name = "spr_reduced";
    reduced.width = reduced.height = 8;
    reduced.pageEntries = {wad::PageEntryLabel("TPAG", 2)};
    return {two, reduced};
}

TEST_F(SpriteTable, FramesReadBackFromTheirPagesEqualTheirSourcePixels) {
    LoadDataFile(PatternPage(), PageSprites());
    ASSERT_EQ(Sprite_Number(), 2);
    ASSERT_TRUE(Sprite_Data(0)->UsesDataFileFrames());

    CSprite copy;
    copy.Assign(Sprite_Data(0));
    ASSERT_TRUE(copy.GenerateBitmapData());
    ASSERT_EQ(copy.m_bitmaps.size(), 2u);
    const CBitmap32& whole = *copy.m_bitmaps[0];
    ASSERT_EQ(whole.GetWidth(), 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(whole.Pixels()[y * 4 + x], Argb(Rgba(x, y))) << x << ", " << y;
    // The trimmed frame comes back at its untrimmed size, the stored block
    // where trimming took it from, transparent around it.
    const CBitmap32& trimmed = *copy.m_bitmaps[1];
    ASSERT_EQ(trimmed.GetWidth(), 4);
    ASSERT_EQ(trimmed.GetHeight(), 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool stored = x >= 1 && x < 3 && y >= 1 && y < 4;
            EXPECT_EQ(trimmed.Pixels()[y * 4 + x], stored ? Argb(Rgba(4 + x - 1, y - 1)) : 0u)
                << x << ", " << y;
        }

    // A frame the page holds at half size comes back at half size.
    CSprite reduced;
    reduced.Assign(Sprite_Data(1));
    ASSERT_TRUE(reduced.GenerateBitmapData());
    const CBitmap32& small = *reduced.m_bitmaps[0];
    ASSERT_EQ(small.GetWidth(), 4);
    ASSERT_EQ(small.GetHeight(), 4);
    EXPECT_EQ(small.Pixels()[0], 0u);
    EXPECT_EQ(small.Pixels()[1 * 4 + 1], Argb(Rgba(4, 4)));
    EXPECT_EQ(small.Pixels()[2 * 4 + 2], Argb(Rgba(5, 5)));
    EXPECT_EQ(small.Pixels()[3 * 4 + 3], 0u);

    // Only bitmap sprites have pages to read.
    CSprite vector;
    vector.m_kind = SPRITE_KIND_VECTOR;
    EXPECT_FALSE(vector.GenerateBitmapData());
}

TEST_F(SpriteTable, DuplicatesOfDataFileSpritesOwnTheirFramesAndTextures) {
    LoadDataFile(PatternPage(), PageSprites());
    const int copy = Sprite_Duplicate(0);
    ASSERT_EQ(copy, 2);
    const CSprite& d = *Sprite_Data(copy);
    EXPECT_FALSE(d.UsesDataFileFrames());
    EXPECT_FALSE(d.m_dataFileEntries);
    ASSERT_EQ(d.m_numb, 2);
    for (int f = 0; f < 2; ++f) {
        EXPECT_GE(d.GetTexture(f), 0) << "drawn from a texture of its own";
        ASSERT_NE(d.FrameEntry(f), nullptr);
        EXPECT_NE(d.FrameEntry(f), Sprite_Data(0)->FrameEntry(f));
    }
    EXPECT_EQ(TexturePixels(d, 0)[1 * 4 + 2], Rgba(2, 1));
    EXPECT_EQ(TexturePixels(d, 1)[1 * 4 + 1], Rgba(4, 0));
    EXPECT_EQ(TexturePixels(d, 1)[0] >> 24, 0u);

    // The reduced one is brought back to the size its frames are drawn at.
    const int big = Sprite_Duplicate(1);
    ASSERT_EQ(big, 3);
    const CBitmap32& b = *Sprite_Data(big)->m_bitmaps[0];
    ASSERT_EQ(b.GetWidth(), 8);
    EXPECT_EQ(b.Pixels()[2 * 8 + 2], Argb(Rgba(4, 4)));
    EXPECT_EQ(b.Pixels()[5 * 8 + 5], Argb(Rgba(5, 5)));
    EXPECT_EQ(b.Pixels()[1 * 8 + 1], 0u);

    // Remaking every sprite's textures leaves each drawing what it drew.
    Sprite_InitTextures();
    EXPECT_EQ(TexturePixels(*Sprite_Data(copy), 0)[1 * 4 + 2], Rgba(2, 1));
    EXPECT_EQ(Sprite_Data(copy)->m_localEntries.size(), 2u);
    EXPECT_EQ(Sprite_Data(0)->GetTexture(0), TPageEntry_Handle(Sprite_Data(0)->GetPageEntry(0)));

    // Data-file frames take no appended bitmap: the frame would have no pixels.
    std::unique_ptr<IBitmap> extra =
        BitmapFromRGBA(reinterpret_cast<const uint8_t*>(Pattern(2, 2).data()), 2, 2);
    EXPECT_FALSE(Sprite_Data(0)->AddFromBitmap(extra.get(), false, false, true));
    EXPECT_EQ(Sprite_Data(0)->m_numb, 2);
    EXPECT_TRUE(Sprite_Data(0)->m_bitmaps.empty());
    EXPECT_TRUE(Sprite_Data(0)->UsesDataFileFrames());
}

// ---- names

TEST_F(SpriteTable, NamesSharingAHashNeverStandForEachOther) {
    const char* a = "spr_64232";
    const char* b = "spr_73307";
    ASSERT_EQ(MurmurHash3_x86_32(a, std::strlen(a), 0) & 0x7FFFFFFF,
              MurmurHash3_x86_32(b, std::strlen(b), 0) & 0x7FFFFFFF)
        << "the premise: the two names collide in the name lookup's hash";
    const int ia = Sprite_AddRecord(std::make_unique<CSprite>(), a);
    const int ib = Sprite_AddRecord(std::make_unique<CSprite>(), b);
    EXPECT_EQ(Sprite_Find(a), ia);
    EXPECT_EQ(Sprite_Find(b), ib);
    EXPECT_STREQ(Sprite_Data(ib)->m_name, b);

    ASSERT_TRUE(Sprite_Delete(ia));
    EXPECT_EQ(Sprite_Find(a), -1);
    EXPECT_EQ(Sprite_Find(b), ib) << "deleting one never takes the other";
    EXPECT_TRUE(Sprite_Exists(ib));
    EXPECT_EQ(Sprite_Find(""), -1);
    EXPECT_EQ(Sprite_Find(nullptr), -1);
}

// ---- duplicate, merge and delete

TEST_F(SpriteTable, DuplicateMergeAndDeleteKeepTheTableConsistent) {
    ErrorCapture errors;
    Write("strip.png", Png(12, 2, Pattern(12, 2)));
    Write("big.png", Png(8, 8, Pattern(8, 8)));
    const int source = Sprite_Add("strip.png", 3, true, false, false, true, 1, 1);
    ASSERT_EQ(source, 0);

    const int copy = Sprite_Duplicate(source);
    ASSERT_EQ(copy, 1);
    EXPECT_STREQ(Sprite_Name(copy), "__newsprite1");
    EXPECT_EQ(Sprite_Find("__newsprite1"), copy);
    CSprite& d = *Sprite_Data(copy);
    ASSERT_EQ(d.m_numb, 3);
    EXPECT_EQ(d.m_xorigin, 1);
    for (int f = 0; f < 3; ++f) {
        EXPECT_NE(d.GetTexture(f), Sprite_Data(source)->GetTexture(f));
        EXPECT_EQ(d.m_bitmaps[static_cast<size_t>(f)]->Pixels()[5],
                  Sprite_Data(source)->m_bitmaps[static_cast<size_t>(f)]->Pixels()[5]);
    }

    // The copy outlives its source, textures and all.
    const int64_t sourceTexture = Sprite_Data(source)->GetTexture(0);
    ASSERT_TRUE(Sprite_Delete(source));
    EXPECT_FALSE(GR_Texture_Exists(static_cast<int>(sourceTexture))) << "freed with its sprite";
    EXPECT_FALSE(Sprite_Exists(source));
    EXPECT_STREQ(Sprite_Name(source), "<undefined>");
    EXPECT_EQ(Sprite_Find("__newsprite0"), -1);
    EXPECT_FALSE(Sprite_Delete(source));
    EXPECT_EQ(Sprite_Number(), 2) << "an index is never given back";
    EXPECT_EQ(TexturePixels(d, 2)[0], Rgba(8, 0));

    // Merging a larger sprite appends its frames at this sprite's size.
    const int big = Sprite_Add("big.png", 1, true, false, false, true, 0, 0);
    ASSERT_EQ(big, 2);
    d.AddFromSprite(Sprite_Data(big));
    EXPECT_TRUE(errors.Shown().empty());
    ASSERT_EQ(d.m_numb, 4);
    ASSERT_EQ(d.m_bitmaps.size(), 4u);
    EXPECT_EQ(d.m_bitmaps[3]->GetWidth(), 4);
    EXPECT_EQ(d.m_bitmaps[3]->GetHeight(), 2);
    EXPECT_EQ(d.m_bitmaps[3]->Pixels()[0], Argb(Rgba(0, 0)));
    EXPECT_GE(d.GetTexture(3), 0);
    EXPECT_NE(d.FrameEntry(3), nullptr);

    // An empty sprite takes the source's frames at the source's size, after
    // the message that it was not duplicated.
    const int empty = Sprite_AddEmpty();
    EXPECT_STREQ(Sprite_Name(empty), "__newsprite3");
    Sprite_Data(empty)->AddFromSprite(&d);
    EXPECT_TRUE(
        errors.ShownContains("sprite_merge() requires the destination sprite to have been duplicated"));
    EXPECT_EQ(Sprite_Data(empty)->m_numb, 4);
    EXPECT_EQ(Sprite_Data(empty)->m_width, 4);

    // Appending a bitmap stretches it to the sprite's size.
    std::unique_ptr<IBitmap> extra =
        BitmapFromRGBA(reinterpret_cast<const uint8_t*>(Pattern(8, 4).data()), 8, 4);
    ASSERT_TRUE(d.AddFromBitmap(extra.get(), false, false, true));
    ASSERT_EQ(d.m_numb, 5);
    EXPECT_EQ(d.m_bitmaps[4]->GetWidth(), 4);
    EXPECT_EQ(d.m_bitmaps[4]->Pixels()[1], Argb(Rgba(2, 0)));
    EXPECT_EQ(d.m_localEntries.size(), 5u);

    // A data-file source is refused and nothing changes.
    errors.Clear();
    auto dataFile = std::make_unique<CSprite>();
    dataFile->m_numb = 1;
    dataFile->m_pageEntryOffsets = {0};
    dataFile->m_dataFileEntries = true;
    const int data = Sprite_AddRecord(std::move(dataFile), "spr_pages");
    d.AddFromSprite(Sprite_Data(data));
    EXPECT_TRUE(errors.ShownContains("sprite_merge() requires the source sprite to have been duplicated"));
    EXPECT_EQ(d.m_numb, 5);

    // Assigning copies into an index, made there when it was emptied.
    EXPECT_TRUE(Sprite_Assign(source, copy));
    EXPECT_EQ(Sprite_Data(source)->m_numb, 5);
    EXPECT_STREQ(Sprite_Name(source), "__newsprite0");
    EXPECT_EQ(Sprite_Find("__newsprite0"), source);
    EXPECT_FALSE(Sprite_Assign(Sprite_Number(), copy));
    EXPECT_EQ(Sprite_Duplicate(Sprite_Number()), -1);
}

// ---- failures

TEST_F(SpriteTable, FailedLoadsLeaveNoIndexAndNoName) {
    Write("strip.png", Png(12, 2, Pattern(12, 2)));
    Write("junk.png", std::vector<uint8_t>(64, 0x5A));
    Write("rig.json", {'{', '"', 'b', '"', ':', '1', '}'});
    Write("ship.zqs", {1, 2, 3, 4});
    // An image named as a skeleton file holds no skeleton: it is read as an
    // image. (Bundle files are stored under lower-case names.)
    Write("shot.json", Png(12, 2, Pattern(12, 2)));
    const int first = Sprite_AddEmpty();
    const int next = first + 1;
    const std::string nextName = "__newsprite" + std::to_string(next);

    EXPECT_EQ(Sprite_Add(nullptr, 1, true, false, false, true, 0, 0), -1);
    for (const char* path : {"missing.png", "junk.png", "rig.json", "ship.zqs", "SHIP.ZQS",
                             "http://example.com/a.png", "https://example.com/a.png"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(Sprite_Add(path, 1, true, false, false, true, 0, 0), -1);
        EXPECT_EQ(Sprite_Add_Alpha(path, 1, true, true, 0, 0), -1);
        EXPECT_EQ(Sprite_Number(), next);
        EXPECT_EQ(Sprite_Find(nextName.c_str()), -1) << "no name left behind";
    }
    EXPECT_NE(std::strstr(console.Text(), "http://example.com/a.png"), nullptr);
    EXPECT_EQ(Sprite_Add_BIN(nullptr, 2, 2, 1, true, false, 0, 0), -1);
    const std::vector<uint32_t> pixels = Pattern(2, 2);
    EXPECT_EQ(Sprite_Add_BIN(reinterpret_cast<const uint8_t*>(pixels.data()), 2, 2, 3, true, false, 0, 0),
              -1);
    EXPECT_EQ(Sprite_Number(), next);
    EXPECT_FALSE(Sprite_Replace(first, "missing.png", 1, true, false, false, true, 0, 0));
    EXPECT_FALSE(Sprite_Replace(first, "http://example.com/a.png", 1, true, false, false, true, 0, 0));
    EXPECT_FALSE(Sprite_Replace(-1, "strip.png", 1, true, false, false, true, 0, 0));
    EXPECT_EQ(Sprite_Data(first)->m_numb, 0);

    // The next add takes the index a failed one would have had.
    const int skeletonName = Sprite_Add("shot.JSON", 2, true, false, false, true, 0, 0);
    ASSERT_EQ(skeletonName, next);
    EXPECT_EQ(Sprite_Find(nextName.c_str()), next);
    EXPECT_EQ(Sprite_Data(next)->m_kind, SPRITE_KIND_BITMAP);
    EXPECT_EQ(Sprite_Data(next)->m_numb, 2);

    const int bin =
        Sprite_Add_BIN(reinterpret_cast<const uint8_t*>(pixels.data()), 2, 2, 2, true, false, 1, 0);
    ASSERT_EQ(bin, next + 1);
    EXPECT_EQ(Sprite_Data(bin)->m_bitmaps[1]->Pixels()[1], Argb(Rgba(1, 1))) << "frame 1 is the right column";

    // Replacing fills an index in place and keeps its name.
    ASSERT_TRUE(Sprite_Replace(first, "strip.png", 4, true, false, false, true, 0, 0));
    EXPECT_EQ(Sprite_Data(first)->m_numb, 4);
    EXPECT_STREQ(Sprite_Data(first)->m_name, Sprite_Name(first));
    EXPECT_EQ(Sprite_Find(Sprite_Name(first)), first);
}

// ---- alpha from another sprite

TEST_F(SpriteTable, AlphaFromAnotherSpriteReachesTheTextures) {
    ErrorCapture errors;
    Write("strip.png", Png(12, 2, Pattern(12, 2)));
    const int target = Sprite_Add("strip.png", 2, true, false, false, true, 0, 0);
    // One grey frame: column x has brightness 40 × x.
    std::vector<uint32_t> grey;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 6; ++x) grey.push_back(0xFF000000u | 0x010101u * static_cast<uint32_t>(40 * x));
    const int mask =
        Sprite_Add_BIN(reinterpret_cast<const uint8_t*>(grey.data()), 6, 2, 1, true, false, 0, 0);
    ASSERT_GE(target, 0);
    ASSERT_GE(mask, 0);
    CSprite& t = *Sprite_Data(target);
    t.SetAlphaFromSprite(Sprite_Data(mask));
    EXPECT_TRUE(errors.Shown().empty());
    for (int f = 0; f < 2; ++f) {
        const std::vector<uint32_t> drawn = TexturePixels(t, f);
        ASSERT_EQ(drawn.size(), 12u);
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(t.m_bitmaps[static_cast<size_t>(f)]->Pixels()[6 + x] >> 24, 40u * x);
            EXPECT_EQ(drawn[6 + static_cast<size_t>(x)], (Rgba(6 * f + x, 1) & 0x00FFFFFFu) | (40u * x) << 24)
                << "frame " << f << " column " << x;
        }
    }

    auto pages = std::make_unique<CSprite>();
    pages->m_numb = 1;
    pages->m_pageEntryOffsets = {0};
    pages->m_dataFileEntries = true;
    const int data = Sprite_AddRecord(std::move(pages), "spr_pages");
    Sprite_Data(data)->SetAlphaFromSprite(&t);
    EXPECT_TRUE(errors.ShownContains(
        "sprite_set_alpha_from_sprite() requires the destination sprite to have been duplicated"));
    t.SetAlphaFromSprite(Sprite_Data(data));
    EXPECT_TRUE(errors.ShownContains(
        "sprite_set_alpha_from_sprite() requires the source sprite to have been duplicated"));
}

// ---- the legacy table stream

// The sprite stream form 800 of one 2 × 1 frame whose pixels are `pixel`,
// origin (1, 0), one shared mask.
std::vector<uint8_t> SpriteStream(uint32_t pixel) {
    std::vector<uint8_t> out;
    for (uint32_t w :
         {800u, 1u, 0u, 1u, 800u, 2u, 1u, 8u, pixel, pixel, 0u, 800u, 2u, 1u, 0u, 0u, 0u, 0u, 1u, 1u})
        PutWord(out, w);
    return out;
}

// One index of the table stream: absent, or a name and the sprite.
std::vector<uint8_t> Slot(const char* name, uint32_t pixel) {
    std::vector<uint8_t> out;
    PutWord(out, name != nullptr ? 1 : 0);
    if (name == nullptr) return out;
    PutWord(out, static_cast<uint32_t>(std::strlen(name)));
    out.insert(out.end(), name, name + std::strlen(name));
    const std::vector<uint8_t> sprite = SpriteStream(pixel);
    out.insert(out.end(), sprite.begin(), sprite.end());
    return out;
}

std::vector<uint8_t> Deflated(const std::vector<uint8_t>& bytes) {
    uLongf length = compressBound(bytes.size());
    std::vector<uint8_t> out(length);
    EXPECT_EQ(compress(out.data(), &length, bytes.data(), bytes.size()), Z_OK);
    out.resize(length);
    return out;
}

TEST_F(SpriteTable, LegacyTableStreamsAreReadWholeOrNotAtAll) {
    const uint32_t red = 0xFFFF0000u, blue = 0xFF0000FFu;
    std::vector<uint8_t> inline400;
    for (uint32_t w : {400u, 3u}) PutWord(inline400, w);
    for (const auto& slot : {Slot("spr_a", red), Slot(nullptr, 0), Slot("spr_b", blue)})
        inline400.insert(inline400.end(), slot.begin(), slot.end());
    ASSERT_TRUE(Sprite_Load(inline400.data(), inline400.size()));
    ASSERT_EQ(Sprite_Number(), 3);
    EXPECT_EQ(Sprite_Find("spr_a"), 0);
    EXPECT_FALSE(Sprite_Exists(1));
    EXPECT_EQ(Sprite_Find("spr_b"), 2);
    const CSprite& b = *Sprite_Data(2);
    EXPECT_STREQ(b.m_name, "spr_b");
    EXPECT_EQ(b.m_numb, 1);
    EXPECT_EQ(b.m_width, 2);
    EXPECT_EQ(b.m_xorigin, 1);
    EXPECT_EQ(TexturePixels(b, 0), (std::vector<uint32_t>{Argb(blue), Argb(blue)}))
        << "drawn from its own texture";

    std::vector<uint8_t> compressed800;
    for (uint32_t w : {800u, 2u}) PutWord(compressed800, w);
    for (const auto& slot : {Slot("spr_c", blue), Slot(nullptr, 0)}) {
        const std::vector<uint8_t> packed = Deflated(slot);
        PutWord(compressed800, static_cast<uint32_t>(packed.size()));
        compressed800.insert(compressed800.end(), packed.begin(), packed.end());
    }
    ASSERT_TRUE(Sprite_Load(compressed800.data(), compressed800.size()));
    ASSERT_EQ(Sprite_Number(), 2);
    EXPECT_EQ(Sprite_Find("spr_c"), 0);
    EXPECT_EQ(Sprite_Find("spr_a"), -1) << "the old table is gone";
    EXPECT_EQ(Sprite_Data(0)->m_bitmaps[0]->Pixels()[1], blue);

    // Anything damaged leaves the table as it was.
    std::vector<uint8_t> version = inline400;
    version[1] = 0x02; // 400 becomes 656
    std::vector<uint8_t> cut(inline400.begin(), inline400.end() - 3);
    std::vector<uint8_t> badSprite = inline400;
    badSprite[8 + 4 + 4 + 5] = 0x21; // the first sprite's form version
    std::vector<uint8_t> badZlib = compressed800;
    badZlib[8 + 4 + 2] ^= 0xFF;
    std::vector<uint8_t> huge;
    for (uint32_t w : {400u, 0x7FFFFFFFu}) PutWord(huge, w);
    for (const auto* bad : {&version, &cut, &badSprite, &badZlib, &huge}) {
        EXPECT_FALSE(Sprite_Load(bad->data(), bad->size()));
        EXPECT_EQ(Sprite_Number(), 2);
        EXPECT_EQ(Sprite_Find("spr_c"), 0);
    }
    EXPECT_FALSE(Sprite_Load(nullptr, 0));
}

} // namespace
