// Decoder threads: four threads, started on first use, each feeding the
// voices whose source index is its number modulo 4 (channel = index / 4).
// The main thread posts commands under a thread's mutex; the thread takes a
// snapshot of them every pass (at most every 16 ms), opens, decodes, seeks
// and refills the two 16 KB blocks each voice has queued on its source, and
// clears `active` when a stream ends, which the main thread's Tick turns into
// a free voice.
#include "audio/ogg_audio.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "audio/file_streams.h"
#include "audio/mixer_api.h"
#include "audio/ogg_decode.h"
#include "audio/sound_assets.h"
#include "audio/voices.h"
#include "core/console.h"
#include "core/mutex.h"
#include "core/thread.h"
#include "core/timing.h"

std::atomic<bool> g_bOggSuspendRequest{false};

namespace {

constexpr int kPassMicroseconds = 16000;

class COggThread {
public:
    explicit COggThread(int number) : m_number(number) { m_thread.SetMutex(&m_termMutex); }
    ~COggThread() { Quit(); }
    COggThread(const COggThread&) = delete;
    COggThread& operator=(const COggThread&) = delete;

    bool Created() const { return m_created; }
    int Number() const { return m_number; }
    Mutex& CommandMutex() { return m_mutex; }
    std::vector<std::unique_ptr<SOggChannel>>& Channels() { return m_channels; }

    bool Create(int stride, int channelCount) {
        if (channelCount <= 0 ||
            m_number + stride * (channelCount - 1) >= static_cast<int>(g_pAudioSources.size()))
            return false;
        for (int c = 0; c < channelCount; ++c) {
            auto channel = std::make_unique<SOggChannel>();
            const int index = m_number + stride * c;
            channel->Init(g_pAudioSources[index], index);
            m_channels.push_back(std::move(channel));
        }
        m_snapshot.assign(m_channels.size(), 0);
        m_quit = false;
        if (!m_thread.Start(ThreadFunc, this)) {
            dbg_csol->Output("Error %d creating ogg thread\n", m_thread.CreationResult());
            CleanUp();
            return false;
        }
        m_created = true;
        return true;
    }

    void Quit() {
        if (!m_created) return;
        {
            MutexLock lock(m_mutex);
            m_quit = true;
        }
        m_thread.WaitForExit();
        CleanUp();
    }

    void Suspend() {
        while (m_created && !m_suspended.load()) CThread::Sleep(1);
        dbg_csol->Output("Ogg thread %d suspended\n", m_number);
    }

    // Prints what the thread logged since the last frame.
    void ShowLog() { m_log.Show(m_number); }

    void PostPlay(SOggChannel& c, cAudio_Sound* sound, bool loop, float startSeconds, uint32_t mask) {
        MutexLock lock(m_mutex);
        c.command = static_cast<uint8_t>(OGG_CMD_PLAY | (loop ? OGG_CMD_LOOP : 0));
        c.startSeconds = 0.0f;
        c.pausePending = false;
        if (startSeconds > 0.0f) {
            c.command |= OGG_CMD_SEEK;
            c.startSeconds = startSeconds;
            c.seekPending = true;
        }
        c.listenerMask = mask;
        c.pendingSound = sound;
        c.active = true;
        c.blocksPlayed = 0;
    }
    void PostStop(SOggChannel& c) {
        MutexLock lock(m_mutex);
        c.command = OGG_CMD_STOP;
    }
    void PostSeek(SOggChannel& c, float seconds) {
        MutexLock lock(m_mutex);
        // A stop still pending wins: the voice is ending, there is nothing to seek.
        if (c.command == OGG_CMD_STOP) return;
        c.command |= OGG_CMD_SEEK;
        c.startSeconds = seconds;
        c.seekPending = true;
    }
    // Pauses or resumes a playing or paused source at once; a voice whose
    // source is not playing yet (its start pending or in flight) or has run
    // dry keeps the request until the decoder plays the source.
    void PauseResume(SOggChannel& c, bool paused) {
        MixerBatch batch;
        MutexLock lock(m_mutex);
        if ((c.command & OGG_CMD_PLAY) != 0 || c.starting) {
            c.pausePending = paused;
            return;
        }
        int state = AL_INITIAL;
        alGetSourcei(c.source, AL_SOURCE_STATE, &state);
        if (paused) {
            if (state == AL_PLAYING)
                alSourcePause(c.source);
            else if (state != AL_PAUSED)
                c.pausePending = true;
        } else {
            c.pausePending = false;
            if (state == AL_PAUSED) alSourcePlay(c.source);
        }
    }
    bool ChannelActive(const SOggChannel& c) {
        MutexLock lock(m_mutex);
        return c.active;
    }
    // Whether an active channel plays `sound` or is about to.
    bool PlaysSound(const cAudio_Sound* sound) {
        MutexLock lock(m_mutex);
        for (auto& c : m_channels)
            if (c->active && (c->sound == sound || c->pendingSound == sound)) return true;
        return false;
    }

private:
    static void* ThreadFunc(CThread* thread) {
        static_cast<COggThread*>(thread->GetUserData())->Run();
        return nullptr;
    }

