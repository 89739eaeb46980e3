// Script objects: allocation with and without slot arrays, registration in
// the slot table and reuse from the free list, variables by map, named
// members, AssignVars, the dispose protocol, callable references, and the
// object makers of compiled code.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/collector.h"
#include "core/compiled_support.h"
#include "core/memory_manager.h"
#include "core/object_base.h"
#include "core/value_text.h"
#include "test_values.h"

namespace {

// A variable-name registry for the tests: names get slots in order of first use.
std::map<std::string, int> g_names;

int FindSlot(ZQObjectBase*, const char* name) {
    auto found = g_names.find(name);
    return found != g_names.end() ? found->second : -1;
}

int FindAllocSlot(ZQObjectBase* object, const char* name) {
    int slot = FindSlot(object, name);
    if (slot >= 0) return slot;
    slot = static_cast<int>(g_names.size());
    g_names[name] = slot;
    return slot;
}

// Each test starts with an empty registry, an empty free list and the
// collector off, and must leave no object registered.
class ScriptObjects : public ::testing::Test {
protected:
    void SetUp() override {
        g_names.clear();
        g_ObjectHooks = {};
        g_ObjectHooks.findSlot = FindSlot;
        g_ObjectHooks.findAllocSlot = FindAllocSlot;
        g_fJSGarbageCollection = false;
        ZQObjectBase::FreeAll();
        m_registered = g_slotObjects.m_count;
    }
    void TearDown() override {
        ZQObjectBase::FreeAll();
        g_ObjectHooks = {};
        g_fJSGarbageCollection = false;
        EXPECT_EQ(g_slotObjects.m_count, m_registered);
    }
    int m_registered = 0;
};

} // namespace

