// Voices and playback: the source pool, the voice choice by priority with
// stealing, starting, stopping (at once, or softly over two ticks), pausing,
// the queries and the audio tick.
#include "audio/voices.h"

#include <algorithm>

#include "audio/audio_groups.h"
#include "audio/buffer_sounds.h"
#include "audio/emitters.h"
#include "audio/mixer_api.h"
#include "audio/mixer_context.h"
#include "audio/ogg_audio.h"
#include "audio/recording.h"
#include "audio/sound_assets.h"
#include "core/console.h"
#include "core/timing.h"
#include "world/datafile/options.h"
#include "core/run_settings.h"

std::vector<std::unique_ptr<CNoise>> playingsounds;
std::vector<unsigned> g_pAudioSources;
int g_NumSources = kDefaultSources;
int g_MaxNumPlayingSounds = kDefaultSources - 1;
int g_NoiseHandleIndex = BASE_SOUND_INDEX + 1;
float g_Audio_Max_Distance = 100000.0f;
uint32_t g_GlobalListenerMask = 1;
bool g_bAudioInterupt = false;

namespace {

SoundHardware* g_pSoundHardware = nullptr;

bool Running() {
    return !g_fNoAudio && g_UseNewAudio;
}

int SourceState(const CNoise& v) {
    int state = AL_INITIAL;
    alGetSourcei(Audio_SourceOf(v), AL_SOURCE_STATE, &state);
    return state;
}

// `format` is one of the fixed texts below: the sound, then (where the text
// names it) the mixer's error code.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
void ReportError(const char* format, int value) {
    const int code = alGetError();
    if (code != AL_NO_ERROR) dbg_csol->Output(format, value, code);
}
#pragma GCC diagnostic pop

// Frees a voice whose play is over: the source keeps nothing attached.
void Release(CNoise& v) {
    v.active = false;
    v.stopCountdown = 0;
    v.stopRequested = false;
    Audio_RemoveNoiseFromEmitter(&v);
    Audio_Unqueue_Processed_Buffers(&v, v.sound, true);
    alSourcei(Audio_SourceOf(v), AL_BUFFER, 0);
}

void SoftStop(CNoise& v) {
    v.stopCountdown = 1;
    v.gain = 0.0f;
    v.priority = kSoftStoppedPriority;
    alSourcef(Audio_SourceOf(v), AL_GAIN, 0.0f);
}

// The first active voice that is not soft-stopped and has this handle.
CNoise* FindHandle(int handle) {
    for (auto& v : playingsounds)
        if (v->active && !Audio_IsSoftStopped(*v) && v->handle == handle) return v.get();
    return nullptr;
}

void DeleteSources() {
    for (unsigned id : g_pAudioSources) alSourcei(id, AL_BUFFER, 0);
    if (!g_pAudioSources.empty())
        alDeleteSources(static_cast<int>(g_pAudioSources.size()), g_pAudioSources.data());
    g_pAudioSources.clear();
}

// Source settings a new play starts from, shared by both kinds of play.
void StartVoice(CNoise& v, int soundIndex, bool loop, float priority) {
    v.handle = g_NoiseHandleIndex++;
    v.sound = soundIndex;
    v.gain = 1.0f;
    v.gainTicks = 0;
    v.listenerMask = g_GlobalListenerMask;
    v.loop = loop;
    v.priority = priority;
}

} // namespace

unsigned Audio_SourceOf(const CNoise& v) {
    if (v.source < 0 || v.source >= static_cast<int>(g_pAudioSources.size())) return 0;
    return g_pAudioSources[v.source];
}

bool Audio_IsSoftStopped(const CNoise& v) {
    return v.stopCountdown != 0;
}

// [SECTION] set-up and shut-down

void Audio_Init(SoundHardware* hw) {
    g_pSoundHardware = hw;
    if (g_fNoAudio) {
        g_UseNewAudio = false;
        return;
    }
    if (!g_UseNewAudio) return;
    Audio_CreateListener();
    Audio_CreateSources(g_MaxNumPlayingSounds + 1);
    alDistanceModel(AL_INVERSE_DISTANCE);
    alListener3f(AL_POSITION, 0.0f, 0.0f, 0.0f);
    const float orientation[6] = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f};
    alListenerfv(AL_ORIENTATION, orientation);
    checkAL("Audio_Init");
}

