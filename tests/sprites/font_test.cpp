// Fonts on the headless context: a writer-made "FONT" record and a FreeType
// font draw and are probed pixel by pixel; hostile records are refused; the
// glyph cache refills after eviction; a whole text is one draw call.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/game_image.h"
#include "core/header_globals.h"
#include "core/memory_manager.h"
#include "font_chunk.h"
#include "game_data_writer.h"
#include "gl_device_fixture.h"
#include "header_chunk.h"
#include "render/image_decode.h"
#include "render/page_entry.h"
#include "render/vertex_batch.h"
#include "render/view.h"
#include "sprites/font.h"
#include "sprites/font_table.h"
#include "sprites/text.h"
#include "texture_chunks.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/datafile/options.h"

namespace {

constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// A page whose left 4 × 8 pixels are opaque white (glyph 'A') and right 4 × 8
// transparent (glyph 'B'), one font over it; 'A' kerns against 'B'.
std::vector<uint8_t> FontFile(std::vector<wad::GlyphFields> extra = {}) {
    std::vector<uint32_t> rgba(8 * 8, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 4; ++x) rgba[static_cast<size_t>(y * 8 + x)] = 0xFFFFFFFFu;
    uint8_t* png = nullptr;
    size_t length = 0;
    EXPECT_TRUE(PNG_EncodeRGBA(rgba.data(), 8, 8, &png, &length));
    wad::TexturePagesFields pages;
    pages.pages = {wad::TexturePageFields{0, 0, std::vector<uint8_t>(png, png + length)}};
    ZQ_Free(png);
    wad::PageEntryFields e;
    e.width = e.height = e.cropWidth = e.cropHeight = e.untrimmedWidth = e.untrimmedHeight = 8;
    pages.entries = {e};
    wad::FontFields f;
    f.name = "fnt_main";
    f.range = 32 | 1u << 16 | 3u << 24;
    f.entryLabel = wad::PageEntryLabel("TPAG", 0);
    f.glyphs = {{'A', 0, 0, 4, 8, 5, 0, {{'B', -1}}}, {'B', 4, 0, 4, 8, 5, 0, {}}};
    f.glyphs.insert(f.glyphs.end(), extra.begin(), extra.end());
    wad::GameDataWriter w;
    wad::WriteHeader(w, wad::HeaderFields{});
    wad::WriteTexturePages(w, pages);
    wad::WriteFonts(w, {std::nullopt, f});
    return w.Build();
}

class FontOnScreen : public GLDeviceTest {
protected:
    std::vector<uint8_t> Pixel(int x, int yFromTop) {
        std::vector<uint8_t> p(4);
        glReadPixels(x, kSize - 1 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        return p;
    }
    void Begin() {
        GR_D3D_Start_Frame();
        Graphics::Clear(0, 1.0f, 0, eClear_Colour);
        g_numVertexBatches = 0;
    }
    std::vector<uint8_t> file;
};

TEST_F(FontOnScreen, WriterMadeFontLoadsAndDraws) {
    file = FontFile();
    Header_Reset();
    ASSERT_TRUE(GetResolution(file.data(), file.size()) && LoadGameData(file.data(), file.size()))
        << GameData_LastError();
    ASSERT_EQ(Font_Number(), 2);
    EXPECT_FALSE(Font_Exists(0)) << "a zero offset is an empty slot";
    EXPECT_EQ(Font_Find("fnt_main"), 1);
    CFontVT* font = Font_Data(1);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->GetName(), std::string("Test Face"));
    EXPECT_EQ(font->charset, 1);
    EXPECT_EQ(font->antiAlias, 2);
    EXPECT_EQ(font->TextHeight(), 8);
    EXPECT_EQ(font->GetGlyph('A')->kerningCount, 1);
    EXPECT_EQ(Font_CodePage(200), 200);

