// Stacks and queues: order, empty structures, the missing-value rules, the
// queue's compaction and the slots its text form will show, copies
// (including onto themselves), the queue helpers and compiled code's stack
// entries.
#include <string>

#include "data/ds_queue.h"
#include "data/ds_stack.h"
#include "ds_fixture.h"

namespace FDS = Function_Data_Structures;

TEST_F(DsTest, StackPushPopTop) {
    int stack = static_cast<int>(Call("ds_stack_create").val);
    Call("ds_stack_push", {stack, 1, "two", 3});
    EXPECT_TRUE(IsReal(Call("ds_stack_size", {stack}), 3));
    EXPECT_TRUE(IsReal(Call("ds_stack_pop", {stack}), 3));
    EXPECT_EQ(TextOf(Call("ds_stack_top", {stack})), "two");
    Call("ds_stack_pop", {stack});
    Call("ds_stack_pop", {stack});
    EXPECT_TRUE(IsUndefined(Call("ds_stack_pop", {stack})));
    EXPECT_TRUE(IsUndefined(Call("ds_stack_top", {stack})));
    EXPECT_TRUE(IsReal(Call("ds_stack_empty", {stack}), 1));
    EXPECT_EQ(NoSuchStructureReports(), 0);

    Call("ds_stack_push", {stack}); // no value: reported even for a good stack
    EXPECT_EQ(NoSuchStructureReports(), 1);

    // Popped strings stay in their slots until a push or the clear releases
    // them (the leak checker watches).
    Call("ds_stack_push", {stack, "a", "b"});
    Call("ds_stack_pop", {stack});
    Call("ds_stack_clear", {stack});
    Call("ds_stack_push", {stack, "c", "d"});
    Call("ds_stack_pop", {stack});
    Call("ds_stack_destroy", {stack});
}

TEST_F(DsTest, StackCopiesAndCompiledEntries) {
    int stack = ZQVTL_ds_stack_create();
    ZQRValue index(stack);
    ZQRValue a("a");
    ZQRValue b(2.0);
    ZQRValue* args[] = {&index, &a, &b};
    ZQVTL_ds_stack_push(3, args);
    Call("ds_stack_copy", {stack, stack});
    EXPECT_TRUE(IsReal(Call("ds_stack_size", {stack}), 2));

    int copy = static_cast<int>(Call("ds_stack_create").val);
    Call("ds_stack_copy", {copy, stack});
    const RValue* top = ZQVTL_ds_stack_pop(copy);
    ASSERT_NE(top, nullptr);
    EXPECT_TRUE(IsReal(*top, 2.0));
    EXPECT_EQ(TextOf(*ZQVTL_ds_stack_pop(copy)), "a");
    EXPECT_EQ(ZQVTL_ds_stack_pop(copy), nullptr);
    EXPECT_TRUE(IsReal(Call("ds_stack_size", {stack}), 2));

    EXPECT_EQ(ZQVTL_ds_stack_pop(99), nullptr);
    ZQVTL_ds_stack_push(1, args); // a stack but no value
    EXPECT_EQ(NoSuchStructureReports(), 2);
}

TEST_F(DsTest, QueueOrderAndEmptyRules) {
    int queue = static_cast<int>(Call("ds_queue_create").val);
    Call("ds_queue_enqueue", {queue}); // no value: nothing, not even a report
    Call("ds_queue_enqueue", {99});
    EXPECT_EQ(NoSuchStructureReports(), 0);
    Call("ds_queue_enqueue", {queue, 1, 2, "three"});
    Call("ds_queue_dequeue", {queue});
    EXPECT_TRUE(IsReal(Call("ds_queue_size", {queue}), 2));
    EXPECT_TRUE(IsReal(Call("ds_queue_head", {queue}), 2));
    EXPECT_EQ(TextOf(Call("ds_queue_tail", {queue})), "three");
    Call("ds_queue_dequeue", {queue});
    EXPECT_EQ(TextOf(Call("ds_queue_dequeue", {queue})), "three");
    EXPECT_TRUE(IsReal(Call("ds_queue_empty", {queue}), 1));
    EXPECT_TRUE(IsUndefined(Call("ds_queue_dequeue", {queue})));
    EXPECT_TRUE(IsUndefined(Call("ds_queue_head", {queue})));
    EXPECT_TRUE(IsUndefined(Call("ds_queue_tail", {queue})));
}

