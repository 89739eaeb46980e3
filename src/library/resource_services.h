// What the resource built-ins ask of modules above the library: calling a
// callable script object (the script object runtime). Until that module
// exists its stand-in answers (src/vm/stand_ins.cpp).
#pragma once

class CInstance;
struct RValue;

// Calls the callable object value `callable` with self, `argc` arguments
// from `args`, writing its value into `result` (which holds nothing).
void Call_RValue(CInstance* self, RValue& result, RValue& callable, int argc, RValue* args);
