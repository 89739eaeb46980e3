// The text form of values: helpers beside `STRING_RValue` (declared with the
// value type) and the seam through which objects print themselves.
#pragma once

#include "core/rvalue.h"

// Set by the script object runtime: fetches the object's "toString" member
// (walking the prototype chain) and, when it is callable, calls it with the
// object as self and no arguments, leaving the call's result in *result
// (which starts undefined; the printer appends a string result and releases
// it). While unset, objects other than null print nothing.
extern void (*g_pfnObjectToString)(ZQObjectBase* object, RValue* result);

// A new memory-manager block holding v's text form (null when out of memory).
char* Value_ToText(const RValue* v);
