// Sync groups: one thread per group decodes every track, mixes the tracks in
// software into one 16 KB block at a time and feeds the blocks, two queued at
// once, to the group's own source. All tracks follow one group clock
// (nextPosition, in sample frames of track 0's format): before each block a
// track is placed at the clock modulo its own length, so a short track starts
// over in step and a track that was silent re-enters at the right place.
//
// What must stay true: the main thread only posts requests and track commands
// under the group's mutex; every mixer call on the group's source and buffers
// after creation is the group thread's. A mix half is rewritten only after its
// buffer has left the source's queue (the mixer reads halves without a copy).
// Sound gains reach the thread as copies the main thread's tick takes under
// the mutex, so the thread never reads a sound record the script may change.
//
// [SECTION] the group thread
// [SECTION] the group table and its operations
// [SECTION] script-facing functions
// [SECTION] debug view
#include "audio/sync_groups.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "audio/audio_groups.h"
#include "audio/mixer_api.h"
#include "audio/mixer_debug.h"
#include "audio/ogg_decode.h"
#include "audio/sound_assets.h"
#include "core/console.h"
#include "core/graphics_perf.h"
#include "core/mutex.h"
#include "core/real_to_int.h"
#include "core/run_settings.h"
#include "core/thread.h"
#include "core/timing.h"
#include "world/datafile/options.h"

namespace {

// [SECTION] the group thread

constexpr int kPassMicroseconds = 16000;
constexpr int kBlockSamples = OGG_BLOCK_BYTES / 2;
// Below this gain at both ends of a block a track is neither decoded nor mixed.
constexpr float kSilentGain = 0.01f;

struct MixMemory {
    alignas(128) int16_t halves[2][kBlockSamples];
};

// A script gain as the mixing loop may use it: finite and not negative.
float MixGain(float g) {
    return std::isfinite(g) && g > 0.0f ? g : 0.0f;
}

// Adds `n` decoded samples to `mixed`, their gain ramping linearly from g0
// at the first sample towards g1, truncated toward zero and saturated.
void MixInto(int16_t* mixed, const int16_t* decoded, int n, float g0, float g1) {
    const float slope = (g1 - g0) / static_cast<float>(n);
    for (int i = 0; i < n; ++i) {
        const float v = static_cast<float>(decoded[i]) * (g0 + slope * static_cast<float>(i)) +
                        static_cast<float>(mixed[i]);
        mixed[i] = static_cast<int16_t>(RealToInt32(std::clamp(v, -32767.0f, 32767.0f)));
    }
}

class COggSyncThread {
public:
    COggSyncThread(int id, bool loop) : m_id(id), m_loop(loop) { m_thread.SetMutex(&m_termMutex); }
    ~COggSyncThread() { Quit(); }
    COggSyncThread(const COggSyncThread&) = delete;
    COggSyncThread& operator=(const COggSyncThread&) = delete;

    // Makes the tracks, the mix memory, the source and its two buffers and
    // starts the thread; without a thread the group keeps no tracks.
    void Create(int trackCount) {
        for (int i = 0; i < trackCount; ++i) {
            auto track = std::make_unique<SOggChannel>();
            track->Init(0, -1); // its buffers and memory serve only as decode scratch
            m_tracks.push_back(std::move(track));
        }
        m_mix = std::make_unique<MixMemory>();
        alGenSources(1, &m_source);
        alSourcef(m_source, AL_GAIN, 0.0f);
        alGenBuffers(2, m_buffers);
        m_sourceMade = true;
        m_snapshot.assign(m_tracks.size(), 0);
        m_gains.assign(m_tracks.size(), 1.0f);
        m_activeNow.assign(m_tracks.size(), false);
        m_currentHalf = 0;
        if (!m_thread.Start(ThreadFunc, this)) {
            dbg_csol->Output("Error %d creating ogg thread\n", m_thread.CreationResult());
            CleanUp();
            return;
        }
        m_created = true;
    }

    void Quit() {
        if (m_created) {
            {
                MutexLock lock(m_mutex);
                m_quit = true;
            }
            m_thread.WaitForExit();
            m_log.Show(m_id);
        }
        CleanUp();
    }

