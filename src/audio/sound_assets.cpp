// Sound records, the index lookup, the "SOND", "AGRP" and "AUDO" loaders and
// the asset queries. The loaders read every chunk whole into new tables
// before they replace anything, so bad data leaves the old state.
#include "audio/sound_assets.h"

#include <cstring>

#include "audio/audio_groups.h"
#include "audio/mixer_api.h"
#include "audio/ogg_audio.h"
#include "audio/sound_images.h"
#include "audio/voices.h"
#include "core/console.h"
#include "core/game_image.h"
#include "world/datafile/options.h"
#include "core/run_settings.h"

SoundTable g_AudioSounds;
std::vector<std::optional<std::string>> g_AudioNames;
SoundTable g_BufferSounds;
SoundTable g_QueueSounds;
SoundTable g_StreamSounds;

namespace {

std::optional<std::string> Text(const char* s) {
    if (s == nullptr) return std::nullopt;
    return std::string(s);
}

cAudio_Sound* Slot(const SoundTable& table, int index, bool streams) {
    if (index < 0 || index >= static_cast<int>(table.size())) return nullptr;
    cAudio_Sound* s = table[index].get();
    if (streams && s != nullptr && s->destroyed) return nullptr;
    return s;
}

} // namespace

cAudio_Sound::~cAudio_Sound() {
    if (alBuffer > 0 && alIsBuffer(static_cast<unsigned>(alBuffer))) {
        const unsigned id = static_cast<unsigned>(alBuffer);
        alDeleteBuffers(1, &id);
    }
    alBuffer = -1;
    queueVoice = nullptr;
}

void cAudio_Sound::FreeALBuffer() {
    if (alBuffer > 0 && alIsBuffer(static_cast<unsigned>(alBuffer))) {
        const unsigned id = static_cast<unsigned>(alBuffer);
        alDeleteBuffers(1, &id);
        alBuffer = -1;
    }
}

void cAudio_Sound::Prepare(int prepareGroup) {
    if (g_fNoAudio || data == nullptr) return;
    if (g_AudioGroups.Count() == 0)
        group = 0;
    else if (group != prepareGroup)
        return;
    if (streamed) {
        bundlePath.reset();
    } else if (decodeOnLoad) {
        compressedData = data;
        compressedLength = static_cast<int32_t>(dataLength);
        alBuffer = COggAudio::DecompressOgg(this);
    } else if (compressed) {
        compressedData = data;
        compressedLength = static_cast<int32_t>(dataLength);
    } else {
        std::string error;
        alBuffer = static_cast<int32_t>(SoundImage_CreateBuffer(data, static_cast<int>(dataLength), &error));
        if (alBuffer == 0)
            dbg_csol->Output("ALUT error on load %s : %s\n", fileName ? fileName->c_str() : "<undefined>",
                             error.c_str());
    }
}

void Audio_SetKindFlags(cAudio_Sound& sound, int32_t kind) {
    sound.streamed = sound.compressed = sound.decodeOnLoad = false;
    if (kind == 100) {
        sound.streamed = sound.compressed = true;
    } else if (kind == 102) {
        sound.compressed = true;
    } else if (kind == 103) {
        sound.decodeOnLoad = true;
    } else if (kind > 0 && kind < 100) {
        sound.streamed = sound.compressed = true;
    }
}

void Audio_Load(ImageReader& chunk) {
    init_csol->Output("Audio_Load()\n");
    const uint32_t count = chunk.Count(4);
    SoundTable items(count);
    std::vector<std::optional<std::string>> names(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = chunk.U32();
        if (offset == 0) continue;
        ImageReader r = chunk.At(offset);
        const char* name = r.StringAt();
        const int32_t kind = r.S32();
        r.Skip(4);
        const char* file = r.StringAt();
        r.Skip(4);
        const float gain = r.F32();
        r.Skip(4);
        const int32_t group = r.S32();
        const int32_t audioIndex = r.S32();

        auto s = std::make_unique<cAudio_Sound>();
        s->fileName = Text(file);
        // A gain below 0 (or not a number) is silence, as every gain request is.
        s->gain = gain > 0.0f ? gain : 0.0f;
        s->audioIndex = audioIndex;
        s->group = group;
        Audio_SetKindFlags(*s, kind);
        s->alBuffer = 0;
        items[i] = std::move(s);
        names[i] = Text(name);
    }
    g_AudioSounds = std::move(items);
    g_AudioNames = std::move(names);
}

void AudioGroup_Load(ImageReader& chunk) {
    init_csol->Output("AudioGroup_Load()\n");
    const uint32_t count = chunk.Count(4);
    std::vector<std::optional<std::string>> names(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = chunk.U32();
        if (offset != 0) names[i] = Text(chunk.At(offset).StringAt());
    }
    if (count == 0) return;
    g_AudioGroups.CreateGroups(static_cast<int>(count));
    for (uint32_t i = 0; i < count; ++i)
        if (names[i]) g_AudioGroups.GetGroup(static_cast<int>(i))->SetName(names[i]->c_str());
}

