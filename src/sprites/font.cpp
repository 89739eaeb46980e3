#include "sprites/font.h"

#include <algorithm>
#include <cstring>

#include "core/game_image.h"
#include "core/utf8.h"
#include "render/page_entry.h"
#include "render/texture_table.h"
#include "sprites/font_builtin_data.h"
#include "sprites/font_cache.h"
#include "sprites/font_sprite_services.h"

namespace {

// Appends a glyph record (and its kerning pairs) to a font's store.
void PutGlyph(std::vector<uint8_t>& store, const ZQGlyph2& g, const uint8_t* pairs) {
    const size_t at = store.size();
    store.resize(at + sizeof g + static_cast<size_t>(g.kerningCount) * 4);
    std::memcpy(store.data() + at, &g, sizeof g);
    if (g.kerningCount > 0)
        std::memcpy(store.data() + at + sizeof g, pairs, static_cast<size_t>(g.kerningCount) * 4);
}

int16_t Clamp16(int v) {
    return static_cast<int16_t>(std::clamp(v, -32768, 32767));
}

} // namespace

int zqwcslen(const uint16_t* text) {
    if (text == nullptr) return 0;
    int n = 0;
    while (text[n] != 0) ++n;
    return n;
}

CFontVT::CFontVT() = default;

CFontVT::~CFontVT() {
    Clear();
    if (ownsPageTexture && ownEntry) GR_Texture_Free(ownEntry->page);
}

void CFontVT::Clear() {
    name.clear();
    if (cache) {
        FT_Face face = cache->face;
        cache->Release();
        cache.reset();
        if (face != nullptr) FT_Done_Face(face);
    }
    cacheSlots.clear();
    fileData.clear();
    glyphs.clear();
    store.clear();
    FreeTexture();
    byteImage.clear();
    scaleX = scaleY = 1.0f;
    size = 12;
    bold = italic = false;
    first = 32;
    last = 128;
    quadPad = 0.0f;
    spriteIndex = -1;
    lineHeight = 0;
}

void CFontVT::SetRange(uint32_t range) {
    first = static_cast<int32_t>(range & 0xFFFF);
    if (((range >> 16) & 0xFF) != 0) charset = static_cast<int32_t>((range >> 16) & 0xFF);
    if ((range >> 24) != 0) antiAlias = static_cast<int32_t>(range >> 24) - 1;
}

void CFontVT::IndexGlyphs() {
    glyphs.clear();
    for (size_t at = 0; at < store.size();) {
        auto* g = reinterpret_cast<ZQGlyph2*>(store.data() + at);
        glyphs.push_back(g);
        at += sizeof(ZQGlyph2) + static_cast<size_t>(std::max<int16_t>(g->kerningCount, 0)) * 4;
    }
    // Stable: a character given twice keeps both records in their order.
    std::stable_sort(glyphs.begin(), glyphs.end(),
                     [](const ZQGlyph2* a, const ZQGlyph2* b) { return a->code < b->code; });
    lineHeight = 0;
    for (const ZQGlyph2* g : glyphs) lineHeight = std::max<int32_t>(lineHeight, g->height);
}

void CFontVT::LoadFromChunk(CFontVT* font, ImageReader& record) {
    font->Clear();
    const uint32_t nameOffset = record.U32();
    (void)nameOffset; // the table keeps the resource name
    const char* face = record.StringAt();
    const int32_t pointSize = record.S32();
    const bool isBold = record.U32() != 0, isItalic = record.U32() != 0;
    const uint32_t range = record.U32();
    const int32_t lastCode = record.S32();
    ZQTPageEntry* entry = TPageEntry_Resolve(record, record.U32());
    const float sx = record.F32(), sy = record.F32();
    const uint32_t count = record.Count(4);
    // Everything is read before the font changes, so a refused record leaves
    // the font cleared and nothing half-built.
    std::vector<uint8_t> store;
    for (uint32_t i = 0; i < count; ++i) {
        ImageReader g = record.At(record.U32());
        ZQGlyph2 glyph;
        std::memcpy(&glyph, g.Bytes(sizeof glyph), sizeof glyph);
        if (glyph.kerningCount < 0) g.Fail("a glyph has a negative kerning pair count");
        const uint8_t* pairs = g.Bytes(static_cast<size_t>(glyph.kerningCount) * 4);
        PutGlyph(store, glyph, pairs);
    }
    font->pageEntry = entry;
    font->imageWidth = entry != nullptr ? entry->width : 0;
    font->imageHeight = entry != nullptr ? entry->height : 0;
    font->size = pointSize;
    font->bold = isBold;
    font->italic = isItalic;
    font->SetRange(range);
    font->last = lastCode;
    font->scaleX = sx;
    font->scaleY = sy;
    font->store = std::move(store);
    font->IndexGlyphs();
    font->name = face != nullptr ? face : "";
}

CFontVT::CFontVT(const uint8_t (*table)[4], int firstCode, int lastCode, int texture) {
    name = "debug";
    size = 10;
    antiAlias = 3;
    quadPad = 0.5f;
    first = firstCode;
    last = lastCode;
    for (int c = firstCode; c <= lastCode; ++c) {
        const uint8_t* cell = table[c - firstCode];
        const ZQGlyph2 g{static_cast<uint16_t>(c), cell[0], cell[1], cell[2], cell[3], cell[2], 0, 0};
        PutGlyph(store, g, nullptr);
    }
    IndexGlyphs();
    ownEntry = std::make_unique<ZQTPageEntry>(
        ZQTPageEntry{0, 0, 256, 128, 0, 0, 256, 128, 256, 128, static_cast<int16_t>(texture)});
    pageEntry = ownEntry.get();
    ownsPageTexture = true;
}

