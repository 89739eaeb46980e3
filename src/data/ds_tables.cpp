// The data-structure tables, lock, tolerance and nested-structure marks, the
// storage and value helpers the structures share, the grids' cell operation,
// and the registration of every data-structure built-in.
#include "data/ds_tables.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>

#include "core/error.h"
#include "core/real_to_int.h"
#include "core/ref_string.h"
#include "data/ds_grid.h"
#include "data/ds_list.h"
#include "data/ds_map.h"
#include "data/ds_priority.h"
#include "data/ds_queue.h"
#include "data/ds_stack.h"

namespace Function_Data_Structures {
DsTable<CDS_Stack> thestacks;
DsTable<CDS_Queue> thequeues;
DsTable<CDS_Priority> theprio;
DsTable<CDS_Grid> thegrids;
} // namespace Function_Data_Structures
DsTable<CDS_List> thelists;
DsTable<CDS_Map> themaps;

double theprec = 1e-8;

namespace FDS = Function_Data_Structures;

CDS_Stack** GetTheStacks(int& count) {
    count = FDS::thestacks.Count();
    return FDS::thestacks.Items();
}

CDS_Queue** GetTheQueues(int& count) {
    count = FDS::thequeues.Count();
    return FDS::thequeues.Items();
}

CDS_Priority** GetThePriorityQueues(int& count) {
    count = FDS::theprio.Count();
    return FDS::theprio.Items();
}

CDS_Grid** GetTheGrids(int& count) {
    count = FDS::thegrids.Count();
    return FDS::thegrids.Items();
}

void DS_DestroyAll() {
    DS_AutoMutex lock;
    FDS::thestacks.DeleteAll();
    FDS::thequeues.DeleteAll();
    FDS::theprio.DeleteAll();
    FDS::thegrids.DeleteAll();
    thelists.DeleteAll();
    themaps.DeleteAll();
}

void DS_Reset() {
    DS_DestroyAll();
    theprec = 1e-8;
}

Mutex& DS_Mutex() {
    // Made on first use from any thread and never destroyed, so structures
    // released during static destruction can still lock it.
    alignas(Mutex) static unsigned char storage[sizeof(Mutex)];
    static Mutex* mutex = ::new (storage) Mutex("DsMutex");
    return *mutex;
}

void DS_SetPrecision(double precision) {
    theprec = precision < 0 ? -precision : precision;
}

void DS_ReportNoSuchStructure() {
    Error_Show_Action(DS_NO_SUCH_STRUCTURE, false);
}

void DS_ReportTooLarge(int64_t requested) {
    char message[256];
    std::snprintf(message, sizeof message,
                  "%s: a data structure of %lld values is refused (the limit is %lld, or memory ran out)",
                  g_pFunction != nullptr ? g_pFunction->f_name : "data structure",
                  static_cast<long long>(requested), static_cast<long long>(DS_MAX_ELEMENTS));
    Error_Show_Action(message, false);
}

// ---------------------------------------------------------------------------
// Marks.

uint32_t DS_NextSerial() {
    static std::atomic<uint32_t> next{0}; // maps are made on other threads too
    uint32_t serial = ++next;
    return serial != 0 ? serial : ++next;
}

namespace {

// The index a marked real names: its value truncated toward zero.
int64_t MarkedIndex(const RValue& v) {
    return RealToInt64(v.val);
}

} // namespace

void DS_MarkValue(RValue* v, uint32_t mark) {
    v->kind |= mark;
    // A value carrying both marks names two kinds at once; it keeps the
    // unchecked behaviour rather than a serial of the wrong kind.
    uint32_t serial = 0;
    if ((v->kind & DS_MARKS) != DS_MARKS && v->Kind() == VALUE_REAL) {
        int64_t index = MarkedIndex(*v);
        if (mark == DS_MARK_MAP) {
            if (const CDS_Map* map = themaps.Get(index)) serial = map->Serial();
        } else if (const CDS_List* list = thelists.Get(index)) {
            serial = list->Serial();
        }
    }
    v->flags = serial;
}

