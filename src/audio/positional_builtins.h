// The audio_* built-ins of emitters, the listener, falloff and listener
// masks, and of buffer sounds, play queues and recording. Each returns at once
// with "-noaudio" (audio_stop_recording excepted), reads its arguments, calls
// one function and sets the result. Registered by InitSoundFunctions in their
// places of the registration order.
#pragma once

#include "core/rvalue.h"

class CInstance;

#define POSITIONAL_BUILTIN(name)                                                                             \
    void name(RValue& result, CInstance* self, CInstance* other, int argc, RValue* args)

POSITIONAL_BUILTIN(F_AudioListenerPosition);
POSITIONAL_BUILTIN(F_AudioListenerVelocity);
POSITIONAL_BUILTIN(F_AudioListenerOrientation);
POSITIONAL_BUILTIN(F_AudioEmitterPosition);
POSITIONAL_BUILTIN(F_AudioEmitterVelocity);
POSITIONAL_BUILTIN(F_AudioEmitterCreate);
POSITIONAL_BUILTIN(F_AudioEmitterFree);
POSITIONAL_BUILTIN(F_AudioPlaySoundOn);
POSITIONAL_BUILTIN(F_AudioFalloffSetModel);
POSITIONAL_BUILTIN(F_AudioMasterGain);
POSITIONAL_BUILTIN(F_AudioEmitterExists);
POSITIONAL_BUILTIN(F_AudioEmitterGain);
POSITIONAL_BUILTIN(F_AudioEmitterPitch);
POSITIONAL_BUILTIN(F_AudioEmitterFalloff);
POSITIONAL_BUILTIN(F_AudioEmitterGetGain);
POSITIONAL_BUILTIN(F_AudioEmitterGetPitch);
POSITIONAL_BUILTIN(F_AudioEmitterGetX);
POSITIONAL_BUILTIN(F_AudioEmitterGetY);
POSITIONAL_BUILTIN(F_AudioEmitterGetZ);
POSITIONAL_BUILTIN(F_AudioEmitterGetVX);
POSITIONAL_BUILTIN(F_AudioEmitterGetVY);
POSITIONAL_BUILTIN(F_AudioEmitterGetVZ);
POSITIONAL_BUILTIN(F_AudioListenerSetPosition);
POSITIONAL_BUILTIN(F_AudioListenerSetVelocity);
POSITIONAL_BUILTIN(F_AudioListenerSetOrientation);
POSITIONAL_BUILTIN(F_AudioListenerGetData);
POSITIONAL_BUILTIN(F_AudioSetMasterGain);
POSITIONAL_BUILTIN(F_AudioGetMasterGain);
POSITIONAL_BUILTIN(F_AudioCreateBufferSound);
POSITIONAL_BUILTIN(F_AudioFreeBufferSound);
POSITIONAL_BUILTIN(F_AudioCreatePlayQueue);
POSITIONAL_BUILTIN(F_AudioFreePlayQueue);
POSITIONAL_BUILTIN(F_AudioQueueSound);
POSITIONAL_BUILTIN(F_AudioStartRecording);
POSITIONAL_BUILTIN(F_AudioStopRecording);
POSITIONAL_BUILTIN(F_AudioGetRecorderCount);
POSITIONAL_BUILTIN(F_AudioGetRecorderInfo);
POSITIONAL_BUILTIN(F_AudioSoundGetListenerMask);
POSITIONAL_BUILTIN(F_AudioSoundSetListenerMask);
POSITIONAL_BUILTIN(F_AudioEmitterGetListenerMask);
POSITIONAL_BUILTIN(F_AudioEmitterSetListenerMask);
POSITIONAL_BUILTIN(F_AudioGetListenerMask);
POSITIONAL_BUILTIN(F_AudioSetListenerMask);
POSITIONAL_BUILTIN(F_AudioGetListenerInfo);
POSITIONAL_BUILTIN(F_AudioGetListenerCount);

#undef POSITIONAL_BUILTIN
