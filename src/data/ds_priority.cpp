// Priority queues and their built-ins.
#include "data/ds_priority.h"

#include <iterator>

#include "core/compare.h"
#include "core/ref_string.h"

namespace FDS = Function_Data_Structures;

CDS_Priority::~CDS_Priority() {
    m_values.Destroy();
    m_priorities.Destroy();
}

bool CDS_Priority::Add(const RValue* value, const RValue* priority) {
    if (m_count >= m_values.capacity) {
        int64_t wanted = int64_t{m_count} + 16;
        if (wanted > DS_MAX_ELEMENTS) wanted = DS_MAX_ELEMENTS;
        if (int64_t{m_count} + 1 > DS_MAX_ELEMENTS || !m_values.Reserve(wanted) ||
            !m_priorities.Reserve(wanted)) {
            DS_ReportTooLarge(int64_t{m_count} + 1);
            return false;
        }
        m_values.capacity = static_cast<int32_t>(wanted);
        m_priorities.capacity = static_cast<int32_t>(wanted);
    }
    DS_StoreCopy(&m_values.values[m_count], value);
    DS_StoreCopy(&m_priorities.values[m_count], priority);
    ++m_count;
    return true;
}

int CDS_Priority::IndexOf(const RValue* value) const {
    for (int32_t i = 0; i < m_count; ++i) {
        if (ZQCompareVal(m_values.values[i], *value, theprec) == 0) return i;
    }
    return -1;
}

int CDS_Priority::Select(int sign) const {
    if (m_count == 0) return -1;
    int index = 0;
    for (int32_t i = 1; i < m_count; ++i) {
        if (ZQCompareVal(m_priorities.values[i], m_priorities.values[index], theprec) * sign > 0) index = i;
    }
    return index;
}

// The last pair moves into the hole; the last slots are left as the real 0,
// holding no reference.
void CDS_Priority::RemoveAt(int index) {
    int last = m_count - 1;
    FREE_RValue(&m_values.values[index]);
    FREE_RValue(&m_priorities.values[index]);
    if (index != last) {
        RValue_MoveInto(&m_values.values[index], &m_values.values[last]);
        RValue_MoveInto(&m_priorities.values[index], &m_priorities.values[last]);
    }
    m_values.values[last] = RValue_Real(0);
    m_priorities.values[last] = RValue_Real(0);
    --m_count;
}

void CDS_Priority::Change(const RValue* value, const RValue* priority) {
    int index = IndexOf(value);
    if (index >= 0) DS_StoreCopy(&m_priorities.values[index], priority);
}

RValue* CDS_Priority::Find(const RValue* value) {
    int index = IndexOf(value);
    return index >= 0 ? &m_priorities.values[index] : nullptr;
}

void CDS_Priority::Delete(const RValue* value) {
    int index = IndexOf(value);
    if (index >= 0) RemoveAt(index);
}

void CDS_Priority::DeleteMin(RValue* out) {
    DS_ResultReal(*out, 0.0);
    int index = Select(-1);
    if (index < 0) return;
    DS_StoreCopy(out, &m_values.values[index]);
    RemoveAt(index);
}

void CDS_Priority::DeleteMax(RValue* out) {
    DS_ResultReal(*out, 0.0);
    int index = Select(1);
    if (index < 0) return;
    DS_StoreCopy(out, &m_values.values[index]);
    RemoveAt(index);
}

RValue* CDS_Priority::FindMin() {
    int index = Select(-1);
    return index >= 0 ? &m_values.values[index] : nullptr;
}

RValue* CDS_Priority::FindMax() {
    int index = Select(1);
    return index >= 0 ? &m_values.values[index] : nullptr;
}

void CDS_Priority::Clear() {
    m_count = 0;
    m_values.Destroy();
    m_priorities.Destroy();
}

void CDS_Priority::Assign(const CDS_Priority* src) {
    if (src == this) return;
    if (src == nullptr) {
        Clear();
        return;
    }
    if (!m_values.Reserve(src->m_values.capacity) || !m_priorities.Reserve(src->m_priorities.capacity)) {
        DS_ReportTooLarge(src->m_values.capacity);
        return;
    }
    m_count = src->m_count;
    m_values.capacity = src->m_values.capacity;
    m_priorities.capacity = src->m_priorities.capacity;
    for (int32_t i = 0; i < m_values.capacity; ++i)
        DS_StoreCopy(&m_values.values[i], &src->m_values.values[i]);
    for (int32_t i = 0; i < m_priorities.capacity; ++i)
        DS_StoreCopy(&m_priorities.values[i], &src->m_priorities.values[i]);
}

