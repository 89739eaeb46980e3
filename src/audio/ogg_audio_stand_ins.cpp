// Until Ogg decoding is built, no decoder channel exists: decoded sounds
// cannot start (their voices stay free) and decode-on-load sounds get no
// buffer. The decoding module replaces this file.
#include "audio/ogg_audio.h"

void COggAudio::Init(int, int) {}
void COggAudio::Quit() {}
void COggAudio::Suspend() {}
void COggAudio::Unsuspend() {}
int COggAudio::Play_Sound(int, cAudio_Sound*, bool, float, uint32_t, int) {
    return -1;
}
void COggAudio::Stop_Sound(int) {}
void COggAudio::Pause_Sound(int) {}
void COggAudio::Resume_Sound(int) {}
void COggAudio::Seek_Sound(int, float) {}
void COggAudio::Tick(std::vector<std::unique_ptr<CNoise>>&) {}
void COggAudio::CalcSoundInfo(cAudio_Sound*) {}
int32_t COggAudio::DecompressOgg(const uint8_t*, int32_t) {
    return 0;
}
const COggChannel* COggAudio::GetOggChannel(int, int) {
    return nullptr;
}
