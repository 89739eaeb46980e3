// The built-in function table.
#include "core/function_table.h"

RFunction* g_pFunction = nullptr;
