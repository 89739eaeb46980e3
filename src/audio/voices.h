// Voices: one CNoise per mixer source of a fixed pool (128 after set-up),
// chosen for each play by priority, and the once-per-frame audio tick.
// The voice at table position i always owns source slot i; voices are never
// removed one by one, only all together.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct cAudio_Sound;
struct CEmitter;
class SoundHardware;

struct CNoise {
    bool active = false;
    bool loop = false;
    int32_t stopCountdown = 0; // ticks since a soft stop (1 to 3), else 0
    bool decoded = false;
    bool stopRequested = false;
    int32_t source = -1;
    int32_t handle = 0;
    int32_t sound = 0;
    float priority = 1.0f; // -1e9 once soft-stopped, so it is stolen first
    float pitch = 1.0f;
    float gain = 1.0f;
    float gainStep = 0.0f;
    int32_t gainTicks = 0;
    int32_t syncGroup = -1;
    uint32_t listenerMask = 1;
    CEmitter* emitter = nullptr; // not owned; the emitter the voice plays on
};

inline constexpr float kSoftStoppedPriority = -1e9f;
// Sources made by set-up (one more than the pool limit before set-up).
inline constexpr int kDefaultSources = 128;
// More channels than any sound card mixes; Audio_SetNumChannels caps its
// request here so a script cannot ask for millions of sources.
inline constexpr int kMaxAudioChannels = 1024;

extern std::vector<std::unique_ptr<CNoise>> playingsounds;
extern std::vector<unsigned> g_pAudioSources;
extern int g_NumSources;
extern int g_MaxNumPlayingSounds;
extern int g_NoiseHandleIndex;
extern float g_Audio_Max_Distance;
extern uint32_t g_GlobalListenerMask;
extern bool g_bAudioInterupt;

// The mixer source name of a voice (0 when it has none).
unsigned Audio_SourceOf(const CNoise& v);
bool Audio_IsSoftStopped(const CNoise& v);

void Audio_Init(SoundHardware* hw);
void Audio_CreateSources(int n);
void Audio_SetNumChannels(int n);
void Audio_Quit();
void Audio_Suspend();
void Audio_Unsuspend();
bool Audio_Model();
// The debug overlay shows the audio view (0x10) or nothing at all.
void Audio_Debug(bool on);

CNoise* Audio_GetSoundSourceToPlay(int soundIndex, float priority);
bool Audio_StartSoundNoise(cAudio_Sound* s, CNoise* v);
int Audio_PlaySound(int soundIndex, double priority, int loop);
int Audio_PlaySoundAt(int soundIndex, double x, double y, double z, double referenceDistance,
                      double maxDistance, double falloffFactor, int loop, double priority);

void Audio_StopSoundNoise(CNoise* v, bool immediate);
void Audio_StopSound(int id);
void Audio_StopAll(bool immediate);
void Audio_SetNoiseInactive(CNoise* v);
void Audio_StopAllGroup(int group);
bool Audio_AllGroupSoundsStopped(int group);

void Audio_PauseSoundNoise(CNoise* v);
void Audio_ResumeSoundNoise(CNoise* v);
void Audio_PauseSound(int id);
void Audio_ResumeSound(int id);
void Audio_PauseAll();
void Audio_ResumeAll();

bool Audio_NoiseIsPlaying(const CNoise* v);
bool Audio_NoiseIsPaused(const CNoise* v);
bool Audio_NoiseIsPlayingOgg(const CNoise* v);
bool Audio_SoundIsPlaying(int id);
bool Audio_SoundIsPaused(int id);
CNoise* Audio_GetNoiseFromID(int handle);
CNoise* Audio_GetNoiseFromQueuedSoundID(int soundIndex);

void Audio_Tick();

// [SECTION] gain, fades, pitch, length and track position (sound_gain.cpp)
// Ticks a fade of `ms` milliseconds lasts at the current frame rate (>= 1).
int Audio_FadeTicks(int ms);
void Audio_SoundGain(int id, double gain, int timeMs);
void Audio_SetGainForNoise(CNoise* v, double gain, int timeMs);
void setGainForNoiseImmediate(CNoise* v);
void setGainForSoundImmediate(int id);
float Audio_GetSoundGain(int id);
void Audio_SoundPitch(int id, double pitch);
float Audio_GetSoundPitch(int id);
float Audio_SoundLength(int id);
void Audio_SetTrackPos(int id, double seconds);
float Audio_GetTrackPos(int id);
