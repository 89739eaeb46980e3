// What the particle module asks of the general library, which sits above it:
// the colour of a hue, saturation and value (each 0-255), as the library's
// colour conversions make it. Defined in library/particle_builtins.cpp.
#pragma once

#include <cstdint>

uint32_t Particle_HSVColour(int hue, int saturation, int value);
