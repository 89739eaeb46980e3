// Values in compiled code: `ZQRValue`, an RValue with constructors, a
// destructor, assignment, arithmetic by the kind table, comparisons within
// the script tolerance, increment and decrement, and indexing. The members
// are expanded into every compiled function, so numbers take inline paths
// that never allocate; everything else goes out of line.
#pragma once

#include <cmath>
#include <cstdint>
#include <type_traits>

#include "core/compare.h"
#include "core/rvalue.h"

// The tolerance of comparisons of script numbers (1e-10 at start).
extern double g_VTLMathEpsilon;
// The compiled code's variable-setting hook: code 0 passes the global object,
// code 1 a new comparison tolerance (a double). Called only when set.
extern void (*g_pSetLLVMVar)(int code, void* value);

// The kind table of the compound assignments, by the kind of self (the left
// operand); real(r), int32(r) and int64(r) are REAL_RValue, INT32_RValue and
// INT64_RValue of the right operand:
//
//   self      +=                -=, *=, /=, %=
//   real,bool self op real(r), the kind stays (floating point: /0 gives inf or NaN)
//   int32     wraps in 32 bits; for *, / and %: r int32 stays int32, r int64
//             makes self int64 (sign-extended), any other r makes self real
//   int64     wraps in 64 bits with int64(r); for *, / and %: r int32 or int64
//             stays int64, any other r makes self real
//   string    += string concatenates; += a number raises "unable to add a
//             number to string"; other operators raise the operator error
//   other     the operator error
//
// Integer division or remainder by zero never traps: self becomes the real
// result of the floating-point operation (inf, -inf or NaN for division, NaN
// for remainder). INT_MIN / -1 wraps to INT_MIN and INT_MIN % -1 is 0, in 32
// and in 64 bits.
struct ZQRValue : RValue {
    ZQRValue() {
        v64 = 0;
        flags = 0;
        kind = VALUE_UNDEFINED;
    }
    ZQRValue(int n) { SetReal(static_cast<double>(n)); }
    ZQRValue(double d) { SetReal(d); }
    // A string value holding a copy of the text (null gives a record without text).
    ZQRValue(const char* text);
    ZQRValue(const ZQRValue& other) { COPY_RValue(this, &other); }
    ZQRValue(const RValue& other) { COPY_RValue(this, &other); }
    ZQRValue(ZQRValue&& other) noexcept { RValue_MoveInto(this, &other); }
    ~ZQRValue() {
        if (RValue_NeedsRelease(this)) FREE_RValue__Pre(this);
    }

    static ZQRValue FromInt32(int32_t n) {
        ZQRValue v;
        v.v32 = n;
        v.kind = VALUE_INT32;
        return v;
    }
    static ZQRValue FromInt64(int64_t n) {
        ZQRValue v;
        v.v64 = n;
        v.kind = VALUE_INT64;
        return v;
    }
    static ZQRValue FromBool(bool b) {
        ZQRValue v(b ? 1.0 : 0.0);
        v.kind = VALUE_BOOL;
        return v;
    }
    // A view of a plain value as a compiled-code value (same layout).
    static const ZQRValue& From(const RValue& v) { return static_cast<const ZQRValue&>(v); }
    static ZQRValue& From(RValue& v) { return static_cast<ZQRValue&>(v); }

    // Assignment copies by the copy rule. The source is copied before self is
    // released, so it may live inside what self holds.
    ZQRValue& operator=(const ZQRValue& other) {
        if (IsPlain(other) && !RValue_NeedsRelease(this)) {
            CopyBits(other);
            return *this;
        }
        if (this != &other) Assign(other);
        return *this;
    }
    ZQRValue& operator=(const RValue& other) {
        if (static_cast<const RValue*>(this) != &other) Assign(other);
        return *this;
    }
    ZQRValue& operator=(ZQRValue&& other) noexcept {
        if (IsPlain(other) && !RValue_NeedsRelease(this)) {
            CopyBits(other);
            return *this;
        }
        if (this != &other) {
            RValue taken;
            RValue_MoveInto(&taken, &other);
            FREE_RValue(this);
            RValue_MoveInto(this, &taken);
        }
        return *this;
    }
    ZQRValue& operator=(double d) {
        FREE_RValue(this);
        SetReal(d);
        return *this;
    }
    ZQRValue& operator=(int n) { return *this = static_cast<double>(n); }
    ZQRValue& operator=(const char* text);

