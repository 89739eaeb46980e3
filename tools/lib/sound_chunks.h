// The sound system's chunks: "SOND" (sound records), "AGRP" (audio group
// names) and "AUDO" (sound file images), and the audio group files
// "audiogroup%d.dat" that carry an "AUDO" payload of their own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game_data_writer.h"

namespace wad {

// One "SOND" record: nine 32-bit words {name, kind, 0, file name, 0, gain,
// 0, group, audio entry}. Kind 101 is an uncompressed sound image, 100 a
// streamed Ogg file, 102 Ogg kept compressed, 103 Ogg decoded on load.
struct SoundFields {
    std::optional<std::string> name;
    int32_t kind = 101;
    std::optional<std::string> fileName;
    float gain = 1.0f;
    int32_t group = 0;
    int32_t audioIndex = 0;
};

// Index by index; an empty entry writes offset 0. Records are labelled
// "<labelPrefix>.<index>".
Chunk& WriteSounds(GameDataWriter& writer, const std::vector<std::optional<SoundFields>>& sounds,
                   const std::string& labelPrefix = "SOND");
// One record per group holding the offset of its name.
Chunk& WriteAudioGroups(GameDataWriter& writer, const std::vector<std::optional<std::string>>& names,
                        const std::string& labelPrefix = "AGRP");
// Entries of {byte count, bytes}; an empty entry writes offset 0.
Chunk& WriteAudioData(GameDataWriter& writer, const std::vector<std::optional<std::vector<uint8_t>>>& entries,
                      const std::string& labelPrefix = "AUDO");

// A whole audio group file: 8 bytes the runtime does not read, "AUDO", the
// payload's length, then the payload, whose entry offsets count from the
// file's first byte.
std::vector<uint8_t> BuildAudioGroupFile(const std::vector<std::optional<std::vector<uint8_t>>>& entries);

// A PCM WAV image of interleaved little-endian samples.
std::vector<uint8_t> WavImage(int channels, int bitsPerSample, int rate, const std::vector<uint8_t>& samples);
// A 16-bit mono WAV image of the given samples.
std::vector<uint8_t> WavImage16(int rate, const std::vector<int16_t>& samples);

} // namespace wad
