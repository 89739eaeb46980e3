// Texture pages, page entries and embedded images from writer-made data
// files: entries patched to their pages in place, found by file offset and by
// script handle, hostile page data refused with nothing created or rewritten,
// and the texture table's own rules.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "console_capture.h"
#include "core/game_image.h"
#include "core/memory_manager.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "render/graphics_device.h"
#include "render/image_decode.h"
#include "render/page_entry.h"
#include "render/texture.h"
#include "render/texture_draw.h"
#include "render/texture_table.h"
#include "temp_path.h"
#include "texture_chunks.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"

namespace {

std::vector<uint8_t> Png(int width, int height) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0xFF336699u);
    uint8_t* out = nullptr;
    size_t length = 0;
    EXPECT_TRUE(PNG_EncodeRGBA(pixels.data(), width, height, &out, &length));
    std::vector<uint8_t> png(out, out + length);
    ZQ_Free(out);
    return png;
}

wad::PageEntryFields Entry(int16_t x, int16_t y, int16_t w, int16_t h, int16_t page) {
    wad::PageEntryFields e;
    e.x = x, e.y = y, e.width = w, e.height = h;
    e.cropWidth = w, e.cropHeight = h, e.untrimmedWidth = w, e.untrimmedHeight = h;
    e.page = page;
    return e;
}

// Two pages (8 × 4 and 2 × 2); entries 0 and 1 on the first, slot 2 empty,
// entry 3 on the second.
wad::TexturePagesFields Pages() {
    wad::TexturePagesFields f;
    f.pages = {wad::TexturePageFields{1, 0, Png(8, 4)}, wad::TexturePageFields{0, 2, Png(2, 2)}};
    f.entries = {Entry(0, 0, 4, 4, 0), Entry(4, 0, 4, 4, 0), std::nullopt, Entry(0, 0, 2, 2, 1)};
    return f;
}

std::vector<uint8_t> File(const wad::TexturePagesFields& pages,
                          const std::function<void(wad::GameDataWriter&)>& more = {}) {
    wad::GameDataWriter w;
    wad::WriteHeader(w, wad::HeaderFields{});
    wad::WriteTexturePages(w, pages);
    if (more) more(w);
    return w.Build();
}

bool Load(std::vector<uint8_t>& image) {
    Header_Reset();
    return GetResolution(image.data(), image.size()) && LoadGameData(image.data(), image.size());
}

// The file offset of page entry `i` (word i + 1 of "TPAG").
uint32_t EntryOffset(const std::vector<uint8_t>& image, size_t i) {
    return wad::WordAt(image, wad::ChunkPayload(image, "TPAG") + 4 + 4 * i);
}

ZQTPageEntry* EntryAt(std::vector<uint8_t>& image, size_t i) {
    return reinterpret_cast<ZQTPageEntry*>(image.data() + EntryOffset(image, i));
}

int TexturesInUse() {
    int n = 0;
    for (int i = 0; i < tex_numb; ++i) n += GR_Texture_Exists(i) ? 1 : 0;
    return n;
}

class TexturePages : public QuietTest {};

