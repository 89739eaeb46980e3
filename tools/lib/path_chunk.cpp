// Path chunk layout: the count, the offset table, then the records in index
// order, each 20 bytes of header and 12 bytes per point.
#include "path_chunk.h"

namespace wad {

Chunk& WritePaths(GameDataWriter& writer, const std::vector<std::optional<PathFields>>& paths,
                  const std::string& labelPrefix) {
    Chunk& c = writer.AddChunk("PATH");
    c.U32(static_cast<uint32_t>(paths.size()));
    for (size_t i = 0; i < paths.size(); ++i) {
        if (paths[i])
            c.Offset(labelPrefix + "." + std::to_string(i));
        else
            c.U32(0);
    }
    for (size_t i = 0; i < paths.size(); ++i) {
        if (!paths[i]) continue;
        const PathFields& p = *paths[i];
        c.Label(labelPrefix + "." + std::to_string(i));
        if (p.name)
            c.String(*p.name);
        else
            c.U32(0);
        c.S32(p.kind).U32(p.closed).S32(p.precision).U32(static_cast<uint32_t>(p.points.size()));
        for (const PathPointFields& point : p.points) c.F32(point.x).F32(point.y).F32(point.speed);
    }
    return c;
}

} // namespace wad
