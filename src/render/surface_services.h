// What surface targeting asks of modules built later: the sprite code's
// cull-skip flag, which the target stack saves and restores, the default
// camera that new-generation data points at a surface, and the GUI view
// restored when the last surface of the GUI pass is left.
#pragma once

// CSprite::ms_ignoreCull of the sprite code.
bool Sprite_GetIgnoreCull();
void Sprite_SetIgnoreCull(bool on);

// Points the default camera at the rectangle and makes it active.
void UpdateDefaultCamera(float x, float y, float w, float h, float angle);
// The viewport, projection and view of the GUI events.
void SetGuiView();
