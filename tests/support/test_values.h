// Script values for tests, built here once rather than in each test file:
// plain values of every kind (a string value holds a reference that the test
// releases with FREE_RValue), owning integer values for code that works with
// ZQRValue, and the two texts tests compare values by.
#pragma once

#include <cstdint>
#include <string>

#include "core/rvalue.h"
#include "core/zq_rvalue.h"

RValue Real(double d);
RValue Bool(bool b);
RValue Int32(int32_t n);
RValue Int64(int64_t n);
// A string value holding one reference to a new record of `text`.
RValue Str(const char* text);
// A value of `kind` with a zero payload.
RValue OfKind(uint32_t kind);

// Owning integer values (ZQRValue has its own constructors for reals,
// texts and booleans).
ZQRValue I32(int32_t n);
ZQRValue I64(int64_t n);

// The value as scripts print it; "<null>" where there is no text.
std::string Text(const RValue& v);
// The text of a string value; "" for any other value.
std::string TextOf(const RValue& v);
