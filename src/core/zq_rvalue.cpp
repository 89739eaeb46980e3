// Values in compiled code: the out-of-line paths of ZQRValue's operators
// (mixed kinds, integers, strings, errors), indexing and the operator error.
#include "core/zq_rvalue.h"

#include <cstring>

#include "core/error.h"
#include "core/memory_manager.h"
#include "core/real_to_int.h"
#include "core/str_builder.h"

double g_VTLMathEpsilon = 1e-10;
void (*g_pSetLLVMVar)(int code, void* value) = nullptr;

namespace {

double RealOf(const RValue& r) {
    return REAL_RValue(&r);
}

int32_t Wrap32(int64_t n) {
    return static_cast<int32_t>(static_cast<uint32_t>(n));
}

int64_t WrapAdd64(int64_t a, int64_t b) {
    return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
}

int64_t WrapSub64(int64_t a, int64_t b) {
    return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b));
}

int64_t WrapMul64(int64_t a, int64_t b) {
    return static_cast<int64_t>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b));
}

bool IsNumberKind(uint32_t kind) {
    return kind == VALUE_REAL || kind == VALUE_INT32 || kind == VALUE_INT64 || kind == VALUE_BOOL;
}

// Makes v a real holding d, keeping its flags (v holds no reference).
void BecomeReal(RValue* v, double d) {
    v->val = d;
    v->kind = VALUE_REAL;
}

// Integer division and remainder with defined results: a zero divisor makes
// the real result of the floating-point operation, the most negative number
// divided by -1 wraps (and its remainder is 0).
void Divide64(RValue* self, int64_t a, int64_t b) {
    if (b == 0) {
        BecomeReal(self, static_cast<double>(a) / 0.0);
        return;
    }
    self->v64 = (b == -1) ? WrapSub64(0, a) : a / b;
    self->kind = VALUE_INT64;
}

void Remainder64(RValue* self, int64_t a, int64_t b) {
    if (b == 0) {
        BecomeReal(self, std::fmod(static_cast<double>(a), 0.0));
        return;
    }
    self->v64 = (b == -1) ? 0 : a % b;
    self->kind = VALUE_INT64;
}

void Divide32(RValue* self, int32_t a, int32_t b) {
    if (b == 0) {
        BecomeReal(self, static_cast<double>(a) / 0.0);
        return;
    }
    self->v32 = (b == -1) ? Wrap32(-static_cast<int64_t>(a)) : a / b;
}

void Remainder32(RValue* self, int32_t a, int32_t b) {
    if (b == 0) {
        BecomeReal(self, std::fmod(static_cast<double>(a), 0.0));
        return;
    }
    self->v32 = (b == -1) ? 0 : a % b;
}

// The text of a string value, or null without record or text.
const char* StringText(const RValue& v) {
    return v.pRefString != nullptr ? v.pRefString->Get() : nullptr;
}

// self (a string) becomes self's text followed by r's text. A record that
// self alone holds grows in place; a shared one is replaced by a new record.
void Concatenate(RValue* self, const RValue& r) {
    RefString* record = self->pRefString;
    const char* a = StringText(*self);
    const char* b = StringText(r);
    size_t la = a != nullptr ? std::strlen(a) : 0;
    size_t lb = b != nullptr ? std::strlen(b) : 0;
    if (la + lb + 1 > INT32_MAX) {
        ZQError("string too long to concatenate");
        return;
    }
    bool sameRecord = r.pRefString == record;
    if (record != nullptr && record->m_refCount == 1) {
        auto* grown = static_cast<char*>(ZQ_ReAlloc(const_cast<char*>(a), la + lb + 1));
        if (grown != nullptr) {
            if (sameRecord) b = grown; // self += self: the source moved with the block
            if (lb != 0) std::memcpy(grown + la, b, lb);
            grown[la + lb] = '\0';
            record->m_thing = grown;
            record->m_size = static_cast<int32_t>(la + lb);
            return;
        }
    }
    auto* block = static_cast<char*>(ZQ_AllocNoClear(la + lb + 1));
    if (block == nullptr) return;
    if (la != 0) std::memcpy(block, a, la);
    if (lb != 0) std::memcpy(block + la, b, lb);
    block[la + lb] = '\0';
    RefString* fresh = RefString::Adopt(block);
    if (record != nullptr) record->Dec();
    self->pRefString = fresh;
}