TEST_F(TexturePages, EntriesArePatchedToTheirPagesAndFoundByOffset) {
    std::vector<uint8_t> image = File(Pages());
    ASSERT_TRUE(Load(image)) << GameData_LastError();
    ASSERT_EQ(g_NumZQTextures, 2);
    EXPECT_EQ(EntryAt(image, 0)->page, g_ZQTextures[0]);
    EXPECT_EQ(EntryAt(image, 1)->page, g_ZQTextures[0]);
    EXPECT_EQ(EntryAt(image, 3)->page, g_ZQTextures[1]);
    EXPECT_EQ(GR_Texture_Entry(g_ZQTextures[0])->width, 8);
    EXPECT_EQ(GR_Texture_Entry(g_ZQTextures[1])->height, 2);
    // Flag bit 0 lets the page be reduced; the mip count asks for mipmaps.
    EXPECT_EQ(GR_Texture_Get_Surface(g_ZQTextures[0])->flags & eTexFlag_NoScale, 0u);
    EXPECT_NE(GR_Texture_Get_Surface(g_ZQTextures[1])->flags & eTexFlag_MipsWanted, 0u);

    EXPECT_EQ(TPageEntry_AtOffset(EntryOffset(image, 0)), EntryAt(image, 0));
    EXPECT_EQ(TPageEntry_AtOffset(0), nullptr);
    EXPECT_EQ(TPageEntry_AtOffset(EntryOffset(image, 0) + 2), nullptr) << "inside an entry, not an entry";
    ImageReader from(image.data(), image.size(), 0, image.size(), "SPRT");
    EXPECT_THROW(TPageEntry_Resolve(from, EntryOffset(image, 1) + 4), GameDataError);

    // The decoder of a page may read no further than its chunk's end.
    const size_t txtr = wad::ChunkPayload(image, "TXTR");
    const size_t txtrEnd = txtr + wad::WordAt(image, txtr - 4);
    const Texture* page = GR_Texture_Get_Surface(g_ZQTextures[1]);
    EXPECT_EQ(page->sourceData + page->sourceSize, image.data() + txtrEnd);

    // Loading the same image again maps the file's page indices again, and
    // the first load's pages are freed.
    ASSERT_TRUE(Load(image)) << GameData_LastError();
    EXPECT_EQ(EntryAt(image, 3)->page, g_ZQTextures[1]);
    EXPECT_EQ(TexturesInUse(), 2);
}

TEST_F(TexturePages, EntriesAreFoundBeforeTheWalkReachesTheirChunk) {
    // A sprite chunk stands before "TPAG" and asks for its entries first.
    std::vector<uint8_t> image = File(Pages());
    Header_Reset();
    ASSERT_TRUE(GetResolution(image.data(), image.size()));
    EXPECT_EQ(TPageEntry_AtOffset(EntryOffset(image, 3)), EntryAt(image, 3));
    EXPECT_EQ(EntryAt(image, 3)->page, 1) << "not rewritten before the pages are loaded";
    ASSERT_TRUE(LoadGameData(image.data(), image.size()));
    EXPECT_EQ(EntryAt(image, 3)->page, g_ZQTextures[1]);
}

TEST_F(TexturePages, ScriptHandlesResolveOnlyThroughTheRegistry) {
    std::vector<uint8_t> image = File(Pages());
    ASSERT_TRUE(Load(image));
    ZQTPageEntry* entry = EntryAt(image, 1);
    const int64_t handle = TPageEntry_Handle(entry);
    ASSERT_GE(handle, kPageEntryHandleFirst);
    EXPECT_EQ(TPageEntry_FromHandle(handle), entry);
    EXPECT_EQ(GR_Texture_FromHandle(handle), GR_Texture_Get_Surface(g_ZQTextures[0]));
    EXPECT_EQ(GR_Texture_FromHandle(g_ZQTextures[1]), GR_Texture_Get_Surface(g_ZQTextures[1]));
    // Numbers a script may hold that name nothing, an entry's address among them.
    for (int64_t n : {int64_t{-5}, int64_t{0x4001}, handle + 1000, kPageEntryHandleFirst + 0x10000000 + 3,
                      static_cast<int64_t>(reinterpret_cast<uintptr_t>(entry)), INT64_MAX})
        EXPECT_EQ(TPageEntry_FromHandle(n), nullptr) << n;
    EXPECT_EQ(GR_Texture_FromHandle(0x7FFFFFFF), nullptr);

    ZQTPageEntry made = {0, 0, 2, 2, 0, 0, 2, 2, 2, 2, static_cast<int16_t>(g_ZQTextures[1])};
    const int64_t mine = TPageEntry_Register(&made);
    EXPECT_EQ(TPageEntry_FromHandle(mine), &made);
    EXPECT_EQ(TPageEntry_Register(&made), mine);
    TPageEntry_Unregister(&made);
    EXPECT_EQ(TPageEntry_FromHandle(mine), nullptr) << "a stale handle names nothing";
    EXPECT_NE(TPageEntry_Register(&made), mine) << "handles are not reused";
}

