// Direct calls the compiled game makes in place of the function table where
// the runtime has no fast path of its own yet.
#pragma once

#include <cstdint>

class CInstance;

// draw_sprite_ext(sprite, frame, x, y, xscale, yscale, angle, colour,
// alpha): draws the frame with the sprite's origin at (x, y); a sprite
// index that names no sprite draws nothing.
void Game_DrawSpriteExt(CInstance* self, int sprite, int frame, float x, float y, float xscale, float yscale,
                        float angle, uint32_t colour, float alpha);
