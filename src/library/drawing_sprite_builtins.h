// The sprite and background drawing built-ins' shared helpers and the fast
// paths compiled scripts call without an argument vector. The handlers
// themselves are in the family table SpriteDrawBuiltins()
// (library/drawing_builtins.h).
#pragma once

#include <cstdint>

#include "core/rvalue.h"

class CInstance;

// Reads the frame from args[1] (below 0: the rounded-down image index of
// `self`, 0 without an instance) and the sprite from args[0]. True when the
// sprite exists; else shows "Trying to draw non-existing sprite." and gives
// false.
bool GetSpriteIndices(CInstance* self, RValue* args, int& sprite, int& frame);

// Pixel-buffer fix-ups over width × height four-byte pixels: every fourth
// byte set to 255 (captured pixels made opaque), and the first and third
// byte of each pixel swapped. Nothing is touched for a non-positive size.
void SetImageALPHA(unsigned char* pixels, int width, int height);
void ImageBGRAtoRGBA(unsigned char* pixels, int width, int height);

// Fast paths: as the built-ins, except that a frame below 0 is the image
// index truncated toward zero, draw_sprite_part does not refuse vector or
// skeleton sprites, and a missing sprite draws nothing without a message
// (draw_self still shows it).
void ZQVTL_draw_self(CInstance* self);
void ZQVTL_draw_sprite(CInstance* self, int32_t sprite, int32_t frame, float x, float y);
void ZQVTL_draw_sprite_ext(CInstance* self, int32_t sprite, int32_t frame, float x, float y, float xscale,
                           float yscale, float angle, uint32_t colour, float alpha);
void ZQVTL_draw_sprite_part(CInstance* self, int32_t sprite, int32_t frame, float left, float top,
                            float width, float height, float x, float y);
