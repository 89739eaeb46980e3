// The sound system started on the mixer's silent device for each test, with
// a data file made by the writer and the debug console recorded. Ended and
// emptied afterwards, so no test sees another's sounds, groups or voices.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "audio/sound_assets.h"
#include "audio/voices.h"
#include "core/console.h"
#include "game_data_writer.h"
#include "sound_chunks.h"

class ImageReader;

// Keeps every line written to it.
class RecordingConsole final : public tagIConsole {
public:
    bool Create(const wchar_t*, bool) override { return true; }
    ZQ_PRINTF_LIKE(2, 3) void Output(const char* format, ...) override;
    std::string text;
};

class SoundSystemTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the sound chunks of the built file through their loaders in file
    // order (as the data file's walk does), then starts audio and prepares
    // the sounds (as the preparation pass does).
    void Load(const wad::GameDataWriter& writer);
    // The loaders alone, for files expected to be refused.
    void LoadChunks(const wad::GameDataWriter& writer);
    // Four sounds: 0 "blip" (0.1 s WAV), 1 none, 2 "blip" again (0.2 s WAV),
    // 3 "music" (streamed, so played by a decoder channel).
    void WriteStandardSounds(wad::GameDataWriter& writer, int groupOfSound2 = 0);
    void LoadStandard() {
        wad::GameDataWriter w;
        WriteStandardSounds(w);
        Load(w);
    }

    unsigned SourceOf(int handle);
    float SourceFloat(unsigned source, int param);
    int SourceState(unsigned source);
    // `frames` frames of the mixer's stereo 16-bit output, as the output
    // device renders them (the sources then move past them).
    std::vector<int16_t> Mix(int frames);
    // Runs the audio tick `n` times.
    void Tick(int n);

    std::vector<uint8_t> m_image;
    RecordingConsole m_console;
    tagIConsole* m_savedConsole = nullptr;
};

// A "SOND" record named `name` (no file name) using audio entry `audioIndex`.
wad::SoundFields SoundRecord(const char* name, int32_t audioIndex, int32_t kind = 101, int32_t group = 0);

// A 16-bit mono WAV at 22050 Hz of `frames` samples of one value.
std::vector<uint8_t> ConstantWav(int frames, int16_t value);
