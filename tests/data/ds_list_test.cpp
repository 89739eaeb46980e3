// Lists: writing past the end and what the skipped slots hold, insertion and
// deletion bounds, search within the tolerance, sorting across kinds (stable,
// and safe with a comparator that is no order), shuffling with a fixed seed,
// marks, self-copy, refused sizes, and array owners kept right when storage
// moves.
#include <algorithm>
#include <vector>

#include "core/compare.h"
#include "core/random.h"
#include "data/ds_list.h"
#include "data/ds_map.h"
#include "ds_fixture.h"

namespace {

class DsList : public DsTest {
protected:
    int NewList(std::initializer_list<ZQRValue> values = {}) {
        int list = static_cast<int>(Call("ds_list_create").val);
        for (const ZQRValue& v : values) Call("ds_list_add", {list, v});
        return list;
    }
    static const RValue& At(int list, int pos) { return *thelists.Get(list)->GetValue(pos); }
    static int Size(int list) { return thelists.Get(list)->Size(); }
};

} // namespace

TEST_F(DsList, AddFindInsertReplaceDelete) {
    int list = NewList();
    Call("ds_list_add", {list, 1.0, "two", I32(3)});
    EXPECT_TRUE(IsReal(Call("ds_list_size", {list}), 3));
    EXPECT_EQ(TextOf(Call("ds_list_find_value", {list, 1})), "two");
    EXPECT_TRUE(IsUndefined(Call("ds_list_find_value", {list, 3})));
    EXPECT_TRUE(IsReal(Call("ds_list_find_index", {list, 3.0}), 2)); // int32 3 equals the real 3
    EXPECT_TRUE(IsReal(Call("ds_list_find_index", {list, 1.000000001}), 0));
    EXPECT_TRUE(IsReal(Call("ds_list_find_index", {list, "three"}), -1));

    Call("ds_list_insert", {list, 3, "end"}); // pos = size appends
    Call("ds_list_insert", {list, 5, "beyond"});
    Call("ds_list_insert", {list, -1, "before"});
    Call("ds_list_insert", {list, 0, "first"});
    EXPECT_EQ(Size(list), 5);
    EXPECT_EQ(TextOf(At(list, 0)), "first");
    EXPECT_EQ(TextOf(At(list, 4)), "end");

    Call("ds_list_replace", {list, 4, "last"});
    Call("ds_list_replace", {list, 5, "nothing"});
    Call("ds_list_delete", {list, 0});
    Call("ds_list_delete", {list, 9});
    EXPECT_EQ(Size(list), 4);
    EXPECT_TRUE(IsReal(At(list, 0), 1.0));
    EXPECT_EQ(TextOf(At(list, 3)), "last");
    EXPECT_TRUE(IsReal(Call("ds_list_empty", {list}), 0));

    Call("ds_list_add", {list}); // no value: reported even for a good list
    EXPECT_EQ(NoSuchStructureReports(), 1);
}

TEST_F(DsList, SetPastTheEndShowsWhatTheSlotsHeld) {
    int list = NewList();
    Call("ds_list_set", {list, 5, "x"});
    EXPECT_EQ(Size(list), 6);
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(IsReal(At(list, i), 0)) << i; // never used
    Call("ds_list_clear", {list});
    Call("ds_list_set", {list, 2, 1});
    EXPECT_TRUE(IsUndefined(At(list, 0))); // emptied by the clear
    EXPECT_TRUE(IsUndefined(At(list, 1)));

    int other = NewList({"a", "b", "c"});
    Call("ds_list_delete", {other, 2});
    Call("ds_list_set", {other, 3, 9});
    EXPECT_TRUE(IsReal(At(other, 2), 0)); // the slot a delete vacated

    int prepost = NewList({5});
    EXPECT_TRUE(IsReal(Call("ds_list_set_post", {prepost, 0, 7}), 5));
    EXPECT_TRUE(IsReal(Call("ds_list_set_pre", {prepost, 0, 8}), 8));
    EXPECT_TRUE(IsReal(At(prepost, 0), 8));
    EXPECT_TRUE(IsReal(Call("ds_list_set_post", {prepost, 3, 1}), 0)); // past the end: the slot's content
    Call("ds_list_set", {prepost, -1, 1});
    EXPECT_EQ(Size(prepost), 4);
}

