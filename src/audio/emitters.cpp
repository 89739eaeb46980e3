// Emitters, the listener, listener masks and the distance model (see
// emitters.h). Emitter indices are ints; an index outside the table, or whose
// slot holds no emitter, is out of range.
#include "audio/emitters.h"

#include <algorithm>

#include "audio/audio_groups.h"
#include "audio/mixer_api.h"
#include "audio/sound_assets.h"
#include "audio/voices.h"
#include "core/console.h"
#include "core/run_settings.h"
#include "data/ds_map.h"
#include "world/datafile/options.h"

std::vector<std::unique_ptr<CEmitter>> emitters;
std::unique_ptr<CListener> g_pAudioListener;

namespace {

constexpr int kEmitterGrowth = 8;

bool Selected() {
    return g_UseNewAudio;
}

bool Running() {
    return !g_fNoAudio && g_UseNewAudio;
}

CEmitter* Emitter(int e) {
    if (e < 0 || e >= static_cast<int>(emitters.size())) return nullptr;
    return emitters[e].get();
}

void Set3(float* out, double x, double y, double z) {
    out[0] = static_cast<float>(x);
    out[1] = static_cast<float>(y);
    out[2] = static_cast<float>(z);
}

void ReportIfError(const char* text) {
    if (alGetError() != AL_NO_ERROR) dbg_csol->Output("%s", text);
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
void ReportCode(const char* format) {
    const int code = alGetError();
    if (code != AL_NO_ERROR) dbg_csol->Output(format, code);
}
#pragma GCC diagnostic pop

const char* NoText() {
    return nullptr;
}

} // namespace

// [SECTION] records

void CEmitter::Reset() {
    Set3(position, 0, 0, 0);
    Set3(velocity, 0, 0, 0);
    active = false;
    referenceDistance = 100.0f;
    maxDistance = 100000.0f;
    falloffFactor = 1.0f;
    gain = 1.0f;
    pitch = 1.0f;
    listenerMask = g_GlobalListenerMask;
    voices.clear();
}

void CEmitter::AddNoiseToEmitter(CNoise* v) {
    if (v == nullptr) return;
    v->emitter = this;
    v->listenerMask = listenerMask;
    for (CNoise*& slot : voices) {
        if (slot == nullptr || !slot->active) {
            // An inactive voice left here no longer belongs to the emitter.
            if (slot != nullptr && slot != v && slot->emitter == this) slot->emitter = nullptr;
            slot = v;
            return;
        }
    }
    voices.push_back(v);
}

void CEmitter::RemoveNoiseFromEmitter(CNoise* v) {
    for (CNoise*& slot : voices) {
        if (slot == v) {
            slot = nullptr;
            v->emitter = nullptr;
            return;
        }
    }
}

void CListener::Reset() {
    Set3(position, 0, 0, 0);
    Set3(velocity, 0, 0, 0);
    Set3(at, 0, 0, -1);
    Set3(up, 0, 1, 0);
    gain = 1.0f;
}

void CListener::Update() const {
    if (alcGetCurrentContext() == nullptr) return;
    alListener3f(AL_POSITION, position[0], position[1], position[2]);
    ReportCode("Error setting listener position %d\n");
    alListener3f(AL_VELOCITY, velocity[0], velocity[1], velocity[2]);
    ReportCode("Error setting listener velocity %d\n");
    const float orientation[6] = {at[0], at[1], at[2], up[0], up[1], up[2]};
    alListenerfv(AL_ORIENTATION, orientation);
    ReportCode("Error setting listener orientation %d\n");
}

void CListener::SetGain(float g) {
    gain = g;
    alListenerf(AL_GAIN, g);
}

// [SECTION] emitters

int Audio_CreateEmitter() {
    if (!Selected()) return -1;
    for (size_t i = 0; i < emitters.size(); ++i) {
        if (!emitters[i]) emitters[i] = std::make_unique<CEmitter>();
        // A released emitter comes back with the settings it had.
        if (!emitters[i]->active) {
            emitters[i]->active = true;
            return static_cast<int>(i);
        }
    }
    const size_t first = emitters.size();
    emitters.resize(first + kEmitterGrowth);
    emitters[first] = std::make_unique<CEmitter>();
    emitters[first]->active = true;
    return static_cast<int>(first);
}

void Audio_ReleaseEmitter(int e) {
    CEmitter* emitter = Emitter(e);
    if (!Selected() || emitter == nullptr) return;
    for (CNoise* v : emitter->voices)
        if (v != nullptr && v->active && !Audio_IsSoftStopped(*v) && v->source >= 0)
            Audio_StopSound(v->handle);
    emitter->active = false;
}

bool Audio_EmitterExists(int e) {
    if (g_fNoAudio) return false;
    const CEmitter* emitter = Emitter(e);
    return emitter != nullptr && emitter->active;
}

void Audio_SetEmitterPosition(int e, double x, double y, double z) {
    CEmitter* emitter = Emitter(e);
    if (Selected() && emitter != nullptr) Set3(emitter->position, x, y, z);
}

void Audio_SetEmitterVelocity(int e, double x, double y, double z) {
    CEmitter* emitter = Emitter(e);
    if (Selected() && emitter != nullptr) Set3(emitter->velocity, x, y, z);
}

AudioVec3 Audio_GetEmitterPosition(int e) {
    const CEmitter* emitter = Emitter(e);
    if (!Selected() || emitter == nullptr) return {0, 0, 0};
    return {emitter->position[0], emitter->position[1], emitter->position[2]};
}

AudioVec3 Audio_GetEmitterVelocity(int e) {
    const CEmitter* emitter = Emitter(e);
    if (!Selected() || emitter == nullptr) return {0, 0, 0};
    return {emitter->velocity[0], emitter->velocity[1], emitter->velocity[2]};
}

void Audio_SetEmitterFalloff(int e, double referenceDistance, double maxDistance, double falloffFactor) {
    CEmitter* emitter = Emitter(e);
    if (!Selected() || emitter == nullptr) return;
    emitter->referenceDistance = static_cast<float>(referenceDistance);
    emitter->maxDistance = static_cast<float>(maxDistance);
    emitter->falloffFactor = static_cast<float>(falloffFactor);
    for (CNoise* v : emitter->voices) {
        if (!Audio_NoiseIsPlaying(v)) continue;
        const unsigned source = Audio_SourceOf(*v);
        alSourcef(source, AL_MAX_DISTANCE, emitter->maxDistance);
        alSourcef(source, AL_REFERENCE_DISTANCE, emitter->referenceDistance);
        alSourcef(source, AL_ROLLOFF_FACTOR, emitter->falloffFactor);
        ReportIfError("Error updating emitter\n");
    }
}

void Audio_SetEmitterGain(int e, double gain) {
    CEmitter* emitter = Emitter(e);
    // No upper limit: an emitter may amplify.
    if (Running() && emitter != nullptr && gain >= 0.0) emitter->gain = static_cast<float>(gain);
}

float Audio_GetEmitterGain(int e) {
    const CEmitter* emitter = Emitter(e);
    return Running() && emitter != nullptr ? emitter->gain : 0.0f;
}

void Audio_SetEmitterPitch(int e, double pitch) {
    CEmitter* emitter = Emitter(e);
    if (!Running() || emitter == nullptr || !(pitch >= 0.0)) return;
    emitter->pitch = static_cast<float>(pitch);
    for (CNoise* v : emitter->voices) {
        if (v == nullptr || !v->active || Audio_IsSoftStopped(*v) || v->source < 0) continue;
        const cAudio_Sound* s = Audio_GetSound(v->sound);
        if (s != nullptr) alSourcef(Audio_SourceOf(*v), AL_PITCH, emitter->pitch * s->pitch);
    }
}

float Audio_GetEmitterPitch(int e) {
    const CEmitter* emitter = Emitter(e);
    return Running() && emitter != nullptr ? emitter->pitch : 1.0f;
}

uint32_t Audio_EmitterGetListenerMask(int e) {
    const CEmitter* emitter = Emitter(e);
    return Running() && emitter != nullptr ? emitter->listenerMask : 1u;
}

void Audio_EmitterSetListenerMask(int e, uint32_t mask) {
    CEmitter* emitter = Emitter(e);
    if (emitter != nullptr) emitter->listenerMask = mask;
}

uint32_t Audio_GetListenerMask() {
    return g_GlobalListenerMask;
}

void Audio_SetListenerMask(uint32_t mask) {
    g_GlobalListenerMask = mask;
}

uint32_t Audio_SoundGetListenerMask(int handle) {
    if (!Running() || handle < BASE_SOUND_INDEX) return 1u;
    const CNoise* v = Audio_GetNoiseFromID(handle);
    return v != nullptr ? v->listenerMask : 1u;
}

void Audio_SoundSetListenerMask(int handle, uint32_t mask) {
    if (!Running() || handle < BASE_SOUND_INDEX) return;
    CNoise* v = Audio_GetNoiseFromID(handle);
    if (v == nullptr) return;
    v->listenerMask = mask;
    alSourceSetListenerMask(Audio_SourceOf(*v), mask);
}

int Audio_PlaySoundOn(int e, int soundIndex, int loop, double priority) {
    if (!Running()) return -1;
    {
        const int code = alGetError();
        if (code != AL_NO_ERROR) dbg_csol->Output("Error prior to playing sample 2 %d\n", code);
    }
    if (e < 0 || e >= static_cast<int>(emitters.size())) return -1;
    CEmitter* emitter = emitters[e].get();
    if (emitter == nullptr || !emitter->active) {
        dbg_csol->Output("Audio_PlaySound Attempting to play sound on inactive emitter %d\n", e);
        return -1;
    }
    cAudio_Sound* s = Audio_GetSound(soundIndex);
    if (s == nullptr) {
        dbg_csol->Output("Error: no sound exists for soundid %d\n", soundIndex);
        return 0;
    }
    if (!g_AudioGroups.IsGroupLoaded(s->group)) {
        const char* name = soundIndex >= 0 && soundIndex < Audio_Number() ? Audio_Name(soundIndex) : nullptr;
        dbg_csol->Output("%s: Audio Group %d is not loaded\n", name != nullptr ? name : "<undefined>",
                         s->group);
        return 0;
    }
    CNoise* v = Audio_GetSoundSourceToPlay(soundIndex, static_cast<float>(priority));
    if (v == nullptr) return -1;
    v->handle = g_NoiseHandleIndex++;
    v->sound = soundIndex;
    v->loop = loop > 0;
    v->priority = static_cast<float>(priority);
    v->gain = 1.0f;
    v->gainTicks = 0;
    Audio_RemoveNoiseFromEmitter(v);
    emitter->AddNoiseToEmitter(v);
    {
        const int code = alGetError();
        if (code != AL_NO_ERROR) dbg_csol->Output("Error prior to playing sample %d\n", code);
    }
    const unsigned source = Audio_SourceOf(*v);
    alSourcei(source, AL_SOURCE_RELATIVE, AL_FALSE);
    alSourcef(source, AL_MAX_DISTANCE, emitter->maxDistance);
    alSourcef(source, AL_GAIN, s->gain * emitter->gain);
    alSourcef(source, AL_PITCH, emitter->pitch * s->pitch);
    alSourcef(source, AL_REFERENCE_DISTANCE, emitter->referenceDistance);
    alSourcef(source, AL_ROLLOFF_FACTOR, emitter->falloffFactor);
    alSource3f(source, AL_POSITION, emitter->position[0], emitter->position[1], emitter->position[2]);
    alSource3f(source, AL_VELOCITY, emitter->velocity[0], emitter->velocity[1], emitter->velocity[2]);
    Audio_StartSoundNoise(s, v);
    {
        const int code = alGetError();
        if (code != AL_NO_ERROR) dbg_csol->Output("Error playing sample %d\n", code);
    }
    return v->handle;
}

void Audio_FalloffSet(int model) {
    if (g_fNoAudio) return;
    static const int kModels[] = {AL_NONE,
                                  AL_INVERSE_DISTANCE,
                                  AL_INVERSE_DISTANCE_CLAMPED,
                                  AL_LINEAR_DISTANCE,
                                  AL_LINEAR_DISTANCE_CLAMPED,
                                  AL_EXPONENT_DISTANCE,
                                  AL_EXPONENT_DISTANCE_CLAMPED};
    if (model < 0 || model > 6) {
        dbg_csol->Output("Attempting to set audio falloff to unknown model\n");
        return;
    }
    alDistanceModel(kModels[model]);
}

// [SECTION] the listener

void Audio_SetListenerPosition(int i, double x, double y, double z) {
    if (i == 0 && g_pAudioListener) Set3(g_pAudioListener->position, x, y, z);
}

void Audio_SetListenerVelocity(int i, double x, double y, double z) {
    if (i == 0 && g_pAudioListener) Set3(g_pAudioListener->velocity, x, y, z);
}

void Audio_SetListenerOrientation(int i, double atX, double atY, double atZ, double upX, double upY,
                                  double upZ) {
    if (i != 0 || !g_pAudioListener) return;
    Set3(g_pAudioListener->at, atX, atY, atZ);
    Set3(g_pAudioListener->up, upX, upY, upZ);
}

int Audio_GetListenerData(int i) {
    if (i != 0 || !g_pAudioListener) return -1;
    const CListener& l = *g_pAudioListener;
    return CreateDsMap(12, "x", double{l.position[0]}, NoText(), "y", double{l.position[1]}, NoText(), "z",
                       double{l.position[2]}, NoText(), "vx", double{l.velocity[0]}, NoText(), "vy",
                       double{l.velocity[1]}, NoText(), "vz", double{l.velocity[2]}, NoText(), "lookat_x",
                       double{l.at[0]}, NoText(), "lookat_y", double{l.at[1]}, NoText(), "lookat_z",
                       double{l.at[2]}, NoText(), "up_x", double{l.up[0]}, NoText(), "up_y", double{l.up[1]},
                       NoText(), "up_z", double{l.up[2]}, NoText());
}

void Audio_SetMasterGain(int i, double gain) {
    if (i == 0 && Running() && g_pAudioListener)
        g_pAudioListener->SetGain(static_cast<float>(std::max(0.0, gain)));
}

float Audio_GetMasterGain(int i) {
    return i == 0 && g_pAudioListener ? g_pAudioListener->GetGain() : 0.0f;
}

int Audio_GetListenerCount() {
    return 1;
}

int Audio_GetListenerInfo(int i) {
    if (i != 0) return -1;
    return CreateDsMap(3, "name", 0.0, "default", "mask", 1.0, NoText(), "index", 0.0, NoText());
}

// [SECTION] for the voices and the tick

void Audio_CreateListener() {
    if (!g_pAudioListener) g_pAudioListener = std::make_unique<CListener>();
}

void Audio_UpdateListener() {
    if (g_pAudioListener) g_pAudioListener->Update();
}

void Audio_UpdateEmitters() {
    const size_t count = emitters.size();
    for (size_t i = 0; i < count; ++i) {
        CEmitter* emitter = emitters[i].get();
        if (emitter == nullptr || !emitter->active) continue;
        for (CNoise*& slot : emitter->voices) {
            CNoise* v = slot;
            if (v == nullptr) continue;
            if (Audio_NoiseIsPlaying(v)) {
                const unsigned source = Audio_SourceOf(*v);
                alSource3f(source, AL_POSITION, emitter->position[0], emitter->position[1],
                           emitter->position[2]);
                alSource3f(source, AL_VELOCITY, emitter->velocity[0], emitter->velocity[1],
                           emitter->velocity[2]);
                ReportIfError("Error updating emitter\n");
                continue;
            }
            v->active = false;
            v->stopCountdown = 0;
            v->stopRequested = false;
            v->emitter = nullptr;
            slot = nullptr;
        }
    }
}

void Audio_RemoveNoiseFromEmitter(CNoise* v) {
    if (v != nullptr && v->emitter != nullptr) v->emitter->RemoveNoiseFromEmitter(v);
    if (v != nullptr) v->emitter = nullptr;
}

float Audio_EmitterGainOf(const CNoise* v) {
    return v != nullptr && v->emitter != nullptr ? v->emitter->gain : 1.0f;
}

float Audio_EmitterPitchOf(const CNoise* v) {
    return v != nullptr && v->emitter != nullptr ? v->emitter->pitch : 1.0f;
}

void Audio_ClearEmitterVoices() {
    // The voices are not touched: they may already be gone.
    for (auto& emitter : emitters)
        if (emitter) emitter->voices.clear();
}

void Emitters_Reset() {
    Audio_ClearEmitterVoices();
    emitters.clear();
    g_pAudioListener.reset();
}
