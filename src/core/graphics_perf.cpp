// The debug overlay's settings.
#include "core/graphics_perf.h"

int32_t GraphicsPerf::ms_DisplayFlags = 0;

void GraphicsPerf_Reset() {
    GraphicsPerf::ms_DisplayFlags = 0;
}
