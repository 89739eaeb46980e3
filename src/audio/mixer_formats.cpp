// The format table. 8-bit samples are unsigned (128 is silence), 16-bit ones
// signed little-endian, 32-bit ones floats in [-1, 1], 64-bit ones doubles.
#include "audio/mixer_formats.h"

#include "audio/mixer_api.h"

namespace {

struct FormatRow {
    int format;
    int channels;
    int bytes;
    bool buffers; // accepted by alBufferData
};

constexpr FormatRow kFormats[] = {
    {AL_FORMAT_MONO8, 1, 1, true},           {AL_FORMAT_MONO16, 1, 2, true},
    {AL_FORMAT_STEREO8, 2, 1, true},         {AL_FORMAT_STEREO16, 2, 2, true},
    {AL_FORMAT_QUAD8, 4, 1, false},          {AL_FORMAT_QUAD16, 4, 2, false},
    {AL_FORMAT_QUAD32, 4, 4, false},         {AL_FORMAT_51CHN8, 6, 1, false},
    {AL_FORMAT_51CHN16, 6, 2, false},        {AL_FORMAT_51CHN32, 6, 4, false},
    {AL_FORMAT_61CHN8, 7, 1, false},         {AL_FORMAT_61CHN16, 7, 2, false},
    {AL_FORMAT_61CHN32, 7, 4, false},        {AL_FORMAT_71CHN8, 8, 1, false},
    {AL_FORMAT_71CHN16, 8, 2, false},        {AL_FORMAT_71CHN32, 8, 4, false},
    {AL_FORMAT_QUAD8_LOKI, 4, 1, false},     {AL_FORMAT_QUAD16_LOKI, 4, 2, false},
    {AL_FORMAT_MONO_FLOAT32, 1, 4, true},    {AL_FORMAT_STEREO_FLOAT32, 2, 4, true},
    {AL_FORMAT_MONO_DOUBLE_EXT, 1, 8, true}, {AL_FORMAT_STEREO_DOUBLE_EXT, 2, 8, true},
};

const FormatRow* FindFormat(int format) {
    for (const FormatRow& row : kFormats)
        if (row.format == format) return &row;
    return nullptr;
}

} // namespace

int channelsFromFormat(int format) {
    const FormatRow* row = FindFormat(format);
    return row != nullptr ? row->channels : 0;
}

int bytesFromFormat(int format) {
    const FormatRow* row = FindFormat(format);
    return row != nullptr ? row->bytes : 0;
}

int bufferFrameSizeFromFormat(int format) {
    const FormatRow* row = FindFormat(format);
    return row != nullptr && row->buffers ? row->channels * row->bytes : 0;
}
