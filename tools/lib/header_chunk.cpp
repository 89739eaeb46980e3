// Header chunk layout: a fixed block of 100 bytes (36 for version 7 and
// older), the fields that later versions added, the room order, and for
// new-generation data ten words and the game speed.
#include "header_chunk.h"

namespace wad {

size_t HeaderRoomOrderOffset(uint8_t version) {
    if (version <= 7) return 36;
    if (version <= 9) return 100;
    if (version == 10) return 104;
    if (version == 11) return 112;
    if (version == 12) return 120;
    if (version == 13) return 124;
    return 128;
}

Chunk& WriteHeader(GameDataWriter& writer, const HeaderFields& h, const std::string& tag) {
    Chunk& c = writer.AddChunk(tag);
    c.U8(h.debug).U8(h.version).U16(0).U32(0);
    if (h.configName.empty())
        c.U32(0);
    else
        c.String(h.configName);
    c.U32(h.maxInstanceId).U32(h.maxTileId).S32(h.gameId);
    if (h.version <= 7) {
        // Old files put the room order's count at 36, over the GUID's tail.
        c.Raw(h.guid.data(), 12);
    } else {
        c.Raw(h.guid.data(), 16);
        if (h.projectName.empty())
            c.U32(0);
        else
            c.String(h.projectName);
        c.S32(h.editorMajor).Zeros(12);
        c.S32(h.windowWidth).S32(h.windowHeight).U32(h.flags);
        c.Zeros(4 + 16 + 8);
        if (h.version >= 10) {
            if (h.displayName.empty())
                c.U32(0);
            else
                c.String(h.displayName);
        }
        if (h.version >= 11) c.Zeros(8);
        if (h.version >= 12) c.U64(h.functionClassifications);
        if (h.version >= 13) c.U32(h.steamAppId);
        if (h.version >= 14) c.U32(h.debuggerPort);
    }
    c.U32(static_cast<uint32_t>(h.roomOrder.size()));
    for (int32_t room : h.roomOrder) c.S32(room);
    // Every version's reader looks at the words up to offset 72 (the flags),
    // which an old header with a short room order would not reach.
    if (h.version <= 7 && c.Size() < 100) c.Zeros(100 - c.Size());
    if (h.version >= 14 && h.editorMajor > 1) {
        c.Zeros(40);
        c.F32(h.gameSpeed);
        c.Zeros(16); // the rest of the new-generation header
    }
    return c;
}

} // namespace wad
