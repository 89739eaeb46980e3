// The audio_* script built-ins of the sound system: thin handlers that return
// at once with "-noaudio", read their arguments, call one function and turn
// its answer into the result. Rows are in registration order (a built-in's id
// is its place in the function table); the built-ins of the legacy sound
// system, emitters and listeners, buffer sounds, queues, recording and sync
// groups join this table in their places as those features are built.
//
// [SECTION] handlers
// [SECTION] registration order
#include <cstdint>

#include "audio/audio_groups.h"
#include "audio/legacy_builtins.h"
#include "audio/positional_builtins.h"
#include "audio/sound_assets.h"
#include "audio/sync_builtins.h"
#include "audio/voices.h"
#include "core/arguments.h"
#include "core/console.h"
#include "core/function_table.h"
#include "core/ref_string.h"
#include "core/graphics_perf.h"
#include "core/run_settings.h"
#include "world/run/startup_services.h"

void Audio_Debug(bool on) {
    GraphicsPerf::ms_DisplayFlags = on ? 0x10 : 0;
}

namespace {

// [SECTION] handlers

#define AUDIO_BUILTIN(name) void name(RValue& result, CInstance*, CInstance*, int, RValue* args)

int Int(RValue* args, int i) {
    return ZQGetInt32(args, i);
}
double Real(RValue* args, int i) {
    return ZQGetReal(args, i);
}
// The result's kind becomes real; its value stays what the call gate left.
void KindOnly(RValue& result) {
    result.kind = VALUE_REAL;
}

AUDIO_BUILTIN(F_AudioSystem) {
    (void)args;
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_Model() ? 1.0 : 0.0);
}
AUDIO_BUILTIN(F_AudioPlaySound) {
    if (g_fNoAudio) return;
    const int sound = Int(args, 0);
    const double priority = Real(args, 1);
    ZQSetResultReal(result, Audio_PlaySound(sound, priority, Int(args, 2)));
}
AUDIO_BUILTIN(F_AudioPlaySoundAt) {
    if (g_fNoAudio) return;
    const int sound = Int(args, 0);
    double v[6];
    for (int i = 0; i < 6; ++i) v[i] = Real(args, 1 + i);
    const int loop = Int(args, 7);
    ZQSetResultReal(result,
                    Audio_PlaySoundAt(sound, v[0], v[1], v[2], v[3], v[4], v[5], loop, Real(args, 8)));
}
AUDIO_BUILTIN(F_AudioStopSound) {
    (void)result;
    if (!g_fNoAudio) Audio_StopSound(Int(args, 0));
}
AUDIO_BUILTIN(F_AudioPauseSound) {
    (void)result;
    if (!g_fNoAudio) Audio_PauseSound(Int(args, 0));
}
AUDIO_BUILTIN(F_AudioResumeSound) {
    (void)result;
    if (!g_fNoAudio) Audio_ResumeSound(Int(args, 0));
}
AUDIO_BUILTIN(F_AudioPauseAll) {
    (void)result, (void)args;
    if (!g_fNoAudio) Audio_PauseAll();
}
AUDIO_BUILTIN(F_AudioResumeAll) {
    (void)result, (void)args;
    if (!g_fNoAudio) Audio_ResumeAll();
}
AUDIO_BUILTIN(F_AudioIsPlaying) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_SoundIsPlaying(Int(args, 0)) ? 1.0 : 0.0);
}
AUDIO_BUILTIN(F_AudioIsPaused) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_SoundIsPaused(Int(args, 0)) ? 1.0 : 0.0);
}
AUDIO_BUILTIN(F_AudioExists) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_Exists(Int(args, 0)) ? 1.0 : 0.0);
}
AUDIO_BUILTIN(F_AudioGetType) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_GetSoundType(Int(args, 0)));
}
AUDIO_BUILTIN(F_AudioChannelNum) {
    (void)result;
    if (!g_fNoAudio) Audio_SetNumChannels(Int(args, 0));
}

// The music built-ins of an older sound system: a message and nothing else.
#define DEPRECATED_MUSIC(handler, name)                                                                      \
    AUDIO_BUILTIN(handler) {                                                                                 \
        (void)result, (void)args;                                                                            \
        dbg_csol->Output(name " :: deprecated function\n");                                                  \
    }
DEPRECATED_MUSIC(F_AudioPlayMusic, "audio_play_music")
DEPRECATED_MUSIC(F_AudioStopMusic, "audio_stop_music")
DEPRECATED_MUSIC(F_AudioPauseMusic, "audio_pause_music")
DEPRECATED_MUSIC(F_AudioResumeMusic, "audio_resume_music")
DEPRECATED_MUSIC(F_AudioMusicGain, "audio_music_gain")
AUDIO_BUILTIN(F_AudioMusicIsPlaying) {
    (void)args;
    dbg_csol->Output("audio_music_is_playing :: deprecated function\n");
    ZQSetResultReal(result, 0.0);
}

