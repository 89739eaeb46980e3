// The sprite chunk ("SPRT"): a count, one file offset per sprite index (0
// for an index without a sprite), and the sprite records those offsets lead
// to.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game_data_writer.h"

namespace wad {

// One sprite record: name offset, width, height, box left, right, bottom,
// top, transparent, smooth, preload, box mode, precise, origin x and y, and
// the frame count (-1 for the extended form), then the form's tail.
struct SpriteFields {
    std::optional<std::string> name = "spr"; // none: name offset 0
    int32_t width = 1;
    int32_t height = 1;
    int32_t left = 0, right = 0, bottom = 0, top = 0;
    uint32_t transparent = 1;
    uint32_t smooth = 0;
    uint32_t preload = 1;
    int32_t bboxMode = 0;
    uint32_t precise = 1;
    int32_t xorigin = 0;
    int32_t yorigin = 0;

    // The data's generation: new-generation records carry the playback speed
    // (extended form) and a frame count word after a zero count.
    bool newGeneration = false;
    // Extended form {-1, version, kind[, speed, speed type]}; else the short form.
    bool extended = false;
    int32_t version = 1;
    int32_t kind = 0;
    float speed = 30.0f;
    int32_t speedType = 0;
    // Short form in new-generation data: write a count of 0 and the real
    // count in the word after it.
    bool countAfterZero = false;

    // Bitmap tail: one page-entry label per frame (empty: offset 0), whose
    // count is the frame count, then the masks, each width × height bytes
    // (non-zero solid), packed into rows of (width + 7) / 8 bytes, MSB first.
    std::vector<std::string> pageEntries;
    std::vector<std::vector<uint8_t>> masks;

    // Kind 1: vector format version, its page-entry labels (from version 8)
    // and the vector data's bytes. Kind 2: the skeleton's three blocks.
    int32_t vectorVersion = 8;
    std::vector<uint8_t> vectorData;
    std::string skeletonJson, skeletonAtlas;
    std::vector<uint8_t> skeletonTexture;
};

// The packed form of one mask: rows of (width + 7) / 8 bytes, pixel x in
// bit 7 − x mod 8 of byte x / 8.
std::vector<uint8_t> PackSpriteMask(const std::vector<uint8_t>& mask, int32_t width, int32_t height);

// Appends the chunk with one index per entry; an empty entry writes offset 0.
// Records are labelled "<labelPrefix>.<index>".
Chunk& WriteSprites(GameDataWriter& writer, const std::vector<std::optional<SpriteFields>>& sprites,
                    const std::string& labelPrefix = "SPRT");

} // namespace wad
