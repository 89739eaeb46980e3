// Placeholder until the collision pass lands.
#include "world/collision_pass.h"

void HandleCollision() {}
