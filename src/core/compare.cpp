// The three-way value comparison beyond the two-reals fast path: mixed
// numbers, strings, identity kinds and the order between kinds.
#include "core/compare.h"

#include <cstring>

#include "core/real_to_int.h"

namespace {

bool IsRealOrBool(uint32_t kind) {
    return kind == VALUE_REAL || kind == VALUE_BOOL;
}

bool IsInteger(uint32_t kind) {
    return kind == VALUE_INT32 || kind == VALUE_INT64;
}

bool IsNumber(uint32_t kind) {
    return IsRealOrBool(kind) || IsInteger(kind);
}

int SignBeyond(double d, double epsilon) {
    if (d > epsilon) return 1;
    if (d < -epsilon) return -1;
    return 0;
}

int Order(int64_t x, int64_t y) {
    return x < y ? -1 : (x > y ? 1 : 0);
}

// Pointers and other identities: a lower address sorts after a higher one.
int OrderAddresses(uint64_t x, uint64_t y) {
    return x < y ? 1 : (x > y ? -1 : 0);
}

// A number side as an integer against an integer of kind `other`: int32 and
// int64 as they are; a real or bool truncated to the other side's width.
int64_t AsInteger(const RValue& v, uint32_t other) {
    switch (v.Kind()) {
        case VALUE_INT32: return v.v32;
        case VALUE_INT64: return v.v64;
        default: return other == VALUE_INT32 ? RealToInt32(v.val) : RealToInt64(v.val);
    }
}

const char* TextOf(const RValue& v) {
    return v.pRefString != nullptr && v.pRefString->Get() != nullptr ? v.pRefString->Get() : "";
}

// Kinds without a number row: numbers first, then by kind number.
int64_t Rank(uint32_t kind) {
    return IsNumber(kind) ? -1 : static_cast<int64_t>(kind);
}

} // namespace

int ZQCompareVal_Slow(const RValue& a, const RValue& b, double epsilon) {
    uint32_t ka = a.Kind();
    uint32_t kb = b.Kind();
    if (IsRealOrBool(ka) && IsRealOrBool(kb)) return SignBeyond(a.val - b.val, epsilon);
    if ((ka == VALUE_REAL && kb == VALUE_INT32) || (ka == VALUE_INT32 && kb == VALUE_REAL)) {
        float fa = ka == VALUE_REAL ? static_cast<float>(a.val) : static_cast<float>(a.v32);
        float fb = kb == VALUE_REAL ? static_cast<float>(b.val) : static_cast<float>(b.v32);
        float d = fa - fb;
        return SignBeyond(d, epsilon);
    }
    if (IsNumber(ka) && IsNumber(kb)) {
        // Every remaining pair of numbers has an integer on at least one side.
        uint32_t widthA = IsInteger(kb) ? kb : ka;
        uint32_t widthB = IsInteger(ka) ? ka : kb;
        return Order(AsInteger(a, widthA), AsInteger(b, widthB));
    }
    if (ka != kb) return Order(Rank(ka), Rank(kb));
    switch (ka) {
        case VALUE_STRING: {
            int c = std::strcmp(TextOf(a), TextOf(b));
            return c < 0 ? -1 : (c > 0 ? 1 : 0);
        }
        case VALUE_UNDEFINED:
        case VALUE_NULL:
        case VALUE_UNSET: return 0;
        case VALUE_ITERATOR:
            return OrderAddresses(static_cast<uint32_t>(a.v32), static_cast<uint32_t>(b.v32));
        default:
            return OrderAddresses(reinterpret_cast<uintptr_t>(a.ptr), reinterpret_cast<uintptr_t>(b.ptr));
    }
}
