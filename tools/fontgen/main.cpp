// Renders the runtime's two built-in fonts once, from DejaVu Sans Mono through
// FreeType, into src/sprites/font_builtin_data.cpp: the embedded default font
// of new-generation games (bold, 11 pt at 96 dpi, characters 32-127, a PNG
// image and its glyph records) and the debug-overlay font of legacy games (a
// 256 × 128 PNG and one {x, y, width, height} cell per character 32-136).
// The output is committed; run the tool again only to change the fonts:
//   corvane-fontgen /usr/share/fonts/truetype/dejavu src/sprites/font_builtin_data.cpp
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/memory_manager.h"
#include "render/image_decode.h"

namespace {

struct Glyph {
    int code, x, y, width, height, shift, offset;
};

struct Atlas {
    int width, height;
    std::vector<uint32_t> pixels; // 0xAABBGGRR, white with the glyph's coverage
    std::vector<Glyph> glyphs;
};

int Ceil26(long v) {
    return static_cast<int>((v + 63) >> 6);
}

// The code FreeType renders for a character: control characters and the codes
// past DEL have no picture of their own and show the white rectangle.
unsigned Shown(int code) {
    return code < 32 || code >= 127 ? 0x25AF : static_cast<unsigned>(code);
}

// Lays out characters first..last in cells of the face's advance × line
// height. `fullCell` makes each glyph record the whole cell (the table font
// draws every character at its cell's size); otherwise a record spans the
// ink's width and reaches from the line top down to its lowest row.
bool Render(FT_Face face, int first, int last, int width, int height, bool fullCell, Atlas& atlas) {
    atlas.width = width;
    atlas.height = height;
    atlas.pixels.assign(static_cast<size_t>(width) * height, 0x00FFFFFFu);
    const int ascender = Ceil26(face->size->metrics.ascender);
    const int lineHeight = Ceil26(face->size->metrics.height);
    const int cellWidth = Ceil26(face->size->metrics.max_advance);
    int cx = 1, cy = 1;
    for (int code = first; code <= last; ++code) {
        if (FT_Load_Char(face, Shown(code), FT_LOAD_RENDER) != 0) return false;
        const FT_GlyphSlot g = face->glyph;
        if (cx + cellWidth + 1 > width) {
            cx = 1;
            cy += lineHeight + 1;
        }
        if (cy + lineHeight + 1 > height) return false;
        const int top = std::max(0, ascender - g->bitmap_top);
        const int left = fullCell ? std::max(0, static_cast<int>(g->bitmap_left)) : 0;
        for (unsigned row = 0; row < g->bitmap.rows; ++row) {
            for (unsigned col = 0; col < g->bitmap.width; ++col) {
                const int px = cx + left + static_cast<int>(col), py = cy + top + static_cast<int>(row);
                if (px >= cx + cellWidth || py >= cy + lineHeight) continue;
                const uint8_t a = g->bitmap.buffer[row * g->bitmap.pitch + col];
                atlas.pixels[static_cast<size_t>(py) * width + px] = 0x00FFFFFFu | static_cast<uint32_t>(a)
                                                                                       << 24;
            }
        }
        Glyph out{code, cx, cy, 0, 0, Ceil26(g->advance.x), 0};
        if (fullCell) {
            out.width = cellWidth;
            out.height = lineHeight;
            out.shift = cellWidth;
        } else {
            out.width = std::min(cellWidth, static_cast<int>(g->bitmap.width));
            out.height = std::min(lineHeight, top + static_cast<int>(g->bitmap.rows));
            out.offset = g->bitmap_left;
        }
        atlas.glyphs.push_back(out);
        cx += cellWidth + 1;
    }
    return true;
}

bool WritePngArray(FILE* out, const char* name, const Atlas& atlas) {
    uint8_t* png = nullptr;
    size_t length = 0;
    if (!PNG_EncodeRGBA(atlas.pixels.data(), atlas.width, atlas.height, &png, &length)) return false;
    std::fprintf(out, "const uint8_t %s[%zu] = {", name, length);
    for (size_t i = 0; i < length; ++i) std::fprintf(out, "%s%u,", i % 20 == 0 ? "\n    " : " ", png[i]);
    std::fprintf(out, "\n};\nconst uint32_t %sLength = %zu;\n\n", name, length);
    ZQ_Free(png);
    return true;
}

FT_Face Open(FT_Library library, const std::string& path, int points) {
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0) return nullptr;
    if (FT_Set_Char_Size(face, 0, points * 64, 96, 96) != 0) return nullptr;
    return face;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DEJAVU_FOLDER OUTPUT.cpp\n", argv[0]);
        return 2;
    }
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return 1;
    const std::string folder = argv[1];
    FT_Face bold = Open(library, folder + "/DejaVuSansMono-Bold.ttf", 11);
    FT_Face book = Open(library, folder + "/DejaVuSansMono.ttf", 10);
    if (bold == nullptr || book == nullptr) {
        std::fprintf(stderr, "cannot open the DejaVu Sans Mono faces in %s\n", argv[1]);
        return 1;
    }
    Atlas embedded, debug;
    if (!Render(bold, 32, 127, 256, 128, false, embedded) || !Render(book, 32, 136, 256, 128, true, debug)) {
        std::fprintf(stderr, "the glyphs do not fit their images\n");
        return 1;
    }
    FILE* out = std::fopen(argv[2], "w");
    if (out == nullptr) return 1;
    std::fprintf(out,
                 "// Generated by tools/fontgen from DejaVu Sans Mono (fonts-dejavu-core); do not edit.\n"
                 "// clang-format off\n#include \"sprites/font_builtin_data.h\"\n\n");
    if (!WritePngArray(out, "kBuiltinFontImage", embedded) || !WritePngArray(out, "kDebugFontImage", debug))
        return 1;
    std::fprintf(out, "const BuiltinGlyph kBuiltinFontGlyphs[%zu] = {\n", embedded.glyphs.size());
    for (const Glyph& g : embedded.glyphs)
        std::fprintf(out, "    {%d, %d, %d, %d, %d, %d, %d},\n", g.code, g.x, g.y, g.width, g.height, g.shift,
                     g.offset);
    std::fprintf(out, "};\n\nconst uint8_t kDebugFontTable[%zu][4] = {\n", debug.glyphs.size());
    for (const Glyph& g : debug.glyphs)
        std::fprintf(out, "    {%d, %d, %d, %d},\n", g.x, g.y, g.width, g.height);
    std::fprintf(out, "};\n");
    std::fclose(out);
    FT_Done_Face(bold);
    FT_Done_Face(book);
    FT_Done_FreeType(library);
    return 0;
}
