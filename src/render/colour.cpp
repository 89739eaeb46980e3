// Colour words (see colour.h).
#include "render/colour.h"

#include <cmath>

#include "core/real_to_int.h"

uint32_t ConvertAlpha(float alpha) {
    if (!(alpha > 0.0f)) return 0; // NaN and everything at or below 0
    if (alpha > 1.0f) alpha = 1.0f;
    return static_cast<uint32_t>(RealToInt32(alpha * 255.0f));
}

uint32_t GR_RGBA_To_D3DColor(int c1, int c2, int c3, uint32_t alpha) {
    return alpha << 24 | (static_cast<uint32_t>(c1) & 0xFF) << 16 | (static_cast<uint32_t>(c2) & 0xFF) << 8 |
           (static_cast<uint32_t>(c3) & 0xFF);
}

uint32_t GR_Color_To_D3DColor(uint32_t colour, uint32_t alpha) {
    return alpha << 24 | (colour & 0xFFFFFF);
}

uint32_t GR_D3DColor_Change_Alpha(uint32_t word, uint32_t alpha) {
    return alpha << 24 | (word & 0xFFFFFF);
}

uint32_t GR_Color_Merge(uint32_t c1, uint32_t c2, float t) {
    uint32_t result = 0;
    float s = 1.0f - t;
    for (int shift = 0; shift < 24; shift += 8) {
        float a = static_cast<float>((c1 >> shift) & 0xFF);
        float b = static_cast<float>((c2 >> shift) & 0xFF);
        float mixed = b * t + a * s;
        uint32_t channel = static_cast<uint32_t>(RealRoundToInt32(mixed)) & 0xFF;
        result |= channel << shift;
    }
    return result;
}
