// The call gates of compiled code: argument vectors, the result's reset and
// deferred release, and the running-function record around built-in calls.
#include "core/call_gates.h"

#include <cstring>

#include "core/arguments.h"
#include "core/error.h"
#include "core/memory_manager.h"

namespace {

// Most calls pass a handful of arguments: those vectors live on the stack.
constexpr int kStackArguments = 16;

// A vector of `count` values, on the stack when small. Its values are left
// for the caller to fill; the first `m_counted` hold references of their own
// and are released with the vector.
class ArgumentVector {
public:
    explicit ArgumentVector(int count)
        : m_values(count <= kStackArguments ? m_stack : ZQ_AllocArray<RValue>(static_cast<size_t>(count))) {}
    ~ArgumentVector() {
        for (int i = 0; i < m_counted; ++i) FREE_RValue(&m_values[i]);
        if (m_values != m_stack) ZQ_Free(m_values);
    }
    ArgumentVector(const ArgumentVector&) = delete;
    ArgumentVector& operator=(const ArgumentVector&) = delete;

    RValue* Values() { return m_values; }
    int m_counted = 0;

private:
    RValue m_stack[kStackArguments];
    RValue* m_values;
};

const RValue kUndefinedArgument = RValue_Undefined();

// Leaves the result undefined; what it held and must release moves to
// `previous`. Only the kind word is read on the common path: a wider read of
// a result that the built-in has just written field by field would stall.
inline void TakeResult(ZQRValue* previous, ZQRValue* result) {
    if (RValue_NeedsRelease(result)) {
        RValue_MoveInto(previous, result);
        return;
    }
    result->v64 = 0;
    result->flags = 0;
    result->kind = VALUE_UNDEFINED;
}

int GivenCount(int argc, ZQRValue** args) {
    return argc > 0 && args != nullptr ? argc : 0;
}

} // namespace

ZQRValue& ZQVTL_CallLegacyFunction(CInstance* self, CInstance* other, ZQRValue& result, int argc, int index,
                                   ZQRValue** args) {
    if (static_cast<uint32_t>(index) >= static_cast<uint32_t>(the_numb) ||
        the_functions[index].f_routine == nullptr) {
        FREE_RValue(&result);
        ZQError("call of unknown built-in function %d", index);
        return result;
    }
    RFunction* function = &the_functions[index];
    int given = GivenCount(argc, args);
    int count = given < function->f_argnumb ? function->f_argnumb : given;
    ArgumentVector vector(count);
    RValue* local = vector.Values();
    if (local == nullptr) {
        FREE_RValue(&result);
        ZQError("out of memory calling %s with %d arguments", function->f_name, count);
        return result;
    }
    for (int i = 0; i < given; ++i) {
        const RValue* arg = args[i] != nullptr ? static_cast<const RValue*>(args[i]) : &kUndefinedArgument;
        std::memcpy(static_cast<void*>(&local[i]), static_cast<const void*>(arg), sizeof(RValue));
    }
    for (int i = given; i < count; ++i) local[i] = kUndefinedArgument;

    // The result starts undefined; what it held is released only when the
    // call has ended (also by an exception), because an argument copy may share it.
    ZQRValue previous;
    TakeResult(&previous, &result);
    ZQBuiltinCall call(function, local, given);
    function->f_routine(result, self, other, given, local);
    return result;
}

ZQRValue& ZQVTL_CallScriptFunction(CInstance* self, CInstance* other, ZQRValue& result, int argc, int index,
                                   ZQRValue** args) {
    ZQRValue previous; // released when the call has ended
    uint32_t flags = result.flags;
    TakeResult(&previous, &result);
    result.val = 0.0;
    result.flags = flags;
    result.kind = VALUE_REAL;
    TZQScript function =
        g_FunctionTableHooks.scriptFunction != nullptr ? g_FunctionTableHooks.scriptFunction(index) : nullptr;
    if (function != nullptr) {
        int given = GivenCount(argc, args);
        function(self, other, result, given, given != 0 ? args : nullptr);
    }
    return result;
}

ZQRValue& ZQVTL_CallExtensionFunction(CInstance*, CInstance*, ZQRValue& result, int argc, int id,
                                      ZQRValue** args) {
    const FunctionTableHooks& hooks = g_FunctionTableHooks;
    int libraryIndex = -1;
    int n = id - FUNCTION_ID_EXTENSION_BASE;
    int callKind =
        (n >= 0 && hooks.extensionCallKind != nullptr) ? hooks.extensionCallKind(n, &libraryIndex) : -1;
    bool callable =
        (callKind == 0 && hooks.dllCall != nullptr) || (callKind == 2 && hooks.extCall != nullptr);
    if (!callable) return result;

    int given = GivenCount(argc, args);
    ArgumentVector vector(given);
    RValue* local = vector.Values();
    if (local == nullptr) {
        ZQError("out of memory calling extension function %d with %d arguments", id, given);
        return result;
    }
    for (int i = 0; i < given; ++i)
        COPY_RValue(&local[i],
                    args[i] != nullptr ? static_cast<const RValue*>(args[i]) : &kUndefinedArgument);
    if (callKind == 0)
        hooks.dllCall(libraryIndex, given, local, &result);
    else
        hooks.extCall(id, given, local, &result);
    for (int i = 0; i < given; ++i) FREE_RValue(&local[i]);
    return result;
}
