// The legacy playback layer without a platform service: no slot is ever made
// (no legacy asset is loaded), and music names reach a player that does not
// exist. What stays observable is what scripts can see of it: music started
// by name is remembered and stopped by that name, it never plays, and the
// master volume is kept for the sounds it would apply to.
#include <cstring>
#include <string>

#include "audio/legacy_sound.h"
#include "core/console.h"
#include "core/run_settings.h"

namespace {

// The caller's text of the music started last by SND_Play (compared by
// contents: the caller's buffer may be gone).
std::optional<std::string> s_musicPlaying;
float s_masterVolume = 1.0f;

bool EndsWith(const char* name, const char* ending) {
    const size_t n = std::strlen(name), e = std::strlen(ending);
    return n >= e && std::strcmp(name + n - e, ending) == 0;
}

// Starting music: the platform's player would be made from the file here;
// there is none, so the start fails as a missing file does.
void PlayMusic(const char* name) {
    dbg_csol->Output("MP3 error - %s\n", name);
}

// A slot: none exists, since no legacy asset ever made one.
bool SlotValid(int) {
    return false;
}

} // namespace

void SND_Play(const char* name, int slot, bool) {
    if (g_fNoAudio) return;
    if (name != nullptr && (EndsWith(name, ".mp3") || EndsWith(name, ".mid") || EndsWith(name, ".midi"))) {
        s_musicPlaying = name;
        std::string file = name;
        // MIDI music is played from the MP3 file of the same name.
        if (!EndsWith(name, ".mp3")) file = file.substr(0, file.rfind('.')) + ".mp3";
        PlayMusic(file.c_str());
        return;
    }
    (void)SlotValid(slot);
}

void SND_Stop(const char* name, int slot) {
    if (g_fNoAudio) return;
    if (name != nullptr && s_musicPlaying && *s_musicPlaying == name) {
        s_musicPlaying.reset();
        return;
    }
    (void)SlotValid(slot);
}

bool SND_IsPlaying(const char* name, int slot) {
    if (g_fNoAudio) return false;
    // Music never plays without a player; slots do not exist.
    if (name != nullptr && s_musicPlaying && *s_musicPlaying == name) return false;
    return SlotValid(slot);
}

void SND_StopAll() {}

void SND_Set_Volume(int, double, int) {}

void SND_Set_Global_Volume(float volume) {
    s_masterVolume = volume;
}

float SND_Global_Volume() {
    return s_masterVolume;
}

void SND_ResetLegacy() {
    s_musicPlaying.reset();
    s_masterVolume = 1.0f;
}

bool CD_Present() {
    return true;
}
int CD_NumberOfTracks() {
    return 0;
}
bool CD_Playing() {
    return false;
}
bool CD_Paused() {
    return false;
}
int CD_Track() {
    return 0;
}
int CD_Length() {
    return 0;
}
int CD_TrackLength(int) {
    return 0;
}
int CD_Position() {
    return 0;
}
int CD_TrackPosition() {
    return 0;
}
