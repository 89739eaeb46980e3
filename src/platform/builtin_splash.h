// The splash image built into the program.
#pragma once

#include <cstdint>

// The built-in splash PNG and its size in bytes; the program owns the bytes.
const uint8_t* LoadHobbySplash(int* size);