    // Compound assignment by the kind table above.
    ZQRValue& operator+=(const ZQRValue& r) {
        if (BothReal(r)) {
            val += r.val;
            return *this;
        }
        if (BothInt32(r)) {
            v32 = WrapAdd32(v32, r.v32);
            return *this;
        }
        return AddSlow(r);
    }
    ZQRValue& operator-=(const ZQRValue& r) {
        if (BothReal(r)) {
            val -= r.val;
            return *this;
        }
        if (BothInt32(r)) {
            v32 = WrapAdd32(v32, -static_cast<uint32_t>(r.v32));
            return *this;
        }
        return SubSlow(r);
    }
    ZQRValue& operator*=(const ZQRValue& r) {
        if (BothReal(r)) {
            val *= r.val;
            return *this;
        }
        if (BothInt32(r)) {
            v32 = static_cast<int32_t>(static_cast<uint32_t>(v32) * static_cast<uint32_t>(r.v32));
            return *this;
        }
        return MulSlow(r);
    }
    ZQRValue& operator/=(const ZQRValue& r) {
        if (BothReal(r)) {
            val /= r.val;
            return *this;
        }
        return DivSlow(r);
    }
    ZQRValue& operator%=(const ZQRValue& r) { return ModSlow(r); }

    // `+=` of a plain number (value + int, value + double): real and bool add
    // it, int32 and int64 add it truncated to their width, a string raises
    // "unable to add a number to string", any other kind is left unchanged.
    ZQRValue& operator+=(int n) {
        if (kind == VALUE_REAL) {
            val += n;
            return *this;
        }
        return AddIntSlow(n);
    }
    ZQRValue& operator+=(double x) {
        if (kind == VALUE_REAL) {
            val += x;
            return *this;
        }
        return AddRealSlow(x);
    }

    // Increment and decrement: reals and bools by 1.0, integers wrapping;
    // any other kind raises the operator error "++" or "--".
    ZQRValue& operator++() {
        if (Kind() == VALUE_REAL) {
            val += 1.0;
            return *this;
        }
        return StepSlow(1);
    }
    ZQRValue& operator--() {
        if (Kind() == VALUE_REAL) {
            val -= 1.0;
            return *this;
        }
        return StepSlow(-1);
    }
    ZQRValue operator++(int) {
        ZQRValue before(*this);
        ++*this;
        return before;
    }
    ZQRValue operator--(int) {
        ZQRValue before(*this);
        --*this;
        return before;
    }

    // The element at a combined index (row * 32000 + column), for reading; no
    // copy and no copy-on-write. An unowned array record takes self as owner.
    // Errors ("trying to index variable that is not an array", "first index
    // out of bounds request %d maximum size is %d", "second index out of
    // bounds request %d,%d maximum size is %d") give self for a non-array and
    // a shared undefined value for an index out of range, never a null.
    const ZQRValue& operator[](int index);
    const ZQRValue& operator[](int index) const;

    // Truth: the real conversion is greater than 0.5.
    bool IsTrue() const { return kind == VALUE_REAL ? val > 0.5 : REAL_RValue_Ex(this) > 0.5; }
    explicit operator bool() const { return IsTrue(); }

    double ToReal() const { return REAL_RValue(this); }
    int32_t ToInt32() const { return INT32_RValue(this); }
    int64_t ToInt64() const { return INT64_RValue(this); }

private:
    // Numbers and undefined: copying them is copying their 16 bytes.
    static bool IsPlain(const RValue& v) {
        uint32_t k = v.kind & MASK_KIND_RVALUE;
        constexpr uint32_t kPlain = 1u << VALUE_REAL | 1u << VALUE_UNDEFINED | 1u << VALUE_INT32 |
                                    1u << VALUE_INT64 | 1u << VALUE_BOOL;
        return k < 32 && ((1u << k) & kPlain) != 0;
    }
    void CopyBits(const RValue& v) { RValue_CopyBits(this, &v); }
    void SetReal(double d) {
        val = d;
        flags = 0;
        kind = VALUE_REAL;
    }
    void Assign(const RValue& other) {
        RValue copy;
        COPY_RValue(&copy, &other);
        FREE_RValue(this);
        RValue_MoveInto(this, &copy);
    }
    bool BothReal(const RValue& r) const { return ((kind | r.kind) & MASK_KIND_RVALUE) == VALUE_REAL; }
    bool BothInt32(const RValue& r) const {
        return (kind & MASK_KIND_RVALUE) == VALUE_INT32 && (r.kind & MASK_KIND_RVALUE) == VALUE_INT32;
    }
    static int32_t WrapAdd32(int32_t a, uint32_t b) {
        return static_cast<int32_t>(static_cast<uint32_t>(a) + b);
    }

