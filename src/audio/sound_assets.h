// The sound system's records and its one index space: sound assets from the
// "SOND" chunk (0 and up), buffer sounds (100000 + slot), play queues
// (200000 + slot), stream sounds (300000 + slot) and, from 400001 up, the
// handles of playing instances. Every operation turns an index into a record
// through Audio_GetSound, so the ranges are decided in one place.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ImageReader;
struct CNoise;

inline constexpr int BASE_SOUND_INDEX = 400000;
inline constexpr int BUFFER_SOUND_BASE = 100000;
inline constexpr int QUEUE_SOUND_BASE = 200000;
inline constexpr int STREAM_SOUND_BASE = 300000;

inline bool Audio_IsQueueIndex(int index) {
    return index >= QUEUE_SOUND_BASE && index < STREAM_SOUND_BASE;
}

// One playable sound of any kind. A sound is "decoded" (played through a
// decoder channel, never from alBuffer) when it is streamed or compressed.
struct cAudio_Sound {
    cAudio_Sound() = default;
    // Deletes alBuffer when the mixer knows it.
    ~cAudio_Sound();
    cAudio_Sound(const cAudio_Sound&) = delete;
    cAudio_Sound& operator=(const cAudio_Sound&) = delete;

    std::optional<std::string> fileName; // bundle file of a streamed sound; buffer debug name
    float gain = 1.0f;
    float pitch = 1.0f;
    // The entry's bytes (after its byte count) inside the data image or a
    // loaded group file; checked against the file when they were found.
    const uint8_t* data = nullptr;
    uint32_t dataLength = 0;
    int32_t bufferId = 0;
    int32_t audioIndex = 0;
    // Mixer buffer of the samples; 0 or -1 means none.
    int32_t alBuffer = -1;
    float gainStep = 0.0f;
    int32_t gainTicks = 0;
    bool streamed = false;
    bool compressed = false;
    bool decodeOnLoad = false;
    bool destroyed = false;
    const uint8_t* compressedData = nullptr;
    int32_t compressedLength = 0;
    std::optional<std::string> bundlePath;
    float lengthSeconds = -1.0f;
    int32_t sampleRate = 0;
    int32_t channels = 1;
    int64_t totalSamples = 0;
    float startOffset = 0.0f;
    int32_t group = 0;
    int32_t queueFormat = 0;
    int32_t queueChannels = 0;
    CNoise* queueVoice = nullptr;
    bool singleVoice = false;

    bool Decoded() const { return streamed || compressed; }
    // Readies the sound for playing when it belongs to `group` (every sound
    // counts as group 0 while no groups exist): notes the Ogg bytes of a
    // compressed sound, decodes a decode-on-load one, or builds the mixer
    // buffer of an uncompressed sound image. Safe on a loader thread.
    void Prepare(int group);
    void FreeALBuffer();
};

using SoundTable = std::vector<std::unique_ptr<cAudio_Sound>>;

// The tables (empty slots allowed). Assets and their names have one length.
extern SoundTable g_AudioSounds;
extern std::vector<std::optional<std::string>> g_AudioNames;
extern SoundTable g_BufferSounds;
extern SoundTable g_QueueSounds;
extern SoundTable g_StreamSounds;

// Flags from a "SOND" record's kind word.
void Audio_SetKindFlags(cAudio_Sound& sound, int32_t kind);

// Chunk loaders. Every count, offset, string and entry length is checked
// through the reader; bad data throws GameDataError and changes nothing.
void Audio_Load(ImageReader& chunk);
void AudioGroup_Load(ImageReader& chunk);
// The data file's "AUDO" chunk: entries for group 0.
void Audio_WAVs(ImageReader& chunk);
// An "AUDO" payload serving the sounds of `group`; entry offsets resolve
// against the reader's image (the data file, or the whole group file).
void Audio_WAVs(ImageReader& chunk, int group);
// After every chunk is loaded: group sound lists, then group-0 sounds prepared.
void Audio_Prepare();
// Empties every table (records and names released).
void Audio_ClearSounds();

cAudio_Sound* Audio_GetSound(int index);
int Audio_Number();
// Name of asset i (0 <= i < count), null for a slot without one.
const char* Audio_Name(int index);
// The highest asset index with this name, -1 when none.
int Audio_Find(const char* name);
const char* Audio_GetName(int index);
bool Audio_Exists(int index);
int Audio_GetSoundType(int index);
float Audio_GetGainFromSoundID(int index);
// Reports a pending mixer error on the debug console.
void checkAL(const char* label);