void Audio_CreateSources(int n) {
    g_NumSources = n;
    g_pAudioSources.assign(static_cast<size_t>(n), 0u);
    alGenSources(n, g_pAudioSources.data());
    if (alGetError() != AL_NO_ERROR) dbg_csol->Output("Error creating audio sources %d\n", n);
    COggAudio::Init(4, n);
    g_MaxNumPlayingSounds = n;
    checkAL("Audio_CreateSources");
}

void Audio_SetNumChannels(int n) {
    if (!g_UseNewAudio) return;
    int m = std::clamp(n, 2, kMaxAudioChannels);
    m += m % 4;
    if (m == g_NumSources) return;
    dbg_csol->Output("Audio setting channel count to %d\n", m);
    if (!g_fNoAudio)
        for (auto& v : playingsounds) Audio_StopSoundNoise(v.get(), true);
    COggAudio::Quit();
    DeleteSources();
    Audio_ClearEmitterVoices();
    Audio_ForgetQueueVoices();
    playingsounds.clear();
    Audio_CreateSources(m);
}

void Audio_Quit() {
    if (!g_UseNewAudio) return;
    if (!g_fNoAudio) Audio_StopAll(true);
    COggAudio::Quit();
    g_AudioGroups.Finalise();
    Audio_ClearEmitterVoices();
    DeleteSources();
    playingsounds.clear();
    Audio_ClearBufferSounds();
    Audio_ClearSounds();
    // Back to the counts before set-up, so a later Audio_Init makes 128 again.
    g_NumSources = kDefaultSources;
    g_MaxNumPlayingSounds = kDefaultSources - 1;
}

void Audio_Suspend() {
    dbg_csol->Output("Suspending Audio...\n");
    g_bAudioInterupt = true;
    COggAudio::Suspend();
    dbg_csol->Output("Audio Suspended\n");
}

void Audio_Unsuspend() {
    if (!g_bAudioInterupt) return;
    g_bAudioInterupt = false;
    COggAudio::Unsuspend();
}

bool Audio_Model() {
    return g_UseNewAudio;
}

// [SECTION] playing

CNoise* Audio_GetSoundSourceToPlay(int soundIndex, float priority) {
    if (g_fNoAudio) return nullptr;
    const cAudio_Sound* s = Audio_GetSound(soundIndex);
    if (s == nullptr) return nullptr;
    const bool decoded = s->Decoded();
    const int n = static_cast<int>(playingsounds.size());
    if (s->singleVoice) {
        for (auto& v : playingsounds)
            if (v->stopCountdown == 0 && v->sound == soundIndex) return v.get();
    }
    for (auto& vp : playingsounds) {
        CNoise& v = *vp;
        if (Audio_IsQueueIndex(v.sound)) {
            int queued = 0;
            alGetSourcei(Audio_SourceOf(v), AL_BUFFERS_QUEUED, &queued);
            if (queued > 0) continue;
        }
        if (!v.active) return &v;
        if (v.decoded) {
            if (decoded && v.stopRequested && v.stopCountdown == 0) {
                Audio_RemoveNoiseFromEmitter(&v);
                return &v;
            }
            continue;
        }
        const int state = SourceState(v);
        if (state == AL_INITIAL || state == AL_STOPPED) {
            Release(v);
            return &v;
        }
    }
    if (n < g_MaxNumPlayingSounds && n < static_cast<int>(g_pAudioSources.size())) {
        auto v = std::make_unique<CNoise>();
        v->source = n;
        v->listenerMask = g_GlobalListenerMask;
        playingsounds.push_back(std::move(v));
        return playingsounds.back().get();
    }
    if (n == 0) return nullptr;
    // The first voice holding the lowest priority strictly below the new
    // one's; a sound played from a buffer never steals a decoder's voice.
    float bound = priority;
    CNoise* victim = nullptr;
    for (auto& v : playingsounds) {
        if (!decoded && v->decoded) continue;
        if (bound > v->priority) {
            victim = v.get();
            bound = v->priority;
        }
    }
    if (victim == nullptr) return nullptr;
    Audio_StopSoundNoise(victim, true);
    return victim;
}

