// What an instance takes from its object type when it is assigned one: the
// sprite, mask, depth, the solid/visible/persistent flag bits (the
// OBJECT_FLAG_* bits of world/objects/object_type.h) and whether the type uses physics.
#pragma once

#include <cstdint>

#include "world/objects/object_type.h"

struct SObjectDefaults {
    int32_t sprite = -1;
    int32_t mask = -1;
    float depth = 0.0f;
    uint32_t flags = 0;
    bool physics = false;
};

// Fills `out` with the type's defaults (left as constructed for null).
void Object_GetDefaults(const CObjectVT* type, SObjectDefaults* out);