const RValue& NoElement() {
    static const RValue kNoElement = RValue_Undefined();
    return kNoElement;
}

// The element at `index` of an array record, or NoElement after the error.
const RValue& Element(const RefDynamicArrayOfRValue* record, int index) {
    int32_t row, column;
    ARRAY_SplitIndex(index, &row, &column);
    if (row < 0 || row >= record->m_length) {
        ZQError("first index out of bounds request %d maximum size is %d", row, record->m_length);
        return NoElement();
    }
    const DynamicArrayOfRValue& line = record->m_Array[row];
    if (column < 0 || column >= line.length) {
        ZQError("second index out of bounds request %d,%d maximum size is %d", row, column, line.length);
        return NoElement();
    }
    return line.arr[column];
}

// The text form that the operator error prints (unset prints as such rather
// than raising a second error).
void AppendOperand(ZQStrBuilder& text, const RValue& v) {
    if (v.Kind() == VALUE_UNSET)
        text << "unset";
    else
        text << v;
}

} // namespace

// ---------------------------------------------------------------------------
// Construction and assignment of strings.

ZQRValue::ZQRValue(const char* text) {
    flags = 0;
    ZQSetString(this, text);
}

ZQRValue& ZQRValue::operator=(const char* text) {
    // Make the record first: the text may belong to what self holds.
    RefString* record = RefString::Create(text);
    FREE_RValue(this);
    pRefString = record;
    kind = VALUE_STRING;
    return *this;
}

// ---------------------------------------------------------------------------
// Compound assignment, on a plain value that holds its own references.

namespace {

int32_t WrapAdd32(int32_t a, uint32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + b);
}

void AddTo(RValue& self, const RValue& r) {
    switch (self.Kind()) {
        case VALUE_REAL:
        case VALUE_BOOL: self.val += RealOf(r); break;
        case VALUE_INT32: self.v32 = WrapAdd32(self.v32, static_cast<uint32_t>(INT32_RValue(&r))); break;
        case VALUE_INT64: self.v64 = WrapAdd64(self.v64, INT64_RValue(&r)); break;
        case VALUE_STRING:
            if (r.Kind() == VALUE_STRING)
                Concatenate(&self, r);
            else if (IsNumberKind(r.Kind()))
                ZQError("unable to add a number to string");
            else
                ZQOpError("+=", self, r);
            break;
        default: ZQOpError("+=", self, r); break;
    }
}

void SubtractFrom(RValue& self, const RValue& r) {
    switch (self.Kind()) {
        case VALUE_REAL:
        case VALUE_BOOL: self.val -= RealOf(r); break;
        case VALUE_INT32: self.v32 = WrapAdd32(self.v32, -static_cast<uint32_t>(INT32_RValue(&r))); break;
        case VALUE_INT64: self.v64 = WrapSub64(self.v64, INT64_RValue(&r)); break;
        default: ZQOpError("-=", self, r); break;
    }
}

void MultiplyBy(RValue& self, const RValue& r) {
    switch (self.Kind()) {
        case VALUE_REAL:
        case VALUE_BOOL: self.val *= RealOf(r); break;
        case VALUE_INT32:
            if (r.Kind() == VALUE_INT32) {
                self.v32 = Wrap32(static_cast<int64_t>(self.v32) * r.v32);
            } else if (r.Kind() == VALUE_INT64) {
                self.v64 = WrapMul64(self.v32, r.v64);
                self.kind = VALUE_INT64;
            } else {
                BecomeReal(&self, static_cast<double>(self.v32) * RealOf(r));
            }
            break;
        case VALUE_INT64:
            if (r.Kind() == VALUE_INT64)
                self.v64 = WrapMul64(self.v64, r.v64);
            else if (r.Kind() == VALUE_INT32)
                self.v64 = WrapMul64(self.v64, r.v32);
            else
                BecomeReal(&self, static_cast<double>(self.v64) * RealOf(r));
            break;
        default: ZQOpError("*=", self, r); break;
    }
}

