// What the data-structure kinds share: index handing and reuse, ds_exists,
// the tolerance, the bad-index report of every kind with its default result,
// the cell operation, the registration order, and the destruction of nested
// structures (cycles, shared marks, reused indices).
#include <algorithm>
#include <string>
#include <vector>

#include "core/function_table.h"
#include "data/ds_list.h"
#include "data/ds_map.h"
#include "ds_fixture.h"

TEST_F(DsTest, LowestFreeIndexIsReusedPerKind) {
    EXPECT_TRUE(IsReal(Call("ds_stack_create"), 0));
    EXPECT_TRUE(IsReal(Call("ds_stack_create"), 1));
    EXPECT_TRUE(IsReal(Call("ds_stack_create"), 2));
    Call("ds_stack_destroy", {1});
    EXPECT_TRUE(IsReal(Call("ds_stack_create"), 1));
    EXPECT_TRUE(IsReal(Call("ds_list_create"), 0)); // indices are per kind
    EXPECT_TRUE(IsReal(Call("ds_map_create"), 0));

    Call("ds_stack_destroy", {2});
    EXPECT_EQ(NoSuchStructureReports(), 0);
    Call("ds_stack_destroy", {2});
    EXPECT_EQ(NoSuchStructureReports(), 1);

    // A list or map destroyed twice passes over its empty slot silently, but
    // an index outside the table is reported.
    Call("ds_list_destroy", {0});
    Call("ds_list_destroy", {0});
    Call("ds_map_destroy", {0});
    Call("ds_map_destroy", {0});
    EXPECT_EQ(NoSuchStructureReports(), 1);
    Call("ds_list_destroy", {7});
    Call("ds_map_destroy", {-1});
    EXPECT_EQ(NoSuchStructureReports(), 3);
}

TEST_F(DsTest, ExistsByKindCode) {
    Call("ds_map_create");
    Call("ds_grid_create", {2, 2});
    Call("ds_priority_create");
    EXPECT_TRUE(IsReal(Call("ds_exists", {0, DS_KIND_MAP}), 1));
    EXPECT_TRUE(IsReal(Call("ds_exists", {0, DS_KIND_LIST}), 0));
    EXPECT_TRUE(IsReal(Call("ds_exists", {0, DS_KIND_GRID}), 1));
    EXPECT_TRUE(IsReal(Call("ds_exists", {0, DS_KIND_PRIORITY}), 1));
    EXPECT_TRUE(IsReal(Call("ds_exists", {1, DS_KIND_MAP}), 0));
    EXPECT_TRUE(IsReal(Call("ds_exists", {-1, DS_KIND_MAP}), 0));
    EXPECT_TRUE(IsReal(Call("ds_exists", {0, 7}), 0));
    EXPECT_EQ(NoSuchStructureReports(), 0);
}

TEST_F(DsTest, PrecisionIsTheMagnitudeGiven) {
    int list = static_cast<int>(Call("ds_list_create").val);
    Call("ds_list_add", {list, 1.0, 0.3});
    EXPECT_TRUE(IsReal(Call("ds_list_find_index", {list, 0.1 + 0.2}), 1)); // 1e-8 by default
    EXPECT_TRUE(IsReal(Call("ds_list_find_index", {list, 1.4}), -1));
    Call("ds_set_precision", {-0.5});
    EXPECT_EQ(theprec, 0.5);
    EXPECT_TRUE(IsReal(Call("ds_list_find_index", {list, 1.4}), 0));
}