    ZQRValue& AddSlow(const ZQRValue& r);
    ZQRValue& SubSlow(const ZQRValue& r);
    ZQRValue& MulSlow(const ZQRValue& r);
    ZQRValue& DivSlow(const ZQRValue& r);
    ZQRValue& ModSlow(const ZQRValue& r);
    ZQRValue& AddIntSlow(int n);
    ZQRValue& AddRealSlow(double x);
    ZQRValue& StepSlow(int delta);
};
static_assert(sizeof(ZQRValue) == sizeof(RValue),
              "compiled code passes ZQRValues where RValues are expected");
static_assert(std::is_standard_layout_v<ZQRValue>);

// Raises "invalid type for %s lhs=%s (type=%d), rhs=%s (type=%d)" with the
// operator and the two operands' text forms and kinds.
void ZQOpError(const char* op, const RValue& lhs, const RValue& rhs);

// ---------------------------------------------------------------------------
// Binary operators: a copy of the left operand (an int or double left operand
// becomes a real), the compound assignment with the right one, and the copy
// returned. Value + int and value + double use the plain-number `+=`.

namespace zq_detail {
inline ZQRValue RealLike(double d, const RValue& left) {
    ZQRValue v(d);
    v.flags = left.flags;
    return v;
}
} // namespace zq_detail

inline ZQRValue operator+(const ZQRValue& a, const ZQRValue& b) {
    if (((a.kind | b.kind) & MASK_KIND_RVALUE) == VALUE_REAL) return zq_detail::RealLike(a.val + b.val, a);
    ZQRValue r(a);
    r += b;
    return r;
}
inline ZQRValue operator+(const ZQRValue& a, int n) {
    if (a.kind == VALUE_REAL) return zq_detail::RealLike(a.val + n, a);
    ZQRValue r(a);
    r += n;
    return r;
}
inline ZQRValue operator+(const ZQRValue& a, double x) {
    if (a.kind == VALUE_REAL) return zq_detail::RealLike(a.val + x, a);
    ZQRValue r(a);
    r += x;
    return r;
}
inline ZQRValue operator+(int n, const ZQRValue& b) {
    ZQRValue r(n);
    r += b;
    return r;
}
inline ZQRValue operator+(double x, const ZQRValue& b) {
    ZQRValue r(x);
    r += b;
    return r;
}

#define ZQ_RVALUE_BINARY_OPERATOR(OP, COMPOUND)                                                              \
    inline ZQRValue operator OP(const ZQRValue& a, const ZQRValue& b) {                                      \
        if (((a.kind | b.kind) & MASK_KIND_RVALUE) == VALUE_REAL)                                            \
            return zq_detail::RealLike(a.val OP b.val, a);                                                   \
        ZQRValue r(a);                                                                                       \
        r COMPOUND b;                                                                                        \
        return r;                                                                                            \
    }                                                                                                        \
    inline ZQRValue operator OP(const ZQRValue& a, double x) {                                               \
        if ((a.kind & MASK_KIND_RVALUE) == VALUE_REAL) return zq_detail::RealLike(a.val OP x, a);            \
        ZQRValue r(a);                                                                                       \
        r COMPOUND ZQRValue(x);                                                                              \
        return r;                                                                                            \
    }                                                                                                        \
    inline ZQRValue operator OP(const ZQRValue& a, int n) {                                                  \
        return a OP static_cast<double>(n);                                                                  \
    }                                                                                                        \
    inline ZQRValue operator OP(double x, const ZQRValue& b) {                                               \
        ZQRValue r(x);                                                                                       \
        r COMPOUND b;                                                                                        \
        return r;                                                                                            \
    }                                                                                                        \
    inline ZQRValue operator OP(int n, const ZQRValue& b) {                                                  \
        return static_cast<double>(n) OP b;                                                                  \
    }

