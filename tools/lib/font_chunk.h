// The "FONT" chunk: a count, one file offset per font record (0 an empty
// slot), the records {name, face name, size, bold, italic, range word, last,
// page entry offset, scale x, scale y, glyph count, glyph offsets}, the glyph
// records (16 bytes and their kerning pairs), and the 256-entry code page in
// the chunk's last 512 bytes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "game_data_writer.h"

namespace wad {

struct GlyphFields {
    uint16_t code = 0;
    int16_t x = 0, y = 0, width = 0, height = 0, shift = 0, offset = 0;
    std::vector<std::pair<int16_t, int16_t>> kerning;
};

struct FontFields {
    std::string name = "fnt_test";
    std::string face = "Test Face";
    int32_t size = 12;
    bool bold = false, italic = false;
    uint32_t range = 32; // first | charset << 16 | (anti-alias + 1) << 24
    int32_t last = 127;
    std::optional<std::string> entryLabel; // a page entry's label; none: 0
    float scaleX = 1.0f, scaleY = 1.0f;
    std::vector<GlyphFields> glyphs;
};

// The code page of byte values as themselves (Latin-1).
std::array<int16_t, 256> Latin1CodePage();

Chunk& WriteFonts(GameDataWriter& writer, const std::vector<std::optional<FontFields>>& fonts,
                  const std::array<int16_t, 256>& codePage = Latin1CodePage());

} // namespace wad
