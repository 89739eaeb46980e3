// The 3D, matrix, GPU-state and light built-ins as Init3DFunctions registers
// them: the generation-dependent registration orders (for the golden-list
// tests) and which of their handlers are built.
#pragma once

#include <span>

#include "core/function_table.h"

// One registration row: name, argument count (-1 any number), flag, handler.
struct GpuRow {
    const char* name;
    int argc;
    bool flag;
    const char* handler;
};

// Registered only without new-generation data, always, only with it.
std::span<const GpuRow> Graphics3D_LegacyOrder();
std::span<const GpuRow> Graphics3D_AlwaysOrder();
std::span<const GpuRow> Graphics3D_NewGenOrder();
// A handler by name; the GPU-state family beyond single states (fog, blend
// presets and factors, colour write, the state map, the texture flush) keeps
// its table in render/gpu_state_builtins.cpp.
struct GpuHandlerRow {
    const char* handler;
    TRoutine routine;
};
std::span<const GpuHandlerRow> GpuStateBuiltins();

// Whether the named handler is a real one (else the rows answer undefined).
bool GpuBuiltin_Built(const char* handler);
