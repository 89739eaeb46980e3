// Sync groups as scripts reach them: several Ogg sounds decoded by one thread
// per group, mixed in software into one source and started, paused and
// stopped together on one group clock.
#pragma once

// The new group's id; -1 when the sound system's decoder layer is not set up.
int Audio_CreateSyncGroup(bool loop);
void Audio_DestroySyncGroup(int id);
// Adds the sound as the group's next track: the track slot (also when the
// group is full), -1 when the sound cannot join a group, 0 without a group.
int Audio_PlayInSyncGroup(int id, int soundIndex);
void Audio_StartSyncGroup(int id);
void Audio_StopSyncGroup(int id);
void Audio_PauseSyncGroup(int id);
void Audio_ResumeSyncGroup(int id);
// Seconds of the group clock heard now; -1 without a group.
float Audio_SyncGroupGetTrackPos(int id);
bool Audio_SyncGroupIsPlaying(int id);
// Shows group `id` on the debug overlay, or nothing for -1.
void Audio_SyncGroupDebug(int id);
