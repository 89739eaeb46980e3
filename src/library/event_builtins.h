// Event, debug, alarm and variable built-ins: running another event by hand
// or the parent's event, debug output and switches, the calling instance's
// alarms, and variables reached by name instead of by compiled slot.
#pragma once

struct ZQRValue;

// Compiled code's direct call: what show_debug_message does.
void ZQVTL_show_debug_message(const ZQRValue& value);
