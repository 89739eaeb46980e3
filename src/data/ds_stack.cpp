// Stacks, their built-ins and compiled code's direct entries.
#include "data/ds_stack.h"

#include <iterator>

#include "core/ref_string.h"
#include "core/zq_rvalue.h"

namespace FDS = Function_Data_Structures;

CDS_Stack::~CDS_Stack() {
    m_storage.Destroy();
}

bool CDS_Stack::Push(const RValue* v) {
    if (m_count >= m_storage.capacity) {
        int64_t wanted = int64_t{m_count} + 16;
        if (wanted > DS_MAX_ELEMENTS) wanted = DS_MAX_ELEMENTS;
        if (int64_t{m_count} + 1 > DS_MAX_ELEMENTS || !m_storage.SetCapacity(wanted)) {
            DS_ReportTooLarge(int64_t{m_count} + 1);
            return false;
        }
    }
    // The slot may still hold a popped value: the store releases it.
    DS_StoreCopy(&m_storage.values[m_count], v);
    ++m_count;
    return true;
}

RValue* CDS_Stack::Pop() {
    if (m_count == 0) return nullptr;
    return &m_storage.values[--m_count];
}

void CDS_Stack::Clear() {
    m_count = 0;
    m_storage.Destroy();
}

void CDS_Stack::Assign(const CDS_Stack* src) {
    if (src == this) return;
    if (src == nullptr) {
        Clear();
        return;
    }
    if (!m_storage.CopyFrom(src->m_storage)) return;
    m_count = src->m_count;
}

// ---------------------------------------------------------------------------
// Compiled code's entries.

int ZQVTL_ds_stack_create() {
    CDS_Stack* stack = new CDS_Stack;
    int index = FDS::thestacks.Add(stack);
    if (index < 0) delete stack;
    return index;
}

void ZQVTL_ds_stack_push(int argc, ZQRValue** args) {
    CDS_Stack* stack = argc > 1 ? FDS::thestacks.Get(ZQGetInt32(args[0], 0)) : nullptr;
    if (stack == nullptr) {
        DS_ReportNoSuchStructure();
        return;
    }
    for (int i = 1; i < argc; ++i) {
        if (!stack->Push(args[i])) return;
    }
}

RValue* ZQVTL_ds_stack_pop(int index) {
    CDS_Stack* stack = FDS::thestacks.Get(index);
    if (stack == nullptr) {
        DS_ReportNoSuchStructure();
        return nullptr;
    }
    return stack->Pop();
}

// ---------------------------------------------------------------------------
// Built-ins.

namespace {

CDS_Stack* CheckedStack(const RValue* args) {
    return DS_Checked(FDS::thestacks, args);
}

void F_DsStackCreate(RValue& result, CInstance*, CInstance*, int, RValue*) {
    DS_ResultReal(result, ZQVTL_ds_stack_create());
}

void F_DsStackDestroy(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (CheckedStack(args) != nullptr) delete FDS::thestacks.Detach(ZQGetInt32(args, 0));
}

void F_DsStackClear(RValue&, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_Stack* stack = CheckedStack(args)) stack->Clear();
}

void F_DsStackCopy(RValue&, CInstance*, CInstance*, int, RValue* args) {
    CDS_Stack* destination = CheckedStack(args);
    if (destination == nullptr) return;
    if (CDS_Stack* source = DS_Checked(FDS::thestacks, args, 1)) destination->Assign(source);
}

void F_DsStackSize(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_Stack* stack = CheckedStack(args)) DS_ResultReal(result, stack->Size());
}

void F_DsStackEmpty(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    if (CDS_Stack* stack = CheckedStack(args)) DS_ResultReal(result, stack->Empty() ? 1.0 : 0.0);
}

void F_DsStackPush(RValue&, CInstance*, CInstance*, int argc, RValue* args) {
    CDS_Stack* stack = FDS::thestacks.Get(ZQGetInt32(args, 0));
    if (stack == nullptr || argc < 2) {
        DS_ReportNoSuchStructure();
        return;
    }
    for (int i = 1; i < argc; ++i) {
        if (!stack->Push(&args[i])) return;
    }
}

void F_DsStackPop(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    CDS_Stack* stack = CheckedStack(args);
    if (stack == nullptr) return;
    if (const RValue* top = stack->Pop()) DS_ResultCopy(result, *top);
}

void F_DsStackTop(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    CDS_Stack* stack = CheckedStack(args);
    if (stack == nullptr) return;
    if (const RValue* top = stack->Top()) DS_ResultCopy(result, *top);
}

void F_DsStackWrite(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    CDS_Stack* stack = CheckedStack(args);
    if (stack == nullptr) return;
    DS_ResultTextForm(result, stack);
}

void F_DsStackRead(RValue&, CInstance*, CInstance*, int argc, RValue* args) {
    CDS_Stack* stack = CheckedStack(args);
    if (stack == nullptr) return;
    const char* text = ZQGetString(args, 1);
    if (text == nullptr) return;
    stack->ReadFromString(text, argc > 2 && ZQGetInt32(args, 2) > 0);
}

const DsBuiltinRow kStackBuiltins[] = {
    {"ds_stack_create", F_DsStackCreate, 0}, {"ds_stack_destroy", F_DsStackDestroy, 1},
    {"ds_stack_clear", F_DsStackClear, 1},   {"ds_stack_copy", F_DsStackCopy, 2},
    {"ds_stack_size", F_DsStackSize, 1},     {"ds_stack_empty", F_DsStackEmpty, 1},
    {"ds_stack_push", F_DsStackPush, -1},    {"ds_stack_pop", F_DsStackPop, 1},
    {"ds_stack_top", F_DsStackTop, 1},       {"ds_stack_write", F_DsStackWrite, 1},
    {"ds_stack_read", F_DsStackRead, 2},
};

} // namespace

std::span<const DsBuiltinRow> DsStack_Builtins() {
    return kStackBuiltins;
}