    // Takes the next track slot for `sound`; slots past the track count are
    // counted but refused.
    int AddSound(cAudio_Sound* sound) {
        const int slot = m_soundsAdded++;
        if (slot >= static_cast<int>(m_tracks.size())) {
            dbg_csol->Output("Too many sounds added to sync group, not adding this one.\n");
            return slot;
        }
        MutexLock lock(m_mutex);
        SOggChannel& t = *m_tracks[static_cast<size_t>(slot)];
        t.command = OGG_CMD_PLAY;
        t.listenerMask = 1;
        t.startSeconds = 0.0f;
        t.pendingSound = sound;
        t.active = true;
        t.blocksPlayed = 0;
        m_gains[static_cast<size_t>(slot)] = MixGain(sound->gain);
        return slot;
    }

    void RequestStart() {
        MutexLock lock(m_mutex);
        // Nothing to start in a group no sound was added to.
        if (m_soundsAdded == 0 || m_tracks.empty()) return;
        m_startRequest = true;
        m_playing = true;
    }
    void RequestStop() {
        MutexLock lock(m_mutex);
        m_stopRequest = true;
        m_playing = false;
    }
    void RequestPause() {
        MutexLock lock(m_mutex);
        m_pauseRequest = true;
    }
    void RequestResume() {
        MutexLock lock(m_mutex);
        m_resumeRequest = true;
    }

    // Main thread, once a frame: prints the log, hands the thread the tracks'
    // current sound gains; true when a stream failed (the group then ends).
    bool Tick() {
        m_log.Show(m_id);
        MutexLock lock(m_mutex);
        for (size_t i = 0; i < m_tracks.size(); ++i)
            if (const cAudio_Sound* s = m_tracks[i]->pendingSound) m_gains[i] = MixGain(s->gain);
        return m_failed;
    }

    bool Playing() const { return m_playing.load(); }
    bool Suspended() const { return !m_created || m_suspended.load(); }
    int Id() const { return m_id; }
    int SoundsAdded() const { return m_soundsAdded.load(); }
    int Underruns() const { return m_underruns.load(); }
    int TrackCount() const { return static_cast<int>(m_tracks.size()); }
    int64_t NextPosition() const { return m_nextPosition.load(); }
    unsigned Source() const { return m_source; }

    bool UsesSound(const cAudio_Sound* sound) {
        MutexLock lock(m_mutex);
        for (auto& t : m_tracks)
            if (t->pendingSound == sound) return true;
        return false;
    }

    SOggChannel* Track(int sourceIndex) {
        for (auto& t : m_tracks)
            if (t->sourceIndex == sourceIndex) return t.get();
        return nullptr;
    }

    // Track 0's sound (its rate and channels give the group's block format).
    cAudio_Sound* FirstSound() {
        MutexLock lock(m_mutex);
        return m_tracks.empty() ? nullptr : m_tracks[0]->pendingSound;
    }

    // Sample frames of the group clock heard now: the clock after the last
    // block handed over, less the blocks still waiting in the queue, plus the
    // source's offset into the block it plays. Taken under the mutex, which
    // the thread holds while it refills, so clock and queue agree.
    int64_t HeardFrames(int blockFrames) {
        MutexLock lock(m_mutex);
        if (!m_sourceMade) return 0;
        int processed = 0, again = 0, queued = 0, offset = 0;
        // The mixer may move to the next block between two reads: read until
        // the processed count stands still around the offset.
        for (int tries = 0; tries < 4; ++tries) {
            alGetSourcei(m_source, AL_BUFFERS_PROCESSED, &processed);
            alGetSourcei(m_source, AL_SAMPLE_OFFSET, &offset);
            alGetSourcei(m_source, AL_BUFFERS_PROCESSED, &again);
            if (again == processed) break;
        }
        alGetSourcei(m_source, AL_BUFFERS_QUEUED, &queued);
        const int waiting = std::max(queued - processed, 0);
        return std::max<int64_t>(m_endPosition.load() - int64_t{waiting} * blockFrames + offset, 0);
    }

