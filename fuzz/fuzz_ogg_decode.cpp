// Arbitrary bytes as the compressed data of an Ogg Vorbis sound: its length
// and format query and its whole decode into a mixer buffer, through the
// memory callbacks. The decoder may refuse the bytes; it must never read
// outside them or hand the mixer more than it decoded.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/mixer_api.h"
#include "audio/ogg_audio.h"
#include "audio/sound_assets.h"
#include "audio/sound_images.h"
#include "core/console.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool mixerOpen = [] {
        dbg_csol = &g_dummyConsole; // refusals are expected, not news
        return SoundImage_OpenMixer(nullptr);
    }();
    if (!mixerOpen) return 0;
    const std::vector<uint8_t> bytes(data, data + size);
    cAudio_Sound sound;
    sound.compressed = true;
    sound.compressedData = bytes.data();
    sound.compressedLength = static_cast<int32_t>(bytes.size());
    COggAudio::CalcSoundInfo(&sound);
    sound.alBuffer = COggAudio::DecompressOgg(&sound);
    if (sound.alBuffer > 0) {
        int bytes_ = 0;
        alGetBufferi(static_cast<unsigned>(sound.alBuffer), AL_SIZE, &bytes_);
    }
    return 0; // the record's destructor deletes the buffer
}
