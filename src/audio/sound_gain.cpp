// Gain, fades, pitch, length and track position of sounds and of playing
// instances. A fade is linear in ticks: its step is computed once from the
// gain at the request, and the audio tick adds it that many times.
#include <algorithm>
#include <cmath>

#include "audio/emitters.h"
#include "audio/mixer_api.h"
#include "audio/ogg_audio.h"
#include "audio/sound_assets.h"
#include "audio/voices.h"
#include "core/console.h"
#include "core/header_globals.h"
#include "core/real_to_int.h"
#include "core/run_settings.h"
#include "core/timing_source.h"
#include "room/room.h"
#include "world/datafile/options.h"

namespace {

constexpr float kMinPitch = 0.0039f;
constexpr float kMaxPitch = 256.0f;
// Bytes in one block a decoder channel hands the mixer.
constexpr int kDecodedBlockBytes = 16384;

bool Running() {
    return !g_fNoAudio && g_UseNewAudio;
}

CNoise* FindHandle(int handle) {
    return Audio_GetNoiseFromID(handle);
}

float ClampPitch(double pitch) {
    if (!(pitch >= kMinPitch)) return kMinPitch; // also for values that are not numbers
    return static_cast<float>(std::min(pitch, static_cast<double>(kMaxPitch)));
}

} // namespace

int Audio_FadeTicks(int ms) {
    int fps = 30;
    if (g_isNimbar)
        fps = RealToInt32(g_GameTimer.GetFPS());
    else if (Run_Room != nullptr)
        fps = Run_Room->m_speed;
    fps = std::max(fps, 1);
    const int perTick = std::max(1000 / fps, 1);
    return std::max(ms / perTick, 1);
}

void Audio_SetGainForNoise(CNoise* v, double gain, int timeMs) {
    if (g_fNoAudio || v == nullptr) return;
    const float g = static_cast<float>(std::max(0.0, gain));
    if (timeMs != 0) {
        const int ticks = Audio_FadeTicks(timeMs);
        v->gainStep = (g - v->gain) / static_cast<float>(ticks);
        v->gainTicks = ticks;
        return;
    }
    if (g == v->gain && v->gainTicks == 0) return;
    v->gain = g;
    v->gainTicks = 0;
    setGainForNoiseImmediate(v);
}

void Audio_SoundGain(int id, double gain, int timeMs) {
    if (!Running()) return;
    if (id >= BASE_SOUND_INDEX) return Audio_SetGainForNoise(FindHandle(id), gain, timeMs);
    cAudio_Sound* s = Audio_GetSound(id);
    if (s == nullptr) return;
    const float g = static_cast<float>(std::max(0.0, gain));
    if (timeMs != 0) {
        const int ticks = Audio_FadeTicks(timeMs);
        s->gainStep = (g - s->gain) / static_cast<float>(ticks);
        s->gainTicks = ticks;
        return;
    }
    if (g == s->gain && s->gainTicks == 0) return;
    s->gain = g;
    s->gainTicks = 0;
    setGainForSoundImmediate(id);
}

void setGainForNoiseImmediate(CNoise* v) {
    if (v == nullptr || !v->active || Audio_IsSoftStopped(*v) || v->source < 0) return;
    const cAudio_Sound* s = g_fNoAudio ? nullptr : Audio_GetSound(v->sound);
    alSourcef(Audio_SourceOf(*v), AL_GAIN,
              (s != nullptr ? s->gain : 1.0f) * v->gain * Audio_EmitterGainOf(v));
}

void setGainForSoundImmediate(int id) {
    const cAudio_Sound* s = g_fNoAudio ? nullptr : Audio_GetSound(id);
    const float soundGain = s != nullptr ? s->gain : 1.0f;
    for (auto& v : playingsounds)
        if (v->active && !Audio_IsSoftStopped(*v) && v->sound == id && v->source >= 0)
            alSourcef(Audio_SourceOf(*v), AL_GAIN, v->gain * soundGain * Audio_EmitterGainOf(v.get()));
}

float Audio_GetSoundGain(int id) {
    if (!g_UseNewAudio) return 0.0f;
    if (id >= BASE_SOUND_INDEX) {
        const CNoise* v = FindHandle(id);
        return v != nullptr ? v->gain : 0.0f;
    }
    const cAudio_Sound* s = Audio_GetSound(id);
    return s != nullptr ? s->gain : 0.0f;
}

void Audio_SoundPitch(int id, double pitch) {
    if (!Running()) return;
    const float p = ClampPitch(pitch);
    if (id >= BASE_SOUND_INDEX) {
        CNoise* v = FindHandle(id);
        if (v == nullptr) return;
        v->pitch = p;
        if (v->source >= 0) alSourcef(Audio_SourceOf(*v), AL_PITCH, p);
        return;
    }
    cAudio_Sound* s = Audio_GetSound(id);
    if (s != nullptr) s->pitch = p;
    for (auto& v : playingsounds)
        if (v->active && !Audio_IsSoftStopped(*v) && v->sound == id)
            alSourcef(Audio_SourceOf(*v), AL_PITCH, p * Audio_EmitterPitchOf(v.get()));
}