TEST_F(TexturePages, AnEntryWithoutAPageIsReportedAndNeverDraws) {
    wad::TexturePagesFields f = Pages();
    f.entries[1]->page = 2; // two pages: indices 0 and 1
    f.entries[3]->page = -1;
    std::vector<uint8_t> image = File(f);
    ASSERT_TRUE(Load(image)) << GameData_LastError();
    EXPECT_NE(std::strstr(console.Text(), "what!!!!\n"), nullptr);
    EXPECT_EQ(EntryAt(image, 1)->page, -1);
    EXPECT_EQ(EntryAt(image, 3)->page, -1);
    EXPECT_FALSE(GR_Texture_Draw_Simple(EntryAt(image, 1), 0, 0));
    EXPECT_EQ(EntryAt(image, 0)->page, g_ZQTextures[0]);
}

TEST_F(TexturePages, MissingChunksAndEmptySlotsAreNotFollowed) {
    wad::TexturePagesFields f = Pages();
    f.entries = {};
    f.pages.push_back(std::nullopt);             // a record offset 0
    f.pages.push_back(wad::TexturePageFields{}); // a data offset 0
    std::vector<uint8_t> image = File(f);
    ASSERT_TRUE(Load(image)) << GameData_LastError();
    EXPECT_EQ(g_ZQTextures[2], -1);
    EXPECT_EQ(GR_Texture_Get_Surface(g_ZQTextures[3]), nullptr);
    EXPECT_EQ(GR_Texture_Get_Width(g_ZQTextures[3]), 0.0f) << "no image: a zero usable size";

    // Pages without any entry table at all.
    wad::GameDataWriter w;
    wad::WriteHeader(w, wad::HeaderFields{});
    wad::WriteTexturePages(w, Pages());
    std::vector<uint8_t> noTable = w.Build();
    std::memcpy(noTable.data() + wad::ChunkPayload(noTable, "TPAG") - 8, "XPAG", 4);
    Header_Reset();
    ASSERT_TRUE(GetResolution(noTable.data(), noTable.size()));
    LoadGameData(noTable.data(), noTable.size()); // "XPAG" is unknown: refused, but after TXTR loaded
    EXPECT_EQ(g_NumZQTextures, 2);
}

// Damage done to a built file, and the chunk the refusal names.
struct Hostile {
    const char* what;
    std::function<void(wad::TexturePagesFields&)> fields;
    std::function<void(std::vector<uint8_t>&)> bytes;
    const char* chunk;
};

TEST_F(TexturePages, HostilePageDataIsRefusedWithNothingCreatedOrRewritten) {
    auto tpagWord = [](size_t word, std::function<uint32_t(const std::vector<uint8_t>&)> value) {
        return [=](std::vector<uint8_t>& image) {
            const size_t at = wad::ChunkPayload(image, "TPAG") + 4 * word;
            wad::PutWord(image, at, value(image));
        };
    };
    auto txtrWord = [](size_t word, uint32_t value) {
        return [=](std::vector<uint8_t>& image) {
            wad::PutWord(image, wad::ChunkPayload(image, "TXTR") + 4 * word, value);
        };
    };
    const std::vector<Hostile> cases = {
        {"an entry running off its page", [](auto& f) { f.entries[1]->x = 6; }, {}, "TPAG"},
        {"an entry below its page", [](auto& f) { f.entries[0]->height = 5; }, {}, "TPAG"},
        {"a negative size", [](auto& f) { f.entries[3]->width = -1; }, {}, "TPAG"},
        {"a negative position", [](auto& f) { f.entries[0]->y = -2; }, {}, "TPAG"},
        {"an entry on an odd offset", {}, tpagWord(1, [](auto& i) { return EntryOffset(i, 0) + 1; }), "TPAG"},
        {"overlapping entries", {}, tpagWord(2, [](auto& i) { return EntryOffset(i, 0) + 2; }), "TPAG"},
        {"an entry inside the table",
         {},
         tpagWord(1, [](auto& i) { return static_cast<uint32_t>(wad::ChunkPayload(i, "TPAG") + 4); }),
         "TPAG"},
        {"an entry past the chunk",
         {},
         tpagWord(1, [](auto& i) { return static_cast<uint32_t>(wad::ChunkPayload(i, "TXTR")); }),
         "TPAG"},
        {"an entry count past the chunk", {}, tpagWord(0, [](auto&) { return 0x0FFFFFFFu; }), "TPAG"},
        {"a page count past the chunk", {}, txtrWord(0, 0x0FFFFFFF), "TXTR"},
        {"a page record outside the chunk", {}, txtrWord(1, 8), "TXTR"},
        {"a page record cut off by the chunk's end",
         {},
         [](std::vector<uint8_t>& image) {
             const size_t txtr = wad::ChunkPayload(image, "TXTR");
             wad::PutWord(image, txtr + 4, static_cast<uint32_t>(txtr + wad::WordAt(image, txtr - 4) - 4));
         },
         "TXTR"},
        {"page data outside the chunk",
         {},
         [](std::vector<uint8_t>& image) {
             const size_t txtr = wad::ChunkPayload(image, "TXTR");
             wad::PutWord(image, wad::WordAt(image, txtr + 4) + 8, 12);
         },
         "TXTR"},
    };
    for (const Hostile& c : cases) {
        SCOPED_TRACE(c.what);
        wad::TexturePagesFields f = Pages();
        if (c.fields) c.fields(f);
        std::vector<uint8_t> image = File(f);
        if (c.bytes) c.bytes(image);
        const std::vector<uint8_t> before = image;
        Header_Reset();
        ASSERT_TRUE(GetResolution(image.data(), image.size()));
        EXPECT_FALSE(LoadGameData(image.data(), image.size()));
        EXPECT_NE(std::string(GameData_LastError()).find(std::string("(chunk ") + c.chunk + ")"),
                  std::string::npos)
            << GameData_LastError();
        EXPECT_EQ(TexturesInUse(), 0);
        EXPECT_TRUE(image == before) << "no page field rewritten";
        TextureTable_Reset();
    }
}

