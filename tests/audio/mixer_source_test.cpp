// Mixer sources and queues: defaults, parameter ranges, play states, offsets,
// queueing and unqueueing, the refusals that keep queue links whole, and
// deleted sources that come back by id without their old state.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <vector>

#include "audio/mixer_buffer.h"
#include "audio/mixer_source.h"
#include "mixer_fixture.h"

namespace {

int SourceInt(unsigned id, int param) {
    int value = -99;
    alGetSourcei(id, param, &value);
    return value;
}

float SourceFloat(unsigned id, int param) {
    float value = -99;
    alGetSourcef(id, param, &value);
    return value;
}

} // namespace

TEST_F(MixerTest, NewSourceAnswersItsDefaults) {
    const unsigned id = NewSource();
    EXPECT_EQ(id, 1u);
    struct IntRow {
        int param, value;
    };
    for (const IntRow& row :
         {IntRow{AL_SOURCE_STATE, AL_INITIAL}, IntRow{AL_SOURCE_TYPE, AL_UNDETERMINED},
          IntRow{AL_DISTANCE_MODEL, AL_INVERSE_DISTANCE_CLAMPED}, IntRow{AL_BUFFER, 0}, IntRow{AL_LOOPING, 0},
          IntRow{AL_SOURCE_RELATIVE, 0}, IntRow{AL_BUFFERS_QUEUED, 0}, IntRow{AL_CONE_OUTER_ANGLE, 360},
          IntRow{AL_MAX_DISTANCE, INT32_MIN}, IntRow{AL_DOPPLER_FACTOR, 1}, IntRow{AL_BYTE_OFFSET, 0}})
        EXPECT_EQ(SourceInt(id, row.param), row.value) << std::hex << row.param;
    struct FloatRow {
        int param;
        float value;
    };
    for (const FloatRow& row :
         {FloatRow{AL_PITCH, 1}, FloatRow{AL_GAIN, 1}, FloatRow{AL_MIN_GAIN, 0}, FloatRow{AL_MAX_GAIN, 1},
          FloatRow{AL_CONE_OUTER_GAIN, 0}, FloatRow{AL_REFERENCE_DISTANCE, 1},
          FloatRow{AL_MAX_DISTANCE, FLT_MAX}, FloatRow{AL_ROLLOFF_FACTOR, 1}, FloatRow{AL_DOPPLER_FACTOR, 1}})
        EXPECT_EQ(SourceFloat(id, row.param), row.value) << std::hex << row.param;
    EXPECT_EQ(TakeError(), AL_NO_ERROR);
    EXPECT_EQ(Context().FindSource(id)->listenerMask, 1u);
}

