// ToNumber and the callable test of the script object runtime.
//
// The number grammar: white space (below) is skipped at both ends; what is
// left must be a hexadecimal integer "0x..." (accumulated in 32-bit
// two's-complement arithmetic, so 0xFFFFFFFF is -1), "Infinity" with an
// optional sign, or a decimal that the C library's strtod reads from its
// first character (which must be a sign, a point or a digit). Anything else,
// including trailing characters, gives NaN; an empty text gives +0.
#include "core/js_convert.h"

#include <cstdlib>
#include <cstring>
#include <limits>

#include <utf8proc.h>

#include "core/error.h"
#include "core/object_base.h"

int (*g_pfnObjectToPrimitive)(ZQObjectBase* object, RValue& out, int hint) = nullptr;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Decodes one UTF-8 code point at p; a malformed sequence yields its first
// byte as a code point of its own, so decoding always advances.
uint32_t DecodeCodePoint(const unsigned char* p, int* length) {
    utf8proc_int32_t cp;
    utf8proc_ssize_t n = utf8proc_iterate(p, -1, &cp);
    if (n <= 0) {
        *length = 1;
        return p[0];
    }
    *length = static_cast<int>(n);
    return static_cast<uint32_t>(cp);
}

const unsigned char* SkipWhitespace(const unsigned char* p) {
    while (*p != '\0') {
        int length;
        uint32_t c = DecodeCodePoint(p, &length);
        if (!JS_IsNumberWhitespace(c)) break;
        p += length;
    }
    return p;
}

int HexDigit(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool StartsWith(const unsigned char* p, const char* word) {
    return std::strncmp(reinterpret_cast<const char*>(p), word, std::strlen(word)) == 0;
}

void SetReal(RValue& out, double d) {
    FREE_RValue(&out);
    out.val = d;
    out.kind = VALUE_REAL;
}

} // namespace

bool JS_IsNumberWhitespace(uint32_t c) {
    c &= 0xFFFF;
    if ((c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0xA0 || c == 0x2028) return true;
    if (c < 0xA1) return false;
    utf8proc_category_t category = utf8proc_category(static_cast<utf8proc_int32_t>(c));
    return category == UTF8PROC_CATEGORY_MC ||
           (category >= UTF8PROC_CATEGORY_ZS && category <= UTF8PROC_CATEGORY_CO);
}

double JS_StringToNumber(const char* text) {
    if (text == nullptr || text[0] == '\0') return 0.0;
    const auto* p = SkipWhitespace(reinterpret_cast<const unsigned char*>(text));
    if (*p == '\0') return 0.0;

    double result;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        p += 2;
        if (HexDigit(*p) < 0) return kNaN;
        uint32_t accumulator = 0;
        for (int digit; (digit = HexDigit(*p)) >= 0; ++p)
            accumulator = accumulator * 16u + static_cast<uint32_t>(digit);
        result = static_cast<int32_t>(accumulator);
    } else if (StartsWith(p, "+Infinity")) {
        result = kInfinity;
        p += 9;
    } else if (StartsWith(p, "-Infinity")) {
        result = -kInfinity;
        p += 9;
    } else if (StartsWith(p, "Infinity")) {
        result = kInfinity;
        p += 8;
    } else if (*p == '+' || *p == '-' || *p == '.' || (*p >= '0' && *p <= '9')) {
        char* end;
        result = std::strtod(reinterpret_cast<const char*>(p), &end);
        p = reinterpret_cast<const unsigned char*>(end);
    } else {
        return kNaN;
    }
    return *SkipWhitespace(p) == '\0' ? result : kNaN;
}

int F_JS_ToNumber(RValue& out, const RValue& in) {
    switch (in.Kind()) {
        case VALUE_REAL:
        case VALUE_BOOL: SetReal(out, in.val); return JS_CONVERT_DONE;
        case VALUE_INT32: SetReal(out, in.v32); return JS_CONVERT_DONE;
        case VALUE_INT64: SetReal(out, static_cast<double>(in.v64)); return JS_CONVERT_DONE;
        case VALUE_UNDEFINED: SetReal(out, kNaN); return JS_CONVERT_DONE;
        case VALUE_NULL: SetReal(out, 0.0); return JS_CONVERT_DONE;
        case VALUE_STRING:
            SetReal(out, JS_StringToNumber(in.pRefString != nullptr ? in.pRefString->Get() : nullptr));
            return JS_CONVERT_DONE;
        case VALUE_OBJECT: {
            if (in.pObj == nullptr || g_pfnObjectToPrimitive == nullptr) return JS_CONVERT_FAILED;
            RValue primitive;
            primitive.v64 = 0;
            primitive.flags = 0;
            primitive.kind = VALUE_UNSET;
            int status = g_pfnObjectToPrimitive(in.pObj, primitive, 0);
            if (status == JS_CONVERT_DONE && primitive.Kind() == VALUE_OBJECT) status = JS_CONVERT_FAILED;
            if (status == JS_CONVERT_DONE) status = F_JS_ToNumber(out, primitive);
            FREE_RValue(&primitive);
            return status;
        }
        default: return JS_CONVERT_DONE;
    }
}

bool JS_IsCallable_Object(const ZQObjectBase* object) {
    return object != nullptr && object->m_kind == OBJECT_KIND_SCRIPTREF;
}

bool JS_IsCallable(const RValue& v) {
    switch (v.Kind()) {
        case VALUE_OBJECT: return JS_IsCallable_Object(v.pObj);
        case VALUE_REAL:
        case VALUE_STRING:
        case VALUE_UNDEFINED:
        case VALUE_INT32:
        case VALUE_INT64:
        case VALUE_ACCESSOR:
        case VALUE_BOOL: return false;
        default: ZQError("unhandled type for JS_IsCallable %d", static_cast<int>(v.Kind())); return false;
    }
}
