// Variable reads and writes by object and by scope (reads and writes by
// target walk instances: world/lifecycle/target_variables.cpp), the global
// object's declared table and its saved-game piece.
//
// Slot numbers reach these functions from compiled code, from bytecode ids
// patched at load and from names registered at run time. Every use is
// checked: a read past an object's slots gives unset (or false past the
// slot limit), a write past the slot limit is refused, and ids between the
// built-in and user ranges name nothing.
#include "core/variables.h"

#include <algorithm>
#include <string>

#include "core/buffer.h"
#include "core/collector.h"
#include "core/compiled_support.h"
#include "core/error.h"
#include "core/function_table.h"
#include "core/memory_manager.h"
#include "core/object_base.h"
#include "core/rvalue.h"

ZQObjectBase* g_pGlobal = nullptr;
ZQObjectBase* g_pScopeHead = nullptr;
int32_t g_nGlobalVariables = 0;
int32_t g_nLocalVariables = 0;
int g_fInstanceNotFound = 0;
VariableHooks g_VariableHooks = {};

namespace {

constexpr int32_t kDeclaredInitial = 10000;
constexpr int32_t kDeclaredGrowth = 1000;
constexpr uint32_t kFlagsNewGlobal = 7; // enumerable, configurable, writable

// Which global slots were declared as globals (`globdecl`).
struct DeclaredTable {
    int32_t length = 0;
    bool* data = nullptr;
} globdecl;

RValue Unset() {
    RValue v;
    v.v64 = 0;
    v.flags = 0;
    v.kind = VALUE_UNSET;
    return v;
}

// An instance is an object whose kind says so; CInstance derives from
// ZQObjectBase alone, so the object's address is the instance's (the core
// does not see CInstance's definition, which lives above it).
CInstance* AsInstance(ZQObjectBase* object) {
    return object != nullptr && object->m_kind == OBJECT_KIND_INSTANCE ? reinterpret_cast<CInstance*>(object)
                                                                       : nullptr;
}

// The stored value of a user slot, or null when the object has no storage
// for it yet. Never creates storage.
RValue* PeekSlot(ZQObjectBase* object, int32_t slot) {
    if (slot < 0) return nullptr;
    if (object->m_slots != nullptr) return slot < object->m_slotCount ? &object->m_slots[slot] : nullptr;
    if (object->m_pVarMap == nullptr) return nullptr;
    RValue** cell = object->m_pVarMap->Find(slot);
    return cell != nullptr ? *cell : nullptr;
}

// A built-in function's handler named like the variable, for reads of an
// unset global or scope variable.
TRoutine BuiltinNamed(const char* name) {
    int index = Function_Find(name);
    return index >= 0 ? the_functions[index].f_routine : nullptr;
}

bool MakeFunctionReference(RValue* out, const char* name) {
    TRoutine routine = name != nullptr ? BuiltinNamed(name) : nullptr;
    if (routine == nullptr) return false;
    FREE_RValue(out);
    ZQSetScriptRef(out);
    static_cast<CScriptRef*>(out->pObj)->m_callCpp = routine;
    return true;
}

void WriteInt32(IBuffer* buffer, int32_t n) {
    RValue v = RValue_Undefined();
    v.v32 = n;
    v.kind = VALUE_INT32;
    buffer->Write(eBuffer_S32, &v);
}

bool ReadInt32(IBuffer* buffer, int32_t* n) {
    RValue v = RValue_Undefined();
    if (buffer->Read(eBuffer_S32, &v) != 0 || v.Kind() != VALUE_INT32) return false;
    *n = v.v32;
    return true;
}

} // namespace

