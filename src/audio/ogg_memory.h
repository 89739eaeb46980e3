// Compressed Ogg Vorbis bytes held in memory, read by the decoder through
// callbacks: the decoder's data source is one OggMemorySource.
#pragma once

#include <tremor/ivorbisfile.h>

#include <cstdint>

struct OggMemorySource {
    const uint8_t* data = nullptr;
    uint32_t length = 0;
    uint32_t readPos = 0;
};

size_t ogg_read(void* dst, size_t size, size_t count, void* source);
// Whence 0, 1 or 2 as fseek; a target outside 0..length is clamped to it and
// answers -1, as does any other whence (without moving).
int ogg_seek(void* source, ogg_int64_t offset, int whence);
int ogg_close(void* source);
long ogg_tell(void* source);

extern const ov_callbacks Ogg_ov_callbacks;
