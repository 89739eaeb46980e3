// The typed argument getters of built-ins, and the per-call scope that bounds
// argument reads and owns the getters' scratch texts.
#include "core/arguments.h"

#include "core/error.h"
#include "core/js_convert.h"
#include "core/memory_manager.h"
#include "core/real_to_int.h"
#include "core/value_text.h"

const RValue* g_pFunctionArgs = nullptr;
int g_FunctionArgCount = 0;
int g_ZQArgumentScratchCount = 0;
int g_ZQBuiltinCallDepth = 0;

namespace {

// Texts made by ZQGetString for non-strings, newest last. Each built-in call
// frees the ones made during it; built-ins run on the main thread.
char** g_scratch = nullptr;
int& g_scratchCount = g_ZQArgumentScratchCount;
int g_scratchCapacity = 0;
int& g_callDepth = g_ZQBuiltinCallDepth;

void ReleaseScratchFrom(int mark) {
    while (g_scratchCount > mark) ZQ_Free(g_scratch[--g_scratchCount]);
}

bool KeepScratch(char* text) {
    if (g_scratchCount == g_scratchCapacity) {
        int grown = g_scratchCapacity == 0 ? 16 : g_scratchCapacity * 2;
        char** table = ZQ_ReAllocArray<char*>(g_scratch, static_cast<size_t>(grown));
        if (table == nullptr) return false;
        g_scratch = table;
        g_scratchCapacity = grown;
    }
    g_scratch[g_scratchCount++] = text;
    return true;
}

// The argument, or an undefined value for an index the running call does
// not have.
const RValue* ArgumentAt(const RValue* args, int index) {
    static const RValue kMissing = RValue_Undefined();
    if (args == nullptr || index < 0) return &kMissing;
    if (args == g_pFunctionArgs && index >= g_FunctionArgCount) return &kMissing;
    return &args[index];
}

const char* FunctionName() {
    return g_pFunction != nullptr ? g_pFunction->f_name : "<unknown>";
}

// The kind names that the integer, real and string getters print: a table
// indexed by kind - 2, so reals, strings, objects and integers print "unknown".
const char* TableKindName(const RValue* v) {
    static const char* const kNames[] = {"array",   "ptr",     "vec3",    "undefined", "unknown",
                                         "unknown", "vec4",    "vec44",   "unknown",   "accessor",
                                         "null",    "unknown", "iterator"};
    uint32_t kind = v->Kind();
    return kind >= 2 && kind <= 14 ? kNames[kind - 2] : "unknown";
}

void KindError(int index, const char* kindName, const char* expecting) {
    ZQError("%s argument %d incorrect type (%s) expecting %s", FunctionName(), index + 1, kindName,
            expecting);
}

// The script runtime's number conversion of a string or object; false when
// the object cannot be converted.
bool ScriptNumber(const RValue* v, double* out) {
    RValue number;
    number.v64 = 0;
    number.flags = 0;
    number.kind = VALUE_UNSET;
    int status = F_JS_ToNumber(number, *v);
    bool converted = status == 0 && number.Kind() == VALUE_REAL;
    *out = converted ? number.val : 0.0;
    FREE_RValue(&number);
    return converted;
}

} // namespace

double ZQGetReal(const RValue* args, int index) {
    const RValue* v = ArgumentAt(args, index);
    switch (v->Kind()) {
        case VALUE_REAL:
        case VALUE_BOOL: return v->val;
        case VALUE_INT32: return v->v32;
        case VALUE_INT64: return static_cast<double>(v->v64);
        case VALUE_STRING:
        case VALUE_OBJECT: {
            double d;
            if (ScriptNumber(v, &d)) return d;
            break;
        }
        default: break;
    }
    KindError(index, TableKindName(v), "a Number (ZQGR)");
    return 0.0;
}

float ZQGetFloat(const RValue* args, int index) {
    const RValue* v = ArgumentAt(args, index);
    switch (v->Kind()) {
        case VALUE_REAL:
        case VALUE_BOOL: return static_cast<float>(v->val);
        case VALUE_INT32: return static_cast<float>(v->v32);
        case VALUE_INT64: return static_cast<float>(v->v64);
        default: break;
    }
    KindError(index, KindName(v), "a Number (ZQGF)");
    return 0.0f;
}