    void Run() {
        for (;;) {
            const int64_t start = Timing_Time();
            const bool suspended = g_bOggSuspendRequest.load();
            m_suspended = suspended;
            {
                MutexLock lock(m_mutex);
                if (m_quit) break;
                if (!suspended) {
                    for (size_t i = 0; i < m_channels.size(); ++i) {
                        SOggChannel& c = *m_channels[i];
                        m_snapshot[i] = c.command;
                        if (c.command & OGG_CMD_PLAY) c.starting = true;
                        c.sound = c.pendingSound;
                        c.seekMs = static_cast<int>(c.startSeconds * 1000.0f);
                        c.command = 0;
                    }
                }
            }
            if (!suspended)
                for (size_t i = 0; i < m_channels.size(); ++i) Process(*m_channels[i], m_snapshot[i]);
            const int64_t spent = Timing_Time() - start;
            if (spent < kPassMicroseconds)
                CThread::Sleep(static_cast<int>((kPassMicroseconds - spent) / 1000));
        }
        // The mixer's lock is taken before this thread's mutex, never after.
        for (auto& c : m_channels)
            if (c->state != 0) EndStream(*c);
        MutexLock lock(m_mutex);
        for (auto& c : m_channels) {
            c->active = false;
            c->starting = false;
        }
    }

    void SetInactive(SOggChannel& c) {
        MutexLock lock(m_mutex);
        c.active = false;
    }

    // Plays the source, pausing it again at once when the game paused the
    // voice meanwhile. Called inside a MixerBatch.
    void PlaySource(SOggChannel& c) {
        alSourcePlay(c.source);
        bool paused = false;
        {
            MutexLock lock(m_mutex);
            paused = std::exchange(c.pausePending, false);
        }
        if (paused) alSourcePause(c.source);
    }

    // The start taken from `command` is over (played, or failed).
    void StartDone(SOggChannel& c) {
        MutexLock lock(m_mutex);
        c.starting = false;
    }

    void EndStream(SOggChannel& c) {
        OggSource_StopAndUnqueue(c.source);
        OggChannel_Close(c);
        c.state = 0;
        c.blocksPlayed = 0;
    }

    void Process(SOggChannel& c, uint8_t command) {
        if (command == 0 && c.state == 0) return;
        if ((command == OGG_CMD_STOP || (command & OGG_CMD_PLAY)) && c.state != 0) {
            MixerBatch batch;
            EndStream(c);
        }
        if (command == OGG_CMD_STOP) {
            // Also when no stream was open (its start was replaced by the
            // stop): otherwise the voice would never be freed.
            SetInactive(c);
            return;
        }
        if (command & OGG_CMD_PLAY)
            Start(c, command);
        else if ((command & OGG_CMD_SEEK) && c.state != 0)
            Seek(c);
        if (command & OGG_CMD_SEEK) {
            // Unless another seek was posted meanwhile.
            MutexLock lock(m_mutex);
            if ((c.command & OGG_CMD_SEEK) == 0) c.seekPending = false;
        }
        if (c.state != 0) Refill(c);
    }

    void Start(SOggChannel& c, uint8_t command) {
        const int target = (command & OGG_CMD_SEEK) ? c.seekMs : 0;
        if (!OggChannel_Open(c, m_log)) {
            // A stream that cannot be opened frees its voice.
            StartDone(c);
            SetInactive(c);
            return;
        }
        const bool loop = (command & OGG_CMD_LOOP) != 0;
        c.state = loop ? 2 : 1;
        c.blocksPlayed = 0;
        if (target > 0) ov_time_seek(&c.vorbisFile, target);
        {
            // A voice paused before its start was carried out begins paused:
            // the pause request is read and acted on in the same step as the
            // play, so a pause posted meanwhile is never lost.
            MixerBatch batch;
            alSourcei(c.source, AL_BUFFER, 0);
            alSourcei(c.source, AL_LOOPING, AL_FALSE);
            FillAndPlay(c, loop);
            StartDone(c);
        }
    }

