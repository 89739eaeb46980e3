// Values in compiled code: `ZQRValue`, an RValue with constructors, a
// destructor, assignment, arithmetic by the kind table, comparisons within
// the script tolerance, increment and decrement, and indexing. The members
// are expanded into every compiled function, so numbers take inline paths
// that never allocate; everything else goes out of line.
#pragma once

#include <bit>
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

// The out-of-line paths of the operators. They take and return values as
// plain 16-byte bits, never an address: a temporary whose address reached a
// call could not be kept in registers, so every step of a chained
// expression would go through memory. The compound forms take over self's
// references and return the result, which the caller stores back into self
// (an array's owner therefore stays valid). The Copy forms are the binary
// operators: a copy of the left operand (its references counted, but an
// array record not yet claimed) combined with the right one; the caller's
// result takes the claim (ZQRValue's adopting constructor).
namespace zq_detail {
RValue Add(RValue self, RValue r);
RValue Sub(RValue self, RValue r);
RValue Mul(RValue self, RValue r);
RValue Div(RValue self, RValue r);
RValue Mod(RValue self, RValue r);
RValue AddCopy(RValue a, RValue b);
RValue SubCopy(RValue a, RValue b);
RValue MulCopy(RValue a, RValue b);
RValue DivCopy(RValue a, RValue b);
RValue ModCopy(RValue a, RValue b);
RValue AddInt(RValue self, int n);
RValue AddIntCopy(RValue a, int n);
RValue AddReal(RValue self, double x);
RValue AddRealCopy(RValue a, double x);
RValue Step(RValue self, int delta);
RValue Negate(RValue a);
// The release rule's out-of-line part for a value of kind string to vec3
// whose array record (if any) no longer names it as owner.
void Release(RValue v);
} // namespace zq_detail

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
    // Moving keeps an array's owner naming the value at its new address.
    ZQRValue(ZQRValue&& other) noexcept {
        CopyBits(other);
        if (Kind() == VALUE_ARRAY && pRefArray != nullptr && pRefArray->m_Owner == &other)
            pRefArray->m_Owner = this;
        other.SetUndefined();
    }
    ~ZQRValue() {
        if (RValue_NeedsRelease(this)) ReleaseHeld();
    }

    // Takes over the references of a value made by an out-of-line path; an
    // unowned array record takes the new value as owner, as a copy would.
    enum AdoptTag { kAdopt };
    ZQRValue(AdoptTag, const RValue& bits) {
        CopyBits(bits);
        if (Kind() == VALUE_ARRAY && pRefArray != nullptr && pRefArray->m_Owner == nullptr)
            pRefArray->m_Owner = this;
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
            // Take other's value first: it may live inside what self holds.
            RValue taken;
            taken.val = other.val;
            taken.flags = other.flags;
            taken.kind = other.kind;
            bool owned = (taken.kind & MASK_KIND_RVALUE) == VALUE_ARRAY && taken.pRefArray != nullptr &&
                         taken.pRefArray->m_Owner == &other;
            if (owned) taken.pRefArray->m_Owner = nullptr;
            other.SetUndefined();
            if (RValue_NeedsRelease(this)) ReleaseHeld();
            CopyBits(taken);
            if (owned) pRefArray->m_Owner = this;
        }
        return *this;
    }
    ZQRValue& operator=(double d) {
        if (RValue_NeedsRelease(this)) ReleaseHeld();
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
        return Store(zq_detail::Add(*this, r));
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
        return Store(zq_detail::Sub(*this, r));
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
        return Store(zq_detail::Mul(*this, r));
    }
    ZQRValue& operator/=(const ZQRValue& r) {
        if (BothReal(r)) {
            val /= r.val;
            return *this;
        }
        return Store(zq_detail::Div(*this, r));
    }
    ZQRValue& operator%=(const ZQRValue& r) { return Store(zq_detail::Mod(*this, r)); }

    // `+=` of a plain number (value + int, value + double): real and bool add
    // it, int32 and int64 add it truncated to their width, a string raises
    // "unable to add a number to string", any other kind is left unchanged.
    ZQRValue& operator+=(int n) {
        if (kind == VALUE_REAL) {
            val += n;
            return *this;
        }
        return Store(zq_detail::AddInt(*this, n));
    }
    ZQRValue& operator+=(double x) {
        if (kind == VALUE_REAL) {
            val += x;
            return *this;
        }
        return Store(zq_detail::AddReal(*this, x));
    }

    // Increment and decrement: reals and bools by 1.0, integers wrapping;
    // any other kind raises the operator error "++" or "--".
    ZQRValue& operator++() {
        if (Kind() == VALUE_REAL) {
            val += 1.0;
            return *this;
        }
        return Store(zq_detail::Step(*this, 1));
    }
    ZQRValue& operator--() {
        if (Kind() == VALUE_REAL) {
            val -= 1.0;
            return *this;
        }
        return Store(zq_detail::Step(*this, -1));
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
    // Copies the payload as a double: arithmetic reads it as one, and a
    // single access type lets the compiler keep a temporary in registers.
    // Loads and stores of a double move its bits unchanged.
    void CopyBits(const RValue& v) {
        val = v.val;
        flags = v.flags;
        kind = v.kind;
    }
    void SetReal(double d) {
        val = d;
        flags = 0;
        kind = VALUE_REAL;
    }
    void SetUndefined() {
        v64 = 0;
        flags = 0;
        kind = VALUE_UNDEFINED;
    }
    // The release rule for a value that needs it. Only an array's owner is
    // compared with self here; the rest goes out of line on a copy of the
    // bits, so self's address reaches no call.
    void ReleaseHeld() {
        if (Kind() == VALUE_ARRAY && pRefArray != nullptr && pRefArray->m_Owner == this)
            pRefArray->m_Owner = nullptr;
        zq_detail::Release(*this);
    }
    // Stores the result of an out-of-line compound path (which took over
    // self's references) back into self. Copied as an integer: a double
    // there would make the compiler keep self's payload in a floating-point
    // register across the int32 paths, reloading it after their 4-byte
    // stores (a store-forwarding stall).
    ZQRValue& Store(const RValue& result) {
        v64 = result.v64;
        flags = result.flags;
        kind = result.kind;
        return *this;
    }
    void Assign(const RValue& other) {
        RValue copy;
        COPY_RValue(&copy, &other);
        if (RValue_NeedsRelease(this)) ReleaseHeld();
        RValue_MoveInto(this, &copy);
    }
    bool BothReal(const RValue& r) const { return ((kind | r.kind) & MASK_KIND_RVALUE) == VALUE_REAL; }
    bool BothInt32(const RValue& r) const {
        return (kind & MASK_KIND_RVALUE) == VALUE_INT32 && (r.kind & MASK_KIND_RVALUE) == VALUE_INT32;
    }
    static int32_t WrapAdd32(int32_t a, uint32_t b) {
        return static_cast<int32_t>(static_cast<uint32_t>(a) + b);
    }
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
// Two int32 operands: the left operand's value with the wrapped result in the
// low half of the payload. The payload is read and written as a double (as
// bits), the one access type the real paths use, so that a temporary stays
// in registers whichever path made it.
inline uint64_t PayloadBits(const RValue& v) {
    return std::bit_cast<uint64_t>(v.val);
}
inline ZQRValue Int32Like(uint32_t n, const RValue& left) {
    ZQRValue v;
    v.val = std::bit_cast<double>((PayloadBits(left) & 0xFFFFFFFF00000000u) | n);
    v.flags = left.flags;
    v.kind = left.kind;
    return v;
}
inline bool BothInt32(const RValue& a, const RValue& b) {
    return (a.kind & MASK_KIND_RVALUE) == VALUE_INT32 && (b.kind & MASK_KIND_RVALUE) == VALUE_INT32;
}
inline uint32_t Low32(const RValue& v) {
    return static_cast<uint32_t>(PayloadBits(v));
}
inline bool RealAndInt32(const RValue& a, const RValue& b) {
    return (a.kind & MASK_KIND_RVALUE) == VALUE_REAL && (b.kind & MASK_KIND_RVALUE) == VALUE_INT32;
}
inline double Int32AsReal(const RValue& v) {
    return static_cast<int32_t>(Low32(v));
}
inline ZQRValue RealLike(double d, const RValue& left) {
    ZQRValue v(d);
    v.flags = left.flags;
    return v;
}
} // namespace zq_detail

