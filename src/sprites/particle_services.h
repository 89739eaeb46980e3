// What the room's draw pass asks of the particle systems: their depths from
// the largest down, and drawing the systems of one depth.
#pragma once

// The largest depth of any particle system; -1e9 or less when there is none.
float ParticleSystem_LargestDepth();
// The next smaller depth after `depth`; -1e8 or less when there is none.
float ParticleSystem_NextDepth(float depth);
// Draws the particle systems of that depth.
void ParticleSystem_DrawDepth(float depth);