    // The source keeps its state across the seek: the stop, refill and
    // replay are one step for the main thread, which otherwise could read
    // the voice as stopped (or pause or resume it half-way through).
    void Seek(SOggChannel& c) {
        MixerBatch batch;
        int sourceState = AL_INITIAL;
        alGetSourcei(c.source, AL_SOURCE_STATE, &sourceState);
        OggSource_StopAndUnqueue(c.source);
        c.blocksPlayed = 0;
        ov_time_seek(&c.vorbisFile, c.seekMs);
        if (!FillAndPlay(c, c.state == 2)) return;
        alSourcei(c.source, AL_SAMPLE_OFFSET, 0);
        if (sourceState == AL_PAUSED) alSourcePause(c.source);
    }

    // Decodes both blocks, queues them and plays; ends the stream when not
    // even the first block holds anything.
    bool FillAndPlay(SOggChannel& c, bool loop) {
        c.halfIndex = 0;
        if (Decode(c, c.buffers[0], loop) == 0) {
            EndStream(c);
            SetInactive(c);
            return false;
        }
        const int queued = Decode(c, c.buffers[1], loop) > 0 ? 2 : 1;
        alSourceQueueBuffers(c.source, queued, c.buffers);
        alcSetListenerMask(c.listenerMask);
        PlaySource(c);
        return true;
    }

    void Refill(SOggChannel& c) {
        int processed = 0;
        alGetSourcei(c.source, AL_BUFFERS_PROCESSED, &processed);
        while (processed-- > 0) {
            unsigned id = 0;
            {
                // The position counts unqueued blocks and the offset into
                // the queue: both change together.
                MixerBatch batch;
                alSourceUnqueueBuffers(c.source, 1, &id);
                ++c.blocksPlayed;
            }
            if (c.state == 3) continue;
            if (Decode(c, id, c.state == 2) == 0)
                c.state = 3;
            else
                alSourceQueueBuffers(c.source, 1, &id);
        }
        MixerBatch batch;
        int sourceState = AL_INITIAL;
        alGetSourcei(c.source, AL_SOURCE_STATE, &sourceState);
        if (sourceState != AL_STOPPED) return;
        if (c.state == 3) {
            EndStream(c);
            SetInactive(c);
        } else {
            PlaySource(c); // the queue ran dry before a refill
        }
    }

    // Fills the next half and hands it to `buffer` without a copy; returns
    // the bytes handed over (0: nothing was).
    int Decode(SOggChannel& c, unsigned buffer, bool loop) {
        const char* half = nullptr;
        const int got = OggChannel_DecodeBlock(c, loop, m_log, &half);
        if (got == 0) return 0;
        alBufferDataNoCopy(buffer, c.info->channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, half, got,
                           static_cast<int>(c.info->rate));
        return got;
    }

    void CleanUp() {
        m_channels.clear();
        m_snapshot.clear();
        m_created = false;
    }

    int m_number;
    bool m_quit = false;
    bool m_created = false;
    std::vector<std::unique_ptr<SOggChannel>> m_channels;
    std::vector<uint8_t> m_snapshot;
    Mutex m_mutex{"OggMutex"};
    OggLog m_log{m_mutex};
    Mutex m_termMutex{"TermMutex"};
    CThread m_thread;
    std::atomic<bool> m_suspended{false};
};

struct OggAudioState {
    std::vector<std::unique_ptr<COggThread>> threads;
    int threadCount = 0;
    int streamedVoices = 0;
};

OggAudioState& State() {
    static OggAudioState state;
    return state;
}

// The thread serving a source index (started on first use) and its channel.
COggThread* ThreadFor(int sourceIndex, SOggChannel** channel) {
    OggAudioState& st = State();
    if (st.threadCount <= 0 || sourceIndex < 0 || sourceIndex >= st.streamedVoices) return nullptr;
    COggThread& t = *st.threads[sourceIndex % st.threadCount];
    if (!t.Created() && !t.Create(st.threadCount, st.streamedVoices / st.threadCount)) return nullptr;
    if (channel != nullptr) *channel = t.Channels()[sourceIndex / st.threadCount].get();
    return &t;
}

} // namespace

// [SECTION] channels

MixerBatch::MixerBatch() : m_context(alcGetCurrentContext()) {
    alcSuspendContext(m_context);
}

MixerBatch::~MixerBatch() {
    alcProcessContext(m_context);
}

SOggChannel::~SOggChannel() {
    if (streamOpen) ov_clear(&vorbisFile);
    if (buffersMade) alDeleteBuffers(2, buffers);
}