TEST_F(ScriptObjects, AllocationSetsSlotKinds) {
    ZQObjectBase* unset = ZQObjectBase::Alloc(4, VALUE_UNSET, true);
    ASSERT_NE(unset->m_slots, nullptr);
    EXPECT_EQ(unset->m_slotCount, 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(unset->m_slots[i].Kind(), VALUE_UNSET);
    EXPECT_GE(unset->m_slotId, 0);
    EXPECT_EQ(g_slotObjects.Get(unset->m_slotId), unset);
    EXPECT_TRUE(unset->IsExtensible());

    ZQObjectBase* zeros = ZQObjectBase::Alloc(4, VALUE_UNDEFINED, true);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(zeros->m_slots[i].Kind(), VALUE_REAL);
        EXPECT_EQ(zeros->m_slots[i].val, 0.0);
    }

    ZQObjectBase* mapped = ZQObjectBase::Alloc(4, VALUE_UNDEFINED, false);
    EXPECT_EQ(mapped->m_slots, nullptr);
    EXPECT_EQ(mapped->m_slotCount, 4);
    RValue* cell = mapped->InternalGetZQVar(2);
    EXPECT_EQ(cell->Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(mapped->InternalGetZQVarRef(2), cell); // the same cell again
    EXPECT_EQ(mapped->GetSlotValue(2), cell);
    for (ZQObjectBase* object : {unset, zeros, mapped}) ZQObjectBase::Free(object);
}

TEST_F(ScriptObjects, ReleaseAndReuseKeepTheSlot) {
    ZQObjectBase* first = ZQObjectBase::Alloc(2, VALUE_UNSET, true);
    int slot = first->m_slotId;
    first->Add("x", 1.0, 0);
    ZQObjectBase::Free(first);
    EXPECT_EQ(first->m_slotId, -1);
    EXPECT_EQ(g_slotObjects.Get(slot), nullptr);
    EXPECT_EQ(ZQObjectBase::ms_pFreeList, first);

    // Reuse without a slot array: the released object has none to write.
    ZQObjectBase* again = ZQObjectBase::Alloc(3, VALUE_UNSET, false);
    EXPECT_EQ(again, first);
    EXPECT_EQ(again->m_slotId, slot);
    EXPECT_EQ(again->m_slots, nullptr);
    EXPECT_EQ(again->m_slotCount, 3);
    // What the previous life set does not carry over.
    again->m_flags = OBJECT_FLAG_DISPOSED;
    ZQObjectBase::Free(again);
    ZQObjectBase* third = ZQObjectBase::Alloc(5, VALUE_UNSET, true);
    EXPECT_EQ(third, first);
    EXPECT_EQ(third->m_flags, OBJECT_FLAG_EXTENSIBLE);
    ASSERT_NE(third->m_slots, nullptr);
    EXPECT_EQ(third->m_slots[4].Kind(), VALUE_UNSET);
    ZQObjectBase::Free(third);
}

TEST_F(ScriptObjects, SlotTableGrowsAndSearchesFromTheLastRelease) {
    int capacity = g_slotObjects.m_capacity;
    std::vector<ZQObjectBase*> objects;
    for (int i = 0; i < 200; ++i) objects.push_back(ZQObjectBase::Alloc(0, VALUE_UNSET, false));
    EXPECT_GE(g_slotObjects.m_capacity, 192);
    if (capacity <= ZQSlot<ZQObjectBase>::kInitialCapacity) {
        EXPECT_EQ(g_slotObjects.m_capacity, 288); // 128, then 192, then 288
    }
    int freed = objects[10]->m_slotId;
    ZQObjectBase::Free(objects[10]);
    ZQObjectBase::Free(objects[150]);
    EXPECT_EQ(g_slotObjects.m_searchStart, freed);
    objects[10] = ZQObjectBase::Alloc(0, VALUE_UNSET, false);
    EXPECT_EQ(objects[10]->m_slotId, freed);
    objects[150] = ZQObjectBase::Alloc(0, VALUE_UNSET, false);
    for (ZQObjectBase* object : objects) ZQObjectBase::Free(object);
}

TEST_F(ScriptObjects, CallableReferencesAreDeletedNotPooled) {
    int registered = g_slotObjects.m_count;
    auto* ref = new CScriptRef(0, VALUE_UNSET);
    EXPECT_EQ(ref->m_kind, OBJECT_KIND_SCRIPTREF);
    EXPECT_EQ(ref->m_scope.Kind(), VALUE_UNSET);
    EXPECT_EQ(g_slotObjects.m_count, registered + 1);
    ZQObjectBase::Free(ref);
    EXPECT_EQ(g_slotObjects.m_count, registered);
    EXPECT_EQ(ZQObjectBase::ms_pFreeList, nullptr);

    // An unregistered reference leaves the table alone when it is released.
    auto* loose = new CScriptRef(0, VALUE_UNSET);
    loose->Unregister();
    int searchStart = g_slotObjects.m_searchStart;
    ZQObjectBase::Free(loose);
    EXPECT_EQ(g_slotObjects.m_count, registered);
    EXPECT_EQ(g_slotObjects.m_searchStart, searchStart);

    // A reference that reached the free list (as a collection would put it
    // there) is deleted, not handed out as a plain object.
    auto* pooled = new CScriptRef(0, VALUE_UNSET);
    pooled->Unregister();
    pooled->m_pNextObject = ZQObjectBase::ms_pFreeList;
    ZQObjectBase::ms_pFreeList = pooled;
    ZQObjectBase* plain = ZQObjectBase::Alloc(1, VALUE_UNSET, true);
    EXPECT_NE(plain, pooled);
    EXPECT_EQ(ZQObjectBase::ms_pFreeList, nullptr);
    ZQObjectBase::Free(plain);
}

TEST_F(ScriptObjects, NamedMembers) {
    ZQObjectBase* object = ZQObjectBase::Alloc(0, VALUE_UNSET, false);
    ZQObjectBase* child = ZQObjectBase::Alloc(0, VALUE_UNSET, false);
    int payload = 0;
    object->Add("real", 2.5, RVALUE_FLAG_ENUMERABLE);
    object->Add("int", 3, 0);
    object->Add("bool", true, 0);
    object->Add("text", "hello", 0);
    object->Add("pointer", static_cast<void*>(&payload), 0);
    object->Add("child", child, 0);
    RValue shared = Str("shared");
    object->Add("copy", shared, 0);
    EXPECT_EQ(shared.pRefString->m_refCount, 2);

    struct Expect {
        const char* name;
        uint32_t kind;
        const char* text;
    } expected[] = {{"real", VALUE_REAL, "2.50"},    {"int", VALUE_REAL, "3"},
                    {"bool", VALUE_BOOL, "1"},       {"text", VALUE_STRING, "hello"},
                    {"pointer", VALUE_PTR, nullptr}, {"child", VALUE_OBJECT, nullptr},
                    {"copy", VALUE_STRING, "shared"}};
    for (const Expect& e : expected) {
        RValue* value = object->FindValue(e.name);
        ASSERT_NE(value, nullptr) << e.name;
        EXPECT_EQ(value->Kind(), e.kind) << e.name;
        if (e.text != nullptr) {
            char* text = Value_ToText(value);
            EXPECT_STREQ(text, e.text);
            ZQ_Free(text);
        }
    }
    EXPECT_EQ(object->FindValue("real")->flags, RVALUE_FLAG_ENUMERABLE);
    EXPECT_EQ(object->FindValue("child")->pObj, child);
    EXPECT_EQ(object->FindValue("missing"), nullptr);

    // Replacing a member releases what it held.
    object->Add("copy", 1.0, 0);
    EXPECT_EQ(shared.pRefString->m_refCount, 1);
    // A member copied onto itself survives.
    object->Add("text", *object->FindValue("text"), 0);
    EXPECT_EQ(object->FindValue("text")->pRefString->m_refCount, 1);

    // A sealed object ignores every Add.
    object->m_flags &= ~OBJECT_FLAG_EXTENSIBLE;
    object->Add("real", 9.0, 0);
    object->Add("new", 9.0, 0);
    EXPECT_EQ(object->FindValue("real")->val, 2.5);
    EXPECT_EQ(object->FindValue("new"), nullptr);
    FREE_RValue(&shared);
    ZQObjectBase::Free(object);
    ZQObjectBase::Free(child);
}

TEST_F(ScriptObjects, SlotArraysGrowForLaterNamesAndKeepArrayOwners) {
    ZQObjectBase* object = ZQObjectBase::Alloc(1, VALUE_UNSET, true);
    RValue one = RValue_Real(1);
    SET_RValue(&object->m_slots[0], &one, 0);
    EXPECT_EQ(object->m_slots[0].pRefArray->m_Owner, &object->m_slots[0]);
    FindAllocSlot(object, "first"); // slot 0
    for (int i = 0; i < 40; ++i) object->Add(("name" + std::to_string(i)).c_str(), i, 0);
    EXPECT_EQ(object->m_slotCount, 41);
    EXPECT_EQ(object->m_slots[0].pRefArray->m_Owner, &object->m_slots[0]);
    EXPECT_EQ(object->FindValue("name39")->val, 39.0);
    EXPECT_EQ(object->FindValue("name39"), &object->m_slots[40]);
    ZQObjectBase::Free(object);
}

TEST_F(ScriptObjects, AssignVarsSharesValuesAndReleasesTheOldMap) {
    ZQObjectBase* source = ZQObjectBase::Alloc(0, VALUE_UNSET, false);
    ZQObjectBase* target = ZQObjectBase::Alloc(0, VALUE_UNSET, false);
    RValue one = RValue_Real(1);
    RValue* array = source->FindOrAllocValue("list");
    SET_RValue(array, &one, 0);
    RefDynamicArrayOfRValue* record = array->pRefArray;
    source->Add("name", "text", 0);
    target->Add("old", "released", 0); // a map the target had: released, not leaked

    target->AssignVars(source);
    RValue* copied = target->FindValue("list");
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->pRefArray, record);
    EXPECT_EQ(record->m_refCount, 2);
    EXPECT_EQ(record->m_Owner, array); // the copy does not take over the owner
    EXPECT_EQ(source->FindValue("name")->pRefString, target->FindValue("name")->pRefString);
    EXPECT_EQ(target->FindValue("old")->Kind(), VALUE_UNSET); // made anew: not copied

    ZQObjectBase::Free(source);
    EXPECT_EQ(record->m_refCount, 1);
    ZQObjectBase::Free(target);
}

