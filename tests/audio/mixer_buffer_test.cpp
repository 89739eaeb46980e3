// Mixer buffers and the format table: data in every accepted format, refused
// data that leaves the buffer as it was, the copying and the no-copy paths,
// queries, debug names, and deletion that never frees a buffer a source holds.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "audio/mixer_buffer.h"
#include "audio/mixer_formats.h"
#include "audio/mixer_source.h"
#include "mixer_fixture.h"

namespace {

int BufferInt(unsigned id, int param) {
    int value = -99;
    alGetBufferi(id, param, &value);
    return value;
}

} // namespace

TEST(MixerFormats, DescribeEveryKnownFormatAndAcceptOnlyMonoAndStereo) {
    struct Row {
        int format, channels, bytes, frameSize;
    };
    const Row rows[] = {
        {AL_FORMAT_MONO8, 1, 1, 1},
        {AL_FORMAT_MONO16, 1, 2, 2},
        {AL_FORMAT_STEREO8, 2, 1, 2},
        {AL_FORMAT_STEREO16, 2, 2, 4},
        {AL_FORMAT_MONO_FLOAT32, 1, 4, 4},
        {AL_FORMAT_STEREO_FLOAT32, 2, 4, 8},
        {AL_FORMAT_MONO_DOUBLE_EXT, 1, 8, 8},
        {AL_FORMAT_STEREO_DOUBLE_EXT, 2, 8, 16},
        {AL_FORMAT_QUAD32, 4, 4, 0},
        {AL_FORMAT_51CHN16, 6, 2, 0},
        {AL_FORMAT_61CHN8, 7, 1, 0},
        {AL_FORMAT_71CHN32, 8, 4, 0},
        {AL_FORMAT_QUAD16_LOKI, 4, 2, 0},
        {0, 0, 0, 0},
        {0x1104, 0, 0, 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(channelsFromFormat(row.format), row.channels) << std::hex << row.format;
        EXPECT_EQ(bytesFromFormat(row.format), row.bytes) << std::hex << row.format;
        EXPECT_EQ(bufferFrameSizeFromFormat(row.format), row.frameSize) << std::hex << row.format;
    }
}

TEST_F(MixerTest, BuffersTakeIdsFromOneAndStartEmpty) {
    unsigned ids[3] = {};
    alGenBuffers(3, ids);
    EXPECT_EQ(std::vector<unsigned>(ids, ids + 3), (std::vector<unsigned>{1, 2, 3}));
    const ALbuffer* first = Context().FindBuffer(1);
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->debugName, "test");
    EXPECT_EQ(first->frameCount, 0u);
    EXPECT_EQ(first->samples, nullptr);
    EXPECT_EQ(alIsBuffer(2), 1);
    EXPECT_EQ(alIsBuffer(0), 0);
    EXPECT_EQ(alIsBuffer(4), 0);

    alBufferDebugName(2, "music.ogg");
    alBufferDebugName(2, "impact.wav"); // the earlier copy is freed
    alBufferDebugName(0, "nothing");
    EXPECT_STREQ(Context().FindBuffer(2)->debugName, "impact.wav");

    alGenBuffers(-1, ids);
    EXPECT_EQ(TakeError(), AL_INVALID_VALUE);
    EXPECT_EQ(Context().nextBufferId, 4);
}

