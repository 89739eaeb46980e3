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

class AudioDebugCanvas;
struct ALCcontext_struct;
struct cAudio_Sound;
struct CNoise;

// The decoding state of one voice that plays a streamed or compressed sound.
// Its two mixer buffers play out of their own halves of decodeMemory, and a
// half is refilled only after its buffer has been unqueued. Fields the main
// thread shares with the decoder thread are guarded by that thread's mutex
// (command, starting, pausePending, pendingSound, listenerMask, startSeconds,
// active) or atomic.
//
// A source changes state in steps (stop, queue, play, pause again) whenever
// the decoder starts, seeks or restarts it; each such sequence runs under
// the mixer context's lock (MixerBatch), as do the main thread's pause and
// resume, so neither thread ever sees or acts on a state half-way through
// the other's sequence. Lock order: the mixer context, then the thread's
// mutex.
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
    // A play the decoder thread has taken from `command` but not yet started.
    bool starting = false;
    // The game paused the voice while its source was not playing (its start
    // pending or in flight, or its queue run dry): the decoder pauses the
    // source as soon as it plays it. Resume and a new play clear it.
    bool pausePending = false;
    cAudio_Sound* pendingSound = nullptr;
    uint32_t listenerMask = 0;
    std::atomic<int64_t> blocksPlayed{0};
    int seekMs = 0;
    float startSeconds = 0.0f;
    // Set when a seek (or a play from an offset) is posted, cleared once the
    // decoder has carried it out: meanwhile the position is the target.
    std::atomic<bool> seekPending{false};
    float gain = 1.0f;
    int64_t totalSamples = INT64_MAX;
};

inline constexpr uint8_t OGG_CMD_PLAY = 0x01;
inline constexpr uint8_t OGG_CMD_LOOP = 0x02;
inline constexpr uint8_t OGG_CMD_STOP = 0x08;
inline constexpr uint8_t OGG_CMD_SEEK = 0x10;
// Bytes of one decoded block: half of a channel's decode memory.
inline constexpr int OGG_BLOCK_BYTES = 16384;

// Asks every decoder thread to leave the channels and the mixer alone.
extern std::atomic<bool> g_bOggSuspendRequest;

// Holds the current mixer context's (recursive) lock for its lifetime: the
// al* calls made meanwhile are one step for every other thread.
class MixerBatch {
public:
    MixerBatch();
    ~MixerBatch();
    MixerBatch(const MixerBatch&) = delete;
    MixerBatch& operator=(const MixerBatch&) = delete;

private:
    ALCcontext_struct* m_context;
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
    // The voice's channel (null when its thread never started); with
    // syncGroup >= 0 the track of that group whose sourceIndex is `source`.
    static SOggChannel* GetOggChannel(int source, int syncGroup);
    // Started decoder threads (for tests and the debug view).
    static int StartedThreads();
    // Voices served by decoder channels; 0 before Init.
    static int StreamedVoices();
    // Whether a decoder channel or a sync group still plays `sound` (a
    // destroyed stream sound is freed only once nothing does).
    static bool SoundInUse(const cAudio_Sound* sound);

    // [SECTION] sync groups (sync_groups.cpp). Every operation on an id that
    // names no group does nothing and answers 0, false or -1.
    // The new group's id; -1 when the decoder layer was never set up.
    static int Create_SyncThread(bool loop);
    static void Delete_SyncThread(int id);
    // Adds `sound` as the group's next track: the slot, or 0 without a group.
    static int PlayInSyncThread(int id, cAudio_Sound* sound);
    static void StartSyncGroup(int id);
    static void StopSyncGroup(int id);
    static void PauseSyncGroup(int id);
    static void ResumeSyncGroup(int id);
    static bool IsSyncGroupPlaying(int id);
    static float GetSyncGroupTrackPos(int id);
    // The group the debug view shows, -1 for none.
    static void DebugSyncGroup(int id);
    static void SyncDrawDebug(AudioDebugCanvas& canvas, float windowWidth, float windowHeight);
    // Prints the groups' logs and destroys the groups whose streams failed.
    static void TickSyncGroups();
    static void DeleteAllSyncThreads();
    static bool SyncGroupsUseSound(const cAudio_Sound* sound);
    static SOggChannel* SyncGroupTrack(int id, int sourceIndex);
    static void WaitSyncGroupsSuspended();
};
