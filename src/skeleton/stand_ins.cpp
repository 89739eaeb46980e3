// Stand-ins for the skeletal animation, until the module is built: each
// accepts its call and does nothing. The module deletes each stand-in as it
// defines the real function; the build refuses a function defined both here
// and in the module (tools/check_duplicates.sh).
#include "sprites/skeleton_services.h"

// ---- asked for through sprites/skeleton_services.h

void SkeletonSprite_SetDrawInstance(CInstance*) {}