AUDIO_BUILTIN(F_AudioSoundGain) {
    (void)result;
    if (g_fNoAudio) return;
    const int handle = Int(args, 0);
    const float gain = ZQGetFloat(args, 1);
    Audio_SoundGain(handle, gain, Int(args, 2));
}
AUDIO_BUILTIN(F_AudioSoundPitch) {
    (void)result;
    if (g_fNoAudio) return;
    const int handle = Int(args, 0);
    Audio_SoundPitch(handle, ZQGetFloat(args, 1));
}
AUDIO_BUILTIN(F_AudioStopAll) {
    (void)result, (void)args;
    if (!g_fNoAudio) Audio_StopAll(false);
}
AUDIO_BUILTIN(F_AudioSoundLength) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_SoundLength(Int(args, 0)));
}
AUDIO_BUILTIN(F_AudioSoundGetGain) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_GetSoundGain(Int(args, 0)));
}
AUDIO_BUILTIN(F_AudioSoundGetPitch) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_GetSoundPitch(Int(args, 0)));
}
AUDIO_BUILTIN(F_AudioGetName) {
    if (g_fNoAudio) return;
    const char* name = Audio_GetName(Int(args, 0));
    ZQCreateString(&result, name != nullptr ? name : "");
}
AUDIO_BUILTIN(F_AudioSoundSetTrackPosition) {
    (void)result;
    if (g_fNoAudio) return;
    const int handle = Int(args, 0);
    Audio_SetTrackPos(handle, ZQGetFloat(args, 1));
}
AUDIO_BUILTIN(F_AudioSoundGetTrackPosition) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_GetTrackPos(Int(args, 0)));
}
AUDIO_BUILTIN(F_AudioGroupLoad) {
    if (!g_fNoAudio) ZQSetResultReal(result, g_AudioGroups.LoadGroup(Int(args, 0)) ? 1.0 : 0.0);
}
AUDIO_BUILTIN(F_AudioGroupUnload) {
    if (!g_fNoAudio) ZQSetResultReal(result, g_AudioGroups.UnloadGroup(Int(args, 0)) ? 1.0 : 0.0);
}
AUDIO_BUILTIN(F_AudioGroupIsLoaded) {
    if (!g_fNoAudio) ZQSetResultReal(result, g_AudioGroups.IsGroupLoaded(Int(args, 0)) ? 1.0 : 0.0);
}
AUDIO_BUILTIN(F_AudioGroupLoadProgress) {
    if (!g_fNoAudio) ZQSetResultReal(result, g_AudioGroups.GetLoadProgress(Int(args, 0)));
}
AUDIO_BUILTIN(F_AudioGroupName) {
    if (!g_fNoAudio) ZQCreateString(&result, g_AudioGroups.GetGroupName(Int(args, 0)));
}
AUDIO_BUILTIN(F_AudioGroupStopAll) {
    (void)result;
    if (!g_fNoAudio) Audio_StopAllGroup(Int(args, 0));
}
AUDIO_BUILTIN(F_AudioGroupSetGain) {
    (void)result;
    if (g_fNoAudio) return;
    const int group = Int(args, 0);
    const float gain = ZQGetFloat(args, 1);
    Audio_SetGainGroup(group, gain, Int(args, 2));
}
AUDIO_BUILTIN(F_AudioDebug) {
    if (g_fNoAudio) return;
    Audio_Debug(Int(args, 0) > 0);
    KindOnly(result);
}

// [SECTION] registration order

struct AudioBuiltinRow {
    const char* name;
    TRoutine routine;
    int argc;
    bool flag;
};

