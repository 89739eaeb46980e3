// Shader chunk layout: the count, the offset table, then each record as 32-bit
// words: name, type, eight source offsets (pairs 1 and 3-4 empty here), the
// attribute count and the attribute name offsets.
#include "shader_chunk.h"

namespace wad {

Chunk& WriteShaders(GameDataWriter& writer, const std::vector<std::optional<ShaderFields>>& shaders,
                    const std::string& labelPrefix) {
    Chunk& c = writer.AddChunk("SHDR");
    c.U32(static_cast<uint32_t>(shaders.size()));
    for (size_t i = 0; i < shaders.size(); ++i) {
        if (shaders[i])
            c.Offset(labelPrefix + "." + std::to_string(i));
        else
            c.U32(0);
    }
    for (size_t i = 0; i < shaders.size(); ++i) {
        if (!shaders[i]) continue;
        const ShaderFields& s = *shaders[i];
        c.Label(labelPrefix + "." + std::to_string(i));
        c.String(s.name).S32(s.type);
        c.U32(0).U32(0);
        c.String(s.vertex).String(s.fragment);
        c.U32(0).U32(0).U32(0).U32(0);
        c.U32(static_cast<uint32_t>(s.attributes.size()));
        for (const std::string& a : s.attributes) c.String(a);
    }
    return c;
}

} // namespace wad
