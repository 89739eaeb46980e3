// Direct calls of the compiled game (see the header).
#include "game/game_fast_paths.h"

#include "sprites/sprite_table.h"
#include "world/instances/sprite_services.h"

void Game_DrawSpriteExt(CInstance*, int sprite, int frame, float x, float y, float xscale, float yscale,
                        float angle, uint32_t colour, float alpha) {
    if (!Sprite_Exists(sprite)) return;
    const CSprite* data = Sprite_Data(sprite);
    if (data != nullptr) data->Draw(frame, x, y, xscale, yscale, angle, colour, alpha);
}
