// The sync-group and file-stream built-ins: each returns at once with
// "-noaudio" (result untouched), reads its arguments, calls one function and
// sets the result ("kind only" rows mark the result real and keep its value).
#include "audio/sync_builtins.h"

#include "audio/file_streams.h"
#include "audio/sync_groups.h"
#include "core/arguments.h"
#include "core/run_settings.h"

#define SYNC_BUILTIN(name) void name(RValue& result, CInstance*, CInstance*, int, RValue* args)

namespace {

void KindOnly(RValue& result) {
    result.kind = VALUE_REAL;
}

} // namespace

SYNC_BUILTIN(F_AudioCreateSyncGroup) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_CreateSyncGroup(ZQGetInt32(args, 0) > 0));
}
SYNC_BUILTIN(F_AudioDestroySyncGroup) {
    if (g_fNoAudio) return;
    Audio_DestroySyncGroup(ZQGetInt32(args, 0));
    KindOnly(result);
}
SYNC_BUILTIN(F_AudioPlayInSyncGroup) {
    if (g_fNoAudio) return;
    const int group = ZQGetInt32(args, 0);
    ZQSetResultReal(result, Audio_PlayInSyncGroup(group, ZQGetInt32(args, 1)));
}
SYNC_BUILTIN(F_AudioStartSyncGroup) {
    if (g_fNoAudio) return;
    Audio_StartSyncGroup(ZQGetInt32(args, 0));
    KindOnly(result);
}
SYNC_BUILTIN(F_AudioPauseSyncGroup) {
    if (g_fNoAudio) return;
    Audio_PauseSyncGroup(ZQGetInt32(args, 0));
    KindOnly(result);
}
SYNC_BUILTIN(F_AudioResumeSyncGroup) {
    if (g_fNoAudio) return;
    Audio_ResumeSyncGroup(ZQGetInt32(args, 0));
    KindOnly(result);
}
SYNC_BUILTIN(F_AudioStopSyncGroup) {
    if (g_fNoAudio) return;
    Audio_StopSyncGroup(ZQGetInt32(args, 0));
    KindOnly(result);
}
SYNC_BUILTIN(F_AudioSyncGroupGetTrackPos) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_SyncGroupGetTrackPos(ZQGetInt32(args, 0)));
}
SYNC_BUILTIN(F_AudioSyncGroupDebug) {
    if (g_fNoAudio) return;
    Audio_SyncGroupDebug(ZQGetInt32(args, 0));
    KindOnly(result);
}
SYNC_BUILTIN(F_AudioSyncGroupIsPlaying) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_SyncGroupIsPlaying(ZQGetInt32(args, 0)) ? 1.0 : 0.0);
}
SYNC_BUILTIN(F_AudioCreateStream) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_CreateStream(ZQGetString(args, 0)));
}
SYNC_BUILTIN(F_AudioDestroyStream) {
    if (!g_fNoAudio) ZQSetResultReal(result, Audio_DestroyStream(ZQGetInt32(args, 0)));
}
