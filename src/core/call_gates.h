// The call gates through which compiled code calls built-ins (by table
// index), scripts (by script index) and extension functions (by id). Each
// returns the result value it was given.
#pragma once

#include "core/function_table.h"
#include "core/zq_rvalue.h"

class CInstance;

// Calls built-in `index` with argc arguments given as pointers.
//
// The arguments are copied bit for bit into a local vector (no reference
// counting: the built-in reads them and must not release them); a null
// pointer reads as undefined. When the entry declares more arguments than
// were given, the vector is padded with undefined values up to the declared
// count, so a built-in that reads its declared arguments directly never reads
// past them; argc still tells it how many were given, and the argument getters
// read anything past argc as undefined. The result is set undefined before the
// call; what it held is released after the call, so an argument may be the
// result itself. The running entry (g_pFunction) is recorded for the call and
// restored afterwards, also when the built-in raised an error. An index that
// names no built-in raises "call of unknown built-in function %d" and leaves
// the result undefined.
ZQRValue& ZQVTL_CallLegacyFunction(CInstance* self, CInstance* other, ZQRValue& result, int argc, int index,
                                   ZQRValue** args);

// Calls the compiled function of script `index`: the result becomes the real
// 0 (its flags kept, what it held released after the call), then the script
// runs when it has a compiled function; a script without one (or an index
// that names none) leaves the result 0. Scripts read their arguments through
// the pointers, so the result must not be one of them (compiled scripts
// reset their result on entry).
ZQRValue& ZQVTL_CallScriptFunction(CInstance* self, CInstance* other, ZQRValue& result, int argc, int index,
                                   ZQRValue** args);

// Calls extension function `id` (500000 + n): the arguments are copied by
// the copy rule into a local vector, the extension's call kind picks the
// native library call (0) or the extension call (2), and the copies are
// released afterwards. The result is not reset here.
ZQRValue& ZQVTL_CallExtensionFunction(CInstance* self, CInstance* other, ZQRValue& result, int argc, int id,
                                      ZQRValue** args);