namespace {

// The common part of the two 32-bit getters: the low 32 bits of a 64-bit
// truncation. False (after the message) for a kind they do not take.
bool GetLow32(const RValue* args, int index, const char* expecting, uint32_t* out) {
    const RValue* v = ArgumentAt(args, index);
    switch (v->Kind()) {
        case VALUE_REAL:
        case VALUE_BOOL: *out = RealToUint32Wrapped(v->val); return true;
        case VALUE_INT32:
        case VALUE_INT64: *out = static_cast<uint32_t>(v->v64); return true;
        case VALUE_STRING:
        case VALUE_OBJECT: {
            double d;
            if (!ScriptNumber(v, &d)) break;
            *out = RealToUint32Wrapped(d);
            return true;
        }
        default: break;
    }
    KindError(index, TableKindName(v), expecting);
    *out = 0;
    return false;
}

} // namespace

int32_t ZQGetInt32(const RValue* args, int index) {
    uint32_t low;
    GetLow32(args, index, "a Number (ZQGI32)", &low);
    return static_cast<int32_t>(low);
}

uint32_t ZQGetUint32(const RValue* args, int index) {
    uint32_t low;
    GetLow32(args, index, "a Number (ZQGU32)", &low);
    return low;
}

int64_t ZQGetInt64(const RValue* args, int index) {
    const RValue* v = ArgumentAt(args, index);
    switch (v->Kind()) {
        case VALUE_REAL:
        case VALUE_BOOL: return RealToInt64(v->val);
        case VALUE_INT32: return v->v32;
        case VALUE_INT64: return v->v64;
        case VALUE_STRING:
        case VALUE_OBJECT: {
            double d;
            if (ScriptNumber(v, &d)) return RealToInt64(d);
            break;
        }
        default: break;
    }
    KindError(index, TableKindName(v), "a Number");
    return 0;
}

bool ZQGetBool(const RValue* args, int index) {
    const RValue* v = ArgumentAt(args, index);
    switch (v->Kind()) {
        case VALUE_REAL: return !(v->val <= 0.5);             // a NaN counts as true
        case VALUE_BOOL: return v->val < 0.0 || v->val > 0.0; // a NaN counts as false
        case VALUE_INT32: return v->v32 > 0;
        case VALUE_INT64: return v->v64 > 0;
        default: break;
    }
    KindError(index, KindName(v), "a Number (ZQGB)");
    return false;
}

intptr_t ZQGetPtrOrInt(const RValue* args, int index) {
    const RValue* v = ArgumentAt(args, index);
    switch (v->Kind()) {
        case VALUE_REAL: return static_cast<intptr_t>(RealToInt64(v->val));
        case VALUE_INT32: return v->v32;
        case VALUE_PTR:
        case VALUE_INT64: return static_cast<intptr_t>(v->v64);
        default: break;
    }
    KindError(index, KindName(v), "a Number or Pointer");
    return -1;
}

void* ZQGetPtr(const RValue* args, int index) {
    const RValue* v = ArgumentAt(args, index);
    if (v->Kind() == VALUE_PTR) return v->ptr;
    KindError(index, KindName(v), "a Pointer");
    return nullptr;
}

const char* ZQGetString(const RValue* args, int index) {
    const RValue* v = ArgumentAt(args, index);
    switch (v->Kind()) {
        case VALUE_STRING: return v->pRefString != nullptr ? v->pRefString->Get() : nullptr;
        case VALUE_REAL:
        case VALUE_OBJECT:
        case VALUE_INT32:
        case VALUE_INT64:
        case VALUE_BOOL: {
            char* text = Value_ToText(v);
            if (text == nullptr) return nullptr;
            if (!KeepScratch(text)) {
                ZQ_Free(text);
                return nullptr;
            }
            return text;
        }
        default: break;
    }
    KindError(index, TableKindName(v), "a String (ZQGS)");
    return nullptr;
}

void ZQArgumentScratch_ReleaseFrom(int mark) {
    ReleaseScratchFrom(mark);
}

void ZQArgumentScratch_Release() {
    if (g_callDepth == 0) ReleaseScratchFrom(0);
}

int ZQArgumentScratch_Count() {
    return g_scratchCount;
}
