// Arbitrary bytes as a data file whose "TPAG", "TXTR" and "FONT" chunks are
// found by walking the chunk headers only (sizes clipped to the input) and
// handed to their loaders in file order; then every loaded font looks up,
// measures, splits and draws texts in every variant.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "chunk_walk.h"
#include "core/console.h"
#include "core/game_chunks.h"
#include "core/game_image.h"
#include "core/header_globals.h"
#include "render/page_entry.h"
#include "render/texture_table.h"
#include "render/vertex_batch.h"
#include "sprites/font.h"
#include "sprites/font_table.h"
#include "sprites/text.h"
#include "world/datafile/game_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    init_csol = dbg_csol = &g_dummyConsole;
    std::vector<uint8_t> image(data, data + size);
    g_WADImage = ImageReader(image.data(), image.size(), 0, image.size(), "");
    g_TexturePageChunk = ImageReader();
    g_isNimbar = size % 2 == 0;
    Font_Init();

    ForEachChunk(image, [](const FuzzChunk& c) {
        if (c.Is("TPAG") && c.Size() > 0 && g_TexturePageChunk.Empty()) g_TexturePageChunk = c.reader;
        if (c.Is("TXTR")) Texture_Load(c.reader);
        if (c.Is("FONT")) Font_Load(c.reader);
    });

    static const char* const kTexts[] = {"AV A#V\\#", "A\r\nV\n\rA\n\nV", "  A  V  ",
                                         "\xE2\x82\xAC\xE2\x96\xAF"};
    for (int f = -1; f <= Font_Number(); ++f) {
        GR_Text_Set_Font(f);
        GR_Text_Set_HAlign(f & 3);
        GR_Text_Set_VAlign((f >> 1) & 3);
        for (const char* text : kTexts) {
            for (int width : {-1, 0, 3, 9, 40}) {
                GR_Text_Width(text, -1, width);
                GR_Text_Height(text, 3, width);
                GR_Text_Draw(1, 2, text, -1, width);
                GR_Text_Draw_Transformed(1, 2, text, 4, width, 2, -1, 33);
                GR_Text_Draw_Color(1, 2, text, -1, width, 0xFF, 0xFF00, 0xFF0000, 0, 0.5f);
                GR_Text_Draw_Transformed_Color(1, 2, text, 1, width, 0.5f, 1, 0, 1, 2, 3, 4, 1);
                Batch_Empty();
            }
        }
        if (CFontVT* font = Font_Data(f)) {
            for (int c = 0; c < 300; ++c) font->GetGlyph(c);
            font->GetGlyph(0x25AF);
            font->GetTexture();
        }
    }
    for (int b = -2; b < 260; b += 7) Font_CodePage(b);

    Batch_Empty();
    Text_Reset();
    Font_Reset();
    TextureTable_Reset();
    TexturePages_Reset();
    g_WADImage = ImageReader();
    g_TexturePageChunk = ImageReader();
    return 0;
}