TEST_F(TexturePages, EmbeddedImagesNameListedEntries) {
    std::vector<uint8_t> image = File(Pages(), [](wad::GameDataWriter& w) {
        wad::WriteEmbeddedImages(w,
                                 {{"bullet_big", wad::PageEntryLabel("TPAG", 1)}, {"spark", std::nullopt}});
    });
    ASSERT_TRUE(Load(image)) << GameData_LastError();
    ASSERT_EQ(g_NumEmbeddedImages, 2);
    EXPECT_EQ(EmbeddedImage_Find("bullet", false), nullptr);
    ASSERT_NE(EmbeddedImage_Find("bullet", true), nullptr);
    EXPECT_EQ(EmbeddedImage_Find("bullet", true)->entry, EntryAt(image, 1));
    EXPECT_EQ(EmbeddedImage_Find("spark", false)->entry, nullptr);
    EXPECT_EQ(EmbeddedImage_Find(nullptr, true), nullptr);

    // Another version loads nothing and leaves the images as they were.
    std::vector<uint8_t> other = File(Pages(), [](wad::GameDataWriter& w) {
        wad::WriteEmbeddedImages(w, {{"x", std::nullopt}}, 2);
    });
    ImageReader chunk(other.data(), other.size(), wad::ChunkPayload(other, "EMBI"), other.size(), "EMBI");
    EXPECT_FALSE(EmbeddedImages_LoadChunk(chunk));
    EXPECT_EQ(g_NumEmbeddedImages, 2);

    // An entry offset that is not a listed page entry is refused.
    std::vector<uint8_t> stray = File(Pages(), [](wad::GameDataWriter& w) {
        wad::WriteEmbeddedImages(w, {{"stray", wad::PageEntryLabel("TPAG", 0)}});
    });
    wad::PutWord(stray, wad::ChunkPayload(stray, "EMBI") + 12, EntryOffset(stray, 0) + 4);
    EXPECT_FALSE(Load(stray));
    EXPECT_NE(std::string(GameData_LastError()).find("EMBI"), std::string::npos) << GameData_LastError();
    EXPECT_EQ(TexturesInUse(), 0) << "the pages loaded before the refusal go with the file";
    EXPECT_EQ(g_NumEmbeddedImages, 0);
}