TEST_F(DsList, HugePositionsAreRefusedNotAllocated) {
    int list = NewList({1});
    Call("ds_list_set", {list, 2147483647, 1});
    Call("ds_list_set_post", {list, 1e12, 1}); // wraps to a 32-bit position first
    EXPECT_EQ(Size(list), 1);
    EXPECT_GE(Printed("is refused"), 1);
    EXPECT_EQ(m_errors.Count(), 0);
    EXPECT_LT(thelists.Get(list)->Capacity(), 1024);
}

TEST_F(DsList, SortsAcrossKindsWithinTheTolerance) {
    int list = NewList({3, "b", 1, "a"});
    Call("ds_list_sort", {list, 1});
    EXPECT_TRUE(IsReal(At(list, 0), 1));
    EXPECT_TRUE(IsReal(At(list, 1), 3));
    EXPECT_EQ(TextOf(At(list, 2)), "a");
    EXPECT_EQ(TextOf(At(list, 3)), "b");

    // Descending reverses elements that compare equal.
    int descending = NewList({1.0, 2.0, 1.000000001});
    Call("ds_list_sort", {descending, 0});
    EXPECT_TRUE(IsReal(At(descending, 0), 2.0));
    EXPECT_TRUE(IsReal(At(descending, 1), 1.000000001));
    EXPECT_TRUE(IsReal(At(descending, 2), 1.0));

    // Ascending is stable, past the short runs too.
    int stable = NewList();
    for (int i = 0; i < 100; ++i) Call("ds_list_add", {stable, (i % 3) + i * 1e-11});
    Call("ds_list_sort", {stable, 1});
    for (int i = 1; i < 100; ++i) {
        const RValue& a = At(stable, i - 1);
        const RValue& b = At(stable, i);
        ASSERT_LE(ZQCompareVal(a, b, theprec), 0) << i;
        if (ZQCompareVal(a, b, theprec) == 0) {
            ASSERT_LT(a.val, b.val) << "equal elements kept their order";
        }
    }
}

// The tolerance makes neighbours equal without making the ends equal; the
// sort must still end, stay in bounds and keep every element.
TEST_F(DsList, SortIsSafeWithAComparatorThatIsNoOrder) {
    int list = NewList();
    std::vector<double> added;
    for (int i = 0; i < 300; ++i) {
        double v = ((i * 37) % 300) * 0.6e-8;
        added.push_back(v);
        Call("ds_list_add", {list, v});
    }
    Call("ds_list_add", {list, "s", 1.0, ZQRValue()});
    Call("ds_list_sort", {list, 1});
    Call("ds_list_sort", {list, 0});
    ASSERT_EQ(Size(list), 303);
    std::vector<double> kept;
    for (int i = 0; i < Size(list); ++i)
        if (At(list, i).kind == VALUE_REAL && At(list, i).val != 1.0) kept.push_back(At(list, i).val);
    std::sort(added.begin(), added.end());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, added);
}

// Where the tolerance chains (2u = 1u = 0u but 2u > 0u), descending is the
// stable ascending order reversed: [0u, 1u, 2u], not the [1u, 2u, 0u] that
// sorting by neighbour swaps would leave. Pinned so a change of sort is seen.
TEST_F(DsList, DescendingSortOfAToleranceChainIsTheAscendingOrderReversed) {
    const double u = 0.6e-8;
    int list = NewList({2 * u, u, 0.0});
    Call("ds_list_sort", {list, 0});
    EXPECT_EQ(At(list, 0).val, 0.0);
    EXPECT_EQ(At(list, 1).val, u);
    EXPECT_EQ(At(list, 2).val, 2 * u);
}

TEST_F(DsList, ShuffleReplaysTheGeneratorsDraws) {
    auto shuffled = [&](uint32_t seed) {
        int list = NewList();
        for (int i = 0; i < 10; ++i) Call("ds_list_add", {list, i});
        InitRandom(seed);
        Call("ds_list_shuffle", {list});
        std::vector<double> order;
        for (int i = 0; i < 10; ++i) order.push_back(At(list, i).val);
        return order;
    };
    // 8 x count exchanges of positions drawn in pairs.
    InitRandom(42);
    std::vector<double> expected = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    for (int k = 0; k < 80; ++k) {
        int i = ZQRandom(10);
        int j = ZQRandom(10);
        std::swap(expected[i], expected[j]);
    }
    EXPECT_EQ(shuffled(42), expected);
    EXPECT_EQ(shuffled(42), shuffled(42));
    EXPECT_NE(shuffled(42), shuffled(7));
}

