// Lists and their built-ins.
#include "data/ds_list.h"

#include <cstring>
#include <iterator>

#include "core/compare.h"
#include "core/random.h"
#include "core/ref_string.h"
#include "data/ds_sort.h"

CDS_List::CDS_List() : m_serial(DS_NextSerial()) {}

CDS_List::~CDS_List() {
    ReleaseElements(false); // slots past the count never hold a reference
    m_storage.Free();
}

namespace {

// Grows the capacity to `wanted` (the list's own rule), which must leave
// room for `needed` slots. Refused, with the report, when `needed` is over
// the limit or memory runs out.
bool Grow(DsStorage& storage, int64_t needed, int64_t wanted) {
    if (wanted > DS_MAX_ELEMENTS) wanted = DS_MAX_ELEMENTS;
    if (needed > DS_MAX_ELEMENTS || !storage.SetCapacity(wanted)) {
        DS_ReportTooLarge(needed);
        return false;
    }
    return true;
}

} // namespace

bool CDS_List::AddGrowing(const RValue* v) {
    RValue copy; // v may live in the storage that growth moves
    COPY_RValue(&copy, v);
    if (m_count >= m_storage.capacity) {
        int64_t step = m_storage.capacity / 8 > 15 ? m_storage.capacity / 8 : 16;
        if (!Grow(m_storage, int64_t{m_count} + 1, int64_t{m_count} + step)) {
            FREE_RValue(&copy);
            return false;
        }
    }
    RValue* slot = &m_storage.values[m_count];
    FREE_RValue(slot);
    RValue_MoveInto(slot, &copy);
    ++m_count;
    return true;
}

void CDS_List::Insert(int64_t pos, const RValue* v) {
    if (pos < 0 || pos > m_count) return;
    RValue copy;
    COPY_RValue(&copy, v);
    if (m_count >= m_storage.capacity && !Grow(m_storage, int64_t{m_count} + 1, int64_t{m_count} + 16)) {
        FREE_RValue(&copy);
        return;
    }
    RValue* values = m_storage.values;
    // The slot at count is spare: whatever it held is released before the
    // elements above pos move up over it.
    FREE_RValue(&values[m_count]);
    std::memmove(static_cast<void*>(&values[pos + 1]), &values[pos],
                 static_cast<size_t>(m_count - pos) * sizeof(RValue));
    DS_FixOwners(&values[pos + 1], reinterpret_cast<uintptr_t>(&values[pos]), m_count - pos);
    std::memset(static_cast<void*>(&values[pos]), 0, sizeof(RValue));
    RValue_MoveInto(&values[pos], &copy);
    ++m_count;
}

RValue* CDS_List::Set(int64_t pos, const RValue* v, RValue* previous) {
    if (pos < 0) return nullptr;
    int64_t count = pos >= m_count ? pos + 1 : m_count;
    RValue copy;
    COPY_RValue(&copy, v);
    if (count >= m_storage.capacity && !Grow(m_storage, count, count + 16)) {
        FREE_RValue(&copy);
        return nullptr;
    }
    m_count = static_cast<int32_t>(count);
    RValue* slot = &m_storage.values[pos];
    if (previous != nullptr) DS_StoreCopy(previous, slot);
    FREE_RValue(slot);
    RValue_MoveInto(slot, &copy);
    return previous;
}

void CDS_List::Replace(int64_t pos, const RValue* v) {
    if (RValue* slot = GetValue(pos)) DS_StoreCopy(slot, v);
}

void CDS_List::Delete(int64_t pos) {
    if (pos < 0 || pos >= m_count) return;
    RValue* values = m_storage.values;
    FREE_RValue(&values[pos]);
    int64_t moved = m_count - 1 - pos;
    std::memmove(static_cast<void*>(&values[pos]), &values[pos + 1],
                 static_cast<size_t>(moved) * sizeof(RValue));
    DS_FixOwners(&values[pos], reinterpret_cast<uintptr_t>(&values[pos + 1]), moved);
    std::memset(static_cast<void*>(&values[m_count - 1]), 0, sizeof(RValue)); // the vacated slot: the real 0
    --m_count;
}

