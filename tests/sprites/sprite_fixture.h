// Sprites for the sprite tests: records written by the data-file writer and
// read back, and sprites with frame bitmaps drawn in the test.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/game_image.h"
#include "game_data_writer.h"
#include "render/bitmap32.h"
#include "sprite_chunk.h"
#include "world/instances/sprite_services.h"

// A writer-made data file of sprite records, kept alive while its sprites
// are used (their packed masks stay in the image).
class SpriteFile {
public:
    explicit SpriteFile(const std::vector<std::optional<wad::SpriteFields>>& sprites) {
        wad::GameDataWriter writer;
        wad::WriteSprites(writer, sprites);
        m_image = writer.Build();
    }
    std::vector<uint8_t>& Image() { return m_image; }

    // A reader over the "SPRT" payload.
    ImageReader Chunk() {
        size_t at = 8;
        while (at + 8 <= m_image.size()) {
            uint32_t size;
            std::memcpy(&size, m_image.data() + at + 4, 4);
            if (std::memcmp(m_image.data() + at, "SPRT", 4) == 0)
                return ImageReader(m_image.data(), m_image.size(), at + 8, at + 8 + size, "SPRT");
            at += 8 + size;
        }
        ADD_FAILURE() << "no SPRT chunk";
        return ImageReader();
    }
    // File offset of record `index` (from the chunk's offset table).
    uint32_t RecordOffset(int index) {
        ImageReader chunk = Chunk();
        return chunk.Peek<uint32_t>(chunk.ChunkStart() + 4 + 4 * static_cast<size_t>(index));
    }
    // Reads record `index` into `sprite`; GameDataError when refused.
    void Load(int index, CSprite& sprite) {
        ImageReader record = Chunk().At(RecordOffset(index));
        sprite.LoadFromChunk(record);
    }

private:
    std::vector<uint8_t> m_image;
};

// A w × h frame bitmap, pixels from `pixel(x, y)` (0xAARRGGBB).
template <typename Pixel>
std::unique_ptr<CBitmap32> MakeFrame(int w, int h, Pixel pixel) {
    auto bitmap = std::make_unique<CBitmap32>(w, h, 0u);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) bitmap->Pixels()[y * w + x] = pixel(x, y);
    return bitmap;
}

// Bytes of a little-endian stream record, word by word.
inline void PutWord(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
