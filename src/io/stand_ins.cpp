// Placeholders until native extensions land: the external-call built-ins are
// registered under their names (so every later built-in keeps its id), say on
// the debug console that they are not available yet, and answer undefined.
#include "core/function_table.h"
#include "core/support_output.h"
#include "library/library_builtins.h"

namespace {

void F_ExternalMissing(RValue&, CInstance*, CInstance*, int, RValue*) {
    Support_DebugOutput("%s: native extensions are not available yet\n",
                        g_pFunction != nullptr ? g_pFunction->f_name : "external call");
}

const LibraryBuiltinRow kExternal[] = {
    {"external_define", F_ExternalMissing}, {"external_call", F_ExternalMissing},
    {"external_free", F_ExternalMissing},   {"external_define0", F_ExternalMissing},
    {"external_call0", F_ExternalMissing},  {"external_define1", F_ExternalMissing},
    {"external_call1", F_ExternalMissing},  {"external_define2", F_ExternalMissing},
    {"external_call2", F_ExternalMissing},  {"external_define3", F_ExternalMissing},
    {"external_call3", F_ExternalMissing},  {"external_define4", F_ExternalMissing},
    {"external_call4", F_ExternalMissing},  {"external_define5", F_ExternalMissing},
    {"external_call5", F_ExternalMissing},  {"external_define6", F_ExternalMissing},
    {"external_call6", F_ExternalMissing},  {"external_define7", F_ExternalMissing},
    {"external_call7", F_ExternalMissing},  {"external_define8", F_ExternalMissing},
    {"external_call8", F_ExternalMissing},
};

} // namespace

std::span<const LibraryBuiltinRow> ExternalBuiltins() {
    return kExternal;
}
