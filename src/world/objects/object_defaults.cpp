// The defaults an instance takes from its object type.
#include "world/objects/object_defaults.h"

void Object_GetDefaults(const CObjectVT* type, SObjectDefaults* out) {
    *out = SObjectDefaults{};
    if (type == nullptr) return;
    out->sprite = type->m_spriteIndex;
    out->mask = type->m_maskIndex;
    out->depth = static_cast<float>(type->m_depth);
    out->flags = type->m_flags & (OBJECT_FLAG_SOLID | OBJECT_FLAG_VISIBLE | OBJECT_FLAG_PERSISTENT);
    out->physics = type->m_physicsObject;
}
