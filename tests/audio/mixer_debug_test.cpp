// The audio debug overlay lists playing sources in measured columns, with a
// box per queued buffer and a marker at the play position.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/mixer_buffer.h"
#include "audio/mixer_debug.h"
#include "audio/mixer_source.h"
#include "mixer_fixture.h"

namespace {

// Every "M" is 10 wide and a line 20 high; calls are written down as text.
class RecordingCanvas : public AudioDebugCanvas {
public:
    void Text(float x, float y, uint32_t outline, uint32_t fill, const char* text) override {
        calls.push_back("text " + Num(x) + "," + Num(y) + " " + Hex(outline) + "/" + Hex(fill) + " [" + text +
                        "]");
    }
    void Rectangle(float x, float y, float width, float height, uint32_t colour) override {
        calls.push_back("rect " + Num(x) + "," + Num(y) + " " + Num(width) + "x" + Num(height) + " " +
                        Hex(colour));
    }
    float TextWidth(const char* text) override {
        return 10.0f * static_cast<float>(std::string(text).size());
    }
    float FontHeight() override { return 20.0f; }

    std::vector<std::string> calls;

private:
    static std::string Num(float v) { return std::to_string(static_cast<int>(v)); }
    static std::string Hex(uint32_t v) {
        char text[16];
        std::snprintf(text, sizeof(text), "%08X", v);
        return text;
    }
};

} // namespace

TEST_F(MixerTest, DebugOverlayListsPlayingSourcesWithTheirQueues) {
    RecordingCanvas canvas;
    ZQAudioDrawDebug();
    EXPECT_TRUE(canvas.calls.empty()) << "no canvas, nothing drawn";
    Mixer_SetDebugCanvas(&canvas);

    alSourcePlay(NewSource()); // playing without a buffer: listed with -1
    NewSource();               // never started: not listed
    const unsigned playing = NewSource();
    const unsigned queue[2] = {NewMono16Buffer(200), NewMono16Buffer(400)};
    alBufferDebugName(queue[1], "drum");
    alSourceQueueBuffers(playing, 2, queue);
    ALsource* s = Context().FindSource(playing);
    s->currentBuffer = Context().FindBuffer(queue[1]);
    s->processedCount = 1;
    s->position = 100;
    alSourcef(playing, AL_GAIN, 0.5f);
    alSourcePlay(playing);
    ZQAudioDrawDebug();
    Mixer_SetDebugCanvas(nullptr);

    // Columns: 10, +30 per count column, names at 10 + 120 + 50, the
    // position 80 further, the boxes 80 after that.
    const std::vector<std::string> expected = {
        "text 10,100 0FF00000/FFFFFFFF [Audio Debug!]",
        "text 10,120 0FF00000/FFFFFFFF [Active Sources]",
        "text 10,140 0FF00000/FFFFFFFF [1]",
        "text 40,140 0FF00000/FFFFFFFF [-1]",
        "text 70,140 0FF00000/FFFFFFFF [0]",
        "text 100,140 0FF00000/FFFFFFFF [0]",
        "text 130,140 0FF00000/FFFFFFFF [65536]",
        "text 180,140 0FF00000/FFFFFFFF [none      ]",
        "text 260,140 0FF00000/FFFFFFFF [00000000]",
        "text 10,160 0FF00000/FFFFFFFF [3]",
        "text 40,160 0FF00000/FFFFFFFF [2]",
        "text 70,160 0FF00000/FFFFFFFF [1]",
        "text 100,160 0FF00000/FFFFFFFF [2]",
        "text 130,160 0FF00000/FFFFFFFF [32768]",
        "text 180,160 0FF00000/FFFFFFFF [drum      ]",
        "text 260,160 0FF00000/FFFFFFFF [00000064]",
        "rect 340,160 100x20 FFFFFFFF",
        "text 380,160 0FF00000/FF0000FF [1]",
        "rect 445,160 100x20 FFFFFFFF",
        "text 485,160 0FF00000/FF0000FF [2]",
        "rect 470,160 1x20 FF0000FF",
    };
    EXPECT_EQ(canvas.calls, expected);
}