void DS_CutCopy(RValue& result, const RValue& v) {
    FREE_RValue(&result);
    COPY_RValue(&result, &v);
    if ((result.kind & DS_MARKS) != 0) {
        result.kind &= MASK_KIND_RVALUE;
        result.flags = 0;
    }
}

bool DS_DestroyList(int64_t index) {
    CDS_List* list = thelists.Detach(index);
    if (list == nullptr) return false;
    delete list;
    return true;
}

bool DS_DestroyMap(int64_t index) {
    CDS_Map* map = themaps.Detach(index);
    if (map == nullptr) return false;
    delete map;
    return true;
}

void DS_DestroyMarked(const RValue& v) {
    if (v.Kind() != VALUE_REAL) return;
    int64_t index = MarkedIndex(v);
    if ((v.kind & DS_MARK_MAP) != 0) {
        const CDS_Map* map = themaps.Get(index);
        if (map != nullptr && !map->IsClearing() && (v.flags == 0 || v.flags == map->Serial())) {
            DS_DestroyMap(index);
            return;
        }
    }
    if ((v.kind & DS_MARK_LIST) != 0) {
        const CDS_List* list = thelists.Get(index);
        if (list != nullptr && !list->IsClearing() && (v.flags == 0 || v.flags == list->Serial()))
            DS_DestroyList(index);
    }
}

// ---------------------------------------------------------------------------
// Values in storage.

void DS_FixOwners(RValue* newBase, uintptr_t oldBase, int64_t count) {
    // An address is compared as a number: the old block may be gone.
    if (reinterpret_cast<uintptr_t>(newBase) == oldBase) return;
    for (int64_t i = 0; i < count; ++i) {
        RValue& v = newBase[i];
        if (v.Kind() != VALUE_ARRAY || v.pRefArray == nullptr) continue;
        if (reinterpret_cast<uintptr_t>(v.pRefArray->m_Owner) ==
            oldBase + static_cast<uintptr_t>(i) * sizeof(RValue))
            v.pRefArray->m_Owner = &v;
    }
}

void DS_SwapValues(RValue* a, RValue* b) {
    if (a == b) return;
    RValue held;
    RValue_MoveInto(&held, a);
    RValue_MoveInto(a, b);
    RValue_MoveInto(b, &held);
}

void DS_StoreCopySlow(RValue* slot, const RValue* src) {
    if (slot == src) return;
    RValue copy;
    COPY_RValue(&copy, src);
    FREE_RValue(slot);
    RValue_MoveInto(slot, &copy);
}

bool DsStorage::CopyFrom(const DsStorage& src) {
    if (!Reserve(src.capacity)) {
        DS_ReportTooLarge(src.capacity);
        return false;
    }
    capacity = src.capacity;
    for (int32_t i = 0; i < capacity; ++i) DS_StoreCopy(&values[i], &src.values[i]);
    return true;
}

bool DsStorage::Reserve(int64_t slots) {
    if (slots <= allocated) return true;
    if (slots > DS_MAX_ELEMENTS) return false;
    int64_t grown = int64_t{allocated} * 2;
    if (grown < slots) grown = slots;
    if (grown < 16) grown = 16;
    if (grown > DS_MAX_ELEMENTS) grown = DS_MAX_ELEMENTS;
    // A new block with the old slots copied and only the new ones zeroed (a
    // zeroed slot is the real 0), rather than zeroing the whole block first.
    auto* block = static_cast<RValue*>(ZQ_AllocNoClear(static_cast<size_t>(grown) * sizeof(RValue)));
    if (block == nullptr) return false;
    if (allocated > 0)
        std::memcpy(static_cast<void*>(block), values, static_cast<size_t>(allocated) * sizeof(RValue));
    std::memset(static_cast<void*>(block + allocated), 0,
                static_cast<size_t>(grown - allocated) * sizeof(RValue));
    uintptr_t old = reinterpret_cast<uintptr_t>(values);
    ZQ_Free(values);
    values = block;
    DS_FixOwners(values, old, allocated);
    allocated = static_cast<int32_t>(grown);
    return true;
}