    int QueuedBuffers() {
        int queued = 0;
        if (m_sourceMade) alGetSourcei(m_source, AL_BUFFERS_QUEUED, &queued);
        return queued;
    }

    Mutex& GroupMutex() { return m_mutex; }
    SOggChannel& TrackAt(int i) { return *m_tracks[static_cast<size_t>(i)]; }

private:
    static void* ThreadFunc(CThread* thread) {
        static_cast<COggSyncThread*>(thread->GetUserData())->Run();
        return nullptr;
    }

    void Run() {
        for (;;) {
            const int64_t start = Timing_Time();
            const bool suspended = g_bOggSuspendRequest.load();
            m_suspended = suspended;
            if (!suspended && !Pass()) break;
            const int64_t spent = Timing_Time() - start;
            if (spent < kPassMicroseconds)
                CThread::Sleep(static_cast<int>((kPassMicroseconds - spent) / 1000));
        }
        OggSource_StopAndUnqueue(m_source);
        MutexLock lock(m_mutex);
        for (auto& t : m_tracks) {
            if (t->state != 0) CloseTrack(*t);
            t->active = false;
        }
    }

    // One pass; false when the thread is to leave.
    bool Pass() {
        bool startRequest, stopRequest, pauseRequest, resumeRequest;
        {
            MutexLock lock(m_mutex);
            if (m_quit || m_failed) return false;
            startRequest = m_startRequest;
            stopRequest = m_stopRequest;
            pauseRequest = m_pauseRequest;
            resumeRequest = m_resumeRequest;
            m_startRequest = m_stopRequest = m_pauseRequest = m_resumeRequest = false;
            for (size_t i = 0; i < m_tracks.size(); ++i) {
                SOggChannel& t = *m_tracks[i];
                m_snapshot[i] = t.command;
                t.sound = t.pendingSound;
                t.seekMs = RealToInt32(static_cast<double>(t.startSeconds) * 1000.0);
                t.command = 0;
                m_activeNow[i] = t.active;
            }
            m_gainsNow = m_gains;
        }
        int state = AL_INITIAL;
        alGetSourcei(m_source, AL_SOURCE_STATE, &state);
        if (startRequest) {
            if (state == AL_PLAYING) {
                m_log.LogError("OggSyncThread already playing, ignoring new play request\n");
                return true;
            }
            if (!StartTracks()) return true; // the next pass leaves
            state = AL_PLAYING;
        }
        if (stopRequest) {
            OggSource_StopAndUnqueue(m_source);
            m_tracksInUse = 0; // the tracks stay open until the next start
            state = AL_STOPPED;
        }
        if (state == AL_PLAYING || (state == AL_STOPPED && m_tracksInUse > 0)) {
            MutexLock lock(m_mutex);
            int processed = 0;
            alGetSourcei(m_source, AL_BUFFERS_PROCESSED, &processed);
            while (processed-- > 0) {
                unsigned id = 0;
                alSourceUnqueueBuffers(m_source, 1, &id);
                const int64_t end = m_nextPosition.load() + m_blockFrames;
                m_endPosition = end;
                int16_t* half = m_mix->halves[m_currentHalf];
                std::memset(half, 0, OGG_BLOCK_BYTES);
                UpdateTracks(half);
                alBufferDataNoCopy(id, m_format, half, OGG_BLOCK_BYTES, m_rate);
                m_currentHalf ^= 1;
                m_nextPosition = end;
                alSourceQueueBuffers(m_source, 1, &id);
            }
            if (state == AL_STOPPED) {
                alSourcePlay(m_source);
                ++m_underruns;
            }
        }
        if (pauseRequest && state == AL_PLAYING) alSourcePause(m_source);
        if (resumeRequest && state == AL_PAUSED) alSourcePlay(m_source);
        return true;
    }

