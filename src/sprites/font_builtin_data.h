// The images and glyph tables of the two built-in fonts, generated once by
// tools/fontgen (font_builtin_data.cpp): the embedded default font of
// new-generation games (characters 32-127) and the debug-overlay font of
// legacy games (a 256 × 128 image, one cell per character 32-136).
#pragma once

#include <cstdint>

struct BuiltinGlyph {
    int16_t code, x, y, width, height, shift, offset;
};

inline constexpr int kBuiltinFontFirst = 32, kBuiltinFontLast = 127;
inline constexpr int kDebugFontFirst = 32, kDebugFontLast = 136;

extern const uint8_t kBuiltinFontImage[];
extern const uint32_t kBuiltinFontImageLength;
extern const BuiltinGlyph kBuiltinFontGlyphs[kBuiltinFontLast - kBuiltinFontFirst + 1];
extern const uint8_t kDebugFontImage[];
extern const uint32_t kDebugFontImageLength;
extern const uint8_t kDebugFontTable[kDebugFontLast - kDebugFontFirst + 1][4];