CFontVT::CFontVT(const uint8_t* png, uint32_t pngLength, const BuiltinGlyph* table, int count, int pointSize,
                 bool isBold, uint32_t range, int lastCode) {
    const int texture = GR_Texture_Create_From_File(png, pngLength);
    const TextureEntry* e = GR_Texture_Entry(texture);
    const int16_t w = e != nullptr ? e->width : 0, h = e != nullptr ? e->height : 0;
    ownEntry = std::make_unique<ZQTPageEntry>(
        ZQTPageEntry{0, 0, w, h, 0, 0, w, h, w, h, static_cast<int16_t>(texture)});
    pageEntry = ownEntry.get();
    ownsPageTexture = true;
    imageWidth = w;
    imageHeight = h;
    size = pointSize;
    bold = isBold;
    SetRange(range);
    last = lastCode;
    for (int i = 0; i < count; ++i) {
        const BuiltinGlyph& b = table[i];
        PutGlyph(store,
                 ZQGlyph2{static_cast<uint16_t>(b.code), b.x, b.y, b.width, b.height, b.shift, b.offset, 0},
                 nullptr);
    }
    IndexGlyphs();
    name = "Roboto Mono";
}

CFontVT::CFontVT(int sprite, const char* characters, bool proportional, int separation) {
    SpriteFontSource source;
    if (!SpriteFont_Source(sprite, &source)) return; // an empty font
    spriteIndex = sprite;
    std::vector<uint16_t> codes;
    for (const char* p = characters != nullptr ? characters : ""; *p != 0;)
        codes.push_back(utf8_extract_char(&p));
    int count = std::min(static_cast<int>(codes.size()), source.frameCount);
    const bool hasSpace = std::find(codes.begin(), codes.end(), 32) != codes.end();
    if (!hasSpace) {
        if (static_cast<int>(codes.size()) <= count) codes.resize(static_cast<size_t>(count) + 1);
        codes[static_cast<size_t>(count)] = 32;
        ++count;
    }
    int widest = -999;
    for (int i = 0; i < count; ++i) {
        int left = 0, right = source.width;
        if (i < source.frameCount) SpriteFont_FrameExtent(sprite, i, &left, &right);
        ZQGlyph2 g{codes[static_cast<size_t>(i)], 0, 0, Clamp16(i), Clamp16(source.height), 0, 0, 0};
        if (proportional) {
            g.shift = Clamp16(right + separation - left);
            g.offset = Clamp16(-left);
        } else {
            g.shift = Clamp16(separation + source.width);
        }
        if (g.code != 32) widest = std::max(widest, static_cast<int>(g.shift));
        PutGlyph(store, g, nullptr);
    }
    if (!hasSpace)
        reinterpret_cast<ZQGlyph2*>(store.data() + (store.size() - sizeof(ZQGlyph2)))->shift =
            Clamp16(widest);
    IndexGlyphs();
    first = glyphs.empty() ? 0 : glyphs.front()->code;
    last = first + count;
}

int CFontVT::FindIndex(int c) const {
    auto search = [this](int code) {
        auto it = std::lower_bound(glyphs.begin(), glyphs.end(), code,
                                   [](const ZQGlyph2* g, int v) { return g->code < v; });
        return it != glyphs.end() && (*it)->code == code ? static_cast<int>(it - glyphs.begin()) : -1;
    };
    int i = search(c);
    if (i < 0 && c != kMissingGlyphCode) i = search(kMissingGlyphCode);
    return i;
}

const ZQGlyph2* CFontVT::FindGlyph(int c) const {
    const int i = FindIndex(c);
    return i >= 0 ? glyphs[static_cast<size_t>(i)] : nullptr;
}

ZQGlyph2* CFontVT::GetGlyph(int c) {
    const int i = FindIndex(c);
    if (i < 0) return nullptr;
    ZQGlyph2* g = glyphs[static_cast<size_t>(i)];
    const auto slot = static_cast<size_t>(i);
    if (!cache || slot >= cacheSlots.size()) return g;
    // The space record (x, y 0) is never cached: it has no image.
    if (g->x == -1 && g->y == -1) cacheSlots[slot] = cache->GetLRUSlot(g, antiAlias != 0);
    if (cacheSlots[slot] != nullptr) {
        if (cacheSlots[slot]->glyph != g)
            cacheSlots[slot] = nullptr; // evicted since
        else
            ZQFTGlyphCache::Touch(cacheSlots[slot]);
    }
    return g;
}

int CFontVT::GetShift(int c) const {
    const ZQGlyph2* g = FindGlyph(c);
    return g != nullptr ? g->shift : 0;
}

int CFontVT::TextWidth(const uint16_t* text) const {
    if (text == nullptr) return 0;
    int width = 0;
    for (; *text != 0; ++text) width += GetShift(*text);
    return width;
}

int64_t CFontVT::GetTexture() const {
    if (pageEntry != nullptr) {
        const int64_t handle = TPageEntry_Handle(pageEntry);
        if (handle != -1) return handle;
        return pageEntry->page;
    }
    return textureId;
}

void CFontVT::FreeTexture() {
    if (textureId != -1 && !cache) GR_Texture_Free(textureId);
    if (!cache) textureId = -1;
}

void CFontVT::InitTexture() {
    if (cache) return; // the glyph cache owns a run-time font's texture
    FreeTexture();
    if (spriteIndex >= 0 || name.empty() || byteImage.empty()) return;
    // Nothing this runtime builds has a byte image; kept for fonts that do.
    textureId = -1;
}
