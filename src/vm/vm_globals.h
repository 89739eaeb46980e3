// Switches of the script-object runtime that other modules set.
#pragma once

// When set, references to freed script objects are ignored instead of
// failing ("VMBadRefsIgnore" of debug_event sets it, "VMBadRefsCrash" clears it).
extern bool g_fJSIgnoreBadRefs;
