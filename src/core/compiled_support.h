// The text and memory helpers that compiled code calls, and the makers of
// the objects it creates (plain objects sized for instance variables, and
// function references). The string makers are in core/ref_string.h.
#pragma once

#include <cstddef>

struct RValue;

// Memory-manager blocks: allocation without clearing, growth keeping the
// contents, release (null is ignored).
void* ZQAlloc(size_t size);
void* ZQRealloc(void* block, size_t size);
void ZQFree(void* block);
// Frees a text block made by the helpers here or by ZQStrDup.
void ZQStrFree(const char* text);
// The position of the first zero byte within the first `max` bytes, else max.
size_t ZQstrnlen(const char* text, size_t max);
// A new block holding a then b; a copy of the one that is present when only
// one is; null when both are null.
char* ZQVTL_AddString(const char* a, const char* b);

// Makes v (holding nothing) an object value with a new plain script object of
// g_nInstanceVariables slots (variables on demand, initial kind unset).
RValue* ZQSetInstance(RValue* v);
// Makes v (holding nothing) an object value with a new function reference of
// the same size.
RValue* ZQSetScriptRef(RValue* v);
