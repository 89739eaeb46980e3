// Splitting, wrapping, alignment and measuring, with a table font whose every
// character advances 10 pixels and is 16 high.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/header_globals.h"
#include "render/vertex_batch.h"
#include "sprites/font.h"
#include "sprites/text.h"

namespace {

std::vector<std::string> Lines(const char* text, int width, const CFontVT* font) {
    TStringList list;
    Split_TextBlock(text, width, list, font);
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) {
        std::string line;
        for (const uint16_t* c = list.Line(i); *c != 0; ++c) line += static_cast<char>(*c);
        out.push_back(line);
    }
    return out;
}

struct Table {
    Table() {
        for (auto& cell : cells) cell[0] = cell[1] = 0, cell[2] = 10, cell[3] = 16;
    }
    uint8_t cells[96][4];
};

class TextLayout : public ::testing::Test {
protected:
    Table table;
    CFontVT font{table.cells, 32, 127, -1};
};

TEST_F(TextLayout, SplitTable) {
    struct Case {
        bool legacy;
        const char* text;
        int width;
        std::vector<std::string> lines;
    } cases[] = {
        {true, "a#b", -1, {"a", "b"}},
        {false, "a#b", -1, {"a#b"}},
        {true, "a\\#b", -1, {"a#b"}},
        {false, "abc\r\ndef", -1, {"abc", "def"}},
        {false, "abc\n\rdef", -1, {"abc", "def"}},
        {false, "abc\n\ndef", -1, {"abc", "", "def"}},
        {false, "abc\r\rdef\n", -1, {"abc", "", "def"}},
        {false, "", -1, {}},
        // Wrapping: only the line feed breaks; words move whole.
        {false, "abc def", 40, {"abc", "def"}},
        {false, "abcdefgh ij", 40, {"abcdefgh", "ij"}},
        {false, "ab cd ef", 55, {"ab cd", "ef"}},
        {false, "  ab", 100, {"  ab"}},
        {false, "ab\ncd", 100, {"ab", "cd"}},
        {false, "ab\rcd", 100, {"ab\rcd"}},
        {false, "abc", 0, {}},
        // A first character wider than the width ends the text.
        {false, "a bc", 5, {}},
    };
    for (const Case& c : cases) {
        g_isNimbar = !c.legacy;
        EXPECT_EQ(Lines(c.text, c.width, &font), c.lines) << c.text << " at " << c.width;
    }
    TStringList list;
    Split_TextBlock(nullptr, -1, list, &font);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(TextLayout, MeasuresWithTheCurrentFont) {
    g_isNimbar = true;
    // The default (embedded) font measures: a text's height is a line height
    // plus a separation for each further line.
    const CFontVT* def = GR_Text_SetFont();
    ASSERT_NE(def, nullptr);
    EXPECT_EQ(GR_Text_Height("a\nb\nc", 20, -1), def->TextHeight() + 40);
    EXPECT_EQ(GR_Text_Height(nullptr, 20, -1), 0);
    EXPECT_EQ(GR_Text_Width("ab\nabcd", 0, -1), 4 * def->GetShift('a'));
    EXPECT_EQ(GR_Text_Width("", 0, -1), 0);
    const uint16_t abc[] = {'a', 'b', 'c', 0};
    EXPECT_EQ(font.TextWidth(abc), 30);
    EXPECT_EQ(font.TextWidth(nullptr), 0);
}

TEST_F(TextLayout, AlignmentIsKeptOrReset) {
    for (auto [given, kept] : {std::pair{1, 1}, {2, 2}, {3, 0}, {-1, 0}}) {
        GR_Text_Set_HAlign(given);
        GR_Text_Set_VAlign(given);
        EXPECT_EQ(GR_Text_Get_HAlign(), kept);
        EXPECT_EQ(GR_Text_Get_VAlign(), kept);
    }
    GR_Text_Set_Font(42); // no such font: the default one
    EXPECT_EQ(GR_Text_Get_Font(), -1);
}

TEST_F(TextLayout, MissingCharactersFallBackToTheWhiteRectangle) {
    EXPECT_EQ(font.GetGlyph(0x4E00), nullptr);
    EXPECT_EQ(font.GetShift(0x4E00), 0);
    g_isNimbar = false;
    CFontVT* debug = GR_Text_SetFont(); // the legacy table font has no U+25AF either
    EXPECT_EQ(debug->GetName(), std::string("debug"));
    EXPECT_EQ(debug->GetShift(0x4E00), 0);
}

// The left edge of the first quad in the batch after drawing "a" at x 100
// with the embedded font (every advance 9: the line is 9 wide).
float FirstLeft(int halign, bool transformed) {
    Batch_Empty();
    GR_Text_Set_HAlign(halign);
    if (transformed)
        GR_Text_Draw_Transformed(100, 50, "a", -1, -1, 2, 1, 0);
    else
        GR_Text_Draw(100, 50, "a", -1, -1);
    const float left = g_CurrentVertexCount > 0 ? reinterpret_cast<const float*>(Batch_Vertices())[0] : -1.0f;
    Batch_Empty();
    return left;
}

TEST_F(TextLayout, CentringAnOddWidthTruncatesOnlyInThePlainVariant) {
    g_isNimbar = true;
    ASSERT_EQ(GR_Text_SetFont()->GetShift('a'), 9);
    EXPECT_FLOAT_EQ(FirstLeft(0, false) - FirstLeft(1, false), 4.0f);
    EXPECT_FLOAT_EQ(FirstLeft(0, false) - FirstLeft(2, false), 9.0f);
    EXPECT_FLOAT_EQ(FirstLeft(0, true) - FirstLeft(1, true), 9.0f) << "4.5 × xscale 2";
    // Middle alignment of three lines of separation 5: up by 15 / 2 = 7.
    // Without a device every allocation starts the batch again, so the last
    // line's quad is the one left.
    GR_Text_Set_HAlign(0);
    GR_Text_Set_VAlign(1);
    Batch_Empty();
    GR_Text_Draw(0, 50, "a\na\na", 5, -1);
    const float* v = reinterpret_cast<const float*>(Batch_Vertices());
    EXPECT_FLOAT_EQ(v[1], 53.0f) << "the third line, 43 + 2 × 5";
    Batch_Empty();
}

} // namespace
