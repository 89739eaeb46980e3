// What the six data-structure kinds share: the handle tables that scripts
// index, the data-structure lock, the comparison tolerance, the marks by which
// a stored number names a nested list or map, and the grids' cell operation.
#pragma once

#include <cstdint>

#include "core/arguments.h"
#include "core/function_table.h"
#include "core/memory_manager.h"
#include "core/mutex.h"
#include "core/rvalue.h"

class CDS_Stack;
class CDS_Queue;
class CDS_List;
class CDS_Map;
class CDS_Priority;
class CDS_Grid;

// The non-fatal report of every data-structure built-in given a bad index.
inline constexpr const char* DS_NO_SUCH_STRUCTURE = "Data structure with index does not exist.";

// Kind codes, as ds_exists takes them.
enum DsKind : int32_t {
    DS_KIND_MAP = 1,
    DS_KIND_LIST = 2,
    DS_KIND_STACK = 3,
    DS_KIND_QUEUE = 4,
    DS_KIND_GRID = 5,
    DS_KIND_PRIORITY = 6,
};

// The most values one structure may hold (a list's length, a queue's slots,
// a grid's cells): 1 GiB of values. Positions and sizes from scripts beyond
// it are refused before anything is allocated.
inline constexpr int64_t DS_MAX_ELEMENTS = int64_t{1} << 26;

// Reports, through the non-fatal error path, that the running built-in asked
// for `requested` values in one structure (over the limit, or more than
// memory allows).
void DS_ReportTooLarge(int64_t requested);

// ---------------------------------------------------------------------------
// Handle tables.

// A table of structures by index. Slots below `count` (the high-water mark)
// have each been handed out at least once; a null slot is free. A new
// structure takes the lowest free index, so a destroyed structure's index is
// the first to be reused. The table owns its structures.
//
// A hint (never above the lowest free slot) keeps creation from rescanning
// the busy prefix of a big table; growth is geometric.
template <typename T>
class DsTable {
public:
    // The structure at index, or null when the index is outside the table or free.
    T* Get(int64_t index) const { return index >= 0 && index < m_count ? m_items[index] : nullptr; }
    bool InTable(int64_t index) const { return index >= 0 && index < m_count; }
    int32_t Count() const { return m_count; }
    T** Items() const { return m_items; }

    // Stores the structure in the lowest free slot and returns its index, or
    // -1 when the table cannot grow (the structure is then not stored).
    int32_t Add(T* structure) {
        int32_t index = m_freeHint;
        while (index < m_count && m_items[index] != nullptr) ++index;
        if (index == m_count) {
            if (m_count == m_capacity && !Grow()) return -1;
            ++m_count;
        }
        m_items[index] = structure;
        m_freeHint = index + 1;
        return index;
    }

    // Empties the slot and hands its structure to the caller (null when there
    // was none).
    T* Detach(int64_t index) {
        T* structure = Get(index);
        if (structure == nullptr) return nullptr;
        m_items[index] = nullptr;
        if (index < m_freeHint) m_freeHint = static_cast<int32_t>(index);
        return structure;
    }

    // Deletes every structure and frees the table (tests and shut-down).
    // Structures are detached before they are deleted, so a structure whose
    // destruction looks at the table never meets one half destroyed.
    void DeleteAll() {
        for (int32_t i = 0; i < m_count; ++i) delete Detach(i);
        ZQ_Free(m_items);
        m_items = nullptr;
        m_count = 0;
        m_capacity = 0;
        m_freeHint = 0;
    }

private:
    bool Grow() {
        int32_t grown = m_capacity < 16 ? 16 : m_capacity * 2;
        T** items = ZQ_ReAllocArray<T*>(m_items, static_cast<size_t>(grown));
        if (items == nullptr) return false;
        m_items = items;
        m_capacity = grown;
        return true;
    }

    T** m_items = nullptr;
    int32_t m_capacity = 0;
    int32_t m_count = 0;
    int32_t m_freeHint = 0;
};

