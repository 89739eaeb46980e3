// Reaches into the mixer from the one test file that includes freealut's
// header (whose AL macros clash with the mixer's own constants).
#pragma once

struct ALbuffer;

// The current context's buffer with this id, or null.
const ALbuffer* MixerTest_FindBuffer(unsigned id);