TEST_F(MixerTest, SourceParametersAreStoredOnlyWithinTheirRanges) {
    const unsigned id = NewSource();
    struct Row {
        const char* what;
        int param;
        float value;
        int error;
        float stored;
    };
    const Row rows[] = {
        {"pitch 0 becomes the least pitch", AL_PITCH, 0.0f, AL_NO_ERROR, 0.001f},
        {"negative pitch", AL_PITCH, -1.0f, AL_INVALID_VALUE, 0.001f},
        {"NaN pitch", AL_PITCH, std::nanf(""), AL_INVALID_VALUE, 0.001f},
        {"gain above 1 is fine", AL_GAIN, 4.0f, AL_NO_ERROR, 4.0f},
        {"max gain above 1", AL_MAX_GAIN, 1.5f, AL_INVALID_VALUE, 1.0f},
        {"min gain", AL_MIN_GAIN, 0.8f, AL_NO_ERROR, 0.8f},
        {"cone angle over 360", AL_CONE_INNER_ANGLE, 361.0f, AL_INVALID_VALUE, 360.0f},
        {"cone outer gain", AL_CONE_OUTER_GAIN, 0.25f, AL_NO_ERROR, 0.25f},
        {"negative reference distance", AL_REFERENCE_DISTANCE, -1.0f, AL_INVALID_VALUE, 1.0f},
        {"infinite max distance", AL_MAX_DISTANCE, INFINITY, AL_INVALID_VALUE, FLT_MAX},
        {"doppler above 1", AL_DOPPLER_FACTOR, 1.5f, AL_INVALID_VALUE, 1.0f},
        {"doppler", AL_DOPPLER_FACTOR, 0.5f, AL_NO_ERROR, 0.5f},
        {"rolloff", AL_ROLLOFF_FACTOR, 2.0f, AL_NO_ERROR, 2.0f},
    };
    for (const Row& row : rows) {
        alSourcef(id, row.param, row.value);
        EXPECT_EQ(TakeError(), row.error) << row.what;
        EXPECT_EQ(SourceFloat(id, row.param), row.stored) << row.what;
    }
    alSourcef(id, 0x1234, 1.0f);
    EXPECT_EQ(TakeError(), AL_INVALID_ENUM);
    alSourcef(99, AL_PITCH, -1.0f);
    EXPECT_EQ(TakeError(), AL_NO_ERROR) << "an unknown id is ignored silently";

    alSourcei(id, AL_LOOPING, 1);
    alSourcei(id, AL_SOURCE_RELATIVE, 1);
    alSourcei(id, AL_LOOPING, 2);
    EXPECT_EQ(TakeError(), AL_INVALID_VALUE);
    alSourcei(id, AL_SOURCE_RELATIVE, -1);
    EXPECT_EQ(TakeError(), AL_INVALID_VALUE);
    EXPECT_EQ(SourceInt(id, AL_LOOPING), 1);
    EXPECT_EQ(SourceInt(id, AL_SOURCE_RELATIVE), 1);
    alSourcei(id, AL_PITCH, 1);
    EXPECT_EQ(TakeError(), AL_INVALID_ENUM);

    alSource3f(id, AL_POSITION, 1, 2, 3);
    alSource3f(id, AL_VELOCITY, 4, 5, 6);
    alSource3f(id, AL_DIRECTION, 0, 0, -1);
    const ALsource* s = Context().FindSource(id);
    EXPECT_EQ(s->location[1], 2.0f);
    EXPECT_EQ(s->velocity[2], 6.0f);
    EXPECT_EQ(s->direction[2], -1.0f);
    alSource3f(id, AL_GAIN, 1, 1, 1);
    EXPECT_EQ(TakeError(), AL_INVALID_ENUM);

    int value = 5;
    alGetSourcei(99, AL_LOOPING, &value);
    EXPECT_EQ(TakeError(), AL_INVALID_NAME);
    alGetSourcei(id, AL_PITCH, &value);
    EXPECT_EQ(TakeError(), AL_INVALID_ENUM);
    alGetSourcef(id, AL_LOOPING, reinterpret_cast<float*>(&value));
    EXPECT_EQ(TakeError(), AL_INVALID_ENUM);
    EXPECT_EQ(value, 5);
    alGetSourcei(id, AL_LOOPING, nullptr);
    EXPECT_EQ(TakeError(), AL_INVALID_VALUE);
}

