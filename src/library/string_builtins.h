// String built-ins: text forms of values and back, and searching, cutting,
// building and transforming UTF-8 strings. Positions and lengths count
// characters from 1, except the string_byte_* built-ins, which count bytes.
// Argument strings are never changed; every result is a new string.
#pragma once

#include <cstdint>

struct ZQRValue;

// Compiled code's direct calls. ZQVTL_string gives a new memory-manager text
// holding the value's text form (the caller frees it with ZQ_Free).
char* ZQVTL_string(const ZQRValue& value);
int ZQVTL_ord(const char* text);
double ZQVTL_StringByteAt(const char* text, int position);

// A new memory-manager text of the characters below 0x80, one byte each;
// null for a null or empty text.
char* UTF8ToASCII(const char* text);

// The position `count` characters on from `text` (count <= 0: text itself),
// stopping at the terminator.
const char* String_SkipCharacters(const char* text, int64_t count);
