// Lists: growable arrays of script values held by index, with insertion,
// overwriting past the end, search, sorting, shuffling and elements marked as
// nested lists or maps; and the ds_list_* built-ins.
#pragma once

#include <cstdint>
#include <span>

#include "data/ds_tables.h"

// Elements are positions 0 to count - 1. Slots past the count keep what was
// last in them: a never-used slot reads as the real 0, a slot emptied by
// Clear as undefined, the slot vacated by Delete as the real 0; writing past
// the end (Set) makes the skipped slots elements as they are. So a slot past
// the count never holds a reference (every operation, the text form's reader
// included, must keep it so), and appending needs no release. The list owns
// its elements (copy rule on store, release rule on removal); marks travel
// with their elements.
class CDS_List {
public:
    CDS_List();
    // Destroying a list clears it, so its nested structures go with it.
    ~CDS_List();
    CDS_List(const CDS_List&) = delete;
    CDS_List& operator=(const CDS_List&) = delete;

    int Size() const { return m_count; }
    bool Empty() const { return m_count == 0; }
    int Capacity() const { return m_storage.capacity; }
    uint32_t Serial() const { return m_serial; }
    bool IsClearing() const { return m_clearing; }

    // The element's slot, or null outside 0 to count - 1.
    RValue* GetValue(int64_t pos) { return pos >= 0 && pos < m_count ? &m_storage.values[pos] : nullptr; }
    const RValue* GetValue(int64_t pos) const {
        return pos >= 0 && pos < m_count ? &m_storage.values[pos] : nullptr;
    }

    // Appends a copy of v. Growth: 16 slots, then an eighth of the capacity
    // once that exceeds 15. False when the list may not grow (reported).
    bool Add(const RValue* v) {
        if (m_count < m_storage.capacity) {
            // Slots past the count hold no reference: the copy needs no release.
            COPY_RValue(&m_storage.values[m_count], v);
            ++m_count;
            return true;
        }
        return AddGrowing(v);
    }
    // Inserts before pos (pos = count appends); pos outside 0 to count does nothing.
    void Insert(int64_t pos, const RValue* v);
    // Writes pos, growing the list when pos >= count; previous (when given)
    // first receives a copy of what the slot held. A negative position or one
    // past the size limit does nothing (the latter is reported); the result
    // is previous, or null when nothing was written.
    RValue* Set(int64_t pos, const RValue* v, RValue* previous);
    // Overwrites an existing element; other positions do nothing.
    void Replace(int64_t pos, const RValue* v);
    // Removes an element, closing the gap; a marked element's nested
    // structure is not destroyed.
    void Delete(int64_t pos);
    // The first position whose element equals v within the tolerance, or -1.
    int Find(const RValue* v) const;
    // Sets a mark (DS_MARK_LIST or DS_MARK_MAP) on an element; false outside
    // the list.
    bool MarkElement(int64_t pos, uint32_t mark);

    // Ascending: stable. Descending: the order of equal elements is reversed,
    // as the sort has always left them.
    void Sort(bool ascending);
    // 8 x count exchanges of two positions drawn from the runtime's generator.
    void Shuffle();
    // Holding the lock: destroys what each marked element names, then
    // releases every element (leaving its slot undefined); count 0, storage kept.
    void Clear();
    // Becomes a copy of src (marks included); null clears; src may be this list.
    void Assign(const CDS_List* src);

    // The text form; unavailable until the text form module is built
    // (WriteToString then gives null, ReadFromString false).
    void WriteToString(const char*& out);
    bool ReadFromString(const char* text, bool legacy);

    // The collector's walk: every element in use.
    template <typename Fn>
    void VisitValues(Fn&& fn) {
        for (int32_t i = 0; i < m_count; ++i) fn(m_storage.values[i]);
    }

private:
    bool AddGrowing(const RValue* v);
    // Destroys what marked elements name and releases every element; with
    // `reset`, leaves each slot undefined (a later write past the end shows it).
    void ReleaseElements(bool reset);

    int32_t m_count = 0;
    DsStorage m_storage;
    uint32_t m_serial;
    bool m_clearing = false;
};

// The helper functions that other subsystems build lists with.
int dsListCreate();
void dsListClear(int list);
void dsListAddInt(int list, int v);
void dsListAddDouble(int list, double v);
void dsListAddInt64(int list, int64_t v);
void dsListAddString(int list, const char* s);
// Appends the map's index and marks it as a nested map.
void dsListAddMap(int list, int map);

std::span<const DsBuiltinRow> DsList_Builtins();
