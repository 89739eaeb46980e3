// Run-time fonts: a font file opened through FreeType, every character of its
// Unicode map given a glyph record at creation, images rendered on demand
// into the font's glyph cache.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "core/console.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "sprites/font.h"
#include "sprites/font_cache.h"

#include FT_SIZES_H

int32_t g_nFontTextureSize = 1024;
bool g_FontAntialias = true;

namespace {

// Earlier characters of the map tried as the left partner of each character:
// the kerning pairs of a font concern its common characters, and trying
// every earlier one would cost a large font (CJK) billions of look-ups.
constexpr int kKerningPartners = 256;

int Ceil26(long v) {
    return static_cast<int>((v + 63) >> 6);
}

int16_t Clamp16(long v) {
    return static_cast<int16_t>(std::clamp<long>(v, -32768, 32767));
}

std::vector<uint8_t> ReadFontFile(const char* path) {
    int length = 0;
    char* data = nullptr;
    std::error_code error;
    if (LoadSave::SaveFileExists(path)) data = LoadSave::ReadSaveFile(path, &length);
    // The bundle read also takes a path that names a file as it stands.
    else if (LoadSave::BundleFileExists(path) || std::filesystem::is_regular_file(path, error))
        data = LoadSave::ReadBundleFile(path, &length);
    std::vector<uint8_t> bytes;
    if (data != nullptr && length > 0) bytes.assign(data, data + length);
    ZQ_Free(data);
    return bytes;
}

} // namespace

CFontVT::CFontVT(const char* path, int pointSize, bool isBold, bool isItalic, int firstCode, int lastCode) {
    name = path != nullptr ? path : "";
    size = pointSize;
    bold = isBold;
    italic = isItalic;
    first = std::max(firstCode, 0);
    last = lastCode >= 256 ? 255 : lastCode;
    charset = 0;
    antiAlias = g_FontAntialias ? 3 : 0;
    CreateIt();
}

void CFontVT::CreateIt() {
    if (g_FreeTypeLibrary == nullptr && FT_Init_FreeType(&g_FreeTypeLibrary) != 0) {
        g_FreeTypeLibrary = nullptr;
        return;
    }
    fileData = ReadFontFile(name.c_str());
    if (fileData.empty()) {
        dbg_csol->Output("FreeType :: unable to find font file %s\n", name.c_str());
        return;
    }
    auto fail = [this](FT_Face face) {
        if (face != nullptr) FT_Done_Face(face);
        fileData.clear();
    };
    FT_Face face = nullptr;
    FT_Error error = FT_New_Memory_Face(g_FreeTypeLibrary, fileData.data(),
                                        static_cast<FT_Long>(fileData.size()), 0, &face);
    if (error != 0) {
        dbg_csol->Output("FreeType :: error = %08x(%d) :: Unable to open font file %s\n", error, error,
                         name.c_str());
        return fail(nullptr);
    }
    // Sizes beyond what FreeType takes are refused there, not overflowed here.
    error = FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::clamp(size, 0, 0xFFFF)) * 64, 96, 96);
    if (error != 0) {
        dbg_csol->Output("FreeType :: error = %08x(%d) :: Unable to set font pixel size\n", error, error);
        return fail(face);
    }
    error = FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    if (error != 0) {
        dbg_csol->Output("FreeType :: error = %08x(%d) :: Unable to select unicode font character map\n",
                         error, error);
        return fail(face);
    }
    const long ascender = face->size->metrics.ascender;

    // The map's characters in map order (ascending codes), BMP only.
    struct Entry {
        FT_ULong code;
        FT_UInt index;
    };
    std::vector<Entry> map;
    FT_UInt index = 0;
    for (FT_ULong c = FT_Get_First_Char(face, &index); index != 0; c = FT_Get_Next_Char(face, c, &index))
        if (c <= 0xFFFF) map.push_back({c, index});

    ZQGlyph2 space{32, 0, 0, 0, 0, 0, 0, 0};
    if (FT_Load_Char(face, 32, FT_LOAD_DEFAULT) == 0) space.shift = Clamp16(Ceil26(face->glyph->advance.x));
    std::vector<uint8_t> records(sizeof space);
    std::memcpy(records.data(), &space, sizeof space);

    const bool kerning = FT_HAS_KERNING(face);
    std::vector<int16_t> pairs;
    for (size_t j = 0; j < map.size(); ++j) {
        ZQGlyph2 g{static_cast<uint16_t>(map[j].code), -1, -1, 0, 0, 0, 0, 0};
        if (FT_Load_Glyph(face, map[j].index, FT_LOAD_DEFAULT) == 0) {
            const FT_Glyph_Metrics& m = face->glyph->metrics;
            g.width = Clamp16(Ceil26(m.width));
            g.height = Clamp16(Ceil26(ascender - m.horiBearingY + m.height));
            g.shift = Clamp16(Ceil26(face->glyph->advance.x));
            g.offset = Clamp16(Ceil26(m.horiBearingX));
        }
        pairs.clear();
        if (kerning) {
            const size_t to = std::min(j, static_cast<size_t>(kKerningPartners));
            for (size_t p = 0; p < to && pairs.size() < 2 * kMaxKerningPairs; ++p) {
                FT_Vector k{0, 0};
                if (FT_Get_Kerning(face, map[p].index, map[j].index, FT_KERNING_DEFAULT, &k) != 0 || k.x == 0)
                    continue;
                pairs.push_back(static_cast<int16_t>(map[p].code));
                pairs.push_back(Clamp16(Ceil26(k.x)));
            }
        }
        g.kerningCount = static_cast<int16_t>(pairs.size() / 2);
        const size_t at = records.size();
        records.resize(at + sizeof g + pairs.size() * 2);
        std::memcpy(records.data() + at, &g, sizeof g);
        if (!pairs.empty()) std::memcpy(records.data() + at + sizeof g, pairs.data(), pairs.size() * 2);
    }
    store = std::move(records);
    IndexGlyphs(); // sorted; the space record stays ahead of the map's own U+0020
    lineHeight = Ceil26(face->size->metrics.height);
    cache = std::make_unique<ZQFTGlyphCache>();
    cache->Init(std::max(g_nFontTextureSize, 1), std::max(g_nFontTextureSize, 1), face);
    cacheSlots.assign(glyphs.size(), nullptr);
    textureId = cache->textureId;
    quadPad = 0.0f;
}
