// Stand-ins for skeletal animation, until the module is built: each accepts
// its call and does nothing, or answers "none". The module deletes each
// stand-in as it defines the real function; the build refuses a function
// defined both here and in the module (tools/check_duplicates.sh).
#include "sprites/skeleton_services.h"

// ---- asked for through sprites/skeleton_services.h

// No skeleton is ever made: the file is read as an image, as one holding no
// skeleton would be.
bool SkeletonSprite_LoadFile(CSprite*, const char*) {
    return false;
}

void SkeletonSprite_SetDrawInstance(CInstance*) {}