namespace Function_Data_Structures {
extern DsTable<CDS_Stack> thestacks;
extern DsTable<CDS_Queue> thequeues;
extern DsTable<CDS_Priority> theprio;
extern DsTable<CDS_Grid> thegrids;
} // namespace Function_Data_Structures
// Lists and maps are reached by other subsystems (JSON, networking, platform
// services) without the namespace.
extern DsTable<CDS_List> thelists;
extern DsTable<CDS_Map> themaps;

// The items blocks and counts of the tables, for the collector and the debugger.
CDS_Stack** GetTheStacks(int& count);
CDS_Queue** GetTheQueues(int& count);
CDS_Priority** GetThePriorityQueues(int& count);
CDS_Grid** GetTheGrids(int& count);

// Destroys every structure of every kind (tests and shut-down).
void DS_DestroyAll();
// Puts the module's state back as the program started: no structures, the
// comparison precision at 1e-8.
void DS_Reset();

// ---------------------------------------------------------------------------
// The data-structure lock: one recursive mutex, "DsMutex", made on first use.
// Every map operation, list and map clearing, JSON conversion, the
// asynchronous request list and the collector's walk hold it.
Mutex& DS_Mutex();

class DS_AutoMutex {
public:
    DS_AutoMutex() : m_lock(DS_Mutex()) {}
    DS_AutoMutex(const DS_AutoMutex&) = delete;
    DS_AutoMutex& operator=(const DS_AutoMutex&) = delete;

private:
    MutexLock m_lock;
};

// ---------------------------------------------------------------------------
// Tolerance: every structure compares values by ZQCompareVal with this
// epsilon (1e-8 at start; ds_set_precision stores the magnitude it is given).
extern double theprec;
void DS_SetPrecision(double precision);

// ---------------------------------------------------------------------------
// Nested-structure marks. A real stored in a list or map whose kind word
// carries bit 30 names a nested list, bit 31 a nested map; the value is the
// structure's index. Kind tests mask the bits off, so the value reads as the
// plain number everywhere except where clearing, JSON and the text form look.
//
// The value's flags word records the serial number of the structure the mark
// named when it was set. A holder destroys a nested structure only while the
// index still holds that same structure: so when two holders name one
// structure (a copied list, two maps given the same child, a child destroyed
// by the script), the first destroys it and the second passes over it, and
// neither can destroy an unrelated structure that took the index later.
// Flags of 0 (a mark set without a structure in place) skip the check.
inline constexpr uint32_t DS_MARK_LIST = 0x40000000u;
inline constexpr uint32_t DS_MARK_MAP = 0x80000000u;
inline constexpr uint32_t DS_MARKS = DS_MARK_LIST | DS_MARK_MAP;

// A fresh serial number for a new list or map (never 0).
uint32_t DS_NextSerial();

// Adds `mark` (DS_MARK_LIST or DS_MARK_MAP) to v's kind word and records the
// serial of the structure it names. Every code that marks a value (the list
// and map built-ins, the helpers, the JSON reader) goes through here.
void DS_MarkValue(RValue* v, uint32_t mark);

// Releases `result` and makes it a copy of v with the marks (and the serial
// they carry) removed, so that no mark reaches a script.
void DS_CutCopy(RValue& result, const RValue& v);

// The rule that clearing a list or map applies to each value before
// releasing it: a marked real destroys the map (map mark) or else the list
// (list mark) it still names. A structure that is being cleared is never
// destroyed by its own contents, and a destroyed structure leaves its slot
// before its contents are cleared, so a structure that holds itself, directly
// or through others, is neither walked twice nor freed twice.
void DS_DestroyMarked(const RValue& v);
inline void DS_DestroyNested(const RValue& v) {
    if ((v.kind & DS_MARKS) != 0) DS_DestroyMarked(v);
}

// Destroys the list or map at index (its nested structures with it); false
// when the slot holds none. The caller holds the lock.
bool DS_DestroyList(int64_t index);
bool DS_DestroyMap(int64_t index);

// ---------------------------------------------------------------------------
// Values in structure storage.