int CDS_List::Find(const RValue* v) const {
    for (int32_t i = 0; i < m_count; ++i) {
        if (ZQCompareVal(m_storage.values[i], *v, theprec) == 0) return i;
    }
    return -1;
}

bool CDS_List::MarkElement(int64_t pos, uint32_t mark) {
    RValue* slot = GetValue(pos);
    if (slot == nullptr) return false;
    DS_MarkValue(slot, mark);
    return true;
}

// A stable O(n log n) sort of the values, ascending; descending reverses the
// ascending result. For values whose comparisons are consistent this gives
// what a plain insertion sort by neighbour swaps gives: ascending keeps equal
// values in their order, descending ends them in the reverse of it.
//
// It differs when the tolerance chains: with u = 0.6e-8 and the default
// tolerance of 1e-8, 2u equals 1u and 1u equals 0u, but 2u is above 0u. A
// descending sort of [2u, 1u, 0u] by insertion swaps the first pair (equal
// values swap when descending) and stops at 2u > 0u, giving [1u, 2u, 0u];
// this sort finds every neighbour equal, keeps [2u, 1u, 0u] ascending and
// reverses it to [0u, 1u, 2u]. Neither is an ordering of such values; we keep
// the merge sort because insertion costs O(n^2) comparisons (a list of 100,000
// values would take billions), and because in either case only values within
// the tolerance of their neighbours can land in another order.
void CDS_List::Sort(bool ascending) {
    int64_t n = m_count;
    if (n < 2) return;
    RValue* values = m_storage.values;
    auto before = [values](int32_t a, int32_t b) { return ZQCompareVal(values[a], values[b], theprec) < 0; };
    int32_t* order = ZQ_AllocArray<int32_t>(static_cast<size_t>(n));
    if (order == nullptr) {
        // No room for the order: sort in place by exchanges (slow, still sound).
        for (int64_t i = 1; i < n; ++i) {
            for (int64_t j = i; j > 0 && ZQCompareVal(values[j], values[j - 1], theprec) < 0; --j)
                DS_SwapValues(&values[j], &values[j - 1]);
        }
    } else {
        for (int32_t i = 0; i < n; ++i) order[i] = i;
        DS_StableSort(order, n, before);
        // Apply the permutation cycle by cycle, moving each value once;
        // order[i] = -1 marks a position already filled.
        for (int64_t start = 0; start < n; ++start) {
            if (order[start] < 0 || order[start] == start) continue;
            RValue held;
            RValue_MoveInto(&held, &values[start]);
            int64_t to = start;
            for (;;) {
                int64_t from = order[to];
                order[to] = -1;
                if (from == start) {
                    RValue_MoveInto(&values[to], &held);
                    break;
                }
                RValue_MoveInto(&values[to], &values[from]);
                to = from;
            }
        }
        ZQ_Free(order);
    }
    // Descending is the ascending order reversed, which also reverses the
    // order of equal elements, as the sort has always done.
    if (!ascending) {
        for (int64_t i = 0, j = n - 1; i < j; ++i, --j) DS_SwapValues(&values[i], &values[j]);
    }
}

void CDS_List::Shuffle() {
    if (m_count <= 0) return;
    int64_t rounds = int64_t{8} * m_count;
    for (int64_t k = 0; k < rounds; ++k) {
        int i = ZQRandom(m_count);
        int j = ZQRandom(m_count);
        DS_SwapValues(&m_storage.values[i], &m_storage.values[j]);
    }
}

