// Queues: script values held by index, enqueued at the back and dequeued at
// the front by moving a head position; the ds_queue_* built-ins and the
// helpers through which other subsystems queue values.
#pragma once

#include <cstdint>
#include <span>

#include "data/ds_tables.h"

// Elements are slots head to tail - 1. A dequeued value stays in its slot,
// and compaction copies values down without clearing where they came from;
// the text form writes every slot, so all of this shows there. Capacity
// follows the queue's own rule (tail + 16 when full), whatever the storage
// block has allocated.
class CDS_Queue {
public:
    CDS_Queue() = default;
    ~CDS_Queue();
    CDS_Queue(const CDS_Queue&) = delete;
    CDS_Queue& operator=(const CDS_Queue&) = delete;

    int Size() const { return m_tail - m_head; }
    int GetSize() const { return Size(); }
    bool Empty() const { return m_head == m_tail; }
    int HeadIndex() const { return m_head; }
    int TailIndex() const { return m_tail; }
    int Capacity() const { return m_storage.capacity; }
    // Storage slot i (0 to capacity - 1), taken and never-used slots included.
    const RValue* Slot(int i) const { return &m_storage.values[i]; }

    // False when the queue may not grow (reported).
    bool Enqueue(const RValue* v);
    // The front slot (valid until the next enqueue), or null when empty.
    // Compacts when the old head is at least 16 and at least tail / 2.
    RValue* Dequeue();
    RValue* Head() { return Empty() ? nullptr : &m_storage.values[m_head]; }
    RValue* Tail() { return Empty() ? nullptr : &m_storage.values[m_tail - 1]; }
    // Head and tail 0, every slot below the capacity released, capacity 0;
    // the storage block stays.
    void Clear();
    // Becomes a copy of src, every storage slot included (null clears; src
    // may be this queue).
    void Assign(const CDS_Queue* src);

    void WriteToString(const char*& out);
    bool ReadFromString(const char* text, bool legacy);

    // The collector's walk: every slot below the capacity.
    template <typename Fn>
    void VisitValues(Fn&& fn) {
        for (int32_t i = 0; i < m_storage.capacity; ++i) fn(m_storage.values[i]);
    }

private:
    int32_t m_tail = 0;
    int32_t m_head = 0;
    DsStorage m_storage;
};

// Helpers for other subsystems; a negative queue does nothing (0 for the size).
int DsQueueCreate();
// n entries of (double number, const char* text): the text when not null, else the number.
void DsQueueEnqueue(int queue, int n, ...);
// n entries of (double number, void* pointer): a pointer value (never deleted
// by the queue) when not null, else the number.
void DsQueueEnqueuePtr(int queue, int n, ...);
void DsQueueDequeue(int queue, RValue& out);
int DsQueueSize(int queue);
void DsQueueClear(int queue);

std::span<const DsBuiltinRow> DsQueue_Builtins();
