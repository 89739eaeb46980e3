// Sprite chunk layout: the count, the offset table, then the records in index
// order (see sprite_chunk.h).
#include "sprite_chunk.h"

namespace wad {

std::vector<uint8_t> PackSpriteMask(const std::vector<uint8_t>& mask, int32_t width, int32_t height) {
    const size_t rowBytes = (static_cast<size_t>(width) + 7) / 8;
    std::vector<uint8_t> packed(rowBytes * static_cast<size_t>(height), 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const size_t at = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
            if (at < mask.size() && mask[at] != 0)
                packed[static_cast<size_t>(y) * rowBytes + static_cast<size_t>(x) / 8] |=
                    static_cast<uint8_t>(0x80u >> (x % 8));
        }
    return packed;
}

namespace {

void EntryOffset(Chunk& c, const std::string& label) {
    if (label.empty())
        c.U32(0);
    else
        c.Offset(label);
}

void WriteRecord(Chunk& c, const SpriteFields& s) {
    if (s.name)
        c.String(*s.name);
    else
        c.U32(0);
    c.S32(s.width).S32(s.height).S32(s.left).S32(s.right).S32(s.bottom).S32(s.top);
    c.U32(s.transparent).U32(s.smooth).U32(s.preload).S32(s.bboxMode).U32(s.precise);
    c.S32(s.xorigin).S32(s.yorigin);
    const int32_t frames = static_cast<int32_t>(s.pageEntries.size());
    if (s.extended) {
        c.S32(-1).S32(s.version).S32(s.kind);
        if (s.newGeneration) c.F32(s.speed).S32(s.speedType);
        if (s.kind == 1) {
            c.S32(s.vectorVersion);
            if (s.vectorVersion >= 8) {
                c.U32(static_cast<uint32_t>(s.pageEntries.size()));
                for (const std::string& label : s.pageEntries) EntryOffset(c, label);
            }
            c.Raw(s.vectorData.data(), s.vectorData.size());
            return;
        }
        if (s.kind == 2) {
            c.U32(0)
                .U32(static_cast<uint32_t>(s.skeletonJson.size()))
                .U32(static_cast<uint32_t>(s.skeletonAtlas.size()))
                .U32(static_cast<uint32_t>(s.skeletonTexture.size()))
                .U32(0)
                .U32(0);
            c.Raw(s.skeletonJson.data(), s.skeletonJson.size());
            c.Raw(s.skeletonAtlas.data(), s.skeletonAtlas.size());
            c.Raw(s.skeletonTexture.data(), s.skeletonTexture.size());
            return;
        }
        if (s.kind != 0) return;
        if (s.newGeneration) c.S32(frames);
    } else if (s.countAfterZero) {
        c.S32(0).S32(frames);
    } else {
        c.S32(frames);
    }
    for (const std::string& label : s.pageEntries) EntryOffset(c, label);
    c.U32(static_cast<uint32_t>(s.masks.size()));
    for (const std::vector<uint8_t>& mask : s.masks) {
        const std::vector<uint8_t> packed = PackSpriteMask(mask, s.width, s.height);
        c.Raw(packed.data(), packed.size());
    }
}

} // namespace

Chunk& WriteSprites(GameDataWriter& writer, const std::vector<std::optional<SpriteFields>>& sprites,
                    const std::string& labelPrefix) {
    Chunk& c = writer.AddChunk("SPRT");
    c.U32(static_cast<uint32_t>(sprites.size()));
    for (size_t i = 0; i < sprites.size(); ++i) {
        if (sprites[i])
            c.Offset(labelPrefix + "." + std::to_string(i));
        else
            c.U32(0);
    }
    for (size_t i = 0; i < sprites.size(); ++i) {
        if (!sprites[i]) continue;
        c.Label(labelPrefix + "." + std::to_string(i));
        WriteRecord(c, *sprites[i]);
    }
    return c;
}

} // namespace wad