// Reads a user slot into out. An object without variable slots gives false;
// a slot that has no storage yet but lies within the limit reads as unset.
bool ReadUserSlot(ZQObjectBase* object, int32_t slot, int arrayIndex, RValue* out) {
    if (object->m_slotCount == 0 || slot < 0 || slot >= Variable_SlotLimit(object)) return false;
    RValue* value = object->m_slots != nullptr ? PeekSlot(object, slot) : object->InternalGetZQVarRef(slot);
    if (value == nullptr) {
        FREE_RValue(out);
        *out = Unset();
        return true;
    }
    return GET_RValue(out, value, arrayIndex);
}

// Writes a user slot; an object without variable slots takes no write.
bool WriteUserSlot(ZQObjectBase* object, int32_t slot, int arrayIndex, const RValue* in) {
    if (object->m_slotCount == 0 && object->m_slots == nullptr) return true;
    if (slot < 0 || slot >= Variable_SlotLimit(object)) return false;
    RValue* value = object->GetSlotValue(slot);
    SET_RValue(value, in, arrayIndex);
    return true;
}

int32_t Variable_SlotLimit(const ZQObjectBase* object) {
    int32_t limit = std::max(
        {g_nGlobalVariables, g_nInstanceVariables, g_VarNamesGlobal.m_count, g_VarNamesInstance.m_count});
    return object != nullptr ? std::max(limit, object->m_slotCount) : limit;
}

// ---------------------------------------------------------------------------
// By object.

bool Variable_GetValue_Direct(ZQObjectBase* object, int id, int arrayIndex, RValue* out) {
    if (Variable_IsBuiltInId(id)) {
        if (id >= builtin_numb || builtin_variables[id].f_getroutine == nullptr) return false;
        return builtin_variables[id].f_getroutine(AsInstance(object), arrayIndex, out);
    }
    if (!Variable_IsUserId(id) || object == nullptr) return false;
    return ReadUserSlot(object, id - VARIABLE_ID_BASE, arrayIndex, out);
}

bool Variable_SetValue_Direct(ZQObjectBase* object, int id, int arrayIndex, RValue* in) {
    if (Variable_IsBuiltInId(id)) {
        if (id >= builtin_numb || !builtin_variables[id].f_canset) return false;
        return builtin_variables[id].f_setroutine(AsInstance(object), arrayIndex, in);
    }
    if (!Variable_IsUserId(id) || object == nullptr) return false;
    return WriteUserSlot(object, id - VARIABLE_ID_BASE, arrayIndex, in);
}

// ---------------------------------------------------------------------------
// Globals.

namespace {

bool DeclaredResize(int32_t length) {
    if (length <= 0) {
        ZQ_Free(globdecl.data);
        globdecl = DeclaredTable{};
        return true;
    }
    bool* grown = ZQ_ReAllocArray<bool>(globdecl.data, static_cast<size_t>(length));
    if (grown == nullptr) return false;
    // The manager zero-fills growth; a shrunk-then-grown table must read false too.
    for (int32_t i = globdecl.length; i < length; ++i) grown[i] = false;
    globdecl.data = grown;
    globdecl.length = length;
    return true;
}

} // namespace

void Variable_Global_Init() {
    DeclaredResize(0);
    DeclaredResize(kDeclaredInitial);
}

void Variable_Global_Declare(int id) {
    if (id < VARIABLE_ID_BASE) return;
    const int32_t slot = id - VARIABLE_ID_BASE;
    if (slot >= std::max(Variable_SlotLimit(g_pGlobal), kDeclaredInitial)) return;
    if (slot >= globdecl.length) {
        int32_t length = globdecl.length;
        while (length <= slot) length += kDeclaredGrowth;
        if (!DeclaredResize(length)) return;
    }
    globdecl.data[slot] = true;
}

bool Variable_Global_Declared(int id) {
    if (id < VARIABLE_ID_BASE) return false;
    const int32_t slot = id - VARIABLE_ID_BASE;
    return slot < globdecl.length && globdecl.data[slot];
}

int32_t Variable_Global_DeclaredLength() {
    return globdecl.length;
}