// The fuzz target's seeds are files the loaders take whole.
TEST_F(TexturePages, FuzzSeedsLoad) {
    const std::string dir = TestTempPath("texture_seeds");
    const std::string command = std::string(CORVANE_WAD_BINARY) + " seeds " + dir;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    int seeds = 0;
    for (const auto& file : std::filesystem::directory_iterator(dir + "/fuzz_texture_chunks")) {
        SCOPED_TRACE(file.path().string());
        std::ifstream in(file.path(), std::ios::binary);
        std::vector<uint8_t> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_TRUE(Load(image)) << GameData_LastError();
        EXPECT_GT(g_NumZQTextures, 0);
        for (int i = 0; i < g_NumZQTextures; ++i)
            EXPECT_GT(GR_Texture_Entry(g_ZQTextures[i])->width, 0) << "page " << i << " decodes";
        GameData_ForgetImage();
        TextureTable_Reset();
        ++seeds;
    }
    EXPECT_EQ(seeds, 3);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

// ---- the table itself (no GL: textures keep their pixels on the CPU)

class TextureTable : public QuietTest {};

TEST_F(TextureTable, FreedIdsAreTakenFirst) {
    const int a = GR_Texture_Create_Empty(4, 4, false, false, 0);
    const int b = GR_Texture_Create_Empty(4, 4, false, false, 0);
    const int c = GR_Texture_Create_Empty(4, 4, false, false, 0);
    EXPECT_EQ((std::vector<int>{a, b, c}), (std::vector<int>{0, 1, 2}));
    TextureEntry* kept = GR_Texture_Entry(2);
    GR_Texture_Free(1);
    EXPECT_FALSE(GR_Texture_Exists(1));
    EXPECT_EQ(GR_Texture_Create_Empty(2, 2, false, false, 0), 1);
    EXPECT_EQ(GR_Texture_Create_Empty(2, 2, false, false, 0), 3);
    EXPECT_EQ(GR_Texture_Entry(2), kept) << "entries stay where they are as the table grows";
    EXPECT_EQ(GR_Texture_Entry(4), nullptr);
    EXPECT_EQ(GR_Texture_Entry(-1), nullptr);
}

TEST_F(TextureTable, UsableFractionOfAPaddedTexture) {
    g_SupportNPOT = false;
    const int id = GR_Texture_Create_Empty(100, 50, false, false, 0);
    g_SupportNPOT = true;
    EXPECT_FLOAT_EQ(GR_Texture_Get_Width(id), 0.78125f);
    EXPECT_FLOAT_EQ(GR_Texture_Get_Height(id), 50.0f / 64.0f);
    EXPECT_EQ(GR_Texture_Get_Width(id + 1), 1.0f);
    EXPECT_EQ(GR_Texture_Get_Height(-3), 1.0f);
}

TEST_F(TextureTable, BytesBecomeWhitePixelsWithThatAlpha) {
    const uint8_t alpha[2] = {0, 255};
    const int id = GR_Texture_Create_Bytes(2, 1, alpha, 2);
    ASSERT_GE(id, 0);
    uint32_t pixels[2];
    std::memcpy(pixels, GR_Texture_Get_Surface(id)->pixels, sizeof pixels);
    EXPECT_EQ(pixels[0], 0x00FFFFFFu);
    EXPECT_EQ(pixels[1], 0xFFFFFFFFu);
    EXPECT_EQ(GR_Texture_Create_Bytes(2, 2, alpha, 2), -1) << "bytes that do not cover the size";
    EXPECT_EQ(GR_Texture_Create_Bytes(-2, 1, alpha, 2), -1);
    EXPECT_EQ(GR_Texture_Create_Bytes(1, 0, alpha, 2), -1);
    EXPECT_EQ(tex_numb, 1) << "a refused creation takes no entry";
}

TEST_F(TextureTable, UndecodableImagesKeepSafeInverseSizes) {
    const uint8_t junk[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const int id = GR_Texture_Create_From_File(junk, sizeof junk);
    ASSERT_TRUE(GR_Texture_Exists(id));
    EXPECT_EQ(GR_Texture_Entry(id)->invWidth, 1.0f);
    const int none = GR_Texture_Create(nullptr, 0, false, false);
    EXPECT_TRUE(GR_Texture_Exists(none));
    EXPECT_EQ(GR_Texture_Get_Surface(none), nullptr);
    EXPECT_EQ(GR_Texture_Entry(none)->invHeight, 1.0f);
}

} // namespace