void DivideBy(RValue& self, const RValue& r) {
    switch (self.Kind()) {
        case VALUE_REAL:
        case VALUE_BOOL: self.val /= RealOf(r); break;
        case VALUE_INT32:
            if (r.Kind() == VALUE_INT32)
                Divide32(&self, self.v32, r.v32);
            else if (r.Kind() == VALUE_INT64)
                Divide64(&self, self.v32, r.v64);
            else
                BecomeReal(&self, static_cast<double>(self.v32) / RealOf(r));
            break;
        case VALUE_INT64:
            if (r.Kind() == VALUE_INT64)
                Divide64(&self, self.v64, r.v64);
            else if (r.Kind() == VALUE_INT32)
                Divide64(&self, self.v64, r.v32);
            else
                BecomeReal(&self, static_cast<double>(self.v64) / RealOf(r));
            break;
        default: ZQOpError("/=", self, r); break;
    }
}

void RemainderBy(RValue& self, const RValue& r) {
    switch (self.Kind()) {
        case VALUE_REAL:
        case VALUE_BOOL: self.val = std::fmod(self.val, RealOf(r)); break;
        case VALUE_INT32:
            if (r.Kind() == VALUE_INT32)
                Remainder32(&self, self.v32, r.v32);
            else if (r.Kind() == VALUE_INT64)
                Remainder64(&self, self.v32, r.v64);
            else
                BecomeReal(&self, std::fmod(static_cast<double>(self.v32), RealOf(r)));
            break;
        case VALUE_INT64:
            if (r.Kind() == VALUE_INT64)
                Remainder64(&self, self.v64, r.v64);
            else if (r.Kind() == VALUE_INT32)
                Remainder64(&self, self.v64, r.v32);
            else
                BecomeReal(&self, std::fmod(static_cast<double>(self.v64), RealOf(r)));
            break;
        default: ZQOpError("%=", self, r); break;
    }
}

// The plain-number forms test the whole self.kind word: a value carrying marks in
// its top bits is "any other self.kind" and stays as it is.
void AddIntTo(RValue& self, int n) {
    switch (self.kind) {
        case VALUE_REAL:
        case VALUE_BOOL: self.val += n; break;
        case VALUE_INT32: self.v32 = WrapAdd32(self.v32, static_cast<uint32_t>(n)); break;
        case VALUE_INT64: self.v64 = WrapAdd64(self.v64, n); break;
        case VALUE_STRING: ZQError("unable to add a number to string"); break;
        default: break;
    }
}

void AddRealTo(RValue& self, double x) {
    switch (self.kind) {
        case VALUE_REAL:
        case VALUE_BOOL: self.val += x; break;
        case VALUE_INT32: self.v32 = WrapAdd32(self.v32, static_cast<uint32_t>(RealToInt32(x))); break;
        case VALUE_INT64: self.v64 = WrapAdd64(self.v64, RealToInt64(x)); break;
        case VALUE_STRING: ZQError("unable to add a number to string"); break;
        default: break;
    }
}

void StepBy(RValue& self, int delta) {
    switch (self.Kind()) {
        case VALUE_REAL:
        case VALUE_BOOL: self.val += delta; break;
        case VALUE_INT32: self.v32 = WrapAdd32(self.v32, static_cast<uint32_t>(delta)); break;
        case VALUE_INT64: self.v64 = WrapAdd64(self.v64, delta); break;
        default: ZQOpError(delta > 0 ? "++" : "--", self, self); break;
    }
}