bool Audio_StartSoundNoise(cAudio_Sound* s, CNoise* v) {
    if (g_fNoAudio || s == nullptr || v == nullptr) return false;
    const unsigned source = Audio_SourceOf(*v);
    if (s->singleVoice) {
        alSourcePlay(source);
    } else if (s->Decoded()) {
        // The bundle path of a streamed sound is found by the decoder layer
        // on its first play.
        if (COggAudio::Play_Sound(v->source, s, v->loop, s->startOffset, v->listenerMask, -1) == -1)
            return false;
    } else {
        if (s->alBuffer < 1) return false;
        alSourcei(source, AL_BUFFER, s->alBuffer);
        alBufferDebugName(static_cast<unsigned>(s->alBuffer), s->fileName ? s->fileName->c_str() : nullptr);
        if (alGetError() != AL_NO_ERROR) dbg_csol->Output("Error setting sample buffer\n");
        alSourcei(source, AL_LOOPING, v->loop ? AL_TRUE : AL_FALSE);
        if (s->startOffset > 0.0f) {
            alSourcef(source, AL_SEC_OFFSET, s->startOffset);
            checkAL("set track position offset failed");
        }
        alcSetListenerMask(v->listenerMask);
        alSourcePlay(source);
    }
    v->stopRequested = false;
    v->decoded = s->Decoded();
    v->active = true;
    return true;
}

namespace {

// The checks both plays share: -1 or 0 as the caller's result, or the sound.
cAudio_Sound* SoundToPlay(int soundIndex, int unloadedResult, int& result) {
    cAudio_Sound* s = Audio_GetSound(soundIndex);
    if (s == nullptr) {
        dbg_csol->Output("Error: no sound exists for soundid %d\n", soundIndex);
        result = 0;
        return nullptr;
    }
    if (!g_AudioGroups.IsGroupLoaded(s->group)) {
        const char* name = soundIndex >= 0 && soundIndex < Audio_Number() ? Audio_Name(soundIndex) : nullptr;
        dbg_csol->Output("%s: Audio Group %d is not loaded\n", name != nullptr ? name : "<undefined>",
                         s->group);
        result = unloadedResult;
        return nullptr;
    }
    return s;
}

} // namespace

