// Queues, their built-ins and the queue helpers for other subsystems.
#include "data/ds_queue.h"

#include <cstdarg>
#include <iterator>

#include "core/real_to_int.h"
#include "core/ref_string.h"

namespace FDS = Function_Data_Structures;

CDS_Queue::~CDS_Queue() {
    m_storage.Destroy();
}

bool CDS_Queue::Enqueue(const RValue* v) {
    if (m_tail >= m_storage.capacity) {
        int64_t wanted = int64_t{m_tail} + 16;
        if (wanted > DS_MAX_ELEMENTS) wanted = DS_MAX_ELEMENTS;
        if (int64_t{m_tail} + 1 > DS_MAX_ELEMENTS || !m_storage.SetCapacity(wanted)) {
            DS_ReportTooLarge(int64_t{m_tail} + 1);
            return false;
        }
    }
    DS_StoreCopy(&m_storage.values[m_tail], v);
    ++m_tail;
    return true;
}

RValue* CDS_Queue::Dequeue() {
    if (m_head == m_tail) return nullptr;
    int32_t taken = m_head++;
    // Compact once the taken slots are at least 16 and at least half the
    // used storage: the copies never reach the returned slot, because fewer
    // values remain than lie before it.
    if (taken >= 16 && taken >= m_tail / 2) {
        int32_t remaining = m_tail - m_head;
        for (int32_t i = 0; i < remaining; ++i)
            DS_StoreCopy(&m_storage.values[i], &m_storage.values[m_head + i]);
        m_tail = remaining;
        m_head = 0;
    }
    return &m_storage.values[taken];
}

void CDS_Queue::Clear() {
    m_head = 0;
    m_tail = 0;
    for (int32_t i = 0; i < m_storage.capacity; ++i) FREE_RValue(&m_storage.values[i]);
    m_storage.capacity = 0;
}

void CDS_Queue::Assign(const CDS_Queue* src) {
    if (src == this) return;
    if (src == nullptr) {
        Clear();
        return;
    }
    if (!m_storage.CopyFrom(src->m_storage)) return;
    m_tail = src->m_tail;
    m_head = src->m_head;
}

// ---------------------------------------------------------------------------
// Built-ins.

namespace {

CDS_Queue* CheckedQueue(const RValue* args) {
    return DS_Checked(FDS::thequeues, args);
}

void F_DsQueueCreate(RValue& result, CInstance*, CInstance*, int, RValue*) {
    CDS_Queue* queue = new CDS_Queue;
    int index = FDS::thequeues.Add(queue);
    if (index < 0) delete queue;
    DS_ResultReal(result, index);
}

void F_DsQueueDestroy(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (CheckedQueue(args) != nullptr) delete FDS::thequeues.Detach(ZQGetInt32(args, 0));
}

void F_DsQueueClear(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_Queue* queue = CheckedQueue(args)) queue->Clear();
}

void F_DsQueueCopy(RValue&, CInstance*, CInstance*, int, RValue* args) {
    CDS_Queue* destination = CheckedQueue(args);
    if (destination == nullptr) return;
    if (CDS_Queue* source = DS_Checked(FDS::thequeues, args, 1)) destination->Assign(source);
}

void F_DsQueueSize(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_Queue* queue = CheckedQueue(args)) DS_ResultReal(result, queue->Size());
}

void F_DsQueueEmpty(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_Queue* queue = CheckedQueue(args)) DS_ResultReal(result, queue->Empty() ? 1.0 : 0.0);
}

void F_DsQueueEnqueue(RValue&, CInstance*, CInstance*, int argc, RValue* args) {
    if (argc < 2) return; // nothing to enqueue: no check, no report
    CDS_Queue* queue = CheckedQueue(args);
    if (queue == nullptr) return;
    for (int i = 1; i < argc; ++i) {
        if (!queue->Enqueue(&args[i])) return;
    }
}

void F_DsQueueDequeue(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    CDS_Queue* queue = CheckedQueue(args);
    if (queue == nullptr) return;
    if (const RValue* front = queue->Dequeue()) DS_ResultCopy(result, *front);
}

void F_DsQueueHead(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    CDS_Queue* queue = CheckedQueue(args);
    if (queue == nullptr) return;
    if (const RValue* front = queue->Head()) DS_ResultCopy(result, *front);
}