// The references a copy holds: a string or array record gains one (an
// array's owner is claimed by the value the copy lands in), an object is
// reported to the collector, and a pointer's copy does not own its object.
RValue Retained(RValue v) {
    switch (v.Kind()) {
        case VALUE_STRING:
            if (v.pRefString != nullptr) v.pRefString->Inc();
            break;
        case VALUE_ARRAY:
            if (v.pRefArray != nullptr) ++v.pRefArray->m_refCount;
            break;
        case VALUE_OBJECT: COPY_RValue__Post(&v); break;
        case VALUE_PTR: v.flags &= ~RVALUE_FLAG_OWNED; break; // a copy never owns
        default: break;
    }
    return v;
}

} // namespace

namespace zq_detail {

#define ZQ_RVALUE_SLOW_PATHS(NAME, APPLY, OPERAND)                                                           \
    RValue NAME(RValue self, OPERAND r) {                                                                    \
        APPLY(self, r);                                                                                      \
        return self;                                                                                         \
    }                                                                                                        \
    RValue NAME##Copy(RValue a, OPERAND r) {                                                                 \
        RValue self = Retained(a);                                                                           \
        APPLY(self, r);                                                                                      \
        return self;                                                                                         \
    }

ZQ_RVALUE_SLOW_PATHS(Add, AddTo, RValue)
ZQ_RVALUE_SLOW_PATHS(Sub, SubtractFrom, RValue)
ZQ_RVALUE_SLOW_PATHS(Mul, MultiplyBy, RValue)
ZQ_RVALUE_SLOW_PATHS(Div, DivideBy, RValue)
ZQ_RVALUE_SLOW_PATHS(Mod, RemainderBy, RValue)
ZQ_RVALUE_SLOW_PATHS(AddInt, AddIntTo, int)
ZQ_RVALUE_SLOW_PATHS(AddReal, AddRealTo, double)
#undef ZQ_RVALUE_SLOW_PATHS

RValue Step(RValue self, int delta) {
    StepBy(self, delta);
    return self;
}

RValue Negate(RValue a) {
    switch (a.Kind()) {
        case VALUE_REAL:
        case VALUE_BOOL:
            a.val = -a.val;
            a.kind = VALUE_REAL;
            return a;
        case VALUE_INT32: return ZQRValue::FromInt32(Wrap32(-static_cast<int64_t>(a.v32)));
        case VALUE_INT64: return ZQRValue::FromInt64(WrapSub64(0, a.v64));
        default: ZQOpError("-", a, a); return Retained(a);
    }
}

void Release(RValue v) {
    FREE_RValue__Pre(&v);
}

} // namespace zq_detail

// ---------------------------------------------------------------------------
// Comparison, indexing and the operator error.

bool ZQRValue_EqualsNumber(const RValue& a, double x) {
    switch (a.kind) { // the whole word: marked values are never equal
        case VALUE_REAL:
        case VALUE_INT32:
        case VALUE_INT64:
        case VALUE_BOOL: return std::fabs(REAL_RValue_Ex(&a) - x) <= g_VTLMathEpsilon;
        default: return false;
    }
}

const ZQRValue& ZQRValue::operator[](int index) {
    if (Kind() != VALUE_ARRAY || pRefArray == nullptr) {
        ZQError("trying to index variable that is not an array");
        return *this;
    }
    if (pRefArray->m_Owner == nullptr) pRefArray->m_Owner = this;
    return From(Element(pRefArray, index));
}

const ZQRValue& ZQRValue::operator[](int index) const {
    if (Kind() != VALUE_ARRAY || pRefArray == nullptr) {
        ZQError("trying to index variable that is not an array");
        return *this;
    }
    return From(Element(pRefArray, index));
}

void ZQOpError(const char* op, const RValue& lhs, const RValue& rhs) {
    ZQStrBuilder left;
    ZQStrBuilder right;
    AppendOperand(left, lhs);
    AppendOperand(right, rhs);
    ZQError("invalid type for %s lhs=%s (type=%d), rhs=%s (type=%d)", op, left.c_str(),
            static_cast<int>(lhs.Kind()), right.c_str(), static_cast<int>(rhs.Kind()));
}
