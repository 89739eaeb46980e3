// Placeholders until the platform shell lands: there is no window or GL
// context to hand out (window_handle and window_device answer a null
// pointer), and the priority, title and clipboard built-ins do nothing and
// leave their result undefined, as they do on this platform.
#include "core/function_table.h"
#include "core/rvalue.h"
#include "library/library_builtins.h"

namespace {

void NullPointer(RValue& result) {
    result.ptr = nullptr;
    result.flags = 0;
    result.kind = VALUE_PTR;
}

void F_WindowHandle(RValue& r, CInstance*, CInstance*, int, RValue*) {
    NullPointer(r);
}
void F_WindowD3DDevice(RValue& r, CInstance*, CInstance*, int, RValue*) {
    NullPointer(r);
}
void F_SetProgramPriority(RValue&, CInstance*, CInstance*, int, RValue*) {}
void F_SetApplicationTitle(RValue&, CInstance*, CInstance*, int, RValue*) {}
void F_ClipboardHasText(RValue&, CInstance*, CInstance*, int, RValue*) {}
void F_ClipboardSetText(RValue&, CInstance*, CInstance*, int, RValue*) {}
void F_ClipboardGetText(RValue&, CInstance*, CInstance*, int, RValue*) {}

const LibraryBuiltinRow kPlatform[] = {
    {"window_handle", F_WindowHandle},
    {"window_device", F_WindowD3DDevice},
    {"set_program_priority", F_SetProgramPriority},
    {"set_application_title", F_SetApplicationTitle},
    {"clipboard_has_text", F_ClipboardHasText},
    {"clipboard_set_text", F_ClipboardSetText},
    {"clipboard_get_text", F_ClipboardGetText},
};

} // namespace

std::span<const LibraryBuiltinRow> PlatformBuiltins() {
    return kPlatform;
}