TEST_F(DsTest, QueueCompactsOnlyWhenHalfTheStorageIsTaken) {
    int index = static_cast<int>(Call("ds_queue_create").val);
    CDS_Queue* queue = FDS::thequeues.Get(index);
    for (int i = 1; i <= 40; ++i) Call("ds_queue_enqueue", {index, i});
    for (int i = 1; i <= 20; ++i) ASSERT_TRUE(IsReal(Call("ds_queue_dequeue", {index}), i));
    EXPECT_EQ(queue->HeadIndex(), 20); // old heads 16 to 19 were below 40 / 2
    EXPECT_EQ(queue->TailIndex(), 40);
    EXPECT_TRUE(IsReal(Call("ds_queue_dequeue", {index}), 21));
    EXPECT_EQ(queue->HeadIndex(), 0);
    EXPECT_EQ(queue->TailIndex(), 19);
    EXPECT_TRUE(IsReal(Call("ds_queue_head", {index}), 22));
    EXPECT_TRUE(IsReal(*queue->Slot(20), 21)); // the taken value stays in its slot
    EXPECT_TRUE(IsReal(*queue->Slot(25), 26)); // copies leave their sources as they were
}

TEST_F(DsTest, QueueSlotsAfterClearAndCopy) {
    int full = static_cast<int>(Call("ds_queue_create").val);
    for (int i = 1; i <= 16; ++i) Call("ds_queue_enqueue", {full, i});
    int copy = static_cast<int>(Call("ds_queue_create").val);
    Call("ds_queue_copy", {copy, full});
    EXPECT_TRUE(IsReal(Call("ds_queue_tail", {copy}), 16));
    Call("ds_queue_copy", {full, full});
    EXPECT_TRUE(IsReal(Call("ds_queue_size", {full}), 16));
    EXPECT_TRUE(IsReal(Call("ds_queue_head", {full}), 1));

    // A cleared queue's storage keeps undefined values where a new queue's
    // holds zeros; the text form writes every slot, so this shows.
    Call("ds_queue_clear", {full});
    Call("ds_queue_enqueue", {full, "x"});
    int fresh = static_cast<int>(Call("ds_queue_create").val);
    Call("ds_queue_enqueue", {fresh, "x"});
    const CDS_Queue* cleared = FDS::thequeues.Get(full);
    const CDS_Queue* made = FDS::thequeues.Get(fresh);
    ASSERT_EQ(cleared->Capacity(), 16);
    ASSERT_EQ(made->Capacity(), 16);
    for (int i = 1; i < 16; ++i) {
        EXPECT_TRUE(IsUndefined(*cleared->Slot(i))) << i;
        EXPECT_TRUE(IsReal(*made->Slot(i), 0)) << i;
    }
}

TEST_F(DsTest, QueueHelpers) {
    int queue = DsQueueCreate();
    int marker = 7;
    DsQueueEnqueue(queue, 2, 1.5, static_cast<const char*>(nullptr), 0.0, "text");
    DsQueueEnqueuePtr(queue, 2, 2.5, static_cast<void*>(nullptr), 0.0, static_cast<void*>(&marker));
    DsQueueEnqueue(-1, 1, 1.0, static_cast<const char*>(nullptr));
    EXPECT_EQ(DsQueueSize(queue), 4);
    EXPECT_EQ(DsQueueSize(-1), 0);
    ZQRValue out("stale");
    DsQueueDequeue(queue, out);
    EXPECT_TRUE(IsReal(out, 1.5));
    DsQueueDequeue(queue, out);
    EXPECT_EQ(TextOf(out), "text");
    DsQueueDequeue(queue, out);
    EXPECT_TRUE(IsReal(out, 2.5));
    DsQueueDequeue(queue, out);
    EXPECT_EQ(out.kind, VALUE_PTR);
    EXPECT_EQ(out.ptr, &marker);
    DsQueueEnqueue(queue, 1, 3.0, static_cast<const char*>(nullptr));
    DsQueueClear(queue);
    EXPECT_EQ(DsQueueSize(queue), 0);
    DsQueueSize(42);
    EXPECT_EQ(NoSuchStructureReports(), 1);
}
