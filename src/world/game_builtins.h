// The game built-ins: instance queries and life, movement, motion planning,
// room and game control, saved games and the geometry tests.
#pragma once

void InitGameFunctions();