    // Opens every track in use, mixes the first two blocks, queues and plays.
    bool StartTracks() {
        // A paused group still holds its queue; a start begins afresh.
        OggSource_StopAndUnqueue(m_source);
        std::memset(m_mix->halves, 0, sizeof m_mix->halves);
        m_nextPosition = 0;
        m_tracksInUse = 0;
        for (size_t i = 0; i < m_tracks.size(); ++i)
            if (m_tracks[i]->sound != nullptr) m_tracksInUse = static_cast<int>(i) + 1;
        m_currentHalf = 0;
        for (int i = 0; i < m_tracksInUse; ++i) {
            SOggChannel& t = *m_tracks[static_cast<size_t>(i)];
            if (t.sound == nullptr) continue;
            t.gain = m_gainsNow[static_cast<size_t>(i)];
            // A restart reopens from the start: close what the last start opened.
            CloseTrack(t);
            if (!OggChannel_Open(t, m_log)) {
                m_log.LogError("failed to open stream file!");
                MutexLock lock(m_mutex);
                m_failed = true;
                return false;
            }
            t.state = 2;
            t.blocksPlayed = 0;
            const ogg_int64_t total = ov_pcm_total(&t.vorbisFile, -1);
            t.halfIndex = 0;
            {
                MutexLock lock(m_mutex);
                // A length the decoder cannot tell never wraps the track.
                t.totalSamples = total > 0 ? total : INT64_MAX;
                // Tracks that ended in an earlier run take part again.
                t.active = true;
                m_activeNow[static_cast<size_t>(i)] = true;
            }
            if (t.gain >= kSilentGain && MixTrack(t, m_mix->halves[0], m_loop, t.gain) == 0) EndTrack(i);
        }
        const vorbis_info* info = m_tracks[0]->info;
        const int channels = info != nullptr ? info->channels : 1;
        m_format = channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
        m_rate = info != nullptr ? static_cast<int>(info->rate) : 44100;
        m_blockFrames = OGG_BLOCK_BYTES / (2 * channels);
        MutexLock lock(m_mutex);
        alBufferDataNoCopy(m_buffers[0], m_format, m_mix->halves[0], OGG_BLOCK_BYTES, m_rate);
        m_nextPosition = m_blockFrames;
        m_endPosition = m_nextPosition.load();
        m_currentHalf = 1;
        UpdateTracks(m_mix->halves[1]);
        alBufferDataNoCopy(m_buffers[1], m_format, m_mix->halves[1], OGG_BLOCK_BYTES, m_rate);
        m_nextPosition += m_blockFrames;
        alSourceQueueBuffers(m_source, 2, m_buffers);
        m_endPosition = m_nextPosition.load();
        alSourcePlay(m_source);
        alSourcef(m_source, AL_GAIN, 1.0f);
        m_currentHalf = 0;
        return true;
    }

    // Mixes one block of every audible track at the group clock into `half`.
    void UpdateTracks(int16_t* half) {
        for (int i = 0; i < m_tracksInUse; ++i) {
            SOggChannel& t = *m_tracks[static_cast<size_t>(i)];
            const float target = m_gainsNow[static_cast<size_t>(i)];
            if (!t.streamOpen || !m_activeNow[static_cast<size_t>(i)]) continue;
            if (t.gain < kSilentGain && target < kSilentGain) continue;
            const int64_t clock = m_nextPosition.load();
            // Without looping a track plays once: past its length it is over
            // (the clock modulo its length would start it again).
            if (!m_loop && clock >= t.totalSamples) {
                EndTrack(i);
                continue;
            }
            ++t.blocksPlayed;
            const ogg_int64_t position = clock % t.totalSamples;
            if (ov_pcm_tell(&t.vorbisFile) != position) ov_pcm_seek(&t.vorbisFile, position);
            if (MixTrack(t, half, m_loop, target) == 0) EndTrack(i);
        }
    }

    // Decodes the track's next block and mixes it into `half`; the track's
    // gain ramps from its last value to `target` over the block.
    int MixTrack(SOggChannel& t, int16_t* half, bool loop, float target) {
        const char* decodedBytes = nullptr;
        const int bytes = OggChannel_DecodeBlock(t, loop, m_log, &decodedBytes);
        if (bytes == 0) return 0;
        int16_t decoded[kBlockSamples];
        const int n = bytes / 2;
        std::memcpy(decoded, decodedBytes, static_cast<size_t>(n) * 2);
        MixInto(half, decoded, n, t.gain, target);
        t.gain = target;
        return bytes;
    }

