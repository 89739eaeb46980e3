// Colour words: script colours (0xBBGGRR), alpha values (0..1) and the 32-bit
// vertex colour word (alpha in the top byte, the colour below it as given).
#pragma once

#include <cstdint>

// The alpha byte of an alpha value: clamped to [0, 1] (NaN gives 0), times 255
// in single precision, truncated (0.5 gives 127).
uint32_t ConvertAlpha(float alpha);
// alpha << 24 | c1 << 16 | c2 << 8 | c3, each channel masked to 8 bits; alpha
// is shifted as given.
uint32_t GR_RGBA_To_D3DColor(int c1, int c2, int c3, uint32_t alpha);
// alpha << 24 | the low 24 bits of colour.
uint32_t GR_Color_To_D3DColor(uint32_t colour, uint32_t alpha);
uint32_t GR_D3DColor_Change_Alpha(uint32_t word, uint32_t alpha);
// Per channel of bits 0-23: lrint(c2 * t + c1 * (1 - t)) in single precision,
// ties to even, low 8 bits kept; bits 24-31 of the result are 0.
uint32_t GR_Color_Merge(uint32_t c1, uint32_t c2, float t);