TEST_F(MixerTest, BufferDataInEveryAcceptedFormatAnswersItsShape) {
    struct Row {
        int format, size, bits, channels, frames;
    };
    const Row rows[] = {
        {AL_FORMAT_MONO8, 7, 8, 1, 7},
        {AL_FORMAT_MONO16, 88200, 16, 1, 44100},
        {AL_FORMAT_STEREO8, 6, 8, 2, 3},
        {AL_FORMAT_STEREO16, 8, 16, 2, 2},
        {AL_FORMAT_MONO_FLOAT32, 12, 32, 1, 3},
        {AL_FORMAT_STEREO_FLOAT32, 16, 32, 2, 2},
        {AL_FORMAT_MONO_DOUBLE_EXT, 8, 64, 1, 1},
        {AL_FORMAT_STEREO_DOUBLE_EXT, 32, 64, 2, 2},
    };
    std::vector<unsigned char> bytes(88200, 0x80);
    for (const Row& row : rows) {
        const unsigned id = NewBuffer();
        alBufferData(id, row.format, bytes.data(), row.size, 44100);
        EXPECT_EQ(TakeError(), AL_NO_ERROR) << std::hex << row.format;
        EXPECT_EQ(BufferInt(id, AL_FREQUENCY), 44100);
        EXPECT_EQ(BufferInt(id, AL_BITS), row.bits) << std::hex << row.format;
        EXPECT_EQ(BufferInt(id, AL_CHANNELS), row.channels) << std::hex << row.format;
        EXPECT_EQ(BufferInt(id, AL_SIZE), row.size) << std::hex << row.format;
        EXPECT_EQ(Context().FindBuffer(id)->frameCount, static_cast<uint32_t>(row.frames))
            << std::hex << row.format;
    }
}

// Each refusal leaves the buffer's earlier data in place.
TEST_F(MixerTest, RefusedBufferDataLeavesTheBufferAsItWas) {
    const unsigned id = NewBuffer();
    const int16_t earlier[4] = {1, 2, 3, 4};
    alBufferData(id, AL_FORMAT_STEREO16, earlier, 8, 22050);
    const int16_t data[8] = {};
    struct Row {
        const char* what;
        unsigned id;
        int format;
        const void* data;
        int size;
        int error;
    };
    const Row rows[] = {
        {"size not a whole stereo frame", id, AL_FORMAT_STEREO16, data, 6, AL_INVALID_VALUE},
        {"odd 16-bit length", id, AL_FORMAT_MONO16, data, 3, AL_INVALID_VALUE},
        {"no bytes", id, AL_FORMAT_MONO16, data, 0, AL_INVALID_VALUE},
        {"negative length", id, AL_FORMAT_MONO16, data, -4, AL_INVALID_VALUE},
        {"size checked before format", id, 0x1234, data, 0, AL_INVALID_VALUE},
        {"multichannel format", id, AL_FORMAT_QUAD16, data, 8, AL_INVALID_ENUM},
        {"unknown format", id, 0, data, 8, AL_INVALID_ENUM},
        {"no data", id, AL_FORMAT_MONO16, nullptr, 8, AL_INVALID_VALUE},
        {"no such buffer", 99, AL_FORMAT_MONO16, data, 8, AL_INVALID_NAME},
        {"id 0", 0, AL_FORMAT_MONO16, data, 8, AL_INVALID_NAME},
    };
    for (const Row& row : rows) {
        alBufferData(row.id, row.format, row.data, row.size, 48000);
        EXPECT_EQ(TakeError(), row.error) << row.what;
        alBufferDataNoCopy(row.id, row.format, row.data, row.size, 48000);
        EXPECT_EQ(TakeError(), row.error) << row.what << " (no copy)";
        const ALbuffer* buffer = Context().FindBuffer(id);
        EXPECT_EQ(buffer->format, AL_FORMAT_STEREO16) << row.what;
        EXPECT_EQ(buffer->frequency, 22050) << row.what;
        EXPECT_EQ(buffer->frameCount, 2u) << row.what;
        EXPECT_EQ(std::memcmp(buffer->samples, earlier, 8), 0) << row.what;
    }
}

