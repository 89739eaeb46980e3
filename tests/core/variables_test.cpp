// Variables: the name registry, built-in variables, reads and writes by
// object and by target over a small room, the globals with their saved
// piece, and the scope chain.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/buffer.h"
#include "core/error.h"
#include "core/function_table.h"
#include "core/object_base.h"
#include "core/ref_string.h"
#include "core/variables.h"
#include "error_capture.h"
#include "room/room.h"
#include "world/instances/instance.h"
#include "world/objects/object_type.h"
#include "test_values.h"

namespace {

double ReadReal(const RValue& v) {
    return v.Kind() == VALUE_REAL ? v.val : -12345;
}

// The built-in variable "bx": each instance's x, settable.
bool GV_bx(CInstance* self, int, RValue* out) {
    if (self == nullptr) return false;
    FREE_RValue(out);
    *out = RValue_Real(self->i_x);
    return true;
}
bool SV_bx(CInstance* self, int, RValue* in) {
    if (self == nullptr) return false;
    self->i_x = static_cast<float>(REAL_RValue(in));
    return true;
}
bool GV_readonly(CInstance*, int, RValue* out) {
    FREE_RValue(out);
    *out = RValue_Real(42);
    return true;
}

class Variables : public ::testing::Test {
protected:
    void SetUp() override {
        g_nGlobalVariables = 4;
        g_nInstanceVariables = 4;
        Code_Variable_Init(4, 4, 0);
        for (int i = 0; i < 4; ++i) {
            const char* names[] = {"hp", "speed", "name", "list"};
            Code_Variable_Find_Set(names[i], VARIABLE_SCOPE_INSTANCE, i);
            Code_Variable_Find_Set(names[i], VARIABLE_SCOPE_GLOBAL, i);
        }
        g_pGlobal = ZQObjectBase::Alloc(4, VALUE_UNSET, true);
        Variable_BuiltIn_Add("bx", GV_bx, SV_bx);
        Variable_BuiltIn_Add("readonly", GV_readonly, nullptr);
    }
    void TearDown() override {
        Run_Room = nullptr;
        m_room.reset();
        g_InstanceChangeArray.Free();
        g_InstanceActivateDeactive.Free();
        Object_Init();
        ZQObjectBase::Free(g_pGlobal);
        g_pGlobal = nullptr;
        FINALIZE_Code_Variable();
        FINALIZE_Variable_Main();
        g_nGlobalVariables = g_nInstanceVariables = 0;
    }

    // Objects: 0 "obj_parent", 1 "obj_child" (child of 0), 2 "obj_alone".
    // Instances in the room, in list order: a (0), b (1), c (2, deactivated),
    // d (1, marked).
    void MakeRoom() {
        for (const char* name : {"obj_parent", "obj_child", "obj_alone"})
            Object_Data(Object_Add())->SetName(name);
        Object_Data(1)->m_parentIndex = 0;
        Object_ResolveParents();
        m_room = std::make_unique<CRoom>();
        Run_Room = m_room.get();
        a = m_room->AddInstance(1, 0, 0);
        b = m_room->AddInstance(2, 0, 1);
        c = m_room->AddInstance(3, 0, 2);
        d = m_room->AddInstance(4, 0, 1);
        c->i_deactivated = true;
        d->i_marked = true;
        int n = 0;
        for (CInstance* i : {a, b, c, d}) i->m_slots[0] = Real(++n * 10); // hp 10, 20, 30, 40
    }

    int Builtin(const char* name) const { return Variable_BuiltIn_Find(name); }

