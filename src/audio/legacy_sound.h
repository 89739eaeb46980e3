// The legacy sound layer as its built-ins reach it: the legacy sound assets
// (found by index) and their playback slots, the music player, and CD audio.
//
// On this platform the layer has no playback service: the legacy asset table
// is never filled (its chunk loaders stand in, stand_ins.cpp), so no asset
// ever gets a slot and every slot call finds none; music has no platform
// player, so starting it logs "MP3 error" and nothing is playing; CD audio is
// present but has no tracks.
#pragma once

#include <optional>
#include <string>

// One legacy sound asset: what the built-ins read and write of it.
struct CSound {
    std::optional<std::string> fileName;
    double volume = 1.0;
    int slot = -1;
    // The playback slot; -1 when none could be made.
    int GetSoundId() const { return slot; }
};

// The asset at `index`, or null when there is none.
CSound* Sound_Data(int index);

// Playback slots and music (both do nothing with audio off).
void SND_Play(const char* name, int slot, bool loop);
void SND_Stop(const char* name, int slot);
bool SND_IsPlaying(const char* name, int slot);
void SND_StopAll();
void SND_Set_Volume(int slot, double volume, int ms);
void SND_Set_Global_Volume(float volume);
// The master volume legacy sounds are played and faded with.
float SND_Global_Volume();
// Empties the music state and restores the master volume (tests, a new load).
void SND_ResetLegacy();

// CD audio: present, without tracks; every action does nothing.
bool CD_Present();
int CD_NumberOfTracks();
bool CD_Playing();
bool CD_Paused();
int CD_Track();
int CD_Length();
int CD_TrackLength(int track);
int CD_Position();
int CD_TrackPosition();
