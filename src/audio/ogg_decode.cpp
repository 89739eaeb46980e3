// Opening a decoder channel's stream and decoding it block by block, shared
// by the voices' decoder threads and the sync-group threads; and the error
// log those threads fill for the main thread to print.
#include "audio/ogg_decode.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "audio/mixer_api.h"
#include "audio/ogg_memory.h"
#include "audio/sound_assets.h"
#include "core/mutex.h"

namespace {

constexpr size_t kLogCapacity = 2047;

} // namespace

void OggLog::LogError(const char* format, ...) {
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    MutexLock lock(m_mutex);
    m_pending = true;
    m_text.append(line, std::min(std::strlen(line), kLogCapacity - m_text.size()));
}

void OggLog::Show(int number) {
    MutexLock lock(m_mutex);
    if (!m_pending) return;
    if (number >= 0) dbg_csol->Output("(%d): ", number);
    dbg_csol->Output("%s", m_text.c_str());
    m_text.clear();
    m_pending = false;
}

void OggSource_StopAndUnqueue(unsigned source) {
    alSourceStop(source);
    int queued = 0;
    alGetSourcei(source, AL_BUFFERS_QUEUED, &queued);
    while (queued-- > 0) {
        unsigned id = 0;
        alSourceUnqueueBuffers(source, 1, &id);
    }
    alSourcei(source, AL_BUFFER, 0);
}

bool OggChannel_Open(SOggChannel& c, OggLog& log) {
    const cAudio_Sound* s = c.sound;
    if (s == nullptr) return false;
    if (s->streamed) {
        const char* path = s->bundlePath ? s->bundlePath->c_str() : "";
        FILE* fp = std::fopen(path, "rb");
        if (fp == nullptr) {
            log.LogError("Could not open Ogg file %s\n", path);
            return false;
        }
        if (const int code = ov_open(fp, &c.vorbisFile, nullptr, 0); code != 0) {
            std::fclose(fp);
            log.LogError("ov_open error %d\n", code);
            return false;
        }
    } else {
        c.memory =
            OggMemorySource{s->compressedData, static_cast<uint32_t>(std::max(s->compressedLength, 0)), 0};
        if (const int code = ov_open_callbacks(&c.memory, &c.vorbisFile, nullptr, 0, Ogg_ov_callbacks);
            code != 0) {
            log.LogError("ov_open_callbacks error %d\n", code);
            return false;
        }
    }
    c.streamOpen = true;
    c.info = ov_info(&c.vorbisFile, -1);
    // The mixer takes mono or stereo blocks; more channels would play
    // garbled at the wrong speed.
    if (c.info == nullptr || c.info->channels < 1 || c.info->channels > 2 || c.info->rate <= 0) {
        log.LogError("Ogg stream with %d channels not played\n", c.info != nullptr ? c.info->channels : 0);
        OggChannel_Close(c);
        return false;
    }
    return true;
}

void OggChannel_Close(SOggChannel& c) {
    if (c.streamOpen) ov_clear(&c.vorbisFile);
    c.streamOpen = false;
}

int OggChannel_DecodeBlock(SOggChannel& c, bool loop, OggLog& log, const char** half) {
    char* out = c.halves[c.halfIndex];
    c.halfIndex ^= 1;
    *half = out;
    int got = 0;
    // Bytes since the last wrap to the start, -1 before any: a looping
    // stream that yields nothing after a wrap has no samples at all, and
    // wrapping again would never end.
    int sinceWrap = -1;
    while (got < OGG_BLOCK_BYTES) {
        int bitstream = 0;
        const long n = ov_read(&c.vorbisFile, out + got, OGG_BLOCK_BYTES - got, &bitstream);
        if (n < 0) {
            log.LogError("ov_read error: %ld\n", n);
            return 0;
        }
        if (n == 0) {
            if (!loop || sinceWrap == 0) break;
            sinceWrap = 0;
            if (const int code = ov_raw_seek(&c.vorbisFile, 0); code != 0) {
                log.LogError("ov_raw_seek error %d\n", code);
                break;
            }
            continue;
        }
        got += static_cast<int>(n);
        if (sinceWrap >= 0) sinceWrap += static_cast<int>(n);
    }
    return got;
}
