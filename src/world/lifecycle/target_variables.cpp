// Variable reads and writes by target: the running room's active list, an
// object type with its descendants, or one instance id. The slot rules are
// the core's (core/variables.cpp); this file finds the instances.
#include "core/game_image.h"
#include "core/error.h"
#include "core/function_table.h"
#include "core/variables.h"
#include "room/room.h"
#include "world/instances/instance.h"
#include "world/objects/object_type.h"

namespace {

bool Usable(const CInstance* instance) {
    return !instance->i_marked && !instance->i_deactivated;
}

// An instance of `objectIndex`, or (with `ancestors`) of one of its descendants.
bool OfObject(const CInstance* instance, int objectIndex, bool ancestors) {
    if (instance->i_objindex == objectIndex) return true;
    if (!ancestors) return false;
    const CObjectVT* type = Object_Data(instance->i_objindex);
    return type != nullptr && type->IsDecendentOf(objectIndex);
}

// The instances an object target designates: its inclusive list, then the
// instances waiting for an object change, then (unless left out) those
// waiting for activation. fn returns false to stop the walk.
template <typename Fn>
void ForEachOfObject(int objectIndex, bool ancestors, bool activationList, Fn&& fn) {
    if (CObjectVT* type = Object_Data(objectIndex)) {
        for (SInstanceNode* node = type->m_InstancesRecursive.m_pFirst; node != nullptr;) {
            SInstanceNode* next = node->m_pNext;
            if (Usable(node->m_pInstance) && !fn(node->m_pInstance)) return;
            node = next;
        }
    }
    auto walk = [&](const CInstanceArray& pending) {
        for (int32_t i = 0; i < pending.m_count; ++i) {
            CInstance* instance = pending.m_pArray[i];
            if (Usable(instance) && OfObject(instance, objectIndex, ancestors) && !fn(instance)) return false;
        }
        return true;
    };
    if (!walk(g_InstanceChangeArray)) return;
    if (activationList) walk(g_InstanceActivateDeactive);
}

template <typename Fn>
void ForEachActive(Fn&& fn) {
    if (Run_Room == nullptr) return;
    for (CInstance* instance = Run_Room->m_pFirstActive; instance != nullptr;) {
        CInstance* next = instance->m_pNext;
        if (Usable(instance) && !fn(instance)) return;
        instance = next;
    }
}

// The one instance a read of `target` uses, or null.
CInstance* FirstOfTarget(int target, bool ancestors) {
    CInstance* found = nullptr;
    auto take = [&](CInstance* instance) {
        found = instance;
        return false;
    };
    if (target == TARGET_ALL) {
        ForEachActive(take);
    } else if (target >= TARGET_FIRST_INSTANCE_ID) {
        CInstance* instance = CInstance::Find(target);
        if (instance != nullptr && !instance->i_marked) found = instance;
    } else if (target >= 0) {
        ForEachOfObject(target, ancestors, true, take);
    }
    return found;
}

} // namespace

bool Variable_GetValue(int target, int id, int arrayIndex, RValue* out) {
    g_fInstanceNotFound = 0;
    CInstance* instance = FirstOfTarget(target, true);
    if (instance == nullptr) {
        g_fInstanceNotFound = 1;
        return false;
    }
    return Variable_GetValue_Direct(instance, id, arrayIndex, out);
}

bool Variable_GetValue_OBJTYPE(int objectIndex, int id, int arrayIndex, RValue* out) {
    if (objectIndex < 0 || objectIndex >= TARGET_FIRST_INSTANCE_ID) return false;
    CInstance* instance = FirstOfTarget(objectIndex, true);
    return instance != nullptr && Variable_GetValue_Direct(instance, id, arrayIndex, out);
}

bool Variable_SetValue(int target, int id, int arrayIndex, RValue* in) {
    if (target < 0 && target != TARGET_ALL) return false;
    bool matched = false;
    bool result = false;
    auto write = [&](CInstance* instance) {
        matched = true;
        if (Variable_IsBuiltInId(id)) {
            if (id < builtin_numb && builtin_variables[id].f_canset)
                result = builtin_variables[id].f_setroutine(instance, arrayIndex, in);
        } else if (Variable_IsUserId(id)) {
            if (WriteUserSlot(instance, id - VARIABLE_ID_BASE, arrayIndex, in)) result = true;
        }
        return true;
    };
    if (target == TARGET_ALL) {
        ForEachActive(write);
    } else if (target >= TARGET_FIRST_INSTANCE_ID) {
        CInstance* instance = CInstance::Find(target);
        if (instance != nullptr && !instance->i_marked) write(instance);
    } else {
        ForEachOfObject(target, true, true, write);
    }
    if (!matched) {
        if (target >= 0 && target < TARGET_FIRST_INSTANCE_ID)
            ZQError("Unable to find any instance for object index '%d' name '%s'", target,
                    Object_Exists(target) ? GameData_Printable(Object_Name(target)).c_str() : "(null)");
        else
            ZQError("Unable to find any instance for object index '%d'", target);
        return false;
    }
    return result;
}

bool ZQVTL_Variable_GetValue(int target, int slot, int arrayIndex, RValue* out) {
    CInstance* instance = FirstOfTarget(target, false);
    return instance != nullptr && ReadUserSlot(instance, slot, arrayIndex, out);
}

bool ZQVTL_Variable_SetValue(int target, int slot, int arrayIndex, RValue* in) {
    bool written = false;
    auto write = [&](CInstance* instance) {
        written = WriteUserSlot(instance, slot, arrayIndex, in) || written;
        return true;
    };
    if (target == TARGET_ALL) {
        ForEachActive(write);
    } else if (target >= TARGET_FIRST_INSTANCE_ID) {
        CInstance* instance = CInstance::Find(target);
        if (instance != nullptr && !instance->i_marked) write(instance);
    } else if (target >= 0) {
        ForEachOfObject(target, false, false, write);
    }
    return written;
}

const char* Variable_GetObjectName(int target) {
    constexpr const char* kUnknown = "<unknown_object>";
    if (target == TARGET_ALL) {
        CInstance* instance = FirstOfTarget(TARGET_ALL, true);
        if (instance == nullptr) {
            g_fInstanceNotFound = 1;
            return kUnknown;
        }
        return Object_Name(instance->i_objindex);
    }
    if (target < 0) return kUnknown;
    if (target < TARGET_FIRST_INSTANCE_ID) return Object_Name(target);
    CInstance* instance = CInstance::Find(target);
    return instance != nullptr && !instance->i_marked ? Object_Name(instance->i_objindex) : kUnknown;
}