void CDS_List::ReleaseElements(bool reset) {
    // The lock is taken at the first marked element: only nested structures
    // touch the tables that other threads may be using.
    bool locked = false;
    m_clearing = true;
    RValue* values = m_storage.values;
    for (int32_t i = 0; i < m_count; ++i) {
        if ((values[i].kind & DS_MARKS) != 0) {
            if (!locked) DS_Mutex().Lock();
            locked = true;
            DS_DestroyNested(values[i]);
        }
        if (reset)
            FREE_RValue(&values[i]);
        else if (RValue_NeedsRelease(&values[i]))
            FREE_RValue__Pre(&values[i]);
    }
    m_count = 0;
    m_clearing = false;
    if (locked) DS_Mutex().Unlock();
}

void CDS_List::Clear() {
    ReleaseElements(true);
}

void CDS_List::Assign(const CDS_List* src) {
    if (src == this) return;
    if (src == nullptr) {
        Clear();
        return;
    }
    if (!m_storage.CopyFrom(src->m_storage)) return;
    m_count = src->m_count;
}

// ---------------------------------------------------------------------------
// Helpers for other subsystems.

namespace {

CDS_List* ListOrReport(int list) {
    CDS_List* found = thelists.Get(list);
    if (found == nullptr) DS_ReportNoSuchStructure();
    return found;
}

void AddValue(int list, const RValue& v) {
    if (CDS_List* found = ListOrReport(list)) found->Add(&v);
}

} // namespace

int dsListCreate() {
    CDS_List* list = new CDS_List;
    int index = thelists.Add(list);
    if (index < 0) delete list;
    return index;
}

void dsListClear(int list) {
    if (CDS_List* found = ListOrReport(list)) found->Clear();
}

void dsListAddInt(int list, int v) {
    AddValue(list, RValue_Real(v));
}

void dsListAddDouble(int list, double v) {
    AddValue(list, RValue_Real(v));
}

void dsListAddInt64(int list, int64_t v) {
    RValue value = RValue_Undefined();
    value.v64 = v;
    value.kind = VALUE_INT64;
    AddValue(list, value);
}

void dsListAddString(int list, const char* s) {
    RValue value = RValue_Undefined();
    ZQSetString(&value, s);
    AddValue(list, value);
    FREE_RValue(&value);
}

void dsListAddMap(int list, int map) {
    CDS_List* found = ListOrReport(list);
    if (found == nullptr) return;
    RValue value = RValue_Real(map);
    if (found->Add(&value)) found->MarkElement(found->Size() - 1, DS_MARK_MAP);
}

// ---------------------------------------------------------------------------
// Built-ins.

namespace {

CDS_List* CheckedList(const RValue* args) {
    return DS_Checked(thelists, args);
}

void F_DsListCreate(RValue& result, CInstance*, CInstance*, int, RValue*) {
    DS_ResultReal(result, dsListCreate());
}

void F_DsListDestroy(RValue&, CInstance*, CInstance*, int, RValue* args) {
    int32_t index = ZQGetInt32(args, 0);
    if (!thelists.InTable(index)) {
        DS_ReportNoSuchStructure();
        return;
    }
    DS_AutoMutex lock; // nested maps may go with it
    DS_DestroyList(index);
}

void F_DsListClear(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_List* list = CheckedList(args)) list->Clear();
}

void F_DsListCopy(RValue&, CInstance*, CInstance*, int, RValue* args) {
    CDS_List* destination = CheckedList(args);
    if (destination == nullptr) return;
    CDS_List* source = DS_Checked(thelists, args, 1);
    if (source != nullptr) destination->Assign(source);
}

void F_DsListSize(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_List* list = CheckedList(args)) DS_ResultReal(result, list->Size());
}

void F_DsListEmpty(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_List* list = CheckedList(args)) DS_ResultReal(result, list->Empty() ? 1.0 : 0.0);
}

void F_DsListAdd(RValue&, CInstance*, CInstance*, int argc, RValue* args) {
    CDS_List* list = thelists.Get(ZQGetInt32(args, 0));
    if (list == nullptr || argc < 2) {
        DS_ReportNoSuchStructure();
        return;
    }
    for (int i = 1; i < argc; ++i) {
        if (!list->Add(&args[i])) return;
    }
}

