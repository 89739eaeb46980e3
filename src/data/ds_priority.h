// Priority queues: pairs of a value and its priority, both script values, in
// two parallel unsorted arrays held by index; the ds_priority_* built-ins.
#pragma once

#include <span>

#include "data/ds_tables.h"

// Pair i is slot i of both arrays, in insertion order changed by removals
// (the last pair fills a hole). The least and greatest priorities are found
// by scanning with ZQCompareVal; among priorities that compare equal the
// lowest slot wins, for the minimum and the maximum alike.
class CDS_Priority {
public:
    CDS_Priority() = default;
    ~CDS_Priority();
    CDS_Priority(const CDS_Priority&) = delete;
    CDS_Priority& operator=(const CDS_Priority&) = delete;

    int Size() const { return m_count; }
    bool Empty() const { return m_count == 0; }

    // False when the queue may not grow (reported).
    bool Add(const RValue* value, const RValue* priority);
    // Sets the priority of the first pair whose value equals value.
    void Change(const RValue* value, const RValue* priority);
    // The priority of the first pair whose value equals value, or null.
    RValue* Find(const RValue* value);
    // Removes the first pair whose value equals value.
    void Delete(const RValue* value);
    // out becomes the real 0 (what it held is released), then a copy of the
    // value of least (greatest) priority, whose pair is removed.
    void DeleteMin(RValue* out);
    void DeleteMax(RValue* out);
    // The value of least (greatest) priority, or null when empty.
    RValue* FindMin();
    RValue* FindMax();
    void Clear();
    // Becomes a copy of src (null clears; src may be this queue).
    void Assign(const CDS_Priority* src);

    void WriteToString(const char*& out);
    bool ReadFromString(const char* text, bool legacy);

    // The collector's walk: every value and priority slot below the capacity.
    template <typename Fn>
    void VisitValues(Fn&& fn) {
        for (int32_t i = 0; i < m_values.capacity; ++i) fn(m_values.values[i]);
        for (int32_t i = 0; i < m_priorities.capacity; ++i) fn(m_priorities.values[i]);
    }

private:
    // The slot of least (sign -1) or greatest (sign 1) priority, or -1.
    int Select(int sign) const;
    int IndexOf(const RValue* value) const;
    void RemoveAt(int index);

    int32_t m_count = 0;
    DsStorage m_values;
    DsStorage m_priorities;
};

std::span<const DsBuiltinRow> DsPriority_Builtins();
