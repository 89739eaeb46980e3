// Reading Ogg Vorbis streams whole: the memory callbacks, a stream's length
// and format, and the decoding of sounds decompressed when they are prepared.
#include <tremor/ivorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "audio/mixer_api.h"
#include "audio/ogg_audio.h"
#include "audio/ogg_memory.h"
#include "audio/sound_assets.h"
#include "core/console.h"
#include "core/load_save.h"

namespace {

// The decoder's "invalid argument" answer, given for a total it cannot know.
constexpr ogg_int64_t kOggInvalid = -131;
// Larger decoded sounds are refused rather than allocated: a stream's header
// can claim any total.
constexpr int64_t kMaxDecodedBytes = int64_t{1} << 30;

bool PathIsReadable(const char* path) {
    FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return false;
    std::fclose(f);
    return true;
}

const char* NameOf(const cAudio_Sound* s) {
    return s->fileName ? s->fileName->c_str() : "<undefined>";
}

// An open stream on a sound: from its bundle file when streamed, else from
// its compressed bytes. Closes what it opened.
class OggReader {
public:
    ~OggReader() {
        if (m_open)
            ov_clear(&m_file); // closes the FILE too
        else if (m_fp != nullptr)
            std::fclose(m_fp);
    }
    int OpenMemory(const uint8_t* data, int32_t length) {
        m_source.data = data;
        m_source.length = static_cast<uint32_t>(std::max(length, 0));
        const int code = ov_open_callbacks(&m_source, &m_file, nullptr, 0, Ogg_ov_callbacks);
        m_open = code == 0;
        return code;
    }
    int OpenFile(const char* path) {
        m_fp = std::fopen(path, "rb");
        if (m_fp == nullptr) return -1;
        const int code = ov_open(m_fp, &m_file, nullptr, 0);
        m_open = code == 0;
        return code;
    }
    OggVorbis_File* File() { return &m_file; }

private:
    OggMemorySource m_source;
    OggVorbis_File m_file{};
    FILE* m_fp = nullptr;
    bool m_open = false;
};

} // namespace

size_t ogg_read(void* dst, size_t size, size_t count, void* source) {
    auto* s = static_cast<OggMemorySource*>(source);
    const size_t left = s->length - std::min(s->readPos, s->length);
    const size_t want = count != 0 && size > SIZE_MAX / count ? SIZE_MAX : size * count;
    const size_t n = std::min(want, left);
    if (n > 0) std::copy_n(s->data + s->readPos, n, static_cast<uint8_t*>(dst));
    s->readPos += static_cast<uint32_t>(n);
    return n;
}

int ogg_seek(void* source, ogg_int64_t offset, int whence) {
    auto* s = static_cast<OggMemorySource*>(source);
    ogg_int64_t target;
    switch (whence) {
        case SEEK_SET: target = offset; break;
        case SEEK_CUR: target = static_cast<ogg_int64_t>(s->readPos) + offset; break;
        case SEEK_END: target = static_cast<ogg_int64_t>(s->length) + offset; break;
        default: return -1;
    }
    // The whole 64-bit target is compared, so no offset wraps into the data.
    const ogg_int64_t clamped = std::clamp<ogg_int64_t>(target, 0, s->length);
    s->readPos = static_cast<uint32_t>(clamped);
    return clamped == target ? 0 : -1;
}

int ogg_close(void*) {
    return 0;
}

long ogg_tell(void* source) {
    return static_cast<long>(static_cast<OggMemorySource*>(source)->readPos);
}

const ov_callbacks Ogg_ov_callbacks = {ogg_read, ogg_seek, ogg_close, ogg_tell};

void COggAudio::CalcSoundInfo(cAudio_Sound* sound) {
    if (sound == nullptr) return;
    OggReader reader;
    if (sound->streamed) {
        if (!sound->bundlePath) {
            char path[1024];
            const char* name = sound->fileName ? sound->fileName->c_str() : "";
            if (!LoadSave::_GetBundleFileName(path, sizeof path, name) || !PathIsReadable(path)) {
                dbg_csol->Output("can't find file for %s at %s\n", name, path);
                return;
            }
            sound->bundlePath = path;
        }
        if (reader.OpenFile(sound->bundlePath->c_str()) != 0) return;
    } else if (reader.OpenMemory(sound->compressedData, sound->compressedLength) != 0) {
        return;
    }
    const ogg_int64_t total = ov_pcm_total(reader.File(), -1);
    const vorbis_info* info = ov_info(reader.File(), -1);
    if (info == nullptr || info->rate <= 0) return;
    sound->sampleRate = static_cast<int32_t>(info->rate);
    sound->channels = info->channels;
    sound->totalSamples = total;
    sound->lengthSeconds =
        total == kOggInvalid || total < 0
            ? 0.0f
            : static_cast<float>(static_cast<double>(total) / static_cast<double>(info->rate));
}

int32_t COggAudio::DecompressOgg(cAudio_Sound* sound) {
    if (sound == nullptr || sound->compressedData == nullptr || sound->compressedLength == 0) return 0;
    dbg_csol->Output("Decoding ogg %s ...\n", NameOf(sound));
    OggReader reader;
    if (const int code = reader.OpenMemory(sound->compressedData, sound->compressedLength); code != 0) {
        dbg_csol->Output("Error %d opening ogg stream for %s\n", code, NameOf(sound));
        return 0;
    }
    const vorbis_info* info = ov_info(reader.File(), -1);
    // The mixer takes mono or stereo 16-bit samples; more channels would be
    // read as stereo at the wrong speed.
    if (info == nullptr || info->channels < 1 || info->channels > 2 || info->rate <= 0) {
        dbg_csol->Output("Ogg stream of %s has %d channels: not decoded\n", NameOf(sound),
                         info != nullptr ? info->channels : 0);
        return 0;
    }
    const ogg_int64_t total = ov_pcm_total(reader.File(), -1);
    const int64_t expected = total < 0 ? -1 : total * 2 * info->channels;
    if (expected <= 0 || expected > kMaxDecodedBytes) {
        dbg_csol->Output("ERROR: failed to allocate buffer of %lld bytes for sound %s\n",
                         static_cast<long long>(expected), NameOf(sound));
        return 0;
    }
    std::vector<char> pcm(static_cast<size_t>(expected));
    int64_t got = 0;
    while (got < expected) {
        int bitstream = 0;
        const long n = ov_read(reader.File(), pcm.data() + got, static_cast<int>(expected - got), &bitstream);
        if (n < 0) dbg_csol->Output("ov_read error: %ld\n", n);
        if (n <= 0) break;
        got += n;
    }
    if (got != expected)
        dbg_csol->Output("Ogg unexpected decompressed size: %lld (expected: %lld)\n",
                         static_cast<long long>(got), static_cast<long long>(expected));
    unsigned buffer = 0;
    alGenBuffers(1, &buffer);
    // The mixer copies the samples, so the decoded block is ours to free.
    alBufferData(buffer, info->channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, pcm.data(),
                 static_cast<int>(got), static_cast<int>(info->rate));
    checkAL("DecompressOgg: alBufferData");
    return static_cast<int32_t>(buffer);
}