namespace {

int g_disposeCalls = 0;
ZQObjectBase* g_disposeSelf = nullptr;
CScriptRef* g_disposeFunction = nullptr;

void GetProperty(ZQObjectBase*, RValue* out, const char* name) {
    if (std::string(name) != "dispose" || g_disposeFunction == nullptr) return;
    out->pObj = g_disposeFunction;
    out->kind = VALUE_OBJECT;
}

void CallValue(ZQObjectBase* self, RValue*, RValue* function, int argc, RValue*) {
    EXPECT_EQ(function->pObj, g_disposeFunction);
    EXPECT_EQ(argc, 0);
    ++g_disposeCalls;
    g_disposeSelf = self;
}

} // namespace

TEST_F(ScriptObjects, DisposeRunsOnceForPlainObjectsWithoutSlots) {
    g_ObjectHooks.getProperty = GetProperty;
    g_ObjectHooks.callValue = CallValue;
    g_disposeFunction = new CScriptRef(0, VALUE_UNSET);
    g_disposeCalls = 0;

    ZQObjectBase* plain = ZQObjectBase::Alloc(0, VALUE_UNSET, false);
    EXPECT_EQ(ZQObjectBase::GetDispose(plain).pObj, g_disposeFunction);
    ZQObjectBase::Free(plain);
    EXPECT_EQ(g_disposeCalls, 1);
    EXPECT_EQ(g_disposeSelf, plain);

    ZQObjectBase* withSlots = ZQObjectBase::Alloc(2, VALUE_UNSET, true);
    EXPECT_EQ(ZQObjectBase::GetDispose(withSlots).Kind(), VALUE_UNSET);
    ZQObjectBase::Free(withSlots);
    ZQObjectBase* instance = ZQObjectBase::Alloc(0, VALUE_UNSET, false);
    instance->m_kind = OBJECT_KIND_INSTANCE;
    ZQObjectBase::Free(instance);
    EXPECT_EQ(g_disposeCalls, 1);

    // With the collector on, dispose may have made the object reachable: it
    // stays registered (not pooled) for the collector to decide, and a second
    // release does not run dispose again.
    g_fJSGarbageCollection = true;
    ZQObjectBase* kept = ZQObjectBase::Alloc(0, VALUE_UNSET, false);
    ZQObjectBase::Free(kept);
    EXPECT_EQ(g_disposeCalls, 2);
    EXPECT_GE(kept->m_slotId, 0);
    EXPECT_NE(kept->m_flags & OBJECT_FLAG_DISPOSED, 0u);
    EXPECT_NE(ZQObjectBase::ms_pFreeList, kept);
    ZQObjectBase::Free(kept);
    EXPECT_EQ(g_disposeCalls, 2);
    EXPECT_EQ(ZQObjectBase::ms_pFreeList, kept);

    ZQObjectBase::Free(g_disposeFunction);
    g_disposeFunction = nullptr;
}