void F_DsQueueTail(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    CDS_Queue* queue = CheckedQueue(args);
    if (queue == nullptr) return;
    if (const RValue* back = queue->Tail()) DS_ResultCopy(result, *back);
}

void F_DsQueueWrite(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    CDS_Queue* queue = CheckedQueue(args);
    if (queue == nullptr) return;
    DS_ResultTextForm(result, queue);
}

void F_DsQueueRead(RValue&, CInstance*, CInstance*, int argc, RValue* args) {
    CDS_Queue* queue = CheckedQueue(args);
    if (queue == nullptr) return;
    const char* text = ZQGetString(args, 1);
    if (text == nullptr) return;
    queue->ReadFromString(text, argc > 2 && ZQGetInt32(args, 2) > 0);
}

const DsBuiltinRow kQueueBuiltins[] = {
    {"ds_queue_create", F_DsQueueCreate, 0},    {"ds_queue_destroy", F_DsQueueDestroy, 1},
    {"ds_queue_clear", F_DsQueueClear, 1},      {"ds_queue_copy", F_DsQueueCopy, 2},
    {"ds_queue_size", F_DsQueueSize, 1},        {"ds_queue_empty", F_DsQueueEmpty, 1},
    {"ds_queue_enqueue", F_DsQueueEnqueue, -1}, {"ds_queue_dequeue", F_DsQueueDequeue, 1},
    {"ds_queue_head", F_DsQueueHead, 1},        {"ds_queue_tail", F_DsQueueTail, 1},
    {"ds_queue_write", F_DsQueueWrite, 1},      {"ds_queue_read", F_DsQueueRead, 2},
};

// Calls a queue built-in as scripts do, for the helpers below.
void CallQueueBuiltin(TRoutine routine, RValue& result, RValue* args, int argc) {
    routine(result, nullptr, nullptr, argc, args);
}

} // namespace

std::span<const DsBuiltinRow> DsQueue_Builtins() {
    return kQueueBuiltins;
}

// ---------------------------------------------------------------------------
// Helpers for other subsystems.

int DsQueueCreate() {
    RValue result = RValue_Undefined();
    CallQueueBuiltin(F_DsQueueCreate, result, nullptr, 0);
    return RealRoundToInt32(result.val);
}

namespace {

void EnqueueOne(int queue, const RValue& value) {
    RValue args[2] = {RValue_Real(queue), value};
    RValue result = RValue_Undefined();
    CallQueueBuiltin(F_DsQueueEnqueue, result, args, 2);
}

} // namespace

void DsQueueEnqueue(int queue, int n, ...) {
    if (queue < 0) return;
    va_list list;
    va_start(list, n);
    for (int i = 0; i < n; ++i) {
        double number = va_arg(list, double);
        const char* text = va_arg(list, const char*);
        RValue value = RValue_Real(number);
        if (text != nullptr) ZQSetString(&value, text);
        EnqueueOne(queue, value);
        FREE_RValue(&value);
    }
    va_end(list);
}

void DsQueueEnqueuePtr(int queue, int n, ...) {
    if (queue < 0) return;
    va_list list;
    va_start(list, n);
    for (int i = 0; i < n; ++i) {
        double number = va_arg(list, double);
        void* pointer = va_arg(list, void*);
        RValue value = RValue_Real(number);
        if (pointer != nullptr) {
            value.ptr = pointer;
            value.kind = VALUE_PTR; // flags 0: the queue never deletes it
        }
        EnqueueOne(queue, value);
    }
    va_end(list);
}

void DsQueueDequeue(int queue, RValue& out) {
    if (queue < 0) return;
    RValue args[1] = {RValue_Real(queue)};
    FREE_RValue(&out);
    CallQueueBuiltin(F_DsQueueDequeue, out, args, 1);
}

int DsQueueSize(int queue) {
    if (queue < 0) return 0;
    RValue args[1] = {RValue_Real(queue)};
    RValue result = RValue_Real(0);
    CallQueueBuiltin(F_DsQueueSize, result, args, 1);
    return RealRoundToInt32(result.val);
}

void DsQueueClear(int queue) {
    if (queue < 0) return;
    RValue args[1] = {RValue_Real(queue)};
    RValue result = RValue_Undefined();
    CallQueueBuiltin(F_DsQueueClear, result, args, 1);
}
