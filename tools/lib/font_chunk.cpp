#include "font_chunk.h"

namespace wad {

std::array<int16_t, 256> Latin1CodePage() {
    std::array<int16_t, 256> page{};
    for (int i = 0; i < 256; ++i) page[static_cast<size_t>(i)] = static_cast<int16_t>(i);
    return page;
}

Chunk& WriteFonts(GameDataWriter& writer, const std::vector<std::optional<FontFields>>& fonts,
                  const std::array<int16_t, 256>& codePage) {
    Chunk& c = writer.AddChunk("FONT");
    auto label = [](size_t font) { return "FONT." + std::to_string(font); };
    auto glyphLabel = [](size_t font, size_t glyph) {
        return "FONT." + std::to_string(font) + ".g" + std::to_string(glyph);
    };
    c.U32(static_cast<uint32_t>(fonts.size()));
    for (size_t i = 0; i < fonts.size(); ++i) {
        if (fonts[i])
            c.Offset(label(i));
        else
            c.U32(0);
    }
    for (size_t i = 0; i < fonts.size(); ++i) {
        if (!fonts[i]) continue;
        const FontFields& f = *fonts[i];
        c.Label(label(i)).String(f.name).String(f.face).S32(f.size).U32(f.bold).U32(f.italic).U32(f.range);
        c.S32(f.last);
        if (f.entryLabel)
            c.Offset(*f.entryLabel);
        else
            c.U32(0);
        c.F32(f.scaleX).F32(f.scaleY).U32(static_cast<uint32_t>(f.glyphs.size()));
        for (size_t g = 0; g < f.glyphs.size(); ++g) c.Offset(glyphLabel(i, g));
        for (size_t g = 0; g < f.glyphs.size(); ++g) {
            const GlyphFields& gl = f.glyphs[g];
            c.Label(glyphLabel(i, g)).U16(gl.code);
            for (int16_t v : {gl.x, gl.y, gl.width, gl.height, gl.shift, gl.offset})
                c.U16(static_cast<uint16_t>(v));
            c.U16(static_cast<uint16_t>(gl.kerning.size()));
            for (const auto& [other, amount] : gl.kerning)
                c.U16(static_cast<uint16_t>(other)).U16(static_cast<uint16_t>(amount));
        }
    }
    for (int16_t code : codePage) c.U16(static_cast<uint16_t>(code));
    return c;
}

} // namespace wad
