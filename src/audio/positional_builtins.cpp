// Handlers of the emitter, listener, falloff, listener-mask, buffer-sound,
// play-queue and recording built-ins (see positional_builtins.h).
#include "audio/positional_builtins.h"

#include <cstdint>

#include "audio/buffer_sounds.h"
#include "audio/emitters.h"
#include "audio/recording.h"
#include "core/arguments.h"
#include "core/run_settings.h"

#define AUDIO_HANDLER(name) void name(RValue& result, CInstance*, CInstance*, int, RValue* args)

namespace {

int Int(RValue* args, int i) {
    return ZQGetInt32(args, i);
}
double Real(RValue* args, int i) {
    return ZQGetReal(args, i);
}
// Masks are 32 bits wide: a mask with bit 31 set reads as 2^31 or more.
void SetMask(RValue& result, uint32_t mask) {
    ZQSetResultReal(result, static_cast<double>(mask));
}
// The reals of arguments first .. first + n - 1, read in order.
template <int N>
void Reals(RValue* args, int first, double (&out)[N]) {
    for (int i = 0; i < N; ++i) out[i] = Real(args, first + i);
}

} // namespace

// [SECTION] listener

AUDIO_HANDLER(F_AudioListenerPosition) {
    (void)result;
    if (g_fNoAudio) return;
    double v[3];
    Reals(args, 0, v);
    Audio_SetListenerPosition(0, v[0], v[1], v[2]);
}
AUDIO_HANDLER(F_AudioListenerVelocity) {
    (void)result;
    if (g_fNoAudio) return;
    double v[3];
    Reals(args, 0, v);
    Audio_SetListenerVelocity(0, v[0], v[1], v[2]);
}
AUDIO_HANDLER(F_AudioListenerOrientation) {
    (void)result;
    if (g_fNoAudio) return;
    double v[6];
    Reals(args, 0, v);
    Audio_SetListenerOrientation(0, v[0], v[1], v[2], v[3], v[4], v[5]);
}
AUDIO_HANDLER(F_AudioListenerSetPosition) {
    (void)result;
    if (g_fNoAudio) return;
    const int listener = Int(args, 0);
    double v[3];
    Reals(args, 1, v);
    Audio_SetListenerPosition(listener, v[0], v[1], v[2]);
}
AUDIO_HANDLER(F_AudioListenerSetVelocity) {
    (void)result;
    if (g_fNoAudio) return;
    const int listener = Int(args, 0);
    double v[3];
    Reals(args, 1, v);
    Audio_SetListenerVelocity(listener, v[0], v[1], v[2]);
}
AUDIO_HANDLER(F_AudioListenerSetOrientation) {
    (void)result;
    if (g_fNoAudio) return;
    const int listener = Int(args, 0);
    double v[6];
    Reals(args, 1, v);
    Audio_SetListenerOrientation(listener, v[0], v[1], v[2], v[3], v[4], v[5]);
}
AUDIO_HANDLER(F_AudioListenerGetData) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_GetListenerData(Int(args, 0)));
}
AUDIO_HANDLER(F_AudioMasterGain) {
    (void)result;
    if (!g_fNoAudio) Audio_SetMasterGain(0, Real(args, 0));
}
AUDIO_HANDLER(F_AudioSetMasterGain) {
    (void)result;
    if (g_fNoAudio) return;
    const int listener = Int(args, 0);
    Audio_SetMasterGain(listener, Real(args, 1));
}
AUDIO_HANDLER(F_AudioGetMasterGain) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_GetMasterGain(Int(args, 0)));
}
AUDIO_HANDLER(F_AudioGetListenerInfo) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_GetListenerInfo(Int(args, 0)));
}
AUDIO_HANDLER(F_AudioGetListenerCount) {
    (void)args;
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_GetListenerCount());
}

// [SECTION] emitters and falloff

