// Until the decoder threads are built, no decoder channel exists: streamed
// and compressed sounds cannot start (their voices stay free). The decoder
// threads replace this file.
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
const COggChannel* COggAudio::GetOggChannel(int, int) {
    return nullptr;
}
