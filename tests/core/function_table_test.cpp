// The function table and the call gates: registration past a growth step
// with ids kept, names cut to the field, lookup of built-ins, scripts and
// extension functions, argument counts, and the gates' argument vectors,
// result handling and running-function record (after nested calls and
// errors).
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "core/arguments.h"
#include "core/call_gates.h"
#include "core/error.h"
#include "core/function_table.h"
#include "error_capture.h"

namespace {

// Every test starts and ends with an empty table and no hooks.
class FunctionTable : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        FINALIZE_Code_Function();
        g_FunctionTableHooks = {};
        g_pFunction = nullptr;
        g_fZQC = true;
    }
};

void F_Nothing(RValue&, CInstance*, CInstance*, int, RValue*) {}
void F_Other(RValue&, CInstance*, CInstance*, int, RValue*) {}

// What the probe built-in saw during its call.
struct Seen {
    int argc = -1;
    std::string function;
    uint32_t resultKind = 0;
    uint32_t lastKind = 0;
    int refCount = 0;
    std::string text;
} g_seen;

// Declared with three arguments; records what it sees and returns argc.
void F_Probe(RValue& result, CInstance*, CInstance*, int argc, RValue* args) {
    g_seen.argc = argc;
    g_seen.function = g_pFunction != nullptr ? g_pFunction->f_name : "";
    g_seen.resultKind = result.Kind();
    g_seen.lastKind = args[2].Kind();
    if (argc > 0 && args[0].Kind() == VALUE_STRING) {
        g_seen.refCount = args[0].pRefString->m_refCount;
        g_seen.text = args[0].pRefString->Get();
    }
    result = RValue_Real(argc);
}

// Calls the probe through the gate with one argument, then checks the record.
int g_probeIndex = -1;
void F_Outer(RValue& result, CInstance* self, CInstance* other, int, RValue*) {
    ZQRValue inner;
    ZQRValue arg(1.0);
    ZQRValue* args[] = {&arg};
    ZQVTL_CallLegacyFunction(self, other, inner, 1, g_probeIndex, args);
    result = RValue_Real(g_pFunction != nullptr && std::strcmp(g_pFunction->f_name, "outer") == 0 ? 1 : 0);
}

// Raises an argument error naming itself, then returns.
void F_Fails(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    ZQGetInt32(args, 0);
    result = RValue_Real(-1);
}

void F_Throws(RValue&, CInstance*, CInstance*, int, RValue*) {
    throw std::runtime_error("built-in failed");
}

} // namespace

TEST_F(FunctionTable, RegistrationGrowsBy500AndKeepsIds) {
    EXPECT_EQ(sizeof(RFunction::f_name), 64u);
    for (int i = 0; i < 501; ++i) {
        std::string name = "fn_" + std::to_string(i);
        ASSERT_TRUE(Function_Add(name.c_str(), F_Nothing, i % 4, i % 2 == 0));
    }
    EXPECT_EQ(the_numb, 501);
    EXPECT_EQ(g_CurrentMaxLength, 1000);
    for (int i : {0, 250, 499, 500}) {
        int id = -2;
        EXPECT_TRUE(Code_Function_Find(("fn_" + std::to_string(i)).c_str(), &id));
        EXPECT_EQ(id, i);
        EXPECT_EQ(Function_GetArguments(id), i % 4);
        EXPECT_EQ(the_functions[i].f_flag, i % 2 == 0 ? 1u : 0u);
        EXPECT_EQ(the_functions[i].f_reserved, -1);
    }
    const char* name = nullptr;
    TRoutine routine = nullptr;
    int argc = 0, flag = 0;
    Code_Function_GET_the_function(3, &name, &routine, &argc, &flag);
    EXPECT_STREQ(name, "fn_3");
    EXPECT_EQ(name, the_functions[3].f_name);
    EXPECT_EQ(routine, &F_Nothing);
    EXPECT_EQ(argc, 3);
    EXPECT_EQ(flag, 0);
    Code_Function_GET_the_function(501, &name, &routine, &argc, &flag); // outside: unchanged
    EXPECT_STREQ(name, "fn_3");
    FINALIZE_Code_Function();
    EXPECT_EQ(the_functions, nullptr);
    EXPECT_EQ(the_numb, 0);
    EXPECT_EQ(g_CurrentMaxLength, 0);
}

