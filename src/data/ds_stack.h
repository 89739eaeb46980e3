// Stacks: growable arrays of script values held by index, pushed and popped
// at the top; the ds_stack_* built-ins and compiled code's direct entries.
#pragma once

#include <span>

#include "data/ds_tables.h"

struct ZQRValue;

// Element 0 is the bottom, element count - 1 the top. The stack owns its
// elements; a popped value stays in its slot, no longer an element, until
// the next push releases it.
class CDS_Stack {
public:
    CDS_Stack() = default;
    ~CDS_Stack();
    CDS_Stack(const CDS_Stack&) = delete;
    CDS_Stack& operator=(const CDS_Stack&) = delete;

    int Size() const { return m_count; }
    bool Empty() const { return m_count == 0; }

    // False when the stack may not grow (reported).
    bool Push(const RValue* v);
    // The popped slot (valid until the next push), or null when empty.
    RValue* Pop();
    // The top slot, or null when empty.
    RValue* Top() { return m_count > 0 ? &m_storage.values[m_count - 1] : nullptr; }
    // Releases every element and frees the storage.
    void Clear();
    // Becomes a copy of src (null clears; src may be this stack).
    void Assign(const CDS_Stack* src);

    void WriteToString(const char*& out);
    bool ReadFromString(const char* text, bool legacy);

    // The collector's walk: the elements in use.
    template <typename Fn>
    void VisitValues(Fn&& fn) {
        for (int32_t i = 0; i < m_count; ++i) fn(m_storage.values[i]);
    }

private:
    int32_t m_count = 0;
    DsStorage m_storage;
};

// Compiled code's direct entries.
int ZQVTL_ds_stack_create();
// args[0] is the stack, args[1] to args[argc - 1] are pushed in order.
void ZQVTL_ds_stack_push(int argc, ZQRValue** args);
// The popped value's address (valid until the next push on that stack), or
// null for an empty or missing stack.
RValue* ZQVTL_ds_stack_pop(int stack);

std::span<const DsBuiltinRow> DsStack_Builtins();
