// CResourceTable: a table of resources by index, each with a name the table
// owns, as the path, timeline and room tables hold them. Loading builds a
// whole new table beside the old one and swaps only when every record was read.
#pragma once

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "core/memory_manager.h"
#include "core/ref_string.h"

// What a table's record reader gives back for one record: the resource and
// its name (null for a record without one; the table copies it, so it only
// has to live until the reader returns).
template <typename T>
struct CResourceRecord {
    std::unique_ptr<T> item;
    const char* name = nullptr;
};

// Parallel arrays of `number` indexes (room for `capacity`): the resource
// at each index (null: none) and its name, a memory-manager copy that is null
// exactly where there is no resource. Valid indexes are 0 .. Number() - 1
// whether or not a resource is there; the lookups answer "none" for anything
// else. Indexes are never reused: additions append, deletions leave the
// index empty, so anything holding an index keeps meaning the same resource.
//
// The table has no destructor on purpose: the tables are globals emptied by
// their owners' shut-down functions, and nothing should run after main.
// Out of memory throws std::bad_alloc and leaves the table as it was.
template <typename T>
class CResourceTable {
public:
    int Number() const { return m_e.number; }
    bool Exists(int index) const { return index >= 0 && index < m_e.number && m_e.items[index] != nullptr; }
    // The resource at `index`, or null (out of range or empty).
    T* Data(int index) const { return Exists(index) ? m_e.items[index] : nullptr; }
    // The resource's name, or "<undefined>" when there is none at `index`.
    const char* Name(int index) const { return Exists(index) ? m_e.names[index] : "<undefined>"; }

    // The lowest index holding a resource named exactly `name` (case
    // counts), or -1; a null name finds nothing.
    int Find(const char* name) const {
        if (name == nullptr) return -1;
        for (int i = 0; i < m_e.number; ++i)
            if (m_e.items[i] != nullptr && std::strcmp(m_e.names[i], name) == 0) return i;
        return -1;
    }

    // Frees every resource and name and empties the table. The table is
    // empty before the first resource is destroyed, so a destructor that
    // looks the table up finds nothing half-freed.
    void Clear() { Free(std::exchange(m_e, Entries{})); }

    // Reads a chunk of a count, then one 32-bit record offset per index (0:
    // no resource there), calling `read(index, offset)` for each non-zero
    // offset; it returns a CResourceRecord<T>. The table becomes exactly the
    // chunk's resources, and only once every record was read: whatever
    // `read` or the reader throws leaves the previous table. `Reader` is the
    // bounds-checked image reader (Count, U32, Fail); `tooMany` is the
    // complaint for a count beyond the index range.
    template <typename Reader, typename ReadRecord>
    void Load(Reader& chunk, const char* tooMany, ReadRecord&& read) {
        const uint32_t n = chunk.Count(4);
        if (n > INT_MAX) chunk.Fail(tooMany);
        Entries fresh = Allocate(static_cast<int>(n));
        try {
            for (int i = 0; i < fresh.number; ++i) {
                const uint32_t offset = chunk.U32();
                if (offset == 0) continue;
                CResourceRecord<T> record = read(i, offset);
                fresh.names[i] = CopyName(record.name != nullptr ? record.name : "");
                fresh.items[i] = record.item.release();
            }
        } catch (...) {
            Free(fresh);
            throw;
        }
        Free(std::exchange(m_e, fresh));
    }

    // Appends an index holding `item`, named `prefix` followed by the index
    // (as "__newpath3"); returns the index.
    int Append(std::unique_ptr<T> item, const char* prefix) {
        if (m_e.number == INT_MAX) throw std::bad_alloc();
        const int index = m_e.number;
        char* name = NewName(prefix, index);
        if (index == m_e.capacity && !Grow()) {
            ZQ_Free(name);
            throw std::bad_alloc();
        }
        m_e.items[index] = item.release();
        m_e.names[index] = name;
        m_e.number = index + 1;
        return index;
    }

    // Puts `item` at `index` (0 .. Number() - 1) in place of whatever was
    // there, which is destroyed only after the new one is in. An index that
    // had a resource keeps its name; an empty one gets `prefix` and the index,
    // the name an addition there would have had.
    void Replace(int index, std::unique_ptr<T> item, const char* prefix) {
        if (m_e.names[index] == nullptr) m_e.names[index] = NewName(prefix, index);
        delete std::exchange(m_e.items[index], item.release());
    }

    // Gives the resource at `index` (which must hold one) a copy of `name`.
    void Rename(int index, const char* name) {
        char* copy = CopyName(name != nullptr ? name : "");
        ZQ_Free(std::exchange(m_e.names[index], copy));
    }

    // Frees the resource at `index` and its name, leaving the index empty;
    // false when there was no resource.
    bool Delete(int index) {
        if (!Exists(index)) return false;
        T* item = std::exchange(m_e.items[index], nullptr);
        ZQ_Free(std::exchange(m_e.names[index], nullptr));
        delete item;
        return true;
    }

private:
    struct Entries {
        T** items = nullptr;
        char** names = nullptr;
        int number = 0;
        int capacity = 0;
    };

    static char* CopyName(const char* text) {
        char* copy = ZQStrDup(text);
        if (copy == nullptr) throw std::bad_alloc();
        return copy;
    }

    static char* NewName(const char* prefix, int index) {
        char buffer[128];
        std::snprintf(buffer, sizeof buffer, "%s%d", prefix, index);
        return CopyName(buffer);
    }

    // `number` empty indexes (cleared by the allocator).
    static Entries Allocate(int number) {
        Entries e;
        if (number == 0) return e;
        e.items = ZQ_AllocArray<T*>(static_cast<size_t>(number));
        e.names = ZQ_AllocArray<char*>(static_cast<size_t>(number));
        if (e.items == nullptr || e.names == nullptr) {
            ZQ_Free(e.items);
            ZQ_Free(e.names);
            throw std::bad_alloc();
        }
        e.number = e.capacity = number;
        return e;
    }

    static void Free(const Entries& e) {
        for (int i = 0; i < e.number; ++i) {
            delete e.items[i];
            ZQ_Free(e.names[i]);
        }
        ZQ_Free(e.items);
        ZQ_Free(e.names);
    }

    // Doubles the room (at least 8). Either array may move; the table stays
    // whole when the second one cannot grow.
    bool Grow() {
        const int grown = m_e.capacity < 8 ? 8 : (m_e.capacity > INT_MAX / 2 ? INT_MAX : m_e.capacity * 2);
        T** items = ZQ_ReAllocArray<T*>(m_e.items, static_cast<size_t>(grown));
        if (items == nullptr) return false;
        m_e.items = items;
        char** names = ZQ_ReAllocArray<char*>(m_e.names, static_cast<size_t>(grown));
        if (names == nullptr) return false;
        m_e.names = names;
        m_e.capacity = grown;
        return true;
    }

    Entries m_e;
};
