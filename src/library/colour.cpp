// Colour conversions. The constants are the single-precision values the
// conversions have always used; changing any of them moves result bytes.
#include "library/colour.h"

#include <cmath>

namespace {

constexpr float kOne255th = 0.003921569f;
constexpr float k60Over255 = 0.23529413f;
constexpr float k255Over360 = 0.70833331f;
constexpr float k360Over255 = 1.4117647f;
constexpr float k6Over255 = 0.023529414f;

// x * 255 + 0.5 truncated, then held to 0..255. The comparisons are made on
// the float so that a NaN or a huge value never reaches an integer cast.
uint8_t ByteClamp(float x) {
    float t = x * 255.0f + 0.5f;
    if (!(t > 0.0f)) return 0;
    if (t >= 255.0f) return 255;
    return static_cast<uint8_t>(static_cast<int>(t));
}

// Rounds half to even and keeps the low byte of the integer.
uint8_t MergeChannel(uint8_t a, uint8_t b, float amount) {
    float mixed = static_cast<float>(b) * amount + static_cast<float>(a) * (1.0f - amount);
    float rounded = std::nearbyint(mixed);
    // An amount far outside 0..1 can leave the 64-bit range; such a value
    // wraps to 0 here rather than being converted undefined.
    if (!(rounded > -9.2e18f && rounded < 9.2e18f)) return 0;
    return static_cast<uint8_t>(static_cast<int64_t>(rounded));
}

} // namespace

TRGB Color_RGB(int red, int green, int blue) {
    return TRGB{static_cast<uint8_t>(blue), static_cast<uint8_t>(green), static_cast<uint8_t>(red)};
}

THSV Color_HSV(int hue, int saturation, int value) {
    return THSV{static_cast<uint8_t>(hue), static_cast<uint8_t>(saturation), static_cast<uint8_t>(value)};
}

TRGB Color_ColorToRGB(const uint32_t& colour) {
    return TRGB{static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
                static_cast<uint8_t>(colour)};
}

uint32_t Color_RGBToColor(const TRGB& rgb) {
    return static_cast<uint32_t>(rgb.blue) << 16 | static_cast<uint32_t>(rgb.green) << 8 | rgb.red;
}

THSV Color_RGBtoHSV(TRGB rgb) {
    float r = rgb.red * kOne255th;
    float g = rgb.green * kOne255th;
    float b = rgb.blue * kOne255th;
    float max = std::fmax(r, std::fmax(g, b));
    float min = std::fmin(r, std::fmin(g, b));
    float delta = max - min;
    float s = max != 0.0f ? delta / max : 0.0f;
    float h = 0.0f;
    if (s != 0.0f) {
        // The byte differences are on 0..255, the delta on 0..1.
        if (r == max)
            h = static_cast<float>(rgb.green - rgb.blue) * k60Over255 / delta;
        else if (g == max)
            h = static_cast<float>(rgb.blue - rgb.red) * k60Over255 / delta + 120.0f;
        else
            h = static_cast<float>(rgb.red - rgb.green) * k60Over255 / delta + 240.0f;
        if (h < 0.0f) h += 360.0f;
    }
    THSV hsv;
    hsv.value = ByteClamp(max);
    hsv.saturation = ByteClamp(s);
    float hueByte = h * k255Over360 + 0.5f;
    int t = hueByte >= 255.0f ? 255 : static_cast<int>(hueByte);
    hsv.hue = static_cast<uint8_t>(t <= 0 ? 0 : t);
    return hsv;
}

THSV Color_ColorToHSV(uint32_t colour) {
    return Color_RGBtoHSV(Color_ColorToRGB(colour));
}

TRGB Color_HSVToRGB(const THSV& hsv) {
    float s = hsv.saturation * kOne255th;
    float v = hsv.value * kOne255th;
    float red, green, blue;
    if (s == 0.0f) {
        red = green = blue = v;
    } else {
        // Hue 255 is the full circle and starts the first sector again.
        float f = static_cast<float>(hsv.hue) * k360Over255 == 360.0f
                      ? 0.0f
                      : static_cast<float>(hsv.hue) * k6Over255;
        int i = static_cast<int>(f);
        float fr = f - static_cast<float>(i);
        float p = (1.0f - s) * v;
        float q = (1.0f - fr * s) * v;
        float t = ((fr - 1.0f) * s + 1.0f) * v;
        switch (i) {
            case 0: red = v, green = t, blue = p; break;
            case 1: red = q, green = v, blue = p; break;
            case 2: red = p, green = v, blue = t; break;
            case 3: red = p, green = q, blue = v; break;
            case 4: red = t, green = p, blue = v; break;
            default: red = v, green = p, blue = q; break;
        }
    }
    return TRGB{ByteClamp(blue), ByteClamp(green), ByteClamp(red)};
}

uint32_t Color_HSVToColor(const THSV& hsv) {
    return Color_RGBToColor(Color_HSVToRGB(hsv));
}

uint32_t Color_Merge(uint32_t colour1, uint32_t colour2, float amount) {
    TRGB merged = Color_MergeRGB(Color_ColorToRGB(colour1), Color_ColorToRGB(colour2), amount);
    return Color_RGBToColor(merged);
}

TRGB Color_MergeRGB(TRGB rgb1, TRGB rgb2, float amount) {
    return TRGB{MergeChannel(rgb1.blue, rgb2.blue, amount), MergeChannel(rgb1.green, rgb2.green, amount),
                MergeChannel(rgb1.red, rgb2.red, amount)};
}