    void CloseTrack(SOggChannel& t) {
        OggChannel_Close(t);
        t.state = 0;
        t.blocksPlayed = 0;
    }

    void EndTrack(int i) {
        CloseTrack(*m_tracks[static_cast<size_t>(i)]);
        MutexLock lock(m_mutex);
        m_tracks[static_cast<size_t>(i)]->active = false;
        m_activeNow[static_cast<size_t>(i)] = false;
    }

    // Frees the tracks and the mix memory; the source and buffers go too, so
    // destroyed groups leave nothing behind in the mixer.
    void CleanUp() {
        m_tracks.clear();
        m_snapshot.clear();
        m_mix.reset();
        if (m_sourceMade) {
            alSourceStop(m_source);
            alSourcei(m_source, AL_BUFFER, 0);
            alDeleteSources(1, &m_source);
            alDeleteBuffers(2, m_buffers);
            m_sourceMade = false;
        }
        m_created = false;
    }

    int m_id;
    bool m_loop;
    Mutex m_mutex{"OggMutex"};
    OggLog m_log{m_mutex};
    Mutex m_termMutex{"TermMutex"};
    CThread m_thread;
    bool m_created = false;
    bool m_sourceMade = false;
    std::atomic<bool> m_suspended{false};
    std::atomic<bool> m_playing{false};
    std::atomic<int> m_soundsAdded{0};
    std::atomic<int> m_underruns{0};
    std::atomic<int64_t> m_endPosition{0};
    std::atomic<int64_t> m_nextPosition{0};
    // Under m_mutex.
    bool m_quit = false;
    bool m_failed = false;
    bool m_startRequest = false, m_stopRequest = false, m_pauseRequest = false, m_resumeRequest = false;
    std::vector<float> m_gains;
    // The group thread's own.
    std::vector<std::unique_ptr<SOggChannel>> m_tracks;
    std::vector<uint8_t> m_snapshot;
    std::vector<float> m_gainsNow;
    std::vector<bool> m_activeNow;
    std::unique_ptr<MixMemory> m_mix;
    unsigned m_buffers[2] = {0, 0};
    unsigned m_source = 0;
    int m_currentHalf = 0;
    int m_tracksInUse = 0;
    int m_format = AL_FORMAT_STEREO16;
    int m_rate = 44100;
    int m_blockFrames = OGG_BLOCK_BYTES / 4;
};

// [SECTION] the group table and its operations

struct SyncGroupTable {
    std::vector<std::unique_ptr<COggSyncThread>> groups;
    int highestUsed = -1;
    int debugGroup = -1;
};

SyncGroupTable& Groups() {
    static SyncGroupTable table;
    return table;
}

COggSyncThread* Group(int id) {
    SyncGroupTable& t = Groups();
    if (id < 0 || id >= static_cast<int>(t.groups.size())) return nullptr;
    return t.groups[static_cast<size_t>(id)].get();
}

bool SoundSystemRunning() {
    return !g_fNoAudio && g_UseNewAudio;
}

} // namespace

int COggAudio::Create_SyncThread(bool loop) {
    // Without the decoder layer there is no track count to give a group.
    const int trackCount = StreamedVoices() / 4;
    if (trackCount <= 0) return -1;
    SyncGroupTable& t = Groups();
    int slot = 0;
    while (slot <= t.highestUsed && t.groups[static_cast<size_t>(slot)]) ++slot;
    if (slot >= static_cast<int>(t.groups.size())) t.groups.resize(t.groups.size() + 8);
    t.highestUsed = std::max(t.highestUsed, slot);
    auto group = std::make_unique<COggSyncThread>(slot, loop);
    group->Create(trackCount);
    t.groups[static_cast<size_t>(slot)] = std::move(group);
    return slot;
}

void COggAudio::Delete_SyncThread(int id) {
    if (COggSyncThread* g = Group(id)) {
        g->Quit();
        Groups().groups[static_cast<size_t>(id)].reset();
    }
}

