// Stand-ins for the physics world, until the module is built: each accepts its
// call and does nothing, or answers "none" (or succeeds where the caller would
// otherwise stop). The module deletes each stand-in as it defines the real
// function; the build refuses a function defined both here and in the module
// (tools/check_duplicates.sh).
#include "world/run/startup_services.h"
#include "world/step/step_services.h"

// ---- asked for through world/run/startup_services.h

void InitPhysicsFunctions() {}

void Instance_RebuildPhysicsBody(CInstance*, CRoom*) {}

// ---- asked for through world/step/step_services.h

bool Physics_UpdateRoomWorld(CRoom*, int, bool) {
    return false;
}
