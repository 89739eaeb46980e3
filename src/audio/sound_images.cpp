// The one place the sound system calls freealut (see sound_images.h).
#include "audio/sound_images.h"

#include <AL/alut.h>

#include "core/mutex.h"

namespace {

Mutex& AlutMutex() {
    static Mutex mutex("ALUT");
    return mutex;
}

std::string TakeAlutError() {
    const ALenum code = alutGetError();
    return code == ALUT_ERROR_NO_ERROR ? std::string() : std::string(alutGetErrorString(code));
}

} // namespace

bool SoundImage_OpenMixer(std::string* error) {
    MutexLock lock(AlutMutex());
    if (alutInit(nullptr, nullptr) == AL_TRUE) return true;
    if (error != nullptr) *error = TakeAlutError();
    return false;
}

void SoundImage_CloseMixer() {
    MutexLock lock(AlutMutex());
    alutExit();
    TakeAlutError();
}

unsigned SoundImage_CreateBuffer(const void* image, int size, std::string* error) {
    MutexLock lock(AlutMutex());
    TakeAlutError();
    const ALuint id = alutCreateBufferFromFileImage(image, size);
    const std::string text = TakeAlutError();
    if (id != AL_NONE && text.empty()) return id;
    if (error != nullptr) *error = text.empty() ? "no buffer" : text;
    return 0;
}
