// Helpers the drawing built-ins share with other built-in families: new
// one-row script arrays of numbers (or of numbers and texts), and the text of
// a value of any kind in a block that grows to fit it, so no value a script
// passes can overrun a fixed buffer.
#pragma once

#include "core/rvalue.h"

// Makes `result` (holding nothing: the call gate has reset it) a new array
// of one row of `count` reals, taken in order from the variable arguments,
// which must be doubles. A count of 0 still makes the row, of length 0.
// Out of memory, `result` stays undefined.
void CreateArray(RValue* result, int count, ...);
// The same with a pair (double, const char*) per element: a null text gives
// the real, any other text a string element holding a copy of it.
void CreateArrayValOrString(RValue* result, int count, ...);
// The text form of `value` (strings as they are, numbers printed, arrays and
// objects in their text forms) in a new memory-manager block, started at
// `capacity` bytes, grown as the text needs and trimmed to the text and its
// zero at the end. The caller frees *out with ZQ_Free; *out is null only
// when memory ran out.
void GetTextFromArg(const RValue* value, int capacity, char** out);
