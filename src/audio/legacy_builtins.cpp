// The legacy sound built-ins. Most of them pass a gate first: nothing happens
// (the result untouched) with audio off or when the data file selects the
// newer sound system. A built-in that names a sound finds it in the legacy
// table and reports "Sound does not exist." (not fatal) when it is not there,
// before it reads its remaining arguments. The effect, panning, tempo, search
// directory and 3D calls of the legacy layer do nothing, so those built-ins
// only check the sound and read their arguments; the CD ones answer for a
// drive without tracks and pass no gate.
#include "audio/legacy_builtins.h"

#include "audio/legacy_sound.h"
#include "core/arguments.h"
#include "core/error.h"
#include "core/ref_string.h"
#include "core/run_settings.h"
#include "world/datafile/options.h"

#define LEGACY_BUILTIN(name) void name(RValue& result, CInstance*, CInstance*, int, RValue* args)

namespace {

// Closed with audio off, or when the newer sound system is in use.
bool GateClosed() {
    return g_fNoAudio || g_UseNewAudio;
}

// The sound at args[0], or null (reported) when there is none.
CSound* FindSound(int index) {
    CSound* s = Sound_Data(index);
    if (s == nullptr) Error_Show_Action("Sound does not exist.", false);
    return s;
}

const char* FileNameOf(const CSound& s) {
    return s.fileName ? s.fileName->c_str() : nullptr;
}

void PlayLegacy(int32_t index, bool loop) {
    if (GateClosed()) return;
    CSound* s = FindSound(index);
    if (s == nullptr) return;
    const int slot = s->GetSoundId();
    SND_Play(FileNameOf(*s), slot, loop);
    SND_Set_Volume(slot, s->volume, 1);
}

// Reads the arguments after the sound, in order: 'r' real, 'i' int.
void ReadRest(RValue* args, const char* kinds) {
    for (int i = 0; kinds[i] != '\0'; ++i) {
        if (kinds[i] == 'r')
            (void)ZQGetReal(args, i + 1);
        else
            (void)ZQGetInt32(args, i + 1);
    }
}

// An effect or 3D built-in: the sound checked, the rest read, nothing done.
void SettingOnSound(RValue* args, bool gateClosed, const char* kinds) {
    if (gateClosed) return;
    CSound* s = FindSound(ZQGetInt32(args, 0));
    if (s == nullptr) return;
    (void)s->GetSoundId();
    ReadRest(args, kinds);
}

} // namespace

void ZQVTL_sound_play(int32_t index) {
    PlayLegacy(index, false);
}

void ZQVTL_sound_stop(int32_t index) {
    if (GateClosed()) return;
    CSound* s = FindSound(index);
    if (s == nullptr) return;
    SND_Stop(FileNameOf(*s), s->GetSoundId());
}

// [SECTION] sounds

LEGACY_BUILTIN(F_SoundPlay) {
    (void)result;
    ZQVTL_sound_play(ZQGetInt32(args, 0)); // read before the gate
}
LEGACY_BUILTIN(F_SoundLoop) {
    (void)result;
    if (!GateClosed()) PlayLegacy(ZQGetInt32(args, 0), true);
}
LEGACY_BUILTIN(F_SoundStop) {
    (void)result;
    ZQVTL_sound_stop(ZQGetInt32(args, 0)); // read before the gate
}
LEGACY_BUILTIN(F_SoundStopAll) {
    (void)result, (void)args;
    if (!GateClosed()) SND_StopAll();
}
LEGACY_BUILTIN(F_SoundIsPlaying) {
    if (GateClosed()) return;
    const CSound* s = Sound_Data(ZQGetInt32(args, 0));
    ZQSetResultReal(result, s != nullptr && SND_IsPlaying(FileNameOf(*s), s->GetSoundId()) ? 1.0 : 0.0);
}
LEGACY_BUILTIN(F_SoundVolume) {
    (void)result;
    if (GateClosed()) return;
    CSound* s = FindSound(ZQGetInt32(args, 0));
    if (s == nullptr) return;
    const int slot = s->GetSoundId();
    s->volume = ZQGetReal(args, 1);
    SND_Set_Volume(slot, s->volume, 1);
}
LEGACY_BUILTIN(F_SoundFade) {
    (void)result;
    if (GateClosed()) return;
    CSound* s = FindSound(ZQGetInt32(args, 0));
    if (s == nullptr) return;
    const int slot = s->GetSoundId();
    const double volume = ZQGetReal(args, 1);
    SND_Set_Volume(slot, volume, ZQGetInt32(args, 2));
}
LEGACY_BUILTIN(F_SoundPan) {
    (void)result;
    SettingOnSound(args, GateClosed(), "r");
}
LEGACY_BUILTIN(F_SoundBackgroundTempo) {
    (void)result;
    if (!GateClosed()) (void)ZQGetReal(args, 0);
}
LEGACY_BUILTIN(F_SoundGlobalVolume) {
    (void)result;
    if (!GateClosed()) SND_Set_Global_Volume(ZQGetFloat(args, 0));
}
LEGACY_BUILTIN(F_SoundSetSearchDirectory) {
    (void)result;
    if (!GateClosed()) (void)ZQGetString(args, 0);
}

