// Arbitrary bytes as a data file's sprite chunk, and as a legacy sprite
// stream: every record is read or refused, and whatever was read answers its
// box, mask and precise collision queries without reading out of bounds. The
// "SPRT" chunk is found by walking the chunk headers only (sizes clipped to
// the input), so that mutations anywhere else still reach the reader.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "core/game_image.h"
#include "core/header_globals.h"
#include "world/instances/sprite_services.h"

namespace {

void Exercise(const CSprite& sprite, const CSprite& other) {
    const SBoundingBox box{-24, -24, 24, 24};
    for (int image : {0, 1, -1, 7}) {
        sprite.PreciseCollisionPoint(image, box, 0, 0, 1.0f, 1.0f, 0.0f, 2, 3);
        sprite.PreciseCollisionPoint(image, box, 3, -2, -1.5f, 0.5f, 33.0f, 2, 3);
        sprite.PreciseCollisionRectangle(image, box, 0, 0, 1.0f, 1.0f, 0.0f, {-3, -3, 9, 9});
        sprite.PreciseCollisionEllipse(image, box, 1, 1, 2.0f, 1.0f, 90.0f, {-8, -2, 8, 4});
        sprite.PreciseCollisionLine(image, box, 0, 0, 1.0f, 1.0f, 0.0f, -20, -5, 20, 7);
        sprite.PreciseCollisionLine(image, box, 0, 0, 0.7f, 1.3f, 200.0f, -2, -20, 3, 20);
        sprite.PreciseCollision(image, box, 0, 0, 1.0f, 1.0f, 0.0f, &other, 0, box, 3, 4, 1.0f, 1.0f, 0.0f);
        sprite.PreciseCollision(image, box, 0, 0, 1.5f, 1.0f, 0.0f, &other, 1, box, 3, 4, 1.0f, -2.0f, 0.0f);
        sprite.PreciseCollision(image, box, 0, 0, 1.0f, 1.0f, 45.0f, &other, 2, box, -3, 4, 1.0f, 1.0f,
                                -10.0f);
    }
    sprite.PageEntryOffset(-1);
}

void Rebuild(CSprite& sprite) {
    sprite.ComputeBoundingBox();
    sprite.ComputeMask(false, 0, {}, 2, 0);
    sprite.ComputeMask(true, 2, {-5, -5, 1000, 1000}, 0, 0x7F000000u);
    sprite.SetBoundingBoxMode(1);
    CSprite copy;
    copy.Assign(&sprite);
    Exercise(copy, sprite);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> image(data, data + size);

    CSprite stream;
    if (stream.LoadFromStream(image.data(), image.size())) {
        Exercise(stream, stream);
        Rebuild(stream);
    }

    size_t at = 8;
    while (at + 8 <= image.size() && std::memcmp(image.data() + at, "SPRT", 4) != 0) {
        uint32_t chunkSize;
        std::memcpy(&chunkSize, image.data() + at + 4, 4);
        at += 8 + std::min<size_t>(chunkSize, image.size());
    }
    if (at + 8 > image.size()) return 0;
    uint32_t chunkSize;
    std::memcpy(&chunkSize, image.data() + at + 4, 4);
    const size_t payload = at + 8;
    const size_t limit = payload + std::min<size_t>(chunkSize, image.size() - payload);

    for (bool newGeneration : {false, true}) {
        g_isNimbar = newGeneration;
        std::vector<std::unique_ptr<CSprite>> sprites;
        try {
            ImageReader chunk(image.data(), image.size(), payload, limit, "SPRT");
            const uint32_t count = chunk.Count(4);
            for (uint32_t i = 0; i < count && i < 16; ++i) {
                const uint32_t offset = chunk.U32();
                if (offset == 0) continue;
                ImageReader record = chunk.At(offset);
                auto sprite = std::make_unique<CSprite>();
                sprite->LoadFromChunk(record);
                sprites.push_back(std::move(sprite));
            }
        } catch (const GameDataError&) {
            // refused: what was read before stays usable
        }
        for (size_t i = 0; i < sprites.size(); ++i) Exercise(*sprites[i], *sprites[(i + 1) % sprites.size()]);
        for (auto& sprite : sprites) Rebuild(*sprite);
    }
    g_isNimbar = false;
    return 0;
}