// ---------------------------------------------------------------------------
// Built-ins.

namespace {

CDS_Priority* CheckedPriority(const RValue* args) {
    return DS_Checked(FDS::theprio, args);
}

void F_DsPriorityCreate(RValue& result, CInstance*, CInstance*, int, RValue*) {
    CDS_Priority* queue = new CDS_Priority;
    int index = FDS::theprio.Add(queue);
    if (index < 0) delete queue;
    DS_ResultReal(result, index);
}

void F_DsPriorityDestroy(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (CheckedPriority(args) != nullptr) delete FDS::theprio.Detach(ZQGetInt32(args, 0));
}

void F_DsPriorityClear(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_Priority* queue = CheckedPriority(args)) queue->Clear();
}

void F_DsPriorityCopy(RValue&, CInstance*, CInstance*, int, RValue* args) {
    CDS_Priority* destination = CheckedPriority(args);
    if (destination == nullptr) return;
    if (CDS_Priority* source = DS_Checked(FDS::theprio, args, 1)) destination->Assign(source);
}

void F_DsPrioritySize(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_Priority* queue = CheckedPriority(args)) DS_ResultReal(result, queue->Size());
}

void F_DsPriorityEmpty(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_Priority* queue = CheckedPriority(args)) DS_ResultReal(result, queue->Empty() ? 1.0 : 0.0);
}

void F_DsPriorityAdd(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_Priority* queue = CheckedPriority(args)) queue->Add(&args[1], &args[2]);
}

void F_DsPriorityChangePriority(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_Priority* queue = CheckedPriority(args)) queue->Change(&args[1], &args[2]);
}

void F_DsPriorityFindPriority(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    CDS_Priority* queue = CheckedPriority(args);
    if (queue == nullptr) return;
    if (const RValue* priority = queue->Find(&args[1])) DS_ResultCopy(result, *priority);
}

void F_DsPriorityDeleteValue(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_Priority* queue = CheckedPriority(args)) queue->Delete(&args[1]);
}

void F_DsPriorityDeleteMin(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_Priority* queue = CheckedPriority(args)) queue->DeleteMin(&result);
}

void F_DsPriorityFindMin(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    CDS_Priority* queue = CheckedPriority(args);
    if (queue == nullptr) return;
    if (const RValue* value = queue->FindMin()) DS_ResultCopy(result, *value);
}

void F_DsPriorityDeleteMax(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_Priority* queue = CheckedPriority(args)) queue->DeleteMax(&result);
}

void F_DsPriorityFindMax(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    CDS_Priority* queue = CheckedPriority(args);
    if (queue == nullptr) return;
    if (const RValue* value = queue->FindMax()) DS_ResultCopy(result, *value);
}

void F_DsPriorityWrite(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    CDS_Priority* queue = CheckedPriority(args);
    if (queue == nullptr) return;
    DS_ResultTextForm(result, queue);
}

void F_DsPriorityRead(RValue&, CInstance*, CInstance*, int argc, RValue* args) {
    CDS_Priority* queue = CheckedPriority(args);
    if (queue == nullptr) return;
    const char* text = ZQGetString(args, 1);
    if (text == nullptr) return;
    queue->ReadFromString(text, argc > 2 && ZQGetBool(args, 2));
}

const DsBuiltinRow kPriorityBuiltins[] = {
    {"ds_priority_create", F_DsPriorityCreate, 0},
    {"ds_priority_destroy", F_DsPriorityDestroy, 1},
    {"ds_priority_clear", F_DsPriorityClear, 1},
    {"ds_priority_copy", F_DsPriorityCopy, 2},
    {"ds_priority_size", F_DsPrioritySize, 1},
    {"ds_priority_empty", F_DsPriorityEmpty, 1},
    {"ds_priority_add", F_DsPriorityAdd, 3},
    {"ds_priority_change_priority", F_DsPriorityChangePriority, 3},
    {"ds_priority_find_priority", F_DsPriorityFindPriority, 2},
    {"ds_priority_delete_value", F_DsPriorityDeleteValue, 2},
    {"ds_priority_delete_min", F_DsPriorityDeleteMin, 1},
    {"ds_priority_find_min", F_DsPriorityFindMin, 1},
    {"ds_priority_delete_max", F_DsPriorityDeleteMax, 1},
    {"ds_priority_find_max", F_DsPriorityFindMax, 1},
    {"ds_priority_write", F_DsPriorityWrite, 1},
    {"ds_priority_read", F_DsPriorityRead, 2},
};

} // namespace

std::span<const DsBuiltinRow> DsPriority_Builtins() {
    return kPriorityBuiltins;
}
