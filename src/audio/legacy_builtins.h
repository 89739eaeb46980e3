// The built-ins of the legacy sound system (sounds, their effects and 3D
// settings, CD audio, MCI), registered first in the audio built-in table
// (audio_builtins.cpp), and the two entry points compiled code calls directly.
#pragma once

#include <cstdint>

#include "core/function_table.h"

void ZQVTL_sound_play(int32_t index);
void ZQVTL_sound_stop(int32_t index);

#define LEGACY_BUILTIN(name)                                                                                 \
    void name(RValue& result, CInstance* self, CInstance* other, int argc, RValue* args)

LEGACY_BUILTIN(F_SoundPlay);
LEGACY_BUILTIN(F_SoundLoop);
LEGACY_BUILTIN(F_SoundStop);
LEGACY_BUILTIN(F_SoundStopAll);
LEGACY_BUILTIN(F_SoundIsPlaying);
LEGACY_BUILTIN(F_SoundVolume);
LEGACY_BUILTIN(F_SoundFade);
LEGACY_BUILTIN(F_SoundPan);
LEGACY_BUILTIN(F_SoundBackgroundTempo);
LEGACY_BUILTIN(F_SoundGlobalVolume);
LEGACY_BUILTIN(F_SoundSetSearchDirectory);
LEGACY_BUILTIN(F_SoundEffectSet);
LEGACY_BUILTIN(F_SoundEffectChorus);
LEGACY_BUILTIN(F_SoundEffectCompressor);
LEGACY_BUILTIN(F_SoundEffectEcho);
LEGACY_BUILTIN(F_SoundEffectFlanger);
LEGACY_BUILTIN(F_SoundEffectGargle);
LEGACY_BUILTIN(F_SoundEffectEqualizer);
LEGACY_BUILTIN(F_SoundEffectReverb);
LEGACY_BUILTIN(F_Sound3DSetSoundPosition);
LEGACY_BUILTIN(F_Sound3DSetSoundVelocity);
LEGACY_BUILTIN(F_Sound3DSetSoundDistance);
LEGACY_BUILTIN(F_Sound3DSetSoundCone);
LEGACY_BUILTIN(F_CDInit);
LEGACY_BUILTIN(F_CDPresent);
LEGACY_BUILTIN(F_CDNumber);
LEGACY_BUILTIN(F_CDPlaying);
LEGACY_BUILTIN(F_CDPaused);
LEGACY_BUILTIN(F_CDTrack);
LEGACY_BUILTIN(F_CDLength);
LEGACY_BUILTIN(F_CDTrackLength);
LEGACY_BUILTIN(F_CDPosition);
LEGACY_BUILTIN(F_CDTrackPosition);
LEGACY_BUILTIN(F_CDPlay);
LEGACY_BUILTIN(F_CDStop);
LEGACY_BUILTIN(F_CDPause);
LEGACY_BUILTIN(F_CDResume);
LEGACY_BUILTIN(F_CDSetPosition);
LEGACY_BUILTIN(F_CDSetTrackPosition);
LEGACY_BUILTIN(F_CDOpenDoor);
LEGACY_BUILTIN(F_CDCloseDoor);
LEGACY_BUILTIN(F_MCICommand);

#undef LEGACY_BUILTIN
