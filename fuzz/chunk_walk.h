// The chunk walk the data-file fuzz targets share: arbitrary bytes taken as
// a data file whose chunks are found by their headers alone (an 8-byte file
// header, then tag and size pairs), each size clipped to the bytes that are
// left, so every input reaches the loaders however damaged its layout.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/game_image.h"

// One chunk of the walk: its four-character tag and a reader over its
// payload, [ChunkStart, ChunkEnd) of the image.
struct FuzzChunk {
    const char* tag;
    ImageReader& reader;

    bool Is(const char* name) const { return std::strcmp(tag, name) == 0; }
    size_t Size() const { return reader.ChunkEnd() - reader.ChunkStart(); }
    // A "GEN8" header long enough to hold the data's generation word, and
    // whether that word says new-generation data (above 1).
    bool IsGenerationHeader() const { return Is("GEN8") && Size() >= 48; }
    bool NewGeneration() const { return reader.Peek<int32_t>(reader.ChunkStart() + 44) > 1; }
};

// Calls visit(FuzzChunk) for each chunk of `image` in file order. A loader
// that refuses its chunk (GameDataError) ends only that chunk's visit.
template <typename Visit>
void ForEachChunk(std::vector<uint8_t>& image, Visit&& visit) {
    size_t at = 8;
    while (at + 8 <= image.size()) {
        uint32_t chunkSize;
        std::memcpy(&chunkSize, image.data() + at + 4, 4);
        const size_t payload = at + 8;
        const size_t limit = payload + std::min<size_t>(chunkSize, image.size() - payload);
        char tag[5] = {};
        std::memcpy(tag, image.data() + at, 4);
        ImageReader chunk(image.data(), image.size(), payload, limit, tag);
        try {
            visit(FuzzChunk{tag, chunk});
        } catch (const GameDataError&) {
        }
        at = limit;
    }
}