TEST_F(FunctionTable, LongNamesAreCutDuplicatesResolveToTheFirst) {
    std::string longName(100, 'x');
    Function_Add(longName.c_str(), F_Nothing, 0, false);
    EXPECT_EQ(std::strlen(the_functions[0].f_name), 63u);
    int id = -2;
    EXPECT_TRUE(Code_Function_Find(std::string(63, 'x').c_str(), &id));
    EXPECT_FALSE(Code_Function_Find(longName.c_str(), &id));
    EXPECT_EQ(id, -1);

    Function_Add("twice", F_Nothing, 1, false);
    Function_Add("twice", F_Nothing, 2, false);
    EXPECT_TRUE(Code_Function_Find("twice", &id));
    EXPECT_EQ(id, 1);
    EXPECT_TRUE(Function_Replace("twice", F_Other));
    EXPECT_EQ(the_functions[1].f_routine, &F_Other);
    EXPECT_EQ(the_functions[2].f_routine, &F_Nothing);
    EXPECT_FALSE(Function_Replace("unknown", F_Other));
}

TEST_F(FunctionTable, NameLookupOrderScriptsExtensionsBuiltins) {
    Function_Add("script_execute", F_Nothing, -1, false);
    Function_Add("shared_name", F_Nothing, 0, false);
    Function_Add("only_builtin", F_Nothing, 0, false);
    g_FunctionTableHooks.scriptFind = [](const char* name) {
        return std::strcmp(name, "shared_name") == 0 ? 7 : -1;
    };
    g_FunctionTableHooks.extensionFind = [](const char* name) {
        return std::strcmp(name, "ext_fn") == 0 ? 3 : -1;
    };
    g_FunctionTableHooks.extensionArguments = [](int n) { return n == 3 ? 2 : -100; };
    struct Case {
        const char* name;
        bool found;
        int id;
    } cases[] = {
        {"shared_name", true, 100007}, // a script wins over a built-in of the same name
        {"ext_fn", true, 500003},      {"only_builtin", true, 2},
        {"script_execute", true, 0}, // compiled code: the built-in
        {"missing", false, -1},        {"", false, -1},
        {nullptr, false, -1},
    };
    for (const Case& c : cases) {
        int id = -2;
        EXPECT_EQ(Code_Function_Find(c.name, &id), c.found) << (c.name ? c.name : "null");
        EXPECT_EQ(id, c.id) << (c.name ? c.name : "null");
    }
    g_fZQC = false; // a bytecode game
    int id = -2;
    EXPECT_TRUE(Code_Function_Find("script_execute", &id));
    EXPECT_EQ(id, 499999);

    EXPECT_EQ(Function_GetArguments(100007), -1);
    EXPECT_EQ(Function_GetArguments(499999), -1);
    EXPECT_EQ(Function_GetArguments(500003), 2);
    EXPECT_EQ(Function_GetArguments(500004), -100);
    EXPECT_EQ(Function_GetArguments(the_numb), -100);
    EXPECT_EQ(Function_GetArguments(-1), -100);
    EXPECT_EQ(Function_GetArguments(0), -1);
}