bool Variable_Global_GetVar(int id, int arrayIndex, RValue* out) {
    if (g_pGlobal == nullptr || g_pGlobal->m_slotCount == 0 || !Variable_IsUserId(id)) return false;
    const int32_t slot = id - VARIABLE_ID_BASE;
    bool result = ReadUserSlot(g_pGlobal, slot, arrayIndex, out);
    if (out->Kind() == VALUE_UNSET && MakeFunctionReference(out, g_VarNamesGlobal.Get(slot))) return true;
    return result;
}

bool Variable_Global_SetVar(int id, int arrayIndex, RValue* in) {
    if (g_pGlobal == nullptr || g_pGlobal->m_slotCount == 0 || !Variable_IsUserId(id)) return false;
    const int32_t slot = id - VARIABLE_ID_BASE;
    if (slot >= Variable_SlotLimit(g_pGlobal)) return false;
    ContextStackScope context(g_pGlobal);
    RValue* value = g_pGlobal->GetSlotValue(slot);
    const bool wasUnset = value->Kind() == VALUE_UNSET;
    const uint32_t flags = value->flags;
    SET_RValue(value, in, arrayIndex);
    value->flags = wasUnset ? kFlagsNewGlobal : flags;
    return true;
}

void Variable_Global_Serialise(IBuffer* buffer) {
    WriteInt32(buffer, g_nGlobalVariables);
    const RValue unset = Unset();
    for (int32_t i = 0; i < g_nGlobalVariables; ++i) {
        const RValue* value = g_pGlobal != nullptr ? PeekSlot(g_pGlobal, i) : nullptr;
        (value != nullptr ? value : &unset)->Serialise(buffer);
    }
    WriteInt32(buffer, globdecl.length);
    for (int32_t i = 0; i < globdecl.length; ++i) WriteInt32(buffer, globdecl.data[i] ? 1 : 0);
}

// Everything is read into temporaries first and applied only when the whole
// piece has been read, so a damaged piece leaves the globals as they were.
bool Variable_Global_DeSerialise(IBuffer* buffer) {
    int32_t count = 0;
    if (!ReadInt32(buffer, &count)) return false;
    if (count != g_nGlobalVariables) {
        Error_Show("Save game format has changed", false);
        return false;
    }
    const size_t n = static_cast<size_t>(count);
    RValue* values = n > 0 ? ZQ_AllocArray<RValue>(n) : nullptr;
    if (n > 0 && values == nullptr) return false;
    for (size_t i = 0; i < n; ++i) values[i] = Unset();
    auto discard = [&]() {
        for (size_t i = 0; i < n; ++i) FREE_RValue(&values[i]);
        ZQ_Free(values);
    };
    for (size_t i = 0; i < n; ++i) {
        if (!values[i].DeSerialise(buffer)) {
            discard();
            return false;
        }
    }
    int32_t length = 0;
    bool ok = ReadInt32(buffer, &length) && length >= 0 &&
              length <= (buffer->Size() - buffer->Tell()) / 4; // one word per entry must follow
    bool* declared = ok && length > 0 ? ZQ_AllocArray<bool>(static_cast<size_t>(length)) : nullptr;
    if (ok && length > 0 && declared == nullptr) ok = false;
    for (int32_t i = 0; ok && i < length; ++i) {
        RValue word = RValue_Undefined();
        ok = buffer->Read(eBuffer_S32, &word) == 0;
        declared[i] = ok && REAL_RValue(&word) > 0.5;
    }
    if (!ok) {
        ZQ_Free(declared);
        discard();
        return false;
    }

    if (g_pGlobal != nullptr) {
        ContextStackScope context(g_pGlobal);
        for (size_t i = 0; i < n; ++i) {
            RValue* slot = g_pGlobal->GetSlotValue(static_cast<int>(i));
            FREE_RValue(slot);
            RValue_MoveInto(slot, &values[i]);
        }
    }
    discard();
    ZQ_Free(globdecl.data);
    globdecl.data = declared;
    globdecl.length = length;
    return true;
}