TEST_F(MixerTest, PlayPauseAndStopMoveTheStateAndStampTheStart) {
    const unsigned a = NewSource();
    const unsigned b = NewSource();
    alcSetListenerMask(4);
    g_audioTimestamp = 123456;
    alSourcePlay(a);
    EXPECT_EQ(SourceInt(a, AL_SOURCE_STATE), AL_PLAYING);
    EXPECT_EQ(Context().FindSource(a)->listenerMask, 4u);
    EXPECT_EQ(Context().FindSource(a)->playTimestamp, 123456);
    alSourceSetListenerMask(a, 2);
    EXPECT_EQ(Context().FindSource(a)->listenerMask, 2u);
    alSourcePause(a);
    EXPECT_EQ(SourceInt(a, AL_SOURCE_STATE), AL_PAUSED);
    alSourceStop(a);
    EXPECT_EQ(SourceInt(a, AL_SOURCE_STATE), AL_STOPPED);

    // One unknown id starts none of them.
    const unsigned with_unknown[3] = {a, 99, b};
    alSourcePlayv(3, with_unknown);
    EXPECT_EQ(TakeError(), AL_INVALID_NAME);
    EXPECT_EQ(SourceInt(b, AL_SOURCE_STATE), AL_INITIAL);
    g_audioTimestamp = 777;
    const unsigned both[2] = {a, b};
    alSourcePlayv(2, both);
    EXPECT_EQ(SourceInt(b, AL_SOURCE_STATE), AL_PLAYING);
    EXPECT_EQ(Context().FindSource(b)->playTimestamp, 777);
    g_audioTimestamp = 0;

    for (auto call : {alSourcePlay, alSourcePause, alSourceStop}) {
        call(99);
        EXPECT_EQ(TakeError(), AL_INVALID_NAME);
    }
    alSourceSetListenerMask(0, 1);
    EXPECT_EQ(TakeError(), AL_INVALID_NAME);
}

TEST_F(MixerTest, OffsetsMoveThePositionAndReadZeroUnlessPlayingOrPaused) {
    const unsigned id = NewSource();
    alSourcef(id, AL_SEC_OFFSET, 1.0f);
    EXPECT_EQ(TakeError(), AL_INVALID_OPERATION) << "seconds need a buffer's rate";
    const unsigned buffer = NewMono16Buffer(44100); // 22050 Hz, two seconds
    alSourcei(id, AL_BUFFER, static_cast<int>(buffer));
    alSourcef(id, AL_SEC_OFFSET, 0.5f);
    EXPECT_EQ(Context().FindSource(id)->position, 11025u);
    EXPECT_EQ(SourceInt(id, AL_SAMPLE_OFFSET), 0) << "stopped sources read 0";
    alSourcePlay(id);
    EXPECT_EQ(SourceInt(id, AL_SAMPLE_OFFSET), 11025);
    EXPECT_EQ(SourceFloat(id, AL_SEC_OFFSET), 0.5f);
    alSourcef(id, AL_SAMPLE_OFFSET, 300.7f);
    alSourcePause(id);
    EXPECT_EQ(SourceFloat(id, AL_SAMPLE_OFFSET), 300.0f);
    alSourcef(id, AL_BYTE_OFFSET, 8.0f);
    EXPECT_EQ(SourceInt(id, AL_SAMPLE_OFFSET), 300) << "byte offsets change nothing";
    alSourcef(id, AL_SAMPLE_OFFSET, -1.0f);
    EXPECT_EQ(TakeError(), AL_INVALID_VALUE);
    alSourcef(id, AL_SAMPLE_OFFSET, 1e20f);
    EXPECT_EQ(Context().FindSource(id)->position, UINT32_MAX) << "huge offsets saturate";

    // AL_BUFFER only while stopped or initial.
    alSourcePlay(id);
    alSourcei(id, AL_BUFFER, 0);
    EXPECT_EQ(TakeError(), AL_INVALID_VALUE);
    EXPECT_EQ(SourceInt(id, AL_BUFFER), 1);
    alSourceStop(id);
    alSourcei(id, AL_BUFFER, 0);
    EXPECT_EQ(SourceInt(id, AL_BUFFER), 0);
    EXPECT_EQ(Context().FindSource(id)->position, 0u);
}