const AudioBuiltinRow kAudioBuiltins[] = {
    {"sound_play", F_SoundPlay, 1, false},
    {"sound_loop", F_SoundLoop, 1, false},
    {"sound_stop", F_SoundStop, 1, false},
    {"sound_stop_all", F_SoundStopAll, 0, false},
    {"sound_isplaying", F_SoundIsPlaying, 1, false},
    {"sound_volume", F_SoundVolume, 2, false},
    {"sound_fade", F_SoundFade, 3, false},
    {"sound_pan", F_SoundPan, 2, false},
    {"sound_background_tempo", F_SoundBackgroundTempo, 1, false},
    {"sound_global_volume", F_SoundGlobalVolume, 1, false},
    {"sound_set_search_directory", F_SoundSetSearchDirectory, 1, false},
    {"sound_effect_set", F_SoundEffectSet, 2, true},
    {"sound_effect_chorus", F_SoundEffectChorus, 8, true},
    {"sound_effect_compressor", F_SoundEffectCompressor, 7, true},
    {"sound_effect_echo", F_SoundEffectEcho, 6, true},
    {"sound_effect_flanger", F_SoundEffectFlanger, 8, true},
    {"sound_effect_gargle", F_SoundEffectGargle, 3, true},
    {"sound_effect_equalizer", F_SoundEffectEqualizer, 4, true},
    {"sound_effect_reverb", F_SoundEffectReverb, 5, true},
    {"sound_3d_set_sound_position", F_Sound3DSetSoundPosition, 4, true},
    {"sound_3d_set_sound_velocity", F_Sound3DSetSoundVelocity, 4, true},
    {"sound_3d_set_sound_distance", F_Sound3DSetSoundDistance, 3, true},
    {"sound_3d_set_sound_cone", F_Sound3DSetSoundCone, 7, true},
    {"cd_init", F_CDInit, 0, true},
    {"cd_present", F_CDPresent, 0, true},
    {"cd_number", F_CDNumber, 0, true},
    {"cd_playing", F_CDPlaying, 0, true},
    {"cd_paused", F_CDPaused, 0, true},
    {"cd_track", F_CDTrack, 0, true},
    {"cd_length", F_CDLength, 0, true},
    {"cd_track_length", F_CDTrackLength, 1, true},
    {"cd_position", F_CDPosition, 0, true},
    {"cd_track_position", F_CDTrackPosition, 0, true},
    {"cd_play", F_CDPlay, 2, true},
    {"cd_stop", F_CDStop, 0, true},
    {"cd_pause", F_CDPause, 0, true},
    {"cd_resume", F_CDResume, 0, true},
    {"cd_set_position", F_CDSetPosition, 1, true},
    {"cd_set_track_position", F_CDSetTrackPosition, 1, true},
    {"cd_open_door", F_CDOpenDoor, 0, true},
    {"cd_close_door", F_CDCloseDoor, 0, true},
    {"MCI_command", F_MCICommand, 1, true},
    {"audio_listener_position", F_AudioListenerPosition, 3, true},
    {"audio_listener_velocity", F_AudioListenerVelocity, 3, true},
    {"audio_listener_orientation", F_AudioListenerOrientation, 6, true},
    {"audio_emitter_position", F_AudioEmitterPosition, 4, true},
    {"audio_emitter_velocity", F_AudioEmitterVelocity, 4, true},
    {"audio_system", F_AudioSystem, 0, true},
    {"audio_emitter_create", F_AudioEmitterCreate, 0, true},
    {"audio_emitter_free", F_AudioEmitterFree, 1, true},
    {"audio_play_sound", F_AudioPlaySound, 3, true},
    {"audio_play_sound_on", F_AudioPlaySoundOn, 4, true},
    {"audio_play_sound_at", F_AudioPlaySoundAt, 9, true},
    {"audio_falloff_set_model", F_AudioFalloffSetModel, 1, true},
    {"audio_stop_sound", F_AudioStopSound, 1, true},
    {"audio_pause_sound", F_AudioPauseSound, 1, true},
    {"audio_resume_sound", F_AudioResumeSound, 1, true},
    {"audio_pause_all", F_AudioPauseAll, 0, true},
    {"audio_resume_all", F_AudioResumeAll, 0, true},
    {"audio_is_playing", F_AudioIsPlaying, 1, true},
    {"audio_is_paused", F_AudioIsPaused, 1, true},
    {"audio_exists", F_AudioExists, 1, true},
    {"audio_master_gain", F_AudioMasterGain, 1, true},
    {"audio_emitter_exists", F_AudioEmitterExists, 1, true},
    {"audio_get_type", F_AudioGetType, 1, true},
    {"audio_emitter_gain", F_AudioEmitterGain, 2, true},
    {"audio_emitter_pitch", F_AudioEmitterPitch, 2, true},
    {"audio_emitter_falloff", F_AudioEmitterFalloff, 4, true},
    {"audio_channel_num", F_AudioChannelNum, 1, true},
    {"audio_play_music", F_AudioPlayMusic, 2, false},
    {"audio_stop_music", F_AudioStopMusic, 0, true},
    {"audio_pause_music", F_AudioPauseMusic, 0, true},
    {"audio_resume_music", F_AudioResumeMusic, 0, true},
    {"audio_music_is_playing", F_AudioMusicIsPlaying, 0, true},
    {"audio_music_gain", F_AudioMusicGain, 2, true},
    {"audio_sound_gain", F_AudioSoundGain, 3, true},
    {"audio_sound_pitch", F_AudioSoundPitch, 2, true},
    {"audio_stop_all", F_AudioStopAll, 0, true},
    {"audio_sound_length", F_AudioSoundLength, 1, true},
    {"audio_emitter_get_gain", F_AudioEmitterGetGain, 1, true},
    {"audio_emitter_get_pitch", F_AudioEmitterGetPitch, 1, true},
    {"audio_emitter_get_x", F_AudioEmitterGetX, 1, true},
    {"audio_emitter_get_y", F_AudioEmitterGetY, 1, true},
    {"audio_emitter_get_z", F_AudioEmitterGetZ, 1, true},
    {"audio_emitter_get_vx", F_AudioEmitterGetVX, 1, true},
    {"audio_emitter_get_vy", F_AudioEmitterGetVY, 1, true},
    {"audio_emitter_get_vz", F_AudioEmitterGetVZ, 1, true},
    {"audio_listener_set_position", F_AudioListenerSetPosition, 4, true},
    {"audio_listener_set_velocity", F_AudioListenerSetVelocity, 4, true},
    {"audio_listener_set_orientation", F_AudioListenerSetOrientation, 7, true},
    {"audio_listener_get_data", F_AudioListenerGetData, 1, true},
    {"audio_set_master_gain", F_AudioSetMasterGain, 2, true},
    {"audio_get_master_gain", F_AudioGetMasterGain, 1, true},
    {"audio_sound_get_gain", F_AudioSoundGetGain, 1, true},
    {"audio_sound_get_pitch", F_AudioSoundGetPitch, 1, true},
    {"audio_get_name", F_AudioGetName, 1, true},
    {"audio_sound_set_track_position", F_AudioSoundSetTrackPosition, 2, true},
    {"audio_sound_get_track_position", F_AudioSoundGetTrackPosition, 1, true},
    {"audio_group_load", F_AudioGroupLoad, 1, false},
    {"audio_group_unload", F_AudioGroupUnload, 1, false},
    {"audio_group_is_loaded", F_AudioGroupIsLoaded, 1, false},
    {"audio_group_load_progress", F_AudioGroupLoadProgress, 1, false},
    {"audio_group_name", F_AudioGroupName, 1, false},
    {"audio_group_stop_all", F_AudioGroupStopAll, 1, false},
    {"audio_group_set_gain", F_AudioGroupSetGain, 3, false},
    {"audio_create_buffer_sound", F_AudioCreateBufferSound, 6, false},
    {"audio_free_buffer_sound", F_AudioFreeBufferSound, 1, false},
    {"audio_create_play_queue", F_AudioCreatePlayQueue, 3, false},
    {"audio_free_play_queue", F_AudioFreePlayQueue, 1, false},
    {"audio_queue_sound", F_AudioQueueSound, 4, false},
    {"audio_start_recording", F_AudioStartRecording, 1, false},
    {"audio_stop_recording", F_AudioStopRecording, 1, false},
    {"audio_get_recorder_count", F_AudioGetRecorderCount, 0, false},
    {"audio_get_recorder_info", F_AudioGetRecorderInfo, 1, false},
    {"audio_sound_get_listener_mask", F_AudioSoundGetListenerMask, 1, true},
    {"audio_sound_set_listener_mask", F_AudioSoundSetListenerMask, 2, true},
    {"audio_emitter_get_listener_mask", F_AudioEmitterGetListenerMask, 1, true},
    {"audio_emitter_set_listener_mask", F_AudioEmitterSetListenerMask, 2, true},
    {"audio_get_listener_mask", F_AudioGetListenerMask, 0, true},
    {"audio_set_listener_mask", F_AudioSetListenerMask, 1, true},
    {"audio_get_listener_info", F_AudioGetListenerInfo, 1, true},
    {"audio_get_listener_count", F_AudioGetListenerCount, 0, true},
    {"audio_create_sync_group", F_AudioCreateSyncGroup, 1, false},
    {"audio_destroy_sync_group", F_AudioDestroySyncGroup, 1, false},
    {"audio_play_in_sync_group", F_AudioPlayInSyncGroup, 2, false},
    {"audio_start_sync_group", F_AudioStartSyncGroup, 1, false},
    {"audio_pause_sync_group", F_AudioPauseSyncGroup, 1, false},
    {"audio_resume_sync_group", F_AudioResumeSyncGroup, 1, false},
    {"audio_stop_sync_group", F_AudioStopSyncGroup, 1, false},
    {"audio_sync_group_get_track_pos", F_AudioSyncGroupGetTrackPos, 1, false},
    {"audio_sync_group_debug", F_AudioSyncGroupDebug, 1, false},
    {"audio_sync_group_is_playing", F_AudioSyncGroupIsPlaying, 1, false},
    {"audio_create_stream", F_AudioCreateStream, 1, false},
    {"audio_destroy_stream", F_AudioDestroyStream, 1, false},
    {"audio_debug", F_AudioDebug, 1, false},
};

} // namespace

void InitSoundFunctions() {
    for (const AudioBuiltinRow& row : kAudioBuiltins) Function_Add(row.name, row.routine, row.argc, row.flag);
}
