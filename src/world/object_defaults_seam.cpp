// Stand-in until object types carry their sprite, mask, depth and flags:
// every type answers the record's defaults, or what a test installs.
#include "world/object_defaults.h"

#include "world/object_type.h"

// Test hook (seam only): when set, it answers instead of the defaults.
void (*g_pObjectDefaultsSeam)(const CObjectVT* type, SObjectDefaults* out) = nullptr;

void Object_GetDefaults(const CObjectVT* type, SObjectDefaults* out) {
    *out = SObjectDefaults{};
    if (type != nullptr && g_pObjectDefaultsSeam != nullptr) g_pObjectDefaultsSeam(type, out);
}
