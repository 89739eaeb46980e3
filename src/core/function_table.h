// The built-in function table: the entry layout, the handler signature and
// the entry of the built-in that is running (argument errors name it).
#pragma once

#include <cstdint>

class CInstance;
struct RValue;

// A built-in: F_<Name>(result, self, other, argc, args).
using TRoutine = void (*)(RValue& result, CInstance* self, CInstance* other, int argc, RValue* args);

// One table entry: the registered name (at most 63 characters and a zero),
// the handler, the argument count (-1 any number), the registration flag and
// a reserved word (-1).
struct RFunction {
    char f_name[64];
    TRoutine f_routine;
    int32_t f_argnumb;
    uint32_t f_flag;
    int32_t f_reserved;
};

// The entry of the running built-in, set by the call gate around each call
// (or whatever the caller of the running gate had set); null outside calls.
extern RFunction* g_pFunction;
