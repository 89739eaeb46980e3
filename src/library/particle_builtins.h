// The particle built-ins' registration table (library/particle_builtins.cpp),
// in the fixed order of their ids.
#pragma once

#include <span>

#include "core/function_table.h"

struct ParticleBuiltinRow {
    const char* name;
    int argc;
    TRoutine routine;
};

std::span<const ParticleBuiltinRow> ParticleFunctions_Order();
// Registers the 64 rows (declared for the start-up in
// world/run/startup_services.h as well).
void InitParticlesFunctions();