TEST_F(FunctionTable, BuiltinGateCopiesArgumentsAndPadsToTheDeclaredCount) {
    g_probeIndex = the_numb;
    Function_Add("probe", F_Probe, 3, true);
    ZQRValue text("hello");
    ZQRValue* args[] = {&text};
    ZQRValue result("old result");
    g_seen = {};
    ZQVTL_CallLegacyFunction(nullptr, nullptr, result, 1, g_probeIndex, args);
    EXPECT_EQ(g_seen.argc, 1);
    EXPECT_EQ(g_seen.function, "probe");
    EXPECT_EQ(g_seen.resultKind, VALUE_UNDEFINED); // reset before the call
    EXPECT_EQ(g_seen.lastKind, VALUE_UNDEFINED);   // padded, not read past the given argument
    EXPECT_EQ(g_seen.refCount, 1);                 // copied without a reference
    EXPECT_EQ(text.pRefString->m_refCount, 1);
    EXPECT_EQ(result.Kind(), VALUE_REAL);
    EXPECT_EQ(result.val, 1.0);
    EXPECT_EQ(g_pFunction, nullptr);

    // The result may be an argument too: what it held lives until the call ends.
    ZQRValue both("only reference");
    ZQRValue* self[] = {&both};
    ZQVTL_CallLegacyFunction(nullptr, nullptr, both, 1, g_probeIndex, self);
    EXPECT_EQ(g_seen.text, "only reference");
    EXPECT_EQ(both.val, 1.0);

    // No arguments, a negative count or a null vector: the built-in sees none.
    ZQVTL_CallLegacyFunction(nullptr, nullptr, result, -4, g_probeIndex, args);
    EXPECT_EQ(g_seen.argc, 0);
    ZQVTL_CallLegacyFunction(nullptr, nullptr, result, 2, g_probeIndex, nullptr);
    EXPECT_EQ(g_seen.argc, 0);
    // A null argument pointer reads as undefined.
    ZQRValue* holes[] = {nullptr, &text, nullptr};
    ZQVTL_CallLegacyFunction(nullptr, nullptr, result, 3, g_probeIndex, holes);
    EXPECT_EQ(g_seen.argc, 3);
    EXPECT_EQ(g_seen.lastKind, VALUE_UNDEFINED);

    // More than the stack vector holds.
    ZQRValue many[40];
    ZQRValue* manyArgs[40];
    for (int i = 0; i < 40; ++i) manyArgs[i] = &many[i];
    ZQVTL_CallLegacyFunction(nullptr, nullptr, result, 40, g_probeIndex, manyArgs);
    EXPECT_EQ(result.val, 40.0);
}

TEST_F(FunctionTable, BuiltinGateRestoresTheRunningFunction) {
    g_probeIndex = the_numb;
    Function_Add("probe", F_Probe, 3, true);
    int outer = the_numb;
    Function_Add("outer", F_Outer, 0, true);
    int fails = the_numb;
    Function_Add("fails", F_Fails, 1, true);
    int throws = the_numb;
    Function_Add("throws", F_Throws, 0, true);

    RFunction before = {};
    g_pFunction = &before;
    ZQRValue result;
    ZQVTL_CallLegacyFunction(nullptr, nullptr, result, 0, outer, nullptr);
    EXPECT_EQ(result.val, 1.0); // the outer name was back after the nested call
    EXPECT_EQ(g_seen.function, "probe");
    EXPECT_EQ(g_pFunction, &before);

    ErrorCapture errors;
    ZQRValue text("abc");
    ZQRValue array;
    RValue one = RValue_Real(1);
    SET_RValue(&array, &one, 0);
    ZQRValue* args[] = {&array};
    ZQVTL_CallLegacyFunction(nullptr, nullptr, result, 1, fails, args);
    EXPECT_EQ(errors.LastMessage(), "fails argument 1 incorrect type (array) expecting a Number (ZQGI32)");
    EXPECT_EQ(result.val, -1.0);
    EXPECT_EQ(g_pFunction, &before);

    EXPECT_THROW(ZQVTL_CallLegacyFunction(nullptr, nullptr, result, 0, throws, nullptr), std::runtime_error);
    EXPECT_EQ(g_pFunction, &before);

    ZQVTL_CallLegacyFunction(nullptr, nullptr, result, 0, the_numb, nullptr);
    EXPECT_EQ(errors.LastMessage(), "call of unknown built-in function 4");
    EXPECT_EQ(result.Kind(), VALUE_UNDEFINED);
    ZQVTL_CallLegacyFunction(nullptr, nullptr, result, 0, -1, nullptr);
    EXPECT_EQ(errors.LastMessage(), "call of unknown built-in function -1");
    EXPECT_EQ(g_pFunction, &before);
    g_pFunction = nullptr;
}

