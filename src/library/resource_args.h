// What the resource built-in families share: the handler shape, the argument
// reads, and the rows every kind of resource has (exists, name, a number of
// the resource or a fixed answer when the index names none).
#pragma once

#include "core/arguments.h"
#include "core/ref_string.h"
#include "core/rvalue.h"

struct CInstance;

namespace resource_args {

using Args = RValue*;

inline void Real(RValue& r, double v) {
    ZQSetResultReal(r, v);
}

inline int Int(const RValue* a, int i) {
    return ZQGetInt32(a, i);
}

inline float Float(const RValue* a, int i) {
    return ZQGetFloat(a, i);
}

// A number of `found`, or `missing` when the lookup found nothing.
template <typename T, typename Get>
void NumberOf(RValue& r, const T* found, double missing, Get get) {
    Real(r, found != nullptr ? static_cast<double>(get(*found)) : missing);
}

} // namespace resource_args

#define ZQ_RESOURCE(name) void name(RValue& r, CInstance*, CInstance*, [[maybe_unused]] int argc, Args a)

// `exists_of` and `name_of` take the index of argument 0.
#define ZQ_RESOURCE_EXISTS(name, exists_of)                                                                  \
    ZQ_RESOURCE(name) {                                                                                      \
        Real(r, exists_of(Int(a, 0)) ? 1 : 0);                                                               \
    }
#define ZQ_RESOURCE_NAME(name, name_of)                                                                      \
    ZQ_RESOURCE(name) {                                                                                      \
        ZQCreateString(&r, name_of(Int(a, 0)));                                                              \
    }

// A number query on what `lookup` finds for argument 0, seen in `expr` as
// `var`; `missing` when it finds nothing. `a` stays in reach of `expr`.
#define ZQ_RESOURCE_QUERY(name, Type, lookup, var, missing, expr)                                            \
    ZQ_RESOURCE(name) {                                                                                      \
        NumberOf(r, static_cast<const Type*>(lookup(Int(a, 0))), missing, [a](const Type& var) {             \
            (void)a;                                                                                         \
            return expr;                                                                                     \
        });                                                                                                  \
    }
