// The audio debug overlay: one line per playing source with its buffers. The
// overlay draws through a canvas the renderer installs; without one (and
// without a current context) nothing is drawn.
#pragma once

#include <cstdint>

// The debug overlay's drawing calls, in its font and batch. Colours are 0xAABBGGRR.
class AudioDebugCanvas {
public:
    virtual ~AudioDebugCanvas() = default;
    // Text with a one-pixel outline in `outline`, the text itself in `fill`.
    virtual void Text(float x, float y, uint32_t outline, uint32_t fill, const char* text) = 0;
    virtual void Rectangle(float x, float y, float width, float height, uint32_t colour) = 0;
    virtual float TextWidth(const char* text) = 0;
    virtual float FontHeight() = 0;
};

void Mixer_SetDebugCanvas(AudioDebugCanvas* canvas);

// Lists the current context's playing sources on the overlay.
void ZQAudioDrawDebug();
