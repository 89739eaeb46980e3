// Switches of the script-object runtime.
#include "vm/vm_globals.h"

bool g_fJSIgnoreBadRefs = false;
