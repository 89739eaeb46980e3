// Argument getters: one table of getter x kind with results and messages,
// short argument vectors, the scratch texts of ZQGetString, and nesting of
// the per-call scope.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cinttypes>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/arguments.h"
#include "core/js_convert.h"
#include "core/object_base.h"
#include "error_capture.h"
#include "test_values.h"

namespace {

RFunction MakeEntry(const char* name) {
    RFunction entry = {};
    std::snprintf(entry.f_name, sizeof entry.f_name, "%s", name);
    entry.f_argnumb = -1;
    entry.f_reserved = -1;
    return entry;
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char text[128];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// The nine getters, each giving its result as text.
struct Getter {
    const char* name;
    const char* expecting;
    std::string (*read)(const RValue* args, int index);
};

const Getter kGetters[] = {
    {"ZQGetReal", "a Number (ZQGR)", [](const RValue* a, int i) { return Format("%.17g", ZQGetReal(a, i)); }},
    {"ZQGetFloat", "a Number (ZQGF)",
     [](const RValue* a, int i) { return Format("%.9g", static_cast<double>(ZQGetFloat(a, i))); }},
    {"ZQGetInt32", "a Number (ZQGI32)",
     [](const RValue* a, int i) { return Format("%d", ZQGetInt32(a, i)); }},
    {"ZQGetUint32", "a Number (ZQGU32)",
     [](const RValue* a, int i) { return Format("%u", ZQGetUint32(a, i)); }},
    {"ZQGetInt64", "a Number", [](const RValue* a, int i) { return Format("%" PRId64, ZQGetInt64(a, i)); }},
    {"ZQGetBool", "a Number (ZQGB)",
     [](const RValue* a, int i) { return std::string(ZQGetBool(a, i) ? "true" : "false"); }},
    {"ZQGetPtrOrInt", "a Number or Pointer",
     [](const RValue* a, int i) { return Format("%" PRIdPTR, ZQGetPtrOrInt(a, i)); }},
    {"ZQGetPtr", "a Pointer",
     [](const RValue* a, int i) { return std::string(ZQGetPtr(a, i) ? "ptr" : "null"); }},
    {"ZQGetString", "a String (ZQGS)",
     [](const RValue* a, int i) {
         const char* text = ZQGetString(a, i);
         return std::string(text != nullptr ? text : "null");
     }},
};
constexpr int kGetterCount = sizeof kGetters / sizeof kGetters[0];
// What each getter gives back after raising its message.
const char* const kFallbacks[kGetterCount] = {"0", "0", "0", "0", "0", "false", "-1", "null", "null"};

ZQObjectBase g_plainObject;
int g_pointee;

} // namespace

// Each cell is the getter's result, or "!" and the kind name its message
// prints (the getter then returns its fallback).
TEST(Arguments, GetterByKindTable) {
    RValue ptr = OfKind(VALUE_PTR);
    ptr.ptr = &g_pointee;
    const std::string address = Format("%" PRIdPTR, reinterpret_cast<intptr_t>(&g_pointee));
    RValue object = OfKind(VALUE_OBJECT);
    object.pObj = &g_plainObject;

    struct Row {
        RValue value;
        std::vector<std::string> cells; // Real Float Int32 Uint32 Int64 Bool PtrOrInt Ptr String
    } rows[] = {
        {Real(2.5), {"2.5", "2.5", "2", "2", "2", "true", "2", "!number", "2.50"}},
        {Real(-1), {"-1", "-1", "-1", "4294967295", "-1", "false", "-1", "!number", "-1"}},
        {Real(3e9),
         {"3000000000", "3e+09", "-1294967296", "3000000000", "3000000000", "true", "3000000000", "!number",
          "3000000000"}},
        {Real(0.5), {"0.5", "0.5", "0", "0", "0", "false", "0", "!number", "0.50"}},
        {Real(0.51), {"0.51000000000000001", "0.50999999", "0", "0", "0", "true", "0", "!number", "0.51"}},
        {Real(NAN),
         {"nan", "nan", "0", "0", "-9223372036854775808", "true", "-9223372036854775808", "!number", "nan"}},
        {Bool(true), {"1", "1", "1", "1", "1", "true", "!bool", "!bool", "1"}},
        {Int32(-3), {"-3", "-3", "-3", "4294967293", "-3", "false", "-3", "!int32", "-3"}},
        {Int64((int64_t{1} << 40) + 5),
         {"1099511627781", "1.09951163e+12", "5", "5", "1099511627781", "true", "1099511627781", "!int64",
          "1099511627781"}},
        {Str("12"), {"12", "!string", "12", "12", "12", "!string", "!string", "!string", "12"}},
        {Str(" 0x10 "), {"16", "!string", "16", "16", "16", "!string", "!string", "!string", " 0x10 "}},
        {Str("abc"),
         {"nan", "!string", "0", "0", "-9223372036854775808", "!string", "!string", "!string", "abc"}},
        {OfKind(VALUE_STRING), {"0", "!string", "0", "0", "0", "!string", "!string", "!string", "null"}},
        {RValue_Undefined(),
         {"!undefined", "!undefined", "!undefined", "!undefined", "!undefined", "!undefined", "!undefined",
          "!undefined", "!undefined"}},
        {OfKind(VALUE_ARRAY),
         {"!array", "!array", "!array", "!array", "!array", "!array", "!array", "!array", "!array"}},
        {ptr, {"!ptr", "!ptr", "!ptr", "!ptr", "!ptr", "!ptr", address, "ptr", "!ptr"}},
        {object,
         {"!unknown", "!object", "!unknown", "!unknown", "!unknown", "!object", "!object", "!object", ""}},
        {OfKind(VALUE_UNSET),
         {"!unknown", "!unknown", "!unknown", "!unknown", "!unknown", "!unknown", "!unknown", "!unknown",
          "!unknown"}},
        {OfKind(VALUE_NULL),
         {"!null", "!null", "!null", "!null", "!null", "!null", "!null", "!null", "!null"}},
        {OfKind(VALUE_VEC3),
         {"!vec3", "!vec3", "!vec3", "!vec3", "!vec3", "!vec3", "!vec3", "!vec3", "!vec3"}},
        {OfKind(VALUE_ACCESSOR),
         {"!accessor", "!accessor", "!accessor", "!accessor", "!accessor", "!accessor", "!accessor",
          "!accessor", "!accessor"}},
        {OfKind(VALUE_ITERATOR),
         {"!iterator", "!iterator", "!iterator", "!iterator", "!iterator", "!iterator", "!iterator",
          "!iterator", "!iterator"}},
    };

    ErrorCapture errors;
    RFunction entry = MakeEntry("draw_thing");
    for (Row& row : rows) {
        RValue args[2] = {Real(0), row.value};
        ASSERT_EQ(row.cells.size(), static_cast<size_t>(kGetterCount));
        for (int g = 0; g < kGetterCount; ++g) {
            SCOPED_TRACE(std::string(kGetters[g].name) + " of " + KindName(&row.value) + " cell " +
                         row.cells[g]);
            errors.Clear();
            ZQBuiltinCall call(&entry, args, 2);
            std::string result = kGetters[g].read(args, 1);
            const std::string& cell = row.cells[g];
            if (cell[0] == '!') {
                EXPECT_EQ(result, kFallbacks[g]);
                ASSERT_EQ(errors.Count(), 1);
                EXPECT_EQ(errors.LastMessage(), "draw_thing argument 2 incorrect type (" + cell.substr(1) +
                                                    ") expecting " + kGetters[g].expecting);
            } else {
                EXPECT_EQ(result, cell);
                EXPECT_EQ(errors.Count(), 0) << errors.LastMessage();
            }
        }
        FREE_RValue(&row.value);
    }
    ZQObjectBase callable;
    callable.m_kind = OBJECT_KIND_SCRIPTREF;
    RValue method = OfKind(VALUE_OBJECT);
    method.pObj = &callable;
    ZQBuiltinCall call(&entry, &method, 1);
    ZQGetFloat(&method, 0);
    EXPECT_EQ(errors.LastMessage(),
              "draw_thing argument 1 incorrect type (method) expecting a Number (ZQGF)");
}

TEST(Arguments, ObjectsConvertThroughTheirPrimitiveValue) {
    g_pfnObjectToPrimitive = [](ZQObjectBase*, RValue& out, int hint) {
        EXPECT_EQ(hint, 0);
        out = RValue_Real(7.75);
        return 0;
    };
    RValue object = OfKind(VALUE_OBJECT);
    object.pObj = &g_plainObject;
    EXPECT_EQ(ZQGetReal(&object, 0), 7.75);
    EXPECT_EQ(ZQGetInt32(&object, 0), 7);
    EXPECT_EQ(ZQGetInt64(&object, 0), 7);
    g_pfnObjectToPrimitive = nullptr;
}

TEST(Arguments, ShortCallsReadUndefinedNotPastTheVector) {
    ErrorCapture errors;
    RFunction entry = MakeEntry("instance_create");
    auto args = std::make_unique<RValue[]>(1); // exactly one value: the sanitizer sees any read past it
    args[0] = Real(4);
    {
        ZQBuiltinCall call(&entry, args.get(), 1);
        EXPECT_EQ(ZQGetReal(args.get(), 0), 4.0);
        EXPECT_EQ(ZQGetReal(args.get(), 1), 0.0);
        EXPECT_EQ(errors.LastMessage(),
                  "instance_create argument 2 incorrect type (undefined) expecting a Number (ZQGR)");
        EXPECT_EQ(ZQGetString(args.get(), 2), nullptr);
        EXPECT_EQ(errors.LastMessage(),
                  "instance_create argument 3 incorrect type (undefined) expecting a String (ZQGS)");
        EXPECT_EQ(ZQGetInt32(args.get(), -1), 0);
        EXPECT_EQ(errors.LastMessage(),
                  "instance_create argument 0 incorrect type (undefined) expecting a Number (ZQGI32)");
    }
    EXPECT_EQ(g_pFunction, nullptr);
    EXPECT_EQ(g_pFunctionArgs, nullptr);
}

TEST(Arguments, StringsAreSharedAndOtherTextsLiveForTheCall) {
    RFunction outer = MakeEntry("outer");
    RFunction inner = MakeEntry("inner");
    RValue args[2] = {Str("shared"), Real(2.5)};
    {
        ZQBuiltinCall call(&outer, args, 2);
        const char* first = ZQGetString(args, 0);
        EXPECT_EQ(first, args[0].pRefString->Get());
        EXPECT_EQ(ZQGetString(args, 0), first);
        EXPECT_EQ(ZQArgumentScratch_Count(), 0);

        const char* number = ZQGetString(args, 1);
        EXPECT_STREQ(number, "2.50");
        EXPECT_NE(ZQGetString(args, 1), number) << "each call makes a new text";
        EXPECT_EQ(ZQArgumentScratch_Count(), 2);
        {
            ZQBuiltinCall nested(&inner, args + 1, 1);
            EXPECT_EQ(g_pFunction, &inner);
            ZQGetString(args + 1, 0);
            EXPECT_EQ(ZQArgumentScratch_Count(), 3);
        }
        EXPECT_EQ(g_pFunction, &outer);
        EXPECT_EQ(ZQArgumentScratch_Count(), 2) << "the nested call freed only its own text";
        EXPECT_STREQ(number, "2.50");
    }
    EXPECT_EQ(ZQArgumentScratch_Count(), 0);

    // Outside any call the texts wait for the per-step release.
    ZQGetString(args, 1);
    EXPECT_EQ(ZQArgumentScratch_Count(), 1);
    ZQArgumentScratch_Release();
    EXPECT_EQ(ZQArgumentScratch_Count(), 0);
    FREE_RValue(&args[0]);
}
