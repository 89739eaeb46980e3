// Script values for tests.
#include "test_values.h"

#include "core/memory_manager.h"
#include "core/ref_string.h"
#include "core/value_text.h"

RValue Real(double d) {
    return RValue_Real(d);
}

RValue Bool(bool b) {
    RValue v = RValue_Real(b ? 1.0 : 0.0);
    v.kind = VALUE_BOOL;
    return v;
}

RValue Int32(int32_t n) {
    RValue v = OfKind(VALUE_INT32);
    v.v32 = n;
    return v;
}

RValue Int64(int64_t n) {
    RValue v = OfKind(VALUE_INT64);
    v.v64 = n;
    return v;
}

RValue Str(const char* text) {
    RValue v = RValue_Undefined();
    ZQSetString(&v, text);
    return v;
}

RValue OfKind(uint32_t kind) {
    RValue v = RValue_Undefined();
    v.kind = kind;
    return v;
}

ZQRValue I32(int32_t n) {
    return ZQRValue::FromInt32(n);
}

ZQRValue I64(int64_t n) {
    return ZQRValue::FromInt64(n);
}

std::string Text(const RValue& v) {
    char* text = Value_ToText(&v);
    std::string s = text != nullptr ? text : "<null>";
    ZQ_Free(text);
    return s;
}

std::string TextOf(const RValue& v) {
    return v.Kind() == VALUE_STRING && v.pRefString != nullptr && v.pRefString->Get() != nullptr
               ? v.pRefString->Get()
               : std::string();
}