inline ZQRValue operator+(const ZQRValue& a, const ZQRValue& b) {
    if (((a.kind | b.kind) & MASK_KIND_RVALUE) == VALUE_REAL) return zq_detail::RealLike(a.val + b.val, a);
    if (zq_detail::BothInt32(a, b)) return zq_detail::Int32Like(zq_detail::Low32(a) + zq_detail::Low32(b), a);
    if (zq_detail::RealAndInt32(a, b)) return zq_detail::RealLike(a.val + zq_detail::Int32AsReal(b), a);
    return ZQRValue(ZQRValue::kAdopt, zq_detail::AddCopy(a, b));
}
inline ZQRValue operator+(const ZQRValue& a, int n) {
    if (a.kind == VALUE_REAL) return zq_detail::RealLike(a.val + n, a);
    return ZQRValue(ZQRValue::kAdopt, zq_detail::AddIntCopy(a, n));
}
inline ZQRValue operator+(const ZQRValue& a, double x) {
    if (a.kind == VALUE_REAL) return zq_detail::RealLike(a.val + x, a);
    return ZQRValue(ZQRValue::kAdopt, zq_detail::AddRealCopy(a, x));
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

#define ZQ_RVALUE_BINARY_OPERATOR(OP, COMPOUND, SLOW, INT32_INLINE, INT32_LEFT_BECOMES_REAL)                 \
    inline ZQRValue operator OP(const ZQRValue& a, const ZQRValue& b) {                                      \
        if (((a.kind | b.kind) & MASK_KIND_RVALUE) == VALUE_REAL)                                            \
            return zq_detail::RealLike(a.val OP b.val, a);                                                   \
        if constexpr (INT32_INLINE) {                                                                        \
            if (zq_detail::BothInt32(a, b))                                                                  \
                return zq_detail::Int32Like(zq_detail::Low32(a) OP zq_detail::Low32(b), a);                  \
        }                                                                                                    \
        if (zq_detail::RealAndInt32(a, b))                                                                   \
            return zq_detail::RealLike(a.val OP zq_detail::Int32AsReal(b), a);                               \
        if constexpr (INT32_LEFT_BECOMES_REAL) {                                                             \
            if (zq_detail::RealAndInt32(b, a))                                                               \
                return zq_detail::RealLike(zq_detail::Int32AsReal(a) OP b.val, a);                           \
        }                                                                                                    \
        return ZQRValue(ZQRValue::kAdopt, zq_detail::SLOW(a, b));                                            \
    }                                                                                                        \
    inline ZQRValue operator OP(const ZQRValue& a, double x) {                                               \
        if ((a.kind & MASK_KIND_RVALUE) == VALUE_REAL) return zq_detail::RealLike(a.val OP x, a);            \
        return ZQRValue(ZQRValue::kAdopt, zq_detail::SLOW(a, RValue_Real(x)));                               \
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

// Real with int32 on the right computes in reals inline; int32 with a real on
// the right becomes real for * and / (for + and - it stays int32, out of line).
ZQ_RVALUE_BINARY_OPERATOR(-, -=, SubCopy, true, false)
ZQ_RVALUE_BINARY_OPERATOR(*, *=, MulCopy, true, true)
ZQ_RVALUE_BINARY_OPERATOR(/, /=, DivCopy, false, true) // int32 division has its zero and -1 cases
#undef ZQ_RVALUE_BINARY_OPERATOR

// Negation: reals and bools negate (a bool becomes a real), integers wrap
// (INT_MIN stays INT_MIN); any other kind raises the operator error "-".
inline ZQRValue operator-(const ZQRValue& a) {
    if (a.kind == VALUE_REAL) return zq_detail::RealLike(-a.val, a);
    return ZQRValue(ZQRValue::kAdopt, zq_detail::Negate(a));
}

// Remainder has no two-reals shortcut: fmod is a call in any case.
inline ZQRValue operator%(const ZQRValue& a, const ZQRValue& b) {
    return ZQRValue(ZQRValue::kAdopt, zq_detail::ModCopy(a, b));
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
