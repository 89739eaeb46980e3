// What an instance takes from its object type when it is assigned one: the
// sprite, mask, depth, the solid/visible/persistent flag bits and whether the
// type uses physics. The object-type module answers it; until then
// src/world/object_defaults_seam.cpp gives the record's defaults.
#pragma once

#include <cstdint>

class CObjectVT;

inline constexpr uint32_t OBJECT_FLAG_SOLID = 1;
inline constexpr uint32_t OBJECT_FLAG_VISIBLE = 2;
inline constexpr uint32_t OBJECT_FLAG_PERSISTENT = 4;

struct SObjectDefaults {
    int32_t sprite = -1;
    int32_t mask = -1;
    float depth = 0.0f;
    uint32_t flags = 0;
    bool physics = false;
};

// Fills `out` with the type's defaults (left as constructed for null).
void Object_GetDefaults(const CObjectVT* type, SObjectDefaults* out);
