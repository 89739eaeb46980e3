// Script objects: the base of every script-visible object. Values hold
// objects through it (kind object, and owned pointers that are deleted on
// release); the slot array, variable map, prototype and slot table join it
// with the script-object module.
#pragma once

#include <cstdint>

// What an object is to the script object runtime.
enum : int32_t {
    OBJECT_KIND_PLAIN = 0,
    OBJECT_KIND_INSTANCE = 1,
    OBJECT_KIND_ACCESSOR = 2,  // property descriptor
    OBJECT_KIND_SCRIPTREF = 3, // callable reference
};

class ZQObjectBase {
public:
    ZQObjectBase() = default;
    // Owned pointer values delete their object through this destructor.
    virtual ~ZQObjectBase();
    ZQObjectBase(const ZQObjectBase&) = delete;
    ZQObjectBase& operator=(const ZQObjectBase&) = delete;

    int32_t m_kind = OBJECT_KIND_PLAIN;
};