void Audio_WAVs(ImageReader& chunk) {
    Audio_WAVs(chunk, 0);
}

void Audio_WAVs(ImageReader& chunk, int group) {
    init_csol->Output("Audio_WAVs()\n");
    struct Entry {
        const uint8_t* bytes = nullptr;
        uint32_t length = 0;
    };
    const uint32_t count = chunk.Count(4);
    std::vector<Entry> entries(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = chunk.U32();
        if (offset == 0) continue;
        ImageReader e = chunk.At(offset);
        entries[i].length = e.U32();
        entries[i].bytes = e.Bytes(entries[i].length);
    }
    const bool noGroups = g_AudioGroups.Count() == 0;
    for (auto& s : g_AudioSounds) {
        if (!s) continue;
        if (noGroups) s->group = 0;
        if (s->group != group) continue;
        const bool known = s->audioIndex >= 0 && static_cast<uint32_t>(s->audioIndex) < count;
        const Entry entry = known ? entries[s->audioIndex] : Entry{};
        s->data = entry.bytes;
        s->dataLength = entry.length;
    }
}

void Audio_Prepare() {
    if (g_fNoAudio || !g_UseNewAudio) return;
    g_AudioGroups.InitSoundLists();
    for (auto& s : g_AudioSounds)
        if (s) s->Prepare(0);
}

void Audio_ClearSounds() {
    g_AudioSounds.clear();
    g_AudioNames.clear();
    g_BufferSounds.clear();
    g_QueueSounds.clear();
    g_StreamSounds.clear();
}

cAudio_Sound* Audio_GetSound(int index) {
    const int count = static_cast<int>(g_AudioSounds.size());
    if (index >= 0 && index <= count) return index < count ? g_AudioSounds[index].get() : nullptr;
    if (index - BUFFER_SOUND_BASE >= 0 && index - BUFFER_SOUND_BASE < static_cast<int>(g_BufferSounds.size()))
        return Slot(g_BufferSounds, index - BUFFER_SOUND_BASE, false);
    if (index - QUEUE_SOUND_BASE >= 0 && index - QUEUE_SOUND_BASE < static_cast<int>(g_QueueSounds.size()))
        return Slot(g_QueueSounds, index - QUEUE_SOUND_BASE, false);
    if (index - STREAM_SOUND_BASE >= 0 && index - STREAM_SOUND_BASE < static_cast<int>(g_StreamSounds.size()))
        return Slot(g_StreamSounds, index - STREAM_SOUND_BASE, true);
    return nullptr;
}

int Audio_Number() {
    return static_cast<int>(g_AudioNames.size());
}

const char* Audio_Name(int index) {
    if (index < 0 || index >= Audio_Number() || !g_AudioNames[index]) return nullptr;
    return g_AudioNames[index]->c_str();
}

int Audio_Find(const char* name) {
    if (name == nullptr) return -1;
    for (int i = Audio_Number() - 1; i >= 0; --i)
        if (g_AudioNames[i] && std::strcmp(g_AudioNames[i]->c_str(), name) == 0) return i;
    return -1;
}

const char* Audio_GetName(int index) {
    if (!g_UseNewAudio) return "<undefined>";
    if (index >= BASE_SOUND_INDEX) {
        const CNoise* v = Audio_GetNoiseFromID(index);
        if (v == nullptr) return "<undefined>";
        index = v->sound;
    }
    if (index >= 0 && index < Audio_Number()) return Audio_Name(index);
    return "<undefined>";
}

bool Audio_Exists(int index) {
    if (g_fNoAudio) return false;
    if (index >= BASE_SOUND_INDEX) return Audio_NoiseIsPlaying(Audio_GetNoiseFromID(index));
    return index >= 0 && index < static_cast<int>(g_AudioSounds.size()) && g_AudioSounds[index] != nullptr;
}

int Audio_GetSoundType(int index) {
    if (g_fNoAudio) return -1;
    const cAudio_Sound* s = Audio_GetSound(index);
    if (s == nullptr) return -1;
    return s->streamed ? 1 : 0;
}

float Audio_GetGainFromSoundID(int index) {
    if (g_fNoAudio) return 1.0f;
    const cAudio_Sound* s = Audio_GetSound(index);
    return s == nullptr ? 1.0f : s->gain;
}

void checkAL(const char* label) {
    const int code = alGetError();
    if (code == AL_NO_ERROR) return;
    if (label != nullptr)
        dbg_csol->Output("OpenAL error: %d (%s)\n", code, label);
    else
        dbg_csol->Output("OpenAL error: %d\n", code);
}
