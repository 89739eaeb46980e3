// Fonts: a table of glyph records sorted by character code and the place
// their images live. Page fonts come from the data file's "FONT" records (a
// rectangle of one texture-page entry per glyph), sprite fonts from a sprite
// (a frame per glyph), run-time fonts from a font file through FreeType
// (images rendered on demand into the font's glyph cache, font_cache.h), and
// the two built-in fonts from images compiled into the runtime.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "render/page_entry.h"
#include "sprites/font_cache.h"

class ImageReader;
struct BuiltinGlyph;

// 16 bytes, then `kerningCount` pairs {int16 other character, int16 amount};
// the "FONT" chunk stores glyphs in this layout, little-endian.
struct ZQGlyph2 {
    uint16_t code;
    int16_t x, y;          // image position (run-time fonts: -1 while not cached)
    int16_t width, height; // image size; sprite fonts: frame number, sprite height
    int16_t shift;         // advance of the pen
    int16_t offset;        // pen to the image's left edge
    int16_t kerningCount;
    const int16_t* Kerning() const { return reinterpret_cast<const int16_t*>(this + 1); }
};
static_assert(sizeof(ZQGlyph2) == 16, "glyph records are copied byte for byte");

// The character shown for every character a font lacks, when it has this one.
inline constexpr uint16_t kMissingGlyphCode = 0x25AF;
// Kerning pairs kept per glyph of a run-time font.
inline constexpr int kMaxKerningPairs = 128;

// Sizes of the glyph cache texture of run-time fonts made from now on, and
// whether they render anti-aliased (font built-ins write both).
extern int32_t g_nFontTextureSize;
extern bool g_FontAntialias;

class CFontVT {
public:
    CFontVT();
    // A run-time font from a font file in the save area or the bundle.
    CFontVT(const char* path, int size, bool bold, bool italic, int first, int last);
    // The legacy table font: one {x, y, width, height} per code first..last
    // over the whole of `texture` (256 × 128).
    CFontVT(const uint8_t (*table)[4], int first, int last, int texture);
    // A sprite font for the UTF-8 characters, a frame each.
    CFontVT(int spriteIndex, const char* characters, bool proportional, int separation);
    // The embedded default font (PNG image and glyphs compiled in).
    CFontVT(const uint8_t* png, uint32_t pngLength, const BuiltinGlyph* glyphs, int count, int size,
            bool bold, uint32_t range, int last);
    virtual ~CFontVT();
    CFontVT(const CFontVT&) = delete;
    CFontVT& operator=(const CFontVT&) = delete;

    // Fills a default-constructed font from the "FONT" record `record` reads
    // at; throws GameDataError (naming the fault) for a record that does not
    // fit the chunk, a glyph table out of order or kerning past the chunk.
    static void LoadFromChunk(CFontVT* font, ImageReader& record);

    void Clear();
    // The glyph of `c` (or of U+25AF when the font lacks c), caching a
    // run-time font's image; null when neither exists.
    ZQGlyph2* GetGlyph(int c);
    // As GetGlyph without rendering anything: measuring never touches the cache.
    const ZQGlyph2* FindGlyph(int c) const;
    int GetShift(int c) const;
    // Sum of the advances of a zero-terminated text (no scale; 0 for null).
    int TextWidth(const uint16_t* text) const;
    int TextHeight() const { return lineHeight; }

    const char* GetName() const { return name.c_str(); }
    int GetSize() const { return size; }
    bool GetBold() const { return bold; }
    bool GetItalic() const { return italic; }
    int GetFirst() const { return first; }
    int GetLast() const { return last; }
    // The texture-page entry's script handle when the font has one, else its
    // texture id (-1 none).
    int64_t GetTexture() const;
    bool IsSpriteFont() const { return spriteIndex >= 0; }
    bool IsRunTime() const { return cache != nullptr; }
    int GlyphCount() const { return static_cast<int>(glyphs.size()); }
    const ZQGlyph2* GlyphAt(int i) const { return glyphs[static_cast<size_t>(i)]; }
    ZQFTGlyphCache* Cache() const { return cache.get(); }

    void InitTexture();
    void FreeTexture();
    static void Free(CFontVT* font) { delete font; }

    // One line of 16-bit codes (font_draw.cpp). Colours are script colours
    // 0xBBGGRR, alpha 0..1, angles in degrees counter-clockwise.
    void Draw_String(float x, float y, const uint16_t* text, uint32_t colour, float alpha);
    void Draw_String_Transformed(float x, float y, const uint16_t* text, float xscale, float yscale,
                                 float angle, uint32_t colour, float alpha);
    void Draw_String_Color(float x, float y, const uint16_t* text, uint32_t c1, uint32_t c2, uint32_t c3,
                           uint32_t c4, float alpha);
    void Draw_String_Transformed_Color(float x, float y, const uint16_t* text, float xscale, float yscale,
                                       float angle, uint32_t c1, uint32_t c2, uint32_t c3, uint32_t c4,
                                       float alpha);

    std::string name;
    int32_t size = 12;
    bool bold = false, italic = false;
    int32_t charset = 0;
    int32_t antiAlias = 0;
    int32_t first = 32, last = 128;
    int32_t spriteIndex = -1;
    int32_t imageWidth = 0, imageHeight = 0;
    int32_t lineHeight = 0;
    std::vector<uint8_t> byteImage;
    int32_t textureId = -1;
    ZQTPageEntry* pageEntry = nullptr;
    float scaleX = 1.0f, scaleY = 1.0f;
    float quadPad = 0.0f;

private:
    friend class ZQFTGlyphCache;
    void SetRange(uint32_t range);
    int FindIndex(int c) const; // the glyph's place in `glyphs`, or -1
    void IndexGlyphs();         // pointer table over `store`, sorted; lineHeight
    void CreateIt();
    // The texture the glyph quads sample and its reciprocal size; null when none.
    struct Source;
    bool GetSource(Source& out) const;
    // Every variant: quads (or sprite frames) of one line, the pen moving by
    // advance × xscale along the angle; `gradient` spreads c1..c4 over the
    // line's width instead of giving each glyph the four corners as they are.
    void DrawLine(const uint16_t* text, float x, float y, float xscale, float yscale, float angleDegrees,
                  bool transformed, const uint32_t (&c)[4], bool gradient, float alpha);

    std::vector<uint8_t> store;             // owned glyph records, back to back
    std::vector<ZQGlyph2*> glyphs;          // sorted by code
    std::unique_ptr<ZQTPageEntry> ownEntry; // the built-in fonts' entry
    std::vector<uint8_t> fileData;          // a run-time font's file, kept while it lives
    std::unique_ptr<ZQFTGlyphCache> cache;
    std::vector<ZQFTCell*> cacheSlots; // parallel to glyphs
    bool ownsPageTexture = false;      // the built-in fonts made their page
};

// Codes before the terminating 0 of a 16-bit text (0 for null).
int zqwcslen(const uint16_t* text);