void COggAudio::DeleteAllSyncThreads() {
    SyncGroupTable& t = Groups();
    for (auto& g : t.groups) g.reset();
    t.groups.clear();
    t.highestUsed = -1;
    t.debugGroup = -1;
}

int COggAudio::PlayInSyncThread(int id, cAudio_Sound* sound) {
    COggSyncThread* g = Group(id);
    return g != nullptr && sound != nullptr ? g->AddSound(sound) : 0;
}

void COggAudio::StartSyncGroup(int id) {
    if (COggSyncThread* g = Group(id)) g->RequestStart();
}
void COggAudio::StopSyncGroup(int id) {
    if (COggSyncThread* g = Group(id)) g->RequestStop();
}
void COggAudio::PauseSyncGroup(int id) {
    if (COggSyncThread* g = Group(id)) g->RequestPause();
}
void COggAudio::ResumeSyncGroup(int id) {
    if (COggSyncThread* g = Group(id)) g->RequestResume();
}

bool COggAudio::IsSyncGroupPlaying(int id) {
    const COggSyncThread* g = Group(id);
    return g != nullptr && g->Playing();
}

float COggAudio::GetSyncGroupTrackPos(int id) {
    COggSyncThread* g = Group(id);
    if (g == nullptr) return -1.0f;
    int rate = 44100, channels = 2;
    if (cAudio_Sound* s = g->FirstSound()) {
        if (s->sampleRate <= 0) CalcSoundInfo(s);
        if (s->sampleRate > 0) rate = s->sampleRate;
        channels = std::clamp(s->channels, 1, 2);
    }
    const int64_t frames = g->HeardFrames(OGG_BLOCK_BYTES / (2 * channels));
    return static_cast<float>(static_cast<double>(frames) / rate);
}

void COggAudio::DebugSyncGroup(int id) {
    Groups().debugGroup = id;
}

void COggAudio::TickSyncGroups() {
    for (auto& g : Groups().groups)
        if (g && g->Tick()) {
            g->Quit();
            g.reset();
        }
}

bool COggAudio::SyncGroupsUseSound(const cAudio_Sound* sound) {
    for (auto& g : Groups().groups)
        if (g && g->UsesSound(sound)) return true;
    return false;
}

SOggChannel* COggAudio::SyncGroupTrack(int id, int sourceIndex) {
    COggSyncThread* g = Group(id);
    return g != nullptr ? g->Track(sourceIndex) : nullptr;
}

void COggAudio::WaitSyncGroupsSuspended() {
    for (auto& g : Groups().groups)
        while (g && !g->Suspended()) CThread::Sleep(1);
}

// [SECTION] script-facing functions

int Audio_CreateSyncGroup(bool loop) {
    const int id = COggAudio::Create_SyncThread(loop);
    if (const int code = alGetError(); code != AL_NO_ERROR)
        dbg_csol->Output("OpenAL error: %d (%s)\n", code, "Audio_CreateSyncGroup");
    return id;
}

void Audio_DestroySyncGroup(int id) {
    COggAudio::Delete_SyncThread(id);
}

int Audio_PlayInSyncGroup(int id, int soundIndex) {
    if (!SoundSystemRunning()) return -1;
    cAudio_Sound* s = Audio_GetSound(soundIndex);
    if (s == nullptr) {
        dbg_csol->Output("Error: no sound exists for soundid %d\n", soundIndex);
        return -1;
    }
    if (!s->Decoded()) {
        dbg_csol->Output("Error: cannot play uncompressed sounds in a sync group\n");
        return -1;
    }
    if (!g_AudioGroups.IsGroupLoaded(s->group)) {
        const char* name = soundIndex >= 0 && soundIndex < Audio_Number() ? Audio_Name(soundIndex) : nullptr;
        dbg_csol->Output("%s: Audio Group %d is not loaded\n", name != nullptr ? name : "<undefined>",
                         s->group);
        return -1;
    }
    // Play_Sound finds a streamed sound's file in the bundle when it has none.
    return COggAudio::Play_Sound(-1, s, false, 0.0f, 1, id);
}

