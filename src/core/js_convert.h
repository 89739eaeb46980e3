// The script object runtime's conversions that the core needs: ToNumber by
// the ECMAScript rules (with the runtime's own string grammar) and the
// callable test.
#pragma once

#include <cstdint>

#include "core/rvalue.h"

// Conversion status: 0 done, 1 cannot be converted, 2 an exception is pending.
enum : int {
    JS_CONVERT_DONE = 0,
    JS_CONVERT_FAILED = 1,
    JS_CONVERT_EXCEPTION = 2,
};

// ToNumber: out (which the caller initialised, as a rule to unset) becomes a
// real. Reals and bools give their payload, int32 and int64 their value,
// undefined NaN, null +0; strings are read by the number grammar (leading and
// trailing white space skipped; decimal as strtod reads it, "0x" hexadecimal
// wrapping in 32 bits, "Infinity" with an optional sign; anything else NaN);
// objects convert through their primitive value. Other kinds leave out as it
// was (status 0).
int F_JS_ToNumber(RValue& out, const RValue& in);

// Reads a text by the number grammar.
double JS_StringToNumber(const char* text);

// True when c (its low 16 bits) is white space of the number grammar.
bool JS_IsNumberWhitespace(uint32_t c);

// Set by the script object runtime: ToPrimitive of an object with a hint
// (0 number, 1 string), calling valueOf and toString. Returns a conversion
// status; while unset, objects cannot be converted (status 1).
extern int (*g_pfnObjectToPrimitive)(ZQObjectBase* object, RValue& out, int hint);

// True for an object value whose object is a callable reference; false for
// real, string, undefined, int32, int64, accessor and bool; any other kind
// raises "unhandled type for JS_IsCallable %d" and gives false.
bool JS_IsCallable(const RValue& v);
bool JS_IsCallable_Object(const ZQObjectBase* object);
