// Stand-ins for the platform shell (window, gamepads, virtual keys, platform
// services), until the module is built: each accepts its call and does nothing,
// or answers "none" (or succeeds where the caller would otherwise stop). The
// module deletes each stand-in as it defines the real function; the build
// refuses a function defined both here and in the module
// (tools/check_duplicates.sh).
#include "core/console.h"
#include "core/function_table.h"
#include "core/rvalue.h"
#include "library/library_builtins.h"
#include "platform/platform_builtins.h"
#include "world/datafile/game_data_services.h"
#include "world/input/input_services.h"
#include "world/run/startup_services.h"
#include "world/step/step_services.h"

// ---- asked for through world/datafile/game_data_services.h

void Platform_ShowMessage(const char* text) {
    rel_csol->Output("%s\n", text);
}

// ---- asked for through world/input/input_services.h

void GamepadUpdateM() {}

void GamepadQuitM() {}

void ProcessVirtualKeys() {}

void VirtualKeys_EnsureTable() {}

void VirtualKeys_FreeTable() {}

// ---- asked for through world/run/startup_services.h

void RomDisk_Init() {}

void InitGamepadFunctions() {}

void InitSteamFunctions() {}

void IO_Setup(IniFile*) {}

void Platform_RestrictOrientation(bool, bool, bool, bool) {}

void DeleteAllVirtualKeys() {}

void Steam_Shutdown() {}

// ---- asked for through world/step/step_services.h

void Steam_Process() {}

void IO_Render() {}

void GamePadRestart() {}

void Push_DispatchEvents() {}

void ProcessVTLCallbacks() {}

// ---- built-in rows the library registers (library/library_builtins.h)

// Placeholders until the platform shell lands: there is no window or GL
// context to hand out (window_handle and window_device answer a null
// pointer), and the priority, title and clipboard built-ins do nothing and
// leave their result undefined, as they do on this platform.
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

// ---- platform built-ins built with their services (platform/platform_builtins.h)

// Each leaves its result as the call gate prepared it.
#define ZQ_PLATFORM_STAND_IN(name)                                                                           \
    void name(RValue&, CInstance*, CInstance*, int, RValue*) {}
ZQ_PLATFORM_SERVICE_ROUTINES(ZQ_PLATFORM_STAND_IN)
#undef ZQ_PLATFORM_STAND_IN

// The achievement cache (nothing cached, nothing to send) and the OS pause
// latch.
void UpdateCache() {}

void UpdateAchievementCache() {}

void FlushAchievementCache() {}

void UpdateOSEvents() {}