void DsStorage::Destroy() {
    for (int32_t i = 0; i < allocated; ++i) FREE_RValue(&values[i]);
    Free();
}

void DsStorage::Free() {
    ZQ_Free(values);
    values = nullptr;
    capacity = 0;
    allocated = 0;
}

// ---------------------------------------------------------------------------
// The cell operation.

namespace {

const char* TextOrEmpty(const RValue* v) {
    return v->pRefString != nullptr && v->pRefString->Get() != nullptr ? v->pRefString->Get() : "";
}

double Number(const RValue* v) {
    return v->kind == VALUE_REAL ? v->val : ZQGetReal(v, 0);
}

} // namespace

void DoOperation(int op, RValue* target, const RValue* operand) {
    switch (op) {
        case 1: DS_StoreCopy(target, operand); break;
        case 2:
            if (target->kind == VALUE_STRING && operand->kind == VALUE_STRING) {
                const char* left = TextOrEmpty(target);
                const char* right = TextOrEmpty(operand);
                size_t leftLength = std::strlen(left);
                size_t rightLength = std::strlen(right);
                char* joined = static_cast<char*>(ZQ_AllocNoClear(leftLength + rightLength + 1));
                if (joined == nullptr) return;
                std::memcpy(joined, left, leftLength);
                std::memcpy(joined + leftLength, right, rightLength + 1);
                FREE_RValue(target);
                target->pRefString = RefString::Adopt(joined);
                target->kind = VALUE_STRING;
            } else if (target->kind != VALUE_STRING && operand->kind != VALUE_STRING) {
                double sum = Number(target) + Number(operand);
                DS_ResultReal(*target, sum);
            } else {
                DS_StoreCopy(target, operand);
            }
            break;
        case 3:
            if (target->kind != VALUE_STRING && operand->kind != VALUE_STRING) {
                double product = Number(target) * Number(operand);
                DS_ResultReal(*target, product);
            }
            break;
        default: break;
    }
}

// ---------------------------------------------------------------------------
// Registration.

namespace {

void F_DsSetPrecision(RValue&, CInstance*, CInstance*, int, RValue* args) {
    DS_SetPrecision(ZQGetReal(args, 0));
}

void F_DsExists(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    int32_t index = ZQGetInt32(args, 0);
    int32_t kind = ZQGetInt32(args, 1);
    DS_AutoMutex lock;
    bool exists = false;
    switch (kind) {
        case DS_KIND_MAP: exists = themaps.Get(index) != nullptr; break;
        case DS_KIND_LIST: exists = thelists.Get(index) != nullptr; break;
        case DS_KIND_STACK: exists = FDS::thestacks.Get(index) != nullptr; break;
        case DS_KIND_QUEUE: exists = FDS::thequeues.Get(index) != nullptr; break;
        case DS_KIND_GRID: exists = FDS::thegrids.Get(index) != nullptr; break;
        case DS_KIND_PRIORITY: exists = FDS::theprio.Get(index) != nullptr; break;
        default: break;
    }
    DS_ResultReal(result, exists ? 1.0 : 0.0);
}

const DsBuiltinRow kSharedBuiltins[] = {
    {"ds_set_precision", F_DsSetPrecision, 1},
    {"ds_exists", F_DsExists, 2},
};

void Register(std::span<const DsBuiltinRow> rows) {
    for (const DsBuiltinRow& row : rows) Function_Add(row.name, row.routine, row.argc, true);
}

} // namespace

void InitDataStructuresFunctions() {
    Register(kSharedBuiltins);
    Register(DsStack_Builtins());
    Register(DsQueue_Builtins());
    Register(DsList_Builtins());
    Register(DsMap_Builtins());
    Register(DsPriority_Builtins());
    Register(DsGrid_Builtins());
}

void Setup_SetupDataStructureFunctions(bool debug) {
    Function_Replace("ds_grid_set", debug ? F_DsGridSet_debug : F_DsGridSet_release);
    Function_Replace("ds_grid_get", debug ? F_DsGridGet_debug : F_DsGridGet_release);
}