    GR_Text_Set_Font(1);
    Draw_Color = 0xFF0000FFu; // red
    Begin();
    GR_Text_Draw(2, 2, "ABA", -1, -1);
    GR_D3D_Finish_Frame(true);
    EXPECT_EQ(g_numVertexBatches, 1) << "one draw call for the whole text";
    EXPECT_EQ(Pixel(3, 5), (std::vector<uint8_t>{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(8, 5), (std::vector<uint8_t>{0, 0, 0, 0})) << "'B' is transparent";
    EXPECT_EQ(Pixel(13, 9), (std::vector<uint8_t>{255, 0, 0, 255})) << "the second 'A' after two advances";
    EXPECT_EQ(Pixel(6, 5), (std::vector<uint8_t>{0, 0, 0, 0})) << "the gap after 'A'";

    // Centred, a gradient from blue (left) to green (right).
    GR_Text_Set_HAlign(1);
    Begin();
    GR_Text_Draw_Color(16, 20, "AA", -1, -1, 0xFF0000, 0x00FF00, 0x00FF00, 0xFF0000, 1.0f);
    GR_D3D_Finish_Frame(true);
    const std::vector<uint8_t> left = Pixel(11, 24), right = Pixel(19, 24);
    EXPECT_GT(left[2], 150);
    EXPECT_GT(right[1], 100);
    EXPECT_LT(right[2], 100);
    EXPECT_EQ(Pixel(10, 24)[3], 0) << "centred on 16: starts at 11";

    // Turned a quarter: 'A' runs upwards from its origin.
    GR_Text_Set_HAlign(0);
    Begin();
    GR_Text_Draw_Transformed(4, 28, "A", -1, -1, 1, 1, 90);
    GR_D3D_Finish_Frame(true);
    EXPECT_EQ(Pixel(6, 26)[3], 255);
    EXPECT_EQ(Pixel(14, 30)[3], 0);
}

TEST_F(FontOnScreen, MissingCharactersShowTheWhiteRectangleWhenTheFontHasIt) {
    file = FontFile({{0x25AF, 0, 0, 4, 8, 7, 0, {}}});
    Header_Reset();
    ASSERT_TRUE(GetResolution(file.data(), file.size()) && LoadGameData(file.data(), file.size()))
        << GameData_LastError();
    CFontVT* font = Font_Data(1);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->GetShift(0x4E00), 7);
    EXPECT_EQ(font->GetGlyph('A')->code, 'A');
    const uint16_t text[] = {'A', 0x4E00, 'Z', 0};
    EXPECT_EQ(font->TextWidth(text), 5 + 7 + 7);
}

TEST_F(FontOnScreen, HostileRecordsAreRefused) {
    file = FontFile();
    const size_t payload = wad::ChunkPayload(file, "FONT");
    // A chunk too short to hold its code page, even with a valid count.
    std::vector<uint8_t> small(100, 0);
    ImageReader tooShort(small.data(), small.size(), 0, small.size(), "FONT");
    EXPECT_THROW(Font_Load(tooShort), GameDataError);
    EXPECT_EQ(Font_Number(), 0);

    // The glyph count of font 1 made huge, then a glyph's kerning count.
    const uint32_t record = wad::WordAt(file, payload + 8);
    std::vector<uint8_t> huge = file;
    wad::PutWord(huge, record + 40, 0x40000000);
    Header_Reset();
    ASSERT_TRUE(GetResolution(huge.data(), huge.size()));
    EXPECT_FALSE(LoadGameData(huge.data(), huge.size()));
    EXPECT_NE(std::string(GameData_LastError()).find("FONT"), std::string::npos) << GameData_LastError();
    EXPECT_EQ(Font_Number(), 0);

    std::vector<uint8_t> kerning = file;
    const uint32_t glyph = wad::WordAt(file, record + 44);
    wad::PutWord(kerning, glyph + 12, 0x7FFF0000); // offset 0, kerning count 32767
    Header_Reset();
    ASSERT_TRUE(GetResolution(kerning.data(), kerning.size()));
    EXPECT_FALSE(LoadGameData(kerning.data(), kerning.size()));
}

TEST_F(FontOnScreen, FreeTypeFontDrawsAndItsCacheRefills) {
    g_nFontTextureSize = 64; // room for a handful of cells
    const int id = Font_Add(kDejaVu, 12, false, false, 32, 127);
    CFontVT* font = Font_Data(id);
    ASSERT_NE(font, nullptr);
    ASSERT_GT(font->GlyphCount(), 100) << "every character of the face";
    EXPECT_EQ(font->GlyphAt(0)->code, 32);
    ASSERT_NE(font->Cache(), nullptr);
    const int cells = font->Cache()->CellCount();
    ASSERT_GT(cells, 0);
    ASSERT_LT(cells, 26);
    EXPECT_GT(font->TextHeight(), 12);

    GR_Text_Set_Font(id);
    Draw_Color = 0xFFFFFFu;
    Begin();
    GR_Text_Draw(1, 1, "I", -1, -1);
    GR_D3D_Finish_Frame(true);
    int lit = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 10; ++x) lit += Pixel(x, y)[3] > 128 ? 1 : 0;
    EXPECT_GE(lit, 8) << "the stem of 'I'";
    const int16_t firstX = font->GetGlyph('I')->x;