TEST_F(MixerTest, QueuedBuffersPlayInOrderAndComeOffOnlyOncePlayed) {
    const unsigned id = NewSource();
    const unsigned abc[3] = {NewMono16Buffer(4), NewMono16Buffer(4), NewMono16Buffer(4)};
    const unsigned with_skips[5] = {abc[0], 0, abc[1], 99, abc[2]};
    alSourceQueueBuffers(id, 5, with_skips);
    EXPECT_EQ(TakeError(), AL_NO_ERROR);
    ALsource* s = Context().FindSource(id);
    EXPECT_EQ(s->currentBuffer, Context().FindBuffer(abc[0]));
    EXPECT_EQ(SourceInt(id, AL_BUFFERS_QUEUED), 3);
    EXPECT_EQ(SourceInt(id, AL_BUFFER), 1);

    s->processedCount = 1; // as the mixer leaves it after the first buffer
    s->currentBuffer = Context().FindBuffer(abc[1]);
    unsigned out[3] = {};
    alSourceUnqueueBuffers(id, 2, out);
    EXPECT_EQ(TakeError(), AL_INVALID_VALUE);
    EXPECT_EQ(SourceInt(id, AL_BUFFERS_QUEUED), 3);
    alSourceUnqueueBuffers(id, 1, out);
    EXPECT_EQ(out[0], abc[0]);
    EXPECT_EQ(s->currentBuffer, Context().FindBuffer(abc[1]));

    alSourcef(id, AL_SAMPLE_OFFSET, 2.0f);
    alSourceStop(id);
    EXPECT_EQ(SourceInt(id, AL_BUFFERS_PROCESSED), 2);
    EXPECT_EQ(SourceInt(id, AL_SAMPLE_OFFSET), 0);
    EXPECT_EQ(s->position, 2u) << "stopping keeps the position";
    alSourceUnqueueBuffers(id, 2, out);
    EXPECT_EQ(out[0], abc[1]);
    EXPECT_EQ(out[1], abc[2]);
    EXPECT_EQ(s->currentBuffer, nullptr);
    EXPECT_EQ(s->queueHead, nullptr);
    EXPECT_EQ(s->queueTail, nullptr);
    EXPECT_EQ(SourceInt(id, AL_BUFFERS_QUEUED), 0);
    EXPECT_EQ(SourceInt(id, AL_BUFFERS_PROCESSED), 0);
    EXPECT_EQ(Context().FindBuffer(abc[2])->queuePrev, nullptr);

    alSourceUnqueueBuffers(id, 1, out);
    EXPECT_EQ(TakeError(), AL_INVALID_VALUE);
    alSourceQueueBuffers(99, 1, abc);
    EXPECT_EQ(TakeError(), AL_INVALID_NAME);
}

// Queue links live in the buffers, so a buffer can be in one queue once; the
// mixer reads a queue with one sample format. Each refusal queues nothing.
TEST_F(MixerTest, QueueingRefusesBuffersAlreadyQueuedOrOfAnotherFormat) {
    const unsigned first = NewSource();
    const unsigned second = NewSource();
    const unsigned mono = NewMono16Buffer(4);
    const unsigned mono2 = NewMono16Buffer(4);
    const unsigned stereo = NewBuffer();
    const int16_t frames[4] = {};
    alBufferData(stereo, AL_FORMAT_STEREO16, frames, 8, 22050);
    const unsigned empty = NewBuffer();
    alSourceQueueBuffers(first, 1, &mono);

    struct Row {
        const char* what;
        unsigned source;
        std::vector<unsigned> ids;
    };
    const Row rows[] = {
        {"queued on another source", second, {mono2, mono}},
        {"queued here already", first, {mono}},
        {"twice in one call", second, {mono2, mono2}},
        {"a format unlike the queue's", first, {mono2, stereo}},
        {"formats unlike each other", second, {stereo, mono2}},
    };
    for (const Row& row : rows) {
        alSourceQueueBuffers(row.source, static_cast<int>(row.ids.size()), row.ids.data());
        EXPECT_EQ(TakeError(), AL_INVALID_OPERATION) << row.what;
        EXPECT_EQ(SourceInt(first, AL_BUFFERS_QUEUED), 1) << row.what;
        EXPECT_EQ(SourceInt(second, AL_BUFFERS_QUEUED), 0) << row.what;
        EXPECT_EQ(Context().FindBuffer(mono)->queueNext, nullptr) << row.what;
    }
    // A buffer never given data carries no format; the mixer skips it.
    const unsigned fits[2] = {empty, mono2};
    alSourceQueueBuffers(first, 2, fits);
    EXPECT_EQ(TakeError(), AL_NO_ERROR);
    EXPECT_EQ(SourceInt(first, AL_BUFFERS_QUEUED), 3);
    alSourceQueueBuffers(second, 1, &stereo);
    EXPECT_EQ(TakeError(), AL_NO_ERROR);
}