void Audio_StartSyncGroup(int id) {
    COggAudio::StartSyncGroup(id);
}
void Audio_StopSyncGroup(int id) {
    COggAudio::StopSyncGroup(id);
}
void Audio_PauseSyncGroup(int id) {
    COggAudio::PauseSyncGroup(id);
}
void Audio_ResumeSyncGroup(int id) {
    COggAudio::ResumeSyncGroup(id);
}

float Audio_SyncGroupGetTrackPos(int id) {
    return COggAudio::GetSyncGroupTrackPos(id);
}

bool Audio_SyncGroupIsPlaying(int id) {
    return SoundSystemRunning() && COggAudio::IsSyncGroupPlaying(id);
}

void Audio_SyncGroupDebug(int id) {
    GraphicsPerf::ms_DisplayFlags = id != -1 ? 0x20 : 0;
    COggAudio::DebugSyncGroup(id);
}

// [SECTION] debug view

namespace {

constexpr uint32_t kBlackOutline = 0xFF000000;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kRed = 0xFF0000FF;

__attribute__((format(printf, 5, 6))) void Print(AudioDebugCanvas& canvas, float x, float y, uint32_t colour,
                                                 const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    canvas.Text(x, y, kBlackOutline, colour, text);
}

} // namespace

void COggAudio::SyncDrawDebug(AudioDebugCanvas& canvas, float, float) {
    const SyncGroupTable& table = Groups();
    if (table.debugGroup == -1) return;
    const int count = table.highestUsed + 1;
    COggSyncThread* g = Group(table.debugGroup);
    if (g == nullptr) {
        Print(canvas, 10, 100, kWhite, "Audio Sync Count %d", count);
        return;
    }
    const float h = canvas.FontHeight();
    Print(canvas, 10, 100, kWhite, "Audio Sync Count %d Debug %d, %d channels, %d fails", count, g->Id(),
          g->SoundsAdded(), g->Underruns());
    cAudio_Sound* first = g->FirstSound();
    const int firstChannels = first != nullptr ? first->channels : 1;
    float y = 100 + 2 * h;
    const int queued = g->QueuedBuffers();
    int offset = 0, state = AL_INITIAL;
    if (g->TrackCount() > 0) {
        alGetSourcei(g->Source(), AL_SAMPLE_OFFSET, &offset);
        alGetSourcei(g->Source(), AL_SOURCE_STATE, &state);
    }
    for (int i = 0; i < queued; ++i) canvas.Rectangle(10 + 105.0f * i, y, 100, h, kWhite);
    if (queued > 0)
        canvas.Rectangle(10 + static_cast<float>(offset) * firstChannels * 100.0f / 8192.0f, y, 1, h, kRed);
    Print(canvas, 10, y, kWhite, "%d buffers queued", queued);
    y += 2 * h;
    const int lines = std::min(g->SoundsAdded(), g->TrackCount());
    for (int i = 0; i < lines; ++i, y += h) {
        MutexLock lock(g->GroupMutex());
        SOggChannel& t = g->TrackAt(i);
        const cAudio_Sound* s = t.pendingSound;
        uint32_t colour = 0xFF00FF00;
        if (state == AL_INITIAL)
            colour = 0xFF00FFFF;
        else if (state == AL_PAUSED)
            colour = 0xFFFF0000;
        else if (state == AL_STOPPED)
            colour = 0xFFFF00FF;
        else if (s == nullptr || s->gain <= kSilentGain)
            colour = 0xFF0000FF;
        const long long total = t.totalSamples;
        Print(canvas, 10, y, colour, "Channel %d : %s : %lld bytes %d channels %d hz synclen %lld (%lld)", i,
              s != nullptr && s->fileName ? s->fileName->c_str() : "NULL",
              state != AL_INITIAL ? static_cast<long long>(t.totalSamples) : 0LL,
              s != nullptr ? s->channels : 1, s != nullptr ? s->sampleRate : 44100, total,
              static_cast<long long>(g->NextPosition() % std::max<int64_t>(t.totalSamples, 1)));
    }
}
