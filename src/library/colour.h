// Colour values and their conversions: packing 0x00BBGGRR colours into byte
// triples and back, red-green-blue to hue-saturation-value and back, and
// blending two colours. All arithmetic is single precision with truncating
// conversions; the drawing, text and particle code depend on the exact bytes.
#pragma once

#include <cstdint>

// Bytes in this memory order: blue, green, red.
struct TRGB {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
};
// Hue 0-255 covers the whole circle (255 is 360 degrees); saturation and
// value 0-255 stand for 0.0-1.0.
struct THSV {
    uint8_t hue;
    uint8_t saturation;
    uint8_t value;
};

TRGB Color_RGB(int red, int green, int blue);
THSV Color_HSV(int hue, int saturation, int value);
TRGB Color_ColorToRGB(const uint32_t& colour);
uint32_t Color_RGBToColor(const TRGB& rgb);
THSV Color_RGBtoHSV(TRGB rgb);
THSV Color_ColorToHSV(uint32_t colour);
uint32_t Color_HSVToColor(const THSV& hsv);
TRGB Color_HSVToRGB(const THSV& hsv);
// Each channel: colour2 * amount + colour1 * (1 - amount) in single
// precision, rounded half to even, and only its low 8 bits kept (an amount
// outside 0..1 wraps the byte rather than clamping it).
uint32_t Color_Merge(uint32_t colour1, uint32_t colour2, float amount);
TRGB Color_MergeRGB(TRGB rgb1, TRGB rgb2, float amount);