// [SECTION] effects and 3D settings

LEGACY_BUILTIN(F_SoundEffectSet) {
    (void)result;
    SettingOnSound(args, GateClosed(), "i");
}
LEGACY_BUILTIN(F_SoundEffectChorus) {
    (void)result;
    SettingOnSound(args, GateClosed(), "rrrriri");
}
LEGACY_BUILTIN(F_SoundEffectCompressor) {
    (void)result;
    SettingOnSound(args, GateClosed(), "rrrrrr");
}
LEGACY_BUILTIN(F_SoundEffectEcho) {
    (void)result;
    SettingOnSound(args, GateClosed(), "rrrri");
}
LEGACY_BUILTIN(F_SoundEffectFlanger) {
    (void)result;
    SettingOnSound(args, GateClosed(), "rrrriri");
}
LEGACY_BUILTIN(F_SoundEffectGargle) {
    (void)result;
    SettingOnSound(args, GateClosed(), "ii");
}
LEGACY_BUILTIN(F_SoundEffectEqualizer) {
    (void)result;
    SettingOnSound(args, GateClosed(), "rrr");
}
LEGACY_BUILTIN(F_SoundEffectReverb) {
    (void)result;
    SettingOnSound(args, GateClosed(), "rrrr");
}
LEGACY_BUILTIN(F_Sound3DSetSoundPosition) {
    (void)result;
    SettingOnSound(args, GateClosed(), "rrr");
}
// The other three 3D settings test only whether audio is off.
LEGACY_BUILTIN(F_Sound3DSetSoundVelocity) {
    (void)result;
    SettingOnSound(args, g_fNoAudio, "rrr");
}
LEGACY_BUILTIN(F_Sound3DSetSoundDistance) {
    (void)result;
    SettingOnSound(args, g_fNoAudio, "rr");
}
LEGACY_BUILTIN(F_Sound3DSetSoundCone) {
    (void)result;
    SettingOnSound(args, g_fNoAudio, "rrriir");
}

// [SECTION] CD audio and MCI

#define CD_ACTION(handler)                                                                                   \
    LEGACY_BUILTIN(handler) {                                                                                \
        (void)result, (void)args;                                                                            \
    }
CD_ACTION(F_CDInit)
CD_ACTION(F_CDStop)
CD_ACTION(F_CDPause)
CD_ACTION(F_CDResume)
CD_ACTION(F_CDOpenDoor)
CD_ACTION(F_CDCloseDoor)
#undef CD_ACTION

LEGACY_BUILTIN(F_CDPresent) {
    (void)args;
    ZQSetResultReal(result, CD_Present() ? 1.0 : 0.0);
}
LEGACY_BUILTIN(F_CDNumber) {
    (void)args;
    ZQSetResultReal(result, CD_NumberOfTracks());
}
LEGACY_BUILTIN(F_CDPlaying) {
    (void)args;
    ZQSetResultReal(result, CD_Playing() ? 1.0 : 0.0);
}
LEGACY_BUILTIN(F_CDPaused) {
    (void)args;
    ZQSetResultReal(result, CD_Paused() ? 1.0 : 0.0);
}
LEGACY_BUILTIN(F_CDTrack) {
    (void)args;
    ZQSetResultReal(result, CD_Track());
}
LEGACY_BUILTIN(F_CDLength) {
    (void)args;
    ZQSetResultReal(result, CD_Length());
}
LEGACY_BUILTIN(F_CDTrackLength) {
    ZQSetResultReal(result, CD_TrackLength(ZQGetInt32(args, 0)));
}
LEGACY_BUILTIN(F_CDPosition) {
    (void)args;
    ZQSetResultReal(result, CD_Position());
}
LEGACY_BUILTIN(F_CDTrackPosition) {
    (void)args;
    ZQSetResultReal(result, CD_TrackPosition());
}
LEGACY_BUILTIN(F_CDPlay) {
    (void)result;
    const int first = ZQGetInt32(args, 0);
    (void)first, (void)ZQGetInt32(args, 1);
}
LEGACY_BUILTIN(F_CDSetPosition) {
    (void)result;
    (void)ZQGetInt32(args, 0);
}
LEGACY_BUILTIN(F_CDSetTrackPosition) {
    (void)result;
    (void)ZQGetInt32(args, 0);
}

LEGACY_BUILTIN(F_MCICommand) {
    (void)args;
    ZQCreateString(&result, "");
}
