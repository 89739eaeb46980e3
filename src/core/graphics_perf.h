// The debug overlay's settings: which of its displays are shown. The command
// line sets them before the renderer starts.
#pragma once

#include <cstdint>

class GraphicsPerf {
public:
    // Display bits: 2 the frame-time bars ("-debug"), 0x10 audio ("-audiodebug").
    static int32_t ms_DisplayFlags;
};

// No display shown.
void GraphicsPerf_Reset();
