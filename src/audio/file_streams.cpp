// File streams: sound records made at run time for an Ogg file, kept in the
// stream table until destroyed. Destroying one only marks it: a decoder
// thread may still read the record (its file path, its rate) until its
// channel has ended, so the record is freed by the main thread's tick once
// no channel and no sync group plays it.
#include "audio/file_streams.h"

#include <memory>

#include "audio/ogg_audio.h"
#include "audio/sound_assets.h"
#include "audio/voices.h"
#include "core/console.h"
#include "core/load_save.h"

int Audio_CreateStream(const char* fileName) {
    if (fileName == nullptr) fileName = "";
    char path[1024];
    // The save area first: a file the game wrote wins over the shipped one.
    const bool found =
        (LoadSave::SaveFileExists(fileName) && LoadSave::_GetSaveFileName(path, sizeof path, fileName)) ||
        (LoadSave::BundleFileExists(fileName) && LoadSave::_GetBundleFileName(path, sizeof path, fileName));
    if (!found) {
        dbg_csol->Output("audio_create_stream : could not file file '%s'\n", fileName);
        return -1;
    }
    auto sound = std::make_unique<cAudio_Sound>();
    sound->alBuffer = 0;
    sound->channels = 1;
    sound->lengthSeconds = 0.0f;
    sound->streamed = true;
    sound->compressed = true;
    sound->fileName = path;
    sound->bundlePath = path;
    size_t slot = 0;
    while (slot < g_StreamSounds.size() && g_StreamSounds[slot]) ++slot;
    if (slot == g_StreamSounds.size())
        g_StreamSounds.push_back(std::move(sound));
    else
        g_StreamSounds[slot] = std::move(sound);
    const int index = STREAM_SOUND_BASE + static_cast<int>(slot);
    dbg_csol->Output("create stream %d\n", index);
    return index;
}

int Audio_DestroyStream(int soundIndex) {
    if (soundIndex < STREAM_SOUND_BASE || soundIndex >= BASE_SOUND_INDEX) {
        dbg_csol->Output("audio_destroy_stream : Invalid stream id: %d\n", soundIndex);
        return -1;
    }
    const size_t slot = static_cast<size_t>(soundIndex - STREAM_SOUND_BASE);
    if (slot >= g_StreamSounds.size() || !g_StreamSounds[slot]) return -1;
    for (auto& v : playingsounds)
        if (v->sound == soundIndex) Audio_StopSoundNoise(v.get(), true);
    g_StreamSounds[slot]->destroyed = true;
    return 1;
}

void Audio_FreeDestroyedStreams() {
    for (size_t i = g_StreamSounds.size(); i-- > 0;) {
        std::unique_ptr<cAudio_Sound>& s = g_StreamSounds[i];
        if (s && s->destroyed && !COggAudio::SoundInUse(s.get())) s.reset();
    }
}