void F_DsListInsert(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_List* list = CheckedList(args)) list->Insert(ZQGetInt32(args, 1), &args[2]);
}

void F_DsListReplace(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_List* list = CheckedList(args)) list->Replace(ZQGetInt32(args, 1), &args[2]);
}

void F_DsListDelete(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_List* list = CheckedList(args)) list->Delete(ZQGetInt32(args, 1));
}

void F_DsListFindIndex(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_List* list = CheckedList(args)) DS_ResultReal(result, list->Find(&args[1]));
}

void F_DsListFindValue(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    CDS_List* list = CheckedList(args);
    if (list == nullptr) return;
    if (const RValue* v = list->GetValue(ZQGetInt32(args, 1))) DS_CutCopy(result, *v);
}

void MarkAs(RValue& result, RValue* args, uint32_t mark) {
    CDS_List* list = CheckedList(args);
    if (list == nullptr) return;
    int32_t pos = ZQGetInt32(args, 1);
    if (list->MarkElement(pos, mark)) DS_CutCopy(result, *list->GetValue(pos));
}

void F_DsListMarkAsList(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    MarkAs(result, args, DS_MARK_LIST);
}

void F_DsListMarkAsMap(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    MarkAs(result, args, DS_MARK_MAP);
}

void F_DsListSort(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_List* list = CheckedList(args)) list->Sort(ZQGetBool(args, 1));
}

void F_DsListShuffle(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_List* list = CheckedList(args)) list->Shuffle();
}

void F_DsListWrite(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    CDS_List* list = CheckedList(args);
    if (list == nullptr) return;
    DS_ResultTextForm(result, list);
}

void F_DsListRead(RValue&, CInstance*, CInstance*, int argc, RValue* args) {
    CDS_List* list = CheckedList(args);
    if (list == nullptr) return;
    const char* text = ZQGetString(args, 1);
    if (text == nullptr) return;
    bool legacy = argc > 2 && ZQGetInt32(args, 2) > 0;
    list->ReadFromString(text, legacy);
}

void F_DsListSet(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_List* list = CheckedList(args)) list->Set(ZQGetInt32(args, 1), &args[2], nullptr);
}

void F_DsListSetPost(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_List* list = CheckedList(args)) list->Set(ZQGetInt32(args, 1), &args[2], &result);
}

void F_DsListSetPre(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    CDS_List* list = CheckedList(args);
    if (list == nullptr) return;
    list->Set(ZQGetInt32(args, 1), &args[2], nullptr);
    DS_ResultCopy(result, args[2]);
}

const DsBuiltinRow kListBuiltins[] = {
    {"ds_list_create", F_DsListCreate, 0},
    {"ds_list_destroy", F_DsListDestroy, 1},
    {"ds_list_clear", F_DsListClear, 1},
    {"ds_list_copy", F_DsListCopy, 2},
    {"ds_list_size", F_DsListSize, 1},
    {"ds_list_empty", F_DsListEmpty, 1},
    {"ds_list_add", F_DsListAdd, -1},
    {"ds_list_insert", F_DsListInsert, 3},
    {"ds_list_replace", F_DsListReplace, 3},
    {"ds_list_delete", F_DsListDelete, 2},
    {"ds_list_find_index", F_DsListFindIndex, 2},
    {"ds_list_find_value", F_DsListFindValue, 2},
    {"ds_list_mark_as_list", F_DsListMarkAsList, 2},
    {"ds_list_mark_as_map", F_DsListMarkAsMap, 2},
    {"ds_list_sort", F_DsListSort, 2},
    {"ds_list_shuffle", F_DsListShuffle, 1},
    {"ds_list_write", F_DsListWrite, 1},
    {"ds_list_read", F_DsListRead, 2},
    {"ds_list_set", F_DsListSet, 3},
    {"ds_list_set_post", F_DsListSetPost, 3},
    {"ds_list_set_pre", F_DsListSetPre, 3},
};

} // namespace

std::span<const DsBuiltinRow> DsList_Builtins() {
    return kListBuiltins;
}