int Audio_PlaySound(int soundIndex, double priority, int loop) {
    if (!Running()) return -1;
    int result = 0;
    cAudio_Sound* s = SoundToPlay(soundIndex, -1, result);
    if (s == nullptr) return result;
    CNoise* v = Audio_GetSoundSourceToPlay(soundIndex, static_cast<float>(priority));
    if (v == nullptr) return -1;
    const unsigned source = Audio_SourceOf(*v);
    if (Audio_IsQueueIndex(soundIndex) && SourceState(*v) == AL_PLAYING) return -1;
    ReportError("Error before playing sample %d\n", soundIndex);
    StartVoice(*v, soundIndex, loop > 0, static_cast<float>(priority));
    alSourcef(source, AL_MAX_DISTANCE, g_Audio_Max_Distance);
    alSourcef(source, AL_GAIN, s->gain);
    alSourcef(source, AL_PITCH, s->pitch);
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSource3f(source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    // A sound that cannot start still answers with its handle, which then
    // names no playing voice: scripts rely on getting a handle back.
    Audio_StartSoundNoise(s, v);
    ReportError("Error playing simple sound %d\n", soundIndex);
    return v->handle;
}

int Audio_PlaySoundAt(int soundIndex, double x, double y, double z, double referenceDistance,
                      double maxDistance, double falloffFactor, int loop, double priority) {
    if (!Running()) return -1;
    int result = 0;
    cAudio_Sound* s = SoundToPlay(soundIndex, 0, result);
    if (s == nullptr) return result;
    CNoise* v = Audio_GetSoundSourceToPlay(soundIndex, static_cast<float>(priority));
    if (v == nullptr) return -1;
    const unsigned source = Audio_SourceOf(*v);
    StartVoice(*v, soundIndex, loop > 0, static_cast<float>(priority));
    checkAL("Error prior to playing sample");
    alSourcei(source, AL_SOURCE_RELATIVE, AL_FALSE);
    alSourcef(source, AL_GAIN, s->gain);
    alSourcef(source, AL_PITCH, s->pitch);
    alSourcef(source, AL_MAX_DISTANCE, static_cast<float>(maxDistance));
    alSourcef(source, AL_REFERENCE_DISTANCE, static_cast<float>(referenceDistance));
    alSourcef(source, AL_ROLLOFF_FACTOR, static_cast<float>(falloffFactor));
    alSource3f(source, AL_POSITION, static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
    alSource3f(source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    checkAL("Error updating sample position");
    Audio_StartSoundNoise(s, v);
    return v->handle;
}

// [SECTION] stopping

void Audio_StopSoundNoise(CNoise* v, bool immediate) {
    if (v == nullptr || g_fNoAudio) return;
    if (!v->active && !Audio_IsQueueIndex(v->sound)) return;
    if (!immediate) {
        if (v->stopCountdown == 0) SoftStop(*v);
        return;
    }
    v->stopRequested = true;
    const cAudio_Sound* s = Audio_GetSound(v->sound);
    // A destroyed stream no longer resolves, but its channel still plays.
    if (s != nullptr ? s->Decoded() : v->decoded) {
        // The decoder layer frees the voice once its channel has stopped.
        COggAudio::Stop_Sound(v->source);
        return;
    }
    alSourceStop(Audio_SourceOf(*v));
    ReportError("Error stopping sound %d error code %d\n", v->sound);
    Release(*v);
}

void Audio_StopSound(int id) {
    if (!Running()) return;
    if (id >= BASE_SOUND_INDEX) {
        CNoise* v = FindHandle(id);
        if (v != nullptr) SoftStop(*v);
        return;
    }
    for (auto& v : playingsounds)
        if (v->sound == id && !v->stopRequested && (v->active || Audio_IsQueueIndex(id)) &&
            !Audio_IsSoftStopped(*v))
            SoftStop(*v);
}

void Audio_StopAll(bool immediate) {
    if (!Running()) return;
    for (auto& v : playingsounds) Audio_StopSoundNoise(v.get(), immediate);
}

void Audio_SetNoiseInactive(CNoise* v) {
    if (v != nullptr) Release(*v);
}

void Audio_StopAllGroup(int group) {
    if (!Running()) return;
    for (auto& v : playingsounds) {
        if (!v->active || Audio_IsSoftStopped(*v)) continue;
        const cAudio_Sound* s = Audio_GetSound(v->sound);
        if (s != nullptr && s->group == group) SoftStop(*v);
    }
}

bool Audio_AllGroupSoundsStopped(int group) {
    for (auto& v : playingsounds) {
        if (!v->active) continue;
        const cAudio_Sound* s = Audio_GetSound(v->sound);
        if (s != nullptr && s->group == group) return false;
    }
    return true;
}

// [SECTION] pausing

void Audio_PauseSoundNoise(CNoise* v) {
    if (v == nullptr || g_fNoAudio || !v->active || Audio_GetSound(v->sound) == nullptr) return;
    if (v->decoded) {
        COggAudio::Pause_Sound(v->source);
    } else if (SourceState(*v) == AL_PLAYING) {
        alSourcePause(Audio_SourceOf(*v));
        ReportError("Error pausing sound %d error code %d\n", v->sound);
    }
}

void Audio_ResumeSoundNoise(CNoise* v) {
    if (v == nullptr || g_fNoAudio || !v->active || Audio_GetSound(v->sound) == nullptr) return;
    if (v->decoded) {
        COggAudio::Resume_Sound(v->source);
    } else if (SourceState(*v) == AL_PAUSED) {
        alcSetListenerMask(v->listenerMask);
        alSourcePlay(Audio_SourceOf(*v));
        ReportError("Error resuming sound %d error code %d\n", v->sound);
    }
}

void Audio_PauseSound(int id) {
    if (!Running()) return;
    if (id >= BASE_SOUND_INDEX) return Audio_PauseSoundNoise(FindHandle(id));
    for (auto& v : playingsounds)
        if (v->sound == id) Audio_PauseSoundNoise(v.get());
}

void Audio_ResumeSound(int id) {
    if (!Running()) return;
    if (id >= BASE_SOUND_INDEX) return Audio_ResumeSoundNoise(FindHandle(id));
    for (auto& v : playingsounds)
        if (v->sound == id) Audio_ResumeSoundNoise(v.get());
}

void Audio_PauseAll() {
    if (!Running()) return;
    for (auto& v : playingsounds) Audio_PauseSoundNoise(v.get());
}

void Audio_ResumeAll() {
    if (!Running()) return;
    for (auto& v : playingsounds) Audio_ResumeSoundNoise(v.get());
}

// [SECTION] queries

bool Audio_NoiseIsPlaying(const CNoise* v) {
    if (v == nullptr || !v->active || Audio_GetSound(v->sound) == nullptr) return false;
    if (v->decoded) return true;
    const int state = SourceState(*v);
    return state == AL_PLAYING || state == AL_PAUSED;
}

bool Audio_NoiseIsPaused(const CNoise* v) {
    return v != nullptr && v->active && SourceState(*v) == AL_PAUSED;
}

bool Audio_NoiseIsPlayingOgg(const CNoise* v) {
    if (g_fNoAudio || v == nullptr) return false;
    const cAudio_Sound* s = Audio_GetSound(v->sound);
    return s != nullptr && s->Decoded();
}

bool Audio_SoundIsPlaying(int id) {
    if (!Running()) return false;
    if (id >= BASE_SOUND_INDEX) return Audio_NoiseIsPlaying(FindHandle(id));
    for (auto& v : playingsounds)
        if (v->sound == id && Audio_NoiseIsPlaying(v.get())) return true;
    return false;
}

bool Audio_SoundIsPaused(int id) {
    if (!Running()) return false;
    if (id >= BASE_SOUND_INDEX) return Audio_NoiseIsPaused(FindHandle(id));
    for (auto& v : playingsounds)
        if (v->sound == id && Audio_NoiseIsPaused(v.get())) return true;
    return false;
}

CNoise* Audio_GetNoiseFromID(int handle) {
    return FindHandle(handle);
}

CNoise* Audio_GetNoiseFromQueuedSoundID(int soundIndex) {
    for (auto& v : playingsounds)
        if (!Audio_IsSoftStopped(*v) && v->sound == soundIndex) return v.get();
    return nullptr;
}

// [SECTION] the tick

namespace {

void AdvanceSoundFades(SoundTable& table) {
    for (auto& s : table) {
        if (!s || s->gainTicks <= 0) continue;
        s->gain = std::clamp(s->gain + s->gainStep, 0.0f, 1.0f);
        --s->gainTicks;
    }
}

} // namespace

void Audio_Tick() {
    if (!g_UseNewAudio || g_bAudioInterupt) return;
    const int64_t now = Timing_Time();
    int64_t unmixed = 0;
    g_mixerTimestamp.compare_exchange_strong(unmixed, now);
    g_audioTimestamp.store(now);
    g_AudioGroups.Update();
    Audio_UpdateListener();
    checkAL("Audio_Tick Start");
    COggAudio::Tick(playingsounds);
    AdvanceSoundFades(g_AudioSounds);
    AdvanceSoundFades(g_BufferSounds);
    AdvanceSoundFades(g_QueueSounds);
    const size_t count = playingsounds.size();
    for (size_t i = 0; i < count; ++i) {
        CNoise& v = *playingsounds[i];
        if (!v.active) continue;
        if (v.stopCountdown != 0) {
            if (v.stopCountdown >= 3) {
                v.stopCountdown = 0;
            } else if (++v.stopCountdown == 3) {
                Audio_StopSoundNoise(&v, true);
            }
            continue;
        }
        if (v.gainTicks > 0) {
            v.gain = std::clamp(v.gain + v.gainStep, 0.0f, 1.0f);
            --v.gainTicks;
        }
        if (v.source >= 0) {
            const cAudio_Sound* s = Audio_GetSound(v.sound);
            alSourcef(Audio_SourceOf(v), AL_GAIN,
                      (s != nullptr ? s->gain : 1.0f) * v.gain * Audio_EmitterGainOf(&v));
        }
    }
    Audio_UpdateEmitters();
    Audio_UpdateRecorders();
    Audio_UpdatePlayQueues();
    checkAL("Audio_Tick End");
}
