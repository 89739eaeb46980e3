// The audio debug overlay. Columns are measured in widths of "M" in the
// overlay font; each queued buffer is a 100-wide box, the current one marked
// at the play position.
#include "audio/mixer_debug.h"

#include <cstdarg>
#include <cstdio>

#include "audio/mixer_buffer.h"
#include "audio/mixer_context.h"
#include "audio/mixer_source.h"
#include "core/real_to_int.h"

namespace {

AudioDebugCanvas* s_canvas = nullptr;

constexpr uint32_t kOutline = 0x0FF00000;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kRed = 0xFF0000FF;

__attribute__((format(printf, 4, 5))) void Print(float x, float y, uint32_t fill, const char* format, ...) {
    char text[64];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    s_canvas->Text(x, y, kOutline, fill, text);
}

} // namespace

void Mixer_SetDebugCanvas(AudioDebugCanvas* canvas) {
    s_canvas = canvas;
}

void ZQAudioDrawDebug() {
    CurrentContextLock context;
    if (!context || s_canvas == nullptr) return;
    const float h = s_canvas->FontHeight();
    const float w = s_canvas->TextWidth("MMM");
    const float nameX = 10 + 4 * w + s_canvas->TextWidth("MMMMM");
    const float positionX = nameX + s_canvas->TextWidth("MMMMMMMM");
    const float boxesX = positionX + s_canvas->TextWidth("MMMMMMMM");
    s_canvas->Text(10, 100, kOutline, kWhite, "Audio Debug!");
    s_canvas->Text(10, 100 + h, kOutline, kWhite, "Active Sources");
    float y = 100 + 2 * h;
    for (const ALsource* s = context->sourceHead; s != nullptr; s = s->next) {
        if (s->state != AL_PLAYING) continue;
        const ALbuffer* current = s->currentBuffer;
        Print(10, y, kWhite, "%d", s->id);
        Print(10 + w, y, kWhite, "%d", current != nullptr ? current->id : -1);
        Print(10 + 2 * w, y, kWhite, "%d", s->processedCount);
        Print(10 + 3 * w, y, kWhite, "%d", s->queuedCount);
        Print(10 + 4 * w, y, kWhite, "%d", RealToInt32(s->gain * 65536.0));
        Print(nameX, y, kWhite, "%-10s", current != nullptr ? current->debugName : "none");
        Print(positionX, y, kWhite, "%08x", s->position);
        float x = boxesX;
        for (const ALbuffer* b = s->queueHead; b != nullptr; b = b->queueNext, x += 105) {
            s_canvas->Rectangle(x, y, 100, h, kWhite);
            Print(x + 40, y, kRed, "%d", b->id);
            if (b == current && b->frameCount > 0)
                s_canvas->Rectangle(x + static_cast<float>(s->position * 100.0 / b->frameCount), y, 1, h,
                                    kRed);
        }
        y += h;
    }
}