AUDIO_HANDLER(F_AudioEmitterCreate) {
    (void)args;
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_CreateEmitter());
}
AUDIO_HANDLER(F_AudioEmitterFree) {
    (void)result;
    if (!g_fNoAudio) Audio_ReleaseEmitter(Int(args, 0));
}
AUDIO_HANDLER(F_AudioEmitterExists) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_EmitterExists(Int(args, 0)) ? 1.0 : 0.0);
}
AUDIO_HANDLER(F_AudioEmitterPosition) {
    (void)result;
    if (g_fNoAudio) return;
    const int emitter = Int(args, 0);
    double v[3];
    Reals(args, 1, v);
    Audio_SetEmitterPosition(emitter, v[0], v[1], v[2]);
}
AUDIO_HANDLER(F_AudioEmitterVelocity) {
    (void)result;
    if (g_fNoAudio) return;
    const int emitter = Int(args, 0);
    double v[3];
    Reals(args, 1, v);
    Audio_SetEmitterVelocity(emitter, v[0], v[1], v[2]);
}
AUDIO_HANDLER(F_AudioEmitterGain) {
    (void)result;
    if (g_fNoAudio) return;
    const int emitter = Int(args, 0);
    Audio_SetEmitterGain(emitter, Real(args, 1));
}
AUDIO_HANDLER(F_AudioEmitterPitch) {
    (void)result;
    if (g_fNoAudio) return;
    const int emitter = Int(args, 0);
    Audio_SetEmitterPitch(emitter, Real(args, 1));
}
AUDIO_HANDLER(F_AudioEmitterFalloff) {
    (void)result;
    if (g_fNoAudio) return;
    const int emitter = Int(args, 0);
    double v[3];
    Reals(args, 1, v);
    Audio_SetEmitterFalloff(emitter, v[0], v[1], v[2]);
}
AUDIO_HANDLER(F_AudioEmitterGetGain) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_GetEmitterGain(Int(args, 0)));
}
AUDIO_HANDLER(F_AudioEmitterGetPitch) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_GetEmitterPitch(Int(args, 0)));
}
AUDIO_HANDLER(F_AudioEmitterGetX) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_GetEmitterPosition(Int(args, 0)).x);
}
AUDIO_HANDLER(F_AudioEmitterGetY) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_GetEmitterPosition(Int(args, 0)).y);
}
AUDIO_HANDLER(F_AudioEmitterGetZ) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_GetEmitterPosition(Int(args, 0)).z);
}
AUDIO_HANDLER(F_AudioEmitterGetVX) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_GetEmitterVelocity(Int(args, 0)).x);
}
AUDIO_HANDLER(F_AudioEmitterGetVY) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_GetEmitterVelocity(Int(args, 0)).y);
}
AUDIO_HANDLER(F_AudioEmitterGetVZ) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_GetEmitterVelocity(Int(args, 0)).z);
}
AUDIO_HANDLER(F_AudioPlaySoundOn) {
    if (g_fNoAudio) return;
    const int emitter = Int(args, 0);
    const int sound = Int(args, 1);
    const int loop = Int(args, 2);
    ZQSetResultReal(result, Audio_PlaySoundOn(emitter, sound, loop, Real(args, 3)));
}
AUDIO_HANDLER(F_AudioFalloffSetModel) {
    (void)result;
    if (!g_fNoAudio) Audio_FalloffSet(Int(args, 0));
}

// [SECTION] listener masks

AUDIO_HANDLER(F_AudioSoundGetListenerMask) {
    if (!g_fNoAudio) SetMask(result, Audio_SoundGetListenerMask(Int(args, 0)));
}
AUDIO_HANDLER(F_AudioSoundSetListenerMask) {
    (void)result;
    if (g_fNoAudio) return;
    const int handle = Int(args, 0);
    Audio_SoundSetListenerMask(handle, static_cast<uint32_t>(Int(args, 1)));
}
AUDIO_HANDLER(F_AudioEmitterGetListenerMask) {
    if (!g_fNoAudio) SetMask(result, Audio_EmitterGetListenerMask(Int(args, 0)));
}
AUDIO_HANDLER(F_AudioEmitterSetListenerMask) {
    (void)result;
    if (g_fNoAudio) return;
    const int emitter = Int(args, 0);
    Audio_EmitterSetListenerMask(emitter, static_cast<uint32_t>(Int(args, 1)));
}
AUDIO_HANDLER(F_AudioGetListenerMask) {
    (void)args;
    if (!g_fNoAudio) SetMask(result, Audio_GetListenerMask());
}
AUDIO_HANDLER(F_AudioSetListenerMask) {
    (void)result;
    if (!g_fNoAudio) Audio_SetListenerMask(static_cast<uint32_t>(Int(args, 0)));
}

// [SECTION] buffer sounds, play queues and recording

AUDIO_HANDLER(F_AudioCreateBufferSound) {
    if (g_fNoAudio) return;
    int v[6];
    for (int i = 0; i < 6; ++i) v[i] = Int(args, i);
    ZQSetResultReal(result, Audio_CreateBufferSound(v[0], v[1], v[2], v[3], v[4], v[5]));
}
AUDIO_HANDLER(F_AudioFreeBufferSound) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_FreeBufferSound(Int(args, 0)) ? 1.0 : 0.0);
}
AUDIO_HANDLER(F_AudioCreatePlayQueue) {
    if (g_fNoAudio) return;
    int v[3];
    for (int i = 0; i < 3; ++i) v[i] = Int(args, i);
    ZQSetResultReal(result, Audio_CreatePlayQueue(v[0], v[1], v[2]));
}
AUDIO_HANDLER(F_AudioFreePlayQueue) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_FreePlayQueue(Int(args, 0)) ? 1.0 : 0.0);
}
AUDIO_HANDLER(F_AudioQueueSound) {
    if (g_fNoAudio) return;
    int v[4];
    for (int i = 0; i < 4; ++i) v[i] = Int(args, i);
    ZQSetResultReal(result, Audio_QueueBufferSound(v[0], v[1], v[2], v[3]));
}
AUDIO_HANDLER(F_AudioStartRecording) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_StartRecording(Int(args, 0)));
}
// A recorder is stopped even with audio off, so a device never stays open.
AUDIO_HANDLER(F_AudioStopRecording) {
    ZQSetResultReal(result, Audio_StopRecording(Int(args, 0)));
}
AUDIO_HANDLER(F_AudioGetRecorderCount) {
    (void)args;
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_GetRecorderCount());
}
AUDIO_HANDLER(F_AudioGetRecorderInfo) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_GetRecorderInfo(Int(args, 0)));
}