namespace {

int g_scriptCalls = 0;
ZQRValue& vtl_Script_double_first(CInstance*, CInstance*, ZQRValue& result, int argc, ZQRValue** args) {
    ++g_scriptCalls;
    EXPECT_EQ(result.Kind(), VALUE_REAL);
    EXPECT_EQ(result.val, 0.0);
    result = argc > 0 ? *args[0] * 2 : ZQRValue(-1);
    return result;
}

} // namespace

TEST_F(FunctionTable, ScriptGateCallsOnlyACompiledFunction) {
    g_FunctionTableHooks.scriptFunction = [](int index) -> TZQScript {
        return index == 2 ? vtl_Script_double_first : nullptr;
    };
    g_scriptCalls = 0;
    ZQRValue arg(21.0);
    ZQRValue* args[] = {&arg};
    ZQRValue result("previous");
    result.flags = RVALUE_FLAG_WRITABLE;
    ZQVTL_CallScriptFunction(nullptr, nullptr, result, 1, 2, args);
    EXPECT_EQ(g_scriptCalls, 1);
    EXPECT_EQ(result.val, 42.0);

    result = ZQRValue("previous");
    result.flags = RVALUE_FLAG_WRITABLE;
    ZQVTL_CallScriptFunction(nullptr, nullptr, result, 1, 5, args); // a script without compiled code
    EXPECT_EQ(g_scriptCalls, 1);
    EXPECT_EQ(result.Kind(), VALUE_REAL);
    EXPECT_EQ(result.val, 0.0);
    EXPECT_EQ(result.flags, RVALUE_FLAG_WRITABLE);

    ZQVTL_CallScriptFunction(nullptr, nullptr, result, -3, 2, args);
    EXPECT_EQ(result.val, -1.0);
    g_FunctionTableHooks.scriptFunction = nullptr;
    ZQVTL_CallScriptFunction(nullptr, nullptr, result, 1, 2, args);
    EXPECT_EQ(result.val, 0.0);
}

namespace {

struct ExtensionCall {
    int kind = -1;
    int target = 0;
    int argc = 0;
    int refCount = 0;
} g_extension;

} // namespace

TEST_F(FunctionTable, ExtensionGateCopiesArgumentsByTheCopyRule) {
    g_FunctionTableHooks.extensionCallKind = [](int n, int* library) {
        *library = 40 + n;
        return n == 0 ? 0 : (n == 1 ? 2 : (n == 2 ? 7 : -1));
    };
    g_FunctionTableHooks.dllCall = [](int library, int argc, RValue* args, RValue* result) {
        g_extension = {0, library, argc, args[0].pRefString->m_refCount};
        *result = RValue_Real(5);
    };
    g_FunctionTableHooks.extCall = [](int id, int argc, RValue* args, RValue* result) {
        g_extension = {2, id, argc, args[0].pRefString->m_refCount};
        *result = RValue_Real(6);
    };
    ZQRValue text("x");
    ZQRValue* args[] = {&text};
    ZQRValue result;
    ZQVTL_CallExtensionFunction(nullptr, nullptr, result, 1, 500000, args);
    EXPECT_EQ(g_extension.kind, 0);
    EXPECT_EQ(g_extension.target, 40);
    EXPECT_EQ(g_extension.refCount, 2); // a counted copy during the call
    EXPECT_EQ(text.pRefString->m_refCount, 1);
    EXPECT_EQ(result.val, 5.0);
    ZQVTL_CallExtensionFunction(nullptr, nullptr, result, 1, 500001, args);
    EXPECT_EQ(g_extension.kind, 2);
    EXPECT_EQ(g_extension.target, 500001);
    EXPECT_EQ(result.val, 6.0);
    // Another call kind, an unknown function or a non-extension id call nothing
    // and leave the result as it was.
    g_extension = {};
    for (int id : {500002, 500009, 499999, 12})
        ZQVTL_CallExtensionFunction(nullptr, nullptr, result, 1, id, args);
    EXPECT_EQ(g_extension.kind, -1);
    EXPECT_EQ(result.val, 6.0);
}