TEST_F(ScriptObjects, CompiledCodeObjectMakers) {
    int32_t savedCount = g_nInstanceVariables;
    g_nInstanceVariables = 6;
    RValue instance = RValue_Undefined();
    ZQSetInstance(&instance);
    ASSERT_EQ(instance.Kind(), VALUE_OBJECT);
    EXPECT_EQ(instance.pObj->m_kind, OBJECT_KIND_PLAIN);
    EXPECT_EQ(instance.pObj->m_slotCount, 6);
    EXPECT_EQ(instance.pObj->InternalGetZQVarRef(3)->Kind(), VALUE_UNSET);
    RValue ref = RValue_Undefined();
    ZQSetScriptRef(&ref);
    ASSERT_EQ(ref.Kind(), VALUE_OBJECT);
    EXPECT_EQ(ref.pObj->m_kind, OBJECT_KIND_SCRIPTREF);
    EXPECT_GE(ref.pObj->m_slotId, 0);
    ZQObjectBase::Free(instance.pObj);
    ZQObjectBase::Free(ref.pObj);
    g_nInstanceVariables = savedCount;
}

TEST_F(ScriptObjects, ContextStackOnlyWhileTheCollectorIsOn) {
    ZQObjectBase object;
    EXPECT_FALSE(PushContextStack(&object));
    EXPECT_EQ(GetContextStackTop(), nullptr);
    PopContextStack(); // never below empty
    g_fJSGarbageCollection = true;
    {
        ContextStackScope scope(&object);
        EXPECT_EQ(GetContextStackTop(), &object);
    }
    EXPECT_EQ(GetContextStackTop(), nullptr);
}