    std::unique_ptr<CRoom> m_room;
    CInstance* a = nullptr;
    CInstance* b = nullptr;
    CInstance* c = nullptr;
    CInstance* d = nullptr;
};

TEST_F(Variables, NameRegistryScopes) {
    EXPECT_EQ(Code_Variable_Find_Set("hp", VARIABLE_SCOPE_INSTANCE, 4), -1) << "outside the capacity";
    EXPECT_EQ(Code_Variable_Find_Set("anything", -7, 12), 100012);
    // Scope -6: a global first, then an instance name, then a built-in.
    Code_Variable_Init(2, 2, 0);
    Code_Variable_Find_Set("both", VARIABLE_SCOPE_INSTANCE, 0);
    Code_Variable_Find_Set("inst", VARIABLE_SCOPE_INSTANCE, 1);
    Code_Variable_Find_Set("both", VARIABLE_SCOPE_GLOBAL, 1);
    EXPECT_EQ(Code_Variable_Find_Set("both", VARIABLE_SCOPE_BUILTIN, 0), 100001);
    EXPECT_EQ(Code_Variable_Find_Set("inst", VARIABLE_SCOPE_BUILTIN, 0), 100001);
    EXPECT_EQ(Code_Variable_Find_Set("bx", VARIABLE_SCOPE_BUILTIN, 0), Builtin("bx"));
    EXPECT_EQ(Code_Variable_Find_Set("nothing", VARIABLE_SCOPE_BUILTIN, 0), -1);
    EXPECT_EQ(New_Code_Variable_Find("inst"), 100001);
    EXPECT_EQ(New_Code_Variable_Find("bx"), Builtin("bx"));

    // A slot that is renamed no longer answers to its old name.
    Code_Variable_Find_Set("renamed", VARIABLE_SCOPE_INSTANCE, 1);
    EXPECT_EQ(Code_Variable_Find_Slot_From_Local_Name("inst"), -1);
    EXPECT_EQ(Code_Variable_Find_Slot_From_Local_Name("renamed"), 1);

    // Registering at run time takes the first empty entry, growing by eight.
    EXPECT_EQ(Code_Variable_FindAlloc_Slot_From_Name(nullptr, "fresh"), 2);
    EXPECT_EQ(g_VarNamesInstance.m_capacity, 10);
    EXPECT_EQ(Code_Variable_FindAlloc_Slot_From_Name(nullptr, "fresh"), 2);
    EXPECT_EQ(Code_Variable_FindAlloc_Slot_From_Name(g_pGlobal, "gfresh"), 0) << "global slot 0 was empty";
    EXPECT_EQ(Code_Variable_Find_Slot_From_Name(g_pGlobal, "both"), 1);
    EXPECT_EQ(Code_Variable_Find_Slot_From_Name(nullptr, "both"), 0);

    // The flat list of older data.
    EXPECT_EQ(Code_Variable_Find("bx"), Builtin("bx"));
    const int id = Code_Variable_Find("flat_one");
    EXPECT_GE(id, 100000);
    EXPECT_EQ(Variable_FindNameNoAlloc("flat_one"), id);
    EXPECT_EQ(Variable_FindNameNoAlloc("flat_two"), -1);
    EXPECT_STREQ(Variable_GetName(id), "flat_one");
    EXPECT_STREQ(Variable_GetName(99999), "<unknown variable>");
}

TEST_F(Variables, BuiltInTableHoldsFiveHundred) {
    ErrorCapture errors;
    while (builtin_numb < MAX_BUILTIN_VARIABLES) {
        const std::string name = std::to_string(builtin_numb).insert(0, 1, 'v');
        Variable_BuiltIn_Add(name.c_str(), GV_readonly, nullptr);
    }
    Variable_BuiltIn_Add("one_too_many", GV_readonly, nullptr);
    EXPECT_EQ(builtin_numb, 500);
    EXPECT_EQ(errors.LastShown(), "INTERNAL ERROR: Adding too many variables");
    EXPECT_EQ(Builtin("one_too_many"), -1);
    EXPECT_EQ(Builtin("v499"), 499);
    EXPECT_STREQ(Variable_BuiltIn_Find_Name(499), "v499");
    EXPECT_STREQ(Variable_BuiltIn_Find_Name(500), "<unknown built-in variable>");
    EXPECT_STREQ(Variable_BuiltIn_Find_Name(-1), "<unknown built-in variable>");
}

TEST_F(Variables, DirectReadsAndWritesCheckIdsAndSlots) {
    ZQObjectBase* object = ZQObjectBase::Alloc(4, VALUE_UNSET, true);
    RValue in = Real(7);
    RValue out = RValue_Undefined();
    EXPECT_TRUE(Variable_SetValue_Direct(object, 100001, ARRAY_INDEX_NO_INDEX, &in));
    EXPECT_TRUE(Variable_GetValue_Direct(object, 100001, ARRAY_INDEX_NO_INDEX, &out));
    EXPECT_EQ(ReadReal(out), 7);
    // Element writes make the slot an array.
    EXPECT_TRUE(Variable_SetValue_Direct(object, 100003, 2, &in));
    EXPECT_TRUE(Variable_GetValue_Direct(object, 100003, 2, &out));
    EXPECT_EQ(ReadReal(out), 7);

    // Ids that name nothing, slots beyond every name, built-ins without an
    // instance or without a setter.
    for (int id : {-1, 10000, 99999, 100000 + 1000, VARIABLE_ID_ARGUMENTS}) {
        EXPECT_FALSE(Variable_GetValue_Direct(object, id, ARRAY_INDEX_NO_INDEX, &out)) << id;
        EXPECT_FALSE(Variable_SetValue_Direct(object, id, ARRAY_INDEX_NO_INDEX, &in)) << id;
    }
    EXPECT_EQ(object->m_slotCount, 4) << "no slot array grew";
    EXPECT_FALSE(Variable_GetValue_Direct(object, Builtin("bx"), ARRAY_INDEX_NO_INDEX, &out));
    EXPECT_FALSE(Variable_SetValue_Direct(object, Builtin("readonly"), ARRAY_INDEX_NO_INDEX, &in));
    EXPECT_TRUE(Variable_GetValue_Direct(object, Builtin("readonly"), ARRAY_INDEX_NO_INDEX, &out));
    EXPECT_EQ(ReadReal(out), 42);
    EXPECT_FALSE(Variable_GetValue_Direct(object, builtin_numb, ARRAY_INDEX_NO_INDEX, &out));

    // A name registered at run time lies beyond the declared slots: reading it
    // before any write gives unset, writing grows the slot array to hold it.
    const int slot = Code_Variable_FindAlloc_Slot_From_Name(object, "late");
    ASSERT_EQ(slot, 4);
    EXPECT_TRUE(Variable_GetValue_Direct(object, 100000 + slot, ARRAY_INDEX_NO_INDEX, &out));
    EXPECT_EQ(out.Kind(), VALUE_UNSET);
    EXPECT_TRUE(Variable_SetValue_Direct(object, 100000 + slot, ARRAY_INDEX_NO_INDEX, &in));
    EXPECT_EQ(object->m_slotCount, 5);
    FREE_RValue(&out);
    ZQObjectBase::Free(object);
}

TEST_F(Variables, ReadsByTarget) {
    MakeRoom();
    RValue out = RValue_Undefined();
    struct Case {
        int target;
        bool found;
        double hp;
    } cases[] = {
        {TARGET_ALL, true, 10}, {0, true, 10},       {1, true, 20},     {2, false, 0}, // c is deactivated
        {c->i_id, true, 30},    {d->i_id, false, 0},                                   // d is marked
        {-1, false, 0},         {-2, false, 0},      {99999, false, 0}, {123456, false, 0},
    };
    for (const Case& k : cases) {
        g_fInstanceNotFound = 7;
        EXPECT_EQ(Variable_GetValue(k.target, 100000, ARRAY_INDEX_NO_INDEX, &out), k.found) << k.target;
        EXPECT_EQ(g_fInstanceNotFound, k.found ? 0 : 1) << k.target;
        if (k.found) {
            EXPECT_EQ(ReadReal(out), k.hp) << k.target;
        }
    }
    EXPECT_TRUE(Variable_GetValue(b->i_id, Builtin("bx"), ARRAY_INDEX_NO_INDEX, &out));
    EXPECT_EQ(ReadReal(out), 2);
    EXPECT_STREQ(Variable_GetObjectName(TARGET_ALL), "obj_parent");
    EXPECT_STREQ(Variable_GetObjectName(1), "obj_child");
    EXPECT_STREQ(Variable_GetObjectName(b->i_id), "obj_child");
    EXPECT_STREQ(Variable_GetObjectName(d->i_id), "<unknown_object>");
    EXPECT_STREQ(Variable_GetObjectName(-7), "<unknown_object>");

    // With every instance deactivated, "all" finds none.
    a->i_deactivated = b->i_deactivated = true;
    EXPECT_FALSE(Variable_GetValue(TARGET_ALL, 100000, ARRAY_INDEX_NO_INDEX, &out));
    EXPECT_EQ(g_fInstanceNotFound, 1);
}

TEST_F(Variables, PendingInstancesAnswerObjectTargets) {
    MakeRoom();
    // e is of obj_child but waits for its object change: it is in no list yet.
    auto e = std::make_unique<CInstance>(5.0f, 0.0f, 999999, 1, false);
    e->m_slots[0] = Real(50);
    g_InstanceChangeArray.Append(e.get());
    a->i_marked = b->i_marked = true;

    RValue out = RValue_Undefined();
    EXPECT_TRUE(Variable_GetValue_OBJTYPE(0, 100000, ARRAY_INDEX_NO_INDEX, &out)) << "matched by ancestry";
    EXPECT_EQ(ReadReal(out), 50);
    // The compiled-code forms match the instance's own object only.
    EXPECT_FALSE(ZQVTL_Variable_GetValue(0, 0, ARRAY_INDEX_NO_INDEX, &out));
    EXPECT_TRUE(ZQVTL_Variable_GetValue(1, 0, ARRAY_INDEX_NO_INDEX, &out));
    RValue in = Real(60);
    EXPECT_TRUE(ZQVTL_Variable_SetValue(1, 0, ARRAY_INDEX_NO_INDEX, &in));
    EXPECT_EQ(e->m_slots[0].val, 60);
    // The activation list is read, but the compiled write leaves it out.
    g_InstanceChangeArray.Clear();
    g_InstanceActivateDeactive.Append(e.get());
    EXPECT_TRUE(ZQVTL_Variable_GetValue(1, 0, ARRAY_INDEX_NO_INDEX, &out));
    in = Real(70);
    EXPECT_FALSE(ZQVTL_Variable_SetValue(1, 0, ARRAY_INDEX_NO_INDEX, &in));
    EXPECT_TRUE(Variable_SetValue(0, 100000, ARRAY_INDEX_NO_INDEX, &in));
    EXPECT_EQ(e->m_slots[0].val, 70);
}

TEST_F(Variables, WritesByTarget) {
    MakeRoom();
    ErrorCapture errors;
    RValue in = Real(5);
    EXPECT_TRUE(Variable_SetValue(0, 100001, ARRAY_INDEX_NO_INDEX, &in)); // a and b
    EXPECT_EQ(ReadReal(a->m_slots[1]), 5);
    EXPECT_EQ(ReadReal(b->m_slots[1]), 5);
    EXPECT_EQ(c->m_slots[1].Kind(), VALUE_UNSET);
    EXPECT_EQ(d->m_slots[1].Kind(), VALUE_UNSET);
    in = Real(9);
    EXPECT_TRUE(Variable_SetValue(TARGET_ALL, Builtin("bx"), ARRAY_INDEX_NO_INDEX, &in));
    EXPECT_EQ(a->i_x, 9);
    EXPECT_EQ(b->i_x, 9);
    EXPECT_EQ(c->i_x, 3);
    EXPECT_TRUE(Variable_SetValue(c->i_id, 100001, ARRAY_INDEX_NO_INDEX, &in))
        << "ids reach deactivated instances";
    EXPECT_FALSE(Variable_SetValue(a->i_id, Builtin("readonly"), ARRAY_INDEX_NO_INDEX, &in));
    EXPECT_EQ(errors.Count(), 0);

    EXPECT_FALSE(Variable_SetValue(2, 100001, ARRAY_INDEX_NO_INDEX, &in));
    EXPECT_FALSE(Variable_SetValue(77, 100001, ARRAY_INDEX_NO_INDEX, &in));
    EXPECT_FALSE(Variable_SetValue(d->i_id, 100001, ARRAY_INDEX_NO_INDEX, &in));
    EXPECT_FALSE(Variable_SetValue(-1, 100001, ARRAY_INDEX_NO_INDEX, &in)); // no message
    a->i_deactivated = b->i_deactivated = true;
    EXPECT_FALSE(Variable_SetValue(TARGET_ALL, 100001, ARRAY_INDEX_NO_INDEX, &in));
    EXPECT_EQ(errors.Messages(),
              (std::vector<std::string>{"Unable to find any instance for object index '2' name 'obj_alone'",
                                        "Unable to find any instance for object index '77' name '(null)'",
                                        "Unable to find any instance for object index '" +
                                            std::to_string(d->i_id) + "'",
                                        "Unable to find any instance for object index '-3'"}));
}

TEST_F(Variables, GlobalsDeclareReadAndWrite) {
    Variable_Global_Init();
    EXPECT_EQ(Variable_Global_DeclaredLength(), 10000);
    Variable_Global_Declare(100002);
    EXPECT_TRUE(Variable_Global_Declared(100002));
    EXPECT_FALSE(Variable_Global_Declared(100001));
    EXPECT_FALSE(Variable_Global_Declared(99999));
    g_nGlobalVariables = 30000;
    Variable_Global_Declare(100000 + 25000);
    EXPECT_EQ(Variable_Global_DeclaredLength(), 26000);
    EXPECT_TRUE(Variable_Global_Declared(125000));
    Variable_Global_Declare(100000 + 40000); // beyond every global slot
    EXPECT_EQ(Variable_Global_DeclaredLength(), 26000);
    g_nGlobalVariables = 4;

    RValue in = Real(3);
    RValue out = RValue_Undefined();
    EXPECT_TRUE(Variable_Global_SetVar(100001, ARRAY_INDEX_NO_INDEX, &in));
    EXPECT_EQ(g_pGlobal->m_slots[1].flags, 7u) << "a first write";
    g_pGlobal->m_slots[1].flags = 1;
    EXPECT_TRUE(Variable_Global_SetVar(100001, ARRAY_INDEX_NO_INDEX, &in));
    EXPECT_EQ(g_pGlobal->m_slots[1].flags, 1u) << "later writes keep the flags";
    EXPECT_TRUE(Variable_Global_GetVar(100001, ARRAY_INDEX_NO_INDEX, &out));
    EXPECT_EQ(ReadReal(out), 3);

    // An unset global named like a built-in function reads as a reference to it.
    Function_Add(
        "hp", [](RValue&, CInstance*, CInstance*, int, RValue*) {}, 0, false);
    EXPECT_TRUE(Variable_Global_GetVar(100000, ARRAY_INDEX_NO_INDEX, &out));
    ASSERT_EQ(out.Kind(), VALUE_OBJECT);
    ASSERT_EQ(out.pObj->m_kind, OBJECT_KIND_SCRIPTREF);
    EXPECT_EQ(static_cast<CScriptRef*>(out.pObj)->m_callCpp, the_functions[Function_Find("hp")].f_routine);
    ZQObjectBase::Free(out.pObj);
    FREE_RValue(&out);
    FINALIZE_Code_Function();
}

class GlobalPiece : public Variables {
protected:
    std::vector<unsigned char> Save() {
        Buffer_Standard buffer(0, eBuffer_Format_Grow, 1);
        Variable_Global_Serialise(&buffer);
        return std::vector<unsigned char>(buffer.Data(), buffer.Data() + buffer.Tell());
    }
    bool Restore(std::vector<unsigned char> bytes) {
        Buffer_Standard buffer(bytes.data(), static_cast<int>(bytes.size()), eBuffer_Format_Fixed, 1, false);
        return Variable_Global_DeSerialise(&buffer);
    }
    void Fill() {
        Variable_Global_Init();
        Variable_Global_Declare(100001);
        RValue v = Real(1.5);
        Variable_Global_SetVar(100000, ARRAY_INDEX_NO_INDEX, &v);
        ZQSetString(&v, "text");
        Variable_Global_SetVar(100002, ARRAY_INDEX_NO_INDEX, &v);
        FREE_RValue(&v);
        v = Real(8);
        Variable_Global_SetVar(100003, 1, &v);
    }
};

TEST_F(GlobalPiece, RoundTrips) {
    Fill();
    std::vector<unsigned char> saved = Save();
    for (int i = 0; i < 4; ++i) {
        RValue zero = Real(0);
        Variable_Global_SetVar(100000 + i, ARRAY_INDEX_NO_INDEX, &zero);
    }
    Variable_Global_Init();
    ASSERT_TRUE(Restore(saved));
    EXPECT_EQ(ReadReal(g_pGlobal->m_slots[0]), 1.5);
    EXPECT_EQ(g_pGlobal->m_slots[1].Kind(), VALUE_UNSET);
    ASSERT_EQ(g_pGlobal->m_slots[2].Kind(), VALUE_STRING);
    EXPECT_STREQ(g_pGlobal->m_slots[2].pRefString->Get(), "text");
    RValue element = RValue_Undefined();
    EXPECT_TRUE(Variable_Global_GetVar(100003, 1, &element));
    EXPECT_EQ(ReadReal(element), 8);
    EXPECT_TRUE(Variable_Global_Declared(100001));
    EXPECT_FALSE(Variable_Global_Declared(100000));
    EXPECT_EQ(Variable_Global_DeclaredLength(), 10000);
    EXPECT_EQ(Save(), saved);
}

TEST_F(GlobalPiece, AnotherGameOrADamagedPieceChangesNothing) {
    Fill();
    std::vector<unsigned char> saved = Save();
    RValue marker = Real(99);
    Variable_Global_SetVar(100000, ARRAY_INDEX_NO_INDEX, &marker);

    ErrorCapture errors;
    g_nGlobalVariables = 3;
    EXPECT_FALSE(Restore(saved));
    g_nGlobalVariables = 4;
    EXPECT_EQ(errors.LastShown(), "Save game format has changed");

    std::vector<unsigned char> cut(saved.begin(), saved.end() - 6);
    EXPECT_FALSE(Restore(cut));
    std::vector<unsigned char> huge = saved;
    const size_t tableAt = saved.size() - 4 * 10000 - 4;
    int32_t length = 0x7FFFFFFF;
    std::memcpy(&huge[tableAt], &length, 4);
    EXPECT_FALSE(Restore(huge));
    EXPECT_EQ(ReadReal(g_pGlobal->m_slots[0]), 99);
    EXPECT_EQ(Variable_Global_DeclaredLength(), 10000);
}

TEST_F(Variables, ScopeChain) {
    ZQObjectBase* outer = ZQObjectBase::Alloc(4, VALUE_UNSET, true);
    ZQObjectBase* empty = ZQObjectBase::Alloc(0, VALUE_UNSET, false);
    ZQObjectBase* inner = ZQObjectBase::Alloc(4, VALUE_UNSET, true);
    inner->m_pOuterObject = empty;
    empty->m_pOuterObject = outer;
    g_pScopeHead = inner;

    outer->m_slots[1] = Real(11);
    outer->m_slots[1].flags = RVALUE_FLAG_CONFIGURABLE;
    outer->m_slots[2] = Real(12);
    RValue out = RValue_Undefined();
    EXPECT_TRUE(Variable_Scope_GetVar(100001, ARRAY_INDEX_NO_INDEX, &out));
    EXPECT_EQ(ReadReal(out), 11);
    EXPECT_FALSE(Variable_Scope_GetVar(100003, ARRAY_INDEX_NO_INDEX, &out));

    RValue in = Real(21);
    EXPECT_TRUE(Variable_Scope_SetVar(100001, ARRAY_INDEX_NO_INDEX, &in)); // the holder receives it
    EXPECT_EQ(ReadReal(outer->m_slots[1]), 21);
    EXPECT_EQ(inner->m_slots[1].Kind(), VALUE_UNSET);
    EXPECT_TRUE(Variable_Scope_SetVar(100003, ARRAY_INDEX_NO_INDEX, &in)); // no holder: the innermost
    EXPECT_EQ(ReadReal(inner->m_slots[3]), 21);
    EXPECT_EQ(inner->m_slots[3].flags, 7u);

    EXPECT_FALSE(Variable_Scope_DeleteVar(100002, ARRAY_INDEX_NO_INDEX)) << "not configurable";
    EXPECT_EQ(ReadReal(outer->m_slots[2]), 12);
    EXPECT_TRUE(Variable_Scope_DeleteVar(100001, ARRAY_INDEX_NO_INDEX));
    EXPECT_EQ(outer->m_slots[1].Kind(), VALUE_UNSET);
    EXPECT_TRUE(Variable_Scope_DeleteVar(100000, ARRAY_INDEX_NO_INDEX)) << "nothing to delete";

    // A chain that loops ends.
    outer->m_pOuterObject = inner;
    EXPECT_FALSE(Variable_Scope_GetVar(100000, ARRAY_INDEX_NO_INDEX, &out));
    g_pScopeHead = nullptr;
    for (ZQObjectBase* o : {outer, empty, inner}) {
        o->m_pOuterObject = nullptr;
        ZQObjectBase::Free(o);
    }
}

} // namespace
