// Positional sound: emitters (points with a velocity, a falloff, a gain, a
// pitch and a listener mask that voices play on), the single listener, the
// listener masks and the mixer's distance model. The mixer spatialises; this
// keeps the records and hands their values to the voices' sources.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct CNoise;

struct CEmitter {
    CEmitter() { Reset(); }
    // Every field to its starting value, the voice slots emptied.
    void Reset();
    void AddNoiseToEmitter(CNoise* v);
    void RemoveNoiseFromEmitter(CNoise* v);

    float position[3];
    float velocity[3];
    bool active;
    float referenceDistance;
    float maxDistance;
    float falloffFactor;
    float gain;
    float pitch;
    uint32_t listenerMask;
    // Voices playing on the emitter (not owned); empty slots allowed.
    std::vector<CNoise*> voices;
};

struct CListener {
    CListener() { Reset(); }
    void Reset();
    // Pushes position, velocity and orientation to the mixer's listener.
    void Update() const;
    // Stores the master gain and hands it to the mixer at once.
    void SetGain(float g);
    float GetGain() const { return gain; }

    float position[3];
    float velocity[3];
    float at[3];
    float up[3];
    float gain;
};

// Grows by 8 slots at a time; emitters are never deleted while running.
extern std::vector<std::unique_ptr<CEmitter>> emitters;
extern std::unique_ptr<CListener> g_pAudioListener;

struct AudioVec3 {
    float x, y, z;
};

int Audio_CreateEmitter();
void Audio_ReleaseEmitter(int e);
bool Audio_EmitterExists(int e);
void Audio_SetEmitterPosition(int e, double x, double y, double z);
void Audio_SetEmitterVelocity(int e, double x, double y, double z);
AudioVec3 Audio_GetEmitterPosition(int e);
AudioVec3 Audio_GetEmitterVelocity(int e);
void Audio_SetEmitterFalloff(int e, double referenceDistance, double maxDistance, double falloffFactor);
void Audio_SetEmitterGain(int e, double gain);
float Audio_GetEmitterGain(int e);
void Audio_SetEmitterPitch(int e, double pitch);
float Audio_GetEmitterPitch(int e);
uint32_t Audio_EmitterGetListenerMask(int e);
void Audio_EmitterSetListenerMask(int e, uint32_t mask);
uint32_t Audio_GetListenerMask();
void Audio_SetListenerMask(uint32_t mask);
uint32_t Audio_SoundGetListenerMask(int handle);
void Audio_SoundSetListenerMask(int handle, uint32_t mask);
int Audio_PlaySoundOn(int e, int soundIndex, int loop, double priority);
// Model 0 to 6: none, inverse, inverse clamped, linear, linear clamped,
// exponent, exponent clamped.
void Audio_FalloffSet(int model);

void Audio_SetListenerPosition(int i, double x, double y, double z);
void Audio_SetListenerVelocity(int i, double x, double y, double z);
void Audio_SetListenerOrientation(int i, double atX, double atY, double atZ, double upX, double upY,
                                  double upZ);
int Audio_GetListenerData(int i);
void Audio_SetMasterGain(int i, double gain);
float Audio_GetMasterGain(int i);
int Audio_GetListenerCount();
int Audio_GetListenerInfo(int i);

// [SECTION] for the voices and the tick
// Makes the listener when there is none (set-up).
void Audio_CreateListener();
// The tick's listener step.
void Audio_UpdateListener();
// The tick's emitter pass: playing voices follow their emitter, finished ones
// are freed and their slots emptied.
void Audio_UpdateEmitters();
// Takes a voice off its emitter (nothing when it has none).
void Audio_RemoveNoiseFromEmitter(CNoise* v);
// Gain and pitch factors of a voice's emitter (1 when it has none).
float Audio_EmitterGainOf(const CNoise* v);
float Audio_EmitterPitchOf(const CNoise* v);
// Every emitter's voice slots emptied (voices are rebuilt or torn down).
void Audio_ClearEmitterVoices();
// Emitters and the listener gone, the global mask back to 1 (tests, a fresh load).
void Emitters_Reset();