ZQ_RVALUE_BINARY_OPERATOR(-, -=)
ZQ_RVALUE_BINARY_OPERATOR(*, *=)
ZQ_RVALUE_BINARY_OPERATOR(/, /=)
#undef ZQ_RVALUE_BINARY_OPERATOR

// Negation: reals and bools negate (a bool becomes a real), integers wrap
// (INT_MIN stays INT_MIN); any other kind raises the operator error "-".
ZQRValue ZQRValue_NegateSlow(const ZQRValue& a);
inline ZQRValue operator-(const ZQRValue& a) {
    if (a.kind == VALUE_REAL) return zq_detail::RealLike(-a.val, a);
    return ZQRValue_NegateSlow(a);
}

// Remainder has no two-reals shortcut: fmod is a call in any case.
inline ZQRValue operator%(const ZQRValue& a, const ZQRValue& b) {
    ZQRValue r(a);
    r %= b;
    return r;
}
inline ZQRValue operator%(const ZQRValue& a, double x) {
    return a % ZQRValue(x);
}
inline ZQRValue operator%(const ZQRValue& a, int n) {
    return a % ZQRValue(n);
}
inline ZQRValue operator%(double x, const ZQRValue& b) {
    return ZQRValue(x) % b;
}
inline ZQRValue operator%(int n, const ZQRValue& b) {
    return ZQRValue(n) % b;
}

// ---------------------------------------------------------------------------
// Comparisons.

// Equality with a number: true only for a real, int32, int64 or bool within
// g_VTLMathEpsilon of it (a kind word of 14 or more, marks included, is never
// equal). C++ derives != and the reversed forms from these.
bool ZQRValue_EqualsNumber(const RValue& a, double x);
inline bool operator==(const ZQRValue& a, double x) {
    if (a.kind == VALUE_REAL) return std::fabs(a.val - x) <= g_VTLMathEpsilon;
    return ZQRValue_EqualsNumber(a, x);
}
inline bool operator==(const ZQRValue& a, int n) {
    return a == static_cast<double>(n);
}

// Equality and order between two values: ZQCompareVal within g_VTLMathEpsilon.
inline bool operator==(const ZQRValue& a, const ZQRValue& b) {
    return ZQCompareVal(a, b, g_VTLMathEpsilon) == 0;
}
inline bool operator<(const ZQRValue& a, const ZQRValue& b) {
    return ZQCompareVal(a, b, g_VTLMathEpsilon) < 0;
}
inline bool operator<=(const ZQRValue& a, const ZQRValue& b) {
    return ZQCompareVal(a, b, g_VTLMathEpsilon) <= 0;
}
inline bool operator>(const ZQRValue& a, const ZQRValue& b) {
    return ZQCompareVal(a, b, g_VTLMathEpsilon) > 0;
}
inline bool operator>=(const ZQRValue& a, const ZQRValue& b) {
    return ZQCompareVal(a, b, g_VTLMathEpsilon) >= 0;
}
inline bool operator<(const ZQRValue& a, double x) {
    return ZQCompareVal(a, RValue_Real(x), g_VTLMathEpsilon) < 0;
}
inline bool operator<=(const ZQRValue& a, double x) {
    return ZQCompareVal(a, RValue_Real(x), g_VTLMathEpsilon) <= 0;
}
inline bool operator>(const ZQRValue& a, double x) {
    return ZQCompareVal(a, RValue_Real(x), g_VTLMathEpsilon) > 0;
}
inline bool operator>=(const ZQRValue& a, double x) {
    return ZQCompareVal(a, RValue_Real(x), g_VTLMathEpsilon) >= 0;
}
inline bool operator<(double x, const ZQRValue& b) {
    return ZQCompareVal(RValue_Real(x), b, g_VTLMathEpsilon) < 0;
}
inline bool operator<=(double x, const ZQRValue& b) {
    return ZQCompareVal(RValue_Real(x), b, g_VTLMathEpsilon) <= 0;
}
inline bool operator>(double x, const ZQRValue& b) {
    return ZQCompareVal(RValue_Real(x), b, g_VTLMathEpsilon) > 0;
}
inline bool operator>=(double x, const ZQRValue& b) {
    return ZQCompareVal(RValue_Real(x), b, g_VTLMathEpsilon) >= 0;
}
