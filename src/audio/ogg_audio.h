// The decoder layer as the voices see it: decoder channels that play
// streamed and compressed sounds on a voice's source, and the whole-stream
// decode of decode-on-load sounds. Channels are named by the voice's source
// slot.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct cAudio_Sound;
struct CNoise;

// What the track position reads of a playing channel.
struct COggChannel {
    int64_t blocksPlayed = 0; // 16384-byte decoded blocks already played
    float startSeconds = 0.0f;
};

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
    static const COggChannel* GetOggChannel(int source, int syncGroup);
};
