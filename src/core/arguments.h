// Argument access for built-ins: nine typed getters that accept a fixed set
// of kinds, convert, and otherwise raise one message naming the built-in, the
// argument's position and its kind; and the scope that a call gate opens
// around each built-in call.
#pragma once

#include <cstdint>

#include "core/function_table.h"
#include "core/rvalue.h"

// Each getter reads args[index]. Inside a built-in call opened with
// ZQBuiltinCall, an index at or past the call's argument count reads as
// undefined (so it raises the getter's message) rather than past the vector.
// On a wrong kind the getter raises "%s argument %d incorrect type (%s)
// expecting ..." through ZQError and, when that returns, gives its fallback.
double ZQGetReal(const RValue* args, int index);       // fallback 0
float ZQGetFloat(const RValue* args, int index);       // fallback 0
int32_t ZQGetInt32(const RValue* args, int index);     // fallback 0
uint32_t ZQGetUint32(const RValue* args, int index);   // fallback 0
int64_t ZQGetInt64(const RValue* args, int index);     // fallback 0
bool ZQGetBool(const RValue* args, int index);         // fallback false
intptr_t ZQGetPtrOrInt(const RValue* args, int index); // fallback -1
void* ZQGetPtr(const RValue* args, int index);         // fallback null
// A string's own text (shared: not to be freed; null without record or text),
// or the text form of a real, object, int32, int64 or bool in a scratch block
// that lives until the innermost ZQBuiltinCall ends (outside any call, until
// ZQArgumentScratch_Release). Fallback null.
const char* ZQGetString(const RValue* args, int index);

// A built-in's number result. The call gate has reset the result, so
// nothing is released first.
inline void ZQSetResultReal(RValue& result, double v) {
    result.kind = VALUE_REAL;
    result.flags = 0;
    result.val = v;
}

// The running built-in's argument vector and count (set with g_pFunction).
extern const RValue* g_pFunctionArgs;
extern int g_FunctionArgCount;

// Scratch texts alive and built-in calls open (the call scope's bookkeeping).
extern int g_ZQArgumentScratchCount;
extern int g_ZQBuiltinCallDepth;
// Frees the scratch texts made after `mark`.
void ZQArgumentScratch_ReleaseFrom(int mark);

// Opened by the call gate around one built-in call: records the running
// entry and its arguments, and on leaving frees the scratch texts the call's
// getters made and restores what the caller had recorded. Nests. Inline: it
// brackets every built-in call.
class ZQBuiltinCall {
public:
    ZQBuiltinCall(RFunction* function, const RValue* args, int argc)
        : m_savedFunction(g_pFunction), m_savedArgs(g_pFunctionArgs), m_savedArgCount(g_FunctionArgCount),
          m_scratchMark(g_ZQArgumentScratchCount) {
        g_pFunction = function;
        g_pFunctionArgs = args;
        g_FunctionArgCount = argc < 0 ? 0 : argc;
        ++g_ZQBuiltinCallDepth;
    }
    ~ZQBuiltinCall() {
        if (g_ZQArgumentScratchCount > m_scratchMark) ZQArgumentScratch_ReleaseFrom(m_scratchMark);
        --g_ZQBuiltinCallDepth;
        g_pFunction = m_savedFunction;
        g_pFunctionArgs = m_savedArgs;
        g_FunctionArgCount = m_savedArgCount;
    }
    ZQBuiltinCall(const ZQBuiltinCall&) = delete;
    ZQBuiltinCall& operator=(const ZQBuiltinCall&) = delete;

private:
    RFunction* m_savedFunction;
    const RValue* m_savedArgs;
    int m_savedArgCount;
    int m_scratchMark;
};

// Frees every scratch text made outside any built-in call (the main loop
// calls it once per step).
void ZQArgumentScratch_Release();
// Scratch texts currently alive (for tests).
int ZQArgumentScratch_Count();