// The public call copies (freealut frees its samples right after it); the
// runtime's own path keeps the caller's bytes, so changing them changes what
// is played.
TEST_F(MixerTest, BufferDataCopiesAndTheNoCopyPathKeepsTheCallersBytes) {
    std::vector<int16_t> samples(44100, 100);
    const unsigned copied = NewBuffer();
    const unsigned kept = NewBuffer();
    alBufferData(copied, AL_FORMAT_MONO16, samples.data(), 88200, 44100);
    alBufferDataNoCopy(kept, AL_FORMAT_MONO16, samples.data(), 88200, 44100);
    samples[0] = -5;
    const ALbuffer* a = Context().FindBuffer(copied);
    const ALbuffer* b = Context().FindBuffer(kept);
    EXPECT_NE(a->samples, samples.data());
    EXPECT_EQ(static_cast<const int16_t*>(a->samples)[0], 100);
    EXPECT_EQ(b->samples, samples.data());
    EXPECT_EQ(static_cast<const int16_t*>(b->samples)[0], -5);
    EXPECT_EQ(b->frameCount, 44100u);

    // New data replaces (and frees) the earlier copy; a no-copy refill drops it too.
    alBufferData(copied, AL_FORMAT_MONO8, samples.data(), 5, 8000);
    alBufferDataNoCopy(copied, AL_FORMAT_MONO8, samples.data(), 5, 8000);
    EXPECT_EQ(a->samples, samples.data());
}

TEST_F(MixerTest, BufferQueriesCheckTheOutputThenTheNameThenTheParameter) {
    const unsigned id = NewMono16Buffer(4);
    alGetBufferi(99, AL_SIZE, nullptr);
    EXPECT_EQ(TakeError(), AL_INVALID_VALUE);
    EXPECT_EQ(BufferInt(99, AL_SIZE), -99);
    EXPECT_EQ(TakeError(), AL_INVALID_NAME);
    EXPECT_EQ(BufferInt(0, AL_SIZE), -99);
    EXPECT_EQ(TakeError(), AL_INVALID_NAME);
    EXPECT_EQ(BufferInt(id, 0x2005), -99);
    EXPECT_EQ(TakeError(), AL_INVALID_ENUM);
    EXPECT_EQ(BufferInt(NewBuffer(), AL_BITS), 0) << "a buffer without data has no format";
}

TEST_F(MixerTest, DeletingBuffersIgnoresUnknownIdsAndNeverFreesOneASourceHolds) {
    for (int i = 0; i < 5; ++i) NewMono16Buffer(4);
    const unsigned five_and_missing[2] = {5, 99};
    alDeleteBuffers(2, five_and_missing);
    EXPECT_EQ(TakeError(), AL_NO_ERROR);
    EXPECT_EQ(alIsBuffer(5), 0);
    alDeleteBuffers(0, five_and_missing);
    alDeleteBuffers(-3, nullptr);
    EXPECT_EQ(TakeError(), AL_NO_ERROR);

    // Buffer 1 is a source's current buffer, 2 sits in a queue: deleting
    // either refuses the whole call, 3 included.
    const unsigned source = NewSource();
    alSourcei(source, AL_BUFFER, 1);
    const unsigned queued = 2;
    const unsigned other = NewSource();
    alSourceQueueBuffers(other, 1, &queued);
    for (const unsigned held : {1u, 2u}) {
        const unsigned ids[2] = {3, held};
        alDeleteBuffers(2, ids);
        EXPECT_EQ(TakeError(), AL_INVALID_OPERATION) << held;
        EXPECT_EQ(alIsBuffer(held), 1);
        EXPECT_EQ(alIsBuffer(3), 1);
    }

    // Once let go they can go, and the list stays whole around them.
    alSourcei(source, AL_BUFFER, 0);
    alSourceStop(other);
    unsigned back = 0;
    alSourceUnqueueBuffers(other, 1, &back);
    const unsigned all[3] = {1, 2, 3};
    alDeleteBuffers(3, all);
    EXPECT_EQ(TakeError(), AL_NO_ERROR);
    EXPECT_EQ(Context().bufferHead, Context().FindBuffer(4));
    EXPECT_EQ(Context().bufferTail, Context().FindBuffer(4));
    EXPECT_EQ(NewBuffer(), 6u) << "ids are not reused";
}