void SOggChannel::Init(unsigned sourceName, int index) {
    source = sourceName;
    sourceIndex = index;
    checkAL("SOggChannel before alGenBuffers");
    alGenBuffers(2, buffers);
    checkAL("SOggChannel alGenBuffers");
    buffersMade = true;
    decodeMemory = std::make_unique<char[]>(2 * OGG_BLOCK_BYTES);
    halves[0] = decodeMemory.get();
    halves[1] = decodeMemory.get() + OGG_BLOCK_BYTES;
}

// [SECTION] the decoder layer

void COggAudio::Init(int threads, int channels) {
    Quit();
    OggAudioState& st = State();
    st.threadCount = std::max(threads, 1);
    st.streamedVoices = channels - channels % st.threadCount;
    for (int t = 0; t < st.threadCount; ++t) st.threads.push_back(std::make_unique<COggThread>(t));
}

void COggAudio::Quit() {
    OggAudioState& st = State();
    for (auto& t : st.threads) t->Quit();
    st.threads.clear();
    st.threadCount = 0;
    st.streamedVoices = 0;
    // A group's track count follows the voice count, so the groups end too.
    DeleteAllSyncThreads();
}

void COggAudio::Suspend() {
    if (State().threads.empty()) return;
    g_bOggSuspendRequest = true;
    for (auto& t : State().threads)
        if (t->Created()) t->Suspend();
    WaitSyncGroupsSuspended();
}

void COggAudio::Unsuspend() {
    g_bOggSuspendRequest = false;
}

int COggAudio::Play_Sound(int source, cAudio_Sound* sound, bool loop, float startOffset,
                          uint32_t listenerMask, int syncGroup) {
    if (sound == nullptr) return -1;
    if (sound->streamed && !sound->bundlePath) {
        // Found on first use, as the length query does.
        CalcSoundInfo(sound);
        if (!sound->bundlePath) {
            dbg_csol->Output("COggAudio::PlaySound- could not find audio file for sound %s\n",
                             sound->fileName ? sound->fileName->c_str() : "<undefined>");
            return -1;
        }
    }
    if (syncGroup >= 0) return PlayInSyncThread(syncGroup, sound);
    SOggChannel* channel = nullptr;
    COggThread* t = ThreadFor(source, &channel);
    if (t == nullptr) return -1;
    t->PostPlay(*channel, sound, loop, startOffset, listenerMask);
    return source / State().threadCount;
}

void COggAudio::Stop_Sound(int source) {
    SOggChannel* channel = nullptr;
    if (COggThread* t = ThreadFor(source, &channel)) t->PostStop(*channel);
}

void COggAudio::Seek_Sound(int source, float seconds) {
    SOggChannel* channel = nullptr;
    if (COggThread* t = ThreadFor(source, &channel)) t->PostSeek(*channel, seconds);
}

void COggAudio::Pause_Sound(int source) {
    SOggChannel* channel = nullptr;
    if (COggThread* t = ThreadFor(source, &channel)) t->PauseResume(*channel, true);
}

void COggAudio::Resume_Sound(int source) {
    SOggChannel* channel = nullptr;
    if (COggThread* t = ThreadFor(source, &channel)) t->PauseResume(*channel, false);
}

void COggAudio::Tick(std::vector<std::unique_ptr<CNoise>>& voices) {
    for (auto& t : State().threads) {
        if (!t->Created()) continue;
        t->ShowLog();
        for (auto& c : t->Channels()) {
            if (c->sourceIndex >= static_cast<int>(voices.size())) break;
            CNoise& v = *voices[c->sourceIndex];
            if (v.active && v.decoded && !t->ChannelActive(*c)) Audio_SetNoiseInactive(&v);
        }
    }
    Audio_FreeDestroyedStreams();
    TickSyncGroups();
}

bool COggAudio::SoundInUse(const cAudio_Sound* sound) {
    for (auto& t : State().threads)
        if (t->Created() && t->PlaysSound(sound)) return true;
    return SyncGroupsUseSound(sound);
}

int COggAudio::StreamedVoices() {
    return State().streamedVoices;
}

SOggChannel* COggAudio::GetOggChannel(int source, int syncGroup) {
    OggAudioState& st = State();
    if (syncGroup >= 0) return SyncGroupTrack(syncGroup, source);
    if (st.threadCount <= 0 || source < 0 || source >= st.streamedVoices) return nullptr;
    COggThread& t = *st.threads[source % st.threadCount];
    if (!t.Created()) return nullptr;
    return t.Channels()[source / st.threadCount].get();
}

int COggAudio::StartedThreads() {
    int n = 0;
    for (auto& t : State().threads) n += t->Created() ? 1 : 0;
    return n;
}