float Audio_GetSoundPitch(int id) {
    if (!g_UseNewAudio) return 1.0f;
    if (id >= BASE_SOUND_INDEX) {
        const CNoise* v = FindHandle(id);
        return v != nullptr ? v->pitch : 1.0f;
    }
    const cAudio_Sound* s = Audio_GetSound(id);
    return s != nullptr ? s->pitch : 1.0f;
}

float Audio_SoundLength(int id) {
    if (!Running()) return -1.0f;
    if (id >= BASE_SOUND_INDEX) {
        const CNoise* v = FindHandle(id);
        if (v == nullptr) return -1.0f;
        id = v->sound;
    }
    cAudio_Sound* s = Audio_GetSound(id);
    if (s == nullptr) return -1.0f;
    if (s->lengthSeconds >= 0.0f) return s->lengthSeconds;
    if (s->Decoded()) {
        COggAudio::CalcSoundInfo(s);
        return s->lengthSeconds;
    }
    if (s->alBuffer == -1) return s->lengthSeconds;
    int size = 0, bits = 0, channels = 0, frequency = 0;
    const unsigned buffer = static_cast<unsigned>(s->alBuffer);
    alGetBufferi(buffer, AL_SIZE, &size);
    alGetBufferi(buffer, AL_BITS, &bits);
    alGetBufferi(buffer, AL_CHANNELS, &channels);
    alGetBufferi(buffer, AL_FREQUENCY, &frequency);
    // A buffer the mixer does not know leaves every value 0; a rate of 0
    // would make the length infinite.
    if (alGetError() != AL_NO_ERROR || channels == 0 || bits / 8 == 0 || frequency <= 0) return -1.0f;
    const int frames = size / channels / (bits / 8);
    s->lengthSeconds = static_cast<float>(frames) / static_cast<float>(frequency);
    return s->lengthSeconds;
}

void Audio_SetTrackPos(int id, double seconds) {
    if (!Running()) return;
    const float t = static_cast<float>(std::max(0.0, seconds));
    if (id < BASE_SOUND_INDEX) {
        if (Audio_IsQueueIndex(id)) {
            dbg_csol->Output("Error: audio_sound_set_track_position not supported on sound queues.\n");
            return;
        }
        cAudio_Sound* s = Audio_GetSound(id);
        if (s != nullptr && t < Audio_SoundLength(id)) s->startOffset = t;
        return;
    }
    CNoise* v = FindHandle(id);
    if (v == nullptr) return;
    const cAudio_Sound* s = Audio_GetSound(v->sound);
    if (s != nullptr && s->Decoded()) {
        COggAudio::Seek_Sound(v->source, t);
    } else if (Audio_NoiseIsPlaying(v)) {
        alSourcef(Audio_SourceOf(*v), AL_SEC_OFFSET, t);
        checkAL("Set track position failed");
    }
}

float Audio_GetTrackPos(int id) {
    CNoise* v = nullptr;
    if (id < BASE_SOUND_INDEX && !Audio_IsQueueIndex(id)) {
        const cAudio_Sound* s = Audio_GetSound(id);
        return s != nullptr ? s->startOffset : 0.0f;
    }
    v = Audio_IsQueueIndex(id) ? Audio_GetNoiseFromQueuedSoundID(id) : FindHandle(id);
    if (v == nullptr) return 0.0f;
    cAudio_Sound* s = Audio_GetSound(v->sound);
    if (s == nullptr) return 0.0f;
    const unsigned source = Audio_SourceOf(*v);
    if (!s->Decoded()) {
        float offset = 0.0f;
        alGetSourcef(source, AL_SEC_OFFSET, &offset);
        return offset;
    }
    if (v->stopRequested) return 0.0f;
    if (s->sampleRate <= 0) COggAudio::CalcSoundInfo(s);
    const SOggChannel* channel = COggAudio::GetOggChannel(v->source, v->syncGroup);
    if (channel == nullptr || s->sampleRate <= 0 || s->channels <= 0) return 0.0f;
    // Until the decoder has carried out a seek, the voice is where it was
    // asked to go; the blocks and the offset still describe the old place.
    // The offset and the block count change together (the decoder unqueues
    // and counts in one step), so they are read in one step too.
    float position = channel->startSeconds;
    if (!channel->seekPending) {
        int sampleOffset = 0;
        int64_t blocks = 0;
        {
            MixerBatch batch;
            alGetSourcei(source, AL_SAMPLE_OFFSET, &sampleOffset);
            blocks = channel->blocksPlayed.load();
        }
        checkAL("Audio_GetTrackPos");
        const int64_t blockFrames = kDecodedBlockBytes / (2 * s->channels);
        position +=
            static_cast<float>(blockFrames * blocks + sampleOffset) / static_cast<float>(s->sampleRate);
    }
    if (position > s->lengthSeconds) {
        // A length of 0 has no remainder to take; the position is its end.
        if (v->loop && s->lengthSeconds > 0.0f) return std::fmod(position, s->lengthSeconds);
        return s->lengthSeconds;
    }
    return position;
}
