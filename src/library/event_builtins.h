// Event, debug, alarm and variable built-ins: running another event by hand
// or the parent's event, debug output and switches, the calling instance's
// alarms, and variables reached by name instead of by compiled slot.
#pragma once

struct ZQRValue;

// The script-object runtime ignores references to freed objects instead of
// failing while this is set ("VMBadRefsIgnore" of debug_event sets it,
// "VMBadRefsCrash" clears it). It lives here, below the runtime that reads
// it, because the debug built-ins set it.
extern bool g_fJSIgnoreBadRefs;

// Compiled code's direct call: what show_debug_message does.
void ZQVTL_show_debug_message(const ZQRValue& value);
