// The decoder layer as the voices see it: decoder channels that play
// streamed and compressed sounds on a voice's source, and the whole-stream
// decode of decode-on-load sounds. Channels are named by the voice's source
// slot.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/ogg_memory.h"

struct cAudio_Sound;
struct CNoise;

// The decoding state of one voice that plays a streamed or compressed sound.
// Its two mixer buffers play out of their own halves of decodeMemory, and a
// half is refilled only after its buffer has been unqueued. Fields the main
// thread shares with the decoder thread are guarded by that thread's mutex
// (command, pendingSound, listenerMask, startSeconds, active) or atomic.
struct SOggChannel {
    SOggChannel() = default;
    // Deletes the buffers and closes the stream.
    ~SOggChannel();
    SOggChannel(const SOggChannel&) = delete;
    SOggChannel& operator=(const SOggChannel&) = delete;

    void Init(unsigned sourceName, int index);

    OggVorbis_File vorbisFile{};
    bool streamOpen = false;
    const vorbis_info* info = nullptr;
    std::unique_ptr<char[]> decodeMemory;
    char* halves[2] = {nullptr, nullptr};
    int halfIndex = 0;
    unsigned buffers[2] = {0, 0};
    unsigned source = 0;
    int sourceIndex = -1;
    cAudio_Sound* sound = nullptr;
    OggMemorySource memory;
    int state = 0; // 0 idle, 1 playing once, 2 looping, 3 end of data reached
    bool buffersMade = false;
    bool active = false;
    uint8_t command = 0;
    cAudio_Sound* pendingSound = nullptr;
    uint32_t listenerMask = 0;
    std::atomic<int64_t> blocksPlayed{0};
    int seekMs = 0;
    float startSeconds = 0.0f;
    float gain = 1.0f;
    int64_t totalSamples = INT64_MAX;
};

inline constexpr uint8_t OGG_CMD_PLAY = 0x01;
inline constexpr uint8_t OGG_CMD_LOOP = 0x02;
inline constexpr uint8_t OGG_CMD_PAUSED = 0x04;
inline constexpr uint8_t OGG_CMD_STOP = 0x08;
inline constexpr uint8_t OGG_CMD_SEEK = 0x10;
// Bytes of one decoded block: half of a channel's decode memory.
inline constexpr int OGG_BLOCK_BYTES = 16384;

// Asks every decoder thread to leave the channels and the mixer alone.
extern std::atomic<bool> g_bOggSuspendRequest;

class COggAudio {
public:
    static void Init(int threads, int channels);
    static void Quit();
    static void Suspend();
    static void Unsuspend();
    // Starts `sound` on the channel of `source`; -1 when it cannot.
    static int Play_Sound(int source, cAudio_Sound* sound, bool loop, float startOffset,
                          uint32_t listenerMask, int syncGroup);
    static void Stop_Sound(int source);
    static void Pause_Sound(int source);
    static void Resume_Sound(int source);
    static void Seek_Sound(int source, float seconds);
    // Frees the voices whose channels have finished.
    static void Tick(std::vector<std::unique_ptr<CNoise>>& voices);
    // Fills lengthSeconds, sampleRate, channels and totalSamples.
    static void CalcSoundInfo(cAudio_Sound* sound);
    // A mixer buffer holding the sound's whole decoded compressed stream, 0
    // when it cannot be decoded.
    static int32_t DecompressOgg(cAudio_Sound* sound);
    // The voice's channel (null when its thread never started); sync groups
    // (syncGroup >= 0) have no channels yet.
    static SOggChannel* GetOggChannel(int source, int syncGroup);
    // Started decoder threads (for tests and the debug view).
    static int StartedThreads();
};
