// The script built-ins of sync groups and file streams, registered from the
// audio built-in table (audio_builtins.cpp) in their places.
#pragma once

#include "core/function_table.h"

#define SYNC_BUILTIN(name)                                                                                   \
    void name(RValue& result, CInstance* self, CInstance* other, int argc, RValue* args)

SYNC_BUILTIN(F_AudioCreateSyncGroup);
SYNC_BUILTIN(F_AudioDestroySyncGroup);
SYNC_BUILTIN(F_AudioPlayInSyncGroup);
SYNC_BUILTIN(F_AudioStartSyncGroup);
SYNC_BUILTIN(F_AudioPauseSyncGroup);
SYNC_BUILTIN(F_AudioResumeSyncGroup);
SYNC_BUILTIN(F_AudioStopSyncGroup);
SYNC_BUILTIN(F_AudioSyncGroupGetTrackPos);
SYNC_BUILTIN(F_AudioSyncGroupDebug);
SYNC_BUILTIN(F_AudioSyncGroupIsPlaying);
SYNC_BUILTIN(F_AudioCreateStream);
SYNC_BUILTIN(F_AudioDestroyStream);

#undef SYNC_BUILTIN
