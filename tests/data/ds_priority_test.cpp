// Priority queues: ties go to the lowest slot for minimum and maximum alike,
// removal moves the last pair into the hole, the tolerance, strings above
// every real, empty queues, changes, copies.
#include "data/ds_priority.h"
#include "ds_fixture.h"

namespace {

class DsPriority : public DsTest {
protected:
    int NewQueue(std::initializer_list<std::pair<ZQRValue, ZQRValue>> pairs) {
        int queue = static_cast<int>(Call("ds_priority_create").val);
        for (const auto& [value, priority] : pairs) Call("ds_priority_add", {queue, value, priority});
        return queue;
    }
};

} // namespace

TEST_F(DsPriority, TiesGoToTheLowestSlot) {
    int q = NewQueue({{"a", 1}, {"b", 1}, {"c", 0.5}});
    EXPECT_EQ(TextOf(Call("ds_priority_find_min", {q})), "c");
    EXPECT_EQ(TextOf(Call("ds_priority_delete_min", {q})), "c");
    EXPECT_EQ(TextOf(Call("ds_priority_find_min", {q})), "a");
    EXPECT_EQ(TextOf(Call("ds_priority_find_max", {q})), "a");
    EXPECT_EQ(TextOf(Call("ds_priority_delete_max", {q})), "a");
    EXPECT_EQ(TextOf(Call("ds_priority_find_max", {q})), "b");
    EXPECT_TRUE(IsReal(Call("ds_priority_size", {q}), 1));
}

TEST_F(DsPriority, DeletingMovesTheLastPairIntoTheHole) {
    int q = NewQueue({{"a", 1}, {"b", 2}, {"c", 1}});
    Call("ds_priority_delete_value", {q, "a"});
    EXPECT_EQ(TextOf(Call("ds_priority_find_min", {q})), "c"); // now in slot 0
    Call("ds_priority_delete_value", {q, "absent"});
    EXPECT_TRUE(IsReal(Call("ds_priority_size", {q}), 2));
    Call("ds_priority_delete_value", {q, "b"}); // the last pair itself
    EXPECT_TRUE(IsReal(Call("ds_priority_size", {q}), 1));
    EXPECT_EQ(TextOf(Call("ds_priority_find_max", {q})), "c");
}

TEST_F(DsPriority, ToleranceAndKinds) {
    int close = NewQueue({{"first", 1.0}, {"second", 1.000000001}});
    EXPECT_EQ(TextOf(Call("ds_priority_find_max", {close})), "first"); // equal: lowest slot
    int apart = NewQueue({{"first", 1.0}, {"second", 1.0001}});
    EXPECT_EQ(TextOf(Call("ds_priority_find_max", {apart})), "second");
    int kinds = NewQueue({{"string", "a"}, {"number", 5}});
    EXPECT_EQ(TextOf(Call("ds_priority_find_max", {kinds})), "string");
    EXPECT_EQ(TextOf(Call("ds_priority_find_min", {kinds})), "number");
}

TEST_F(DsPriority, EmptyQueuesAndChanges) {
    int q = NewQueue({});
    EXPECT_TRUE(IsReal(Call("ds_priority_delete_min", {q}), 0));
    EXPECT_TRUE(IsReal(Call("ds_priority_delete_max", {q}), 0));
    EXPECT_TRUE(IsUndefined(Call("ds_priority_find_min", {q})));
    EXPECT_TRUE(IsUndefined(Call("ds_priority_find_max", {q})));
    EXPECT_TRUE(IsReal(Call("ds_priority_empty", {q}), 1));

    Call("ds_priority_add", {q, "x", 1});
    Call("ds_priority_add", {q, "x", 2});
    Call("ds_priority_change_priority", {q, "absent", 5});
    Call("ds_priority_change_priority", {q, "x", 9}); // only the first "x"
    EXPECT_TRUE(IsReal(Call("ds_priority_find_priority", {q, "x"}), 9));
    EXPECT_TRUE(IsUndefined(Call("ds_priority_find_priority", {q, "absent"})));
    Call("ds_priority_delete_value", {q, "x"});
    EXPECT_TRUE(IsReal(Call("ds_priority_find_priority", {q, "x"}), 2));
    EXPECT_EQ(NoSuchStructureReports(), 0);
}

TEST_F(DsPriority, Copies) {
    int q = NewQueue({{"a", 3}, {"b", 1}});
    Call("ds_priority_copy", {q, q});
    EXPECT_TRUE(IsReal(Call("ds_priority_size", {q}), 2));
    EXPECT_EQ(TextOf(Call("ds_priority_find_min", {q})), "b");
    int copy = NewQueue({{"old", 0}});
    Call("ds_priority_copy", {copy, q});
    EXPECT_EQ(TextOf(Call("ds_priority_delete_min", {copy})), "b");
    EXPECT_TRUE(IsReal(Call("ds_priority_size", {q}), 2));
    Call("ds_priority_clear", {q});
    EXPECT_TRUE(IsReal(Call("ds_priority_empty", {q}), 1));
    EXPECT_EQ(TextOf(Call("ds_priority_find_max", {copy})), "a");
}
