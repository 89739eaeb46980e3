// What the legacy projections ask of the sprite code, built later: its
// cull-skip flag (CSprite::ms_ignoreCull), set by the orthographic projection
// and cleared by the perspective ones.
#pragma once

bool Sprite_GetIgnoreCull();
void Sprite_SetIgnoreCull(bool on);
