// Background chunk layout: the count, the offset table, then the records in
// index order (24 bytes, or 64 and the tile data from version 2).
#include "background_chunk.h"

namespace wad {

Chunk& WriteBackgrounds(GameDataWriter& writer,
                        const std::vector<std::optional<BackgroundFields>>& backgrounds,
                        const std::string& labelPrefix) {
    Chunk& c = writer.AddChunk("BGND");
    c.U32(static_cast<uint32_t>(backgrounds.size()));
    for (size_t i = 0; i < backgrounds.size(); ++i) {
        if (backgrounds[i])
            c.Offset(labelPrefix + "." + std::to_string(i));
        else
            c.U32(0);
    }
    for (size_t i = 0; i < backgrounds.size(); ++i) {
        if (!backgrounds[i]) continue;
        const BackgroundFields& b = *backgrounds[i];
        c.Label(labelPrefix + "." + std::to_string(i));
        if (b.name)
            c.String(*b.name);
        else
            c.U32(0);
        c.U32(b.transparent).U32(b.smooth).U32(b.preload);
        if (b.entryLabel)
            c.Offset(*b.entryLabel);
        else
            c.U32(0);
        c.U32(b.version);
        if (b.version < 2) continue;
        c.S32(b.tileWidth).S32(b.tileHeight).S32(b.borderX).S32(b.borderY).S32(b.columns);
        c.S32(b.framesPerTile).S32(b.tileCount).U32(0).U64(static_cast<uint64_t>(b.frameTime));
        for (uint32_t t : b.tiles) c.U32(t);
    }
    return c;
}

} // namespace wad
