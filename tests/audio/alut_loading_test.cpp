// freealut parses sound images into buffers of our mixer: its al*/alc* calls
// reach the mixer's own functions, and no system OpenAL library is loaded.
// This is the one file that includes freealut's header; its AL macros would
// clash with the mixer's constants, so the mixer is reached through a lookup.
#include <AL/alut.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "audio/mixer_buffer.h"
#include "mixer_lookup.h"

namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

// A PCM WAV image of the given samples.
std::vector<uint8_t> WavImage(int channels, int bits, int rate, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out;
    const auto tag = [&out](const char* t) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(t[i]));
    };
    tag("RIFF");
    PutU32(out, static_cast<uint32_t>(36 + data.size()));
    tag("WAVE");
    tag("fmt ");
    PutU32(out, 16);
    PutU16(out, 1);
    PutU16(out, static_cast<uint16_t>(channels));
    PutU32(out, static_cast<uint32_t>(rate));
    PutU32(out, static_cast<uint32_t>(rate * channels * bits / 8));
    PutU16(out, static_cast<uint16_t>(channels * bits / 8));
    PutU16(out, static_cast<uint16_t>(bits));
    tag("data");
    PutU32(out, static_cast<uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

int LoadedObjectsNamingOpenAL(dl_phdr_info* info, size_t, void* count) {
    if (info->dlpi_name != nullptr && std::strstr(info->dlpi_name, "openal") != nullptr)
        ++*static_cast<int*>(count);
    return 0;
}

} // namespace

TEST(AlutLoading, WavImagesLandInOurBuffersAndNoSystemOpenALIsLoaded) {
    ASSERT_EQ(alutInit(nullptr, nullptr), AL_TRUE) << alutGetErrorString(alutGetError());
    ALCcontext* context = alcGetCurrentContext();
    ASSERT_NE(context, nullptr);
    EXPECT_STREQ(alcGetString(alcGetContextsDevice(context), ALC_DEVICE_SPECIFIER), "ZQOpenAL Device");

    struct Row {
        int channels, bits, rate;
        std::vector<uint8_t> data;
        int format;
    };
    const Row rows[] = {
        {1, 16, 22050, {0x01, 0x02, 0xFF, 0x7F, 0x00, 0x80, 0x10, 0x20}, AL_FORMAT_MONO16},
        {2, 8, 8000, {0, 64, 128, 192, 255, 1}, AL_FORMAT_STEREO8},
    };
    for (const Row& row : rows) {
        const std::vector<uint8_t> image = WavImage(row.channels, row.bits, row.rate, row.data);
        const ALuint id = alutCreateBufferFromFileImage(image.data(), static_cast<ALsizei>(image.size()));
        ASSERT_NE(id, 0u) << alutGetErrorString(alutGetError());
        // freealut freed its decoded samples as soon as it handed them over:
        // the buffer reads its own copy, which ASan checks is still alive.
        const ALbuffer* buffer = MixerTest_FindBuffer(id);
        ASSERT_NE(buffer, nullptr) << "the buffer is one of ours";
        EXPECT_EQ(buffer->format, row.format);
        EXPECT_EQ(buffer->frequency, row.rate);
        ASSERT_EQ(buffer->sizeBytes, static_cast<int>(row.data.size()));
        EXPECT_EQ(std::memcmp(buffer->samples, row.data.data(), row.data.size()), 0);
        ALint channels = 0;
        alGetBufferi(id, AL_CHANNELS, &channels);
        EXPECT_EQ(channels, row.channels);
    }
    EXPECT_EQ(alutCreateBufferFromFileImage("not a sound", 11), 0u);

    // The functions freealut called are in this program, and no library of
    // the system's OpenAL was even loaded.
    Dl_info mixer{};
    Dl_info here{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&alBufferData), &mixer), 0);
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&LoadedObjectsNamingOpenAL), &here), 0);
    EXPECT_EQ(mixer.dli_fbase, here.dli_fbase);
    EXPECT_EQ(dlopen("libopenal.so.1", RTLD_LAZY | RTLD_NOLOAD), nullptr);
    int openal_objects = 0;
    dl_iterate_phdr(LoadedObjectsNamingOpenAL, &openal_objects);
    EXPECT_EQ(openal_objects, 0);

    EXPECT_EQ(alutExit(), AL_TRUE);
    EXPECT_EQ(alcGetCurrentContext(), nullptr);
}
