// The debug overlay's settings.
#include "render/graphics_perf.h"

int32_t GraphicsPerf::ms_DisplayFlags = 0;
