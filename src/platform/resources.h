// The resources folder beside the executable ("assets/"), where the game's
// data file and splash image ship.
#pragma once

#include <string>

// The path of `name` in the resources folder ("name" itself when the
// executable's folder is unknown).
std::string Platform_ResourcePath(const char* name);
