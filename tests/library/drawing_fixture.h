// The drawing built-ins' tests: calls through the function table
// (function_call.h), and a small writer-made game whose one 16 × 16
// texture page holds a font, a two-frame sprite and a background.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "background_chunk.h"
#include "core/arguments.h"
#include "core/function_table.h"
#include "core/memory_manager.h"
#include "core/zq_rvalue.h"
#include "font_chunk.h"
#include "function_call.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "render/image_decode.h"
#include "sprite_chunk.h"
#include "texture_chunks.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"

// Num with a sentinel for any other kind, so the failed check is not followed
// by a plausible number.
inline double DrawNum(const ZQRValue& v) {
    EXPECT_EQ(v.Kind(), VALUE_REAL);
    return v.Kind() == VALUE_REAL ? v.val : -12345.0;
}

// The elements of a one-row array of reals (empty for anything else).
inline std::vector<double> DrawReals(const RValue& v) {
    std::vector<double> out;
    if (v.Kind() != VALUE_ARRAY || v.pRefArray == nullptr || v.pRefArray->m_length != 1) return out;
    const DynamicArrayOfRValue& row = v.pRefArray->m_Array[0];
    for (int i = 0; i < row.length; ++i)
        out.push_back(row.arr[i].Kind() == VALUE_REAL ? row.arr[i].val : -999);
    return out;
}

// The page: glyph 'A' is the opaque white 4 × 8 block at its top left, glyph
// 'B' the transparent block beside it (both advance 5, lines 8 high); the
// font's entry is the page's top-left 8 × 8. Sprite 0's frames are two
// trimmed entries on the right, background 0 the page's bottom half.
class DrawingGame {
public:
    DrawingGame() {
        std::vector<uint32_t> rgba(16 * 16, 0);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 4; ++x) rgba[static_cast<size_t>(y * 16 + x)] = 0xFFFFFFFFu;
        uint8_t* png = nullptr;
        size_t length = 0;
        EXPECT_TRUE(PNG_EncodeRGBA(rgba.data(), 16, 16, &png, &length));
        wad::TexturePagesFields pages;
        pages.pages = {wad::TexturePageFields{0, 0, std::vector<uint8_t>(png, png + length)}};
        ZQ_Free(png);
        pages.entries = {Entry(0, 0, 8, 8, 0, 0, 8, 8), Entry(8, 0, 4, 4, 1, 2, 8, 8),
                         Entry(12, 4, 4, 2, 0, 3, 4, 8), Entry(0, 8, 16, 8, 0, 0, 16, 8)};
        wad::FontFields f;
        f.name = "fnt_main";
        f.range = 32 | 1u << 16 | 3u << 24;
        f.entryLabel = wad::PageEntryLabel("TPAG", 0);
        f.glyphs = {{'A', 0, 0, 4, 8, 5, 0, {}}, {'B', 4, 0, 4, 8, 5, 0, {}}};
        wad::SpriteFields s;
        s.width = s.height = 8;
        s.pageEntries = {wad::PageEntryLabel("TPAG", 1), wad::PageEntryLabel("TPAG", 2)};
        wad::BackgroundFields b;
        b.name = "bg_floor";
        b.entryLabel = wad::PageEntryLabel("TPAG", 3);
        wad::GameDataWriter w;
        wad::WriteHeader(w, wad::HeaderFields{});
        wad::WriteTexturePages(w, pages);
        wad::WriteSprites(w, {s});
        wad::WriteBackgrounds(w, {b});
        wad::WriteFonts(w, {f});
        m_image = w.Build();
    }
    // Loads the game; the image must outlive every use of its resources.
    bool Load() {
        Header_Reset();
        const bool ok =
            GetResolution(m_image.data(), m_image.size()) && LoadGameData(m_image.data(), m_image.size());
        EXPECT_TRUE(ok) << GameData_LastError();
        return ok;
    }

private:
    static wad::PageEntryFields Entry(int16_t x, int16_t y, int16_t w, int16_t h, int16_t xo, int16_t yo,
                                      int16_t uw, int16_t uh) {
        wad::PageEntryFields e;
        e.x = x, e.y = y, e.width = e.cropWidth = w, e.height = e.cropHeight = h;
        e.xOffset = xo, e.yOffset = yo, e.untrimmedWidth = uw, e.untrimmedHeight = uh;
        return e;
    }
    std::vector<uint8_t> m_image;
};
