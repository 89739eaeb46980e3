// The twelve built-in effects (explosion, ring, ellipse, firework, smoke,
// smoke-up, star, spark, flare, cloud, rain, snow) in three sizes, made in
// two particle systems of their own: one drawn below everything else, one
// above. Their 35 types are set up again on every call, scaled to the game
// speed so an effect looks the same at any frame rate.
#pragma once

#include <cstdint>

// The two effect systems, -1 until first use.
extern int32_t ps_below;
extern int32_t ps_above;

// Kind 0-11 (ef_explosion … ef_snow; any other does nothing after the
// systems and types are made); size 0 small, 2 large, any other medium.
void Effect_Create(bool below, int kind, float x, float y, int size, int colour);
// Removes every particle of both effect systems.
void Effect_Clear();
// The same, as the room start asks for it.
void Effects_Clear();
// The speed factor the effects scale by (30 / the measured or set rate when
// the game runs faster than 30 steps a second, else 1).
float Effect_SpeedFactor();
// The systems forgotten (tests; the particle module frees them).
void Effects_Reset();