// Storage moved from oldBase to newBase (a grown block or a block move):
// an array record whose owner was a moved slot now names the slot's new
// address, so the copy-on-write owner always points at a live holder.
void DS_FixOwners(RValue* newBase, uintptr_t oldBase, int64_t count);
// Exchanges two values, keeping array owners right.
void DS_SwapValues(RValue* a, RValue* b);
// Stores a copy of src in *slot after releasing it; src may be *slot itself
// or live inside what *slot holds. Values that hold no reference are copied
// field by field: the common case, and free of the stall that a 16-byte
// reload of just-written halves costs.
void DS_StoreCopySlow(RValue* slot, const RValue* src);
inline void DS_StoreCopy(RValue* slot, const RValue* src) {
    uint32_t kind = src->kind & MASK_KIND_RVALUE;
    if (!RValue_NeedsRelease(slot) && !RValue_NeedsRelease(src) && kind != VALUE_OBJECT) {
        slot->v64 = src->v64;
        slot->flags = src->flags;
        slot->kind = src->kind;
        return;
    }
    DS_StoreCopySlow(slot, src);
}
// Makes the result a copy of v (after releasing what the result held).
inline void DS_ResultCopy(RValue& result, const RValue& v) {
    DS_StoreCopy(&result, &v);
}
inline void DS_ResultReal(RValue& result, double d) {
    FREE_RValue(&result);
    result.val = d;
    result.kind = VALUE_REAL;
}
// Makes the result the structure's text form (the write built-ins of every
// kind); a structure that writes nothing leaves the result as it was.
template <typename T>
void DS_ResultTextForm(RValue& result, T* structure) {
    const char* text = nullptr;
    structure->WriteToString(text);
    if (text == nullptr) return;
    ZQCreateString(&result, text);
    ZQ_Free(const_cast<char*>(text));
}

// Value storage with the capacity that a structure's rules state (`capacity`,
// which its text form and copies can show) kept apart from the allocated
// block, which grows geometrically so that growth in fixed steps of a big
// structure costs no quadratic copying. Slots never written are zero bytes,
// the real 0; the block never shrinks until Free.
struct DsStorage {
    RValue* values = nullptr;
    int32_t capacity = 0;  // slots the structure's rules count
    int32_t allocated = 0; // slots in the block

    // Makes at least `slots` slots exist; false (and nothing changed) when the
    // count is over DS_MAX_ELEMENTS or memory runs out.
    bool Reserve(int64_t slots);
    // Reserve, then capacity = slots.
    bool SetCapacity(int64_t slots) {
        if (!Reserve(slots)) return false;
        capacity = static_cast<int32_t>(slots);
        return true;
    }
    // Makes this storage's capacity and slots copies of src's (the copy rule
    // per value); false, after the too-large report and with nothing
    // changed, when the slots cannot be made.
    bool CopyFrom(const DsStorage& src);
    // Releases every slot of the block, in use or not (a popped or dequeued
    // value, or a slot left behind above a capacity that a copy lowered, may
    // still hold a reference), then frees the block.
    void Destroy();
    // Frees the block (the caller has released the values).
    void Free();
};

// ---------------------------------------------------------------------------
// The grids' cell operation: op 1 set, 2 add, 3 multiply, others nothing.
// Add of two strings concatenates (whole, at any length); add of two
// non-strings and multiply of non-strings give the real result of the
// operands' numbers (ZQGetReal's conversion and kind error); add of a string
// and a non-string sets the operand; multiply with a string does nothing.
// operand may be target itself.
void DoOperation(int op, RValue* target, const RValue* operand);

// ---------------------------------------------------------------------------
// Registration.

// One row of a registration table: the built-in as scripts name it.
struct DsBuiltinRow {
    const char* name;
    TRoutine routine;
    int argc;
};

// Registers the 130 data-structure built-ins in their fixed order.
void InitDataStructuresFunctions();
// Chooses the debug (checked, reporting) or release (checked, silent)
// handlers of ds_grid_set and ds_grid_get.
void Setup_SetupDataStructureFunctions(bool debug);

// The shared prologue of the built-ins: the structure named by args[0]
// (ZQGetInt32), or null after reporting DS_NO_SUCH_STRUCTURE.
void DS_ReportNoSuchStructure();
template <typename T>
T* DS_Checked(const DsTable<T>& table, const RValue* args, int index = 0) {
    T* structure = table.Get(ZQGetInt32(args, index));
    if (structure == nullptr) DS_ReportNoSuchStructure();
    return structure;
}
