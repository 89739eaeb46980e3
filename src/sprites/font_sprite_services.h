// What sprite fonts ask of the sprite table, defined by the sprite table when
// it is built (until then a stand-in answers every sprite as missing, so a
// sprite font is an empty font that draws nothing).
#pragma once

#include <cstdint>

struct SpriteFontSource {
    int frameCount = 0;
    int width = 0, height = 0;
};

// False when the sprite does not exist.
bool SpriteFont_Source(int sprite, SpriteFontSource* out);
// The frame's horizontal extent: from its texture-page entry (x offset to x
// offset + crop width) when the sprite has entries, else its bounding box.
void SpriteFont_FrameExtent(int sprite, int frame, int* left, int* right);
// Draws the whole frame at (x, y) with scale, rotation in degrees, corner
// colours (script colours, top left clockwise) and alpha; false when the
// sprite no longer exists.
bool SpriteFont_DrawFrame(int sprite, int frame, float x, float y, float xscale, float yscale, float angle,
                          const uint32_t (&colours)[4], float alpha);