// ---------------------------------------------------------------------------
// Scope chain.

namespace {

// Scope objects are made by the interpreter; the bound keeps a damaged
// chain that loops from hanging a lookup.
template <typename Fn>
void ForEachScope(Fn&& fn) {
    int32_t steps = 0;
    for (ZQObjectBase* scope = g_pScopeHead; scope != nullptr && steps <= g_slotObjects.m_count;
         scope = scope->m_pOuterObject, ++steps) {
        if (scope->m_slotCount == 0) continue;
        if (!fn(scope)) return;
    }
}

bool IsDescriptor(const RValue* v) {
    return v->Kind() == VALUE_OBJECT && v->pObj != nullptr && v->pObj->m_kind == OBJECT_KIND_ACCESSOR;
}

} // namespace

bool Variable_Scope_GetVar(int id, int arrayIndex, RValue* out) {
    FREE_RValue(out);
    *out = Unset();
    if (!Variable_IsUserId(id)) return false;
    const int32_t slot = id - VARIABLE_ID_BASE;
    bool found = false;
    ForEachScope([&](ZQObjectBase* scope) {
        RValue value = Unset();
        ReadUserSlot(scope, slot, arrayIndex, &value);
        if (value.Kind() == VALUE_UNSET) return true;
        if (IsDescriptor(&value)) {
            if (g_VariableHooks.accessorGet != nullptr) g_VariableHooks.accessorGet(scope, out, &value);
            FREE_RValue(&value);
            found = out->Kind() != VALUE_UNSET;
        } else {
            RValue_MoveInto(out, &value);
            found = true;
        }
        return false;
    });
    if (found) return true;
    return MakeFunctionReference(out, Variable_GetName_Scope(nullptr, VARIABLE_SCOPE_ANY, id));
}

bool Variable_Scope_SetVar(int id, int arrayIndex, RValue* in) {
    if (!Variable_IsUserId(id)) return false;
    const int32_t slot = id - VARIABLE_ID_BASE;
    ZQObjectBase* target = nullptr;
    ZQObjectBase* innermost = nullptr;
    ForEachScope([&](ZQObjectBase* scope) {
        if (innermost == nullptr) innermost = scope;
        const RValue* value = PeekSlot(scope, slot);
        if (value == nullptr || value->Kind() == VALUE_UNSET) return true;
        target = scope;
        return false;
    });
    if (target == nullptr) target = innermost;
    if (target == nullptr || slot >= Variable_SlotLimit(target)) return false;
    RValue* value = target->GetSlotValue(slot);
    if (IsDescriptor(value)) {
        if (g_VariableHooks.accessorSet != nullptr) g_VariableHooks.accessorSet(target, in, value);
        return true;
    }
    const bool wasUnset = value->Kind() == VALUE_UNSET;
    const uint32_t flags = value->flags;
    ContextStackScope context(target);
    SET_RValue(value, in, arrayIndex);
    value->flags = wasUnset ? kFlagsNewGlobal : flags;
    return true;
}

bool Variable_Scope_DeleteVar(int id, int /*arrayIndex*/) {
    if (!Variable_IsUserId(id)) return true;
    const int32_t slot = id - VARIABLE_ID_BASE;
    bool result = true;
    ForEachScope([&](ZQObjectBase* scope) {
        RValue* value = PeekSlot(scope, slot);
        if (value == nullptr || value->Kind() == VALUE_UNSET) return true;
        if ((value->flags & RVALUE_FLAG_CONFIGURABLE) == 0) {
            result = false;
        } else {
            ContextStackScope context(scope);
            FREE_RValue(value);
            *value = Unset();
        }
        return false;
    });
    return result;
}

void FINALIZE_Variable_Main() {
    Variable_BuiltIn_Clear();
    DeclaredResize(0);
}
