// What layer drawing asks of the particle systems, built beside it: drawing
// one system of a particle element. Until the particle code exists its
// stand-in (src/sprites/stand_ins.cpp) answers.
#pragma once

// Draws particle system `id` when it is set to draw automatically; nothing
// for an id that names no system.
void ParticleSystem_AutoDraw(int id);