// A deleted source comes back by id with its parameters, but stopped and
// holding no buffer: it never plays again by itself, and the buffers it held
// can be deleted while it waits.
TEST_F(MixerTest, DeletedSourceComesBackByIdWithItsParametersButNoBuffers) {
    unsigned ids[5] = {};
    alGenSources(5, ids);
    const unsigned five = ids[4];
    ASSERT_EQ(five, 5u);
    const unsigned buffers[2] = {NewMono16Buffer(4), NewMono16Buffer(4)};
    alSourceQueueBuffers(five, 2, buffers);
    alSourcef(five, AL_GAIN, 0.3f);
    alSourcei(five, AL_LOOPING, 1);
    alSourcef(five, AL_SAMPLE_OFFSET, 3.0f);
    alSourcePlay(five);
    alDeleteSources(1, &five);

    EXPECT_EQ(Context().FindSource(five), nullptr);
    alSourcePlay(five);
    EXPECT_EQ(TakeError(), AL_INVALID_NAME) << "a deleted id names nothing";
    alSourcef(five, AL_GAIN, 0.9f);
    alDeleteBuffers(2, buffers);
    EXPECT_EQ(TakeError(), AL_NO_ERROR);
    EXPECT_EQ(alIsBuffer(buffers[0]), 0);

    unsigned again = 0;
    alGenSources(1, &again);
    EXPECT_EQ(again, 5u);
    EXPECT_EQ(SourceFloat(again, AL_GAIN), 0.3f);
    EXPECT_EQ(SourceInt(again, AL_LOOPING), 1);
    EXPECT_EQ(SourceInt(again, AL_SOURCE_STATE), AL_STOPPED);
    EXPECT_EQ(SourceInt(again, AL_BUFFER), 0);
    EXPECT_EQ(SourceInt(again, AL_BUFFERS_QUEUED), 0);
    EXPECT_EQ(Context().FindSource(again)->position, 0u);
    EXPECT_EQ(Context().sourceTail, Context().FindSource(again))
        << "reused sources go to the end of the list";
    EXPECT_EQ(NewSource(), 6u);

    // Deleting several, unknown ids among them: the free list hands back the
    // latest deleted first.
    const unsigned some[3] = {2, 42, 4};
    alDeleteSources(3, some);
    EXPECT_EQ(TakeError(), AL_NO_ERROR);
    alGenSources(2, ids);
    EXPECT_EQ(ids[0], 4u);
    EXPECT_EQ(ids[1], 2u);
}

TEST_F(MixerTest, DistanceModelTakesNoneAndTheSixModelsOnly) {
    for (int model : {AL_NONE, AL_INVERSE_DISTANCE, AL_EXPONENT_DISTANCE_CLAMPED, AL_LINEAR_DISTANCE}) {
        alDistanceModel(model);
        EXPECT_EQ(Context().distanceModel, model);
    }
    for (int model : {1, 0xD000, 0xD007}) {
        alDistanceModel(model);
        EXPECT_EQ(TakeError(), AL_INVALID_VALUE) << std::hex << model;
        EXPECT_EQ(Context().distanceModel, AL_LINEAR_DISTANCE);
    }
}