    // More distinct characters in one frame than cells: cells drawn this
    // frame are reused after a flush, and 'I' is evicted and comes back.
    Begin();
    GR_Text_Draw(0, 0, "abcdefghijklmnopqrstuvwxyz", -1, -1);
    GR_D3D_Finish_Frame(true);
    EXPECT_GT(font->Cache()->flushes, 0);
    EXPECT_GT(g_numVertexBatches, 1);
    EXPECT_EQ(font->FindGlyph('I')->x, -1) << "evicted";
    ZQGlyph2* again = font->GetGlyph('I');
    EXPECT_NE(again->x, -1) << "rendered again on its next use";
    (void)firstX;
}

TEST_F(FontOnScreen, MonochromeGlyphsAreFullyOpaqueOrClear) {
    g_FontAntialias = false;
    const int id = Font_Add(kDejaVu, 20, false, false, 32, 127);
    CFontVT* font = Font_Data(id);
    ASSERT_NE(font, nullptr);
    const ZQGlyph2* g = font->GetGlyph('O');
    ASSERT_NE(g->x, -1);
    const Texture* t = font->Cache()->texture;
    int partial = 0, set = 0;
    for (int y = g->y; y < g->y + g->height; ++y)
        for (int x = g->x; x < g->x + g->width; ++x) {
            const uint8_t a = t->pixels[(static_cast<size_t>(y) * t->width + x) * 4 + 3];
            partial += a != 0 && a != 255 ? 1 : 0;
            set += a == 255 ? 1 : 0;
        }
    EXPECT_EQ(partial, 0);
    EXPECT_GT(set, 10);
}

TEST_F(FontOnScreen, MissingFontFileAndHugeSizeMakeEmptyFonts) {
    CFontVT* missing = Font_Data(Font_Add("no_such_font.ttf", 12, false, false, 32, 127));
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->GlyphCount(), 0);
    // Too large for one cell: glyphs stay uncached and draw as nothing.
    g_nFontTextureSize = 16;
    CFontVT* big = Font_Data(Font_Add(kDejaVu, 40, false, false, 32, 127));
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->Cache()->CellCount(), 0);
    EXPECT_EQ(big->GetGlyph('A')->x, -1);
    big->Draw_String(0, 0, std::vector<uint16_t>{'A', 0}.data(), 0xFFFFFF, 1);
    EXPECT_EQ(g_CurrentVertexCount, 0);
}

// The built-in fonts: the embedded one of new-generation games and the
// debug-overlay table font of legacy games both draw an 'I' stem.
TEST_F(FontOnScreen, BuiltInFontsDraw) {
    for (bool nimbar : {true, false}) {
        Text_Reset();
        g_isNimbar = nimbar;
        Draw_Color = 0xFFFFFFu;
        Begin();
        GR_Text_Draw(2, 2, "I", -1, -1);
        GR_D3D_Finish_Frame(true);
        int lit = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 12; ++x) lit += Pixel(x, y)[3] > 128 ? 1 : 0;
        EXPECT_GE(lit, 6) << (nimbar ? "embedded" : "debug");
        EXPECT_LT(lit, 60) << (nimbar ? "embedded" : "debug");
        EXPECT_EQ(g_numVertexBatches, 1);
    }
}

TEST_F(FontOnScreen, TableOperations) {
    const int a = Font_AddSpriteExt(3, "ABC", true, 1); // no sprite table yet: an empty font
    const int b = Font_AddSprite(3, 250, false, 0);
    EXPECT_EQ(Font_Name(a), std::string("__newfont0"));
    EXPECT_EQ(Font_Data(a)->GlyphCount(), 0);
    EXPECT_TRUE(Font_Delete(a));
    EXPECT_FALSE(Font_Exists(a));
    EXPECT_EQ(Font_Name(a), std::string("<undefined>"));
    EXPECT_EQ(Font_Find("__newfont0"), -1);
    EXPECT_FALSE(Font_Delete(a));
    EXPECT_TRUE(Font_ReplaceSpriteExt(b, 1, "x", false, 0));
    EXPECT_EQ(Font_Name(b), std::string("__newfont1")) << "a replaced font keeps its name";
    EXPECT_FALSE(Font_Replace(7, kDejaVu, 10, false, false, 0, 0));
    EXPECT_EQ(Font_AddSpriteExt(0, "", false, 0), 2) << "indices are never reused";
}

} // namespace