TEST_F(DsList, MarksAreCutFromWhatScriptsSee) {
    int map = static_cast<int>(Call("ds_map_create").val);
    int list = NewList({map, "s"});
    ZQRValue marked = Call("ds_list_mark_as_map", {list, 0});
    EXPECT_TRUE(IsReal(marked, map));
    EXPECT_EQ(At(list, 0).kind, VALUE_REAL | DS_MARK_MAP);
    EXPECT_TRUE(IsReal(Call("ds_list_find_value", {list, 0}), map));
    EXPECT_TRUE(IsUndefined(Call("ds_list_mark_as_map", {list, 99})));
    EXPECT_EQ(TextOf(Call("ds_list_mark_as_list", {list, 1})), "s"); // a marked string destroys nothing
    Call("ds_list_destroy", {list});
    EXPECT_EQ(themaps.Get(map), nullptr);
}

TEST_F(DsList, CopyOntoItselfChangesNothing) {
    int list = NewList({"a", 2, "c"});
    Call("ds_list_copy", {list, list});
    ASSERT_EQ(Size(list), 3);
    EXPECT_EQ(TextOf(At(list, 0)), "a");
    EXPECT_EQ(TextOf(At(list, 2)), "c");

    int other = NewList({"x"});
    Call("ds_list_copy", {other, list});
    EXPECT_EQ(Size(other), 3);
    EXPECT_EQ(TextOf(At(other, 2)), "c");
    Call("ds_list_copy", {other, 99});
    EXPECT_EQ(NoSuchStructureReports(), 1);
}

// An array stored in a list whose record names the slot as its owner must
// keep naming the slot wherever the list moves it: a stale owner address
// would let an unrelated value write the shared array in place.
TEST_F(DsList, ArrayOwnersFollowTheirSlots) {
    CDS_List list;
    ZQRValue array;
    RValue one = RValue_Real(1);
    SET_RValue(&array, &one, 0);
    list.Add(&array);
    array = ZQRValue(); // the list's copy is the only holder left
    RValue* slot = list.GetValue(0);
    ASSERT_EQ(slot->Kind(), VALUE_ARRAY);
    slot->pRefArray->m_Owner = slot;
    RefDynamicArrayOfRValue* record = slot->pRefArray;

    auto ownerIsItsSlot = [&] {
        for (int i = 0; i < list.Size(); ++i)
            if (list.GetValue(i)->pRefArray == record) return record->m_Owner == list.GetValue(i);
        return false;
    };
    for (int i = 0; i < 300; ++i) {
        RValue v = RValue_Real(i);
        list.Add(&v); // growth moves the block
    }
    EXPECT_TRUE(ownerIsItsSlot());
    RValue first = RValue_Real(-1);
    list.Insert(0, &first);
    EXPECT_TRUE(ownerIsItsSlot());
    list.Sort(true);
    EXPECT_TRUE(ownerIsItsSlot());
    list.Delete(0);
    EXPECT_TRUE(ownerIsItsSlot());
    list.Shuffle();
    EXPECT_TRUE(ownerIsItsSlot());
}

TEST_F(DsList, HelpersForOtherSubsystems) {
    int list = dsListCreate();
    int map = dsMapCreate();
    dsListAddInt(list, 4);
    dsListAddDouble(list, 0.5);
    dsListAddInt64(list, int64_t{1} << 40);
    dsListAddString(list, "text");
    dsListAddMap(list, map);
    ASSERT_EQ(Size(list), 5);
    EXPECT_EQ(At(list, 2).kind, VALUE_INT64);
    EXPECT_EQ(TextOf(At(list, 3)), "text");
    EXPECT_EQ(At(list, 4).kind, VALUE_REAL | DS_MARK_MAP);
    dsListClear(list);
    EXPECT_EQ(themaps.Get(map), nullptr);
    dsListAddInt(99, 1);
    EXPECT_EQ(NoSuchStructureReports(), 1);
}
