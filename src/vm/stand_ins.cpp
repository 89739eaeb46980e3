// Placeholder until the bytecode interpreter lands: with no interpreter
// running there are no call-stack entries, so debug_get_callstack answers an
// empty array.
#include "core/function_table.h"
#include "core/rvalue.h"
#include "library/library_builtins.h"

namespace {

void F_VMGetCallStack(RValue& r, CInstance*, CInstance*, int, RValue*) {
    r.pRefArray = ARRAY_RefAlloc(&r);
    r.flags = 0;
    r.kind = r.pRefArray != nullptr ? VALUE_ARRAY : VALUE_UNDEFINED;
}

const LibraryBuiltinRow kVM[] = {
    {"debug_get_callstack", F_VMGetCallStack},
};

} // namespace

std::span<const LibraryBuiltinRow> VMBuiltins() {
    return kVM;
}