// Every kind's built-ins report a bad index once, do nothing else, and give
// their stated default result.
TEST_F(DsTest, EveryKindReportsABadIndexWithItsDefault) {
    struct Case {
        const char* name;
        std::vector<ZQRValue> args;
        bool undefined; // else the real `value`
        double value;
    };
    const std::vector<Case> cases = {
        {"ds_stack_size", {5}, true, 0},
        {"ds_stack_pop", {5}, true, 0},
        {"ds_stack_push", {5, 1}, true, 0},
        {"ds_queue_dequeue", {5}, true, 0},
        {"ds_queue_enqueue", {5, 1}, true, 0},
        {"ds_list_find_value", {5, 0}, true, 0},
        {"ds_list_add", {5, 1}, true, 0},
        {"ds_list_copy", {5, 0}, true, 0},
        {"ds_map_add", {5, "k", 1}, false, 0},
        {"ds_map_replace", {5, "k", 1}, false, 0},
        {"ds_map_add_list", {5, "k", 0}, false, 0},
        {"ds_map_find_value", {5, "k"}, true, 0},
        {"ds_map_set_pre", {5, "k", 4}, false, 4}, // its result is made before the check
        {"ds_priority_delete_min", {5}, true, 0},
        {"ds_priority_find_max", {5}, true, 0},
        {"ds_grid_width", {5}, false, 0},
        {"ds_grid_height", {5}, false, 0},
        {"ds_grid_get", {5, 0, 0}, true, 0},
        {"ds_grid_get_sum", {5, 0, 0, 1, 1}, true, 0},
        {"ds_grid_value_x", {5, 0, 0, 1, 1, 0}, true, 0},
        {"ds_grid_set_grid_region", {5, 5, 0, 0, 1, 1, 0, 0}, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClearOutput();
        int index = Function_Find(c.name);
        ASSERT_GE(index, 0);
        std::vector<ZQRValue> values = c.args;
        std::vector<ZQRValue*> pointers;
        for (ZQRValue& v : values) pointers.push_back(&v);
        ZQRValue result;
        ZQVTL_CallLegacyFunction(nullptr, nullptr, result, static_cast<int>(pointers.size()), index,
                                 pointers.data());
        EXPECT_EQ(NoSuchStructureReports(), 1);
        if (c.undefined)
            EXPECT_TRUE(IsUndefined(result));
        else
            EXPECT_TRUE(IsReal(result, c.value));
    }
    EXPECT_EQ(m_errors.Count(), 0); // all non-fatal
}

// The whole table: every built-in that takes a structure index reports a
// missing one exactly once, whatever else it is given.
TEST_F(DsTest, EveryBuiltinWithAnIndexReportsAMissingOneOnce) {
    const std::vector<std::string> noIndex = {
        "ds_set_precision",   "ds_exists",          "ds_stack_create",           "ds_queue_create",
        "ds_list_create",     "ds_map_create",      "ds_priority_create",        "ds_grid_create",
        "ds_map_secure_save", "ds_map_secure_load", "ds_map_secure_load_buffer", "ds_map_secure_save_buffer"};
    int checked = 0;
    for (int i = 0; i < the_numb; ++i) {
        std::string name = the_functions[i].f_name;
        if (std::find(noIndex.begin(), noIndex.end(), name) != noIndex.end()) continue;
        SCOPED_TRACE(name);
        ClearOutput();
        int argc = the_functions[i].f_argnumb < 0 ? 2 : the_functions[i].f_argnumb;
        std::vector<ZQRValue> values(static_cast<size_t>(argc), ZQRValue(1.0));
        values[0] = ZQRValue(99.0);
        std::vector<ZQRValue*> pointers;
        for (ZQRValue& v : values) pointers.push_back(&v);
        ZQRValue result;
        ZQVTL_CallLegacyFunction(nullptr, nullptr, result, argc, i, pointers.data());
        EXPECT_EQ(NoSuchStructureReports(), 1);
        ++checked;
    }
    EXPECT_EQ(checked, 118);
    EXPECT_EQ(m_errors.Count(), 0);
}

TEST_F(DsTest, RegistersTheBuiltInsInTheirOrder) {
    EXPECT_EQ(the_numb, 130);
    EXPECT_STREQ(the_functions[0].f_name, "ds_set_precision");
    EXPECT_STREQ(the_functions[2].f_name, "ds_stack_create");
    EXPECT_STREQ(the_functions[13].f_name, "ds_queue_create");
    EXPECT_STREQ(the_functions[25].f_name, "ds_list_create");
    EXPECT_STREQ(the_functions[46].f_name, "ds_map_create");
    EXPECT_STREQ(the_functions[74].f_name, "ds_priority_create");
    EXPECT_STREQ(the_functions[90].f_name, "ds_grid_create");
    EXPECT_STREQ(the_functions[129].f_name, "ds_grid_sort");
    for (int i = 0; i < the_numb; ++i) {
        EXPECT_EQ(Function_Find(the_functions[i].f_name), i)
            << the_functions[i].f_name << " is registered twice";
        EXPECT_EQ(the_functions[i].f_flag, 1u);
    }
    EXPECT_EQ(Function_GetArguments(Function_Find("ds_list_add")), -1);
    EXPECT_EQ(Function_GetArguments(Function_Find("ds_grid_set_grid_region")), 8);
}

TEST_F(DsTest, CellOperation) {
    struct Case {
        int op;
        ZQRValue target, operand;
        ZQRValue expected;
    };
    const std::vector<Case> cases = {
        {1, 2.0, "x", "x"}, {2, "ab", "cd", "abcd"}, {2, 2.0, "x", "x"},
        {2, "x", 2.0, 2.0}, {2, 2.0, I32(3), 5.0},   {3, "x", 2.0, "x"},
        {3, 2.0, "x", 2.0}, {3, 2.0, 4.0, 8.0},      {9, 2.0, 4.0, 2.0},
    };
    for (const Case& c : cases) {
        ZQRValue target = c.target;
        DoOperation(c.op, &target, &c.operand);
        EXPECT_EQ(ZQCompareVal(target, c.expected, 0), 0) << "op " << c.op;
        EXPECT_EQ(target.Kind(), c.expected.Kind());
    }
    // Concatenation is whole, however long the texts.
    std::string left(1500, 'a');
    std::string right(700, 'b');
    ZQRValue target(left.c_str());
    ZQRValue operand(right.c_str());
    DoOperation(2, &target, &operand);
    EXPECT_EQ(TextOf(target), left + right);
    DoOperation(2, &target, &target); // operand and target may be one value
    EXPECT_EQ(TextOf(target).size(), 2 * (left.size() + right.size()));
}

// ---------------------------------------------------------------------------
// Nested structures.

TEST_F(DsTest, ClearingDestroysEverythingNestedOnce) {
    int outer = static_cast<int>(Call("ds_list_create").val);
    int map = static_cast<int>(Call("ds_map_create").val);
    int inner = static_cast<int>(Call("ds_list_create").val);
    Call("ds_list_add", {outer, map});
    Call("ds_list_mark_as_map", {outer, 0});
    Call("ds_map_add_list", {map, "inner", inner});
    Call("ds_list_add", {inner, "leaf"});

    Call("ds_list_delete", {outer, 0}); // deleting an element destroys nothing
    EXPECT_NE(themaps.Get(map), nullptr);
    Call("ds_list_add", {outer, map});
    Call("ds_list_mark_as_map", {outer, 0});
    Call("ds_list_clear", {outer});
    EXPECT_EQ(themaps.Get(map), nullptr);
    EXPECT_EQ(thelists.Get(inner), nullptr);
    EXPECT_NE(thelists.Get(outer), nullptr);
    EXPECT_EQ(thelists.Get(outer)->Size(), 0);

    // The mark outlives its structure: a second clear passes over it.
    Call("ds_list_add", {outer, map});
    Call("ds_list_mark_as_map", {outer, 0});
    Call("ds_list_clear", {outer});
    EXPECT_EQ(NoSuchStructureReports(), 0);
}

// A structure that holds itself, directly or through others, is neither
// walked without end nor freed twice (the sanitizers watch).
TEST_F(DsTest, CyclesAreClearedAndDestroyedOnce) {
    // A list that names itself.
    int self = static_cast<int>(Call("ds_list_create").val);
    Call("ds_list_add", {self, self, "x"});
    Call("ds_list_mark_as_list", {self, 0});
    Call("ds_list_clear", {self});
    ASSERT_NE(thelists.Get(self), nullptr);
    EXPECT_EQ(thelists.Get(self)->Size(), 0);
    Call("ds_list_add", {self, self});
    Call("ds_list_mark_as_list", {self, 0});
    Call("ds_list_destroy", {self});
    EXPECT_EQ(thelists.Get(self), nullptr);

    // A map and a list that name each other, cleared from either side.
    for (int side = 0; side < 2; ++side) {
        int map = static_cast<int>(Call("ds_map_create").val);
        int list = static_cast<int>(Call("ds_list_create").val);
        Call("ds_map_add_list", {map, "list", list});
        Call("ds_list_add", {list, map});
        Call("ds_list_mark_as_map", {list, 0});
        Call("ds_map_add_map", {map, "me", map});
        if (side == 0) {
            Call("ds_map_clear", {map});
            EXPECT_NE(themaps.Get(map), nullptr);
            EXPECT_EQ(thelists.Get(list), nullptr);
            Call("ds_map_destroy", {map});
        } else {
            Call("ds_list_destroy", {list});
            EXPECT_EQ(themaps.Get(map), nullptr);
        }
        EXPECT_EQ(themaps.Get(map), nullptr);
        EXPECT_EQ(thelists.Get(list), nullptr);
    }

    // A longer ring, released by the table's own shut-down.
    int a = static_cast<int>(Call("ds_map_create").val);
    int b = static_cast<int>(Call("ds_map_create").val);
    int c = static_cast<int>(Call("ds_list_create").val);
    Call("ds_map_add_map", {a, "next", b});
    Call("ds_map_add_list", {b, "next", c});
    Call("ds_list_add", {c, a});
    Call("ds_list_mark_as_map", {c, 0});
    DS_DestroyAll();
    EXPECT_EQ(themaps.Count(), 0);
}

// Two holders of one nested structure: the first destroys it, the second
// passes over it, and neither touches a structure that took its index later.
TEST_F(DsTest, SharedMarksNeverDestroyAStructureTwiceOrAStranger) {
    int child = static_cast<int>(Call("ds_map_create").val);
    int original = static_cast<int>(Call("ds_list_create").val);
    int copy = static_cast<int>(Call("ds_list_create").val);
    Call("ds_list_add", {original, child});
    Call("ds_list_mark_as_map", {original, 0});
    Call("ds_list_copy", {copy, original});

    Call("ds_list_destroy", {original});
    EXPECT_EQ(themaps.Get(child), nullptr);
    int stranger = static_cast<int>(Call("ds_map_create").val);
    ASSERT_EQ(stranger, child); // the index is reused
    Call("ds_list_destroy", {copy});
    EXPECT_NE(themaps.Get(stranger), nullptr);

    // The script destroys the child itself, then a new map takes its index.
    int parent = static_cast<int>(Call("ds_map_create").val);
    int own = static_cast<int>(Call("ds_map_create").val);
    Call("ds_map_add_map", {parent, "child", own});
    Call("ds_map_destroy", {own});
    int newcomer = static_cast<int>(Call("ds_map_create").val);
    ASSERT_EQ(newcomer, own);
    Call("ds_map_destroy", {parent});
    EXPECT_NE(themaps.Get(newcomer), nullptr);

    // The marks never reach a script, nor do the serials they carry.
    int list = static_cast<int>(Call("ds_list_create").val);
    Call("ds_list_add", {list, newcomer});
    ZQRValue marked = Call("ds_list_mark_as_map", {list, 0});
    EXPECT_EQ(marked.kind, VALUE_REAL);
    EXPECT_EQ(marked.flags, 0u);
    EXPECT_NE(thelists.Get(list)->GetValue(0)->kind & DS_MARK_MAP, 0u);
}
